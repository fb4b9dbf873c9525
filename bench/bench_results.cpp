// Building the lap table of a race with every row the grid can hold.
#include <benchmark/benchmark.h>

#include <memory>

#include "LapTable.h"
#include "LongRace.h"

namespace {

using lapdeck::stubs::longRace;

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
