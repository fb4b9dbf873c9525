#include "RacePort.h"

#include <QLabel>
#include <QTimer>

#include "NoiseWatch.h"
#include "PortReconnect.h"
#include "RaceHost.h"
#include "RaceState.h"
#include "SerialPortSource.h"

namespace lapdeck {
namespace {
using captions::kCrLf;
}  // namespace

RacePort::RacePort(RaceState& state, const QString& dataFolder, PortScanner scanner,
                   Prompter& prompter, std::function<void(const QString&)> reportError,
                   QObject* parent)
    : QObject(parent),
      m_state(state),
      m_prompter(prompter),
      m_reportError(std::move(reportError)),
      m_map(std::make_unique<PortMap>(dataFolder, std::move(scanner))),
      m_source(new SerialPortSource(this)),
      m_reconnect(new PortReconnect(*m_source, *m_map, this)) {
    connect(m_source, &SerialPortSource::lost, this, &RacePort::portLost);
    connect(m_reconnect, &PortReconnect::reopened, this, &RacePort::portBack);
}

RacePort::~RacePort() = default;

void RacePort::loadChoices() {
    if (const auto error = m_map->load()) {
        m_reportError(error->message());
    }
}

bool RacePort::isOpen() const {
    return m_source->isOpen();
}

bool RacePort::lost() const {
    return m_reconnect->waiting();
}

bool RacePort::raceOn() const {
    return m_state.phase == RacePhase::Racing || m_state.phase == RacePhase::Paused;
}

void RacePort::close() {
    m_reconnect->stop();
    m_source->close();
}

PortAnswer RacePort::open(int number) {
    if (number < 1 || number > 16) {
        m_prompter.inform(QString(), QStringLiteral("Invalid Port Number"), Icon::None);
        return PortAnswer::Refused;
    }
    close();
    m_back = false;
    m_state.CommPort = static_cast<int16_t>(number);
    QString problem;
    if (m_source->openNumber(*m_map, number, &problem)) {
        m_openedDevice = m_map->describe(number);
        m_openedPath = m_map->device(number);
        if (m_map->keepOpened(number)) {
            if (const auto error = m_map->save()) {
                m_reportError(error->message());
            }
        }
        showStatus();
        return PortAnswer::Opened;
    }
    showStatus();
    const QString text = QStringLiteral("Com Port ERROR!") + kCrLf + problem + kCrLf +
                         QStringLiteral("To Select a Different PORT click \"Yes\"") + kCrLf +
                         (raceOn() ? QStringLiteral("To go on without the lap unit, click \"No\"")
                                   : QStringLiteral("To use Demo mode, click \"No\""));
    if (m_prompter.ask(QStringLiteral("Com Port"), text, Icon::Error, false) == Answer::Yes) {
        return PortAnswer::AnotherWanted;
    }
    // A race under way cannot switch to made-up laps.
    if (raceOn()) {
        return PortAnswer::GoesOnWithout;
    }
    m_state.Demo = true;
    showStatus();
    return PortAnswer::DemoChosen;
}

QString RacePort::status() const {
    const QString number = QString::number(m_state.CommPort);
    if (m_state.Demo) {
        return isOpen() ? QStringLiteral("Demo mode: the laps are made up; port ") + number +
                              QStringLiteral(" (") + m_openedDevice +
                              QStringLiteral(") is open but not read")
                        : QStringLiteral("Demo mode: the laps are made up; no port is open");
    }
    if (isOpen()) {
        return QStringLiteral("Reading port ") + number + QStringLiteral(": ") + m_openedDevice +
               (m_back ? QStringLiteral(" (the lap unit is back; laps count again)") : QString());
    }
    if (lost()) {
        return QStringLiteral("LAP UNIT LOST: port ") + number + QStringLiteral(" (") +
               m_openedDevice +
               QStringLiteral(
                   ") was disconnected; no laps come in until it is back. Lapdeck "
                   "reopens it by itself.");
    }
    return QStringLiteral("Port ") + number +
           QStringLiteral(" is not open: no laps can come in (choose the port in Settings)");
}

void RacePort::showStatusIn(QLabel* label) {
    m_statusLabel = label;
    showStatus();
}

RacePort::Alert RacePort::alert() const {
    if (lost() || !m_alarm.isEmpty()) {
        return Alert::Red;
    }
    return m_silent || m_noisy ? Alert::Amber : Alert::None;
}

QString RacePort::statusLine() const {
    const QString number = QString::number(m_state.CommPort);
    if (lost()) {
        return status();
    }
    if (!m_alarm.isEmpty()) {
        return m_alarm;
    }
    if (m_noisy) {
        return NoiseWatch::warning(m_state.CommPort);
    }
    if (m_silent) {
        return QStringLiteral("No reports from port ") + number + QStringLiteral(" (") +
               m_openedPath + QStringLiteral(") for ") + QString::number(kSilentMs / 1000) +
               QStringLiteral(" s: is the lap unit wired to this port and switched on?");
    }
    if (m_dropped > 0) {
        return status() + QStringLiteral("; ") + QString::number(m_dropped) +
               (m_dropped == 1 ? QStringLiteral(" report that came during the pause was")
                               : QStringLiteral(" reports that came during the pause were")) +
               QStringLiteral(" dropped at Continue");
    }
    return status();
}

void RacePort::showStatus() {
    if (!m_statusLabel) {
        return;
    }
    m_statusLabel->setText(statusLine());
    // A lost unit or a record that fails must not go unnoticed in a corner of the window.
    static const QString kRed = QStringLiteral("color: white; background: #c00000;");
    static const QString kAmber = QStringLiteral("color: black; background: #ffbf00;");
    const Alert now = alert();
    m_statusLabel->setStyleSheet(now == Alert::Red     ? kRed
                                 : now == Alert::Amber ? kAmber
                                                       : QString());
}

void RacePort::clearRaceNotes() {
    m_heard = m_silent = m_noisy = false;
    m_dropped = 0;
    m_alarm.clear();
    showStatus();
}

void RacePort::raceTicked(int32_t raceClock, bool noisy) {
    // Demo mode reads no port; a port that is not open says so already.
    const bool silent = !m_heard && !m_state.Demo && isOpen() && raceClock >= kSilentMs;
    noisy = noisy && !m_state.Demo;
    if (silent != m_silent || noisy != m_noisy) {
        m_silent = silent;
        m_noisy = noisy;
        showStatus();
    }
}

void RacePort::reportsDropped(int count) {
    m_dropped = count;
    showStatus();
}

void RacePort::alarm(const QString& text) {
    m_alarm = text;
    showStatus();
}

void RacePort::portLost(const QString& reason) {
    m_back = false;
    m_reconnect->watchFor(m_state.CommPort);
    showStatus();
    const bool race = raceOn();
    const QString title = QStringLiteral("Com Port");
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
    // The status line is red already: a race is told without stopping its controls.
    if (race) {
        m_prompter.showNotice(title, text, Icon::Error);
        return;
    }
    // Deferred: the port's error signal is no place for a modal message box.
    QTimer::singleShot(0, this,
                       [this, title, text]() { m_prompter.inform(title, text, Icon::Error); });
}

void RacePort::takeRaceNotices() {
    m_prompter.takeNotices([this](const QString& title, const QString& text, Icon icon) {
        if (!raceOn()) {
            return false;
        }
        alarm(text.section(captions::kCrLf, 0, 0));
        m_prompter.showNotice(title, text, icon);
        return true;
    });
}

void RacePort::portBack() {
    m_back = true;
    m_openedDevice = m_map->describe(m_state.CommPort);
    showStatus();
}

}  // namespace lapdeck
