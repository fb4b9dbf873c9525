// What the hand-checked replay races cannot show: grid colours and alignment, the
// row limits, and practice ignoring a stale running order.
#include "LapTable.h"

#include <gtest/gtest.h>

#include "LapFile.h"
#include "ResultsTestSupport.h"

namespace lapdeck::test {
namespace {

TEST(LapTable, RaceWithoutPositionsIsInsufficientData) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {5.0f, 6.0f});
    const ResultMessage refused{qs("Lap Times"), qs("Insufficient data to view Laps"),
                                Icon::Information};
    EXPECT_EQ(buildLapTable(*state).error(), refused);
    EXPECT_EQ(lapTextBytes(*state).error(), refused);
    state->IsPractice = true;  // practice needs no positions
    EXPECT_EQ(buildLapTable(*state).value().grid.text(2, 1), qs("5.00"));
}

// The leader's laps decide the rows; the grid never has fewer than 20 (the races'
// laps.lap files show 20 rows and each flag's cells ending after its last lap).
TEST(LapTable, LeaderDecidesRowsWithTwentyAtLeastAndTheGridsLastRowAtMost) {
    // leader's laps, grid rows, first lap index
    const std::tuple<int, int, int> cases[] = {
        {0, 20, 0}, {19, 21, 0}, {kMaxLap, 3000, 0}, {kMaxLap, 3000, -1}};
    for (const auto& [leaderLaps, gridRows, first] : cases) {
        SCOPED_TRACE(leaderLaps);
        auto state = makeState(false, first);
        for (int n = first + 1; n <= leaderLaps; ++n) {
            state->LapTimes[4][n] = 10.0f;
        }
        state->LapCount[4] = static_cast<int16_t>(leaderLaps);
        setOrder(*state, {4, 1, 2, 3, 5, 6});
        const LapTable table = buildLapTable(*state).value();
        const int rows = std::min(leaderLaps - first, 2998);  // rows 2..2999 at most
        EXPECT_EQ(table.grid.rowCount(), gridRows);
        EXPECT_THROW(table.grid.cell(gridRows, 6), std::out_of_range) << "no row past the last";
        EXPECT_EQ(table.lapRows, rows);
        if (rows > 0) {
            EXPECT_EQ(table.grid.text(1 + rows, 0), u' ' + QString::number(first + rows));
            EXPECT_EQ(table.grid.text(1 + rows, 1), qs("10.00"));
        }
    }
}

TEST(LapTable, PracticeListsFlagsInFlagOrderAndTheLongestRunDecidesRows) {
    auto state = makeState(true, 0);
    for (int n = 1; n <= 25; ++n) {
        state->LapTimes[4][n] = 8.0f;
    }
    state->LapCount[4] = 25;
    setLaps(*state, 1, {9.0f, 9.25f, 9.5f});
    setOrder(*state, {6, 5, 4, 3, 2, 1});  // stale, from an earlier race
    const LapTable table = buildLapTable(*state).value();
    EXPECT_EQ(table.grid.rowCount(), 27);
    EXPECT_EQ(rowTexts(table.grid, 0),
              strings({"", "Yellow", "Green", "Blue", "White", "Purple", "Orange"}));
    EXPECT_EQ(table.grid.text(26, 4), qs("8.00"));
    EXPECT_EQ(table.grid.text(4, 1) + u'|' + table.grid.text(5, 1), qs("9.50|"));
}

TEST(LapTable, HeadersTakeTheScreenRowColoursAndCellsAreAligned) {
    auto state = makeState(false, 0);
    setLaps(*state, 5, {7.0f});
    setOrder(*state, {5, 3, 1, 2, 4, 6});
    for (int k = 1; k <= kFlags; ++k) {
        state->screen.row[k].colour = 2000 + k;  // row k shows the flag of column k
    }
    const ResultGrid grid = buildLapTable(*state).value().grid;
    for (int k = 1; k <= kFlags; ++k) {
        for (int r : {0, 1}) {
            EXPECT_EQ(grid.cell(r, k).background, 2000 + k);
            EXPECT_EQ(grid.cell(r, k).align, CellAlign::LeftCentre);
        }
    }
    EXPECT_EQ(grid.cell(0, 1).text + grid.cell(2, 0).text, qs("Purple 1"));
    EXPECT_EQ(grid.cell(2, 0).align, CellAlign::Centre);
    EXPECT_EQ(grid.cell(2, 1), (GridCell{qs("7.00"), CellAlign::Centre, {}, {}}));
}

TEST(LapFile, ReadsBackWhatWasWrittenCellByCell) {
    auto state = makeState(false, -1);
    setLaps(*state, 2, {1.47f, 7.04f, 6.57f, 7.12f});
    setLaps(*state, 1, {0.75f, 6.47f, 6.87f});
    state->Disabled[4] = true;
    setOrder(*state, {2, 1, 4, 3, 5, 6});
    const LapTable table = buildLapTable(*state).value();
    Expected<LapFileContent> read = readLapFile(lapFileBytes(table.header, table.grid));
    ASSERT_TRUE(read.ok()) << read.error().text.toStdString();
    EXPECT_EQ(read.value().title, qs("10 Lap Race"));
    const ResultGrid& grid = read.value().grid;
    ASSERT_EQ(grid.rowCount(), 20);
    // Blanks around a field are dropped: " 1" comes back as "1".
    expectReadBack(grid, table.grid,
                   [](int r) { return r >= 2 ? CellAlign::Centre : CellAlign::LeftCentre; });
    EXPECT_EQ(grid.text(3, 0), qs("1"));
}

// A row of seven cells, the first `first`.
QByteArray oneRow(const QByteArray& first) {
    return first + "\r\n" + QByteArray("x\r\n").repeated(6);
}

// The fuzz test in tests/tools reads thousands of broken files; these are the edges.
TEST(LapFile, EveryShapeIsReadOrExplained) {
    const std::tuple<QByteArray, int, const char*> cases[] = {
        // bytes, rows read (-1: refused), part of the message
        {QByteArray(), -1, "empty"},
        {"Practice\r\n", 0, ""},
        {"T\r\n" + QByteArray("x\r\n").repeated(8), -1, "middle of a row"},
        // A comma in a name makes two cells, so the last row comes up one short.
        {"T\r\n" + QByteArray("x\r\n").repeated(6) + "Bob, Jr\r\n" +
             QByteArray("x\r\n").repeated(7),
         -1, "middle of a row"},
        {"T\r\n" + QByteArray("x\r\n").repeated(7 * 3001), 3001, ""},
        {"T\r\n" + QByteArray("x\r\n").repeated(7 * 3002), -1, "3001"},
        // Cells of up to 1,000 characters, however many bytes they take; a longer
        // cell, or a line too long for one anywhere in the file, is damage.
        {"T\r\n" + oneRow(QByteArray(1000, 'x')), 1, ""},
        {"T\r\n" + oneRow(QByteArray("\xC3\xA9").repeated(1000)), 1, ""},
        {"T\r\n" + oneRow(QByteArray(1001, 'x')), -1, "more than 1,000 characters"},
        {"T\r\n" + oneRow("x") + QByteArray(5000, 'y'), -1, "more than 1,000 characters"},
    };
    for (const auto& [bytes, rows, why] : cases) {
        Expected<LapFileContent> read = readLapFile(bytes);
        EXPECT_EQ(read.ok() ? read.value().grid.rowCount() : -1, rows) << bytes.size();
        EXPECT_TRUE(read.ok()
                        ? read.value().grid.columnCount() == 7
                        : read.error().text.contains(qs(why)) && !read.error().title.isEmpty())
            << bytes.size();
    }
}

}  // namespace
}  // namespace lapdeck::test
