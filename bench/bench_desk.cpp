// The marshal's desk on a race paused in its last minute: the race re-scored up to
// where it stands, as after each change, and its lap table built for the window
// (targets: a 30-minute six-car race under 100 ms, a 240-minute one under 500 ms).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <QDir>
#include <QTemporaryDir>

#include "DeskRace.h"
#include "LapTable.h"
#include "NoisyRace.h"
#include "SuspectLaps.h"

namespace lapdeck {
namespace {

void BM_PausedRaceRescored(benchmark::State& bench) {
    const int minutes = static_cast<int>(bench.range(0));
    const int32_t pausedAt = minutes * 60000 - 30000;
    QTemporaryDir dir;
    test::writeLongRaceData(dir.path());
    std::vector<JournalEntry> entries;
    for (const JournalEntry& entry : test::longRaceJournal()) {
        if (entry.clock <= pausedAt) {
            entries.push_back(entry);
        }
    }
    for (auto _ : bench) {
        auto state = std::make_unique<RaceState>();
        CrossingLog log;
        const auto problem = rescoreUntil(dir.path(), entries, pausedAt, *state, log);
        auto table = buildLapTable(*state);
        size_t suspects = 0;
        for (int f = 1; f <= kFlags; ++f) {
            suspects += suspectLaps(*state, f).size();
        }
        benchmark::DoNotOptimize(table);
        benchmark::DoNotOptimize(suspects);
        if (problem || !table.ok() || state->RaceClock != pausedAt) {
            bench.SkipWithError("the re-scoring failed");
        }
    }
    bench.counters["reports"] = static_cast<double>(entries.size());
}
BENCHMARK(BM_PausedRaceRescored)
    ->Arg(30)
    ->Arg(240)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lapdeck
