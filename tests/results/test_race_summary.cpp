#include "RaceSummary.h"

#include <gtest/gtest.h>

#include "ResultsTestSupport.h"

namespace lapdeck {
namespace {

using namespace testing_support;

const QDateTime kNow(QDate(2023, 12, 5), QTime(16, 7));

QStringList rowTexts(const ResultGrid& grid, int row) {
    QStringList texts;
    for (int k = 0; k < grid.columnCount(); ++k) {
        texts << grid.text(row, k);
    }
    return texts;
}

TEST(RaceSummary, RaceHeaders) {
    auto state = makeState(false, 0);
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    RaceSummary summary = buildRaceSummary(*state, *std::make_unique<SummaryStats>(), kNow).value();
    EXPECT_EQ(summary.grid.rowCount(), 9);
    EXPECT_EQ(summary.grid.columnCount(), 13);
    EXPECT_EQ(rowTexts(summary.grid, 0), (texts({"", "", "Flag", "Total", "Total", "Lag", "Lag",
                                                 "Best", "Best", "Avg", "", "", ""})));
    EXPECT_EQ(rowTexts(summary.grid, 1),
              (texts({"Pos ", "Name", "Color", "Laps", "Time", "First", "Behind", "MPH", "Lap",
                      "Time", "Med", "Crash", "Crh %"})));
    EXPECT_EQ(summary.header, QStringLiteral("10 Lap Race\r\nDec-05, 16:07"));
    for (int r = 0; r <= 7; ++r) {
        for (int k = 0; k < 13; ++k) {
            EXPECT_EQ(summary.grid.cell(r, k).align, CellAlign::Centre) << r << "," << k;
        }
    }
    EXPECT_EQ(rowTexts(summary.grid, 8), QStringList(13, QString()));
}

TEST(RaceSummary, PracticeHeadersAndFlagOrder) {
    auto state = makeState(true, 0);
    setOrder(*state, {6, 5, 4, 3, 2, 1});
    RaceSummary summary =
        buildRaceSummary(*state, *std::make_unique<SummaryStats>(), QDateTime()).value();
    EXPECT_EQ(summary.header, QStringLiteral("Practice\r\n"));  // no clock, no date line
    EXPECT_EQ(summary.grid.text(1, 0), QStringLiteral("Flag "));
    EXPECT_EQ(summary.grid.text(0, 5), QString());
    EXPECT_EQ(summary.grid.text(0, 6), QString());
    EXPECT_EQ(summary.grid.text(1, 5), QString());
    EXPECT_EQ(summary.grid.text(1, 6), QString());
    for (int i = 1; i <= kFlags; ++i) {
        EXPECT_EQ(summary.grid.text(i + 1, 0), u' ' + QString::number(i));
        EXPECT_EQ(summary.grid.text(i + 1, 1), kNames[i]);
    }
}

TEST(RaceSummary, RaceWithoutPositionsGivesAMessageNotACrash) {
    auto state = makeState(false, 0);
    Expected<RaceSummary> summary =
        buildRaceSummary(*state, *std::make_unique<SummaryStats>(), kNow);
    ASSERT_FALSE(summary.ok());
    EXPECT_EQ(summary.error().text, QStringLiteral("Insufficent data to display summary"));
    EXPECT_EQ(summary.error().title, QStringLiteral("Summary"));
}

TEST(RaceSummary, LeaderRowHoldsEveryStatistic) {
    auto state = makeState(false, 0);
    // Flag 3: lap 1 from the start 12.00, then 10.00 except one 15.00 lap (lap 5).
    std::vector<float> laps(20, 10.0f);
    laps[0] = 12.0f;
    laps[4] = 15.0f;
    for (int n = 1; n <= 20; ++n) {
        state->LapTimes[3][n] = laps[n - 1];
        state->SortedLapTimes[3][n] = laps[n - 1];
    }
    state->LapCount[3] = 20;
    state->LastCrossing[3] = 187250;
    state->BestLapTime[3] = 10000;
    state->LagFirst[3] = QStringLiteral("0.00");
    state->LagBehind[3] = QStringLiteral("0.00");
    setOrder(*state, {3, 1, 2, 4, 5, 6});
    state->live.swatchColour[3] = 4242;
    auto stats = std::make_unique<SummaryStats>();
    RaceSummary summary = buildRaceSummary(*state, *stats, kNow).value();
    // 360 / 10 s = 36.0 MPH; average of laps 2..20 = 195 / 19 = 10.263..; the 11th of
    // 20 sorted laps is 10.00; one lap above 12.0 s, 1 of 20 = 5 %.
    EXPECT_EQ(rowTexts(summary.grid, 2),
              (texts({" 1", "Cy", "Blue", " 20", " 3:07.250", "0.00", "0.00", "36.0", "10.00",
                      "10.26", "10.00", " 1", " 5"})));
    EXPECT_EQ(summary.grid.cell(2, 2).background, 4242);
    EXPECT_FLOAT_EQ(stats->AverageLap[3], 195.0f / 19.0f);
    EXPECT_EQ(stats->CrashCount[3], 1);
    EXPECT_EQ(stats->CrashPercent[3], 5);
    // Row 3 is position 2 (flag 1, no laps).
    EXPECT_EQ(summary.grid.text(3, 0), QStringLiteral(" 2"));
    EXPECT_EQ(summary.grid.text(3, 1), QStringLiteral("Ann"));
}

TEST(RaceSummary, FewerThanThreeLapsOrDisabledShowNoStatistics) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {10.0f, 10.0f, 10.0f});
    state->BestLapTime[1] = 10000;
    setLaps(*state, 2, {10.0f, 10.0f});
    state->BestLapTime[2] = 10000;
    setLaps(*state, 3, {10.0f, 10.0f, 10.0f, 10.0f});
    state->BestLapTime[3] = 10000;
    state->live.disabled[3] = true;
    state->live.disabled[4] = true;
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    RaceSummary summary = buildRaceSummary(*state, *std::make_unique<SummaryStats>(), kNow).value();
    EXPECT_EQ(summary.grid.text(2, 3), QStringLiteral(" 3"));
    EXPECT_EQ(
        rowTexts(summary.grid, 3),
        (texts({" 2", "Bob", "Green", "", "Insufficent", "Data", "", "", "", "", "", "", ""})));
    EXPECT_EQ(summary.grid.cell(3, 4).foreground, kInsufficientColour);
    EXPECT_EQ(summary.grid.cell(3, 5).foreground, kInsufficientColour);
    EXPECT_FALSE(summary.grid.cell(2, 4).foreground.has_value());
    // Disabled after counting laps: name reads "Disabled", columns 3..12 stay empty.
    EXPECT_EQ(rowTexts(summary.grid, 4),
              (texts({" 3", "Disabled", "Blue", "", "", "", "", "", "", "", "", "", ""})));
    // Disabled without laps: "Insufficent" "Data".
    EXPECT_EQ(rowTexts(summary.grid, 5), (texts({" 4", "Disabled", "White", "", "Insufficent",
                                                 "Data", "", "", "", "", "", "", ""})));
}

TEST(RaceSummary, AverageIsLeftEmptyWhenNotComputedInsteadOfAnEarlierValue) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {14.0f, 10.0f, 11.0f});  // 3 laps but only 2 after the first
    state->BestLapTime[1] = 10000;
    setOrder(*state, {1, 2, 3, 4, 5, 6});
    auto stats = std::make_unique<SummaryStats>();
    stats->AverageLap[1] = 99.0f;
    RaceSummary summary = buildRaceSummary(*state, *stats, kNow).value();
    EXPECT_EQ(summary.grid.text(2, 9), QString());
    EXPECT_EQ(stats->AverageLap[1], 99.0f);
    EXPECT_EQ(summary.grid.text(2, 10), QStringLiteral("11.00"));  // index 3/2+1 = 2.5 -> 2
}

struct AverageCase {
    int firstLapIndex;
    std::vector<float> laps;
    bool computed;
    float average;
};

TEST(SummaryStatistics, AverageLeavesOutTheFirstLap) {
    const AverageCase cases[] = {
        {0, {14.0f, 10.0f, 11.0f, 12.0f, 13.0f}, true, 11.5f},
        {-1, {0.5f, 10.0f, 11.0f, 12.0f, 13.0f}, true, 11.5f},  // RT entry, then laps 1..4
        {-1, {0.5f, 10.0f, 11.0f, 12.0f}, true, 11.0f},
        {-1, {0.5f, 10.0f, 11.0f}, false, 0.0f},
        {0, {14.0f, 10.0f, 11.0f, 12.0f}, true, 11.0f},
        {0, {14.0f, 10.0f, 11.0f}, false, 0.0f},
    };
    for (const AverageCase& c : cases) {
        auto state = makeState(false, c.firstLapIndex);
        int n = c.firstLapIndex;
        for (float lap : c.laps) {
            state->LapTimes[1][++n] = lap;
        }
        state->LapCount[1] = static_cast<int16_t>(n);
        auto stats = std::make_unique<SummaryStats>();
        EXPECT_EQ(computeAverageLap(*state, 1, *stats), c.computed) << c.laps.size();
        EXPECT_FLOAT_EQ(stats->AverageLap[1], c.average) << c.laps.size();
    }
}

TEST(SummaryStatistics, CrashesAreLapsAboveOnePointTwoTimesTheBestNotTheRtEntry) {
    auto state = makeState(false, 0);
    setLaps(*state, 1, {12.0f, 10.0f, 12.01f, 15.5f});
    state->BestLapTime[1] = 10000;
    auto stats = std::make_unique<SummaryStats>();
    computeCrashes(*state, 1, *stats);
    EXPECT_EQ(stats->CrashCount[1], 2);  // 12.00 is not above the 12.0 s threshold
    EXPECT_EQ(stats->CrashPercent[1], 50);

    auto rt = makeState(false, -1);
    setLaps(*rt, 1, {30.0f, 10.0f, 10.0f, 10.0f});
    rt->BestLapTime[1] = 10000;
    computeCrashes(*rt, 1, *stats);
    EXPECT_EQ(stats->CrashCount[1], 0);
}

TEST(SummaryStatistics, CrashPercentRoundsHalvesToEvenWithoutOverflow) {
    const struct {
        int laps;
        int slowLaps;
        int crashes;
        int percent;
    } cases[] = {
        {8, 1, 1, 12},           {8, 3, 3, 38},          {40, 1, 1, 2}, {40, 3, 3, 8},
        {6, 1, 1, 17},           {3000, 2000, 2000, 67},  // 2000 x 100 does not fit 16 bits
        {3000, 3000, 3000, 100}, {5, 0, 0, 0},
    };
    for (const auto& c : cases) {
        auto state = makeState(false, 0);
        for (int n = 1; n <= c.laps; ++n) {
            state->LapTimes[2][n] = n <= c.slowLaps ? 20.0f : 10.0f;
        }
        state->LapCount[2] = static_cast<int16_t>(c.laps);
        state->BestLapTime[2] = 10000;
        auto stats = std::make_unique<SummaryStats>();
        computeCrashes(*state, 2, *stats);
        EXPECT_EQ(stats->CrashCount[2], c.crashes) << c.laps << "/" << c.slowLaps;
        EXPECT_EQ(stats->CrashPercent[2], c.percent) << c.laps << "/" << c.slowLaps;
    }
}

TEST(SummaryStatistics, TimeAndSpeedTexts) {
    EXPECT_EQ(totalTimeText(187250), QStringLiteral("3:07.250"));
    EXPECT_EQ(totalTimeText(65004), QStringLiteral("1:05.004"));
    EXPECT_EQ(totalTimeText(3601999), QStringLiteral("60:01.999"));
    EXPECT_EQ(totalTimeText(0), QStringLiteral("0:00.000"));

    auto state = makeState(false, 0);
    state->SpeedMultiplier = 1636.36f;
    state->BestLapTime[1] = 5000;
    state->BestLapTime[2] = 0;
    state->BestLapTime[3] = 6385;
    EXPECT_EQ(bestSpeedText(*state, 1), QStringLiteral("327.3"));
    EXPECT_EQ(bestSpeedText(*state, 2), QString());  // no division by zero
    EXPECT_EQ(bestLapText(*state, 1), QStringLiteral("5.00"));
    EXPECT_EQ(bestLapText(*state, 3), QStringLiteral("6.39"));  // 6.385 rounds up
}

}  // namespace
}  // namespace lapdeck
