#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

// The flags by position, then each flag's lag-behind and lag-first text ("-": none).
std::string standings(const RaceState& s) {
    std::string out;
    for (int p = 1; p <= kFlags; ++p) {
        out += std::to_string(s.RunningOrder[p]);
        EXPECT_EQ(s.Position[s.RunningOrder[p]], p);
    }
    for (const PerFlag<QString>* texts : {&s.LagBehind, &s.LagFirst}) {
        out += " |";
        for (int f = 1; f <= kFlags; ++f) {
            out += ' ' + ((*texts)[f].isEmpty() ? std::string("-") : (*texts)[f].toStdString());
        }
    }
    return out;
}

// Gaps are measured at the line: a flag's texts change only when it crosses after the
// car it is compared with (strictly after, for lag first).
TEST_F(EngineTest, OrderAndGapsAfterEachRefresh) {
    const std::pair<std::vector<Crossing>, const char*> cases[] = {
        // No crossing yet (a report that counts nothing still refreshes).
        {{{10, 0}}, "123456 | 0.00 0.00 0.00 0.00 0.00 0.00 | 0.00 - - - - -"},
        // Flag 1 has not crossed and sits behind a car that has: its text stays.
        {{{1000, 4}}, "412356 | - 0.00 0.00 0.00 0.00 0.00 | - - - 0.00 - -"},
        {{{1000, 1}, {2500, 2}}, "123456 | 0.00 1.50 0.00 0.00 0.00 0.00 | 0.00 1.50 - - - -"},
        // Gaps round half up.
        {{{1000, 1}, {2235, 2}, {3240, 3}},
         "123456 | 0.00 1.24 1.01 0.00 0.00 0.00 | 0.00 1.24 2.24 - - -"},
        // On equal laps the earlier crossing is ahead.
        {{{1000, 3}, {1500, 2}}, "321456 | - 0.50 0.00 0.00 0.00 0.00 | - 0.50 0.00 - - -"},
        {{{1000, 1}, {4000, 1}, {7000, 1}, {7500, 2}},
         "123456 | 0.00 2Lap 0.00 0.00 0.00 0.00 | 0.00 2Lap - - - -"},
        // The leader crossing again leaves the gaps; the follower's next crossing updates.
        {{{1000, 1}, {2500, 2}, {4000, 1}},
         "123456 | 0.00 1.50 0.00 0.00 0.00 0.00 | 0.00 1.50 - - - -"},
        {{{1000, 1}, {2500, 2}, {4000, 1}, {5200, 2}},
         "123456 | 0.00 1.20 0.00 0.00 0.00 0.00 | 0.00 1.20 - - - -"},
        {{{1000, 1}, {2000, 2}, {4000, 1}, {5000, 2}, {5500, 3}},
         "123456 | 0.00 1.00 1Lap 0.00 0.00 0.00 | 0.00 1.00 1Lap - - -"},
        {{{1000, 1}, {1500, 2}, {3600, 2}, {4100, 1}},  // overtake
         "213456 | 0.50 0.00 0.00 0.00 0.00 0.00 | 0.50 0.00 - - - -"}};
    for (const auto& [crossings, expected] : cases) {
        configure(Format::LapRace);
        start();
        run(crossings);
        EXPECT_EQ(standings(state), expected);
    }
}

}  // namespace
}  // namespace lapdeck::test
