#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

class FinishTest : public EngineTest {
protected:
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
        EXPECT_EQ(enabledMenus(state.screen), "File ViewData");
    }
};

TEST_F(FinishTest, WhiteFlagCheckeredFlagAndEndOfATenLapRace) {
    configure(Format::LapRace, 10, 1, "2");
    start();
    for (int k = 1; k <= 8; ++k) {
        run({{3000 * k, 1}, {3100 * k, 2}});
    }
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

    tickAt(31000, {"2"});
    EXPECT_EQ(state.LapCount[2], 10);
    EXPECT_EQ(state.RaceOver, 0) << "the race ends at the tick after the deciding crossing";
    tickAt(31010);
    expectRaceOver("Raceover.wav");
    EXPECT_EQ(host.count("whiteflag2.wav") + host.count("checkeredflag.wav"), 2);
}

TEST_F(FinishTest, DeadlineEndsTheRaceWhenACarDoesNotCrossAgain) {
    configure(Format::LapRace, 3, 1, "2");
    start();
    run({{1000, 1}, {1500, 2}, {4000, 1}, {7000, 1}});
    tickAt(7010);
    ASSERT_EQ(state.FinishDeadline, 7000 + 4500);
    tickAt(11500);
    tickAt(11510);
    EXPECT_EQ(state.RaceOver, 0) << "a clock equal to the deadline goes on";
    tickAt(11520);
    expectRaceOver("Raceover.wav");
}

struct DeadlineCase {
    Format format;
    int32_t bestLap;
    int32_t expected;
};

class DeadlineTest : public FinishTest, public ::testing::WithParamInterface<DeadlineCase> {};

// Lap race: 1.5 best laps from the checkered flag; timed race: 1.9 best laps + 5 s from
// time up. Both round half to even.
TEST_P(DeadlineTest, FromTheBestLapRoundedHalfToEven) {
    const DeadlineCase c = GetParam();
    const bool timed = c.format == Format::TimedRace;
    state.RaceLaps = 2;  // left from a lap race; a timed race ignores it
    configure(c.format, timed ? 1 : 3, 1, "1");
    start();
    run({{1000, 1}, {1500, 2}, {1000 + c.bestLap, 1}, {1000 + 2 * c.bestLap, 1}});
    ASSERT_EQ(state.BestLapTime[1], c.bestLap);
    if (timed) {
        tickAt(60000);
        EXPECT_FALSE(state.CheckeredShown);
    }
    tick();
    ASSERT_TRUE(state.CheckeredShown);
    EXPECT_EQ(host.count(timed ? "CheckeredFlag.wav" : "checkeredflag.wav"), 1);
    EXPECT_EQ(state.screen.picture, qs("CheckeredFlagblack.bmp"));
    EXPECT_EQ(state.FinishDeadline, c.expected);
    EXPECT_EQ(state.WhiteFlagShown, !timed);
    // Every other car runs one more lap.
    expectFinishLaps({3, 2, 1, 1, 1, 1});
    EXPECT_EQ(state.RaceOver, 0);
    tickAt(state.RaceClock + 500, {"2"});
    EXPECT_EQ(state.RaceOver, 0);
    tick();
    expectRaceOver(timed ? "RaceOver.wav" : "Raceover.wav");
}

// Checkered at 1000 + 2 x lap: 3002 + 1501.5, 3006 + 1504.5, 5002 + 3001.5, 5006 + 3004.5.
// Time up at 60000: + 1901.9, + 1928.5, + 1947.5, + 3800, each + 5000.
INSTANTIATE_TEST_SUITE_P(BestLaps, DeadlineTest,
                         ::testing::Values(DeadlineCase{Format::LapRace, 1001, 4504},
                                           DeadlineCase{Format::LapRace, 1003, 4510},
                                           DeadlineCase{Format::LapRace, 2001, 8004},
                                           DeadlineCase{Format::LapRace, 2003, 8010},
                                           DeadlineCase{Format::TimedRace, 1001, 66902},
                                           DeadlineCase{Format::TimedRace, 1015, 66928},
                                           DeadlineCase{Format::TimedRace, 1025, 66948},
                                           DeadlineCase{Format::TimedRace, 2000, 68800}));

TEST_F(FinishTest, TenSecondWarningOnceThenTimeUpEndsAnEmptyRace) {
    configure(Format::TimedRace, 2, 1, "2");
    start();
    tenMsTicksUntil(110000);
    EXPECT_EQ(host.count("10seconds.wav"), 0);
    tick();
    EXPECT_EQ(host.count("10seconds.wav"), 1);
    tenMsTicksUntil(120000);
    EXPECT_EQ(host.count("10seconds.wav"), 1);
    EXPECT_FALSE(state.CheckeredShown);
    // Nobody crossed: every lane counts as done at the checkered flag.
    tick();
    EXPECT_TRUE(state.CheckeredShown);
    ASSERT_GE(host.sounds.size(), 2u);
    EXPECT_EQ(host.sounds[host.sounds.size() - 2].file, qs("CheckeredFlag.wav"));
    expectRaceOver("RaceOver.wav");
}

TEST_F(FinishTest, CarsReachingTheDistanceInTheLeadersTickHaveFinished) {
    configure(Format::LapRace, 3, 1, "2");
    start();
    run({{3000, 1}, {3000, 2}, {3500, 3}, {6000, 1}, {6000, 2}, {6500, 3}, {9000, 1}, {9000, 2}});
    tickAt(9010);
    expectFinishLaps({3, 3, 3, 1, 1, 1});
    EXPECT_EQ(state.RaceOver, 0);
    tickAt(9500, {"3"});
    // The race ends at the next finish test; the report waiting then is not read.
    tickAt(9510, {"4"});
    expectRaceOver("Raceover.wav");
    EXPECT_EQ(state.LapCount[4], 0);
    EXPECT_EQ(port.pending.size(), 1u);
}

TEST_F(FinishTest, OneLapRaceHasNoWhiteFlagAndLap0OnTopIsNotRunning) {
    for (int firstLap : {1, 0}) {
        SCOPED_TRACE(firstLap);
        host.sounds.clear();
        configure(Format::LapRace, 1, firstLap, "2");
        host.startSequences.clear();
        start();
        tickAt(1000, {"2"});
        EXPECT_EQ(state.RaceOver, 0);
        tickAt(1010);
        EXPECT_EQ(state.CheckeredShown, firstLap == 1)
            << "lap 0 on top does not start the finish test";
        if (firstLap == 0) {
            tickAt(4000, {"2"});
            tickAt(4010);
        } else {
            expectFinishLaps({1, 1, 1, 1, 1, 1});
        }
        EXPECT_EQ(host.count("whiteflag2.wav"), 0);
        EXPECT_EQ(host.count("checkeredflag.wav"), 1);
        expectRaceOver("Raceover.wav");
        state.SummaryUnsaved = state.LapsUnsaved = false;
        engine.cmdStart_Click();
    }
}

TEST_F(FinishTest, PauseInTheFinishPhaseThenContinue) {
    configure(Format::LapRace, 3, 1, "2");
    start();
    run({{3000, 1}, {3500, 2}, {6000, 1}, {6500, 2}, {9000, 1}});
    tickAt(9010);
    ASSERT_TRUE(state.CheckeredShown);
    engine.cmdStart_Click();
    EXPECT_EQ(state.screen.picture, qs("YellowFlagblack.bmp"));
    EXPECT_EQ(state.FlagPicture, qs("CheckeredFlagblack.bmp"));
    engine.cmdStart_Click();
    EXPECT_EQ(state.screen.picture, qs("CheckeredFlagblack.bmp"));
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
    EXPECT_EQ(state.RaceOver + state.TenSecondWarned, 0);
    EXPECT_FALSE(state.WhiteFlagShown || state.CheckeredShown);
    EXPECT_EQ(state.FinishDeadline, kNoDeadline);
    EXPECT_EQ(caption(), qs("Pause"));
    EXPECT_EQ(host.sounds.size(), 80u);
    EXPECT_EQ(host.count("cargoingby.wav"), 80);
    EXPECT_EQ(state.screen.clock, qs("02:09"));
}

}  // namespace
}  // namespace lapdeck::test
