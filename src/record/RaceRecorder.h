#pragma once

#include <cstdint>
#include <optional>

#include <QDateTime>
#include <QString>

#include "RaceArchive.h"
#include "RaceJournal.h"
#include "RaceState.h"

namespace lapdeck {

class ConfigStore;

// What the organiser is told when a race cannot be recorded: the file, the
// reason, and that the race goes on.
struct RecordProblem {
    QString title;
    QString text;
};

// Keeps the record of the race being run: at its start a race folder with the
// data files in force and a journal, every report appended as it is read, and the
// folder marked when the race ends normally. A record that cannot be kept never
// stops the race; each problem is returned once, to be shown.
class RaceRecorder {
public:
    explicit RaceRecorder(const ConfigStore& store);

    std::optional<RecordProblem> raceStarting(const RaceState& state, const QDateTime& now);
    std::optional<RecordProblem> reportRead(int32_t clock, const QString& text);
    // Reset, abort, or both results saved: the race needs no recovery.
    std::optional<RecordProblem> raceEnded();

    RaceArchive& archive() { return m_archive; }
    // The folder of the race being recorded; empty when none is.
    const QString& raceFolder() const { return m_folder; }

private:
    std::optional<RecordProblem> problem(const QString& headline, const QString& file,
                                         const QString& reason, const QString& consequence);
    std::optional<RecordProblem> journalProblem(const QString& file, const QString& reason);

    const ConfigStore& m_store;
    RaceArchive m_archive;
    RaceJournal m_journal;
    QString m_folder;
};

}  // namespace lapdeck
