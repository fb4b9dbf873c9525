#include "StartSequenceRunner.h"

#include <algorithm>

#include "RaceEngine.h"
#include "frmFormula1.h"
#include "frmVx9Countdown.h"

namespace lapdeck {

ModalStartSequence::ModalStartSequence(RaceEngine& engine, SoundPlayer& sound, RandomSource& random,
                                       std::function<ReportSource*()> port,
                                       std::function<void()> changed, QWidget* parent)
    : m_engine(engine),
      m_sound(sound),
      m_random(random),
      m_port(std::move(port)),
      m_changed(std::move(changed)),
      m_parent(parent) {}

void ModalStartSequence::run(bool withCountdown) {
    if (withCountdown) {
        frmVx9Countdown countdown(std::max<int>(m_engine.state().StartDelay, 0), m_parent);
        countdown.exec();
    }
    frmFormula1 lights(m_engine, m_sound, m_random, m_port ? m_port() : nullptr, m_changed,
                       m_parent);
    lights.exec();
}

}  // namespace lapdeck
