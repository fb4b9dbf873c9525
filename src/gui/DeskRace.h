#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "Journal.h"
#include "RaceState.h"
#include "ReplayRun.h"

namespace lapdeck {

// Re-scores the reports `entries` with the data files of `raceFolder` into `state`,
// as the replay does, but only up to the race clock `until`: a race paused or
// running there, whatever a timed race's length says. `log` is told which crossing
// ended which lap. Returns why the race could not be scored.
std::optional<QString> rescoreUntil(const QString& raceFolder,
                                    const std::vector<JournalEntry>& entries, int32_t until,
                                    RaceState& state, CrossingLog& log);

}  // namespace lapdeck
