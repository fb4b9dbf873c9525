#include "LapTable.h"

#include <gtest/gtest.h>

#include "ResultsTestSupport.h"

namespace lapdeck {
namespace {

using namespace testing_support;

// The texts of one grid column from row 2 on, for `rows` rows.
QStringList columnTexts(const ResultGrid& grid, int column, int rows) {
    QStringList texts;
    for (int r = 2; r < 2 + rows; ++r) {
        texts << grid.text(r, column);
    }
    return texts;
}

TEST(LapTable, RaceWithoutPositionsIsInsufficientData) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {5.0f, 6.0f});
    Expected<LapTable> table = buildLapTable(*state);
    ASSERT_FALSE(table.ok());
    EXPECT_EQ(table.error().title, QStringLiteral("Lap Times"));
    EXPECT_EQ(table.error().text, QStringLiteral("Insufficient data to view Laps"));
    EXPECT_EQ(table.error().icon, Icon::Information);
    state->IsPractice = true;  // practice needs no positions
    EXPECT_EQ(buildLapTable(*state).value().grid.text(2, 1), QStringLiteral("5.00"));
}

// The leader's laps decide the rows; the grid never has fewer than 20.
TEST(LapTable, LeaderDecidesRowsWithTwentyAtLeast) {
    const struct {
        int leaderLaps;
        int otherLaps;
        int gridRows;
    } cases[] = {{0, 0, 20}, {12, 9, 20}, {18, 3, 20}, {19, 3, 21}, {30, 29, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.leaderLaps);
        auto state = makeState(false, 0);
        for (int n = 1; n <= c.leaderLaps; ++n) {
            state->LapTimes[4][n] = 10.0f;
        }
        state->LapCount[4] = static_cast<int16_t>(c.leaderLaps);
        for (int n = 1; n <= c.otherLaps; ++n) {
            state->LapTimes[2][n] = 11.0f;
        }
        state->LapCount[2] = static_cast<int16_t>(c.otherLaps);
        setOrder(*state, {4, 1, 2, 3, 5, 6});
        LapTable table = buildLapTable(*state).value();
        EXPECT_EQ(table.grid.rowCount(), c.gridRows);
        EXPECT_EQ(table.lapRows, c.leaderLaps);
        if (c.leaderLaps > 0) {
            const int lastRow = 1 + c.leaderLaps;
            EXPECT_EQ(table.grid.text(lastRow, 0), u' ' + QString::number(c.leaderLaps));
            EXPECT_EQ(table.grid.text(lastRow, 1), QStringLiteral("10.00"));
        }
        // Column 3 (flag 2) shows its laps, then empty cells down to the leader's last lap.
        for (int n = 1; n <= c.leaderLaps; ++n) {
            EXPECT_EQ(table.grid.text(1 + n, 3),
                      n <= c.otherLaps ? QStringLiteral("11.00") : QString())
                << "lap " << n;
        }
    }
}

TEST(LapTable, RowsStopAtTheGridsLastRow) {
    for (int firstLapIndex : {-1, 0}) {
        auto state = makeState(false, firstLapIndex);
        for (int n = 0; n <= kMaxLap; ++n) {
            state->LapTimes[3][n] = 9.5f;
        }
        state->LapCount[3] = kMaxLap;
        setOrder(*state, {3, 1, 2, 4, 5, 6});
        LapTable table = buildLapTable(*state).value();
        EXPECT_EQ(table.lapRows, 2998);
        EXPECT_EQ(table.grid.rowCount(), 3000);
        // Lap index of the last row: first lap index + 1 + 2997.
        EXPECT_EQ(table.grid.text(2999, 0), u' ' + QString::number(firstLapIndex + 2998));
    }
}

TEST(LapTable, PracticeListsFlagsInFlagOrderAndTheLongestRunDecidesRows) {
    auto state = makeState(true, 0);
    for (int n = 1; n <= 25; ++n) {
        state->LapTimes[4][n] = 8.0f;
    }
    state->LapCount[4] = 25;
    setLaps(*state, 1, {9.0f, 9.25f, 9.5f});
    // A stale order from an earlier race must not reorder practice columns.
    setOrder(*state, {6, 5, 4, 3, 2, 1});
    LapTable table = buildLapTable(*state).value();
    EXPECT_EQ(table.lapRows, 25);
    EXPECT_EQ(table.grid.rowCount(), 27);
    for (int k = 1; k <= kFlags; ++k) {
        EXPECT_EQ(table.grid.text(0, k), kColours[k]);
        EXPECT_EQ(table.grid.text(1, k), kNames[k]);
    }
    EXPECT_EQ(table.grid.text(26, 4), QStringLiteral("8.00"));
    EXPECT_EQ(columnTexts(table.grid, 1, 4),
              (QStringList{QStringLiteral("9.00"), QStringLiteral("9.25"), QStringLiteral("9.50"),
                           QString()}));
    EXPECT_EQ(table.caption, QStringLiteral("Lap Times sorted by Lap number"));
}

TEST(LapTable, HeadersFollowRunningOrderWithTheScreenRowColours) {
    auto state = makeState(false, 0);
    setLaps(*state, 5, {7.0f});
    setOrder(*state, {5, 3, 1, 2, 4, 6});
    state->live.disabled[2] = true;
    // The screen rows carry their own colours; the headers copy them, row k for column k.
    for (int k = 1; k <= kFlags; ++k) {
        state->screen.row[k].colour = 1000 + k;
    }
    LapTable table = buildLapTable(*state).value();
    const ResultGrid& grid = table.grid;
    const int flags[] = {0, 5, 3, 1, 2, 4, 6};
    for (int k = 1; k <= kFlags; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(grid.text(0, k), kColours[flags[k]]);
        EXPECT_EQ(grid.text(1, k), flags[k] == 2 ? QStringLiteral("Disabled") : kNames[flags[k]]);
        EXPECT_EQ(grid.cell(0, k).background, 1000 + k);
        EXPECT_EQ(grid.cell(1, k).background, 1000 + k);
        EXPECT_EQ(grid.cell(0, k).align, CellAlign::LeftCentre);
        EXPECT_EQ(grid.cell(1, k).align, CellAlign::LeftCentre);
    }
    // The disabled flag (column 4) has no laps, so its lap cell is empty.
    EXPECT_EQ(grid.text(2, 4), QString());
    EXPECT_FALSE(grid.cell(2, 1).background.has_value());
    EXPECT_EQ(table.header, QStringLiteral("10 Lap Race"));
}

TEST(LapTable, SortedModeListsEachFlagFastestFirstUnderTheSameLabels) {
    auto state = makeState(false, -1);
    setLaps(*state, 1, {0.75f, 10.5f, 9.8f, 11.2f, 9.8f});
    setLaps(*state, 2, {0.5f, 12.0f, 11.0f});
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    state->SortByLapTime = true;
    LapTable table = buildLapTable(*state).value();
    EXPECT_EQ(table.caption, QStringLiteral("Lap Times sorted by Lap Times"));
    EXPECT_EQ(columnTexts(table.grid, 0, 5),
              (QStringList{QStringLiteral("RT"), QStringLiteral(" 1"), QStringLiteral(" 2"),
                           QStringLiteral(" 3"), QStringLiteral(" 4")}));
    EXPECT_EQ(table.grid.text(0, 0), QString());
    EXPECT_EQ(table.grid.text(1, 0), QStringLiteral("Laps"));
    EXPECT_EQ(table.grid.cell(2, 0).align, CellAlign::Centre);
    EXPECT_EQ(table.grid.cell(2, 1).align, CellAlign::Centre);
    // The RT entry is not part of the sort and stays on top.
    EXPECT_EQ(columnTexts(table.grid, 1, 5),
              (QStringList{QStringLiteral("0.75"), QStringLiteral("9.80"), QStringLiteral("9.80"),
                           QStringLiteral("10.50"), QStringLiteral("11.20")}));
    EXPECT_EQ(
        columnTexts(table.grid, 2, 3),
        (QStringList{QStringLiteral("0.50"), QStringLiteral("11.00"), QStringLiteral("12.00")}));
    // Four laps: the median is the third fastest.
    EXPECT_EQ(state->MedianLap[1], QStringLiteral("10.50"));

    // Back in lap order the laps show as run; the lap store itself was not sorted.
    state->SortByLapTime = false;
    LapTable byLap = buildLapTable(*state).value();
    EXPECT_EQ(columnTexts(byLap.grid, 1, 5),
              (QStringList{QStringLiteral("0.75"), QStringLiteral("10.50"), QStringLiteral("9.80"),
                           QStringLiteral("11.20"), QStringLiteral("9.80")}));
    EXPECT_EQ(byLap.caption, QStringLiteral("Lap Times sorted by Lap number"));
}

TEST(LapTable, SortedMediansOfOddLapCounts) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {13.0f, 9.0f, 12.0f, 10.0f, 11.0f});
    setLaps(*state, 2, {11.0f, 9.0f, 10.0f});
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    state->SortByLapTime = true;
    ASSERT_TRUE(buildLapTable(*state).ok());
    EXPECT_EQ(state->MedianLap[1], QStringLiteral("12.00"));  // index 5 / 2 + 1 = 3.5 -> 4
    EXPECT_EQ(state->MedianLap[2], QStringLiteral("10.00"));  // index 2.5 -> 2
}

TEST(LapTable, LapCellsShowTwoDecimalsAndNothingForZero) {
    const struct {
        float seconds;
        const char* text;
    } cases[] = {{12.34f, "12.34"}, {7.0f, "7.00"},   {0.0f, ""},
                 {0.004f, ""},      {0.005f, "0.01"}, {120.5f, "120.50"}};
    for (const auto& c : cases) {
        EXPECT_EQ(lapCellText(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
    }
    EXPECT_EQ(lapLabel(0), QStringLiteral("RT"));
    EXPECT_EQ(lapLabel(1), QStringLiteral(" 1"));
    EXPECT_EQ(lapLabel(2997), QStringLiteral(" 2997"));
}

}  // namespace
}  // namespace lapdeck
