#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "Corrections.h"
#include "Journal.h"
#include "RaceState.h"
#include "ReplayRun.h"

namespace lapdeck {

// Re-scores a recorded race into `state`: the data files in force at its start
// (a data folder, or a race folder's copies) and its journal, read as a stream (no
// size limit but the disk's; `progress` is told as it is read). The data files are
// checked before the race runs; a problem comes back as a message naming the file
// (and the journal line), and `state` is then of no use.
struct RescoreExtras {
    // The marshal's record, applied to the journal as it streams; none: the race
    // as recorded.
    const std::vector<Correction>* changes = nullptr;
    // Told every change that found no crossing.
    QStringList* refused = nullptr;
    // Told which crossing ended which lap.
    CrossingLog* crossings = nullptr;
    // A race paused or running at this race clock: re-scored up to it, as it stands.
    std::optional<int32_t> until;
};

std::optional<QString> rescoreRecordedRace(const QString& dataDir, const QString& journalPath,
                                           RaceState& state, const ReadProgress& progress = {},
                                           const RescoreExtras& extras = {});

// A race folder's race as corrected: its data files, its journal and the record in
// its corrections.txt (none: as recorded). Bad lines of the record and changes that
// find no crossing are skipped and told in *notes.
std::optional<QString> rescoreRaceFolder(const QString& raceFolder, RaceState& state,
                                         const ReadProgress& progress = {},
                                         QStringList* notes = nullptr);

}  // namespace lapdeck
