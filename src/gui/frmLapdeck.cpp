#include "frmLapdeck.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "ApplyConfig.h"
#include "ClickLabel.h"
#include "ClockRandom.h"
#include "ConfigStore.h"
#include "FileChooser.h"
#include "FormScaler.h"
#include "HelpViewer.h"
#include "LapCallouts.h"
#include "MessageBoxPrompter.h"
#include "NamePicker.h"
#include "NameSelection.h"
#include "PictureBox.h"
#include "Pictures.h"
#include "PortMap.h"
#include "PortReconnect.h"
#include "ProgramFiles.h"
#include "RaceEngine.h"
#include "RaceRecorder.h"
#include "RaceRecovery.h"
#include "RaceState.h"
#include "RaceSummary.h"
#include "RaceTimer.h"
#include "ResultsWindows.h"
#include "ScreenTexts.h"
#include "SerialPortSource.h"
#include "SettingsSteps.h"
#include "ShellOpener.h"
#include "SoundChoices.h"
#include "SoundOutput.h"
#include "SoundPlayer.h"
#include "StartSequenceRunner.h"
#include "WidgetLook.h"
#include "frmRaceFormat.h"
#include "frmSound.h"
#include "frmVx9About.h"
#include "frmVx9AddRacer.h"
#include "frmVx9Browser.h"
#include "frmVx9Diag.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck {
namespace {

using captions::kCrLf;
using captions::kDisabled;
const QString kHand = QStringLiteral("handred.ico");
const QString kRacer = QStringLiteral("racer.ico");

}  // namespace

// What the engine asks of the window: sound, the timer, the start sequence, the
// stored names and lag mode.
class frmLapdeck::Host : public RaceHost {
public:
    explicit Host(frmLapdeck& window) : m_window(window) {}

    void playSound(const QString& file, int volume, int pan) override {
        m_window.m_sound->play(file, volume, pan);
    }
    void beep() override { QApplication::beep(); }
    void setTimerRunning(bool running) override { m_window.m_timer->setRunning(running); }
    void runStartSequence(bool withCountdown) override {
        m_window.m_startSequence->run(withCountdown);
    }
    PerFlag<QString> loadRacerNames() override {
        const LoadResult<PerFlag<QString>> names = m_window.m_config.loadRacerNames();
        if (!names.ok()) {
            m_window.showError(names.error->message());
        }
        return names.value;
    }
    QString readLagMode() override {
        const LoadResult<QString> lag = m_window.m_config.loadLagMode();
        if (!lag.ok()) {
            m_window.showError(lag.error->message());
        }
        return lag.value;
    }
    void closeNamePickers() override { m_window.CloseComboNames(); }
    void raceStarting() override {
        m_window.showRecordProblem(m_window.m_recorder->raceStarting(m_window.m_state, now()));
    }
    void reportRead(int32_t clock, const QString& text) override {
        m_window.showRecordProblem(m_window.m_recorder->reportRead(clock, text));
    }
    void raceClosed() override { m_window.raceClosed(); }
    void lapCounted(int flag, int lap, int32_t lapMs, bool newBest) override {
        m_window.m_callouts->lapCounted(flag, m_window.m_state.RacerName[flag], lap, lapMs,
                                        newBest);
    }

private:
    frmLapdeck& m_window;
};

// OK of the settings dialog, carried out on this window and the race state.
class frmLapdeck::Steps : public SettingsSteps {
public:
    explicit Steps(frmLapdeck& window) : m_window(window) {}

    void LoadNames() override { m_window.m_engine->LoadNames(); }
    std::optional<ConfigError> store(const Settings& settings,
                                     const PortDevices& devices) override {
        RaceState& state = m_window.m_state;
        if (auto error = m_window.m_config.storeSettings(settings, state.RacerName)) {
            return error;
        }
        // A paused race keeps the settings it started with; only the port changes.
        if (m_window.raceOn()) {
            m_window.m_settingsWaiting = true;
        } else {
            applySettings(m_window.m_config.settings(), state);
            state.SpeedMultiplier = speedMultiplierOf(m_window.m_config.settings());
        }
        m_window.m_portMap->setChosen(devices);
        return m_window.m_portMap->save();
    }
    void ReSet() override {
        if (!m_window.raceOn()) {
            m_window.m_engine->ReSet();
        }
    }
    void LoadRacerLists() override {
        if (!m_window.raceOn()) {
            m_window.m_names->LoadRacerLists();
        }
    }
    PortCheck OpenRacePort(int port) override {
        m_window.m_state.PortErrorInSettings = false;
        if (m_window.OpenRacePort(port)) {
            return PortCheck::Opened;
        }
        return m_window.m_state.PortErrorInSettings ? PortCheck::ChooseAnother
                                                    : PortCheck::NotOpened;
    }
    void ApplyFlagColors() override {
        if (!m_window.raceOn()) {
            m_window.ApplyFlagColors();
        }
    }
    bool demoMode() const override { return m_window.m_state.live.demo; }

private:
    frmLapdeck& m_window;
};

frmLapdeck::frmLapdeck(RaceState& state, ConfigStore& config, LapdeckServices services,
                       QWidget* parent)
    : QMainWindow(parent), m_state(state), m_config(config), m_services(std::move(services)) {
    setObjectName(QStringLiteral("frmLapdeck"));
    if (m_services.prompter == nullptr) {
        m_ownPrompter = std::make_unique<MessageBoxPrompter>(this);
    }
    m_prompter = m_services.prompter ? m_services.prompter : m_ownPrompter.get();
    if (m_services.random == nullptr) {
        m_ownRandom = std::make_unique<ClockRandom>();
    }
    m_random = m_services.random ? m_services.random : m_ownRandom.get();
    if (m_services.opener == nullptr) {
        m_ownOpener = std::make_unique<DesktopShellOpener>();
    }
    m_opener = m_services.opener ? m_services.opener : m_ownOpener.get();
    setUpSound();

    m_pictures = std::make_unique<Pictures>(m_config.folder());
    m_portMap = std::make_unique<PortMap>(m_config.folder(), m_services.scanPorts);
    m_port = new SerialPortSource(this);
    connect(m_port, &SerialPortSource::lost, this, &frmLapdeck::reportPortLost);
    m_reconnect = new PortReconnect(*m_port, this);
    connect(m_reconnect, &PortReconnect::reopened, this, &frmLapdeck::portBack);
    m_host = std::make_unique<Host>(*this);
    m_recorder = std::make_unique<RaceRecorder>(m_config);
    m_engine = std::make_unique<RaceEngine>(m_state, *m_host, *m_prompter, *m_random);
    m_steps = std::make_unique<Steps>(*this);
    if (m_services.startSequence == nullptr) {
        m_ownStartSequence = std::make_unique<ModalStartSequence>(
            *m_engine, *m_sound, *m_random, [this]() -> ReportSource* { return m_port; },
            [this]() { drawScreen(); }, this);
    }
    m_startSequence =
        m_services.startSequence ? m_services.startSequence : m_ownStartSequence.get();
    m_stats = std::make_unique<SummaryStats>();
    ResultsServices results = m_services.results;
    if (results.prompter == nullptr) {
        results.prompter = m_services.prompter;
    }
    m_results = std::make_unique<ResultsWindows>(m_state, *m_stats, m_config.folder(),
                                                 std::move(results), this);
    m_handCursor = m_pictures->pointer(kHand);
    m_racerCursor = m_pictures->pointer(kRacer);

    buildScreen();
    buildMenus();
    Form_Load();
}

frmLapdeck::~frmLapdeck() = default;

// ---------------------------------------------------------------- building

void frmLapdeck::buildScreen() {
    auto* form = new QWidget(this);
    setCentralWidget(form);
    m_scaler = setupRaceScreen(form);
    m_names = new NameSelection(
        *this, m_state, m_config, *m_prompter, m_racerCursor, [this]() { drawScreen(); },
        [this](const QString& error) { showError(error); }, this);

    for (int r = 1; r <= kFlags; ++r) {
        connect(lblBest[r], &ClickLabel::clicked, this, [this, r]() { lblBest_Click(r); });
        connect(lblBest[r], &ClickLabel::mouseMoved, this, [this, r]() { lblBest_MouseMove(r); });
    }
    connect(cmdStart, &QPushButton::clicked, this, &frmLapdeck::cmdStart_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &frmLapdeck::cmdAbort_Click);
    connect(lblBestLap, &ClickLabel::clicked, this, &frmLapdeck::lblBestLap_Click);
    connect(lblBestLap, &ClickLabel::mouseMoved, this, &frmLapdeck::lblBestLap_MouseMove);
    connect(lblLag, &ClickLabel::clicked, this, &frmLapdeck::lblLag_Click);
    connect(lblLag, &ClickLabel::mouseMoved, this, &frmLapdeck::lblLag_MouseMove);
    connect(lblRaceFormat, &ClickLabel::clicked, this, &frmLapdeck::lblRaceFormat_Click);
    connect(lblRaceFormat, &ClickLabel::mouseMoved, this, &frmLapdeck::lblRaceFormat_MouseMove);
    connect(imgLapvane, &ClickLabel::clicked, this, &frmLapdeck::imgLapvane_Click);

    lblPortDevice = new QLabel(this);
    lblPortDevice->setObjectName(QStringLiteral("lblPortDevice"));
    statusBar()->addWidget(lblPortDevice, 1);
    statusBar()->setSizeGripEnabled(false);
    resize(form->width(),
           form->height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    cmdStart->setFocus();
}

void frmLapdeck::buildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const QString& caption, auto slot) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuFile = menu("mnuFile", QStringLiteral("&File"));
    mnuOpen = item(mnuFile, "mnuOpen", QStringLiteral("&Open"), [this]() { mnuOpen_Click(); });
    mnuOpenRace = item(mnuFile, "mnuOpenRace", QStringLiteral("Open &Race..."),
                       [this]() { mnuOpenRace_Click(); });
    mnuExit = item(mnuFile, "mnuExit", QStringLiteral("E&xit"), [this]() { mnuExit_Click(); });
    mnuRaceFormat = menu("mnuRaceFormat", QStringLiteral("R&ace Format"));
    mnuRace = item(mnuRaceFormat, "mnuRace", QStringLiteral("Race Format"),
                   [this]() { mnuRace_Click(); });
    mnuViewData = menu("mnuViewData", QStringLiteral("&View Data"));
    mnuLapTimes = item(mnuViewData, "mnuLapTimes", QStringLiteral("Lap Times"),
                       [this]() { mnuLapTimes_Click(); });
    mnuSummary = item(mnuViewData, "mnuSummary", QStringLiteral("Summary"),
                      [this]() { mnuSummary_Click(); });
    mnuRacer = menu("mnuRacer", QStringLiteral("&Racers"));
    mnuAddRacer =
        item(mnuRacer, "mnuAddRacer", QStringLiteral("Racers"), [this]() { mnuAddRacer_Click(); });
    mnuSound = bar->addAction(QStringLiteral("S&ound"));
    mnuSound->setObjectName(QStringLiteral("mnuSound"));
    connect(mnuSound, &QAction::triggered, this, [this]() { mnuSound_Click(); });
    mnuRaceSetting = menu("mnuRaceSetting", QStringLiteral("&Settings"));
    mnuSettings = item(mnuRaceSetting, "mnuSettings", QStringLiteral("Settings"),
                       [this]() { mnuSettings_Click(); });
    mnuHelp = menu("mnuHelp", QStringLiteral("&Help"));
    mnuHelpContent = item(mnuHelp, "mnuHelpContent", QStringLiteral("Help"),
                          [this]() { mnuHelpContent_Click(); });
    mnuHelpContent->setShortcut(QKeySequence::HelpContents);
    mnuDiagnostic = item(mnuHelp, "mnuDiagnostic", QStringLiteral("Diagnostic..."),
                         [this]() { mnuDiagnostic_Click(); });
    mnuHelp->addSeparator();
    mnuWebSite = item(mnuHelp, "mnuWebSite", QStringLiteral("Lapvane Web site..."),
                      [this]() { mnuWebSite_Click(); });
    mnuAbout =
        item(mnuHelp, "mnuAbout", QStringLiteral("About..."), [this]() { mnuAbout_Click(); });
}

// ---------------------------------------------------------------- start-up

void frmLapdeck::Form_Load() {
    m_timer = new RaceTimer(this);
    connect(m_timer, &RaceTimer::tick, this, &frmLapdeck::Timer1_Timer);
    m_state.LapsUnsaved = false;
    m_state.SummaryUnsaved = false;
    m_loadMessages.emplace();
    loadConfiguration();
    LoadRacerLists();
    m_engine->ReSet();
    ApplyFlagColors();
    if (const auto error = m_portMap->load()) {
        showError(error->message());
    }
    m_loadMessages.reset();
    showPortStatus();
    drawScreen();
}

void frmLapdeck::loadConfiguration() {
    std::vector<ConfigError> errors;
    const ConfigBundle bundle = m_config.loadAll(errors);
    applyConfig(bundle, m_state);
    for (const ConfigError& error : errors) {
        // A file missing after start-up seeding could not be written, which was said.
        if (QFileInfo::exists(error.file)) {
            showError(error.message());
        }
    }
}

void frmLapdeck::openStartupPort() {
    OpenRacePort(m_state.CommPort);
}

void frmLapdeck::showError(const QString& text) {
    if (m_loadMessages) {
        if (m_loadMessages->contains(text)) {
            return;
        }
        m_loadMessages->append(text);
    }
    m_prompter->inform(QString(), text, Icon::None);
}

void frmLapdeck::setUpSound() {
    m_assets = m_services.assets.isEmpty()
                   ? AssetFolders::locate(QCoreApplication::applicationDirPath())
                   : AssetFolders{m_services.assets, false};
    if (m_services.sound == nullptr) {
        m_ownSound = makeRaceSound(
            [this](const QString& file) { return m_assets.soundFile(m_config.folder(), file); },
            [this](const QString& message) {
                // Later, from the event loop: a cue is played inside the race tick, and
                // a message box there would run the next ticks inside this one.
                QTimer::singleShot(0, this, [this, message]() { showError(message); });
            });
    }
    m_sound = m_services.sound ? m_services.sound : m_ownSound.get();
    SpeechEngine* speech = m_services.speech;
    if (speech == nullptr) {
        m_ownSpeech = makeSpeech(*m_sound, m_silentReason);
        speech = m_ownSpeech.get();
    }
    m_callouts = std::make_unique<LapCallouts>(speech);
    connect(this, &frmLapdeck::ticked, this, [this]() {
        if (m_state.RaceOver != 0) {
            m_callouts->raceOver();
        }
    });
    const LoadResult<SoundChoices> choices = loadSoundChoices(m_config.path(kSoundChoicesFile));
    if (!choices.ok()) {
        showError(choices.error->message());
    }
    m_callouts->setChoices(choices.value);
}

int frmLapdeck::showModal(QDialog& window) {
    return m_services.showModal ? m_services.showModal(window) : window.exec();
}

// ---------------------------------------------------------------- port

bool frmLapdeck::portIsOpen() const {
    return m_port->isOpen();
}

bool frmLapdeck::OpenRacePort(int port) {
    if (port < 1 || port > 16) {
        m_prompter->inform(QString(), QStringLiteral("Invalid Port Number"), Icon::None);
        return false;
    }
    m_reconnect->stop();
    m_portBack = false;
    m_port->close();
    m_state.CommPort = static_cast<int16_t>(port);
    const QString device = m_portMap->device(port);
    QString reason;
    if (m_port->open(device, &reason)) {
        m_openedDevice = m_portMap->describe(port);
        if (m_portMap->keepOpened(port)) {
            if (const auto error = m_portMap->save()) {
                showError(error->message());
            }
        }
        showPortStatus();
        return true;
    }
    showPortStatus();
    const QString text = QStringLiteral("Com Port ERROR!") + kCrLf + QStringLiteral("Port ") +
                         QString::number(port) + QStringLiteral(" (") + device +
                         QStringLiteral("): ") + reason + kCrLf +
                         QStringLiteral("To Select a Different PORT click \"Yes\"") + kCrLf +
                         (raceOn() ? QStringLiteral("To go on without the lap unit, click \"No\"")
                                   : QStringLiteral("To use Demo mode, click \"No\""));
    const Answer answer = m_prompter->ask(QStringLiteral("Com Port"), text, Icon::Error, false);
    if (answer == Answer::No) {
        // A race under way cannot switch to made-up laps.
        if (!raceOn()) {
            m_state.live.demo = true;
            m_engine->ShowRaceTitle();
            showPortStatus();
            drawScreen();
        }
    } else if (m_settingsOpen) {
        m_state.PortErrorInSettings = true;
    } else {
        openSettings(true);
    }
    return false;
}

QString frmLapdeck::portStatus() const {
    const QString number = QString::number(m_state.CommPort);
    if (m_state.live.demo) {
        return m_port->isOpen()
                   ? QStringLiteral("Demo mode: the laps are made up; port ") + number +
                         QStringLiteral(" (") + m_openedDevice +
                         QStringLiteral(") is open but not read")
                   : QStringLiteral("Demo mode: the laps are made up; no port is open");
    }
    if (m_port->isOpen()) {
        return QStringLiteral("Reading port ") + number + QStringLiteral(": ") + m_openedDevice +
               (m_portBack ? QStringLiteral(" (the lap unit is back; laps count again)")
                           : QString());
    }
    if (m_reconnect->waiting()) {
        return QStringLiteral("LAP UNIT LOST: port ") + number + QStringLiteral(" (") +
               m_openedDevice +
               QStringLiteral(
                   ") was disconnected; no laps come in until it is back. Lapdeck "
                   "reopens it by itself.");
    }
    return QStringLiteral("Port ") + number +
           QStringLiteral(" is not open: no laps can come in (choose the port in Settings)");
}

void frmLapdeck::showPortStatus() {
    lblPortDevice->setText(portStatus());
    // A lost unit must not go unnoticed in a corner of the window.
    lblPortDevice->setStyleSheet(
        m_reconnect->waiting() ? QStringLiteral("color: white; background: #c00000;") : QString());
}

void frmLapdeck::reportPortLost(const QString& reason) {
    m_portBack = false;
    m_reconnect->watchFor(m_portMap->device(m_state.CommPort));
    showPortStatus();
    const bool race = raceOn();
    const QString text =
        QStringLiteral("The lap unit on port ") + QString::number(m_state.CommPort) +
        QStringLiteral(" (") + m_openedDevice + QStringLiteral(") was disconnected: ") + reason +
        kCrLf + (race ? QStringLiteral("The race goes on and keeps its laps. ") : QString()) +
        QStringLiteral(
            "Lapdeck picks the unit up again by itself as soon as it is connected "
            "again; until then no laps come in.") +
        kCrLf +
        (race ? QStringLiteral("To use another port instead, pause the race and choose it in "
                               "Settings.")
              : QStringLiteral("To use another port instead, choose it in Settings."));
    // Deferred: the port's error signal is no place for a modal message box.
    QTimer::singleShot(0, this, [this, text]() {
        m_prompter->inform(QStringLiteral("Com Port"), text, Icon::Error);
    });
}

void frmLapdeck::portBack() {
    m_portBack = true;
    showPortStatus();
}

bool frmLapdeck::raceOn() const {
    return m_state.phase == RacePhase::Racing || m_state.phase == RacePhase::Paused;
}

void frmLapdeck::showRecordProblem(const std::optional<RecordProblem>& problem) {
    if (!problem) {
        return;
    }
    // Deferred: this may run inside a race tick; the race goes on behind the box.
    QTimer::singleShot(0, this, [this, p = *problem]() {
        m_prompter->inform(p.title, p.text, Icon::Exclamation);
    });
}

// ---------------------------------------------------------------- recovery

void frmLapdeck::offerRecovery() {
    auto recovered = std::make_unique<RaceState>();
    if (lapdeck::offerRecovery(m_recorder->archive(), *m_prompter, *recovered)) {
        showRecordedRace(*recovered);
    }
}

void frmLapdeck::mnuOpenRace_Click() {
    if (m_state.phase == RacePhase::Over) {
        const auto question =
            unsavedResultsQuestion(m_state, QStringLiteral("Do you want to open another race?"));
        if (question && m_prompter->ask(question->title, question->text, Icon::Exclamation,
                                        false) != Answer::Yes) {
            return;
        }
    }
    const QString journal =
        m_results->files().openFileName(this, m_recorder->archive().folder(),
                                        QStringLiteral("Race Journals (") + RaceArchive::kJournal +
                                            QStringLiteral(")|") + RaceArchive::kJournal);
    if (journal.isEmpty()) {
        return;
    }
    const QString folder = QFileInfo(journal).absolutePath();
    auto race = std::make_unique<RaceState>();
    if (const auto problem =
            loadRecordedRace(RaceRecord{folder, {}, RaceArchive::endOf(folder)}, *race)) {
        m_prompter->inform(QStringLiteral("Open Race"),
                           QStringLiteral("The race cannot be opened.") + kCrLf + *problem,
                           Icon::Exclamation);
        return;
    }
    // The race stays in the archive: leaving it again asks nothing.
    race->LapsUnsaved = race->SummaryUnsaved = false;
    // The results on screen were given up by the answer above.
    showRecordProblem(m_recorder->raceEnded());
    showRecordedRace(*race);
}

void frmLapdeck::showRecordedRace(RaceState& race) {
    race.SortByLapTime = m_state.SortByLapTime;
    if (!m_recordedShown) {
        m_demoBeforeRecorded = m_state.live.demo;
    }
    m_state = std::move(race);
    m_recordedShown = true;
    drawScreen();
    m_results->showLapTimes();
    // Unless the summary was seen from the lap table and saved.
    if (m_state.SummaryUnsaved) {
        m_results->showSummary();
    }
    resultsMaybeSaved();
}

void frmLapdeck::resultsMaybeSaved() {
    // Both files saved: the race needs no recovery, as after a reset.
    if (m_state.phase == RacePhase::Over && !m_state.LapsUnsaved && !m_state.SummaryUnsaved) {
        showRecordProblem(m_recorder->raceEnded());
    }
}

void frmLapdeck::raceClosed() {
    showRecordProblem(m_recorder->raceEnded());
    if (!m_recordedShown && !m_settingsWaiting) {
        return;
    }
    // Back to the data folder's settings after the race's own.
    const bool demo = m_recordedShown ? m_demoBeforeRecorded : m_state.live.demo;
    m_recordedShown = m_settingsWaiting = false;
    loadConfiguration();
    // Demo mode chosen at a port failure is in no file.
    m_state.live.demo = m_state.live.demo || demo;
    LoadRacerLists();
    m_engine->ReSet();
    ApplyFlagColors();
}

void frmLapdeck::mnuSettings_Click() {
    openSettings(false);
}

void frmLapdeck::openSettings(bool focusPortList) {
    // The dialog starts from the file, as it always was read on opening.
    if (const auto error = m_config.reloadSettings()) {
        showError(error->message());
    }
    frmVx9SettingsNew dialog(m_config.settings(), *m_portMap, *m_steps, *m_prompter, this);
    if (focusPortList) {
        dialog.focusPortList();
    }
    const bool waitingBefore = m_settingsWaiting;
    m_settingsOpen = true;
    showModal(dialog);
    m_settingsOpen = false;
    if (m_settingsWaiting && !waitingBefore) {
        m_prompter->inform(QStringLiteral("Settings"),
                           QStringLiteral("The race goes on with the port chosen. The other "
                                          "settings take effect when this race is reset."),
                           Icon::Information);
    }
    drawScreen();
}

// ---------------------------------------------------------------- ticks and drawing

void frmLapdeck::Timer1_Timer(int32_t milliseconds) {
    m_engine->Timer1_Timer(milliseconds, *m_port);
    drawScreen();
    emit ticked();
}

void frmLapdeck::drawScreen() {
    const RaceScreen& sc = m_state.screen;
    for (int r = 1; r <= kFlags; ++r) {
        const ScreenRow& row = sc.row[static_cast<size_t>(r)];
        setTextIfChanged(lblName[r], row.name);
        setTextIfChanged(lblLapNum[r], row.lapNum);
        setTextIfChanged(lblLapTime[r], row.lapTime);
        setTextIfChanged(lblBest[r], row.best);
        setTextIfChanged(lblLagTime[r], row.lagTime);
        if (m_shownColour[static_cast<size_t>(r)] != row.colour ||
            !lblName[r]->autoFillBackground()) {
            m_shownColour[static_cast<size_t>(r)] = row.colour;
            const QColor back = colourOf(row.colour);
            const QColor text = textColourOn(back);
            for (QLabel* label : {static_cast<QLabel*>(lblName[r]), lblLapNum[r], lblLapTime[r],
                                  static_cast<QLabel*>(lblBest[r]), lblLagTime[r]}) {
                setColours(label, back, text);
            }
        }
    }
    setTextIfChanged(lblBestLap, sc.bestHeader);
    setTextIfChanged(lblLag, sc.lagHeader);
    setTextIfChanged(lblClock, sc.clock);
    setTextIfChanged(lblRaceFormat, sc.raceFormat);
    if (windowTitle() != sc.windowCaption) {
        setWindowTitle(sc.windowCaption);
    }
    if (m_shownPicture != sc.picture) {
        m_shownPicture = sc.picture;
        const QPixmap picture = m_pictures->picture(sc.picture);
        if (!picture.isNull()) {
            imgLapvane->setPicture(picture);
        }
    }
    if (lblRaceOver->isVisibleTo(this) != sc.raceOverVisible) {
        lblRaceOver->setVisible(sc.raceOverVisible);
    }
    const QString caption = startCaption(m_state.phase);
    if (cmdStart->text() != caption) {
        cmdStart->setText(caption);
    }
    cmdStart->setEnabled(sc.startEnabled);
    cmdAbort->setEnabled(sc.abortEnabled);
    mnuFile->menuAction()->setEnabled(sc.menuFile);
    mnuRaceFormat->menuAction()->setEnabled(sc.menuRaceFormat);
    mnuViewData->menuAction()->setEnabled(sc.menuViewData);
    mnuRacer->menuAction()->setEnabled(sc.menuRacers);
    mnuSound->setEnabled(sc.menuSound);
    mnuRaceSetting->menuAction()->setEnabled(sc.menuSettings);
    mnuHelp->menuAction()->setEnabled(sc.menuHelp);
}

// ---------------------------------------------------------------- race control

void frmLapdeck::cmdStart_Click() {
    CloseComboNames();
    m_engine->cmdStart_Click();
    drawScreen();
}

void frmLapdeck::cmdAbort_Click() {
    m_engine->cmdAbort_Click();
    drawScreen();
}

void frmLapdeck::lblBestLap_Click() {
    m_engine->lblBestLap_Click();
    drawScreen();
}

void frmLapdeck::lblLag_Click() {
    m_engine->lblLag_Click();
    drawScreen();
}

void frmLapdeck::lblBest_Click(int row) {
    m_engine->lblBest_Click(row);
    drawScreen();
}

void frmLapdeck::lblRaceFormat_Click() {
    if (!m_state.timerRunning && m_state.phase == RacePhase::Idle) {
        mnuRace->trigger();
    }
}

void frmLapdeck::imgLapvane_Click() {
    if (m_state.phase == RacePhase::Idle) {
        mnuAbout->trigger();
    }
}

void frmLapdeck::keyPressEvent(QKeyEvent* event) {
    int code = 0;
    const int key = event->key();
    if (key == Qt::Key_F4) {
        code = 115;
    } else if (key == Qt::Key_F5) {
        code = 116;
    } else if (key >= Qt::Key_1 && key <= Qt::Key_6) {
        const int digit = key - Qt::Key_0;
        code = (event->modifiers() & Qt::KeypadModifier) ? 96 + digit : 48 + digit;
    }
    if (code == 0) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    m_engine->Form_KeyDown(code);
    drawScreen();
    event->accept();
}

// ---------------------------------------------------------------- names

void frmLapdeck::LoadRacerLists() {
    m_names->LoadRacerLists();
}

void frmLapdeck::ApplyFlagColors() {
    for (int i = 1; i <= kFlags; ++i) {
        m_state.screen.row[static_cast<size_t>(i)].colour = m_state.live.swatchColour[i];
    }
    drawScreen();
}

void frmLapdeck::lblName_Click(int index) {
    m_names->lblName_Click(index);
}

void frmLapdeck::Select_Name_Click(int index) {
    m_names->Select_Name_Click(index);
}

void frmLapdeck::Select_Name_LostFocus(int index) {
    m_names->Select_Name_LostFocus(index);
}

void frmLapdeck::CloseComboNames() {
    if (m_names != nullptr) {
        m_names->CloseComboNames();
    }
}

// ---------------------------------------------------------------- pointers

void frmLapdeck::setPointer(QWidget* widget, const QString& icon) {
    widget->setCursor(icon == kHand ? m_handCursor : m_racerCursor);
}

void frmLapdeck::setArrow(QWidget* widget) {
    widget->setCursor(Qt::ArrowCursor);
}

void frmLapdeck::lblName_MouseMove(int index) {
    m_names->lblName_MouseMove(index);
}

void frmLapdeck::lblBest_MouseMove(int row) {
    ClickLabel* cell = lblBest[row];
    if (!m_state.timerRunning) {
        setArrow(cell);
        cell->setToolTip(QString());
        return;
    }
    if (m_state.screen.bestHeader == captions::kBestLap &&
        m_state.screen.row[static_cast<size_t>(row)].name != kDisabled) {
        setPointer(cell, kHand);
        cell->setToolTip(QStringLiteral("Click to reset \"Best Lap\""));
    } else {
        setArrow(cell);
    }
}

void frmLapdeck::lblBestLap_MouseMove() {
    setPointer(lblBestLap, kHand);
}

void frmLapdeck::lblLag_MouseMove() {
    if (m_state.IsPractice) {
        setArrow(lblLag);
        lblLag->setToolTip(QString());
    } else {
        setPointer(lblLag, kHand);
        lblLag->setToolTip(
            QStringLiteral("Click to toggle between \"Lag Behind\", \"Lag First\" & \"Median\""));
    }
}

void frmLapdeck::lblRaceFormat_MouseMove() {
    if (!m_state.timerRunning && m_state.phase == RacePhase::Idle) {
        setPointer(lblRaceFormat, kHand);
        lblRaceFormat->setToolTip(
            QStringLiteral("Click here or go to \"Race Format\" menu to change race type"));
    } else {
        setArrow(lblRaceFormat);
        lblRaceFormat->setToolTip(QString());
    }
}

// ---------------------------------------------------------------- windows of the menus

void frmLapdeck::mnuOpen_Click() {
    m_results->openFile();
}

void frmLapdeck::mnuRace_Click() {
    if (const auto error = m_config.reloadRaceFormat()) {
        showError(error->message());
    }
    frmRaceFormat dialog(
        m_config.raceFormat(),
        [this](const RaceFormat& format) {
            auto error = m_config.storeRaceFormat(format);
            if (!error) {
                applyRaceFormat(m_config.raceFormat(), m_state);
            }
            return error;
        },
        *m_prompter, this);
    if (showModal(dialog) == QDialog::Accepted) {
        m_engine->ShowRaceTitle();
        showPortStatus();
        drawScreen();
    }
}

void frmLapdeck::mnuLapTimes_Click() {
    m_results->showLapTimes();
    resultsMaybeSaved();
}

void frmLapdeck::mnuSummary_Click() {
    m_results->showSummary();
    resultsMaybeSaved();
}

void frmLapdeck::mnuAddRacer_Click() {
    frmVx9AddRacer dialog(
        m_config.path(FileNames::roster), *m_prompter, [this]() { m_names->LoadRacerLists(); },
        this);
    // Names added or deleted are on disk already: the lists take them however the
    // dialog is closed.
    if (showModal(dialog) != QDialog::Accepted) {
        m_names->LoadRacerLists();
    }
}

void frmLapdeck::mnuSound_Click() {
    frmSound dialog(m_callouts->choices(), m_silentReason, this);
    if (showModal(dialog) != QDialog::Accepted) {
        return;
    }
    m_callouts->setChoices(dialog.choices());
    if (const auto error = saveSoundChoices(m_config.path(kSoundChoicesFile), dialog.choices())) {
        showError(error->message());
    }
}

void frmLapdeck::mnuHelpContent_Click() {
    // F1 follows the Help menu: shut while a race runs.
    if (!mnuHelp->menuAction()->isEnabled()) {
        return;
    }
    if (!m_help) {
        m_help = new HelpViewer(m_assets.help(), *m_opener, this);
    }
    if (!m_help->hasPages()) {
        m_prompter->inform(QStringLiteral("Help"),
                           QStringLiteral("The help pages cannot be found: ") +
                               HelpViewer::contentsPage(m_assets.help()),
                           Icon::Exclamation);
        return;
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void frmLapdeck::mnuDiagnostic_Click() {
    // A lost unit is read again from the moment it is back.
    const bool open = m_port->isOpen() || m_reconnect->waiting();
    const QString noPort =
        QStringLiteral("No port is open, so no hits can be counted.\n\n") +
        (m_state.live.demo
             ? QStringLiteral("Demo mode is on and port ") + QString::number(m_state.CommPort) +
                   QStringLiteral(" was not opened. ")
             : QStringLiteral("Port ") + QString::number(m_state.CommPort) +
                   QStringLiteral(" could not be opened or was lost. ")) +
        QStringLiteral(
            "Choose the port of the Lapvane unit in Settings, then open Diagnostic "
            "again.");
    frmVx9Diag dialog(
        open ? m_port : nullptr, noPort, m_state.live.swatchColour, [this]() { m_host->beep(); },
        this);
    showModal(dialog);
}

void frmLapdeck::mnuWebSite_Click() {
    const QDir pages(m_assets.help());
    frmVx9Browser browser(QUrl::fromLocalFile(pages.filePath(QStringLiteral("lapdeck.html"))),
                          QUrl::fromLocalFile(HelpViewer::contentsPage(m_assets.help())), *m_opener,
                          this);
    showModal(browser);
}

void frmLapdeck::mnuAbout_Click() {
    frmVx9About about(m_pictures->picture(QStringLiteral("LVLogo.gif")), this);
    showModal(about);
}

// ---------------------------------------------------------------- exit

void frmLapdeck::mnuExit_Click() {
    if (!m_state.IsPractice) {
        const auto question =
            unsavedResultsQuestion(m_state, QStringLiteral("Do you want to exit?"));
        if (question && m_prompter->ask(question->title, question->text, Icon::Exclamation,
                                        false) != Answer::Yes) {
            return;
        }
    }
    // Leaving by the menu is a choice about the results, as Reset is; only a crash
    // or the close box leaves a race to recover.
    if (const auto problem = m_recorder->raceEnded()) {
        m_prompter->inform(problem->title, problem->text, Icon::Exclamation);
    }
    m_reconnect->stop();
    m_port->close();
    close();
}

void frmLapdeck::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmLapdeck::Form_Unload() {
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    // Leaving mid-race: no tick may run into a window that is going away.
    m_timer->setRunning(false);
    m_reconnect->stop();
    m_port->close();
    QString lag = m_state.screen.lagHeader;
    if (lag.isEmpty()) {
        lag = captions::kLagFirst;
    }
    m_state.LagMode = lag;
    if (const auto error = m_config.saveLagMode(lag)) {
        showError(error->message());
    }
}

}  // namespace lapdeck
