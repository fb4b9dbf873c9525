// Lap counting is checked end to end by the hand-checked races in tests/tools/races:
// the minimum lap rule, the first crossing, lap times, best laps, the lap-race distance
// and disabled flags.
#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

TEST_F(EngineTest, ReportsNamingNoFlagCountNothingButStillRefreshTheScreen) {
    configure(Format::LapRace);
    start();
    state.screen.row[6].lapTime = qs("stale");
    tickAt(1000, {"0", "7", "-1", "x", "", " ", "12", "99999"});
    EXPECT_EQ(state.LapCount, (PerFlag<int16_t>{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_EQ(state.PortInput + u'|' + state.screen.row[6].lapTime, qs("99999|0.00"));
}

TEST_F(EngineTest, FlagAtLap3000ChangesNothingButTheScreenIsStillRefreshed) {
    for (const int firstLap : {0, 1}) {
        SCOPED_TRACE(firstLap);
        configure(Format::Practice, 0, firstLap, 1.0f);
        host.sounds.clear();
        start();
        int32_t clock = 0;
        while (state.LapCount[1] < kMaxLap) {
            clock += 1010;
            tickAt(clock, {"1"});
        }
        const int accepted = kMaxLap + 1 - firstLap;
        ASSERT_EQ(host.count("cargoingby.wav"), accepted);
        EXPECT_EQ(state.LapTimes[1][kMaxLap], 1.01f);
        state.screen.row[1].lapNum = qs("stale");
        tickAt(clock + 2000, {"1"});
        EXPECT_EQ(state.LapCount[1], kMaxLap);
        EXPECT_EQ(state.LastCrossTime[1] + state.ShownLapTime[1], clock + 1010);
        EXPECT_EQ(host.count("cargoingby.wav"), accepted);
        // Redrawn, with the median of the full store.
        EXPECT_EQ(state.screen.row[1].lapNum + u'|' + state.screen.row[1].lagTime, qs("3000|1.01"));
    }
}

class DemoTest : public EngineTest {
protected:
    void SetUp() override {
        state.Demo = true;
        state.Disabled[6] = true;
        // Drawn at the start, four per flag (first crossing, spread, base, crash chance):
        // flag 1: 400, 262, 3093, 10 %; flag 2: 100, 200, 3000, 1 %; flags 3 to 6 (the
        // fallback 0.75): 550, 387, 3562, 14 %.
        random.values = {0.5, 0.25, 0.125, 0.5, 0.0, 0.0, 0.0, 0.0};
        random.fallback = 0.75;
        configure(Format::LapRace);
        EXPECT_EQ(random.reseeds, 1) << "each reset reseeds the random numbers";
        start();
        random.draws = 0;
    }
};

TEST_F(DemoTest, GeneratesCrossingsFromTheScriptedNumbers) {
    // Flag 2 at 110: next 110 + 3100, 50 is no crash. Flag 1 at 410: next 410 + 3158,
    // 9 < 10 is a crash: + 1000 + 2.7. Flags 3 to 6 (disabled, drawn all the same) at
    // 560: next 560 + 3755. Flag 2 at 3220: next + 3000; x is 1 as a single: no crash.
    random.values = {0.5, 0.5, 0.25, 0.09, 0.0009,
                     0.5, 0.5, 0.5,  0.5,  0.5,
                     0.5, 0.5, 0.5,  0.0,  0.009999999999999999};
    port.push({"5"});
    while (state.RaceClock < 4000) {  // 10 ms ticks, as the race timer gives them
        engine.Timer1_Timer(10, port);
    }
    EXPECT_EQ(random.draws, 15);
    QString laps;  // laps:next crossing, by flag
    for (int f = 1; f <= kFlags; ++f) {
        laps += QStringLiteral("%1:%2 ").arg(state.LapCount[f]).arg(state.DemoNextLap[f]);
    }
    EXPECT_EQ(laps, qs("1:4571 2:6220 1:4315 1:4315 1:4315 0:4315 "));
    EXPECT_EQ(state.LapTimes[1][1] + state.LapTimes[2][2] + state.LapTimes[3][1],
              0.41f + 3.11f + 0.56f);
    EXPECT_EQ(state.RunningOrder[1], 2);
    EXPECT_EQ(port.reads, 0) << "demo mode does not read the port";
    EXPECT_EQ(host.count("cargoingby.wav"), 6);
    tickAt(20000);  // each flag crosses at most once per tick
    EXPECT_EQ(state.LapCount, (PerFlag<int16_t>{0, 2, 3, 2, 2, 2, 0}));
}

}  // namespace
}  // namespace lapdeck::test
