#include "SummaryFile.h"

#include <gtest/gtest.h>

#include "ResultsTestSupport.h"

namespace lapdeck {
namespace {

using namespace testing_support;

const QDateTime kNow(QDate(2023, 12, 5), QTime(16, 7));

const char* const kRaceHeader =
    " Pos        Flag   Total Total      Lag   Lag    Best   Best  Avg   \r\n"
    " Name       Color  Laps  Time       First Behind MPH    Lap   Time  Med   Crash %\r\n";

// A race beginning with lap 0 with one flag of every kind of summary line.
std::unique_ptr<RaceState> mixedRace() {
    auto state = makeState(false, -1);
    // Flag 3 leads: laps 1..4 of 10, 11, 12, 13 s after a 1 s run to the line.
    setLaps(*state, 3, {1.0f, 10.0f, 11.0f, 12.0f, 13.0f});
    state->LastCrossing[3] = 47000;
    state->BestLapTime[3] = 10000;
    state->LagFirst[3] = QStringLiteral("0.00");
    state->LagBehind[3] = QStringLiteral("0.00");
    state->MedianLap[3] = QStringLiteral("12.00");
    // Flag 1: three laps of 10.5 s.
    setLaps(*state, 1, {0.8f, 10.5f, 10.5f, 10.5f});
    state->LastCrossing[1] = 33000;
    state->BestLapTime[1] = 10500;
    state->LagFirst[1] = QStringLiteral("1Lap");
    state->LagBehind[1] = QStringLiteral("1Lap");
    state->MedianLap[1] = QStringLiteral("10.50");
    // Flag 2: one lap, so no best lap yet.
    setLaps(*state, 2, {2.0f, 9.0f});
    state->LastCrossing[2] = 11000;
    state->LagFirst[2] = QStringLiteral("3Lap");
    state->LagBehind[2] = QStringLiteral("2Lap");
    state->MedianLap[2] = QStringLiteral("0.00");
    // Flag 4: only the run to the line. Flag 5: disabled. Flag 6: never crossed.
    setLaps(*state, 4, {1.5f});
    state->live.disabled[5] = true;
    setOrder(*state, {3, 1, 2, 4, 5, 6});
    return state;
}

TEST(SummaryText, RaceLinesInPositionOrder) {
    auto state = mixedRace();
    auto stats = std::make_unique<SummaryStats>();
    SummaryText text = summaryTextBytes(*state, *stats);
    EXPECT_FALSE(text.notice.has_value());
    // Flag 3: 360 / 10 s = 36.0 MPH, average 46 / 4 = 11.50, one lap above 12.0 s: 25 %.
    // Flag 1: 360 / 10.5 s = 34.29 MPH. Flag 2: no speed, best or average fields.
    const QByteArray expected =
        QByteArray(kRaceHeader) +
        "\r\n"
        "1 Cy        Blue    4    0:47.000   0.00  0.00   36.0   10.00 11.50 12.00   1   25\r\n"
        "2 Ann       Yellow  3    0:33.000   1Lap  1Lap   34.3   10.50 10.50 10.50   0   0\r\n"
        "3 Bob       Green   1    0:11.000   3Lap  2Lap         0.00    0   0\r\n"
        "Dee        Insufficent data to display summary\r\n"
        "Fay        Insufficent data to display summary\r\n"
        "\r\n";
    EXPECT_EQ(text.bytes, expected);
    EXPECT_FLOAT_EQ(stats->AverageLap[3], 11.5f);
    EXPECT_EQ(stats->CrashCount[3], 1);
    EXPECT_EQ(stats->CrashPercent[3], 25);
}

TEST(SummaryText, PracticeLinesInFlagOrder) {
    auto state = makeState(true, 0);
    setLaps(*state, 1, {14.0f, 10.0f, 11.0f, 12.0f, 13.0f});
    state->BestLapTime[1] = 10000;
    state->MedianLap[1] = QStringLiteral("12.00");
    state->live.disabled[2] = true;
    setLaps(*state, 3, {9.0f});
    setLaps(*state, 4, {9.0f, 8.0f});
    state->BestLapTime[4] = 8000;
    state->MedianLap[4] = QStringLiteral("9.00");
    auto stats = std::make_unique<SummaryStats>();
    stats->AverageLap[4] = 77.0f;  // from an earlier race: must not show
    SummaryText text = summaryTextBytes(*state, *stats);
    // Flag 1: laps 14 and 13 are above 12.0 s: 2 crashes, 40 %; average 46 / 4.
    const QByteArray expected =
        "Racer     Flag   Total Best   Best   Ave    \r\n"
        "Name      Color  Laps  MPH    Lap    Time   Med   Crash  %\r\n"
        "\r\n"
        "Ann       Yellow  5    36.0   10.00  11.50  12.00  2     40\r\n"
        "Cy        Insufficent data to display summary\r\n"
        "Dee       White   2    45.0   8.00          9.00   0     0\r\n"
        "Eve       Insufficent data to display summary\r\n"
        "Fay       Insufficent data to display summary\r\n"
        "\r\n";
    EXPECT_EQ(text.bytes, expected);
    EXPECT_EQ(stats->CrashCount[1], 2);
    EXPECT_EQ(stats->AverageLap[4], 77.0f);
}

TEST(SummaryText, RaceWithoutPositionsWritesTheHeaderAndSaysWhy) {
    auto state = makeState(false, 0);
    SummaryText text = summaryTextBytes(*state, *std::make_unique<SummaryStats>());
    ASSERT_TRUE(text.notice.has_value());
    EXPECT_EQ(text.notice->text, QStringLiteral("Insufficent data to display summary"));
    EXPECT_EQ(text.notice->title, QStringLiteral("Summary"));
    EXPECT_EQ(text.bytes, QByteArray(kRaceHeader) + "\r\n\r\n");
}

TEST(SummaryFile, WritesTitleThenEveryCellAndReadsItBack) {
    auto state = mixedRace();
    RaceSummary summary = buildRaceSummary(*state, *std::make_unique<SummaryStats>(), kNow).value();
    const QByteArray bytes = summaryFileBytes(state->RaceTitle, summary.grid);
    const QStringList lines = crlfLines(bytes);
    ASSERT_EQ(lines.size(), 119);  // 118 lines, each CR LF ended
    EXPECT_EQ(lines[0], QStringLiteral("10 Lap Race"));
    EXPECT_EQ(lines.mid(14, 13), texts({"Pos ", "Name", "Color", "Laps", "Time", "First", "Behind",
                                        "MPH", "Lap", "Time", "Med", "Crash", "Crh %"}));
    EXPECT_EQ(lines.mid(27, 5), texts({" 1", "Cy", "Blue", " 4", " 0:47.000"}));
    EXPECT_EQ(lines.mid(105, 13), QStringList(13, QString()));  // row 8

    Expected<SummaryFileContent> read = readSummaryFile(bytes);
    ASSERT_TRUE(read.ok()) << read.error().text.toStdString();
    const ResultGrid& grid = read.value().grid;
    EXPECT_EQ(read.value().title, QStringLiteral("10 Lap Race"));
    ASSERT_EQ(grid.rowCount(), 9);
    ASSERT_EQ(grid.columnCount(), 13);
    for (int r = 0; r < 9; ++r) {
        for (int k = 0; k < 13; ++k) {
            EXPECT_EQ(grid.text(r, k), summary.grid.text(r, k).trimmed()) << r << "," << k;
            EXPECT_EQ(grid.cell(r, k).foreground, summary.grid.cell(r, k).foreground)
                << r << "," << k;
        }
    }
    // Flag 2 (one lap) is "Insufficent" "Data" in red in the window and when read back.
    EXPECT_EQ(grid.text(4, 4), QStringLiteral("Insufficent"));
    EXPECT_EQ(grid.cell(4, 5).foreground, kInsufficientColour);
    EXPECT_EQ(grid.cell(2, 0).align, CellAlign::Centre);
}

QByteArray fieldLines(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out += "c\r\n";
    }
    return out;
}

TEST(SummaryFile, RowEightIsNotNeededButShortFilesAreExplained) {
    Expected<SummaryFileContent> read = readSummaryFile("Practice\r\n" + fieldLines(8 * 13));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value().grid.text(7, 12), QStringLiteral("c"));
    EXPECT_EQ(read.value().grid.text(8, 0), QString());
    const QByteArray cases[] = {QByteArray(), "Practice\r\n",
                                "Practice\r\n" + fieldLines(8 * 13 - 1), "Practice,a,b\r\n"};
    for (const QByteArray& bytes : cases) {
        Expected<SummaryFileContent> bad = readSummaryFile(bytes);
        ASSERT_FALSE(bad.ok()) << bytes.size();
        EXPECT_TRUE(bad.error().text.contains(QStringLiteral("summary file")));
    }
}

}  // namespace
}  // namespace lapdeck
