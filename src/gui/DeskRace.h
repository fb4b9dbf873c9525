#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "Journal.h"
#include "RaceState.h"
#include "ReplayRun.h"

namespace lapdeck {

// Where each counted lap of a re-scored race began and ended, which the race state
// does not keep, read off the re-scoring's log of crossings.
class LapCrossings {
public:
    LapCrossings() = default;
    LapCrossings(const CrossingLog& log, int firstLap);

    const CrossingLog& log() const { return m_log; }
    // The crossing that ended lap `lap` of `flag`, if that lap was counted.
    std::optional<int32_t> lapEnd(int flag, int lap) const;
    // Where lap `lap` of `flag` began: the crossing before, or the green light.
    std::optional<int32_t> lapStart(int flag, int lap) const;

private:
    CrossingLog m_log;
    int m_firstLap = 1;
    PerFlag<std::vector<int32_t>> m_ends{};  // by flag, from lap m_firstLap on
};

// Re-scores the reports `entries` with the data files of `raceFolder` into `state`,
// as the replay does, but only up to the race clock `until`: a race paused or
// running there, whatever a timed race's length says. `log` is told which crossing
// ended which lap. Returns why the race could not be scored.
std::optional<QString> rescoreUntil(const QString& raceFolder,
                                    const std::vector<JournalEntry>& entries, int32_t until,
                                    RaceState& state, CrossingLog& log);

}  // namespace lapdeck
