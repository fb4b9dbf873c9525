#pragma once

#include <array>
#include <cstdint>

#include <QString>

namespace lapdeck {

class RandomSource;

// The countdown before the start lights, one step per second. The window draws
// `digits()` and closes when a step says so.
class CountdownSteps {
public:
    explicit CountdownSteps(int startDelay) : m_remaining(startDelay) {}

    // Returns true when the window closes (the tick after 0 was shown).
    bool tick();
    // Empty until the first tick.
    const QString& digits() const { return m_digits; }

private:
    int m_remaining;
    QString m_digits;
};

// The four start lights, one step per second, with the random hold R (1..3) before green.
class StartLightSteps {
public:
    enum class Light { Dark, Red, Green };
    enum class Action { None, RedLight, Green, Close };

    explicit StartLightSteps(int hold);
    // R = whole part of 3r + 1 for a uniform r in [0, 1).
    static int drawHold(RandomSource& random);

    Action tick();
    // A click on the window jumps to step 5: the lights not yet lit stay dark.
    void click() { m_step = 5; }

    const std::array<Light, 4>& lights() const { return m_lights; }
    int hold() const { return m_hold; }
    int step() const { return m_step; }

private:
    int m_hold;
    int m_step = 1;
    std::array<Light, 4> m_lights{};
};

}  // namespace lapdeck
