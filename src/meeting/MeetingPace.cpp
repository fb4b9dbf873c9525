#include "MeetingPace.h"

#include <algorithm>

#include <QFileInfo>

namespace lapdeck {
namespace {

constexpr int64_t kMinuteMs = 60000;
constexpr int64_t kThirtyMs = 30000;

// A race folder is named by its start, as the archive names it ("2026-12-05
// 16-07-42", with " 2" after it for a second race in the same second).
QDateTime folderStart(const QString& raceFolder) {
    const QString format = QStringLiteral("yyyy-MM-dd HH-mm-ss");
    return QDateTime::fromString(QFileInfo(raceFolder).fileName().left(format.size()), format);
}

// How long a heat of the class takes: its minutes, or its laps at the pace its
// winners have set so far.
int64_t raceSeconds(const Meeting& meeting, const MeetingClass& c) {
    if (c.length.timed) {
        return int64_t{c.length.value} * 60;
    }
    int64_t winners = 0;
    int64_t heats = 0;
    for (const HeatRun& run : meeting.runs) {
        if (run.key.className == c.name && run.status == RunStatus::Done && !run.results.empty() &&
            run.results.front().laps > 0) {
            winners += run.results.front().timeMs / 1000;
            ++heats;
        }
    }
    return heats > 0 ? winners / heats : int64_t{c.length.value} * kGuessedLapSeconds;
}

}  // namespace

void HeatCountdown::start(int64_t nowMs, int gapMinutes) {
    m_running = true;
    m_dueMs = nowMs + std::clamp(gapMinutes, kMinGapMinutes, kMaxGapMinutes) * kMinuteMs;
    m_quietUntilMs = nowMs + kQuietAfterHeatMs;
    m_saidMinute = m_saidThirty = false;
}

void HeatCountdown::adjust(int64_t nowMs, int seconds) {
    if (!m_running) {
        return;
    }
    m_dueMs = std::max(nowMs, m_dueMs + int64_t{seconds} * 1000);
    const int64_t left = remainingMs(nowMs);
    m_saidMinute = m_saidMinute && left <= kMinuteMs;
    m_saidThirty = m_saidThirty && left <= kThirtyMs;
}

int64_t HeatCountdown::remainingMs(int64_t nowMs) const {
    return m_running ? std::max<int64_t>(0, m_dueMs - nowMs) : 0;
}

std::vector<HeatCountdown::Call> HeatCountdown::poll(int64_t nowMs) {
    std::vector<Call> calls;
    if (!m_running || nowMs < m_quietUntilMs) {
        return calls;
    }
    const int64_t left = remainingMs(nowMs);
    // A poll that comes late says only the latest call: a minute's call under thirty
    // seconds would be wrong.
    if (left == 0) {
        m_running = false;
        calls.push_back(Call::Due);
    } else if (left <= kThirtyMs && !m_saidThirty) {
        m_saidMinute = m_saidThirty = true;
        calls.push_back(Call::ThirtySeconds);
    } else if (left <= kMinuteMs && !m_saidMinute) {
        m_saidMinute = true;
        calls.push_back(Call::OneMinute);
    }
    return calls;
}

QString nextHeatCallout(const PlannedHeat& heat) {
    std::vector<PlannedSeat> seats = heat.seats;
    std::sort(seats.begin(), seats.end(),
              [](const PlannedSeat& a, const PlannedSeat& b) { return a.flag < b.flag; });
    QStringList names;
    for (const PlannedSeat& seat : seats) {
        names.append(seat.name.isEmpty() ? seat.standIn : seat.name);
    }
    return QStringLiteral("Next heat, %1: %2").arg(heat.title(), names.join(QStringLiteral(", ")));
}

QString countdownText(int64_t remainingMs) {
    const int64_t seconds = (remainingMs + 999) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

std::vector<QDateTime> plannedStarts(const Meeting& meeting, const MeetingPlan& plan,
                                     const QDateTime& nextStart, int gapMinutes) {
    std::vector<QDateTime> starts;
    QDateTime next = nextStart;
    for (const PlannedHeat& heat : plan.heats) {
        const HeatRun* run = meeting.findRun(heat.runId);
        if (run) {
            starts.push_back(folderStart(run->raceFolder));
            continue;
        }
        starts.push_back(next);
        const MeetingClass* c = meeting.findClass(heat.key.className);
        if (next.isValid() && c) {
            next = next.addSecs(raceSeconds(meeting, *c) + int64_t{gapMinutes} * 60);
        }
    }
    return starts;
}

}  // namespace lapdeck
