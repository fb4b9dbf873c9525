#pragma once

#include <initializer_list>
#include <memory>

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "RaceState.h"
#include "ResultGrid.h"
#include "TestHelpers.h"

namespace lapdeck::test {

inline const QStringList kNames = strings({"", "Ann", "Bob", "Cy", "Dee", "Eve", "Fay"});
inline const QStringList kColours =
    strings({"", "Yellow", "Green", "Blue", "White", "Purple", "Orange"});

// A race state filled by hand: names, colours (flag f in colour 1000 + f), no laps, no
// positions yet.
inline std::unique_ptr<RaceState> makeState(bool practice, int firstLapIndex) {
    auto state = std::make_unique<RaceState>();
    state->IsPractice = practice;
    state->IsLapRace = !practice;
    state->FirstLapIndex = static_cast<int16_t>(firstLapIndex);
    state->RaceTitle = practice ? QStringLiteral("Practice") : QStringLiteral("10 Lap Race");
    state->SpeedMultiplier = 360.0f;
    for (int f = 1; f <= kFlags; ++f) {
        state->RacerName[f] = kNames[f];
        state->LaneColorName[f] = kColours[f];
        state->FlagColor[f] = state->screen.row[f].colour = 1000 + f;
        state->LapCount[f] = static_cast<int16_t>(firstLapIndex);
        state->BestLapTime[f] = kNoBestLap;
    }
    return state;
}

// Stores a flag's laps from lap index FirstLapIndex + 1 on (so the first is the "RT"
// entry when the race begins with lap 0), as lap counting does.
inline void setLaps(RaceState& state, int flag, std::initializer_list<float> laps) {
    int n = state.FirstLapIndex;
    for (float lap : laps) {
        ++n;
        state.LapTimes[flag][n] = state.SortedLapTimes[flag][n] = lap;
    }
    state.LapCount[flag] = static_cast<int16_t>(n);
}

// Running order by position 1..6, and the matching positions.
inline void setOrder(RaceState& state, std::initializer_list<int> flags) {
    int p = 0;
    for (int f : flags) {
        ++p;
        state.RunningOrder[p] = static_cast<int16_t>(f);
        state.Position[f] = static_cast<int16_t>(p);
    }
}

// The texts of one grid row.
inline QStringList rowTexts(const ResultGrid& grid, int row) {
    QStringList texts;
    for (int k = 0; k < grid.columnCount(); ++k) {
        texts << grid.text(row, k);
    }
    return texts;
}

// A grid read back from its file: the texts written less their blanks, the same text
// colours, and each row aligned as `align(row)` says.
template <typename Align>
void expectReadBack(const ResultGrid& read, const ResultGrid& written, Align align) {
    ASSERT_EQ(read.rowCount(), written.rowCount());
    ASSERT_EQ(read.columnCount(), written.columnCount());
    for (int r = 0; r < read.rowCount(); ++r) {
        for (int k = 0; k < read.columnCount(); ++k) {
            EXPECT_EQ(read.text(r, k), written.text(r, k).trimmed()) << r << "," << k;
            EXPECT_EQ(read.cell(r, k).foreground, written.cell(r, k).foreground) << r << "," << k;
            EXPECT_EQ(read.cell(r, k).align, align(r)) << r << "," << k;
        }
    }
}

}  // namespace lapdeck::test
