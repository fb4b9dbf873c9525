#include "LapSort.h"

#include <cmath>
#include <memory>
#include <random>

#include "EngineHarness.h"
#include "NumberFormat.h"

namespace lapdeck::test {
namespace {

TEST(Median, EntryAtHalfTheLapsPlusOneHalvesToEven) {
    struct Case {
        int lapCount;
        std::vector<float> laps;  // laps 1..n
        const char* median;
        std::vector<float> sorted;
    };
    const Case cases[] = {
        {4, {10.5f, 9.8f, 11.2f, 9.8f}, "10.50", {9.8f, 9.8f, 10.5f, 11.2f}},
        {5, {13, 9, 12, 10, 11}, "12.00", {9, 10, 11, 12, 13}},  // takes the fourth
        {3, {11, 9, 10}, "10.00", {9, 10, 11}},
        {7, {7, 6, 5, 4, 3, 2, 1}, "4.00", {1, 2, 3, 4, 5, 6, 7}},
        {1, {5}, "0.00", {5, 0}},           // reads the empty second entry
        {2, {7, 6, 1}, "7.00", {6, 7, 1}},  // laps beyond the count stay put
        {0, {}, "0.00", {}},
        {-1, {}, "99.00", {}}};  // no crossing: entry 0
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lapCount);
        auto state = std::make_unique<RaceState>();
        state->LapCount.fill(0);
        state->LapCount[2] = static_cast<int16_t>(c.lapCount);
        state->SortedLapTimes[2][0] = 99.0f;  // lap 0 is never part of the sort
        for (size_t n = 0; n < c.laps.size(); ++n) {
            state->SortedLapTimes[2][n + 1] = c.laps[n];
        }
        subSortLapTimes(*state);
        EXPECT_EQ(state->MedianLap[2], qs(c.median));
        for (size_t n = 0; n < c.sorted.size(); ++n) {
            EXPECT_EQ(state->SortedLapTimes[2][n + 1], c.sorted[n]) << "entry " << n + 1;
        }
        EXPECT_EQ(state->SortedLapTimes[2][0], 99.0f);
        EXPECT_EQ(state->MedianLap[1], qs("0.00"));
    }
}

// The shrinking bubble sort with early exit, as the lap table has always sorted.
void referenceSort(std::array<float, kMaxLap + 1>& laps, int lapCount) {
    int m = lapCount;
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        --m;
        for (int j = 1; j <= m; ++j) {
            if (laps[static_cast<size_t>(j)] > laps[static_cast<size_t>(j + 1)]) {
                std::swap(laps[static_cast<size_t>(j)], laps[static_cast<size_t>(j + 1)]);
                exchanged = true;
            }
        }
    }
}

QString referenceMedian(const std::array<float, kMaxLap + 1>& laps, int lapCount) {
    const double index = std::nearbyint(lapCount / 2.0 + 1.0);
    return formatSingle(laps[static_cast<size_t>(index)], u"0.00");
}

TEST(IncrementalSort, MatchesTheBubbleSortOnRandomRaces) {
    for (const unsigned seed : {1u, 7u, 2024u, 99991u}) {
        std::mt19937 gen(seed);
        auto state = std::make_unique<RaceState>();
        auto reference = std::make_unique<LapStore>();
        // Narrow ranges give many equal times; wide ones many moves per lap.
        std::uniform_int_distribution<int> narrow(250, 260);
        std::uniform_int_distribution<int> wide(100, 6000);
        std::uniform_int_distribution<int> batch(1, 4);
        std::uniform_int_distribution<int> flagPick(1, kFlags);
        for (int race = 0; race < 3; ++race) {
            state->ResetSortedLapTimesArray();
            *reference = LapStore{};
            const int16_t first = race % 2 == 0 ? 0 : -1;
            state->LapCount.fill(first);
            for (int f = 1; f <= kFlags; ++f) {
                if (first == -1) {
                    // Lap 0 takes the slot the sort never touches.
                    const float lap0 = static_cast<float>(wide(gen)) / 100.0f;
                    state->LapCount[f] = 0;
                    state->SortedLapTimes[f][0] = (*reference)[f][0] = lap0;
                }
            }
            for (int step = 0; step < 700; ++step) {
                // Some laps counted (one flag or several) since the last refresh.
                const int laps = batch(gen);
                for (int k = 0; k < laps; ++k) {
                    const int f = flagPick(gen);
                    if (state->LapCount[f] >= kMaxLap) {
                        continue;
                    }
                    const int n = ++state->LapCount[f];
                    const int ms = f % 2 == 0 ? narrow(gen) * 10 : wide(gen) * 10;
                    const float seconds = lapSecondsFromMs(ms);
                    state->SortedLapTimes[f][static_cast<size_t>(n)] = seconds;
                    (*reference)[f][static_cast<size_t>(n)] = seconds;
                }
                subSortLapTimes(*state);
                for (int f = 1; f <= kFlags; ++f) {
                    referenceSort((*reference)[f], state->LapCount[f]);
                    ASSERT_EQ(state->SortedLapTimes[f], (*reference)[f])
                        << "seed " << seed << " race " << race << " step " << step << " flag " << f;
                    ASSERT_EQ(state->MedianLap[f],
                              referenceMedian((*reference)[f], state->LapCount[f]));
                }
            }
        }
    }
}

TEST_F(EngineTest, LapsOfTheNextRaceAreSortedFromScratch) {
    configure(Format::LapRace);
    // Six laps sorted, then a new race counts eight before anything shows a median again.
    const std::vector<float> races[] = {{6, 5, 4, 3, 2, 1}, {9, 3, 8, 1, 7, 2, 6, 5}};
    for (const std::vector<float>& laps : races) {
        engine.StartReset();
        for (size_t n = 1; n <= laps.size(); ++n) {
            state.LapCount[1] = static_cast<int16_t>(n);
            state.SortedLapTimes[1][n] = laps[n - 1];
        }
        engine.subSortLapTimes();
    }
    const float sorted[] = {1, 2, 3, 5, 6, 7, 8, 9};
    for (size_t n = 1; n <= 8; ++n) {
        EXPECT_EQ(state.SortedLapTimes[1][n], sorted[n - 1]) << n;
    }
    EXPECT_EQ(state.MedianLap[1], qs("6.00"));
}

}  // namespace
}  // namespace lapdeck::test
