#include "RecordedRace.h"

#include <variant>
#include <vector>

#include <QDir>
#include <QFileInfo>

#include "ConfigStore.h"
#include "Journal.h"
#include "ProgramFiles.h"
#include "ReplayRun.h"
#include "TextFile.h"

namespace lapdeck {

std::optional<QString> rescoreRecordedRace(const QString& dataDir, const QString& journalPath,
                                           RaceState& state) {
    FileRead journal = readWholeFile(journalPath, kMaxJournalBytes);
    if (journal.error) {
        return QStringLiteral("%1: cannot be read: %2").arg(journalPath, *journal.error);
    }
    std::optional<JournalError> journalError;
    const std::vector<JournalEntry> entries = parseJournal(journal.bytes, &journalError);
    if (journalError) {
        // One arg() call: a '%' in the path must not be taken for a place marker.
        return QStringLiteral("%1, line %2: %3")
            .arg(journalPath, QString::number(journalError->line), journalError->message);
    }

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
    return rescoreJournal(state, config.racerNames, config.lagMode, entries);
}

}  // namespace lapdeck
