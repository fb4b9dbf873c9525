// Running the meeting's heats from the race screen, and their pace.
#include "MeetingWindow.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ConfigStore.h"
#include "HeatRace.h"
#include "LiveMeeting.h"
#include "LiveResults.h"
#include "MeetingCallBoard.h"
#include "MeetingFile.h"
#include "MeetingText.h"
#include "MeetingWidgets.h"
#include "RaceEngine.h"
#include "RacePort.h"
#include "RaceRecorder.h"
#include "RaceRecords.h"
#include "RaceSetup.h"
#include "RaceState.h"
#include "ResultFileIo.h"
#include "ResultsWindows.h"
#include "SpeechEngine.h"
#include "ValueLists.h"

namespace lapdeck {

namespace {

QString resultLines(const std::vector<RacerResult>& results) {
    QStringList lines;
    int place = 0;
    for (const RacerResult& r : results) {
        lines.append(QStringLiteral("%1. %2 (flag %3): %4 laps, %5")
                         .arg(++place)
                         .arg(r.name)
                         .arg(r.flag)
                         .arg(std::max(r.laps, 0))
                         .arg(resultTimeText(r.timeMs)));
    }
    return lines.join(QStringLiteral("\r\n"));
}

}  // namespace

using namespace meeting_ui;

// ---------------------------------------------------------------- running heats

bool MeetingWindow::raceOn() const {
    const RacePhase phase = m_parts.state.phase;
    return phase == RacePhase::Starting || phase == RacePhase::Racing || phase == RacePhase::Paused;
}

bool MeetingWindow::raceOnScreen(const HeatRun& run) const {
    const QString folder = m_parts.records.recorder().raceFolder();
    return !folder.isEmpty() && folder == run.raceFolder;
}

void MeetingWindow::loadNextHeat() {
    if (m_meeting.runningRun() || m_parts.state.phase != RacePhase::Idle) {
        inform(QStringLiteral(
            "A heat can be loaded only while the race screen waits for a start (Reset it "
            "first) and no heat waits for its result."));
        return;
    }
    const MeetingPlan planned = plan();
    const PlannedHeat* next = planned.nextHeat();
    if (!next) {
        inform(planned.problem.isEmpty() ? QStringLiteral("No heat waits to be run.")
                                         : planned.problem);
        return;
    }
    if (const auto error = m_parts.config.reloadRaceFormat()) {
        inform(error->message());
    }
    auto load = lapdeck::loadHeat(m_meeting, *next, m_parts.state.Disabled, m_parts.state.RacerName,
                                  m_parts.config.raceFormat());
    if (const QString* problem = std::get_if<QString>(&load)) {
        inform(*problem);
        return;
    }
    const HeatLoad& heat = std::get<HeatLoad>(load);
    // As a pick of the name pickers and OK in Race Format store them; the reset reads
    // the names back from the data folder.
    if (const auto error = m_parts.config.saveRacerNames(heat.racerNames)) {
        inform(error->message());
        return;
    }
    if (const auto error = m_parts.setup.storeRaceFormat(heat.raceFormat)) {
        inform(error->message());
        return;
    }
    m_parts.engine.ReSet();
    m_parts.port.showStatus();
    m_loaded = next->key;
    m_redraw();
    refresh();
}

void MeetingWindow::followRace() {
    const RacePhase phase = m_parts.state.phase;
    const QString folder = m_parts.records.recorder().raceFolder();
    const bool started = raceOn() || phase == RacePhase::Over;
    if (m_loaded && !m_meeting.runningRun() && started && phase != RacePhase::Starting &&
        !folder.isEmpty() && !m_parts.state.IsPractice) {
        const HeatKey key = *m_loaded;
        m_loaded.reset();
        const MeetingPlan planned = plan();
        if (const PlannedHeat* heat = planned.find(key); heat && heat->ready()) {
            const std::vector<Seat> seats = heat->namedSeats();
            change([&](Meeting& m) -> std::optional<QString> {
                auto id = startHeat(m, key, seats, folder);
                if (const QString* problem = std::get_if<QString>(&id)) {
                    return *problem;
                }
                return std::nullopt;
            });
            m_overSeen = false;
            m_countdown.stop();
        }
    }
    const HeatRun* running = m_meeting.runningRun();
    if (running && raceOnScreen(*running) && phase == RacePhase::Over && !m_overSeen) {
        m_overSeen = true;
        heatEnded();
        refresh();
    }
    if (raceOn()) {
        callBoard->hide();
    }
    const MeetingPlan planned = plan();
    for (HeatCountdown::Call c : m_countdown.poll(m_clock())) {
        if (const PlannedHeat* next = planned.nextHeat()) {
            call(*next, c != HeatCountdown::Call::Due);
        }
    }
    if (m_countdown.running()) {
        const QString left = countdownText(m_countdown.remainingMs(m_clock()));
        lblCountdown->setText(QStringLiteral("Next heat in ") + left);
        if (!callBoard->isHidden() && planned.nextHeat()) {
            call(*planned.nextHeat(), false);
        }
    } else {
        lblCountdown->setText(chkPace->isChecked() && !running && planned.nextHeat()
                                  ? QStringLiteral("The next heat is due.")
                                  : QString());
    }

    const bool waiting = running && !(raceOnScreen(*running) && raceOn());
    cmdLoadNext->setEnabled(!m_path.isEmpty() && !running && phase == RacePhase::Idle &&
                            planned.nextHeat() != nullptr);
    cmdAccept->setEnabled(waiting);
    cmdDrop->setEnabled(waiting);
    const PlannedHeat* selected = selectedHeat(planned);
    cmdRunAgain->setEnabled(!running && selected && selected->status == HeatStatus::Done);

    QString status;
    if (m_path.isEmpty()) {
        status = QStringLiteral("Open a meeting, or make a new one.");
    } else if (running && raceOnScreen(*running) && raceOn()) {
        status = heatTitle(running->key) + QStringLiteral(" is running.");
    } else if (running && raceOnScreen(*running)) {
        status = heatTitle(running->key) +
                 QStringLiteral(
                     " is over: correct its laps if need be, then Accept result (or Drop "
                     "start).");
    } else if (running) {
        status = heatTitle(running->key) +
                 QStringLiteral(
                     " was started but its race is not on the race screen (a restart, or "
                     "a reset): Accept result takes it from its race folder; Drop start "
                     "forgets it.");
    } else if (m_loaded) {
        status = heatTitle(*m_loaded) +
                 QStringLiteral(" is on the flags: press Start on the race screen.");
    } else if (planned.nextHeat()) {
        status = QStringLiteral("Next: ") + planned.nextHeat()->title() + QLatin1Char('.');
    } else {
        status = planned.problem.isEmpty() ? QStringLiteral("Every heat has been run.")
                                           : planned.problem;
    }
    lblStatus->setText(status);
    if (m_parts.results.now().toSecsSinceEpoch() / 60 != m_liveMinute) {
        tellLive();
    }
}

void MeetingWindow::heatEnded() {
    if (chkPace->isChecked()) {
        m_countdown.start(m_clock(), spnGap->value());
    }
}

void MeetingWindow::call(const PlannedHeat& heat, bool speak) {
    std::vector<PlannedSeat> seats = heat.seats;
    std::sort(seats.begin(), seats.end(),
              [](const PlannedSeat& a, const PlannedSeat& b) { return a.flag < b.flag; });
    QStringList names;
    for (const PlannedSeat& seat : seats) {
        names.append(QStringLiteral("%1\u00a0%2")
                         .arg(seat.flag)
                         .arg(seat.name.isEmpty() ? seat.standIn : seat.name));
    }
    const int64_t left = m_countdown.remainingMs(m_clock());
    callBoard->call({QStringLiteral("Next heat") +
                         (m_countdown.running() ? QStringLiteral(" in ") + countdownText(left)
                                                : QStringLiteral(": now")),
                     heat.title(), names.join(QStringLiteral("\u2003\u2003"))});
    if (speak && m_parts.speech) {
        m_parts.speech->say(nextHeatCallout(heat), []() {});
    }
}

void MeetingWindow::adjustPace(int seconds) {
    m_countdown.adjust(m_clock(), seconds);
    followRace();
}

void MeetingWindow::acceptResult() {
    const HeatRun* run = m_meeting.runningRun();
    if (!run || (raceOnScreen(*run) && raceOn())) {
        return;
    }
    const int id = run->id;
    const QString title = heatTitle(run->key);
    auto result = resultFromRaceFolder(run->raceFolder, run->seats);
    if (const QString* problem = std::get_if<QString>(&result)) {
        inform(title + QStringLiteral(": the result cannot be taken from its race folder.\r\n") +
               *problem);
        return;
    }
    std::vector<RacerResult> results = std::get<std::vector<RacerResult>>(std::move(result));
    std::stable_sort(results.begin(), results.end(), finishesAhead);
    if (m_parts.prompter.ask(QStringLiteral("Accept Result"),
                             title + QStringLiteral(":\r\n") + resultLines(results) +
                                 QStringLiteral("\r\n\r\nTake this result into the meeting?"),
                             Icon::Question, false) != Answer::Yes) {
        return;
    }
    const bool onScreen = raceOnScreen(*run);
    if (change([&](Meeting& m) { return finishHeat(m, id, results); }) && !onScreen &&
        !m_countdown.running()) {
        heatEnded();  // a race finished elsewhere (before a restart) ends here
    }
}

void MeetingWindow::dropStart() {
    const HeatRun* run = m_meeting.runningRun();
    if (!run || (raceOnScreen(*run) && raceOn())) {
        return;
    }
    const int id = run->id;
    if (m_parts.prompter.ask(
            title(),
            heatTitle(run->key) + QStringLiteral(": forget this start? The heat waits to be run."),
            Icon::Question, true) == Answer::Yes) {
        change([id](Meeting& m) { return abandonHeat(m, id); });
    }
}

const PlannedHeat* MeetingWindow::selectedHeat(const MeetingPlan& planned) const {
    const int row = tblSchedule->currentRow();
    return row >= 0 && static_cast<size_t>(row) < planned.heats.size()
               ? &planned.heats[static_cast<size_t>(row)]
               : nullptr;
}

void MeetingWindow::runAgain() {
    const MeetingPlan planned = plan();
    const PlannedHeat* heat = selectedHeat(planned);
    if (!heat || heat->status != HeatStatus::Done) {
        return;
    }
    const HeatKey key = heat->key;
    if (m_parts.prompter.ask(
            title(),
            heat->title() + QStringLiteral(": run it again? Its result stays in the record, marked "
                                           "replaced, and no longer counts."),
            Icon::Question, true) == Answer::Yes) {
        change([&key](Meeting& m) { return rerunHeat(m, key); });
    }
}

}  // namespace lapdeck
