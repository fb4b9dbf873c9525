#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "Journal.h"
#include "RaceState.h"

namespace lapdeck {

class RaceEngine;

// Which crossing ended which lap, as a re-scoring counted them.
struct LoggedCrossing {
    int32_t clock = 0;
    int flag = 0;
    int lap = 0;  // the lap it ended; 0: it ended none (minimum lap time, finish, ...)
};
struct CrossingLog {
    // Every report read that reads as a flag, in the order read.
    std::vector<LoggedCrossing> crossings;
};

// Ways to replay a race faster that give exactly what the plain replay gives (tests
// run both ways).
struct ReplayShortcuts {
    // A quiet stretch between reports runs as one tick.
    bool jumpQuietStretches = true;
    // A report that is no flag number changes nothing but the screen, and the screen
    // only at the race's first report: after that the engine is not asked. A noisy
    // line of hours costs no more than its ticks.
    bool skipNoise = true;
};

// Runs the ticks of a recorded race through an engine whose race has just been
// started (green light at race clock 0). Ticks fall on every positive multiple of
// 10 ms and on every journal clock; the reports of a clock are read at its tick.
// After the last report the ticks go on while a timed race has not reached its
// length, or while the checkered flag is out and the race is not over. The journal is
// read as far as the race goes. With `until`, no tick passes that race clock and the
// ticks go on to it: a race paused or still running there, as it stands.
void runJournal(RaceEngine& engine, JournalSource& journal, ReplayShortcuts shortcuts = {},
                std::optional<int32_t> until = std::nullopt);
void runJournal(RaceEngine& engine, const std::vector<JournalEntry>& entries,
                ReplayShortcuts shortcuts = {});

// Re-scores a recorded race: starts on `state` (its settings, race format and speed
// multiplier already applied) the race the Start button starts, as an organiser who
// goes on past every question, with the lights green at race clock 0, and runs the
// journal through it. `racerNames` and `lagMode` are what the data folder held. A
// demo race's crossings are in the journal, so they are read back as reports.
// Returns why the race did not start.
// `crossings` (optional) is told which crossing ended which lap.
std::optional<QString> rescoreJournal(RaceState& state, const PerFlag<QString>& racerNames,
                                      LagColumn lagMode, JournalSource& journal,
                                      CrossingLog* crossings = nullptr,
                                      std::optional<int32_t> until = std::nullopt);

}  // namespace lapdeck
