#pragma once

#include <optional>
#include <variant>
#include <vector>

#include <QDateTime>
#include <QString>

#include "TextFile.h"

namespace lapdeck {

// How a recorded race came to an end.
enum class RaceEnd {
    Unfinished,    // Lapdeck stopped while it ran (a crash, a kill, a power cut)
    Finished,      // reset, aborted, or both results saved
    Recovered,     // re-scored after Lapdeck stopped
    NotRecovered,  // the organiser declined to recover it
};

struct RaceRecord {
    QString folder;     // full path
    QDateTime started;  // from the folder's name
    RaceEnd end = RaceEnd::Unfinished;

    QString journal() const;
};

// The race folders under the data folder's "Races": one per race or practice,
// named by its start, holding the data files in force at the start, the journal
// and, once the race came to an end, a mark saying how. They are the club's
// archive: Lapdeck never deletes one.
class RaceArchive {
public:
    static inline const QString kFolder = QStringLiteral("Races");
    static inline const QString kJournal = QStringLiteral("journal.txt");
    static inline const QString kEndMark = QStringLiteral("ended.txt");

    explicit RaceArchive(const QString& dataDir);
    const QString& folder() const { return m_folder; }

    // The race folders that hold a journal, newest first.
    std::vector<RaceRecord> races() const;

    // A new race folder for a race started at `start`, holding `files` (names in
    // the folder and contents), all or none. Returns its path or what failed.
    std::variant<QString, WriteFailure> createRaceFolder(const QDateTime& start,
                                                         const std::vector<FileToWrite>& files);

    static std::optional<WriteFailure> markEnded(const QString& raceFolder, RaceEnd end);
    static RaceEnd endOf(const QString& raceFolder);

private:
    QString m_folder;
};

}  // namespace lapdeck
