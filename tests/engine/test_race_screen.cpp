#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

using RaceScreenTest = EngineTest;

TEST_F(RaceScreenTest, RowsFollowTheStandingsInTheFlagsColours) {
    configure(Format::LapRace);
    start();
    run({{1000, 3}, {1500, 1}, {4000, 3}, {4600, 1}});
    EXPECT_EQ(row(1), qs(" Cy|2|3.00|3.00 |0.00|1003"));
    EXPECT_EQ(row(2), qs(" Ann|2|3.10|3.10 |0.60|1001"));  // "Lag First"
    EXPECT_EQ(row(3), qs(" Bob||0.00|||1002"));            // no crossing yet
    EXPECT_EQ(row(6), qs(" Flo||0.00|||1006"));
}

TEST_F(RaceScreenTest, LagBehindNeedsOneLap) {
    host.lagMode = qs("Lag Behind");
    configure(Format::LapRace, 10, 0);
    start();
    run({{1000, 1}, {1200, 2}, {4000, 1}});
    // Flag 1 on lap 1 leads; flag 2 on lap 0 and flag 3 (no crossing) show nothing.
    EXPECT_EQ(state.screen.row[1].lagTime, qs("0.00"));
    EXPECT_EQ(state.LagBehind[3], qs("0.00"));
    EXPECT_EQ(state.screen.row[2].lagTime, QString());
    EXPECT_EQ(state.screen.row[3].lagTime, QString());
    run({{4500, 2}});
    EXPECT_EQ(state.screen.row[2].lagTime, qs("0.50"));
}

TEST_F(RaceScreenTest, LapTimeShowsWholeSecondsFromAMinuteOn) {
    configure(Format::LapRace);
    start();
    const std::pair<int32_t, const char*> laps[] = {
        {60000, "60"}, {59996, "60.00"}, {61500, "62"}, {2010, "2.01"}, {125400, "125"}};
    int32_t clock = 1000;
    tickAt(clock, {"1"});
    for (const auto& [ms, text] : laps) {
        clock += ms;
        tickAt(clock, {"1"});
        EXPECT_EQ(state.screen.row[1].lapTime, qs(text)) << ms;
    }
}

TEST_F(RaceScreenTest, ScaleSpeedOfTheLastLapFromTheSecondLapOn) {
    configure(Format::LapRace);
    state.screen.bestHeader = qs("MPH");
    state.SpeedMultiplier = static_cast<float>(100.0 / 5280 * 3600 * 24);
    start();
    run({{1000, 1}, {1200, 2}});
    EXPECT_EQ(state.screen.row[1].best, QString());
    run({{6000, 1}});
    EXPECT_EQ(state.screen.row[1].best, qs("327.3 "));
    state.SpeedMultiplier = 340.9091f;
    run({{12000, 1}});  // a slower lap: the speed follows the last lap, not the best
    EXPECT_EQ(state.screen.row[1].best, qs("56.8 "));
}

TEST_F(RaceScreenTest, MedianInEitherColumnFromTwoLapsOn) {
    host.lagMode = qs("Median");
    configure(Format::LapRace, 10, 0);
    state.screen.bestHeader = qs("Median");
    start();
    // Flag 1: lap 0, then laps of 10.50, 9.80, 11.20 and 9.80 s.
    run({{1000, 1}, {11500, 1}, {12000, 2}, {21300, 1}, {32500, 1}, {42300, 1}, {43000, 2}});
    EXPECT_EQ(state.screen.row[1].lagTime, qs("10.50"));
    EXPECT_EQ(state.screen.row[1].best, qs("10.50"));
    EXPECT_EQ(state.SortedLapTimes[1][1], 9.8f);
    EXPECT_EQ(state.SortedLapTimes[1][4], 11.2f);
    // Flag 2 has one lap: no median in either column.
    EXPECT_EQ(row(2), qs(" Bob|1|31.00|||1002"));
}

// ------------------------------------------------------------------ practice

class PracticeScreenTest : public RaceScreenTest {
protected:
    void SetUp() override {
        state.live.disabled[5] = true;
        configure(Format::Practice, 0, 0);
        start();
    }
};

TEST_F(PracticeScreenTest, RowsStayWithTheirFlags) {
    state.screen.row[1].lapNum = state.screen.row[1].lapTime = qs("old");
    state.screen.row[2].name = qs(" Picked");
    state.screen.row[4].colour = 77;
    state.screen.row[5].lapTime = qs("old");
    // Flag 3: lap 0, then 5.00 s and 6.00 s; flag 6 one lap.
    run({{1000, 3}, {2000, 6}, {6000, 3}, {6500, 6}, {12000, 3}});
    // Lag column: median of 5.00 and 6.00; lap 1 is never a best lap.
    EXPECT_EQ(row(3), qs(" Cy|2|6.00|6.00 |6.00|2003"));
    EXPECT_EQ(row(6), qs(" Flo|1|4.50|||2006"));
    // No crossing yet: the lap cells keep what they showed.
    EXPECT_EQ(row(1), qs(" Ann|old|old|||2001"));
    EXPECT_EQ(state.screen.row[2].name, qs(" Picked"));
    EXPECT_EQ(state.screen.row[4].colour, 77);
    EXPECT_EQ(state.screen.row[5].name, qs(" Disabled"));
    EXPECT_EQ(state.screen.row[5].lapTime, QString());
    EXPECT_EQ(state.screen.lagHeader, qs("Median"));
}

TEST_F(PracticeScreenTest, BestColumnHasBestLapAndSpeedOnly) {
    state.SpeedMultiplier = 340.9091f;
    run({{1000, 1}, {3500, 1}, {8500, 1}});
    EXPECT_EQ(state.screen.row[1].best, qs("5.00 "));
    engine.lblBestLap_Click();
    EXPECT_EQ(state.screen.bestHeader, qs("MPH"));
    EXPECT_EQ(state.screen.row[1].best, qs("68.2 "));
    // A "Median" left from a race reads as speed until the header is clicked.
    state.screen.bestHeader = qs("Median");
    run({{13600, 1}});
    EXPECT_EQ(state.screen.row[1].best, qs("66.8 "));
}

}  // namespace
}  // namespace lapdeck::test
