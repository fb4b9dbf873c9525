// Building the lap table of a race with every row the grid can hold.
#include <benchmark/benchmark.h>

#include <memory>

#include "LapTable.h"

namespace {

std::unique_ptr<lapdeck::RaceState> longRace(bool sorted) {
    auto state = std::make_unique<lapdeck::RaceState>();
    state->FirstLapIndex = 0;
    state->RaceTitle = QStringLiteral("500 Lap Race");
    state->SortByLapTime = sorted;
    for (int f = 1; f <= lapdeck::kFlags; ++f) {
        state->RunningOrder[f] = static_cast<int16_t>(f);
        state->Position[f] = static_cast<int16_t>(f);
        state->RacerName[f] = QStringLiteral("Racer %1").arg(f);
        state->LaneColorName[f] = QStringLiteral("Colour %1").arg(f);
        const int laps = lapdeck::kMaxLap - (f - 1) * 3;
        for (int n = 1; n <= laps; ++n) {
            // Varied times so that sorting has work to do.
            const float lap = 8.0f + static_cast<float>((n * 37 + f * 11) % 400) / 100.0f;
            state->LapTimes[f][n] = lap;
            state->SortedLapTimes[f][n] = lap;
        }
        state->LapCount[f] = static_cast<int16_t>(laps);
    }
    return state;
}

void BM_BuildLapTable(benchmark::State& bench) {
    auto state = longRace(false);
    for (auto _ : bench) {
        auto table = lapdeck::buildLapTable(*state);
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(BM_BuildLapTable)->Unit(benchmark::kMillisecond);

// Sorted mode on a fresh race each time, so every build sorts 3000 laps per flag.
void BM_BuildSortedLapTable(benchmark::State& bench) {
    for (auto _ : bench) {
        bench.PauseTiming();
        auto state = longRace(true);
        bench.ResumeTiming();
        auto table = lapdeck::buildLapTable(*state);
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(BM_BuildSortedLapTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
