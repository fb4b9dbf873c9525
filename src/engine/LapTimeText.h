#pragma once

#include <cstdint>

#include <QString>

namespace lapdeck {

// How a lap time is written, by where it shows. The rules differ on purpose (each
// is what its reader has always seen), so they stand side by side here and lap
// times are written nowhere else.

// The race screen's lap time: two decimals of the milliseconds, whole seconds from
// a minute on (59996 -> "60.00", 61500 -> "62").
QString screenLapTime(int32_t ms);
// A callout reads the time as the race screen shows it.
QString calloutLapTime(int32_t ms);
// The race screen's best lap: two decimals and a blank; empty without a best lap.
QString screenBestLap(int32_t ms);
// The summary's best lap (window and file): two decimals of the milliseconds.
QString summaryBestLap(int32_t ms);

// A lap as the lap store keeps it (seconds, a Single), in the lap file, the medians
// and the average laps: two decimals of its seven significant digits.
QString storedLapTime(float seconds);
// A lap table cell: the stored lap, empty when that reads as zero.
QString lapCellText(float seconds);
// A printed lap: the stored lap rounded to hundredths as a Single, in its shortest
// form, with a blank (or the minus) before it and a blank after: " 12.3 ".
QString printedLapTime(float seconds);

}  // namespace lapdeck
