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

// The deadline from the leader's best lap, halves to even: a timed race 1.9 best laps + 5 s
// from time up (1928.5 and 1947.5), a three-lap race 1.5 best laps from the leader's last
// crossing (1522.5 and 1537.5); every other car runs one more lap. A leader whose best lap
// was reset has its last lap in its place.
TEST_F(FinishTest, DeadlineFromTheLeadersBestLapOrItsLastLapAfterAReset) {
    struct Case {
        Format format;
        int32_t second, third;  // laps 2 and 3 of the leader
        bool reset;             // its best lap reset after its last crossing
        int32_t deadline;
        const char* cues;
    };
    const char* const timed = "10seconds.wav 100 50, CheckeredFlag.wav 100 50, RaceOver.wav 100 50";
    const char* const laps = "whiteflag2.wav 100 50, checkeredflag.wav 100 50, Raceover.wav 100 50";
    const Case cases[] = {{Format::TimedRace, 1015, 1015, false, 66928, timed},
                          {Format::TimedRace, 1025, 1025, false, 66948, timed},
                          {Format::TimedRace, 1015, 1025, true, 66948, timed},
                          {Format::LapRace, 1015, 1015, false, 3030 + 1522, laps},
                          {Format::LapRace, 1015, 1025, false, 3040 + 1522, laps},
                          {Format::LapRace, 1015, 1025, true, 3040 + 1538, laps}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.format == Format::LapRace) << " " << c.third << " " << c.reset);
        state.RaceLaps = 2;  // left from a lap race; a timed race ignores it
        configure(c.format, c.format == Format::LapRace ? 3 : 1, 1, 1.0f);
        host.sounds.clear();
        start();
        run({{1000, 1}, {1500, 2}, {1000 + c.second, 1}, {1000 + c.second + c.third, 1}});
        if (c.reset) {
            engine.lblBest_Click(1);
        }
        if (c.format == Format::TimedRace) {
            run({{60000, 0}});
        }
        tick();
        EXPECT_EQ(state.FinishDeadline, c.deadline);
        EXPECT_EQ(finishLaps(), "3 2 1 1 1 1");
        tickAt(state.RaceClock + 500, {"2"});
        EXPECT_EQ(state.RaceOver, 0);
        tick();
        expectRaceOver();
        EXPECT_EQ(host.cues(), c.cues);
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
