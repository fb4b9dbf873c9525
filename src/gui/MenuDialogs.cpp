#include "MenuDialogs.h"

#include <chrono>

#include <QAction>
#include <QApplication>
#include <QDir>

#include "BusyCursor.h"
#include "ConfigStore.h"
#include "HelpViewer.h"
#include "LapCallouts.h"
#include "LiveResultsDialog.h"
#include "LiveSettings.h"
#include "MeetingWindow.h"
#include "NameSelection.h"
#include "Pictures.h"
#include "ProgramFiles.h"
#include "RaceEngine.h"
#include "RacePort.h"
#include "RaceRecords.h"
#include "RaceSetup.h"
#include "ResultsWindows.h"
#include "SerialPortSource.h"
#include "SoundChoices.h"
#include "frmRaceFormat.h"
#include "frmSound.h"
#include "frmVx9About.h"
#include "frmVx9AddRacer.h"
#include "frmVx9Browser.h"
#include "frmVx9Diag.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck {

MenuDialogs::MenuDialogs(Parts parts, const LapdeckServices& services, QWidget* window,
                         std::function<void()> redraw,
                         std::function<void(const QString&)> reportError)
    : m_parts(parts),
      m_services(services),
      m_window(window),
      m_redraw(std::move(redraw)),
      m_reportError(std::move(reportError)) {}

void MenuDialogs::connectTo(const MainMenus& menus, QObject* context) {
    const std::pair<QAction*, void (MenuDialogs::*)()> items[] = {
        {menus.mnuOpen, &MenuDialogs::openFile},
        {menus.mnuOpenRace, &MenuDialogs::openRace},
        {menus.mnuRace, &MenuDialogs::raceFormat},
        {menus.mnuLapTimes, &MenuDialogs::lapTimes},
        {menus.mnuSummary, &MenuDialogs::summary},
        {menus.mnuAddRacer, &MenuDialogs::racers},
        {menus.mnuSound, &MenuDialogs::sound},
        {menus.mnuSettings, &MenuDialogs::openSettings},
        {menus.mnuHelpContent, &MenuDialogs::help},
        {menus.mnuDiagnostic, &MenuDialogs::diagnostic},
        {menus.mnuWebSite, &MenuDialogs::webSite},
        {menus.mnuAbout, &MenuDialogs::about},
        {menus.mnuLiveResults, &MenuDialogs::liveResults}};
    menus.mnuLiveResults->setVisible(m_services.live != nullptr);
    QObject::connect(menus.mnuMeeting, &QAction::triggered, context, [this]() { meeting(); });
    for (const auto& [action, open] : items) {
        QObject::connect(action, &QAction::triggered, context,
                         [this, open = open]() { (this->*open)(); });
    }
}

bool MenuDialogs::openPort(int number) {
    const PortAnswer answer = m_parts.port.open(number);
    if (answer == PortAnswer::DemoChosen) {
        m_parts.engine.ShowRaceTitle();
        m_redraw();
    } else if (answer == PortAnswer::AnotherWanted) {
        settings(true);
    }
    return answer == PortAnswer::Opened;
}

void MenuDialogs::openRace() {
    m_parts.records.openRace();
}

void MenuDialogs::meeting() {
    if (!m_meeting) {
        auto ns = m_services.clock;
        m_meeting = new MeetingWindow(
            MeetingWindow::Parts{m_parts.state, m_parts.config, m_parts.setup, m_parts.engine,
                                 m_parts.port, m_parts.records, m_parts.results,
                                 *m_services.prompter, m_services.speech},
            [ns]() {
                return ns ? ns() / 1000000
                          : std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count();
            },
            m_redraw, m_window, m_window);
        m_meeting->showOnLivePage(m_services.live);
    }
    m_meeting->show();
    m_meeting->raise();
    m_meeting->activateWindow();
}

void MenuDialogs::openSettings() {
    settings(false);
}

int MenuDialogs::showModal(QDialog& window) {
    return m_services.showModal ? m_services.showModal(window) : window.exec();
}

bool MenuDialogs::raceOn() const {
    return m_parts.state.phase == RacePhase::Racing || m_parts.state.phase == RacePhase::Paused;
}

void MenuDialogs::openFile() {
    m_parts.results.openFile();
}

void MenuDialogs::lapTimes() {
    m_parts.results.showLapTimes();
    m_parts.records.resultsMaybeSaved();
}

void MenuDialogs::summary() {
    m_parts.results.showSummary();
    m_parts.records.resultsMaybeSaved();
}

void MenuDialogs::raceFormat() {
    if (const auto error = m_parts.config.reloadRaceFormat()) {
        m_reportError(error->message());
    }
    frmRaceFormat dialog(
        m_parts.config.raceFormat(),
        [this](const RaceFormat& format) { return m_parts.setup.storeRaceFormat(format); },
        *m_services.prompter, m_window);
    if (showModal(dialog) == QDialog::Accepted) {
        m_parts.engine.ShowRaceTitle();
        m_parts.port.showStatus();
        m_redraw();
    }
}

void MenuDialogs::racers() {
    frmVx9AddRacer dialog(m_parts.config.path(FileNames::roster), *m_services.prompter, m_window);
    showModal(dialog);
    // Names added or deleted are on disk already: the lists take them however the
    // dialog was closed.
    const BusyCursor busy;
    m_parts.names.showRoster(dialog.roster());
}

void MenuDialogs::sound() {
    frmSound dialog(m_parts.callouts.choices(), m_services.silentReason, m_window);
    if (showModal(dialog) != QDialog::Accepted) {
        return;
    }
    m_parts.callouts.setChoices(dialog.choices());
    if (const auto error =
            saveSoundChoices(m_parts.config.path(kSoundChoicesFile), dialog.choices())) {
        m_reportError(error->message());
    }
}

void MenuDialogs::settings(bool focusPortList) {
    // The dialog starts from the file, as it always was read on opening.
    if (const auto error = m_parts.config.reloadSettings()) {
        m_reportError(error->message());
    }
    frmVx9SettingsNew dialog(
        SettingsChoice{m_parts.config.settings(), m_parts.port.map().chosen()}, m_parts.port.map(),
        *m_services.prompter,
        [this](const SettingsChoice& choice) { return applySettings(choice); }, m_window);
    if (focusPortList) {
        dialog.focusPortList();
    }
    const bool heldBefore = m_parts.setup.heldBack();
    showModal(dialog);
    if (m_parts.setup.heldBack() && !heldBefore) {
        m_services.prompter->inform(
            QStringLiteral("Settings"),
            QStringLiteral("The race goes on with the port chosen. The other settings take "
                           "effect when this race is reset."),
            Icon::Information);
    }
    m_redraw();
}

// A race on keeps its settings (the setup holds them back) and its screen; only the
// port changes at once.
SettingsOutcome MenuDialogs::applySettings(const SettingsChoice& choice) {
    Prompter& prompter = *m_services.prompter;
    if (const auto error = m_parts.setup.storeSettings(choice.settings)) {
        prompter.inform(QString(), error->message(), Icon::Error);
        return SettingsOutcome::NotApplied;
    }
    m_parts.port.map().setChosen(choice.devices);
    if (const auto error = m_parts.port.map().save()) {
        prompter.inform(QString(), error->message(), Icon::Error);
        return SettingsOutcome::NotApplied;
    }
    if (!raceOn()) {
        m_parts.engine.ReSet();
        m_parts.names.LoadRacerLists();
    }
    const int port = choice.settings.portText().toInt();
    switch (m_parts.port.open(port)) {
        case PortAnswer::AnotherWanted:
            return SettingsOutcome::ChoosePort;
        case PortAnswer::DemoChosen:
            m_parts.engine.ShowRaceTitle();
            break;
        case PortAnswer::Opened:
            if (m_parts.state.Demo) {
                prompter.inform(
                    QStringLiteral("Demo Mode"),
                    QStringLiteral("Port ") + QString::number(port) +
                        QStringLiteral(
                            " is open, but demo mode is on: races make up their laps and "
                            "the Lapvane unit is not read.\r\nTo read it, clear \"Demo "
                            "Mode\" in Race Format (the \"Race Format\" menu, or a click "
                            "on the race title)."),
                    Icon::Information);
            }
            break;
        case PortAnswer::Refused:
        case PortAnswer::GoesOnWithout:
            break;
    }
    m_redraw();
    return SettingsOutcome::Applied;
}

void MenuDialogs::help() {
    const QString folder = m_services.assets.help();
    if (!m_help) {
        m_help = new HelpViewer(folder, *m_services.opener, m_window);
    }
    if (!m_help->hasPages()) {
        m_services.prompter->inform(
            QStringLiteral("Help"),
            QStringLiteral("The help pages cannot be found: ") + HelpViewer::contentsPage(folder),
            Icon::Exclamation);
        return;
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MenuDialogs::diagnostic() {
    const RaceState& s = m_parts.state;
    // A lost unit is read again from the moment it is back.
    const bool open = m_parts.port.isOpen() || m_parts.port.lost();
    const QString noPort =
        QStringLiteral("No port is open, so no hits can be counted.\n\n") +
        (s.Demo ? QStringLiteral("Demo mode is on and port ") + QString::number(s.CommPort) +
                      QStringLiteral(" was not opened. ")
                : QStringLiteral("Port ") + QString::number(s.CommPort) +
                      QStringLiteral(" could not be opened or was lost. ")) +
        QStringLiteral(
            "Choose the port of the Lapvane unit in Settings, then open Diagnostic "
            "again.");
    frmVx9Diag dialog(
        open ? &m_parts.port.source() : nullptr, noPort, s.FlagColor,
        []() { QApplication::beep(); }, m_window, s.CommPort);
    showModal(dialog);
}

void MenuDialogs::webSite() {
    const QString folder = m_services.assets.help();
    frmVx9Browser browser(
        QUrl::fromLocalFile(QDir(folder).filePath(QStringLiteral("lapdeck.html"))),
        QUrl::fromLocalFile(HelpViewer::contentsPage(folder)), *m_services.opener, m_window);
    showModal(browser);
}

void MenuDialogs::liveResults() {
    if (m_services.live == nullptr) {
        return;
    }
    LiveResultsDialog dialog(*m_services.live, m_parts.config.path(kLiveChoiceFile),
                             *m_services.prompter, m_parts.results, m_window);
    showModal(dialog);
}

void MenuDialogs::about() {
    frmVx9About about(m_parts.pictures.picture(QStringLiteral("LVLogo.gif")), m_window);
    showModal(about);
}

}  // namespace lapdeck
