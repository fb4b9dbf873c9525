#pragma once

#include <vector>

#include <QElapsedTimer>
#include <QObject>

namespace lapdeck {

class frmLapdeck;
struct RaceState;

// For scripts/measure.sh: starts a six-car demo race at once, and `seconds` after
// the green light prints its CPU use, resident memory, race clock against wall
// time and tick timing (the race is journaled as any race) to standard output,
// then quits. It also prints when the window was shown. Nothing is saved.
class MeasureHook : public QObject {
public:
    MeasureHook(frmLapdeck& window, RaceState& state, int seconds);

    void windowShown();
    void startRace();

protected:
    // Notes when the race timer's 10 ms timer fires, before the tick is handled.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTick();
    void printTickTiming();

    frmLapdeck& m_window;
    RaceState& m_state;
    int m_seconds = 0;
    bool m_racing = false;
    QElapsedTimer m_wall;
    double m_cpuAtGreen = 0.0;
    int32_t m_clockAtGreen = 0;
    QElapsedTimer m_tickClock;
    int64_t m_firedNs = -1;
    int64_t m_lastTickNs = -1;
    std::vector<double> m_gapsMs;  // from one handled tick to the next
    std::vector<double> m_workMs;  // from the timer firing to the tick drawn
};

}  // namespace lapdeck
