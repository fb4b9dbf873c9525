#pragma once

#include <optional>

#include <QString>

#include "Journal.h"
#include "RaceState.h"

namespace lapdeck {

// Re-scores a recorded race into `state`: the data files in force at its start
// (a data folder, or a race folder's copies) and its journal, read as a stream (no
// size limit but the disk's; `progress` is told as it is read). The data files are
// checked before the race runs; a problem comes back as a message naming the file
// (and the journal line), and `state` is then of no use.
std::optional<QString> rescoreRecordedRace(const QString& dataDir, const QString& journalPath,
                                           RaceState& state, const ReadProgress& progress = {});

}  // namespace lapdeck
