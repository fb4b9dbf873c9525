#pragma once

#include <cstdint>
#include <optional>

#include <QDateTime>
#include <QHash>
#include <QString>

#include "NoiseWatch.h"
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
// data files in force, a journal and the end mark, every report appended as it is
// read, and the mark rewritten when the race ends normally or its journal cannot be
// written any more. A record that cannot be kept never stops the race; each problem
// is returned once, to be shown.
//
// A report that reads as a flag is one journal line. The others (a noisy line sends
// them by the thousand) are summed in a comment line once a minute of race clock,
// except where a re-scoring could tell them from nothing: the race's first report,
// which draws the screen the first time, and once the checkered flag is out, one
// report per tick, whose clock the finish deadline is judged at.
class RaceRecorder {
public:
    explicit RaceRecorder(const ConfigStore& store);

    // `state` is the race about to run; it is watched for the checkered flag.
    std::optional<RecordProblem> raceStarting(const RaceState& state, const QDateTime& now);
    std::optional<RecordProblem> reportRead(int32_t clock, const QString& text);
    // A note in the journal at race clock `clock` that no re-scoring reads: the
    // reports dropped at Continue, say.
    std::optional<RecordProblem> comment(int32_t clock, const QString& text);
    // Reset, abort, or both results saved: the race needs no recovery.
    std::optional<RecordProblem> raceEnded();

    RaceArchive& archive() { return m_archive; }
    // The folder of the race being recorded; empty when none is.
    const QString& raceFolder() const { return m_folder; }
    // The reports of the race being recorded that were no flag number.
    const NoiseWatch& noise() const { return m_noise; }

private:
    struct NoiseTally {
        int32_t from = 0;
        int32_t to = 0;
        int64_t count = 0;
        QHash<QString, int64_t> texts;
    };

    std::optional<RecordProblem> append(int32_t clock, const QByteArray& line);
    // The comment line summing the noise since the last one; empty when none came.
    QByteArray noiseTallyLine();
    std::optional<RecordProblem> problem(const QString& headline, const QString& file,
                                         const QString& reason, const QString& consequence);
    std::optional<RecordProblem> journalProblem(const QString& file, const QString& reason,
                                                const QString& consequence);

    const ConfigStore& m_store;
    RaceArchive m_archive;
    RaceJournal m_journal;
    QString m_folder;
    const RaceState* m_race = nullptr;
    bool m_readOne = false;
    int32_t m_lastLineClock = -1;
    NoiseTally m_tally;
    NoiseWatch m_noise;
};

}  // namespace lapdeck
