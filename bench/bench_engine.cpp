// Cost of one report at the far end of a long race: every flag has a full lap store
// (3000 laps) and the lag column shows the median, so each report counts a lap,
// re-sorts for the median and redraws the race screen.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "EngineStubs.h"
#include "NumberFormat.h"
#include "RaceEngine.h"

namespace lapdeck {
namespace {

struct FullRace {
    RaceState state;
    RaceHost host;
    stubs::YesPrompter prompter;
    stubs::FixedRandom random;
    RaceEngine engine{state, host, prompter, random};
    std::vector<int32_t> lapMs;

    explicit FullRace(int32_t fastestMs) {
        state.IsTimedRace = true;
        state.RaceMinutes = 240;
        state.FirstLapIndex = 0;
        state.MinLapTime = 1.0f;
        state.screen.lagColumn = LagColumn::Median;
        state.screen.bestColumn = BestColumn::BestLap;
        state.SpeedMultiplier = 340.9091f;
        std::mt19937 gen(42);
        std::uniform_int_distribution<int32_t> lap(2500, 6000);
        state.RaceClock = 20000000;
        for (int f = 1; f <= kFlags; ++f) {
            state.LapCount[f] = kMaxLap - 1;
            for (int n = 1; n < kMaxLap; ++n) {
                const float seconds = lapSecondsFromMs(lap(gen));
                state.LapTimes[f][static_cast<size_t>(n)] = seconds;
                state.SortedLapTimes[f][static_cast<size_t>(n)] = seconds;
            }
            state.BestLapTime[f] = 2500;
        }
        engine.UpdateRaceScreen();  // sorts every flag once
        for (int i = 0; i < 1024; ++i) {
            lapMs.push_back(fastestMs > 0 ? fastestMs : lap(gen));
        }
    }

    // Takes the flag's last lap back out of the store (laps 1..2999 stay sorted), so
    // the report counts lap 3000 again.
    void rewind(int f, int32_t ms) {
        state.LapCount[f] = kMaxLap - 1;
        state.sortedUpTo[f] = kMaxLap - 1;
        state.LastCrossing[f] = state.RaceClock - ms;
        state.LastCrossTime[f] = state.LastCrossing[f];
    }
};

void runReports(benchmark::State& st, int32_t fastestMs) {
    auto race = std::make_unique<FullRace>(fastestMs);
    const QString reports[] = {QString(),           QStringLiteral("1"), QStringLiteral("2"),
                               QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                               QStringLiteral("6")};
    size_t i = 0;
    for (auto _ : st) {
        const int f = static_cast<int>(i % kFlags) + 1;
        race->rewind(f, race->lapMs[i % race->lapMs.size()]);
        race->engine.handleReport(reports[f]);
        ++i;
    }
    if (race->state.LapCount[1] != kMaxLap && i >= kFlags) {
        st.SkipWithError("the report did not count a lap");
    }
    benchmark::DoNotOptimize(race->state.screen.row[1].lagTime);
}

// A lap among the others: it lands somewhere in the middle of the sorted store.
void BM_ReportAt3000LapsMedianColumn(benchmark::State& st) {
    runReports(st, 0);
}
BENCHMARK(BM_ReportAt3000LapsMedianColumn)->Unit(benchmark::kMicrosecond);

// A new fastest lap: the insertion moves the whole sorted store.
void BM_ReportAt3000LapsNewFastestLap(benchmark::State& st) {
    runReports(st, 1010);
}
BENCHMARK(BM_ReportAt3000LapsNewFastestLap)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lapdeck

BENCHMARK_MAIN();
