#pragma once

#include <QElapsedTimer>

namespace lapdeck {

class frmLapdeck;
struct RaceState;

// For scripts/measure.sh: starts a six-car demo race at once, and `seconds` after
// the green light prints its CPU use, resident memory and race clock against wall
// time to standard output, then quits. It also prints when the window was shown.
// Nothing is saved.
class MeasureHook {
public:
    MeasureHook(frmLapdeck& window, RaceState& state, int seconds);

    void windowShown();
    void startRace();

private:
    void onTick();

    frmLapdeck& m_window;
    RaceState& m_state;
    int m_seconds = 0;
    bool m_racing = false;
    QElapsedTimer m_wall;
    double m_cpuAtGreen = 0.0;
    int32_t m_clockAtGreen = 0;
};

}  // namespace lapdeck
