#pragma once

#include <QDateTime>

#include "RaceArchive.h"
#include "RaceHost.h"
#include "RaceState.h"

namespace lapdeck {

// At start-up: the races Lapdeck did not see to their end (a crash, a kill, a power
// cut), offered one by one, newest first. No marks a race so that it is not asked
// about again (its folder stays); Yes re-scores its journal into `recovered`, shown
// as a race that is over, its results not yet saved. True when a race was recovered.
bool offerRecovery(const RaceArchive& archive, Prompter& prompter, RaceState& recovered);

// Re-scores a race folder into `state` and shows it as over: the race's own
// settings, its end time from the journal's last write. Returns the problem.
std::optional<QString> loadRecordedRace(const RaceRecord& race, RaceState& state);

}  // namespace lapdeck
