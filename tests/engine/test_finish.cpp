#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

class FinishTest : public EngineTest {
protected:
    // Flag 1 laps in 3.0 s and flag 2 in 3.1 s; the other lanes never cross.
    void runTenLapRaceToLeaderLap8() {
        configure(Format::LapRace, 10, 1, "2");
        start();
        for (int k = 1; k <= 8; ++k) {
            tickAt(3000 * k, {"1"});
            tickAt(3100 * k, {"2"});
        }
    }

    void expectFinishLaps(std::array<int, kFlags> expected) {
        for (int f = 1; f <= kFlags; ++f) {
            EXPECT_EQ(state.FinishLap[f], expected[static_cast<size_t>(f - 1)]) << "flag " << f;
        }
    }

    void expectRaceOver(const char* endCue) {
        EXPECT_EQ(state.RaceOver, 1);
        EXPECT_EQ(caption(), qs("Reset"));
        ASSERT_FALSE(host.sounds.empty());
        EXPECT_EQ(host.sounds.back().file, qs(endCue));
        EXPECT_EQ(host.sounds.back().volume, 100);
        EXPECT_TRUE(state.screen.raceOverVisible);
        EXPECT_FALSE(state.timerRunning);
        ASSERT_FALSE(host.timerCalls.empty());
        EXPECT_FALSE(host.timerCalls.back());
        EXPECT_EQ(state.RaceDateTime, qs("Dec-05, 16-07"));
        EXPECT_TRUE(state.screen.menuViewData);
        EXPECT_TRUE(state.screen.menuFile);
        EXPECT_FALSE(state.screen.menuSettings);
        EXPECT_FALSE(state.screen.menuRaceFormat);
        EXPECT_FALSE(state.screen.menuRacers);
        EXPECT_FALSE(state.screen.menuSound);
        EXPECT_FALSE(state.screen.menuHelp);
    }
};

TEST_F(FinishTest, WhiteFlagCheckeredFlagAndEndOfATenLapRace) {
    runTenLapRaceToLeaderLap8();
    tickAt(27000, {"1"});
    EXPECT_FALSE(state.WhiteFlagShown) << "the finish test runs before the tick's reports";
    tickAt(27010);
    EXPECT_TRUE(state.WhiteFlagShown);
    EXPECT_EQ(state.FlagPicture, qs("whiteflagblack.bmp"));
    EXPECT_EQ(state.screen.picture, qs("whiteflagblack.bmp"));
    ASSERT_EQ(host.count("whiteflag2.wav"), 1);
    EXPECT_EQ(host.sounds.back().volume, 100);
    EXPECT_EQ(host.sounds.back().pan, 50);

    tickAt(27900, {"2"});
    tickAt(30000, {"1"});
    EXPECT_FALSE(state.CheckeredShown);
    tickAt(30010);
    EXPECT_TRUE(state.CheckeredShown);
    EXPECT_EQ(host.count("checkeredflag.wav"), 1);
    EXPECT_EQ(state.FlagPicture, qs("CheckeredFlagblack.bmp"));
    EXPECT_EQ(state.screen.picture, qs("CheckeredFlagblack.bmp"));
    expectFinishLaps({10, 10, 1, 1, 1, 1});
    EXPECT_EQ(state.FinishDeadline, 30000 + 4500);
    EXPECT_EQ(state.RaceOver, 0);

    tickAt(31000, {"2"});
    EXPECT_EQ(state.LapCount[2], 10);
    EXPECT_EQ(state.RaceOver, 0) << "the race ends at the tick after the deciding crossing";
    tickAt(31010);
    expectRaceOver("Raceover.wav");
    EXPECT_EQ(host.count("whiteflag2.wav"), 1);
    EXPECT_EQ(host.count("checkeredflag.wav"), 1);
}

TEST_F(FinishTest, DeadlineEndsTheRaceWhenACarDoesNotCrossAgain) {
    runTenLapRaceToLeaderLap8();
    run({{27000, 1}, {27900, 2}, {30000, 1}});
    tickAt(30010);
    ASSERT_EQ(state.FinishDeadline, 34500);
    tickAt(34500);
    tickAt(34510);
    EXPECT_EQ(state.RaceOver, 0) << "a clock equal to the deadline goes on";
    tickAt(34520);
    expectRaceOver("Raceover.wav");
}

struct DeadlineCase {
    int32_t bestLap;
    int32_t expected;
};

class LapRaceDeadlineTest : public FinishTest,
                            public ::testing::WithParamInterface<DeadlineCase> {};

TEST_P(LapRaceDeadlineTest, OneAndAHalfBestLapsRoundedHalfToEven) {
    const int32_t lap = GetParam().bestLap;
    configure(Format::LapRace, 3, 1, "1");
    start();
    run({{1000, 1}, {1500, 2}, {1000 + lap, 1}, {1000 + 2 * lap, 1}});
    ASSERT_EQ(state.BestLapTime[1], lap);
    tickAt(1000 + 2 * lap + 10);
    ASSERT_TRUE(state.CheckeredShown);
    EXPECT_EQ(state.FinishDeadline, GetParam().expected);
    expectFinishLaps({3, 2, 1, 1, 1, 1});
}

// Checkered at 1000 + 2 x lap: 3002 + 1501.5, 3006 + 1504.5, 5002 + 3001.5, 5006 + 3004.5.
INSTANTIATE_TEST_SUITE_P(BestLaps, LapRaceDeadlineTest,
                         ::testing::Values(DeadlineCase{1001, 4504}, DeadlineCase{1003, 4510},
                                           DeadlineCase{2001, 8004}, DeadlineCase{2003, 8010}));

class TimedRaceDeadlineTest : public FinishTest,
                              public ::testing::WithParamInterface<DeadlineCase> {};

TEST_P(TimedRaceDeadlineTest, OnePointNineBestLapsPlusFiveSecondsRoundedHalfToEven) {
    const int32_t lap = GetParam().bestLap;
    configure(Format::TimedRace, 1, 1, "1");
    start();
    run({{1000, 1}, {1500, 2}, {1000 + lap, 1}, {1000 + 2 * lap, 1}});
    tickAt(60000);
    EXPECT_FALSE(state.CheckeredShown);
    tickAt(60010);
    ASSERT_TRUE(state.CheckeredShown);
    EXPECT_EQ(host.count("CheckeredFlag.wav"), 1);
    EXPECT_EQ(state.screen.picture, qs("CheckeredFlagblack.bmp"));
    EXPECT_EQ(state.FinishDeadline, GetParam().expected);
    expectFinishLaps({3, 2, 1, 1, 1, 1});
    EXPECT_EQ(state.RaceOver, 0);
}

// Time up at 60000: + 1901.9, + 1928.5, + 1947.5, + 3800, each + 5000.
INSTANTIATE_TEST_SUITE_P(BestLaps, TimedRaceDeadlineTest,
                         ::testing::Values(DeadlineCase{1001, 66902}, DeadlineCase{1015, 66928},
                                           DeadlineCase{1025, 66948}, DeadlineCase{2000, 68800}));

TEST_F(FinishTest, TenSecondWarningOnceThenTimeUpEndsAnEmptyRace) {
    configure(Format::TimedRace, 2, 1, "2");
    start();
    tenMsTicksUntil(110000);
    EXPECT_EQ(host.count("10seconds.wav"), 0);
    tick();
    EXPECT_EQ(host.count("10seconds.wav"), 1);
    EXPECT_EQ(state.TenSecondWarned, 1);
    tenMsTicksUntil(120000);
    EXPECT_EQ(host.count("10seconds.wav"), 1);
    EXPECT_FALSE(state.CheckeredShown);
    EXPECT_EQ(state.screen.clock, qs("00:00"));
    // Nobody crossed: every lane counts as done at the checkered flag.
    tick();
    EXPECT_TRUE(state.CheckeredShown);
    ASSERT_GE(host.sounds.size(), 2u);
    EXPECT_EQ(host.sounds[host.sounds.size() - 2].file, qs("CheckeredFlag.wav"));
    expectRaceOver("RaceOver.wav");
    EXPECT_EQ(host.count("whiteflag2.wav"), 0);
}

TEST_F(FinishTest, TimedRaceHasNoWhiteFlagAndEveryOtherCarRunsOneMoreLap) {
    state.RaceLaps = 3;  // left from a lap race; a timed race ignores it
    configure(Format::TimedRace, 1, 1, "2");
    start();
    run({{10000, 1}, {10500, 2}, {20000, 1}, {20500, 2}, {30000, 1}, {30500, 2}});
    tickAt(60000);
    tickAt(60010);
    ASSERT_TRUE(state.CheckeredShown);
    EXPECT_EQ(host.count("whiteflag2.wav"), 0);
    EXPECT_FALSE(state.WhiteFlagShown);
    expectFinishLaps({3, 4, 1, 1, 1, 1});
    EXPECT_EQ(state.FinishDeadline, 60000 + 19000 + 5000);
    tickAt(61000, {"2"});
    EXPECT_EQ(state.RaceOver, 0);
    tickAt(61010);
    expectRaceOver("RaceOver.wav");
}

TEST_F(FinishTest, CarReachingTheDistanceInTheLeadersTickHasFinished) {
    configure(Format::LapRace, 3, 1, "2");
    start();
    run({{3000, 1}, {3000, 2}, {6000, 1}, {6000, 2}, {9000, 1}, {9000, 2}});
    // The race ends in the checkered tick; its waiting report is not read.
    tickAt(9010, {"3"});
    expectFinishLaps({3, 3, 1, 1, 1, 1});
    expectRaceOver("Raceover.wav");
    EXPECT_EQ(state.LapCount[3], 0);
    EXPECT_EQ(port.pending.size(), 1u);
    EXPECT_EQ(host.count("cargoingby.wav"), 6);
}

TEST_F(FinishTest, SameTickFinisherWithAThirdCarStillRunning) {
    configure(Format::LapRace, 3, 1, "2");
    start();
    run({{3000, 1}, {3000, 2}, {3500, 3}, {6000, 1}, {6000, 2}, {6500, 3}, {9000, 1}, {9000, 2}});
    tickAt(9010);
    expectFinishLaps({3, 3, 3, 1, 1, 1});
    EXPECT_EQ(state.RaceOver, 0);
    tickAt(9500, {"3"});
    EXPECT_EQ(state.RaceOver, 0);
    tickAt(9510);
    expectRaceOver("Raceover.wav");
}

TEST_F(FinishTest, OneLapRaceBeginningWithLap1HasNoWhiteFlag) {
    configure(Format::LapRace, 1, 1, "2");
    start();
    tickAt(500);
    tickAt(1000, {"2"});
    EXPECT_EQ(state.RaceOver, 0);
    tickAt(1010);
    EXPECT_EQ(host.count("whiteflag2.wav"), 0);
    EXPECT_EQ(host.count("checkeredflag.wav"), 1);
    expectFinishLaps({1, 1, 1, 1, 1, 1});
    expectRaceOver("Raceover.wav");
}

TEST_F(FinishTest, LeaderOnLap0IsNotReadAsRunning) {
    configure(Format::LapRace, 1, 0, "2");
    start();
    tickAt(1000, {"2"});
    ASSERT_EQ(state.LapCount[2], 0);
    tickAt(1010);
    EXPECT_FALSE(state.WhiteFlagShown) << "lap 0 on top does not start the finish test";
    EXPECT_FALSE(state.CheckeredShown);
    tickAt(4000, {"2"});
    tickAt(4010);
    EXPECT_EQ(host.count("whiteflag2.wav"), 0);
    EXPECT_TRUE(state.CheckeredShown);
    expectRaceOver("Raceover.wav");
}

TEST_F(FinishTest, PauseInTheFinishPhaseThenContinue) {
    configure(Format::LapRace, 3, 1, "2");
    start();
    run({{3000, 1}, {3500, 2}, {6000, 1}, {6500, 2}, {9000, 1}});
    tickAt(9010);
    ASSERT_TRUE(state.CheckeredShown);
    engine.cmdStart_Click();
    EXPECT_EQ(caption(), qs("Continue"));
    EXPECT_EQ(state.screen.picture, qs("YellowFlagblack.bmp"));
    EXPECT_EQ(state.FlagPicture, qs("CheckeredFlagblack.bmp"));
    engine.cmdStart_Click();
    EXPECT_EQ(caption(), qs("Pause"));
    EXPECT_EQ(state.screen.picture, qs("CheckeredFlagblack.bmp"));
    EXPECT_EQ(state.RaceOver, 0);
    EXPECT_TRUE(state.timerRunning);
    tickAt(9600, {"2"});
    EXPECT_EQ(state.RaceOver, 0);
    tickAt(9610);
    expectRaceOver("Raceover.wav");
}

TEST_F(FinishTest, PracticeNeverEnds) {
    state.RaceLaps = 3;
    state.RaceMinutes = 1;
    configure(Format::Practice, 0, 1, "2");
    start();
    for (int k = 1; k <= 40; ++k) {
        tickAt(3000 * k, {"1", "2"});
        tick();
    }
    tenMsTicksUntil(130000);
    EXPECT_EQ(state.LapCount[1], 40);
    EXPECT_EQ(state.RaceOver, 0);
    EXPECT_FALSE(state.WhiteFlagShown);
    EXPECT_FALSE(state.CheckeredShown);
    EXPECT_EQ(state.TenSecondWarned, 0);
    EXPECT_EQ(state.FinishDeadline, kNoDeadline);
    EXPECT_EQ(caption(), qs("Pause"));
    EXPECT_EQ(host.sounds.size(), 80u);
    EXPECT_EQ(host.count("cargoingby.wav"), 80);
    EXPECT_EQ(state.screen.clock, qs("02:09"));
}

}  // namespace
}  // namespace lapdeck::test
