#pragma once

#include <cstdint>

#include <QDateTime>
#include <QString>

namespace lapdeck {

// The one place race numbers become text. Patterns: "0.00", "0.0", "00", "000",
// "#Lap", "00.##" (any run of '0'/'#' digits, an optional point with '0'/'#'
// decimals, then literal text). The value is first written as a decimal of 15
// significant digits (a Double) or 7 (a Single), then rounded half away from zero
// to the pattern's decimals, so 1.235 shows as 1.24 although its binary value is
// below the half. Always a full stop, whatever the locale.
QString formatNumber(double value, QStringView pattern);
QString formatSingle(float value, QStringView pattern);

// Whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// A lap of `ms` milliseconds as the seconds the lap store keeps: rounded to two
// decimals with halves up, through the text form "00.##" (12345 -> 12.35f).
float lapSecondsFromMs(int32_t ms);

// A number in its shortest plain form ("2.5", "5", "340.9091" for a Single).
QString shortestNumber(double value);
QString shortestSingle(float value);

// "MMM-DD, H-MM" with English month names: Dec-05, 16-07. Empty for an invalid time.
QString formatRaceDateTime(const QDateTime& when);

// Reads the leading decimal number of a text: blanks and tabs skipped, optional
// sign, digits and an optional fraction; nothing readable gives 0. Returns false
// only for text with nothing readable.
double leadingNumber(QStringView text);

}  // namespace lapdeck
