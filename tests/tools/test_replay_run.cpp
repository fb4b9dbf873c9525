#include "ReplayRun.h"

#include <gtest/gtest.h>

#include "EngineStubs.h"
#include "RaceEngine.h"
#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

// A race started as the replay tool starts it: race clock 0 is the green light.
struct RaceRun {
    RaceState state;
    RecordingHost host;
    ScriptedPrompter prompter;
    ScriptedRandom random;
    RaceEngine engine{state, host, prompter, random};

    RaceRun(bool timed, int length, int firstLapIndex = 0) {
        host.engine = &engine;
        host.lagMode = qs("Lag Behind");
        state.FirstLapIndex = static_cast<int16_t>(firstLapIndex);
        state.IsTimedRace = state.live.optTimedRace = timed;
        state.IsLapRace = state.live.optLapRace = !timed;
        state.RaceMinutes = timed ? length : 2;
        state.RaceLaps = static_cast<int16_t>(timed ? 12 : length);
        engine.ReSet();
        engine.cmdStart_Click();
    }
};

std::vector<JournalEntry> journal(std::initializer_list<std::pair<int32_t, int>> crossings) {
    std::vector<JournalEntry> entries;
    for (const auto& [clock, flag] : crossings) {
        entries.push_back({clock, QString::number(flag)});
    }
    return entries;
}

TEST(ReplayRun, ReportsAreTimedAtTheirOwnClockAndALapRaceStopsAtTheLastReport) {
    RaceRun race(false, 10);
    runJournal(race.engine, journal({{0, 2}, {0, 2}, {1234, 1}, {4567, 1}}));
    // The first crossing at the green light gives lap 1 of 0 s; the second in the same
    // tick is too soon.
    EXPECT_EQ(race.state.LapCount[2], 1);
    EXPECT_EQ(race.state.LapTimes[2][1], 0.0f);
    EXPECT_EQ(race.state.LapCount[1], 2);
    EXPECT_EQ(race.state.LastCrossing[1], 4567);
    EXPECT_EQ(race.state.LapTimes[1][1] + race.state.LapTimes[1][2], 1.23f + 3.33f);
    EXPECT_EQ(race.state.RaceOver, 0);
    EXPECT_EQ(race.state.RaceClock, 4567);
}

TEST(ReplayRun, RaceEndsAtTheTickAfterTheDecidingCrossingAndReadsNothingMore) {
    RaceRun race(false, 3);
    // Flag 2's last lap at 7005 decides the finish at the tick after (7010); flag 3's
    // report at that very clock is never read.
    runJournal(race.engine, journal({{1000, 1},
                                     {1500, 2},
                                     {4000, 1},
                                     {4500, 2},
                                     {7000, 1},
                                     {7005, 2},
                                     {7010, 3},
                                     {9000, 3}}));
    EXPECT_EQ(race.state.phase, RacePhase::Over);
    EXPECT_EQ(race.state.LapCount[2] + race.state.LapCount[3], 3);
    EXPECT_EQ(race.state.RaceClock, 7010);
    EXPECT_EQ(race.state.RaceDateTime, qs("Dec-05, 16-07"));
    EXPECT_EQ(race.host.count("Raceover.wav"), 1);
}

TEST(ReplayRun, TimedRaceRunsOnAfterTheJournalUntilItIsOver) {
    RaceRun race(true, 1);
    // Flag 3 leads with a best lap of 5 s; flag 4 stops after two laps, so the race ends
    // on the deadline 60000 + 1.9 x 5000 + 5000 = 74500 ms: at the first tick whose
    // previous clock is past it.
    runJournal(race.engine, journal({{1000, 3}, {2000, 4}, {6000, 3}, {8000, 4}, {12000, 3}}));
    EXPECT_EQ(race.state.FinishDeadline, 74500);
    EXPECT_EQ(race.state.RaceOver, 1);
    EXPECT_EQ(race.state.RaceClock, 74520);
    EXPECT_EQ(race.host.count("10seconds.wav") + race.host.count("CheckeredFlag.wav"), 2);
}

// Quiet stretches run as one tick must give exactly what every 10 ms tick gives.
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
        entries.push_back({clock, qs(texts[rnd(10)])});
    }
    return entries;
}

TEST(ReplayRun, QuietStretchesGiveWhatEveryTickGives) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        for (bool timed : {false, true}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << (timed ? " timed" : " laps"));
            const auto entries = randomRace(seed);
            RaceRun a(timed, timed ? 2 : 12, seed % 2 == 0 ? -1 : 0);
            RaceRun b(timed, timed ? 2 : 12, seed % 2 == 0 ? -1 : 0);
            runJournal(a.engine, entries, false);
            runJournal(b.engine, entries, true);
            const RaceState& s = a.state;
            const RaceState& t = b.state;
            EXPECT_EQ(s.RaceOver, t.RaceOver);
            EXPECT_EQ(s.RaceClock, t.RaceClock);
            EXPECT_EQ(s.CheckeredShown + s.WhiteFlagShown * 2 + s.TenSecondWarned * 4,
                      t.CheckeredShown + t.WhiteFlagShown * 2 + t.TenSecondWarned * 4);
            EXPECT_EQ(s.FinishDeadline, t.FinishDeadline);
            EXPECT_EQ(s.LapCount, t.LapCount);
            EXPECT_EQ(s.LastCrossing, t.LastCrossing);
            EXPECT_EQ(s.BestLapTime, t.BestLapTime);
            EXPECT_EQ(s.FinishLap, t.FinishLap);
            EXPECT_EQ(s.LagBehind, t.LagBehind);
            EXPECT_EQ(s.LagFirst, t.LagFirst);
            EXPECT_EQ(s.RunningOrder, t.RunningOrder);
            EXPECT_EQ(s.LapTimes, t.LapTimes);
        }
    }
}

TEST(ReplayRun, ReportAtTheLastClockIsReachedWithoutOverflow) {
    RaceRun race(false, 12);
    runJournal(race.engine, journal({{1000, 1}, {2147483647, 1}}));
    EXPECT_EQ(race.state.RaceClock, 2147483647);
    EXPECT_EQ(race.state.LapCount[1], 2);
    EXPECT_EQ(race.state.LastCrossing[1], 2147483647);
}

}  // namespace
}  // namespace lapdeck::test
