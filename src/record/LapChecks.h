#pragma once

#include <optional>
#include <vector>

#include "RaceState.h"
#include "ReplayRun.h"

namespace lapdeck {

// Laps that look wrong, for the marshal to judge: marked, never changed by themselves.
enum class LapSuspicion {
    DoubleCount,      // shorter than half the flag's median lap
    MissedCrossings,  // about k times the median: k - 1 crossings missed
};

struct SuspectLap {
    int lap = 0;  // 1..n
    LapSuspicion kind = LapSuspicion::DoubleCount;
    int parts = 0;  // MissedCrossings: k, the laps it would split into (k - 1 missed)
};

// The suspect laps of one flag, from its lap times (seconds, laps 1..n in race
// order). The median is the summary's: the lap at position n / 2 + 1 once sorted.
// A lap of at least 1.8 medians counts from the flag's fourth lap on, when it is
// within 15 % of k medians.
std::vector<SuspectLap> suspectLaps(const std::vector<float>& lapSeconds);
// The same for flag `flag` of a race.
std::vector<SuspectLap> suspectLaps(const RaceState& state, int flag);

// The crossings of `flag` that ended no lap (dropped by the minimum lap time, or
// read after the flag's finish), so the marshal can give one back.
std::vector<LoggedCrossing> droppedCrossings(const CrossingLog& log, int flag);

// The race clock of the crossing that ended lap `lap` of `flag`; lap 0 is the green
// light (clock 0). Nothing for a lap not counted.
std::optional<int32_t> lapEndClock(const CrossingLog& log, int flag, int lap);

}  // namespace lapdeck
