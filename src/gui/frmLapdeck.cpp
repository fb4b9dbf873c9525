#include "frmLapdeck.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "ApplyConfig.h"
#include "ClickLabel.h"
#include "ClockRandom.h"
#include "ConfigStore.h"
#include "FormScaler.h"
#include "HelpViewer.h"
#include "LapCallouts.h"
#include "MessageBoxPrompter.h"
#include "NameAssignment.h"
#include "NamePicker.h"
#include "PictureBox.h"
#include "Pictures.h"
#include "PortChoiceDialog.h"
#include "PortMap.h"
#include "RaceEngine.h"
#include "RaceState.h"
#include "RaceTimer.h"
#include "ScreenTexts.h"
#include "SerialPortSource.h"
#include "ShellOpener.h"
#include "SoundChoices.h"
#include "SoundOutput.h"
#include "SoundPlayer.h"
#include "StartSequenceRunner.h"
#include "WidgetLook.h"
#include "frmSound.h"
#include "frmVx9About.h"
#include "frmVx9Browser.h"

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
    void lapCounted(int flag, int lap, int32_t lapMs, bool newBest) override {
        m_window.m_callouts->lapCounted(flag, m_window.m_state.RacerName[flag], lap, lapMs,
                                        newBest);
    }

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
    m_portMap = std::make_unique<PortMap>(m_config.folder());
    m_port = new SerialPortSource(this);
    connect(m_port, &SerialPortSource::lost, this, &frmLapdeck::reportPortLost);
    m_host = std::make_unique<Host>(*this);
    m_engine = std::make_unique<RaceEngine>(m_state, *m_host, *m_prompter, *m_random);
    if (m_services.startSequence == nullptr) {
        m_ownStartSequence = std::make_unique<ModalStartSequence>(
            *m_engine, *m_sound, *m_random, [this]() -> ReportSource* { return m_port; },
            [this]() { drawScreen(); }, this);
    }
    m_startSequence =
        m_services.startSequence ? m_services.startSequence : m_ownStartSequence.get();
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

    for (int r = 1; r <= kFlags; ++r) {
        connect(lblName[r], &ClickLabel::clicked, this, [this, r]() { lblName_Click(r); });
        connect(lblName[r], &ClickLabel::mouseMoved, this, [this, r]() { lblName_MouseMove(r); });
        connect(lblBest[r], &ClickLabel::clicked, this, [this, r]() { lblBest_Click(r); });
        connect(lblBest[r], &ClickLabel::mouseMoved, this, [this, r]() { lblBest_MouseMove(r); });
        connect(Select_Name[r], &QComboBox::activated, this, [this, r]() { Select_Name_Click(r); });
        connect(Select_Name[r], &NamePicker::focusLost, this,
                [this, r]() { Select_Name_LostFocus(r); });
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

    resize(form->width(), form->height() + menuBar()->sizeHint().height());
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
    loadConfiguration();
    LoadRacerLists();
    m_engine->ReSet();
    ApplyFlagColors();
    if (const auto error = m_portMap->load()) {
        showError(error->message());
    }
    drawScreen();
}

void frmLapdeck::loadConfiguration() {
    std::vector<ConfigError> errors;
    const ConfigBundle bundle = m_config.loadAll(errors);
    applyConfig(bundle, m_state);
    for (const ConfigError& error : errors) {
        showError(error.message());
    }
}

void frmLapdeck::openStartupPort() {
    OpenRacePort(m_state.CommPort);
}

void frmLapdeck::showError(const QString& text) {
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
        m_ownSpeech = makeSpeech(m_silentReason);
        speech = m_ownSpeech.get();
    }
    m_callouts = std::make_unique<LapCallouts>(speech);
    const LoadResult<SoundChoices> choices = loadSoundChoices(m_config.path(kSoundChoicesFile));
    if (!choices.ok()) {
        showError(choices.error->message());
    }
    m_callouts->setChoices(choices.value);
}

int frmLapdeck::showModal(QDialog& window) {
    return m_services.showModal ? m_services.showModal(window) : window.exec();
}

void frmLapdeck::notAvailable(const QString& window) {
    m_prompter->inform(window, window + QStringLiteral(" is not available yet."),
                       Icon::Information);
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
    m_port->close();
    m_state.CommPort = static_cast<int16_t>(port);
    QString reason;
    if (m_port->open(m_portMap->device(port), &reason)) {
        return true;
    }
    const QString text = QStringLiteral("Com Port ERROR!") + kCrLf +
                         QStringLiteral("To Select a Different PORT click \"Yes\"") + kCrLf +
                         QStringLiteral("To use Demo mode, click \"No\"");
    if (m_prompter->ask(QStringLiteral("Com Port"), text, Icon::Error, false) == Answer::No) {
        m_state.live.demo = true;
        m_engine->ShowRaceTitle();
        drawScreen();
    } else if (m_settingsOpen) {
        m_state.PortErrorInSettings = true;
    } else {
        mnuSettings_Click();
    }
    return false;
}

void frmLapdeck::reportPortLost(const QString& reason) {
    // Deferred: the port's error signal is no place for a modal message box.
    QTimer::singleShot(0, this, [this, reason]() {
        m_prompter->inform(QStringLiteral("Com Port"),
                           QStringLiteral("Com Port ERROR!") + kCrLf + reason + kCrLf +
                               QStringLiteral("The port has been closed; choose it again in "
                                              "Settings."),
                           Icon::Error);
    });
}

bool frmLapdeck::choosePortInteractively(int& port, PortDevices& chosen) {
    if (m_services.choosePort) {
        return m_services.choosePort(port, chosen);
    }
    PortChoiceDialog dialog(port, PortMap::detectedDevices(), chosen, this);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    port = dialog.chosenPort();
    chosen = dialog.chosenDevices();
    return true;
}

// The port part of the settings: pick a number (and devices), store it, reset the
// window and open the port; a port that fails keeps the choice open.
void frmLapdeck::mnuSettings_Click() {
    int port = m_state.CommPort;
    PortDevices chosen = m_portMap->chosen();
    for (;;) {
        if (!choosePortInteractively(port, chosen)) {
            return;
        }
        m_state.PortErrorInSettings = false;
        m_portMap->setChosen(chosen);
        if (const auto error = m_portMap->save()) {
            showError(error->message());
            return;
        }
        Settings settings = m_config.settings();
        settings.portPos = static_cast<int16_t>(port - 1);
        if (const auto error = m_config.storeSettings(settings, m_state.RacerName)) {
            showError(error->message());
            return;
        }
        applySettings(m_config.settings(), m_state);
        m_engine->ReSet();
        LoadRacerLists();
        m_settingsOpen = true;
        OpenRacePort(port);
        m_settingsOpen = false;
        if (!m_state.PortErrorInSettings) {
            ApplyFlagColors();
            return;
        }
    }
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
    LoadResult<QStringList> roster = m_config.loadRoster();
    if (!roster.ok()) {
        showError(roster.error->message());
    }
    for (int i = 1; i <= kFlags; ++i) {
        NamePicker* picker = Select_Name[i];
        picker->clear();
        for (const QString& name : roster.value) {
            picker->addSorted(name);
        }
        m_state.FlagColor[i] = m_state.live.swatchColour[i];
        picker->addSorted(QStringLiteral("Empty"));
    }
}

void frmLapdeck::ApplyFlagColors() {
    for (int i = 1; i <= kFlags; ++i) {
        m_state.screen.row[static_cast<size_t>(i)].colour = m_state.live.swatchColour[i];
    }
    drawScreen();
}

void frmLapdeck::lblName_Click(int index) {
    for (int k = 1; k <= kFlags; ++k) {
        if (k != index) {
            Select_Name[k]->hide();
        }
    }
    if (m_state.timerRunning || m_state.phase != RacePhase::Idle) {
        return;
    }
    if (m_state.isDisabled(index)) {
        m_prompter->inform(QStringLiteral("Lane Disabled"),
                           QStringLiteral("This lane is disabled.") + kCrLf +
                               QStringLiteral("Go to Settings to enable it."),
                           Icon::Exclamation);
        return;
    }
    NamePicker* picker = Select_Name[index];
    picker->setCurrentIndex(
        pickerStartIndex(picker->entries(), m_state.screen.row[static_cast<size_t>(index)].name));
    picker->setGeometry(lblName[index]->geometry());
    picker->show();
    picker->raise();
    picker->setFocus(Qt::MouseFocusReason);
    if (isVisible()) {
        picker->showPopup();
    }
}

void frmLapdeck::Select_Name_Click(int index) {
    NamePicker* picker = Select_Name[index];
    if (!picker->isVisibleTo(this) || picker->currentIndex() < 0) {
        return;
    }
    const QString picked = picker->currentText();
    PerFlag<QString> captions;
    for (int k = 1; k <= kFlags; ++k) {
        captions[k] = m_state.screen.row[static_cast<size_t>(k)].name;
    }
    for (size_t n = rowsAlreadyNamed(captions, index, picked).size(); n > 0; --n) {
        m_prompter->inform(QStringLiteral("Racer's Name"),
                           QStringLiteral("Warning, name already exists."), Icon::Exclamation);
    }
    captions[index] = QLatin1Char(' ') + picked;
    m_state.screen.row[static_cast<size_t>(index)].name = captions[index];
    picker->hide();
    m_state.RacerName = namesToStore(captions, m_state.RacerName);
    if (const auto error = m_config.saveRacerNames(m_state.RacerName)) {
        showError(error->message());
    }
    drawScreen();
}

void frmLapdeck::Select_Name_LostFocus(int index) {
    Select_Name[index]->hide();
    lblName[index]->show();
}

void frmLapdeck::CloseComboNames() {
    for (int k = 1; k <= kFlags; ++k) {
        if (Select_Name[k] != nullptr) {
            Select_Name[k]->hide();
        }
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
    if (m_state.timerRunning || m_state.phase != RacePhase::Idle) {
        return;
    }
    lblName[index]->setToolTip(QString());
    if (m_state.isDisabled(index)) {
        setArrow(lblName[index]);
        lblName[index]->setToolTip(QStringLiteral("To enable, go to \"Settings\" menu"));
    } else {
        setPointer(lblName[index], kRacer);
        lblName[index]->setToolTip(QStringLiteral("Click to select name"));
    }
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
    notAvailable(QStringLiteral("Open"));
}

void frmLapdeck::mnuRace_Click() {
    notAvailable(QStringLiteral("Race Format"));
}

void frmLapdeck::mnuLapTimes_Click() {
    notAvailable(QStringLiteral("Lap Times"));
}

void frmLapdeck::mnuSummary_Click() {
    notAvailable(QStringLiteral("Summary"));
}

void frmLapdeck::mnuAddRacer_Click() {
    notAvailable(QStringLiteral("Racers"));
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
    notAvailable(QStringLiteral("Diagnostic"));
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
