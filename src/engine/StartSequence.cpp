#include "StartSequence.h"

#include <algorithm>
#include <cmath>

#include "RaceHost.h"

namespace lapdeck {

bool CountdownSteps::tick() {
    m_digits = QString::number(m_remaining);
    const int shown = m_remaining;
    --m_remaining;
    return shown < 0;
}

StartLightSteps::StartLightSteps(int hold) : m_hold(std::clamp(hold, 1, 3)) {}

int StartLightSteps::drawHold(RandomSource& random) {
    return static_cast<int>(std::floor(3 * random.next() + 1));
}

StartLightSteps::Action StartLightSteps::tick() {
    Action action = Action::None;
    if (m_step >= 1 && m_step <= 4) {
        m_lights[static_cast<size_t>(m_step - 1)] = Light::Red;
        action = Action::RedLight;
    } else if (m_step == m_hold + 4) {
        m_lights.fill(Light::Green);
        action = Action::Green;
    } else if (m_step == m_hold + 5) {
        action = Action::Close;
    }
    ++m_step;
    return action;
}

}  // namespace lapdeck
