#include <array>

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
        EXPECT_EQ(controls(), "Reset CheckeredFlagblack.bmp [File ViewData]");
        ASSERT_FALSE(host.sounds.empty());
        EXPECT_EQ(host.sounds.back().file, qs(endCue));
        EXPECT_EQ(host.sounds.back().volume, 100);
        EXPECT_TRUE(state.screen.raceOverVisible);
        EXPECT_EQ(state.RaceDateTime, qs("Dec-05, 16-07"));
    }
};

TEST_F(FinishTest, WhiteFlagCheckeredFlagAndEndOfATenLapRace) {
    configure(Format::LapRace, 10);
    start();
    for (int k = 1; k <= 8; ++k) {
        run({{3000 * k, 1}, {3100 * k, 2}});
    }
    tickAt(27000, {"1"});
    EXPECT_FALSE(state.WhiteFlagShown) << "the finish test runs before the tick's reports";
    tickAt(27010);
    EXPECT_TRUE(state.WhiteFlagShown);
    EXPECT_EQ(state.FlagPicture + state.screen.picture, qs("whiteflagblack.bmpwhiteflagblack.bmp"));
    ASSERT_EQ(host.count("whiteflag2.wav"), 1);
    EXPECT_EQ(host.sounds.back().volume, 100);
    EXPECT_EQ(host.sounds.back().pan, 50);

    tickAt(27900, {"2"});
    tickAt(30000, {"1"});
    EXPECT_FALSE(state.CheckeredShown);
    tickAt(30010);
    EXPECT_TRUE(state.CheckeredShown);
    EXPECT_EQ(host.count("checkeredflag.wav"), 1);
    expectFinishLaps({10, 10, 1, 1, 1, 1});
    EXPECT_EQ(state.FinishDeadline, 30000 + 4500);
    // A pause in the finish phase shows yellow; Continue brings the checkered flag back.
    engine.cmdStart_Click();
    EXPECT_EQ(state.screen.picture, qs("YellowFlagblack.bmp"));
    engine.cmdStart_Click();
    EXPECT_EQ(controls(), "Pause CheckeredFlagblack.bmp [] timer");

    tickAt(31000, {"2"});
    EXPECT_EQ(state.LapCount[2], 10);
    EXPECT_EQ(state.RaceOver, 0) << "the race ends at the tick after the deciding crossing";
    tickAt(31010);
    expectRaceOver("Raceover.wav");
    EXPECT_EQ(host.count("whiteflag2.wav") + host.count("checkeredflag.wav"), 2);
}

// Lap race: 1.5 best laps from the checkered flag; timed race: 1.9 best laps + 5 s from
// time up. Both round half to even. Every other car runs one more lap.
TEST_F(FinishTest, DeadlineFromTheBestLap) {
    // Checkered at 1000 + 2 x lap: 3006 + 1504.5, 5002 + 3001.5. Time up at 60000:
    // + 1928.5 + 5000, + 1947.5 + 5000.
    const std::tuple<Format, int32_t, int32_t> cases[] = {{Format::LapRace, 1003, 4510},
                                                          {Format::LapRace, 2001, 8004},
                                                          {Format::TimedRace, 1015, 66928},
                                                          {Format::TimedRace, 1025, 66948}};
    for (const auto& [format, bestLap, deadline] : cases) {
        SCOPED_TRACE(bestLap);
        const bool timed = format == Format::TimedRace;
        state.RaceLaps = 2;  // left from a lap race; a timed race ignores it
        configure(format, timed ? 1 : 3, 1, "1");
        host.sounds.clear();
        start();
        run({{1000, 1}, {1500, 2}, {1000 + bestLap, 1}, {1000 + 2 * bestLap, 1}});
        ASSERT_EQ(state.BestLapTime[1], bestLap);
        if (timed) {
            tickAt(60000);
            EXPECT_FALSE(state.CheckeredShown);
        }
        tick();
        ASSERT_TRUE(state.CheckeredShown);
        EXPECT_EQ(host.count(timed ? "CheckeredFlag.wav" : "checkeredflag.wav"), 1);
        EXPECT_EQ(state.FinishDeadline, deadline);
        EXPECT_EQ(state.WhiteFlagShown, !timed);
        expectFinishLaps({3, 2, 1, 1, 1, 1});
        tickAt(state.RaceClock + 500, {"2"});
        EXPECT_EQ(state.RaceOver, 0);
        tick();
        expectRaceOver(timed ? "RaceOver.wav" : "Raceover.wav");
        state.SummaryUnsaved = state.LapsUnsaved = false;
        engine.cmdStart_Click();
    }
}

TEST_F(FinishTest, TenSecondWarningOnceThenTimeUpEndsAnEmptyRace) {
    configure(Format::TimedRace, 2);
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
    ASSERT_EQ(host.sounds.size(), 3u);
    EXPECT_EQ(host.sounds[1].file, qs("CheckeredFlag.wav"));
    expectRaceOver("RaceOver.wav");
}

TEST_F(FinishTest, CarsReachingTheDistanceInTheLeadersTickHaveFinished) {
    configure(Format::LapRace, 3);
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
    for (const int firstLap : {1, 0}) {
        SCOPED_TRACE(firstLap);
        host.sounds.clear();
        configure(Format::LapRace, 1, firstLap);
        start();
        tickAt(1000, {"2"});
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

}  // namespace
}  // namespace lapdeck::test
