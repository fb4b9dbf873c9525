#pragma once

// A race with every lap the store holds, for the benchmarks of the lap table.

#include <memory>

#include <QString>

#include "RaceState.h"

namespace lapdeck::stubs {

// Six flags of about 3000 laps each, in running order 1..6, with varied times so
// that sorting has work to do.
inline std::unique_ptr<RaceState> longRace(bool sorted) {
    auto state = std::make_unique<RaceState>();
    state->FirstLapIndex = 0;
    state->RaceTitle = QStringLiteral("500 Lap Race");
    state->SortByLapTime = sorted;
    for (int f = 1; f <= kFlags; ++f) {
        state->RunningOrder[f] = static_cast<int16_t>(f);
        state->Position[f] = static_cast<int16_t>(f);
        state->RacerName[f] = QStringLiteral("Racer %1").arg(f);
        state->LaneColorName[f] = QStringLiteral("Colour %1").arg(f);
        const int laps = kMaxLap - (f - 1) * 3;
        for (int n = 1; n <= laps; ++n) {
            const float lap = 8.0f + static_cast<float>((n * 37 + f * 11) % 400) / 100.0f;
            state->LapTimes[f][n] = lap;
            state->SortedLapTimes[f][n] = lap;
        }
        state->LapCount[f] = static_cast<int16_t>(laps);
    }
    return state;
}

}  // namespace lapdeck::stubs
