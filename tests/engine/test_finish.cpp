// Cars reaching the distance in the leader's tick, and a report read after the end, are
// shown by the hand-checked race lap5_rt_deadline in tests/tools/races.
#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

const char* const kOver = "Over CheckeredFlagblack.bmp";

class FinishTest : public EngineTest {
protected:
    std::string finishLaps() const {
        std::string out;
        for (int f = 1; f <= kFlags; ++f) {
            out += std::to_string(state.FinishLap[f]) + (f < kFlags ? " " : "");
        }
        return out;
    }
    // The race ended: over at the finish test, "Race  Over" shown, the end stamped.
    void expectRaceOver() {
        EXPECT_EQ(state.RaceOver, 1);
        EXPECT_EQ(controls(), kOver);
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
    EXPECT_EQ(host.cues(), "") << "the finish test runs before the tick's reports";
    tickAt(27010);
    EXPECT_EQ(host.cues(), "whiteflag2.wav 100 50");
    EXPECT_EQ(state.FlagPicture + state.screen.picture, qs("whiteflagblack.bmpwhiteflagblack.bmp"));
    tickAt(27900, {"2"});
    tickAt(30000, {"1"});
    tickAt(30010);
    EXPECT_EQ(host.cues(), "whiteflag2.wav 100 50, checkeredflag.wav 100 50");
    EXPECT_EQ(finishLaps(), "10 10 1 1 1 1");
    EXPECT_EQ(state.FinishDeadline, 30000 + 4500);
    // A pause in the finish phase shows yellow; Continue brings the checkered flag back.
    engine.cmdStart_Click();
    EXPECT_EQ(state.screen.picture, qs("YellowFlagblack.bmp"));
    engine.cmdStart_Click();
    EXPECT_EQ(controls(), "Racing CheckeredFlagblack.bmp timer");
    tickAt(31000, {"2"});
    EXPECT_EQ(state.LapCount[2], 10);
    EXPECT_EQ(state.RaceOver, 0) << "over at the next tick's finish test";
    tickAt(31010);
    expectRaceOver();
    EXPECT_EQ(host.cues(), "whiteflag2.wav 100 50, checkeredflag.wav 100 50, Raceover.wav 100 50");
}

// Timed race: 1.9 best laps + 5 s from time up, halves to even (1928.5 and 1947.5); every
// other car runs one more lap. A leader whose best lap was reset has its last lap in its
// place. The lap race's 1.5 best laps are in the races lap3_crash and lap5_rt_deadline.
TEST_F(FinishTest, TimedRaceDeadlineFromTheBestLap) {
    // laps 2 and 3 of the leader, its best lap reset?, deadline
    const std::tuple<int32_t, int32_t, bool, int32_t> cases[] = {
        {1015, 1015, false, 66928}, {1025, 1025, false, 66948}, {1015, 1025, true, 66948}};
    for (const auto& [second, third, reset, deadline] : cases) {
        SCOPED_TRACE(third);
        state.RaceLaps = 2;  // left from a lap race; a timed race ignores it
        configure(Format::TimedRace, 1, 1, 1.0f);
        host.sounds.clear();
        start();
        run({{1000, 1}, {1500, 2}, {1000 + second, 1}, {1000 + second + third, 1}});
        if (reset) {
            engine.lblBest_Click(1);
        }
        run({{60000, 0}});
        tick();
        EXPECT_EQ(state.FinishDeadline, deadline);
        EXPECT_EQ(finishLaps(), "3 2 1 1 1 1");
        tickAt(state.RaceClock + 500, {"2"});
        EXPECT_EQ(state.RaceOver, 0);
        tick();
        expectRaceOver();
        EXPECT_EQ(host.cues(),
                  "10seconds.wav 100 50, CheckeredFlag.wav 100 50, RaceOver.wav 100 50");
        state.SummaryUnsaved = state.LapsUnsaved = false;
        engine.cmdStart_Click();
    }
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
        tickAt(4000, {"2"});
        tickAt(4010);
        EXPECT_EQ(finishLaps(), firstLap == 1 ? "1 1 1 1 1 1" : "0 1 0 0 0 0");
        EXPECT_EQ(host.cues(), "checkeredflag.wav 100 50, Raceover.wav 100 50");
        expectRaceOver();
        state.SummaryUnsaved = state.LapsUnsaved = false;
        engine.cmdStart_Click();
    }
}

}  // namespace
}  // namespace lapdeck::test
