#include "RecordedRace.h"

#include <variant>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ConfigStore.h"
#include "Journal.h"
#include "ProgramFiles.h"
#include "RaceArchive.h"
#include "ReplayRun.h"

namespace lapdeck {

namespace {

QString journalProblem(const QString& path, const JournalError& error) {
    // One arg() call: a '%' in the path must not be taken for a place marker.
    if (error.line == 0) {
        return QStringLiteral("%1: %2").arg(path, error.message);
    }
    return QStringLiteral("%1, line %2: %3").arg(path, QString::number(error.line), error.message);
}

}  // namespace

std::optional<QString> rescoreRecordedRace(const QString& dataDir, const QString& journalPath,
                                           RaceState& state, const ReadProgress& progress,
                                           const RescoreExtras& extras) {
    const QFileInfo info(journalPath);
    QFile file(journalPath);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = !info.exists()   ? QStringLiteral("the file does not exist")
                               : !info.isFile() ? QStringLiteral("this is not a file")
                                                : file.errorString();
        return QStringLiteral("%1: cannot be read: %2").arg(journalPath, reason);
    }
    JournalReader journal(file);
    journal.setProgress(progress);

    // Every file the program reads at start-up must be there; only the lag column
    // choice has a default.
    const QDir folder(dataDir);
    const QStringList required = {FileNames::settings, FileNames::speedMultiplier,
                                  FileNames::raceFormat, FileNames::racerNames, FileNames::roster};
    for (const QString& name : required) {
        if (!QFileInfo(folder.filePath(name)).isFile()) {
            return QStringLiteral("%1: missing").arg(folder.filePath(name));
        }
    }
    const ConfigStore store(dataDir);
    auto loaded = store.loadAllStrict();
    if (const ConfigError* error = std::get_if<ConfigError>(&loaded)) {
        return folder.filePath(error->message());
    }
    const ConfigBundle& config = std::get<ConfigBundle>(loaded);
    applyConfig(config, state);
    // Without a record the journal is read as it stands, as it always was.
    std::optional<CorrectedJournal> corrected;
    if (extras.changes != nullptr && !extras.changes->empty()) {
        corrected.emplace(journal, *extras.changes);
    }
    JournalSource& source = corrected ? static_cast<JournalSource&>(*corrected) : journal;
    if (auto problem = rescoreJournal(state, config.racerNames, config.lagMode, source,
                                      extras.crossings, extras.until)) {
        return problem;
    }
    // A bad line after the race's end spoils the journal as much as one before it;
    // a change after it is still checked.
    while (source.next()) {
    }
    if (journal.error()) {
        return journalProblem(journalPath, *journal.error());
    }
    if (corrected && extras.refused != nullptr) {
        *extras.refused = corrected->refused();
    }
    return std::nullopt;
}

std::optional<QString> rescoreRaceFolder(const QString& raceFolder, RaceState& state,
                                         const ReadProgress& progress, QStringList* notes) {
    const QString path = QDir(raceFolder).filePath(kCorrectionsFile);
    CorrectionsRead read = readCorrections(path);
    if (read.error) {
        return read.error;
    }
    QStringList refused;
    RescoreExtras extras;
    extras.changes = &read.changes;
    extras.refused = &refused;
    const auto problem = rescoreRecordedRace(
        raceFolder, QDir(raceFolder).filePath(RaceArchive::kJournal), state, progress, extras);
    if (notes != nullptr) {
        *notes = read.skipped;
        for (const QString& change : refused) {
            *notes << path + QStringLiteral(": ") + change;
        }
    }
    return problem;
}

}  // namespace lapdeck
