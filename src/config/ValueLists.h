#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

namespace lapdeck {

// The entries of the settings and race-format lists. Stored files hold positions
// in these lists, so their contents and order must never change.
namespace ValueLists {

const QStringList& trackLengths();  // "10" .. "74", "75" .. "2200" by 5, "5280": 492
const QStringList& scales();        // "1:1" .. "1:72": 13
const QStringList& minLapTimes();   // "1" .. "9.75" by 0.25, "10" .. "60": 87
const QStringList& startDelays();   // "0" .. "30": 31
const QStringList& firstLaps();     // "0", "1"
const QStringList& ports();         // "1" .. "16"
const QStringList& colourNames();   // the eight colour names, sorted
const QStringList& lapCounts();     // race laps: 33
const QStringList& minuteCounts();  // race minutes: 45

// The entry at `position`, or an empty text for -1 or any other position off the list.
QString entry(const QStringList& list, int position);
// The position of `text` in the list, or -1.
int positionOf(const QStringList& list, const QString& text);

}  // namespace ValueLists

// N of a scale text "1:N" from the scale list; nothing for any other text (the
// caller then keeps its factor).
std::optional<int16_t> convertScale(const QString& scaleText);

// The colour number (red + 256 * green + 65536 * blue) of a colour name of the list.
std::optional<int32_t> colourNumber(const QString& colourName);

// The flag colours before any settings are read, flags 1..6.
const QStringList& defaultColourNames();

// Scale miles per hour of a one-second lap: feet / 5280 * 3600 * factor, worked in
// double and kept as a Single.
float speedMultiplier(int trackLengthFeet, int scaleFactor);

}  // namespace lapdeck
