// One change of the marshal's desk on a recorded race: the change checked and written,
// the race re-scored from its folder through the record and its result files built
// (targets: a 30-minute six-car race under 100 ms, a 240-minute one under 500 ms),
// over or paused.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <QDir>
#include <QTemporaryDir>

#include "Corrections.h"
#include "NoisyRace.h"
#include "RaceArchive.h"
#include "RaceResultFiles.h"
#include "RaceSummary.h"
#include "ReplayRun.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

void BM_OneCorrectionRescored(benchmark::State& bench) {
    const int minutes = static_cast<int>(bench.range(0));
    QTemporaryDir dir;
    const QString folder = dir.path();
    test::writeLongRaceData(folder);
    RaceFormat format = defaultRaceFormat();
    format.setOption(RaceOption::TimedRace);
    format.minutesPos = static_cast<int16_t>(
        ValueLists::positionOf(ValueLists::minuteCounts(), QString::number(minutes)));
    saveRaceFormat(QDir(folder).filePath(FileNames::raceFormat), format);
    QByteArray journal;
    for (const JournalEntry& entry : test::longRaceJournal()) {
        if (entry.clock <= minutes * 60000 + 4000) {
            journal += journalLine(entry.clock, entry.text);
        }
    }
    RaceCorrections desk;
    if (writeWholeFile(QDir(folder).filePath(RaceArchive::kJournal), journal) ||
        desk.load(folder)) {
        bench.SkipWithError("cannot set up the race");
        return;
    }
    // A crossing in the middle of the race voided, taken back, put back, ...
    const JournalEntry middle = desk.journal()[desk.journal().size() / 2];
    Correction change;
    change.kind = CorrectionKind::Void;
    change.clock = middle.clock;
    change.flag = middle.text.toInt();
    // Paused half a minute before its end (second argument 1), or over.
    const bool paused = bench.range(1) != 0;
    const int32_t pausedAt = minutes * 60000 - 30000;
    int made = 0;
    for (auto _ : bench) {
        const auto refused = made++ == 0      ? desk.make(change)
                             : desk.canRedo() ? desk.redo()
                                              : desk.undo();
        auto state = std::make_unique<RaceState>();
        CrossingLog log;
        const auto problem =
            paused ? desk.rescoreUntil(*state, pausedAt, &log) : desk.rescore(*state, &log);
        SummaryStats stats;
        auto files = buildRaceResultFiles(*state, stats, QDateTime());
        benchmark::DoNotOptimize(files);
        if (refused || problem || !files.ok() || (state->RaceOver == 0) != paused) {
            bench.SkipWithError("the change or the re-scoring failed");
        }
    }
    bench.counters["reports"] = static_cast<double>(desk.journal().size());
}
BENCHMARK(BM_OneCorrectionRescored)
    ->Args({30, 0})
    ->Args({240, 0})
    ->Args({30, 1})
    ->Args({240, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace lapdeck

BENCHMARK_MAIN();
