// Opening the lap table window of a race with every lap the store holds, until it
// is shown and painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>

#include "LongRace.h"
#include "RaceSummary.h"
#include "ResultsWindows.h"

namespace {

void openLapWindow(benchmark::State& bench, bool sorted) {
    QTemporaryDir folder;
    lapdeck::SummaryStats stats;
    lapdeck::ResultsServices services;
    services.runModal = [](QDialog& window) {
        window.show();
        QCoreApplication::processEvents();  // exposed
        window.repaint();                   // and painted, whatever the platform defers
        window.close();
    };
    for (auto _ : bench) {
        bench.PauseTiming();
        // A fresh race each time, so a sorted table sorts 3000 laps per flag.
        auto state = lapdeck::stubs::longRace(sorted);
        lapdeck::ResultsWindows windows(*state, stats, folder.path(), services, nullptr);
        bench.ResumeTiming();
        windows.showLapTimes();
    }
}

void BM_OpenLapWindow(benchmark::State& bench) {
    openLapWindow(bench, false);
}
BENCHMARK(BM_OpenLapWindow)->Unit(benchmark::kMillisecond);

void BM_OpenSortedLapWindow(benchmark::State& bench) {
    openLapWindow(bench, true);
}
BENCHMARK(BM_OpenSortedLapWindow)->Unit(benchmark::kMillisecond);

}  // namespace
