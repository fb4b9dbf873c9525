// Replaying a 240-minute timed race with six cars of about 3000 laps each, from the
// journal to the four result files (target: under 0.5 s on one core); and the same
// race in 200 MB of noise journaled a line a report, recovered and replayed (target:
// within 10 s, equal to the race without the noise).
#include <benchmark/benchmark.h>

#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "EngineStubs.h"
#include "Journal.h"
#include "NoisyRace.h"
#include "RaceArchive.h"
#include "RaceEngine.h"
#include "RaceRecovery.h"
#include "RaceResultFiles.h"
#include "RaceSummary.h"
#include "RecordedRace.h"
#include "Replay.h"
#include "ReplayRun.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

void BM_ReplayLongTimedRace(benchmark::State& bench) {
    const std::vector<JournalEntry> journal = test::longRaceJournal();
    for (auto _ : bench) {
        RaceState state;
        state.MinLapTime = 2.0f;
        state.IsTimedRace = true;
        state.RaceMinutes = 240;
        state.SpeedMultiplier = 818.1818f;
        stubs::InstantStartHost host;
        host.lagMode = LagColumn::Median;
        stubs::YesPrompter prompter;
        stubs::FixedRandom random;
        RaceEngine engine(state, host, prompter, random);
        host.engine = &engine;
        engine.ReSet();
        engine.cmdStart_Click();
        runJournal(engine, journal);
        SummaryStats stats;
        auto files = buildRaceResultFiles(state, stats, QDateTime());
        benchmark::DoNotOptimize(files);
        if (state.RaceOver == 0 || state.LapCount[1] < 2900) {
            bench.SkipWithError("the race did not run to its end");
        }
    }
    bench.counters["reports"] = static_cast<double>(journal.size());
}
BENCHMARK(BM_ReplayLongTimedRace)->Unit(benchmark::kMillisecond)->Iterations(3);

QByteArray resultBytes(RaceState& race) {
    SummaryStats stats;
    const auto files = buildRaceResultFiles(race, stats, QDateTime());
    const RaceResultFiles& f = files.value();
    return f.lapFile + f.lapText + f.summaryFile + f.summaryText;
}

// 13 noise reports on every tick of 10 ms for four hours: about 206 MB.
void BM_RecoverAndReplayNoisyJournal(benchmark::State& bench) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Races/2026-12-05 16-07-42"));
    QDir().mkpath(folder);
    test::writeLongRaceData(folder);
    const std::vector<JournalEntry> race = test::longRaceJournal();
    const QString clean = dir.filePath(QStringLiteral("clean.txt"));
    const QString noisy = QDir(folder).filePath(RaceArchive::kJournal);
    if (!test::writeNoisyJournal(clean, race, 10, 0) ||
        !test::writeNoisyJournal(noisy, race, 10, 13)) {
        bench.SkipWithError("cannot write the journals");
        return;
    }
    RaceState without;
    if (rescoreRecordedRace(folder, clean, without)) {
        bench.SkipWithError("the race without the noise does not re-score");
        return;
    }
    const QByteArray expected = resultBytes(without);
    for (auto _ : bench) {
        test::ScriptedPrompter organiser;
        RaceState recovered;
        RaceArchive::markEnded(folder, RaceEnd::Unfinished);
        const QString out = dir.filePath(QStringLiteral("out"));
        QString message;
        const bool same = offerRecovery(RaceArchive(dir.path()), organiser, recovered) &&
                          resultBytes(recovered) == expected &&
                          runReplay({false, folder, noisy, out}, message) == kReplayOk;
        QByteArray files;
        for (const char* file : {"laps.lap", "laps.txt", "summary.sum", "summary.txt"}) {
            files += readWholeFile(QDir(out).filePath(QLatin1String(file)), 1 << 24).bytes;
        }
        if (!same || files != expected) {
            bench.SkipWithError("not the race without the noise");
        }
    }
    bench.counters["journal_MB"] = static_cast<double>(QFileInfo(noisy).size()) / 1e6;
}
BENCHMARK(BM_RecoverAndReplayNoisyJournal)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lapdeck

BENCHMARK_MAIN();
