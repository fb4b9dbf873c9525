#pragma once

#include <cstdint>
#include <functional>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace lapdeck {

// Whole milliseconds between readings of a monotonic clock, with the fraction
// carried to the next reading, so the sum of the steps never drifts from the clock.
class TickClock {
public:
    void start(int64_t nowNs) {
        m_lastNs = nowNs;
        m_carryNs = 0;
    }
    int32_t advance(int64_t nowNs);

private:
    int64_t m_lastNs = 0;
    int64_t m_carryNs = 0;
};

// The race timer: a 10 ms precise timer on the window thread. Each tick carries the
// milliseconds elapsed since the previous one, measured, not assumed, so a late or
// missed tick never loses race time.
class RaceTimer : public QObject {
    Q_OBJECT

public:
    // A monotonic clock in nanoseconds.
    using Clock = std::function<int64_t()>;

    // Time is read from `clock`, or from the system's monotonic clock when it is empty.
    explicit RaceTimer(Clock clock = {}, QObject* parent = nullptr);

    void setRunning(bool running);
    bool isRunning() const { return m_timer.isActive(); }

signals:
    void tick(int32_t milliseconds);

private:
    void onTimeout();
    int64_t now() const { return m_clock ? m_clock() : m_system.nsecsElapsed(); }

    QTimer m_timer;
    Clock m_clock;
    QElapsedTimer m_system;
    TickClock m_ticks;
};

}  // namespace lapdeck
