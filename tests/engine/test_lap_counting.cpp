#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

struct MinLapCase {
    const char* minLap;
    int32_t lapMs;
    bool accepted;
};

class MinimumLapRuleTest : public EngineTest, public ::testing::WithParamInterface<MinLapCase> {};

TEST_P(MinimumLapRuleTest, LapMustBeStrictlyLongerThanWholeSeconds) {
    const MinLapCase c = GetParam();
    configure(Format::LapRace, 10, 1, c.minLap);
    start();
    tickAt(500, {"1"});
    ASSERT_EQ(state.LapCount[1], 1);
    tickAt(500 + c.lapMs, {"1"});
    EXPECT_EQ(state.LapCount[1], c.accepted ? 2 : 1);
    EXPECT_EQ(state.NewLapTime[1], c.lapMs);
    EXPECT_EQ(state.LastCrossTime[1], c.accepted ? 500 + c.lapMs : 500);
    EXPECT_EQ(host.count("cargoingby.wav"), c.accepted ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, MinimumLapRuleTest,
    ::testing::Values(MinLapCase{"1.25", 1000, false}, MinLapCase{"1.25", 1001, true},
                      MinLapCase{"1.5", 2000, false}, MinLapCase{"1.5", 2001, true},
                      MinLapCase{"2.5", 2000, false}, MinLapCase{"2.5", 2001, true},
                      MinLapCase{"2.75", 3000, false}, MinLapCase{"2.75", 3001, true},
                      MinLapCase{"60", 60000, false}, MinLapCase{"60", 60001, true}));

class FirstCrossingTest : public EngineTest, public ::testing::WithParamInterface<int> {};

TEST_P(FirstCrossingTest, IsAcceptedHoweverSoonAndASecondReportInTheTickIsDropped) {
    const int firstLap = GetParam();
    configure(Format::LapRace, 10, firstLap, "60");
    start();
    tickAt(10, {"4", "4"});
    EXPECT_EQ(state.LapCount[4], firstLap);
    EXPECT_EQ(state.LapTimes[4][static_cast<size_t>(firstLap)], 0.01f);
    EXPECT_EQ(state.SortedLapTimes[4][static_cast<size_t>(firstLap)], 0.01f);
    EXPECT_EQ(state.ShownLapTime[4], 10);
    EXPECT_EQ(state.BestLapTime[4], kNoBestLap);
    EXPECT_EQ(host.count("cargoingby.wav"), 1);
    // Only the first crossing is exempt.
    tickAt(59000, {"4"});
    EXPECT_EQ(state.LapCount[4], firstLap);
    tickAt(70010, {"4", "4"});
    EXPECT_EQ(state.LapCount[4], firstLap + 1);
    EXPECT_EQ(state.LapTimes[4][static_cast<size_t>(firstLap + 1)], 70.0f);
    EXPECT_EQ(host.count("cargoingby.wav"), 2);
}

INSTANTIATE_TEST_SUITE_P(RaceBeginsWithLap, FirstCrossingTest, ::testing::Values(0, 1));

TEST_F(EngineTest, LapTimesAreStoredInHundredthsRoundedHalfUp) {
    configure(Format::LapRace, 10, 1, "1");
    start();
    run({{500, 1}, {12845, 1}, {13850, 1}});  // 12345 ms, then 1005 ms
    EXPECT_EQ(state.LapTimes[1][1], 0.5f);
    EXPECT_EQ(state.LapTimes[1][2], 12.35f);
    EXPECT_EQ(state.SortedLapTimes[1][2], 12.35f);
    EXPECT_EQ(state.LapTimes[1][3], 1.01f);
    EXPECT_EQ(state.ShownLapTime[1], 1005);
    EXPECT_EQ(state.BestLapTime[1], 1005);
    for (const PlayedSound& s : host.sounds) {
        EXPECT_EQ(s.file, qs("cargoingby.wav"));
        EXPECT_EQ(s.volume, 85);
        EXPECT_EQ(s.pan, 50);
    }
}

struct BestLapCase {
    const char* name;
    int firstLap;
    std::vector<int32_t> crossings;
    std::vector<int32_t> bestAfterEach;
};

class BestLapTest : public EngineTest, public ::testing::WithParamInterface<BestLapCase> {};

TEST_P(BestLapTest, KeepsStrictlyFasterLapsFromLapTwoOn) {
    const BestLapCase& c = GetParam();
    configure(Format::LapRace, 50, c.firstLap, "2");
    start();
    for (size_t i = 0; i < c.crossings.size(); ++i) {
        tickAt(c.crossings[i], {"2"});
        EXPECT_EQ(state.BestLapTime[2], c.bestAfterEach[i]) << "after crossing " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, BestLapTest,
    ::testing::Values(
        // Lap 1 (start to first crossing) is never a best lap.
        BestLapCase{"BeginsWithLap1",
                    1,
                    {2500, 5500, 8000, 10500, 13400, 15800},
                    {kNoBestLap, 3000, 2500, 2500, 2500, 2400}},
        // Laps 0 and 1 are not; lap 2 is the first that can be.
        BestLapCase{"BeginsWithLap0",
                    0,
                    {800, 3000, 6000, 8500, 11600},
                    {kNoBestLap, kNoBestLap, 3000, 2500, 2500}},
        // A dropped crossing (too soon) never becomes a best lap.
        BestLapCase{
            "TooSoonIsNotBest", 1, {3000, 6000, 7000, 9500}, {kNoBestLap, 3000, 3000, 3000}}),
    [](const auto& info) { return std::string(info.param.name); });

class LapRaceDistanceTest : public EngineTest, public ::testing::WithParamInterface<int> {};

TEST_P(LapRaceDistanceTest, CarThatRanTheDistanceIsNoLongerCounted) {
    const int firstLap = GetParam();
    configure(Format::LapRace, 3, firstLap, "2");
    start();
    // Flag 1 crosses once so the race is still on after flag 2's checkered flag.
    run({{1000, 1}, {3000, 2}, {6000, 2}, {9000, 2}});
    if (firstLap == 0) {
        run({{12000, 2}});
    }
    ASSERT_EQ(state.LapCount[2], 3);
    const int sounds = host.count("cargoingby.wav");
    const int32_t last = state.LastCrossTime[2];
    tickAt(state.RaceClock + 3000, {"2"});
    ASSERT_EQ(state.RaceOver, 0);
    EXPECT_EQ(state.LapCount[2], 3);
    EXPECT_EQ(state.LastCrossTime[2], last);
    EXPECT_EQ(state.LapTimes[2][4], 0.0f);
    EXPECT_EQ(host.count("cargoingby.wav"), sounds);
}

INSTANTIATE_TEST_SUITE_P(RaceBeginsWithLap, LapRaceDistanceTest, ::testing::Values(0, 1));

TEST_F(EngineTest, DisabledFlagIsNeverCountedAndTakesItsPlaceInRaceOrder) {
    state.live.disabled[2] = true;
    configure(Format::LapRace, 10, 1, "2");
    start();
    run({{1000, 3}, {1500, 2}, {4000, 2}, {4100, 1}});
    EXPECT_EQ(state.LapCount[2], 0);
    EXPECT_EQ(state.LapTimes[2][1], 0.0f);
    EXPECT_EQ(state.LastCrossTime[2], 0);
    EXPECT_EQ(host.count("cargoingby.wav"), 2);
    ASSERT_EQ(state.Position[2], 3);
    const ScreenRow& row = state.screen.row[3];
    EXPECT_EQ(row.name, qs(" Disabled"));
    EXPECT_EQ(row.lapNum + row.lapTime, QString());
    EXPECT_EQ(row.colour, 1002);
}

// Marks the screen on every read, so the test sees whether a refresh came between reads.
class RefreshProbe : public ReportSource {
public:
    RefreshProbe(RaceState& state, QStringList reports) : m_state(state), m_reports(reports) {}
    bool hasInput() override { return !m_reports.isEmpty(); }
    QString read() override {
        if (m_reads++ > 0 && m_state.screen.row[6].lapNum == kMark) {
            ++missedRefreshes;
        }
        m_state.screen.row[6].lapNum = kMark;
        return m_reports.takeFirst();
    }
    int missedRefreshes = 0;
    inline static const QString kMark = QStringLiteral("mark");

private:
    RaceState& m_state;
    QStringList m_reports;
    int m_reads = 0;
};

TEST_F(EngineTest, ReportsNamingNoFlagCountNothingButRefreshTheScreen) {
    configure(Format::LapRace, 10, 1, "2");
    start();
    RefreshProbe probe(
        state, {qs("0"), qs("7"), qs("-1"), qs("x"), qs(""), qs(" "), qs("12"), qs("99999")});
    engine.Timer1_Timer(1000, probe);
    EXPECT_EQ(probe.missedRefreshes, 0);
    EXPECT_NE(state.screen.row[6].lapNum, RefreshProbe::kMark);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], 0) << f;
    }
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_EQ(state.PortInput, qs("99999"));
}

class LapStoreEndTest : public EngineTest, public ::testing::WithParamInterface<int> {};

TEST_P(LapStoreEndTest, FlagAtLap3000ChangesNothing) {
    const int firstLap = GetParam();
    configure(Format::Practice, 0, firstLap, "1");
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
    EXPECT_EQ(state.screen.row[1].lapNum, qs("3000")) << "the screen is still refreshed";
    EXPECT_EQ(state.screen.row[1].lagTime, qs("1.01"));  // the median of the full store
}

INSTANTIATE_TEST_SUITE_P(RaceBeginsWithLap, LapStoreEndTest, ::testing::Values(0, 1));

}  // namespace
}  // namespace lapdeck::test
