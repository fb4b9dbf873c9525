#include "MeasureHook.h"

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTimer>

#include "RaceArchive.h"
#include "RaceEngine.h"
#include "RaceRecorder.h"
#include "RaceState.h"
#include "StartSequenceRunner.h"
#include "frmLapdeck.h"

namespace lapdeck {
namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    // Files under /proc report no size: read them whole, not line by line.
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

}  // namespace

MeasureHook::MeasureHook(frmLapdeck& window, RaceState& state, int seconds, bool sound)
    : m_window(window), m_state(state), m_seconds(seconds), m_sound(sound) {
    m_tickClock.start();
}

bool MeasureHook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Timer) {
        const auto* timer = qobject_cast<QTimer*>(watched);
        if (timer != nullptr && timer->interval() == 10 && timer->timerType() == Qt::PreciseTimer) {
            m_firedNs = m_tickClock.nsecsElapsed();
        }
    }
    return false;
}

void MeasureHook::printTickTiming() {
    auto percentile = [](std::vector<double> values, double p) {
        if (values.empty()) {
            return 0.0;
        }
        std::sort(values.begin(), values.end());
        return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
    };
    std::printf("ticks=%zu\n", m_gapsMs.size());
    std::printf("tick_gap_p99_ms=%.3f\n", percentile(m_gapsMs, 0.99));
    std::printf("tick_gap_max_ms=%.3f\n", percentile(m_gapsMs, 1.0));
    std::printf("tick_work_p99_ms=%.3f\n", percentile(m_workMs, 0.99));
    std::printf("tick_work_max_ms=%.3f\n", percentile(m_workMs, 1.0));
    QFile journal(QDir(m_window.recorder().raceFolder()).filePath(RaceArchive::kJournal));
    std::printf("journal_bytes=%lld\n", static_cast<long long>(journal.size()));
}

void MeasureHook::windowShown() {
    std::printf("shown_at_epoch=%.6f\n", QDateTime::currentMSecsSinceEpoch() / 1000.0);
    std::fflush(stdout);
}

void MeasureHook::startRace() {
    QObject::connect(&m_window, &frmLapdeck::ticked, &m_window, [this]() { onTick(); });
    QCoreApplication::instance()->installEventFilter(this);
    if (m_sound) {
        m_racesLeft = 2;
        start(Kind::Laps, 5);
    } else {
        start(Kind::Laps, 500);
    }
}

// A demo race with a name on every flag, straight to the lights. The first name is
// far too long to be called out whole.
void MeasureHook::start(Kind kind, int length) {
    m_state.Demo = true;
    m_state.IsPractice = false;
    m_state.IsLapRace = kind == Kind::Laps;
    m_state.IsTimedRace = kind == Kind::Timed;
    if (kind == Kind::Laps) {
        m_state.RaceLaps = static_cast<int16_t>(length);
    } else {
        m_state.RaceMinutes = length;
    }
    m_state.StartDelay = 0;
    for (int f = 1; f <= kFlags; ++f) {
        m_state.Disabled[f] = false;
        m_state.RacerName[f] = QStringLiteral("Car ") + QString::number(f);
        if (m_sound && f == 1) {
            m_state.RacerName[f] =
                QStringLiteral("Bartholomew Fitzgerald Montgomery-Smythe ").repeated(5).trimmed();
        }
    }
    m_window.engine().ShowRaceTitle();
    std::printf("start_epoch=%.3f\n", QDateTime::currentMSecsSinceEpoch() / 1000.0);
    m_window.cmdStart_Click();
}

void MeasureHook::onTick() {
    const int64_t nowNs = m_tickClock.nsecsElapsed();
    if (m_racing) {
        m_gapsMs.push_back(static_cast<double>(nowNs - m_lastTickNs) / 1e6);
        if (m_firedNs >= 0) {
            m_workMs.push_back(static_cast<double>(nowNs - m_firedNs) / 1e6);
        }
    }
    m_lastTickNs = nowNs;
    m_firedNs = -1;
    if (!m_racing) {
        m_racing = true;
        m_wall.start();
        m_cpuAtGreen = cpuSeconds();
        // Both clocks are compared from this first tick on.
        m_clockAtGreen = m_state.RaceClock;
        return;
    }
    if (m_sound ? m_state.RaceOver != 0 : m_wall.nsecsElapsed() >= m_seconds * 1'000'000'000LL) {
        raceEnded();
    }
}

void MeasureHook::raceEnded() {
    m_racing = false;
    m_wallMs += m_wall.nsecsElapsed() / 1e6;
    m_cpuSeconds += cpuSeconds() - m_cpuAtGreen;
    m_raceClockMs += m_state.RaceClock - m_clockAtGreen;
    for (int f = 1; f <= kFlags; ++f) {
        m_laps += m_state.LapCount[f];
    }
    m_state.LapsUnsaved = false;
    m_state.SummaryUnsaved = false;
    if (!m_sound) {
        printFigures();
        QCoreApplication::quit();
        return;
    }
    std::printf("race_over_epoch=%.3f\n", QDateTime::currentMSecsSinceEpoch() / 1000.0);
    std::fflush(stdout);
    // Long enough for whatever is still said after "Race Over" to be recorded.
    constexpr int kAfterMs = 6000;
    if (--m_racesLeft == 0) {
        QTimer::singleShot(kAfterMs, &m_window, [this]() {
            printFigures();
            QCoreApplication::quit();
        });
        return;
    }
    QTimer::singleShot(kAfterMs, &m_window, [this]() {
        m_window.cmdStart_Click();  // the reset
        start(Kind::Timed, std::max(1, (m_seconds + 30) / 60));
    });
}

void MeasureHook::printFigures() {
    std::printf("race_seconds=%.3f\n", m_wallMs / 1000.0);
    std::printf("cpu_percent=%.2f\n", 100.0 * m_cpuSeconds / (m_wallMs / 1000.0));
    std::printf("rss_kib=%ld\n", residentKiB());
    std::printf("wall_ms=%.3f\n", m_wallMs);
    std::printf("race_clock_ms=%lld\n", static_cast<long long>(m_raceClockMs));
    std::printf("laps_counted=%d\n", m_laps);
    printTickTiming();
    std::fflush(stdout);
}

}  // namespace lapdeck
