#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

TEST_F(EngineTest, RowsFollowTheStandingsInTheFlagsColours) {
    configure(Format::LapRace);
    start();
    run({{1000, 3}, {1500, 1}, {4000, 3}, {4600, 1}});
    // "Lag First"; flags without a crossing have no lap number.
    EXPECT_EQ(rows({1, 2, 3, 6}),
              " Cy|2|3.00|3.00 |0.00|1003\n Ann|2|3.10|3.10 |0.60|1001\n Bob||0.00|||1002\n"
              " Flo||0.00|||1006\n");
}

TEST_F(EngineTest, LagBehindNeedsOneLap) {
    host.lagMode = LagColumn::LagBehind;
    configure(Format::LapRace, 10, 0);
    start();
    run({{1000, 1}, {1200, 2}, {4000, 1}});
    // Flag 1 on lap 1 leads; flag 2 on lap 0 and flag 3 (no crossing, though its text
    // is "0.00") show nothing.
    EXPECT_EQ(state.LagBehind[3], qs("0.00"));
    EXPECT_EQ(rows({1, 2, 3}), " Ann|1|3.00||0.00|1001\n Bob|0|1.20|||1002\n Cy||0.00|||1003\n");
    run({{4500, 2}});
    EXPECT_EQ(state.screen.row[2].lagTime, qs("0.50"));
}

TEST_F(EngineTest, LapTimeShowsWholeSecondsFromAMinuteOnAndSpeedFromLapTwo) {
    configure(Format::LapRace);
    state.screen.bestColumn = BestColumn::Mph;
    state.SpeedMultiplier = 340.9091f;
    start();
    tickAt(1000, {"1"});
    EXPECT_EQ(state.screen.row[1].best, QString()) << "no speed on lap 1";
    // The speed follows the last lap, not the best one.
    const std::tuple<int32_t, const char*, const char*> laps[] = {{60000, "60", "5.7 "},
                                                                  {59996, "60.00", "5.7 "},
                                                                  {61500, "62", "5.5 "},
                                                                  {5000, "5.00", "68.2 "},
                                                                  {125400, "125", "2.7 "}};
    int32_t clock = 1000;
    for (const auto& [ms, time, speed] : laps) {
        clock += ms;
        tickAt(clock, {"1"});
        EXPECT_EQ(state.screen.row[1].lapTime + u'|' + state.screen.row[1].best,
                  qs(time) + u'|' + qs(speed));
    }
}

TEST_F(EngineTest, MedianInEitherColumnFromTwoLapsOn) {
    host.lagMode = LagColumn::Median;
    configure(Format::LapRace, 10, 0);
    state.screen.bestColumn = BestColumn::Median;
    start();
    // Flag 1: lap 0, then laps of 10.50, 9.80, 11.20 and 9.80 s; flag 2 one lap.
    run({{1000, 1}, {11500, 1}, {12000, 2}, {21300, 1}, {32500, 1}, {42300, 1}, {43000, 2}});
    EXPECT_EQ(rows({1, 2}), " Ann|4|9.80|10.50|10.50|1001\n Bob|1|31.00|||1002\n");
}

TEST_F(EngineTest, PracticeRowsStayWithTheirFlags) {
    state.Disabled[5] = true;
    configure(Format::Practice, 0, 0);
    start();
    state.SpeedMultiplier = 340.9091f;
    state.screen.row[1].lapNum = state.screen.row[1].lapTime = qs("old");
    state.RacerName[2] = qs("Picked");
    state.screen.row[4].colour = 77;
    state.screen.row[5].lapTime = qs("old");
    // Flag 3: lap 0, then 5.00 s and 6.00 s; flag 6 one lap. No crossing yet: the lap
    // cells keep what they showed. The lag column is the median; lap 1 is never best.
    run({{1000, 3}, {2000, 6}, {6000, 3}, {6500, 6}, {12000, 3}});
    EXPECT_EQ(rows({1, 2, 3, 4, 5, 6}),
              " Ann|old|old|||1001\n Picked|||||1002\n Cy|2|6.00|6.00 |6.00|1003\n"
              " Dee|||||77\n Disabled|||||1005\n Flo|1|4.50|||1006\n");
    EXPECT_EQ(state.screen.lagColumn, LagColumn::Median);
    // The best column has the best lap or the speed only; a "Median" left from a race
    // reads as speed until the header is clicked.
    engine.lblBestLap_Click();
    EXPECT_EQ(state.screen.row[3].best, qs("56.8 "));
    state.screen.bestColumn = BestColumn::Median;
    run({{17000, 3}});
    EXPECT_EQ(state.screen.row[3].best, qs("68.2 "));
}

}  // namespace
}  // namespace lapdeck::test
