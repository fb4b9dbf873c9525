// Building the lap table of a race with every row the grid can hold; opening the
// largest lap file Lapdeck accepts.
#include <benchmark/benchmark.h>

#include <memory>

#include <QFile>
#include <QTemporaryDir>

#include "LapFile.h"
#include "LapTable.h"
#include "LongRace.h"
#include "ResultFileIo.h"

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

// A lap file of every row a file may hold (3001 rows of 7 cells), each cell
// `cellChars` long: at 760 about 16 MB, the largest size opened. Written a row at a
// time, so the writing adds nothing to the program's peak memory: run under
// /usr/bin/time -v, the peak of /760 less that of /1 is what opening costs.
void BM_OpenLargestLapFile(benchmark::State& bench) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.lap"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            bench.SkipWithError("cannot write the lap file");
            return;
        }
        const QByteArray line = QByteArray(bench.range(0), 'x') + "\r\n";
        file.write("Large\r\n");
        for (int cell = 0; cell < lapdeck::kLapFileMaxRows * lapdeck::kLapGridColumns; ++cell) {
            file.write(line);
        }
    }
    bench.counters["MB"] = static_cast<double>(QFile(path).size()) / (1024 * 1024);
    for (auto _ : bench) {
        auto opened = lapdeck::openResultFile(path);
        if (!opened || !opened.value().laps) {
            bench.SkipWithError("the lap file was refused");
            return;
        }
        benchmark::DoNotOptimize(opened);
    }
}
BENCHMARK(BM_OpenLargestLapFile)->Arg(1)->Arg(760)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
