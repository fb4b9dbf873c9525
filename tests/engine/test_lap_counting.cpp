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
        configure(Format::Practice, 0, firstLap, "1");
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

}  // namespace
}  // namespace lapdeck::test
