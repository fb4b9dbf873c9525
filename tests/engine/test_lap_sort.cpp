#include "LapSort.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "EngineHarness.h"
#include "NumberFormat.h"

namespace lapdeck::test {
namespace {

TEST(Median, EntryAtHalfTheLapsPlusOneHalvesToEven) {
    // lap count, laps 1..n, median, the laps after the sort
    const std::tuple<int, std::vector<float>, const char*, std::vector<float>> cases[] = {
        {5, {13, 9, 12, 10, 11}, "12.00", {9, 10, 11, 12, 13}},  // takes the fourth
        {1, {5}, "0.00", {5, 0}},                                // reads the empty second entry
        {2, {7, 6, 1}, "7.00", {6, 7, 1}},                       // laps beyond the count stay put
        {0, {}, "0.00", {}},
        {-1, {}, "99.00", {}}};  // no crossing: entry 0
    for (const auto& [lapCount, laps, median, sorted] : cases) {
        SCOPED_TRACE(lapCount);
        auto state = std::make_unique<RaceState>();
        state->LapCount.fill(0);
        state->LapCount[2] = static_cast<int16_t>(lapCount);
        state->SortedLapTimes[2][0] = 99.0f;  // lap 0 is never part of the sort
        std::copy(laps.begin(), laps.end(), state->SortedLapTimes[2].begin() + 1);
        subSortLapTimes(*state);
        EXPECT_EQ(state->MedianLap[2], qs(median));
        EXPECT_TRUE(std::equal(sorted.begin(), sorted.end(), state->SortedLapTimes[2].begin() + 1));
        EXPECT_EQ(state->SortedLapTimes[2][0], 99.0f);
        EXPECT_EQ(state->MedianLap[1], qs("0.00"));
    }
}

// The sort only inserts the laps counted since the last refresh; it must give what
// a full sort gives, and the median of the full sort.
TEST(IncrementalSort, GivesWhatAFullSortGivesOnRandomRaces) {
    for (const unsigned seed : {1u, 7u, 2024u, 99991u}) {
        std::mt19937 gen(seed);
        auto state = std::make_unique<RaceState>();
        auto reference = std::make_unique<LapStore>();
        for (int race = 0; race < 3; ++race) {
            // A new race starts the counts again below what is already sorted.
            state->ResetSortedLapTimesArray();
            *reference = LapStore{};
            state->LapCount.fill(0);
            for (int f = 1; f <= kFlags; ++f) {  // a lap 0 the sort never touches
                state->SortedLapTimes[f][0] = (*reference)[f][0] = race == 1 ? 50.0f : 0.0f;
            }
            for (int step = 0; step < 700; ++step) {
                for (unsigned k = 1 + gen() % 4; k > 0; --k) {  // laps since the last refresh
                    const int f = 1 + static_cast<int>(gen() % kFlags);
                    const auto n = static_cast<size_t>(++state->LapCount[f]);
                    // Even flags: few distinct times, so many equal ones; odd: many moves.
                    const auto ms = static_cast<int32_t>(f % 2 == 0 ? 2500 + gen() % 11 * 10
                                                                    : 1000 + gen() % 59000);
                    state->SortedLapTimes[f][n] = (*reference)[f][n] = lapSecondsFromMs(ms);
                }
                subSortLapTimes(*state);
                for (int f = 1; f <= kFlags; ++f) {
                    auto& laps = (*reference)[f];
                    std::sort(laps.begin() + 1, laps.begin() + 1 + state->LapCount[f]);
                    ASSERT_EQ(state->SortedLapTimes[f], laps) << seed << " " << race << " " << step;
                    const auto median =
                        static_cast<size_t>(std::nearbyint(state->LapCount[f] / 2.0 + 1));
                    ASSERT_EQ(state->MedianLap[f], formatSingle(laps[median], u"0.00"));
                }
            }
        }
    }
}

}  // namespace
}  // namespace lapdeck::test
