#pragma once

#include <cstdint>
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
    NoCrossings,   // Lapdeck stopped before it read a crossing (during the start lights, say)
};

// What a race folder's end mark says.
struct EndMark {
    RaceEnd end = RaceEnd::Unfinished;
    // The race clock from which the journal could not be written: it holds the race
    // only up to there.
    std::optional<int32_t> journalCutAt;
};

struct RaceRecord {
    QString folder;     // full path
    QDateTime started;  // from the folder's name
    RaceEnd end = RaceEnd::Unfinished;
    std::optional<int32_t> journalCutAt;

    QString journal() const;
};

// The race folders under the data folder's "Races": one per race or practice,
// named by its start, holding the data files in force at the start, the journal
// and the end mark saying how the race came to an end. They are the club's archive:
// Lapdeck never deletes one.
class RaceArchive {
public:
    static inline const QString kFolder = QStringLiteral("Races");
    static inline const QString kJournal = QStringLiteral("journal.txt");
    static inline const QString kEndMark = QStringLiteral("ended.txt");

    explicit RaceArchive(const QString& dataDir);
    const QString& folder() const { return m_folder; }

    // The race folders that hold a journal, newest first.
    std::vector<RaceRecord> races() const;
    // One race folder as races() lists it.
    static RaceRecord record(const QString& raceFolder);

    // A new race folder for a race started at `start`, holding `files` (names in
    // the folder and contents) and the end mark of a running race, all or none.
    // Returns its path or what failed.
    std::variant<QString, WriteFailure> createRaceFolder(const QDateTime& start,
                                                         const std::vector<FileToWrite>& files);

    // The mark is written at full size with the race folder and rewritten in place,
    // so it can still be written when the disk has filled up during the race. A
    // journal cut noted before is kept.
    static std::optional<WriteFailure> markEnded(const QString& raceFolder, RaceEnd end);
    static std::optional<WriteFailure> markJournalCut(const QString& raceFolder, int32_t clock);
    static EndMark endMark(const QString& raceFolder);
    static RaceEnd endOf(const QString& raceFolder) { return endMark(raceFolder).end; }

private:
    QString m_folder;
};

}  // namespace lapdeck
