#include "frmLapdeck.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "ClickLabel.h"
#include "ConfigStore.h"
#include "LapCallouts.h"
#include "MarshalDesk.h"
#include "MenuDialogs.h"
#include "NameSelection.h"
#include "PictureBox.h"
#include "Pictures.h"
#include "RaceEngine.h"
#include "RaceKeys.h"
#include "RacePort.h"
#include "RaceRecorder.h"
#include "RaceRecords.h"
#include "RaceSetup.h"
#include "RaceSummary.h"
#include "RaceTimer.h"
#include "ResultsWindows.h"
#include "SerialPortSource.h"
#include "WindowRaceHost.h"

namespace lapdeck {

frmLapdeck::frmLapdeck(RaceState& state, ConfigStore& config, const LapdeckServices& services,
                       QWidget* parent)
    : QMainWindow(parent),
      m_state(state),
      m_config(config),
      m_services(services),
      m_pictures(std::make_unique<Pictures>(config.folder())),
      m_handCursor(m_pictures->pointer(QStringLiteral("handred.ico"))),
      m_racerCursor(m_pictures->pointer(QStringLiteral("racer.ico"))),
      m_callouts(std::make_unique<LapCallouts>(services.speech)),
      m_timer(new RaceTimer(services.clock, this)),
      m_stats(std::make_unique<SummaryStats>()),
      m_results(std::make_unique<ResultsWindows>(state, *m_stats, config.folder(), services.results,
                                                 this)) {
    setObjectName(QStringLiteral("frmLapdeck"));
    auto report = [this](const QString& text) { showError(text); };
    Prompter& prompter = *services.prompter;
    buildScreen();
    m_port = new RacePort(state, config.folder(), services.scanPorts, prompter, report, this);
    m_records = new RaceRecords(state, config, prompter, *m_results, services.results,
                                services.showModal, this);
    m_setup = std::make_unique<RaceSetup>(state, config, report);
    m_host = std::make_unique<WindowRaceHost>(
        WindowRaceHost::Parts{state, config, *services.sound, *m_timer, *services.startSequence,
                              *m_port, *m_records, *m_callouts},
        WindowRaceHost::Window{report, [this]() { m_names->CloseComboNames(); },
                               [this]() { drawScreen(); }, [this]() { raceClosed(); }});
    m_engine = std::make_unique<RaceEngine>(state, *m_host, prompter, *services.random);
    m_host->setEngine(*m_engine);
    m_desk = new MarshalDesk(
        state, *m_engine, [this]() { return m_records->raceOnScreen(); }, this);
    m_results->setDesk(m_desk);
    connect(m_desk, &MarshalDesk::changed, this, &frmLapdeck::drawScreen);
    connect(m_desk, &MarshalDesk::refused, this, [this](const QString& why) { showError(why); });
    m_dialogs = std::make_unique<MenuDialogs>(
        MenuDialogs::Parts{state, config, *m_setup, *m_port, *m_engine, *m_names, *m_callouts,
                           *m_results, *m_records, *m_pictures},
        m_services, this, [this]() { drawScreen(); }, report);
    buildMenus(menuBar());
    m_dialogs->connectTo(*this, this);
    connect(mnuExit, &QAction::triggered, this, &frmLapdeck::mnuExit_Click);
    connect(m_timer, &RaceTimer::tick, this, &frmLapdeck::Timer1_Timer);
    connect(m_records, &RaceRecords::raceShown, this, &frmLapdeck::drawScreen);
    m_port->takeRaceNotices();
    Form_Load();
}

frmLapdeck::~frmLapdeck() {
    m_services.prompter->takeNotices({});
}

void frmLapdeck::buildScreen() {
    auto* form = new QWidget(this);
    setCentralWidget(form);
    setupRaceScreen(form);
    m_names = new NameSelection(
        *this, m_state, m_config, *m_services.prompter, m_racerCursor, [this]() { drawScreen(); },
        [this](const QString& error) { showError(error); }, this);
    for (int r = 1; r <= kFlags; ++r) {
        connect(lblBest[r], &ClickLabel::clicked, this, [this, r]() { lblBest_Click(r); });
        connect(lblBest[r], &ClickLabel::mouseMoved, this,
                [this, r]() { pointAtBest(r, m_state, m_handCursor); });
    }
    connect(cmdStart, &QPushButton::clicked, this, &frmLapdeck::cmdStart_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &frmLapdeck::cmdAbort_Click);
    connect(lblBestLap, &ClickLabel::clicked, this, &frmLapdeck::lblBestLap_Click);
    connect(lblBestLap, &ClickLabel::mouseMoved, this,
            [this]() { lblBestLap->setCursor(m_handCursor); });
    connect(lblLag, &ClickLabel::clicked, this, &frmLapdeck::lblLag_Click);
    connect(lblLag, &ClickLabel::mouseMoved, this, [this]() { pointAtLag(m_state, m_handCursor); });
    connect(lblRaceFormat, &ClickLabel::clicked, this, &frmLapdeck::lblRaceFormat_Click);
    connect(lblRaceFormat, &ClickLabel::mouseMoved, this,
            [this]() { pointAtRaceFormat(m_state, m_handCursor); });
    connect(imgLapvane, &ClickLabel::clicked, this, &frmLapdeck::imgLapvane_Click);

    lblPortDevice = new QLabel(this);
    lblPortDevice->setObjectName(QStringLiteral("lblPortDevice"));
    statusBar()->addWidget(lblPortDevice, 1);
    statusBar()->setSizeGripEnabled(false);
    resize(form->width(),
           form->height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    cmdStart->setFocus();
}

void frmLapdeck::Form_Load() {
    m_state.LapsUnsaved = false;
    m_state.SummaryUnsaved = false;
    m_loadMessages.emplace();
    m_callouts->setChoices(m_setup->loadSoundChoices());
    m_setup->loadAll();
    m_names->LoadRacerLists();
    m_engine->ReSet();
    m_port->loadChoices();
    m_loadMessages.reset();
    m_port->showStatusIn(lblPortDevice);
    drawScreen();
}

void frmLapdeck::showError(const QString& text) {
    if (m_loadMessages) {
        if (m_loadMessages->contains(text)) {
            return;
        }
        m_loadMessages->append(text);
    }
    m_services.prompter->inform(QString(), text, Icon::None);
}

// ---------------------------------------------------------------- port and record

void frmLapdeck::openStartupPort() {
    OpenRacePort(m_state.CommPort);
}

bool frmLapdeck::OpenRacePort(int port) {
    return m_dialogs->openPort(port);
}

bool frmLapdeck::portIsOpen() const {
    return m_port->isOpen();
}

PortMap& frmLapdeck::portMap() {
    return m_port->map();
}

SerialPortSource& frmLapdeck::port() {
    return m_port->source();
}

PortReconnect& frmLapdeck::reconnect() {
    return m_port->reconnect();
}

void frmLapdeck::offerRecovery() {
    m_records->offerRecovery();
}

RaceRecorder& frmLapdeck::recorder() {
    return m_records->recorder();
}

// A reset or an abort: a race shown with settings of its own (recorded, or with
// settings held back) gives way to the data folder's.
void frmLapdeck::raceClosed() {
    m_records->raceEnded();
    m_port->clearRaceNotes();
    const bool recorded = m_records->recordedShown();
    if (m_setup->restoreAfterRace(recorded, recorded ? m_records->demoBefore() : m_state.Demo)) {
        m_records->recordedClosed();
        m_names->LoadRacerLists();
        m_engine->ReSet();
    }
}

// ---------------------------------------------------------------- ticks and drawing

void frmLapdeck::Timer1_Timer(int32_t milliseconds) {
    m_engine->Timer1_Timer(milliseconds, m_port->source());
    m_port->raceTicked(m_state.RaceClock, recorder().noise().noisy(m_state.RaceClock));
    if (m_state.RaceOver != 0) {
        m_callouts->raceOver();
    }
    drawScreen();
    emit ticked();
}

void frmLapdeck::drawScreen() {
    drawRace(m_state, *m_pictures);
    if (windowTitle() != m_state.screen.windowCaption) {
        setWindowTitle(m_state.screen.windowCaption);
    }
    followPhase(m_state.phase);
}

// ---------------------------------------------------------------- race control

void frmLapdeck::cmdStart_Click() {
    m_names->CloseComboNames();
    m_engine->cmdStart_Click(&m_port->source());
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
    // Shift and Ctrl with a digit are the marshal's; the digit alone is the engine's.
    if (m_desk->handleKey(*event)) {
        event->accept();
        return;
    }
    const int code = engineKeyCode(*event);
    if (code == 0) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    m_engine->Form_KeyDown(code);
    drawScreen();
    event->accept();
}

// ---------------------------------------------------------------- exit

void frmLapdeck::mnuExit_Click() {
    if (leaveAsked()) {
        close();
    }
}

bool frmLapdeck::leaveAsked() {
    const bool leave = m_records->leaveAsked();
    m_leaving = m_leaving || leave;
    return leave;
}

// The close box of a race running or paused asks as Exit does; after a race is
// over it asks nothing, and a crash or a kill leaves the race to recover.
void frmLapdeck::closeEvent(QCloseEvent* event) {
    const bool raceOn = m_state.phase == RacePhase::Racing || m_state.phase == RacePhase::Paused;
    if (!m_leaving && raceOn && !leaveAsked()) {
        event->ignore();
        return;
    }
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
    m_setup->keepLagColumn();
}

}  // namespace lapdeck
