#include "RaceRecords.h"

#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include "FileChooser.h"
#include "RaceEngine.h"
#include "RaceRecorder.h"
#include "RaceRecovery.h"
#include "ResultsWindows.h"

namespace lapdeck {

RaceRecords::RaceRecords(RaceState& state, const ConfigStore& config, Prompter& prompter,
                         ResultsWindows& results, QWidget* window)
    : QObject(window),
      m_state(state),
      m_prompter(prompter),
      m_results(results),
      m_window(window),
      m_recorder(std::make_unique<RaceRecorder>(config)) {}

RaceRecords::~RaceRecords() = default;

void RaceRecords::tellLater(const std::optional<RecordProblem>& problem) {
    if (!problem) {
        return;
    }
    // Later, from the event loop: a race tick is no place for a message box.
    QTimer::singleShot(
        0, this, [this, p = *problem]() { m_prompter.notify(p.title, p.text, Icon::Exclamation); });
}

void RaceRecords::raceStarting(const QDateTime& now) {
    tellLater(m_recorder->raceStarting(m_state, now));
}

void RaceRecords::reportRead(int32_t clock, const QString& text) {
    tellLater(m_recorder->reportRead(clock, text));
}

void RaceRecords::reportsDropped(int32_t clock, const QStringList& texts) {
    for (const QString& text : texts) {
        QString shown;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            shown += u >= 0x20 && u < 0x7f
                         ? QString(c)
                         : QStringLiteral("\\x%1").arg(int{u}, 2, 16, QLatin1Char('0'));
        }
        tellLater(m_recorder->comment(
            clock, QStringLiteral("came during the pause, dropped at Continue: ") + shown));
    }
}

void RaceRecords::raceEnded() {
    tellLater(m_recorder->raceEnded());
}

void RaceRecords::raceLeft() {
    if (const auto problem = m_recorder->raceEnded()) {
        m_prompter.inform(problem->title, problem->text, Icon::Exclamation);
    }
}

void RaceRecords::resultsMaybeSaved() {
    if (m_state.phase == RacePhase::Over && !m_state.LapsUnsaved && !m_state.SummaryUnsaved) {
        raceEnded();
    }
}

void RaceRecords::offerRecovery() {
    auto recovered = std::make_unique<RaceState>();
    if (lapdeck::offerRecovery(m_recorder->archive(), m_prompter, *recovered)) {
        show(*recovered);
    }
}

void RaceRecords::openRace() {
    if (m_state.phase == RacePhase::Over) {
        const auto question =
            unsavedResultsQuestion(m_state, QStringLiteral("Do you want to open another race?"));
        // Yes gives up the results on screen: Enter must not.
        if (question && m_prompter.ask(question->title, question->text, Icon::Exclamation, true) !=
                            Answer::Yes) {
            return;
        }
    }
    const QString journal =
        m_results.files().openFileName(m_window, m_recorder->archive().folder(),
                                       QStringLiteral("Race Journals (") + RaceArchive::kJournal +
                                           QStringLiteral(")|") + RaceArchive::kJournal);
    if (journal.isEmpty()) {
        return;
    }
    const RaceRecord record = RaceArchive::record(QFileInfo(journal).absolutePath());
    auto race = std::make_unique<RaceState>();
    if (const auto problem = loadRecordedRace(record, *race)) {
        m_prompter.inform(QStringLiteral("Open Race"),
                          QStringLiteral("The race cannot be opened.") + captions::kCrLf + *problem,
                          Icon::Exclamation);
        return;
    }
    // The race stays in the archive: leaving it again asks nothing.
    race->LapsUnsaved = race->SummaryUnsaved = false;
    // The results on screen were given up by the answer above.
    raceEnded();
    if (const QString cut = journalCutText(record); !cut.isEmpty()) {
        m_prompter.inform(QStringLiteral("Open Race"), cut, Icon::Exclamation);
    }
    show(*race);
}

void RaceRecords::show(RaceState& race) {
    race.SortByLapTime = m_state.SortByLapTime;
    if (!m_recordedShown) {
        m_demoBefore = m_state.Demo;
    }
    m_state = std::move(race);
    m_recordedShown = true;
    emit raceShown();
    m_results.showLapTimes();
    // Unless the summary was seen from the lap table and saved.
    if (m_state.SummaryUnsaved) {
        m_results.showSummary();
    }
    resultsMaybeSaved();
}

}  // namespace lapdeck
