#include "RaceRecorder.h"

#include <QDir>

#include "ConfigStore.h"
#include "DataFile.h"
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
                                                          const QString& reason) {
    return problem(QStringLiteral("The race journal cannot be written."), file, reason,
                   QStringLiteral("The race goes on and its laps are counted, but Lapdeck could "
                                  "not recover it if it stopped."));
}

std::optional<RecordProblem> RaceRecorder::raceStarting(const RaceState& state,
                                                        const QDateTime& now) {
    m_journal.close();
    m_folder.clear();
    auto created = m_archive.createRaceFolder(now, filesInForce(m_store, state));
    if (const WriteFailure* failure = std::get_if<WriteFailure>(&created)) {
        return journalProblem(failure->path, failure->reason);
    }
    m_folder = std::get<QString>(created);
    const QString journal = QDir(m_folder).filePath(RaceArchive::kJournal);
    if (const auto reason = m_journal.open(journal)) {
        return journalProblem(journal, *reason);
    }
    return std::nullopt;
}

std::optional<RecordProblem> RaceRecorder::reportRead(int32_t clock, const QString& text) {
    if (!m_journal.isOpen()) {
        return std::nullopt;
    }
    if (const auto reason = m_journal.append(clock, text)) {
        return journalProblem(m_journal.path(), *reason);
    }
    return std::nullopt;
}

std::optional<RecordProblem> RaceRecorder::raceEnded() {
    m_journal.close();
    const QString folder = m_folder;
    m_folder.clear();
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    if (const auto failure = RaceArchive::markEnded(folder, RaceEnd::Finished)) {
        return problem(QStringLiteral("The race cannot be marked as finished."), failure->path,
                       failure->reason,
                       QStringLiteral("The next time Lapdeck starts, it offers to recover it."));
    }
    return std::nullopt;
}

}  // namespace lapdeck
