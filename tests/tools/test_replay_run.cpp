#include "ReplayRun.h"

#include <gtest/gtest.h>

#include "EngineStubs.h"
#include "RaceEngine.h"

namespace lapdeck {
namespace {

// Records the sounds with the race clock they were played at.
class RecordingHost : public stubs::InstantStartHost {
public:
    std::vector<int32_t> soundClocks;
    QStringList sounds;
    void playSound(const QString& file, int, int) override {
        sounds << file;
        soundClocks.push_back(engine->state().RaceClock);
    }
};

class ReplayRunTest : public ::testing::Test {
protected:
    RaceState state;
    RecordingHost host;
    stubs::YesPrompter prompter;
    stubs::FixedRandom random;
    RaceEngine engine{state, host, prompter, random};

    void SetUp() override { host.engine = &engine; }

    void startLapRace(int laps) {
        state.live.minLapText = QStringLiteral("2");
        state.FirstLapIndex = 0;
        state.IsLapRace = true;
        state.live.optLapRace = true;
        state.RaceLaps = static_cast<int16_t>(laps);
        engine.ReSet();
        engine.cmdStart_Click();
        ASSERT_EQ(state.phase, RacePhase::Racing);
    }
    void startTimedRace(int minutes) {
        state.live.minLapText = QStringLiteral("2");
        state.FirstLapIndex = 0;
        state.IsTimedRace = true;
        state.live.optTimedRace = true;
        state.live.optLapRace = false;
        state.RaceMinutes = minutes;
        engine.ReSet();
        engine.cmdStart_Click();
        ASSERT_EQ(state.phase, RacePhase::Racing);
    }
};

TEST_F(ReplayRunTest, ReportIsTimedAtItsOwnClockBetweenTenMsTicks) {
    startLapRace(10);
    runJournal(engine, {{1234, QStringLiteral("1")}, {4567, QStringLiteral("1")}});
    EXPECT_EQ(state.LapCount[1], 2);
    EXPECT_EQ(state.LastCrossing[1], 4567);
    EXPECT_FLOAT_EQ(state.LapTimes[1][1], 1.23f);
    EXPECT_FLOAT_EQ(state.LapTimes[1][2], 3.33f);
    EXPECT_EQ(state.RaceClock, 4567);
}

TEST_F(ReplayRunTest, RaceEndsAtTheTickAfterTheDecidingCrossingAndReadsNothingMore) {
    startLapRace(3);
    // Flag 1 wins at 7000; flag 2 completes its last lap at 7005, which decides the
    // finish at the tick after (7010). Flag 3's report at that very clock is never read.
    runJournal(engine, {{1000, QStringLiteral("1")},
                        {1500, QStringLiteral("2")},
                        {4000, QStringLiteral("1")},
                        {4500, QStringLiteral("2")},
                        {7000, QStringLiteral("1")},
                        {7005, QStringLiteral("2")},
                        {7010, QStringLiteral("3")},
                        {9000, QStringLiteral("3")}});
    EXPECT_EQ(state.RaceOver, 1);
    EXPECT_EQ(state.phase, RacePhase::Over);
    EXPECT_EQ(state.LapCount[1], 3);
    EXPECT_EQ(state.LapCount[2], 3);
    EXPECT_EQ(state.LastCrossing[2], 7005);
    EXPECT_EQ(state.LapCount[3], 0);
    EXPECT_EQ(state.RaceClock, 7010);
    ASSERT_TRUE(host.sounds.contains(QStringLiteral("Raceover.wav")));
    EXPECT_EQ(
        host.soundClocks[static_cast<size_t>(host.sounds.indexOf(QStringLiteral("Raceover.wav")))],
        7005);
}

TEST_F(ReplayRunTest, TimedRaceRunsOnAfterTheJournalUntilItIsOver) {
    startTimedRace(1);
    // Flag 3 leads with a best lap of 5 s; flag 4 stops after two laps and never
    // finishes, so the race ends on the deadline 60000 + 1.9 * 5000 + 5000 = 74500 ms:
    // at the first tick whose previous clock is past it.
    runJournal(engine, {{1000, QStringLiteral("3")},
                        {2000, QStringLiteral("4")},
                        {6000, QStringLiteral("3")},
                        {8000, QStringLiteral("4")},
                        {12000, QStringLiteral("3")}});
    EXPECT_TRUE(state.CheckeredShown);
    EXPECT_EQ(state.FinishDeadline, 74500);
    EXPECT_EQ(state.RaceOver, 1);
    EXPECT_EQ(state.RaceClock, 74520);
    EXPECT_EQ(host.sounds.count(QStringLiteral("10seconds.wav")), 1);
    EXPECT_EQ(host.sounds.count(QStringLiteral("CheckeredFlag.wav")), 1);
}

TEST_F(ReplayRunTest, LapRaceWithoutCheckeredFlagStopsAtTheLastReport) {
    startLapRace(10);
    runJournal(engine, {{1000, QStringLiteral("1")}, {5000, QStringLiteral("1")}});
    EXPECT_EQ(state.RaceOver, 0);
    EXPECT_EQ(state.RaceClock, 5000);
}

TEST_F(ReplayRunTest, ReportsAtClockZeroAreReadAtAFirstTick) {
    startLapRace(10);
    runJournal(engine, {{0, QStringLiteral("2")}, {0, QStringLiteral("2")}});
    // The first crossing at the green light gives lap 1 of 0 s; the second in the
    // same tick is too soon.
    EXPECT_EQ(state.LapCount[2], 1);
    EXPECT_FLOAT_EQ(state.LapTimes[2][1], 0.0f);
}

}  // namespace
}  // namespace lapdeck

namespace lapdeck {
namespace {

// Quiet stretches run as one tick must give exactly what every 10 ms tick gives.
struct RaceRun {
    RaceState state;
    stubs::InstantStartHost host;
    stubs::YesPrompter prompter;
    stubs::FixedRandom random;
    RaceEngine engine{state, host, prompter, random};

    RaceRun(bool timed, int firstLapIndex) {
        host.engine = &engine;
        host.lagMode = QStringLiteral("Lag Behind");
        state.live.minLapText = QStringLiteral("2");
        state.FirstLapIndex = static_cast<int16_t>(firstLapIndex);
        state.IsTimedRace = timed;
        state.IsLapRace = !timed;
        state.live.optTimedRace = timed;
        state.live.optLapRace = !timed;
        state.RaceMinutes = 2;
        state.RaceLaps = 12;
        engine.ReSet();
        engine.cmdStart_Click();
    }
};

std::vector<JournalEntry> randomRace(unsigned seed) {
    std::vector<JournalEntry> entries;
    uint32_t x = seed * 2654435761u + 1;
    auto rnd = [&x](uint32_t n) {
        x = x * 1664525u + 1013904223u;
        return (x >> 8) % n;
    };
    int32_t clock = 0;
    while (clock < 150000) {
        // Mostly short gaps, now and then a long silence, reports of all kinds.
        clock += static_cast<int32_t>(rnd(9) == 0 ? 20000 + rnd(30000) : rnd(1500));
        static const char* const texts[] = {"1", "2", "3", "4", "5", "6", "0", "x", "2.5", ""};
        entries.push_back({clock, QString::fromLatin1(texts[rnd(10)])});
    }
    return entries;
}

void expectSameRace(const RaceState& a, const RaceState& b) {
    EXPECT_EQ(a.RaceOver, b.RaceOver);
    EXPECT_EQ(a.RaceClock, b.RaceClock);
    EXPECT_EQ(a.CheckeredShown, b.CheckeredShown);
    EXPECT_EQ(a.WhiteFlagShown, b.WhiteFlagShown);
    EXPECT_EQ(a.TenSecondWarned, b.TenSecondWarned);
    EXPECT_EQ(a.FinishDeadline, b.FinishDeadline);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(a.LapCount[f], b.LapCount[f]) << f;
        EXPECT_EQ(a.LastCrossing[f], b.LastCrossing[f]) << f;
        EXPECT_EQ(a.BestLapTime[f], b.BestLapTime[f]) << f;
        EXPECT_EQ(a.FinishLap[f], b.FinishLap[f]) << f;
        EXPECT_EQ(a.LagBehind[f], b.LagBehind[f]) << f;
        EXPECT_EQ(a.LagFirst[f], b.LagFirst[f]) << f;
        EXPECT_EQ(a.RunningOrder[f], b.RunningOrder[f]) << f;
        EXPECT_EQ(a.LapTimes[f], b.LapTimes[f]) << f;
    }
}

TEST(ReplayJumps, QuietStretchesGiveWhatEveryTickGives) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        for (bool timed : {false, true}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << (timed ? " timed" : " laps"));
            const auto journal = randomRace(seed);
            RaceRun everyTick(timed, seed % 2 == 0 ? -1 : 0);
            RaceRun jumping(timed, seed % 2 == 0 ? -1 : 0);
            runJournal(everyTick.engine, journal, false);
            runJournal(jumping.engine, journal, true);
            expectSameRace(everyTick.state, jumping.state);
        }
    }
}

TEST(ReplayJumps, ReportAtTheLastClockIsReachedWithoutOverflow) {
    RaceRun race(false, 0);
    runJournal(race.engine, {{1000, QStringLiteral("1")}, {2147483647, QStringLiteral("1")}});
    EXPECT_EQ(race.state.RaceClock, 2147483647);
    EXPECT_EQ(race.state.LapCount[1], 2);
    EXPECT_EQ(race.state.LastCrossing[1], 2147483647);
}

}  // namespace
}  // namespace lapdeck
