#pragma once

#include <QByteArray>
#include <QDateTime>

#include "RaceState.h"
#include "RaceSummary.h"
#include "ResultGrid.h"

namespace lapdeck {

// The four result files of a race, byte for byte as the program saves them.
struct RaceResultFiles {
    QByteArray lapFile;      // laps.lap: the lap table (sorted when state.SortByLapTime)
    QByteArray lapText;      // laps.txt: always in lap order
    QByteArray summaryFile;  // summary.sum
    QByteArray summaryText;  // summary.txt
};

// Runs what the user does after a race, in the program's order: open the lap table
// and save it in both forms, open the summary and save it in both forms. The lap
// table sorts the state's sorted copy when asked and the summary refreshes the medians
// and `stats`, as the windows do. A race without positions gives the lap table's
// message.
Expected<RaceResultFiles> buildRaceResultFiles(RaceState& state, SummaryStats& stats,
                                               const QDateTime& now);

}  // namespace lapdeck
