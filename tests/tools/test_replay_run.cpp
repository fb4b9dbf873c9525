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

// Everything the finish and the results depend on, but the lap store.
std::string snapshot(const RaceState& s) {
    std::string out =
        std::to_string(s.RaceOver) + " " + std::to_string(s.RaceClock) + " " +
        std::to_string(s.CheckeredShown + 2 * s.WhiteFlagShown + 4 * s.TenSecondWarned) + " " +
        std::to_string(s.FinishDeadline);
    for (int f = 1; f <= kFlags; ++f) {
        out += QStringLiteral(" | %1 %2 %3 %4 %5 %6 %7")
                   .arg(s.LapCount[f])
                   .arg(s.LastCrossing[f])
                   .arg(s.BestLapTime[f])
                   .arg(s.FinishLap[f])
                   .arg(s.LagBehind[f], s.LagFirst[f])
                   .arg(s.RunningOrder[f])
                   .toStdString();
    }
    return out;
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
            EXPECT_EQ(snapshot(a.state), snapshot(b.state));
            EXPECT_EQ(a.state.LapTimes, b.state.LapTimes);
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
