#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

using Texts = std::array<const char*, kFlags>;  // by flag 1..6

struct StandingsCase {
    const char* name;
    std::vector<Crossing> crossings;
    std::array<int, kFlags> order;
    Texts lagBehind;
    Texts lagFirst;
};

class StandingsTest : public EngineTest, public ::testing::WithParamInterface<StandingsCase> {};

TEST_P(StandingsTest, OrderAndGapsAfterEachRefresh) {
    const StandingsCase& c = GetParam();
    configure(Format::LapRace);
    start();
    if (c.crossings.empty()) {
        tickAt(10, {"0"});  // a report that counts nothing still refreshes
    }
    run(c.crossings);
    for (int p = 1; p <= kFlags; ++p) {
        EXPECT_EQ(state.RunningOrder[p], c.order[static_cast<size_t>(p - 1)]) << "position " << p;
        EXPECT_EQ(state.Position[state.RunningOrder[p]], p);
    }
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LagBehind[f], qs(c.lagBehind[static_cast<size_t>(f - 1)])) << "flag " << f;
        EXPECT_EQ(state.LagFirst[f], qs(c.lagFirst[static_cast<size_t>(f - 1)])) << "flag " << f;
    }
}

const char* const z = "0.00";

INSTANTIATE_TEST_SUITE_P(
    Races, StandingsTest,
    ::testing::Values(
        StandingsCase{
            "NoCrossingYet", {}, {1, 2, 3, 4, 5, 6}, {z, z, z, z, z, z}, {z, "", "", "", "", ""}},
        // Flag 1 has not crossed and sits behind a car that has: its text stays as it was.
        StandingsCase{"Flag4CrossesFirst",
                      {{1000, 4}},
                      {4, 1, 2, 3, 5, 6},
                      {"", z, z, z, z, z},
                      {"", "", "", z, "", ""}},
        StandingsCase{"SameLapOneAndAHalfSecondsBehind",
                      {{1000, 1}, {2500, 2}},
                      {1, 2, 3, 4, 5, 6},
                      {z, "1.50", z, z, z, z},
                      {z, "1.50", "", "", "", ""}},
        StandingsCase{"GapRoundsHalfUp",
                      {{1000, 1}, {2235, 2}, {3240, 3}},
                      {1, 2, 3, 4, 5, 6},
                      {z, "1.24", "1.01", z, z, z},
                      {z, "1.24", "2.24", "", "", ""}},
        StandingsCase{"EarlierCrossingAheadOnEqualLaps",
                      {{1000, 3}, {1500, 2}},
                      {3, 2, 1, 4, 5, 6},
                      {"", "0.50", z, z, z, z},
                      {"", "0.50", z, "", "", ""}},
        StandingsCase{"TwoLapsDown",
                      {{1000, 1}, {4000, 1}, {7000, 1}, {7500, 2}},
                      {1, 2, 3, 4, 5, 6},
                      {z, "2Lap", z, z, z, z},
                      {z, "2Lap", "", "", "", ""}},
        // The car behind keeps its gaps until it crosses again.
        StandingsCase{"LeaderCrossingAgainLeavesGaps",
                      {{1000, 1}, {2500, 2}, {4000, 1}},
                      {1, 2, 3, 4, 5, 6},
                      {z, "1.50", z, z, z, z},
                      {z, "1.50", "", "", "", ""}},
        StandingsCase{"FollowerCrossingAgainUpdatesGaps",
                      {{1000, 1}, {2500, 2}, {4000, 1}, {5200, 2}},
                      {1, 2, 3, 4, 5, 6},
                      {z, "1.20", z, z, z, z},
                      {z, "1.20", "", "", "", ""}},
        StandingsCase{"LapDownCarBehindSameLapCar",
                      {{1000, 1}, {2000, 2}, {4000, 1}, {5000, 2}, {5500, 3}},
                      {1, 2, 3, 4, 5, 6},
                      {z, "1.00", "1Lap", z, z, z},
                      {z, "1.00", "1Lap", "", "", ""}},
        StandingsCase{"Overtake",
                      {{1000, 1}, {1500, 2}, {3600, 2}, {4100, 1}},
                      {2, 1, 3, 4, 5, 6},
                      {"0.50", z, z, z, z, z},
                      {"0.50", z, "", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lapdeck::test
