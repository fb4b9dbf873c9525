// The marshal's desk on a race paused in its last minute: the race re-scored with its
// record up to where it stands, as after each change, its lap table built and its
// suspect laps found for the window (targets: a 30-minute six-car race under 100 ms,
// a 240-minute one under 500 ms).
#include <benchmark/benchmark.h>

#include <memory>

#include <QDir>
#include <QTemporaryDir>

#include "Corrections.h"
#include "LapChecks.h"
#include "LapTable.h"
#include "NoisyRace.h"
#include "RaceArchive.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

void BM_PausedRaceRescored(benchmark::State& bench) {
    const int minutes = static_cast<int>(bench.range(0));
    const int32_t pausedAt = minutes * 60000 - 30000;
    QTemporaryDir dir;
    test::writeLongRaceData(dir.path());
    QByteArray journal;
    for (const JournalEntry& entry : test::longRaceJournal()) {
        if (entry.clock <= pausedAt) {
            journal += journalLine(entry.clock, entry.text);
        }
    }
    RaceCorrections record;
    if (writeWholeFile(QDir(dir.path()).filePath(RaceArchive::kJournal), journal) ||
        record.load(dir.path())) {
        bench.SkipWithError("cannot set up the race");
        return;
    }
    for (auto _ : bench) {
        auto state = std::make_unique<RaceState>();
        CrossingLog log;
        const auto problem = record.rescoreUntil(*state, pausedAt, &log);
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
    bench.counters["crossings"] = static_cast<double>(record.journal().size());
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
