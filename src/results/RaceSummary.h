#pragma once

#include <array>
#include <cstdint>

#include <QDateTime>
#include <QString>

#include "RaceState.h"
#include "ResultGrid.h"

namespace lapdeck {

inline constexpr int kSummaryColumns = 13;
inline constexpr int kSummaryRows = 9;               // two header rows, six flags, one empty row
inline constexpr int32_t kInsufficientColour = 255;  // red text of "Insufficent" "Data"

// The summary's statistics, owned by the application beside the race state for as
// long as the program runs: a summary (window or text) overwrites the flags it
// computes; a new race does not clear them.
struct SummaryStats {
    PerFlag<float> AverageLap{};
    PerFlag<int16_t> CrashCount{};
    PerFlag<int16_t> CrashPercent{};
};

// The summary as the summary window shows it.
struct RaceSummary {
    ResultGrid grid;
    QString header;  // race title, CR LF, the build's date and time ("Dec-05, 16:07")
};

// Builds the summary grid, recomputing the statistics of every flag with at least 3
// laps; a flag's median comes from subSortLapTimes. An average that this build does
// not compute shows as an empty cell. A race without positions gives the message
// "Insufficent data to display summary" (there is no running order to list).
Expected<RaceSummary> buildRaceSummary(RaceState& state, SummaryStats& stats, const QDateTime& now);

// Average of the flag's laps after its first (FirstLapIndex + 2 .. LapCount), summed
// in single precision; computed only from three such laps on. Returns whether
// stats.AverageLap[flag] was written.
bool computeAverageLap(const RaceState& state, int flag, SummaryStats& stats);

// Laps 1..LapCount slower than 1.2 x the best lap, and their share of LapCount as a
// whole percentage, halves to even.
void computeCrashes(const RaceState& state, int flag, SummaryStats& stats);

// Race clock of a crossing as minutes (not limited to 59), seconds and ms: "3:07.250".
QString totalTimeText(int32_t ms);
// Best lap speed in scale MPH, "0.0"; empty when the flag has no usable best lap.
QString bestSpeedText(const RaceState& state, int flag);
// Best lap in seconds, "0.00".
QString bestLapText(const RaceState& state, int flag);
// Column widths in twips of a summary window `windowTwips` wide: the width, rounded
// halves to even, over each column's divisor, rounded the same way (about 98 % in all).
std::array<int, kSummaryColumns> summaryColumnTwips(double windowTwips);

// The summary's date line: the race date form with a colon, "Dec-05, 16:07".
QString summaryDateText(const QDateTime& now);

}  // namespace lapdeck
