#include "LapTable.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <unordered_map>

#include "LapSort.h"
#include "LapTimeText.h"
#include "NumberFormat.h"
#include "TextColumns.h"

namespace lapdeck {
namespace {

float lapAt(const LapStore& store, int flag, int lap) {
    if (flag < 1 || flag > kFlags || lap < 0 || lap > kMaxLap) {
        return 0.0f;
    }
    return store[static_cast<size_t>(flag)][static_cast<size_t>(lap)];
}

// Rows stop at the grid's build size or the end of the lap store, whichever is first.
bool rowFits(int nextRow, int lap) {
    return nextRow < kLapGridBuildRows && lap <= kMaxLap;
}

void writeHeaders(const RaceState& state, ResultGrid& grid) {
    for (int k = 1; k <= kFlags; ++k) {
        const int32_t colour = state.screen.row[static_cast<size_t>(k)].colour;
        grid.cell(0, k).background = colour;
        grid.cell(1, k).background = colour;
    }
    for (int k = 1; k <= kFlags; ++k) {
        const int f = lapTableFlag(state, k);
        GridCell& colourCell = grid.cell(0, k);
        GridCell& nameCell = grid.cell(1, k);
        colourCell.align = CellAlign::LeftCentre;
        nameCell.align = CellAlign::LeftCentre;
        if (f >= 1 && f <= kFlags) {
            colourCell.text = state.LaneColorName[static_cast<size_t>(f)];
            nameCell.text = results_detail::resultName(state, f);
        }
    }
}

// Laps repeat the same few hundred values, so a build formats each value once.
class LapTextCache {
public:
    const QString& text(float seconds) {
        auto [it, added] = m_texts.try_emplace(std::bit_cast<uint32_t>(seconds));
        if (added) {
            it->second = lapCellText(seconds);
        }
        return it->second;
    }

private:
    std::unordered_map<uint32_t, QString> m_texts;
};

}  // namespace

int lapTableFlag(const RaceState& state, int column) {
    if (column < 1 || column > kFlags) {
        return 0;
    }
    return state.IsPractice ? column : state.RunningOrder[static_cast<size_t>(column)];
}

QString lapLabel(int lapIndex) {
    return lapIndex == 0 ? QStringLiteral("RT") : u' ' + results_detail::wholeText(lapIndex);
}

Expected<LapTable> buildLapTable(RaceState& state) {
    if (!state.IsPractice && state.RunningOrder[1] == 0) {
        return ResultMessage{QStringLiteral("Lap Times"),
                             QStringLiteral("Insufficient data to view Laps"), Icon::Information};
    }

    LapTable table;
    ResultGrid& grid = table.grid;
    grid = ResultGrid(kLapGridBuildRows, kLapGridColumns);
    grid.cell(1, 0).text = QStringLiteral("Laps");

    const int firstLap = state.FirstLapIndex + 1;
    int nextRow = kLapGridHeaderRows;
    int lap = firstLap;
    if (state.IsPractice) {
        writeHeaders(state, grid);
        // The longest-running flag decides the rows.
        auto anyLap = [&state](int n) {
            for (int f = 1; f <= kFlags; ++f) {
                if (lapAt(state.LapTimes, f, n) != 0.0f) {
                    return true;
                }
            }
            return false;
        };
        while (rowFits(nextRow, lap) && anyLap(lap)) {
            grid.cell(nextRow, 0) = GridCell{lapLabel(lap), CellAlign::Centre, {}, {}};
            ++nextRow;
            ++lap;
        }
    } else {
        // The leader's laps decide the rows.
        const int leader = state.RunningOrder[1];
        while (rowFits(nextRow, lap) && lapAt(state.LapTimes, leader, lap) > 0.0f) {
            grid.cell(nextRow, 0) = GridCell{lapLabel(lap), CellAlign::Centre, {}, {}};
            ++nextRow;
            ++lap;
        }
        writeHeaders(state, grid);
    }

    const LapStore* source = &state.LapTimes;
    if (state.SortByLapTime) {
        subSortLapTimes(state);
        source = &state.SortedLapTimes;
    }
    for (int k = 1; k <= kFlags; ++k) {
        const int f = lapTableFlag(state, k);
        int n = firstLap;
        for (int r = kLapGridHeaderRows; r < nextRow; ++r, ++n) {
            grid.cell(r, k) =
                GridCell{lapCellText(lapAt(*source, f, n)), CellAlign::Centre, {}, {}};
        }
    }

    table.caption = state.SortByLapTime ? QStringLiteral("Lap Times sorted by Lap Times")
                                        : QStringLiteral("Lap Times sorted by Lap number");
    table.lapRows = nextRow - kLapGridHeaderRows;
    grid.setRowCount(std::max(nextRow, kLapGridMinRows));
    table.header = state.RaceTitle;
    return table;
}

}  // namespace lapdeck
