// Cost of journaling one report, as the race tick pays it: one line handed to the
// operating system, unbuffered, no sync; and a report that is no flag number, which
// the recorder only counts. The journal lives where the data folder would (the
// temporary folder's disk).
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "ConfigStore.h"
#include "RaceJournal.h"
#include "RaceRecorder.h"

namespace lapdeck {
namespace {

void BM_JournalOneReport(benchmark::State& bench) {
    QTemporaryDir dir;
    RaceJournal journal;
    if (journal.open(dir.filePath(QStringLiteral("journal.txt")))) {
        bench.SkipWithError("cannot open the journal");
        return;
    }
    const QString reports[] = {QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("6")};
    int32_t clock = 1000;
    size_t i = 0;
    for (auto _ : bench) {
        // A six-hour race clock: the longest line the program writes.
        clock += 10;
        benchmark::DoNotOptimize(journal.append(21600000 + clock, reports[i++ % 3]));
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_JournalOneReport)->MinTime(1.0);

// A noisy line: ten reports a tick that are no flag number, summed once a minute.
void BM_RecorderNoiseReport(benchmark::State& bench) {
    QTemporaryDir dir;
    ConfigStore store(dir.path());
    store.seedMissingFiles();
    RaceRecorder recorder(store);
    RaceState state;
    if (recorder.raceStarting(state, QDateTime::currentDateTime())) {
        bench.SkipWithError("cannot start the record");
        return;
    }
    const QString reports[] = {QStringLiteral("x"), QStringLiteral("0"), QStringLiteral("\xff")};
    int32_t clock = 1000;
    size_t i = 0;
    for (auto _ : bench) {
        clock += (i % 10 == 0) ? 10 : 0;
        benchmark::DoNotOptimize(recorder.reportRead(clock, reports[i++ % 3]));
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_RecorderNoiseReport)->MinTime(1.0);

}  // namespace
}  // namespace lapdeck

BENCHMARK_MAIN();
