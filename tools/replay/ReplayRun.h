#pragma once

#include <vector>

#include "Journal.h"

namespace lapdeck {

class RaceEngine;

// Runs the ticks of a recorded race through an engine whose race has just been
// started (green light at race clock 0). Ticks fall on every positive multiple of
// 10 ms and on every journal clock; the reports of a clock are read at its tick.
// After the last report the ticks go on while a timed race has not reached its
// length, or while the checkered flag is out and the race is not over.
// `allowJumps` lets quiet stretches between reports run as one tick; the results are
// the same (tests compare both ways).
void runJournal(RaceEngine& engine, const std::vector<JournalEntry>& entries,
                bool allowJumps = true);

}  // namespace lapdeck
