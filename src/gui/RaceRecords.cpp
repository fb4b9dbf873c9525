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
    // The race goes on behind the box.
    QTimer::singleShot(
        0, this, [this, p = *problem]() { m_prompter.inform(p.title, p.text, Icon::Exclamation); });
}

void RaceRecords::raceStarting(const QDateTime& now) {
    tellLater(m_recorder->raceStarting(m_state, now));
    m_onScreen = m_recorder->raceFolder();
}

void RaceRecords::reportRead(int32_t clock, const QString& text) {
    tellLater(m_recorder->reportRead(clock, text));
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
    // The race recovered is the one no longer unfinished.
    std::vector<QString> unfinished;
    for (const RaceRecord& race : m_recorder->archive().races()) {
        if (race.end == RaceEnd::Unfinished) {
            unfinished.push_back(race.folder);
        }
    }
    if (lapdeck::offerRecovery(m_recorder->archive(), m_prompter, *recovered)) {
        QString folder;
        for (const QString& f : unfinished) {
            if (RaceArchive::endOf(f) == RaceEnd::Recovered) {
                folder = f;
            }
        }
        show(*recovered, folder);
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
    show(*race, record.folder);
}

void RaceRecords::show(RaceState& race, const QString& folder) {
    m_onScreen = folder;
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
