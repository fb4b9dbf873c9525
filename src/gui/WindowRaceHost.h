#pragma once

#include <functional>

#include "RaceHost.h"

namespace lapdeck {

class ConfigStore;
class LapCallouts;
class RaceEngine;
class RacePort;
class RaceRecords;
class RaceTimer;
class SoundPlayer;
class StartSequenceRunner;

// The engine's world in the program: the race cues, the race timer, the start
// lights, the names and lag column of the data folder, the race record and the
// lap-time callouts.
class WindowRaceHost : public RaceHost {
public:
    struct Parts {
        RaceState& state;
        const ConfigStore& config;
        SoundPlayer& sound;
        RaceTimer& timer;
        StartSequenceRunner& startSequence;
        RacePort& port;
        RaceRecords& records;
        LapCallouts& callouts;
    };
    // What the host asks of the window itself.
    struct Window {
        std::function<void(const QString&)> reportError;
        std::function<void()> closeNamePickers;
        std::function<void()> redraw;
        std::function<void()> raceClosed;
    };

    WindowRaceHost(Parts parts, Window window);
    // The engine the start lights drive (it is made with this host).
    void setEngine(RaceEngine& engine) { m_engine = &engine; }

    void playSound(const QString& file, int volume, int pan) override;
    void beep() override;
    void setTimerRunning(bool running) override;
    void runStartSequence(bool withCountdown) override;
    PerFlag<QString> loadRacerNames() override;
    LagColumn readLagMode() override;
    void closeNamePickers() override { m_window.closeNamePickers(); }
    void raceStarting() override;
    void reportRead(int32_t clock, const QString& text) override;
    void reportsDropped(int32_t clock, const QStringList& texts) override;
    void raceClosed() override { m_window.raceClosed(); }
    void lapCounted(int flag, int lap, int32_t lapMs, bool newBest) override;

private:
    Parts m_parts;
    Window m_window;
    RaceEngine* m_engine = nullptr;
    // Every reset reads Racers.dat again; the same fault is told once.
    QString m_namesTold;
};

}  // namespace lapdeck
