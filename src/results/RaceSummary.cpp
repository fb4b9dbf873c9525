#include "RaceSummary.h"

#include <algorithm>

#include "LapSort.h"
#include "LapTimeText.h"
#include "NumberFormat.h"
#include "TextColumns.h"

namespace lapdeck {
namespace {

using results_detail::resultName;
using results_detail::wholeText;

QString withBlank(const QString& text) {
    return u' ' + text;
}

void writeHeaders(const RaceState& state, ResultGrid& grid) {
    const bool race = !state.IsPractice;
    const QString row0[kSummaryColumns] = {
        {},
        {},
        QStringLiteral("Flag"),
        QStringLiteral("Total"),
        QStringLiteral("Total"),
        race ? QStringLiteral("Lag") : QString(),
        race ? QStringLiteral("Lag") : QString(),
        QStringLiteral("Best"),
        QStringLiteral("Best"),
        QStringLiteral("Avg"),
        {},
        {},
        {},
    };
    const QString row1[kSummaryColumns] = {
        race ? QStringLiteral("Pos ") : QStringLiteral("Flag "),
        QStringLiteral("Name"),
        QStringLiteral("Color"),
        QStringLiteral("Laps"),
        QStringLiteral("Time"),
        race ? QStringLiteral("First") : QString(),
        race ? QStringLiteral("Behind") : QString(),
        QStringLiteral("MPH"),
        QStringLiteral("Lap"),
        QStringLiteral("Time"),
        QStringLiteral("Med"),
        QStringLiteral("Crash"),
        QStringLiteral("Crh %"),
    };
    for (int k = 0; k < kSummaryColumns; ++k) {
        grid.cell(0, k).text = row0[k];
        grid.cell(1, k).text = row1[k];
    }
}

constexpr std::array<double, kSummaryColumns> kColumnDivisors = {
    22.95, 8.35, 12.24, 18.36, 9.66, 13.12, 13.12, 13.12, 13.12, 13.12, 13.12, 15.3, 18.36};

}  // namespace

std::array<int, kSummaryColumns> summaryColumnTwips(double windowTwips) {
    const double width = roundHalfEven(windowTwips);
    std::array<int, kSummaryColumns> twips{};
    for (size_t k = 0; k < twips.size(); ++k) {
        twips[k] = static_cast<int>(roundHalfEven(width / kColumnDivisors[k]));
    }
    return twips;
}

QString summaryDateText(const QDateTime& now) {
    if (!now.isValid()) {
        return {};  // the date formatter has no month name for an invalid date
    }
    QString text = formatRaceDateTime(now);
    const qsizetype dash = text.lastIndexOf(u'-');
    if (dash >= 0) {
        text[dash] = u':';
    }
    return text;
}

bool computeAverageLap(const RaceState& state, int flag, SummaryStats& stats) {
    if (flag < 1 || flag > kFlags) {
        return false;
    }
    const size_t f = static_cast<size_t>(flag);
    const int first = state.FirstLapIndex + 2;
    const int last = std::min<int>(state.LapCount[f], kMaxLap);
    if (state.LapCount[f] <= state.FirstLapIndex + 3 || first < 0) {
        return false;
    }
    float sum = 0.0f;
    for (int n = first; n <= last; ++n) {
        sum += state.LapTimes[f][static_cast<size_t>(n)];
    }
    stats.AverageLap[f] = sum / static_cast<float>(last - first + 1);
    return true;
}

void computeCrashes(const RaceState& state, int flag, SummaryStats& stats) {
    if (flag < 1 || flag > kFlags) {
        return;
    }
    const size_t f = static_cast<size_t>(flag);
    const float threshold = static_cast<float>(state.BestLapTime[f] / 1000.0 * 1.2);
    const int laps = std::min<int>(state.LapCount[f], kMaxLap);
    int crashes = 0;
    for (int n = 1; n <= laps; ++n) {
        if (state.LapTimes[f][static_cast<size_t>(n)] > threshold) {
            ++crashes;
        }
    }
    stats.CrashCount[f] = static_cast<int16_t>(crashes);
    // Wider than 16 bits: 3000 crashes x 100 would not fit.
    const int32_t percent =
        laps > 0 ? static_cast<int32_t>(roundHalfEven(crashes * 100.0 / state.LapCount[f])) : 0;
    stats.CrashPercent[f] = static_cast<int16_t>(percent);
}

QString totalTimeText(int32_t ms) {
    const int32_t clock = std::max(ms, 0);
    const int32_t seconds = clock / 1000;
    return wholeText(seconds / 60) + u':' + formatNumber(seconds % 60, u"00") + u'.' +
           formatNumber(clock % 1000, u"000");
}

QString bestSpeedText(const RaceState& state, int flag) {
    if (flag < 1 || flag > kFlags || state.BestLapTime[static_cast<size_t>(flag)] <= 0) {
        return {};
    }
    const double seconds = state.BestLapTime[static_cast<size_t>(flag)] / 1000.0;
    return formatNumber(static_cast<double>(state.SpeedMultiplier) / seconds, u"0.0");
}

QString bestLapText(const RaceState& state, int flag) {
    if (flag < 1 || flag > kFlags) {
        return {};
    }
    return summaryBestLap(state.BestLapTime[static_cast<size_t>(flag)]);
}

Expected<RaceSummary> buildRaceSummary(RaceState& state, SummaryStats& stats,
                                       const QDateTime& now) {
    if (!state.IsPractice && state.RunningOrder[1] == 0) {
        return ResultMessage{QStringLiteral("Summary"),
                             QStringLiteral("Insufficent data to display summary"),
                             Icon::Information};
    }
    RaceSummary summary;
    ResultGrid& grid = summary.grid;
    grid = ResultGrid(kSummaryRows, kSummaryColumns);
    writeHeaders(state, grid);
    for (int r = 0; r <= 7; ++r) {
        for (int k = 0; k < kSummaryColumns; ++k) {
            grid.cell(r, k).align = CellAlign::Centre;
        }
    }

    for (int i = 1; i <= kFlags; ++i) {
        const int row = i + 1;
        const int f = state.IsPractice ? i : state.RunningOrder[static_cast<size_t>(i)];
        if (f < 1 || f > kFlags) {
            continue;
        }
        const size_t fi = static_cast<size_t>(f);
        const bool disabled = state.isDisabled(f);
        grid.cell(row, 0).text = withBlank(wholeText(i));
        grid.cell(row, 1).text = resultName(state, f);
        grid.cell(row, 2).text = state.LaneColorName[fi];
        grid.cell(row, 2).background = state.FlagColor[fi];

        if (state.LapCount[fi] < 3) {
            grid.cell(row, 4).text = QStringLiteral("Insufficent");
            grid.cell(row, 4).foreground = kInsufficientColour;
            grid.cell(row, 5).text = QStringLiteral("Data");
            grid.cell(row, 5).foreground = kInsufficientColour;
            continue;
        }
        if (disabled) {
            continue;
        }
        grid.cell(row, 3).text = withBlank(wholeText(state.LapCount[fi]));
        grid.cell(row, 4).text = withBlank(totalTimeText(state.LastCrossing[fi]));
        grid.cell(row, 5).text = state.LagFirst[fi];
        grid.cell(row, 6).text = state.LagBehind[fi];
        grid.cell(row, 7).text = bestSpeedText(state, f);
        grid.cell(row, 8).text = bestLapText(state, f);
        // An average not computed now is left empty rather than shown from an earlier race.
        if (computeAverageLap(state, f, stats)) {
            grid.cell(row, 9).text = storedLapTime(stats.AverageLap[fi]);
        }
        subSortLapTimes(state);
        grid.cell(row, 10).text = state.MedianLap[fi];
        computeCrashes(state, f, stats);
        grid.cell(row, 11).text = withBlank(wholeText(stats.CrashCount[fi]));
        grid.cell(row, 12).text = withBlank(wholeText(stats.CrashPercent[fi]));
    }

    summary.header = state.RaceTitle + results_detail::kCrLf + summaryDateText(now);
    return summary;
}

}  // namespace lapdeck
