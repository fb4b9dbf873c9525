#include "RaceTimer.h"

#include <limits>

namespace lapdeck {

int32_t TickClock::advance(int64_t nowNs) {
    const int64_t total = nowNs - m_lastNs + m_carryNs;
    m_lastNs = nowNs;
    if (total <= 0) {
        m_carryNs = total;
        return 0;
    }
    const int64_t ms = total / 1000000;
    m_carryNs = total % 1000000;
    return ms > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                    : static_cast<int32_t>(ms);
}

RaceTimer::RaceTimer(Clock clock, QObject* parent) : QObject(parent), m_clock(std::move(clock)) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &RaceTimer::onTimeout);
    m_system.start();
}

void RaceTimer::setRunning(bool running) {
    if (running == m_timer.isActive()) {
        return;
    }
    if (running) {
        // Time while stopped is not race time.
        m_ticks.start(now());
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

void RaceTimer::onTimeout() {
    emit tick(m_ticks.advance(now()));
}

}  // namespace lapdeck
