#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

class DemoTest : public EngineTest {
protected:
    void SetUp() override {
        state.live.demo = true;
        state.live.disabled[6] = true;
        // Drawn at the start, four per flag: first crossing, spread, base, crash chance.
        random.values = {0.5,  0.25, 0.125, 0.5,    // flag 1: 400, 262, 3093, 10 %
                         0.0,  0.0,  0.0,   0.0,    // flag 2: 100, 200, 3000, 1 %
                         0.75, 0.75, 0.75,  0.75};  // flags 3 to 6: 550, 387, 3562, 14 %
        random.fallback = 0.75;
        configure(Format::LapRace);
        start();
        random.values.clear();
        random.draws = 0;
    }
};

TEST_F(DemoTest, GeneratesCrossingsFromTheScriptedNumbers) {
    random.values = {
        0.5,    0.5,  // flag 2 at 110: next 110 + 3100; 50 is no crash
        0.25,   0.09,
        0.0009,  // flag 1 at 410: next 410 + 3158; 9 < 10: + 1000 + 2.7
        0.5,    0.5,
        0.5,    0.5,  // flags 3 and 4 at 560: next 560 + 3755
        0.5,    0.5,
        0.5,    0.5,                  // flags 5 and 6 (disabled, generated all the same)
        0.0,    0.009999999999999999  // flag 2 at 3220: next + 3000; x is 1 as a single: no crash
    };
    port.push({"5"});
    tenMsTicksUntil(4000);
    EXPECT_EQ(random.draws, 15);
    const int16_t laps[] = {0, 1, 2, 1, 1, 1, 0};
    const int32_t next[] = {0, 4571, 6220, 4315, 4315, 4315, 4315};
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], laps[f]) << f;
        EXPECT_EQ(state.DemoNextLap[f], next[f]) << f;
    }
    EXPECT_EQ(state.LapTimes[1][1], 0.41f);
    EXPECT_EQ(state.LapTimes[2][2], 3.11f);
    EXPECT_EQ(state.LapTimes[3][1], 0.56f);
    EXPECT_EQ(state.RunningOrder[1], 2);
    EXPECT_EQ(port.reads, 0) << "demo mode does not read the port";
    EXPECT_EQ(host.count("cargoingby.wav"), 6);
}

TEST_F(DemoTest, EachFlagCrossesAtMostOncePerTick) {
    tickAt(20000);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], f == 6 ? 0 : 1) << f;
    }
}

}  // namespace
}  // namespace lapdeck::test
