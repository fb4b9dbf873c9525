#pragma once

#include <QDateTime>

#include "Journal.h"
#include "RaceArchive.h"
#include "RaceHost.h"
#include "RaceState.h"
#include "RecordedRace.h"

namespace lapdeck {

// At start-up: the races Lapdeck did not see to their end (a crash, a kill, a power
// cut), offered one by one, newest first. No marks a race so that it is not asked
// about again (its folder stays); Yes re-scores its journal into `recovered`, shown
// as a race that is over, its results not yet saved. A race whose journal holds no
// crossing has nothing to recover: it is marked without a question. A journal cut
// short (a full disk) is offered as what it is. True when a race was recovered.
bool offerRecovery(const RaceArchive& archive, Prompter& prompter, RaceState& recovered,
                   const ReadProgress& progress = {});

// Re-scores a race folder into `state` and shows it as over: the race's own
// settings, its end time from the journal's last write, the marshal's record in
// its corrections.txt applied (what of it was skipped is told in *notes). Returns
// the problem.
std::optional<QString> loadRecordedRace(const RaceRecord& race, RaceState& state,
                                        const ReadProgress& progress = {},
                                        QStringList* notes = nullptr);
// The same with the record given (the marshal's desk holds it).
std::optional<QString> loadRecordedRace(const RaceRecord& race, RaceState& state,
                                        const ReadProgress& progress, const RescoreExtras& extras);

// What the organiser is told about a journal cut short; empty for a whole one.
QString journalCutText(const RaceRecord& race);

}  // namespace lapdeck
