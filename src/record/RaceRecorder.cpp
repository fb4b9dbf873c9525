#include "RaceRecorder.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QDir>

#include "ConfigStore.h"
#include "DataFile.h"
#include "Journal.h"
#include "ProgramFiles.h"
#include "RaceFormat.h"
#include "ScreenTexts.h"
#include "Settings.h"

namespace lapdeck {
namespace {

// The data files as the race runs with them. Written from the values in force,
// not copied, so the race folder re-scores as the race ran even when a file was
// never saved (demo mode chosen when the port failed) or could not be read. The
// roster and the lag column do not change results; they are copied when there.
std::vector<FileToWrite> filesInForce(const ConfigStore& store, const RaceState& state) {
    RaceFormat format = store.raceFormat();
    format.demo = state.Demo;
    std::vector<FileToWrite> files = {
        {FileNames::settings, serializeSettings(store.settings())},
        {FileNames::speedMultiplier, serializeSpeedMultiplier(state.SpeedMultiplier)},
        {FileNames::raceFormat, serializeRaceFormat(format)},
        {FileNames::racerNames, serializeRacerNames(state.RacerName)},
    };
    const FileRead roster = readWholeFile(store.path(FileNames::roster), DataFile::kMaxBytes);
    files.push_back({FileNames::roster, roster.error ? serializeRoster({}) : roster.bytes});
    const FileRead lag = readWholeFile(store.path(FileNames::raceLag), DataFile::kMaxBytes);
    if (!lag.error) {
        files.push_back({FileNames::raceLag, lag.bytes});
    }
    return files;
}

// Noise is summed over this much race clock per comment line.
constexpr int32_t kTallySpan = 60000;
// The texts named in a tally, most frequent first; the rest are counted together.
constexpr int kTallyTexts = 8;
constexpr qsizetype kTallyDistinct = 256;

// A report as a tally names it: printable characters as they are, others in hex.
QString shownText(const QString& text) {
    QString shown = QStringLiteral("\"");
    for (const QChar c : text.left(8)) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7f && u != u'"' && u != u'\\') {
            shown += c;
        } else {
            shown += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        }
    }
    return shown + (text.size() > 8 ? QStringLiteral("...\"") : QStringLiteral("\""));
}

}  // namespace

RaceRecorder::RaceRecorder(const ConfigStore& store) : m_store(store), m_archive(store.folder()) {}

std::optional<RecordProblem> RaceRecorder::problem(const QString& headline, const QString& file,
                                                   const QString& reason,
                                                   const QString& consequence) {
    // A journal that failed is closed, so the same failure is never told twice.
    m_journal.close();
    return RecordProblem{QStringLiteral("Race Journal"),
                         headline + captions::kCrLf + QDir::toNativeSeparators(file) +
                             QStringLiteral(": ") + reason + captions::kCrLf + consequence};
}

std::optional<RecordProblem> RaceRecorder::journalProblem(const QString& file,
                                                          const QString& reason,
                                                          const QString& consequence) {
    return problem(QStringLiteral("The race journal cannot be written."), file, reason,
                   QStringLiteral("The race goes on and its laps are counted, but ") + consequence);
}

std::optional<RecordProblem> RaceRecorder::raceStarting(const RaceState& state,
                                                        const QDateTime& now) {
    m_journal.close();
    m_folder.clear();
    m_race = &state;
    m_readOne = false;
    m_lastLineClock = -1;
    m_tally = {};
    m_noise.reset();
    const QString cannot = QStringLiteral("Lapdeck could not recover it if it stopped.");
    auto created = m_archive.createRaceFolder(now, filesInForce(m_store, state));
    if (const WriteFailure* failure = std::get_if<WriteFailure>(&created)) {
        return journalProblem(failure->path, failure->reason, cannot);
    }
    m_folder = std::get<QString>(created);
    const QString journal = QDir(m_folder).filePath(RaceArchive::kJournal);
    if (const auto reason = m_journal.open(journal)) {
        return journalProblem(journal, *reason, cannot);
    }
    return std::nullopt;
}

std::optional<RecordProblem> RaceRecorder::append(int32_t clock, const QByteArray& line) {
    if (!m_journal.isOpen()) {
        return std::nullopt;
    }
    const auto reason = m_journal.appendLine(line);
    if (!reason) {
        return std::nullopt;
    }
    // The journal holds the race up to here: recovery must not take it for all of it.
    QString consequence = QStringLiteral(
                              "if Lapdeck stopped, it could recover the race only up "
                              "to race time ") +
                          raceTimeText(clock) +
                          QStringLiteral(". Save the results when the race is over.");
    if (const auto failure = RaceArchive::markJournalCut(m_folder, clock)) {
        consequence += captions::kCrLf +
                       QStringLiteral("Lapdeck cannot note this in the race folder either: ") +
                       failure->reason;
    }
    return journalProblem(m_journal.path(), *reason, consequence);
}

std::optional<RecordProblem> RaceRecorder::reportRead(int32_t clock, const QString& text) {
    m_noise.reportRead(clock, text);
    if (!m_journal.isOpen()) {
        return std::nullopt;
    }
    const bool first = !m_readOne;
    m_readOne = true;
    const bool finishing = m_race != nullptr && m_race->CheckeredShown;
    if (readsAsFlag(text) || first || (finishing && clock != m_lastLineClock)) {
        m_lastLineClock = clock;
        return append(clock, journalLine(clock, text));
    }
    if (m_tally.count == 0) {
        m_tally.from = clock;
    }
    m_tally.to = clock;
    ++m_tally.count;
    if (m_tally.texts.size() < kTallyDistinct || m_tally.texts.contains(text)) {
        ++m_tally.texts[text];
    }
    return m_tally.to - m_tally.from >= kTallySpan ? append(clock, noiseTallyLine()) : std::nullopt;
}

QByteArray RaceRecorder::noiseTallyLine() {
    if (m_tally.count == 0) {
        return {};
    }
    std::vector<std::pair<int64_t, QString>> texts;
    for (auto it = m_tally.texts.cbegin(); it != m_tally.texts.cend(); ++it) {
        texts.emplace_back(-it.value(), it.key());
    }
    std::sort(texts.begin(), texts.end());
    QStringList named;
    int64_t others = m_tally.count;
    for (size_t i = 0; i < texts.size() && i < kTallyTexts; ++i) {
        named << shownText(texts[i].second) + u' ' + QString::number(-texts[i].first);
        others += texts[i].first;
    }
    if (others > 0) {
        named << QString::number(others) + QStringLiteral(" others");
    }
    const NoiseTally tally = std::exchange(m_tally, {});
    return journalComment(
        tally.to, QString::number(tally.count) + QStringLiteral(" reports from ") +
                      QString::number(tally.from) + QStringLiteral(" ms on were no flag number: ") +
                      named.join(QStringLiteral(", ")));
}

std::optional<RecordProblem> RaceRecorder::comment(int32_t clock, const QString& text) {
    if (const QByteArray tally = noiseTallyLine(); !tally.isEmpty()) {
        if (auto problem = append(clock, tally)) {
            return problem;
        }
    }
    return append(clock, journalComment(clock, text));
}

std::optional<RecordProblem> RaceRecorder::raceEnded() {
    std::optional<RecordProblem> tallyProblem;
    const QByteArray tally = noiseTallyLine();
    if (m_journal.isOpen() && !tally.isEmpty()) {
        if (const auto reason = m_journal.appendLine(tally)) {
            // Every report that could count is in already: the race is whole.
            tallyProblem = problem(QStringLiteral("The race journal cannot be written."),
                                   m_journal.path(), *reason,
                                   QStringLiteral("The race's laps are all in it; only the count "
                                                  "of reports that were no flag number is lost."));
        }
    }
    m_journal.close();
    m_race = nullptr;
    const QString folder = m_folder;
    m_folder.clear();
    if (folder.isEmpty()) {
        return tallyProblem;
    }
    if (const auto failure = RaceArchive::markEnded(folder, RaceEnd::Finished)) {
        return problem(QStringLiteral("The race cannot be marked as finished."), failure->path,
                       failure->reason,
                       QStringLiteral("The next time Lapdeck starts, it offers to recover it."));
    }
    return tallyProblem;
}

}  // namespace lapdeck
