#include "StartSequence.h"

#include <string>

#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

TEST(Countdown, ShowsEachSecondDownToZeroThenCloses) {
    for (const int delay : {0, 1, 5}) {
        CountdownSteps steps(delay);
        EXPECT_EQ(steps.digits(), QString()) << "empty until the first tick";
        for (int shown = delay; shown >= 0; --shown) {
            ASSERT_FALSE(steps.tick());
            EXPECT_EQ(steps.digits(), QString::number(shown));
        }
        EXPECT_TRUE(steps.tick()) << "closes at the tick after 0";
    }
}

// One letter per tick: r red light, . nothing, G green, C close; then the lamps.
std::string run(StartLightSteps& steps, int ticks) {
    std::string out;
    for (int i = 0; i < ticks; ++i) {
        out += ".rGC"[static_cast<int>(steps.tick())];
    }
    out += ' ';
    for (StartLightSteps::Light l : steps.lights()) {
        out += "-RG"[static_cast<int>(l)];
    }
    return out;
}

TEST(StartLights, FourRedsOneASecondThenGreenAtHoldPlusFour) {
    StartLightSteps one(1);
    EXPECT_EQ(run(one, 0), " ----");
    EXPECT_EQ(run(one, 1), "r R---");
    EXPECT_EQ(run(one, 3), "rrr RRRR");
    EXPECT_EQ(run(one, 2), "GC GGGG");
    StartLightSteps two(2);
    EXPECT_EQ(run(two, 7), "rrrr.GC GGGG");
    StartLightSteps three(3);
    EXPECT_EQ(run(three, 8), "rrrr..GC GGGG");
}

// A click jumps to step 5: the lights not yet lit stay dark.
TEST(StartLights, AClickSkipsTheRedLightsStillToCome) {
    StartLightSteps before(2);
    before.click();
    EXPECT_EQ(run(before, 3), ".GC GGGG");
    StartLightSteps afterTwo(3);
    EXPECT_EQ(run(afterTwo, 2), "rr RR--");
    afterTwo.click();
    EXPECT_EQ(run(afterTwo, 4), "..GC GGGG");
}

TEST(StartLights, HoldIsOneTwoOrThreeWithEqualChance) {
    ScriptedRandom random;
    random.values = {0.0, 0.3333, 1.0 / 3, 0.5, 0.6666, 2.0 / 3, 0.999999};
    for (const int expected : {1, 1, 2, 2, 2, 3, 3}) {
        EXPECT_EQ(StartLightSteps::drawHold(random), expected);
    }
}

}  // namespace
}  // namespace lapdeck::test
