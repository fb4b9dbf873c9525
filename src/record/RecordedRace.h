#pragma once

#include <optional>

#include <QString>

#include "RaceState.h"

namespace lapdeck {

// A journal of the longest race is a few hundred kilobytes; anything near this
// is not a journal.
inline constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;

// Re-scores a recorded race into `state`: the data files in force at its start
// (a data folder, or a race folder's copies) and its journal. Everything is read
// and checked before the race runs; a problem comes back as a message naming the
// file (and the journal line), and `state` is then of no use.
std::optional<QString> rescoreRecordedRace(const QString& dataDir, const QString& journalPath,
                                           RaceState& state);

}  // namespace lapdeck
