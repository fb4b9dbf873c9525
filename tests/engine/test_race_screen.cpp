#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

class RaceScreenTest : public EngineTest {};

TEST_F(RaceScreenTest, RowsFollowTheStandingsInTheFlagsColours) {
    configure(Format::LapRace, 10, 1, "2");
    start();
    run({{1000, 3}, {1500, 1}, {4000, 3}, {4600, 1}});
    const ScreenRow& first = state.screen.row[1];
    EXPECT_EQ(first.name, qs(" Cy"));
    EXPECT_EQ(first.lapNum, qs("2"));
    EXPECT_EQ(first.lapTime, qs("3.00"));
    EXPECT_EQ(first.best, qs("3.00 "));
    EXPECT_EQ(first.lagTime, qs("0.00"));
    EXPECT_EQ(first.colour, 1003);
    const ScreenRow& second = state.screen.row[2];
    EXPECT_EQ(second.name, qs(" Ann"));
    EXPECT_EQ(second.lapNum, qs("2"));
    EXPECT_EQ(second.lapTime, qs("3.10"));
    EXPECT_EQ(second.best, qs("3.10 "));
    EXPECT_EQ(second.lagTime, qs("0.60"));  // "Lag First"
    EXPECT_EQ(second.colour, 1001);
    const ScreenRow& third = state.screen.row[3];  // flag 2: no crossing yet
    EXPECT_EQ(third.name, qs(" Bob"));
    EXPECT_EQ(third.lapNum, QString());
    EXPECT_EQ(third.lapTime, qs("0.00"));
    EXPECT_EQ(third.best, QString());
    EXPECT_EQ(third.lagTime, QString());
    EXPECT_EQ(third.colour, 1002);
    EXPECT_EQ(state.screen.row[6].name, qs(" Flo"));
    EXPECT_EQ(state.screen.row[6].colour, 1006);
}

TEST_F(RaceScreenTest, LagBehindNeedsOneLap) {
    host.lagMode = qs("Lag Behind");
    configure(Format::LapRace, 10, 0, "2");
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
    configure(Format::LapRace, 10, 1, "2");
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
    configure(Format::LapRace, 10, 1, "2");
    state.screen.bestHeader = qs("MPH");
    state.SpeedMultiplier = static_cast<float>(100.0 / 5280 * 3600 * 24);
    start();
    run({{1000, 1}, {1200, 2}});
    EXPECT_EQ(state.screen.row[1].best, QString());
    run({{6000, 1}});
    EXPECT_EQ(state.screen.row[1].best, qs("327.3 "));
    state.SpeedMultiplier = 340.9091f;
    run({{6200, 2}});
    EXPECT_EQ(state.screen.row[2].best, qs("68.2 "));
    run({{12000, 1}});  // a slower lap: the speed follows the last lap, not the best
    EXPECT_EQ(state.screen.row[1].best, qs("56.8 "));
}

TEST_F(RaceScreenTest, MedianInEitherColumnFromTwoLapsOn) {
    host.lagMode = qs("Median");
    configure(Format::LapRace, 10, 0, "2");
    state.screen.bestHeader = qs("Median");
    start();
    // Flag 1: lap 0, then laps of 10.50, 9.80, 11.20 and 9.80 s.
    run({{1000, 1}, {11500, 1}, {12000, 2}, {21300, 1}, {32500, 1}, {42300, 1}, {43000, 2}});
    const ScreenRow& leader = state.screen.row[1];
    EXPECT_EQ(leader.lagTime, qs("10.50"));
    EXPECT_EQ(leader.best, qs("10.50"));
    EXPECT_EQ(state.SortedLapTimes[1][1], 9.8f);
    EXPECT_EQ(state.SortedLapTimes[1][4], 11.2f);
    // Flag 2 has one lap: no median in either column.
    EXPECT_EQ(state.screen.row[2].lapNum, qs("1"));
    EXPECT_EQ(state.screen.row[2].lagTime, QString());
    EXPECT_EQ(state.screen.row[2].best, QString());
}

TEST_F(RaceScreenTest, MedianNeedsTwoLaps) {
    host.lagMode = qs("Median");
    configure(Format::LapRace, 10, 1, "2");
    start();
    run({{1000, 1}, {4000, 1}, {4500, 2}});
    const ScreenRow& leader = state.screen.row[1];
    EXPECT_EQ(leader.lagTime, qs("3.00"));
    EXPECT_EQ(leader.best, qs("3.00 "));
    const ScreenRow& second = state.screen.row[2];
    EXPECT_EQ(second.lapNum, qs("1"));
    EXPECT_EQ(second.lagTime, QString());
    EXPECT_EQ(second.best, QString());
}

TEST_F(RaceScreenTest, DisabledLaneTakesItsPlaceInRaceOrder) {
    state.live.disabled[2] = true;
    configure(Format::LapRace, 10, 1, "2");
    start();
    run({{1000, 3}, {1500, 2}});
    EXPECT_EQ(state.Position[2], 3);
    const ScreenRow& row = state.screen.row[3];
    EXPECT_EQ(row.name, qs(" Disabled"));
    EXPECT_EQ(row.lapTime, QString());
    EXPECT_EQ(row.lapNum, QString());
    EXPECT_EQ(row.colour, 1002);
}

TEST_F(RaceScreenTest, AllSixRowsAreRedrawn) {
    host.names[4] = qs("Empty");
    host.names[5] = qs("Empty");
    host.names[6] = qs("Empty");
    configure(Format::LapRace, 10, 1, "2");
    start();
    for (int r = 1; r <= kFlags; ++r) {
        ScreenRow& row = state.screen.row[r];
        row.name = row.lapNum = row.lapTime = row.best = row.lagTime = qs("stale");
        row.colour = -1;
    }
    tickAt(1000, {"9"});
    for (int r = 1; r <= kFlags; ++r) {
        const ScreenRow& row = state.screen.row[r];
        EXPECT_EQ(row.name, r <= 3 ? qs(" ") + host.names[r] : qs(" Empty")) << r;
        EXPECT_EQ(row.lapNum, QString()) << r;
        EXPECT_EQ(row.lapTime, qs("0.00")) << r;
        EXPECT_EQ(row.best, QString()) << r;
        EXPECT_EQ(row.lagTime, r == 1 ? qs("0.00") : QString()) << r;
        EXPECT_EQ(row.colour, 1000 + r) << r;
    }
}

// ------------------------------------------------------------------ practice

class PracticeScreenTest : public EngineTest {
protected:
    void SetUp() override {
        state.live.disabled[5] = true;
        configure(Format::Practice, 0, 0, "2");
        start();
    }
};

TEST_F(PracticeScreenTest, RowsStayWithTheirFlags) {
    state.screen.row[1].lapNum = qs("old");
    state.screen.row[1].lapTime = qs("old");
    state.screen.row[2].name = qs(" Picked");
    state.screen.row[4].colour = 77;
    state.screen.row[5].lapTime = qs("old");
    // Flag 3: lap 0, then 5.00 s and 6.00 s; flag 6 one lap.
    run({{1000, 3}, {2000, 6}, {6000, 3}, {6500, 6}, {12000, 3}});
    const ScreenRow& three = state.screen.row[3];
    EXPECT_EQ(three.lapNum, qs("2"));
    EXPECT_EQ(three.lapTime, qs("6.00"));
    EXPECT_EQ(three.lagTime, qs("6.00"));  // median of 5.00 and 6.00
    EXPECT_EQ(three.best, qs("6.00 "));    // lap 1 is never a best lap
    const ScreenRow& six = state.screen.row[6];
    EXPECT_EQ(six.lapNum, qs("1"));
    EXPECT_EQ(six.lapTime, qs("4.50"));
    EXPECT_EQ(six.lagTime, QString());
    // No crossing yet: the lap cells keep what they showed.
    EXPECT_EQ(state.screen.row[1].lapNum, qs("old"));
    EXPECT_EQ(state.screen.row[1].lapTime, qs("old"));
    EXPECT_EQ(state.screen.row[1].lagTime, QString());
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
    engine.lblLag_Click();
    EXPECT_EQ(state.screen.lagHeader, qs("Median"));
}

}  // namespace
}  // namespace lapdeck::test
