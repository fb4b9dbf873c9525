#include "StartSequence.h"

#include <string>

#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

struct CountdownCase {
    int delay;
    std::vector<const char*> digits;  // shown by each tick before the window closes
};

class CountdownTest : public ::testing::TestWithParam<CountdownCase> {};

TEST_P(CountdownTest, ShowsEachSecondDownToZeroThenCloses) {
    const CountdownCase& c = GetParam();
    CountdownSteps steps(c.delay);
    EXPECT_EQ(steps.digits(), QString()) << "empty until the first tick";
    for (const char* expected : c.digits) {
        ASSERT_FALSE(steps.tick());
        EXPECT_EQ(steps.digits(), qs(expected));
    }
    EXPECT_TRUE(steps.tick()) << "closes at the tick after 0";
}

INSTANTIATE_TEST_SUITE_P(Delays, CountdownTest,
                         ::testing::Values(CountdownCase{0, {"0"}}, CountdownCase{1, {"1", "0"}},
                                           CountdownCase{5, {"5", "4", "3", "2", "1", "0"}}));

using Action = StartLightSteps::Action;
using Light = StartLightSteps::Light;

// One letter per tick: r red light, . nothing, G green, C close.
std::string actions(StartLightSteps& steps, int ticks) {
    std::string out;
    for (int i = 0; i < ticks; ++i) {
        switch (steps.tick()) {
            case Action::RedLight:
                out += 'r';
                break;
            case Action::None:
                out += '.';
                break;
            case Action::Green:
                out += 'G';
                break;
            case Action::Close:
                out += 'C';
                break;
        }
    }
    return out;
}

std::string lights(const StartLightSteps& steps) {
    std::string out;
    for (Light l : steps.lights()) {
        out += l == Light::Dark ? '-' : l == Light::Red ? 'R' : 'G';
    }
    return out;
}

struct LightsCase {
    int hold;
    const char* sequence;
};

class StartLightsTest : public ::testing::TestWithParam<LightsCase> {};

TEST_P(StartLightsTest, FourRedsThenGreenAtHoldPlusFour) {
    StartLightSteps steps(GetParam().hold);
    EXPECT_EQ(lights(steps), "----");
    std::string seen;
    const char* const afterRed[] = {"R---", "RR--", "RRR-", "RRRR"};
    for (const char* expected : afterRed) {
        seen += actions(steps, 1);
        EXPECT_EQ(lights(steps), expected);
    }
    seen += actions(steps, GetParam().hold + 1);
    EXPECT_EQ(seen, GetParam().sequence);
    EXPECT_EQ(lights(steps), "GGGG");
}

INSTANTIATE_TEST_SUITE_P(Holds, StartLightsTest,
                         ::testing::Values(LightsCase{1, "rrrrGC"}, LightsCase{2, "rrrr.GC"},
                                           LightsCase{3, "rrrr..GC"}));

TEST(StartLightsClickTest, BeforeTheFirstRedSkipsTheRedLights) {
    for (int hold = 1; hold <= 3; ++hold) {
        StartLightSteps steps(hold);
        steps.click();
        const std::string seen = actions(steps, hold + 1);
        EXPECT_EQ(seen, std::string(static_cast<size_t>(hold - 1), '.') + "GC") << hold;
        EXPECT_EQ(lights(steps), "GGGG");
    }
}

TEST(StartLightsClickTest, AfterTwoRedsTheOthersStayDark) {
    StartLightSteps steps(3);
    EXPECT_EQ(actions(steps, 2), "rr");
    steps.click();
    EXPECT_EQ(actions(steps, 2), "..");
    EXPECT_EQ(lights(steps), "RR--");
    EXPECT_EQ(actions(steps, 2), "GC");
}

TEST(StartLightsClickTest, InTheSecondAfterGreenTheGreenStepComesAgain) {
    StartLightSteps one(1);
    EXPECT_EQ(actions(one, 5), "rrrrG");
    one.click();
    EXPECT_EQ(actions(one, 2), "GC");
    StartLightSteps two(2);
    EXPECT_EQ(actions(two, 6), "rrrr.G");
    two.click();
    EXPECT_EQ(actions(two, 3), ".GC");
}

class SequenceRandom : public RandomSource {
public:
    explicit SequenceRandom(std::vector<double> values) : m_values(std::move(values)) {}
    double next() override { return m_values.at(m_next++); }

private:
    std::vector<double> m_values;
    size_t m_next = 0;
};

TEST(StartLightsHoldTest, HoldIsOneTwoOrThreeWithEqualChance) {
    SequenceRandom fixed({0.0, 0.3333, 1.0 / 3, 0.5, 0.6666, 2.0 / 3, 0.999999});
    const int expected[] = {1, 1, 2, 2, 2, 3, 3};
    for (int e : expected) {
        EXPECT_EQ(StartLightSteps::drawHold(fixed), e);
    }
}

}  // namespace
}  // namespace lapdeck::test
