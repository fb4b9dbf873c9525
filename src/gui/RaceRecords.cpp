#include "RaceRecords.h"

#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <QDialog>
#include <QDir>

#include "ConfigStore.h"
#include "RaceChooser.h"
#include "RaceEngine.h"
#include "RaceRecorder.h"
#include "RaceRecovery.h"
#include "RaceSummary.h"
#include "ResultsWindows.h"

namespace lapdeck {

RaceRecords::RaceRecords(RaceState& state, const ConfigStore& config, Prompter& prompter,
                         ResultsWindows& results, ResultsServices services,
                         std::function<int(QDialog&)> showModal, QWidget* window)
    : QObject(window),
      m_state(state),
      m_prompter(prompter),
      m_results(results),
      m_window(window),
      m_recorder(std::make_unique<RaceRecorder>(config)),
      m_services(std::move(services)),
      m_showModal(std::move(showModal)),
      m_dataFolder(config.folder()) {}

RaceRecords::~RaceRecords() = default;

int RaceRecords::showModal(QDialog& dialog) {
    return m_showModal ? m_showModal(dialog) : dialog.exec();
}

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
    m_onScreen = m_recorder->raceFolder();
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

bool RaceRecords::leaveAsked() {
    const auto question = unsavedResultsQuestion(m_state, QStringLiteral("Do you want to exit?"));
    if (!m_state.IsPractice && question &&
        m_prompter.ask(question->title, question->text, Icon::Exclamation, true) != Answer::Yes) {
        return false;
    }
    raceLeft();
    return true;
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
    JournalProgress progress(m_window, QStringLiteral("Reading the race journal..."));
    if (lapdeck::offerRecovery(m_recorder->archive(), m_prompter, *recovered,
                               progress.callback())) {
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
    const std::vector<RaceRecord> records = m_recorder->archive().races();
    if (records.empty()) {
        m_prompter.inform(QStringLiteral("Open Race"),
                          QStringLiteral("No race has been recorded yet in ") +
                              QDir::toNativeSeparators(m_recorder->archive().folder()),
                          Icon::Information);
        return;
    }
    JournalProgress progress(m_window, QStringLiteral("Reading the race journals..."));
    RaceChooser chooser(listRaces(records, progress.callback()), m_window);
    if (showModal(chooser) != QDialog::Accepted || chooser.chosen() < 0) {
        return;
    }
    const RaceRecord& record = records[static_cast<size_t>(chooser.chosen())];
    auto race = std::make_unique<RaceState>();
    if (const auto problem = loadRecordedRace(record, *race, progress.callback())) {
        m_prompter.inform(QStringLiteral("Open Race"),
                          QStringLiteral("The race cannot be opened.") + captions::kCrLf + *problem,
                          Icon::Exclamation);
        return;
    }
    // The race stays in the archive: closing its windows asks nothing.
    race->LapsUnsaved = race->SummaryUnsaved = false;
    race->SortByLapTime = m_state.SortByLapTime;
    if (const QString cut = journalCutText(record); !cut.isEmpty()) {
        m_prompter.inform(QStringLiteral("Open Race"), cut, Icon::Exclamation);
    }
    m_openedWindows.reset();
    m_opened = std::move(race);
    m_openedStats = std::make_unique<SummaryStats>();
    m_openedWindows = std::make_unique<ResultsWindows>(*m_opened, *m_openedStats, m_dataFolder,
                                                       m_services, m_window);
    m_openedWindows->showLapTimes();
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
