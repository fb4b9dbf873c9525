#pragma once

#include "RaceState.h"

namespace lapdeck {

// Sorts each flag's laps 1..LapCount of SortedLapTimes ascending (lap 0 stays) and
// writes every flag's MedianLap: the lap at position LapCount / 2 + 1, halves to even.
void subSortLapTimes(RaceState& state);

}  // namespace lapdeck
