#include "StartSequenceRunner.h"

#include <algorithm>

#include "RaceEngine.h"
#include "frmFormula1.h"
#include "frmVx9Countdown.h"

namespace lapdeck {

ModalStartSequence::ModalStartSequence(SoundPlayer& sound, RandomSource& random)
    : m_sound(sound), m_random(random) {}

void ModalStartSequence::run(RaceEngine& engine, ReportSource* port, bool withCountdown,
                             const std::function<void()>& changed) {
    if (withCountdown) {
        frmVx9Countdown countdown(std::max<int>(engine.state().StartDelay, 0), m_parent);
        countdown.exec();
    }
    frmFormula1 lights(engine, m_sound, m_random, port, changed, m_parent);
    lights.exec();
}

}  // namespace lapdeck
