#pragma once

#include <cstdint>
#include <vector>

#include <QDateTime>
#include <QString>

#include "HeatPlan.h"
#include "Meeting.h"

namespace lapdeck {

inline constexpr int kMinGapMinutes = 1;
inline constexpr int kMaxGapMinutes = 10;
inline constexpr int kGapStepSeconds = 15;
// The race's own callouts end within 3 s of Race Over; a call waits until then.
inline constexpr int64_t kQuietAfterHeatMs = 5000;

// The countdown to the next heat: a gap after the last heat ended, moved by the
// organiser while it runs, with the next heat called at one minute and at thirty
// seconds. Time comes from outside in milliseconds of any steady clock.
class HeatCountdown {
public:
    enum class Call { OneMinute, ThirtySeconds, Due };

    void start(int64_t nowMs, int gapMinutes);
    void stop() { m_running = false; }
    bool running() const { return m_running; }
    // Moves the next heat `seconds` later (or earlier when negative), never before
    // now. A call already made is made again once the new time comes round to it.
    void adjust(int64_t nowMs, int seconds);
    // Milliseconds to go; 0 once due.
    int64_t remainingMs(int64_t nowMs) const;
    // The calls come due since the last poll, each once; none in the first
    // kQuietAfterHeatMs. Due stops the countdown.
    std::vector<Call> poll(int64_t nowMs);

private:
    bool m_running = false;
    int64_t m_dueMs = 0;
    int64_t m_quietUntilMs = 0;
    bool m_saidMinute = false;
    bool m_saidThirty = false;
};

// "Next heat, Touring round 2 heat 3: Ann, Bob, Cy" (the racers in flag order).
QString nextHeatCallout(const PlannedHeat& heat);
// "2:05" to go.
QString countdownText(int64_t remainingMs);

// When each heat of the plan starts: a heat started at the start its race folder is
// named by; the waiting ones one after another from `nextStart`, each taking its
// class's race (minutes; for laps, the class's winning times so far, or
// kGuessedLapSeconds a lap before any) and the gap. Invalid where not known.
inline constexpr int kGuessedLapSeconds = 20;
std::vector<QDateTime> plannedStarts(const Meeting& meeting, const MeetingPlan& plan,
                                     const QDateTime& nextStart, int gapMinutes);

}  // namespace lapdeck
