// What the hand-checked replay races cannot show: the window's colours, alignment and
// date line, the statistics' edges, and reading summary files back.
#include "RaceSummary.h"

#include <gtest/gtest.h>

#include "ResultsTestSupport.h"
#include "SummaryFile.h"

namespace lapdeck::test {
namespace {

const QDateTime kNow(QDate(2023, 12, 5), QTime(16, 7));

TEST(RaceSummary, RaceWithoutPositionsGivesAMessageAndAHeaderOnlyText) {
    auto state = makeState(false, 0);
    SummaryStats stats;
    const ResultMessage notice{qs("Summary"), qs("Insufficent data to display summary"),
                               Icon::Information};
    EXPECT_EQ(buildRaceSummary(*state, stats, kNow).error(), notice);
    const SummaryText text = summaryTextBytes(*state, stats);
    EXPECT_EQ(text.notice, notice);
    // The heading itself is in every hand-checked race's summary.txt.
    EXPECT_EQ(crlfLines(text.bytes).mid(2), QStringList(3, QString()));
    EXPECT_TRUE(text.bytes.startsWith(" Pos        Flag"));
}

TEST(RaceSummary, WindowGridColoursAlignmentAndDateLine) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {10.0f, 10.0f, 10.0f});
    state->BestLapTime[1] = 10000;
    setLaps(*state, 3, {10.0f, 10.0f, 10.0f, 10.0f});
    state->Disabled[3] = true;  // disabled after counting laps
    state->Disabled[4] = true;
    setOrder(*state, {1, 3, 4, 2, 5, 6});
    SummaryStats stats;
    const RaceSummary summary = buildRaceSummary(*state, stats, kNow).value();
    const ResultGrid& grid = summary.grid;
    EXPECT_EQ(summary.header, qs("10 Lap Race\r\nDec-05, 16:07"));
    for (int r = 0; r < 9; ++r) {
        for (int k = 0; k < 13; ++k) {
            EXPECT_EQ(grid.cell(r, k).align, r <= 7 ? CellAlign::Centre : CellAlign::Default);
        }
    }
    EXPECT_EQ(grid.cell(2, 2).background, 1001) << "the flag's swatch colour";
    EXPECT_EQ(rowTexts(grid, 2).mid(0, 4), strings({" 1", "Ann", "Yellow", " 3"}));
    EXPECT_FALSE(grid.cell(2, 4).foreground.has_value());
    EXPECT_EQ(rowTexts(grid, 3),
              strings({" 2", "Disabled", "Blue", "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(rowTexts(grid, 4).mid(0, 6),
              strings({" 3", "Disabled", "White", "", "Insufficent", "Data"}));
    EXPECT_EQ(grid.cell(4, 4).foreground, kInsufficientColour);
    EXPECT_EQ(grid.cell(4, 5).foreground, kInsufficientColour);

    state->IsPractice = true;
    state->RaceTitle = qs("Practice");
    EXPECT_EQ(buildRaceSummary(*state, stats, QDateTime()).value().header, qs("Practice\r\n"));
}

TEST(SummaryStatistics, CrashesAreLapsStrictlyAboveOnePointTwoTimesTheBest) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {12.0f, 10.0f, 12.01f, 15.5f});  // 12.00 is not above 12.0 s
    state->BestLapTime[1] = 10000;
    SummaryStats stats;
    computeCrashes(*state, 1, stats);
    EXPECT_EQ(stats.CrashCount[1], 2);
    EXPECT_EQ(stats.CrashPercent[1], 50);
    // laps, slow laps, percent: halves go to the even neighbour, and 2000 x 100 does
    // not fit 16 bits.
    const std::tuple<int, int, int> cases[] = {{8, 1, 12}, {8, 3, 38},       {40, 1, 2},
                                               {6, 1, 17}, {3000, 2000, 67}, {5, 0, 0}};
    for (const auto& [laps, slow, percent] : cases) {
        for (int n = 1; n <= laps; ++n) {
            state->LapTimes[2][n] = n <= slow ? 20.0f : 10.0f;
        }
        state->LapCount[2] = static_cast<int16_t>(laps);
        state->BestLapTime[2] = 10000;
        computeCrashes(*state, 2, stats);
        EXPECT_EQ(stats.CrashCount[2], slow) << laps;
        EXPECT_EQ(stats.CrashPercent[2], percent) << laps << "/" << slow;
    }
}

// The speeds themselves are in the races' summaries.
TEST(SummaryStatistics, TimeAndSpeedTexts) {
    EXPECT_EQ(totalTimeText(3601999) + u'|' + totalTimeText(0), qs("60:01.999|0:00.000"));
    auto state = makeState(false, 0);
    state->BestLapTime[2] = 0;
    state->BestLapTime[3] = 6385;
    EXPECT_EQ(bestSpeedText(*state, 2), QString()) << "no speed without a best lap";
    EXPECT_EQ(bestLapText(*state, 3), qs("6.39"));  // the decimal 6.385 rounds up
}

TEST(SummaryFile, ReadsBackWhatWasWrittenWithTheRedCells) {
    auto state = makeState(false, -1);
    setLaps(*state, 3, {1.0f, 10.0f, 11.0f, 12.0f, 13.0f});
    state->BestLapTime[3] = 10000;
    setLaps(*state, 2, {2.0f, 9.0f});
    setOrder(*state, {3, 2, 1, 4, 5, 6});
    SummaryStats stats;
    const RaceSummary summary = buildRaceSummary(*state, stats, kNow).value();
    const QByteArray bytes = summaryFileBytes(state->RaceTitle, summary.grid);
    EXPECT_EQ(crlfLines(bytes).size(), 119);  // 118 lines, each CR LF ended
    Expected<SummaryFileContent> read = readSummaryFile(bytes);
    ASSERT_TRUE(read.ok()) << read.error().text.toStdString();
    EXPECT_EQ(read.value().title, qs("10 Lap Race"));
    const ResultGrid& grid = read.value().grid;
    expectReadBack(grid, summary.grid,
                   [](int r) { return r <= 7 ? CellAlign::Centre : CellAlign::Default; });
    EXPECT_EQ(grid.cell(3, 5).foreground, kInsufficientColour);
}

TEST(SummaryFile, RowEightIsNotNeededButShortOrDamagedFilesAreExplained) {
    Expected<SummaryFileContent> read =
        readSummaryFile("Practice\r\n" + QByteArray("c\r\n").repeated(8 * 13));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().grid.text(7, 12), qs("c"));
    EXPECT_EQ(read.value().grid.text(8, 0), QString());
    const QByteArray cases[] = {
        QByteArray(), "Practice\r\n", "Practice\r\n" + QByteArray("c\r\n").repeated(8 * 13 - 1),
        "Practice,a,b\r\n",
        "Practice\r\n" + QByteArray("c\r\n").repeated(30) + QByteArray(1001, 'c') + "\r\n" +
            QByteArray("c\r\n").repeated(80)};
    for (const QByteArray& bytes : cases) {
        Expected<SummaryFileContent> bad = readSummaryFile(bytes);
        ASSERT_FALSE(bad.ok()) << bytes.size();
        EXPECT_TRUE(bad.error().text.contains(qs("summary file")));
    }
}

}  // namespace
}  // namespace lapdeck::test
