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
//
// With `sound`, every cue is heard: a five-lap race, then a timed race of
// `seconds` rounded to whole minutes, each to its "Race Over"; the figures cover
// the ticks of both races. It prints when each start sequence opened (its first
// cue sounds then) and when each race was over, so that a recording of the output
// can be lined up with them; it quits a few seconds after the last race is over.
class MeasureHook : public QObject {
public:
    MeasureHook(frmLapdeck& window, RaceState& state, int seconds, bool sound);

    void windowShown();
    void startRace();

protected:
    // Notes when the race timer's 10 ms timer fires, before the tick is handled.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Kind { Laps, Timed };
    void start(Kind kind, int length);
    void onTick();
    void raceEnded();
    void printFigures();
    void printTickTiming();

    frmLapdeck& m_window;
    RaceState& m_state;
    int m_seconds = 0;
    bool m_sound = false;
    int m_racesLeft = 1;
    bool m_racing = false;
    QElapsedTimer m_wall;
    double m_wallMs = 0.0;  // of the races before this one
    double m_cpuSeconds = 0.0;
    double m_cpuAtGreen = 0.0;
    int64_t m_raceClockMs = 0;
    int m_laps = 0;
    int32_t m_clockAtGreen = 0;
    QElapsedTimer m_tickClock;
    int64_t m_firedNs = -1;
    int64_t m_lastTickNs = -1;
    std::vector<double> m_gapsMs;  // from one handled tick to the next
    std::vector<double> m_workMs;  // from the timer firing to the tick drawn
};

}  // namespace lapdeck
