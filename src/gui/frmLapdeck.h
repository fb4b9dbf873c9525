#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include <QCursor>
#include <QMainWindow>
#include <QPointer>

#include "AssetFolders.h"
#include "PortMap.h"
#include "RaceHost.h"
#include "RaceScreenControls.h"
#include "ResultsServices.h"

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;

namespace lapdeck {

class ClickLabel;
class ConfigStore;
class FormScaler;
class HelpViewer;
class LapCallouts;
class MessageBoxPrompter;
class NamePicker;
class NameSelection;
class PictureBox;
class Pictures;
class PortMap;
class PortReconnect;
class RaceEngine;
class RaceRecorder;
struct RecordProblem;
class RaceTimer;
class ResultsWindows;
class SerialPortSource;
class ShellOpener;
class SoundPlayer;
class SpeechEngine;
class StartSequenceRunner;
struct RaceState;
struct SummaryStats;

// What the main window uses from outside; anything left empty gets the program's
// own (message boxes, a clock-seeded generator, the race sound or silence, espeak-ng
// or silence, the modal start windows, the serial devices the system reports, the
// desktop's browser, modal windows).
struct LapdeckServices {
    Prompter* prompter = nullptr;
    RandomSource* random = nullptr;
    SoundPlayer* sound = nullptr;
    SpeechEngine* speech = nullptr;
    StartSequenceRunner* startSequence = nullptr;
    PortScanner scanPorts;
    // The lap table and summary windows' dialogs, printer and desktop.
    ResultsServices results;
    ShellOpener* opener = nullptr;
    // Shows a window of the menus modally and returns its result; tests look at the
    // window instead.
    std::function<int(QDialog& window)> showModal;
    // The folder of Lapdeck's own sounds and help pages; empty: found beside the
    // program or where it is installed.
    QString assets;
};

// The main window: the race screen, the menus, the port and the race timer. It
// draws the race state's screen model after every engine call and every tick and
// forwards clicks and keys to the engine; the rules live in the engine.
class frmLapdeck : public QMainWindow, public RaceScreenControls {
    Q_OBJECT

public:
    // Loading the window loads the configuration into `state`, fills the name
    // pickers and resets the screen; the port is opened by openStartupPort().
    frmLapdeck(RaceState& state, ConfigStore& config, LapdeckServices services = {},
               QWidget* parent = nullptr);
    ~frmLapdeck() override;

    // Opens the settings' port once the window is up; a failure asks what to do.
    void openStartupPort();
    // Offers to recover a race Lapdeck did not see to its end; a recovered race is
    // shown as over, to be saved.
    void offerRecovery();
    RaceRecorder& recorder() { return *m_recorder; }
    // Checks the number and (re)opens the port on it; false on failure, after the
    // "Com Port" question has been answered. A number that opens a device keeps it.
    bool OpenRacePort(int port);
    bool portIsOpen() const;
    // Which device the race reads, as the status line shows it.
    QString portStatus() const;
    PortMap& portMap() { return *m_portMap; }
    SerialPortSource& port() { return *m_port; }
    RaceEngine& engine() { return *m_engine; }
    RaceTimer& raceTimer() { return *m_timer; }
    ResultsWindows& results() { return *m_results; }

    // One race tick of `milliseconds` (the timer's slot).
    void Timer1_Timer(int32_t milliseconds);
    // Redraws everything from the race state's screen model.
    void drawScreen();

    // Race control and the screen's clicks.
    void cmdStart_Click();
    void cmdAbort_Click();
    void lblBestLap_Click();
    void lblLag_Click();
    void lblBest_Click(int row);
    void lblRaceFormat_Click();
    void imgLapvane_Click();
    void lblName_Click(int index);
    void Select_Name_Click(int index);
    void Select_Name_LostFocus(int index);
    void CloseComboNames();
    void LoadRacerLists();
    void ApplyFlagColors();
    void mnuExit_Click();
    void mnuSettings_Click();
    void mnuRace_Click();
    void mnuAddRacer_Click();
    void mnuDiagnostic_Click();

    // Hover pointers and tooltips.
    void lblName_MouseMove(int index);
    void lblBest_MouseMove(int row);
    void lblBestLap_MouseMove();
    void lblLag_MouseMove();
    void lblRaceFormat_MouseMove();

    // Menus (a top-level menu is enabled through its menuAction()).
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuOpenRace = nullptr;  // a race of the archive, by its journal
    QAction* mnuExit = nullptr;
    QMenu* mnuRaceFormat = nullptr;
    QAction* mnuRace = nullptr;
    QMenu* mnuViewData = nullptr;
    QAction* mnuLapTimes = nullptr;
    QAction* mnuSummary = nullptr;
    QMenu* mnuRacer = nullptr;
    QAction* mnuAddRacer = nullptr;
    QAction* mnuSound = nullptr;
    QMenu* mnuRaceSetting = nullptr;
    QAction* mnuSettings = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContent = nullptr;
    QAction* mnuDiagnostic = nullptr;
    QAction* mnuWebSite = nullptr;
    QAction* mnuAbout = nullptr;
    QLabel* lblPortDevice = nullptr;

    // The picture file name the picture box shows.
    const QString& shownPicture() const { return m_shownPicture; }

signals:
    // After each tick has been handled and drawn (the measuring hook listens).
    void ticked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Host;
    class Steps;

    void buildScreen();
    void buildMenus();
    void Form_Load();
    void Form_Unload();
    void loadConfiguration();
    void openSettings(bool focusPortList);
    void showPortStatus();
    void mnuOpen_Click();
    void mnuLapTimes_Click();
    void mnuSummary_Click();
    void mnuSound_Click();
    void mnuHelpContent_Click();
    void mnuWebSite_Click();
    void mnuAbout_Click();
    int showModal(QDialog& window);
    void setUpSound();
    void reportPortLost(const QString& reason);
    void showRecordProblem(const std::optional<RecordProblem>& problem);
    void mnuOpenRace_Click();
    // Shows a race re-scored from its journal as over, with its lap table and
    // summary windows; the data folder's settings come back at its reset.
    void showRecordedRace(RaceState& race);
    void resultsMaybeSaved();
    void raceClosed();
    void portBack();
    bool raceOn() const;
    void setPointer(QWidget* widget, const QString& icon);
    void setArrow(QWidget* widget);
    void showError(const QString& text);

    RaceState& m_state;
    ConfigStore& m_config;
    LapdeckServices m_services;
    std::unique_ptr<MessageBoxPrompter> m_ownPrompter;
    std::unique_ptr<RandomSource> m_ownRandom;
    std::unique_ptr<SoundPlayer> m_ownSound;
    std::unique_ptr<StartSequenceRunner> m_ownStartSequence;
    std::unique_ptr<SpeechEngine> m_ownSpeech;
    std::unique_ptr<ShellOpener> m_ownOpener;
    Prompter* m_prompter = nullptr;
    RandomSource* m_random = nullptr;
    SoundPlayer* m_sound = nullptr;
    StartSequenceRunner* m_startSequence = nullptr;
    ShellOpener* m_opener = nullptr;
    AssetFolders m_assets;
    // Declared after the speech it uses, so it goes first.
    std::unique_ptr<LapCallouts> m_callouts;
    QString m_silentReason;
    QPointer<HelpViewer> m_help;
    std::unique_ptr<Pictures> m_pictures;
    std::unique_ptr<PortMap> m_portMap;
    SerialPortSource* m_port = nullptr;
    RaceTimer* m_timer = nullptr;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<RaceEngine> m_engine;
    std::unique_ptr<SummaryStats> m_stats;
    std::unique_ptr<ResultsWindows> m_results;
    std::unique_ptr<RaceRecorder> m_recorder;
    // The race on screen was re-scored from its journal, with its own settings.
    bool m_recordedShown = false;
    bool m_demoBeforeRecorded = false;
    // Settings changed in a paused race: in force once it is reset.
    bool m_settingsWaiting = false;
    PortReconnect* m_reconnect = nullptr;
    bool m_portBack = false;  // reopened by itself, not chosen
    std::unique_ptr<Steps> m_steps;
    NameSelection* m_names = nullptr;
    QString m_openedDevice;  // described, as it was when the port opened
    FormScaler* m_scaler = nullptr;
    QString m_shownPicture;
    std::array<int32_t, 7> m_shownColour{};
    bool m_unloaded = false;
    bool m_settingsOpen = false;
    // Messages shown while the window loads: one broken file is reported once, not
    // by every reader of it.
    std::optional<QStringList> m_loadMessages;
    QCursor m_handCursor;
    QCursor m_racerCursor;
};

}  // namespace lapdeck
