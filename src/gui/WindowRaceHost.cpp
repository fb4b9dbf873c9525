#include "WindowRaceHost.h"

#include <QApplication>

#include "ConfigStore.h"
#include "LapCallouts.h"
#include "RacePort.h"
#include "RaceRecords.h"
#include "RaceTimer.h"
#include "SerialPortSource.h"
#include "SoundPlayer.h"
#include "StartSequenceRunner.h"

namespace lapdeck {

WindowRaceHost::WindowRaceHost(Parts parts, Window window)
    : m_parts(parts), m_window(std::move(window)) {}

void WindowRaceHost::playSound(const QString& file, int volume, int pan) {
    m_parts.sound.play(file, volume, pan);
}

void WindowRaceHost::beep() {
    QApplication::beep();
}

void WindowRaceHost::setTimerRunning(bool running) {
    m_parts.timer.setRunning(running);
}

void WindowRaceHost::runStartSequence(bool withCountdown) {
    m_parts.startSequence.run(*m_engine, &m_parts.port.source(), withCountdown, m_window.redraw);
}

PerFlag<QString> WindowRaceHost::loadRacerNames() {
    const LoadResult<PerFlag<QString>> names = m_parts.config.loadRacerNames();
    const QString told = names.ok() ? QString() : names.error->message();
    if (!told.isEmpty() && told != m_namesTold) {
        m_window.reportError(told);
    }
    m_namesTold = told;
    return names.value;
}

LagColumn WindowRaceHost::readLagMode() {
    const LoadResult<LagColumn> lag = m_parts.config.loadLagMode();
    if (!lag.ok()) {
        m_window.reportError(lag.error->message());
    }
    return lag.value;
}

void WindowRaceHost::raceStarting() {
    m_parts.port.clearRaceNotes();
    m_parts.records.raceStarting(now());
}

void WindowRaceHost::reportRead(int32_t clock, const QString& text) {
    if (!m_parts.state.Demo) {
        m_parts.port.reportHeard();
    }
    m_parts.records.reportRead(clock, text);
}

void WindowRaceHost::reportsDropped(int32_t clock, const QStringList& texts) {
    m_parts.records.reportsDropped(clock, texts);
    m_parts.port.reportsDropped(static_cast<int>(texts.size()));
}

void WindowRaceHost::lapCounted(int flag, int lap, int32_t lapMs, bool newBest) {
    m_parts.callouts.lapCounted(flag, m_parts.state.RacerName[flag], lap, lapMs, newBest);
}

}  // namespace lapdeck
