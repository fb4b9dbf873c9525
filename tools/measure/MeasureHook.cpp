#include "MeasureHook.h"

#include <cstdio>

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include "RaceEngine.h"
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

MeasureHook::MeasureHook(frmLapdeck& window, RaceState& state, int seconds)
    : m_window(window), m_state(state), m_seconds(seconds) {}

void MeasureHook::windowShown() {
    std::printf("shown_at_epoch=%.6f\n", QDateTime::currentMSecsSinceEpoch() / 1000.0);
    std::fflush(stdout);
}

void MeasureHook::startRace() {
    // A long lap race in demo mode with a name on every flag, straight to the lights.
    m_state.live.demo = true;
    m_state.live.optPractice = false;
    m_state.live.optLapRace = true;
    m_state.live.optTimedRace = false;
    m_state.IsPractice = false;
    m_state.IsLapRace = true;
    m_state.IsTimedRace = false;
    m_state.RaceLaps = 500;
    m_state.live.delayText = QStringLiteral("0");
    for (int f = 1; f <= kFlags; ++f) {
        m_state.live.disabled[f] = false;
        m_state.RacerName[f] = QStringLiteral("Car ") + QString::number(f);
        m_state.screen.row[static_cast<size_t>(f)].name = QLatin1Char(' ') + m_state.RacerName[f];
    }
    m_window.engine().ShowRaceTitle();
    QObject::connect(&m_window, &frmLapdeck::ticked, &m_window, [this]() { onTick(); });
    m_window.cmdStart_Click();
}

void MeasureHook::onTick() {
    if (!m_racing) {
        m_racing = true;
        m_wall.start();
        m_cpuAtGreen = cpuSeconds();
        // Both clocks are compared from this first tick on.
        m_clockAtGreen = m_state.RaceClock;
        return;
    }
    const double wallMs = m_wall.nsecsElapsed() / 1e6;
    if (wallMs < m_seconds * 1000.0) {
        return;
    }
    const double cpu = cpuSeconds() - m_cpuAtGreen;
    std::printf("race_seconds=%.3f\n", wallMs / 1000.0);
    std::printf("cpu_percent=%.2f\n", 100.0 * cpu / (wallMs / 1000.0));
    std::printf("rss_kib=%ld\n", residentKiB());
    std::printf("wall_ms=%.3f\n", wallMs);
    std::printf("race_clock_ms=%d\n", m_state.RaceClock - m_clockAtGreen);
    std::printf("laps_counted=%d\n", [this]() {
        int laps = 0;
        for (int f = 1; f <= kFlags; ++f) {
            laps += m_state.LapCount[f];
        }
        return laps;
    }());
    std::fflush(stdout);
    m_state.LapsUnsaved = false;
    m_state.SummaryUnsaved = false;
    QCoreApplication::quit();
}

}  // namespace lapdeck
