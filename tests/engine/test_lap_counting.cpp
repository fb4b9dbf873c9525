#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

// Lap counting is also checked end to end by the hand-checked races in tests/tools/races:
// the minimum lap rule, the first crossing, lap times, best laps, the lap-race distance
// and disabled flags.

// Marks the screen on every read, so the test sees whether a refresh came between reads.
class RefreshProbe : public QueuedReports {
public:
    explicit RefreshProbe(RaceState& state) : m_state(state) {}
    QString read() override {
        if (reads > 0 && m_state.screen.row[6].lapNum == QLatin1String("mark")) {
            ++missedRefreshes;
        }
        m_state.screen.row[6].lapNum = QStringLiteral("mark");
        return QueuedReports::read();
    }
    int missedRefreshes = 0;

private:
    RaceState& m_state;
};

TEST_F(EngineTest, ReportsNamingNoFlagCountNothingButRefreshTheScreen) {
    configure(Format::LapRace);
    start();
    RefreshProbe probe(state);
    probe.push({"0", "7", "-1", "x", "", " ", "12", "99999"});
    engine.Timer1_Timer(1000, probe);
    EXPECT_EQ(probe.missedRefreshes, 0);
    EXPECT_NE(state.screen.row[6].lapNum, qs("mark"));
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], 0) << f;
    }
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_EQ(state.PortInput, qs("99999"));
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
        EXPECT_EQ(state.LastCrossTime[1], clock);
        EXPECT_EQ(state.ShownLapTime[1], 1010);
        EXPECT_EQ(host.count("cargoingby.wav"), accepted);
        EXPECT_EQ(state.screen.row[1].lapNum, qs("3000"));
        EXPECT_EQ(state.screen.row[1].lagTime, qs("1.01"));  // the median of the full store
    }
}

}  // namespace
}  // namespace lapdeck::test
