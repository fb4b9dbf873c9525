#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QCursor>
#include <QMainWindow>
#include <QStringList>

#include "LapdeckServices.h"
#include "MainMenus.h"
#include "RaceScreenControls.h"

class QLabel;

namespace lapdeck {

class ConfigStore;
class LapCallouts;
class MarshalDesk;
class MenuDialogs;
class NameSelection;
class Pictures;
class PortReconnect;
class RaceEngine;
class RacePort;
class RaceRecorder;
class RaceRecords;
class RaceSetup;
class RaceTimer;
class ResultsWindows;
class SerialPortSource;
class WindowRaceHost;
struct RaceState;
struct SummaryStats;

// The main window: the race screen and the menus. It draws the race state after
// every engine call and every tick and hands clicks and keys to the engine; its
// parts do the rest: the port (RacePort), the race record (RaceRecords), what the
// race runs with (RaceSetup), the windows of the menus (MenuDialogs) and the
// engine's world (WindowRaceHost).
class frmLapdeck : public QMainWindow, public RaceScreenControls, public MainMenus {
    Q_OBJECT

public:
    // Loading the window loads the configuration into `state`, fills the name
    // pickers and resets the screen; the port is opened by openStartupPort().
    // Every service must be given (ProgramServices fills in the program's own).
    frmLapdeck(RaceState& state, ConfigStore& config, const LapdeckServices& services,
               QWidget* parent = nullptr);
    ~frmLapdeck() override;

    // Opens the settings' port once the window is up; a failure asks what to do.
    void openStartupPort();
    // Offers to recover a race Lapdeck did not see to its end.
    void offerRecovery();
    // Checks the number and (re)opens the port on it; false on failure, after the
    // "Com Port" question has been answered.
    bool OpenRacePort(int port);
    bool portIsOpen() const;

    PortMap& portMap();
    SerialPortSource& port();
    PortReconnect& reconnect();
    RaceEngine& engine() { return *m_engine; }
    RaceTimer& raceTimer() { return *m_timer; }
    ResultsWindows& results() { return *m_results; }
    RaceRecorder& recorder();
    MarshalDesk& desk() { return *m_desk; }

    // One race tick of `milliseconds` (the timer's slot).
    void Timer1_Timer(int32_t milliseconds);
    // Redraws everything from the race state.
    void drawScreen();

    // Race control and the screen's clicks.
    void cmdStart_Click();
    void cmdAbort_Click();
    void lblBestLap_Click();
    void lblLag_Click();
    void lblBest_Click(int row);
    void lblRaceFormat_Click();
    void imgLapvane_Click();
    void mnuExit_Click();
    // The name pickers over the name cells.
    NameSelection& names() { return *m_names; }

    QLabel* lblPortDevice = nullptr;

signals:
    // After each tick has been handled and drawn (the measuring hook listens).
    void ticked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildScreen();
    void Form_Load();
    void Form_Unload();
    void raceClosed();
    bool leaveAsked();
    void showError(const QString& text);

    RaceState& m_state;
    ConfigStore& m_config;
    LapdeckServices m_services;
    std::unique_ptr<Pictures> m_pictures;
    QCursor m_handCursor;
    QCursor m_racerCursor;
    // Declared after the speech it uses, so it goes first.
    std::unique_ptr<LapCallouts> m_callouts;
    RaceTimer* m_timer = nullptr;
    RacePort* m_port = nullptr;
    std::unique_ptr<SummaryStats> m_stats;
    std::unique_ptr<ResultsWindows> m_results;
    RaceRecords* m_records = nullptr;
    std::unique_ptr<RaceSetup> m_setup;
    std::unique_ptr<WindowRaceHost> m_host;
    std::unique_ptr<RaceEngine> m_engine;
    NameSelection* m_names = nullptr;
    std::unique_ptr<MenuDialogs> m_dialogs;
    MarshalDesk* m_desk = nullptr;
    bool m_unloaded = false;
    bool m_leaving = false;  // leaving was asked and answered
    // Messages shown while the window loads: one broken file is reported once, not
    // by every reader of it.
    std::optional<QStringList> m_loadMessages;
};

}  // namespace lapdeck
