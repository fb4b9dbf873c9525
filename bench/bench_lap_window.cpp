// Opening the lap table window of a race with every lap the store holds, and a
// summary file of the longest cells accepted, until shown and painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>

#include "EngineStubs.h"
#include "FileChooser.h"
#include "LongRace.h"
#include "RaceSummary.h"
#include "ResultsWindows.h"
#include "frmSummary.h"

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

// Open's file dialog, always choosing the one file.
class OneFile : public lapdeck::FileChooser {
public:
    explicit OneFile(QString name) : m_name(std::move(name)) {}
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return m_name; }

private:
    QString m_name;
};

// A summary file whose every cell holds 1,000 characters, the most a cell may: the
// window opens and paints without measuring them.
void BM_OpenSummaryFileOfLongestCells(benchmark::State& bench) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("long.sum"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            bench.SkipWithError("cannot write the summary file");
            return;
        }
        // The headings Open tells a summary file by, every other cell at the limit.
        for (int line = 0; line < 1 + 9 * 13; ++line) {
            file.write(line == 3    ? QByteArray("Flag")
                       : line == 15 ? QByteArray("Name")
                       : line == 16 ? QByteArray("Color")
                                    : QByteArray(1000, 'W'));
            file.write("\r\n");
        }
    }
    auto state = lapdeck::stubs::longRace(false);
    lapdeck::SummaryStats stats;
    OneFile files(path);
    lapdeck::test::ScriptedPrompter prompter;  // a refusal is reported, not waited on
    lapdeck::ResultsServices services;
    services.files = &files;
    services.prompter = &prompter;
    for (auto _ : bench) {
        lapdeck::ResultsWindows windows(*state, stats, folder.path(), services, nullptr);
        windows.openFile();
        lapdeck::frmSummary* window = windows.openedSummary();
        if (window == nullptr) {
            bench.SkipWithError(prompter.shown().c_str());
            return;
        }
        QCoreApplication::processEvents();  // exposed
        window->repaint();
    }
}
BENCHMARK(BM_OpenSummaryFileOfLongestCells)->Unit(benchmark::kMillisecond);

}  // namespace
