#include "RaceResultFiles.h"

#include "LapFile.h"
#include "LapTable.h"
#include "SummaryFile.h"

namespace lapdeck {

Expected<RaceResultFiles> buildRaceResultFiles(RaceState& state, SummaryStats& stats,
                                               const QDateTime& now) {
    Expected<LapTable> table = buildLapTable(state);
    if (!table) {
        return table.error();
    }
    RaceResultFiles files;
    files.lapFile = lapFileBytes(table.value().header, table.value().grid);
    Expected<QByteArray> lapText = lapTextBytes(state);
    if (!lapText) {
        return lapText.error();
    }
    files.lapText = lapText.value();

    Expected<RaceSummary> summary = buildRaceSummary(state, stats, now);
    if (!summary) {
        return summary.error();
    }
    files.summaryFile = summaryFileBytes(state.RaceTitle, summary.value().grid);
    files.summaryText = summaryTextBytes(state, stats).bytes;
    return files;
}

}  // namespace lapdeck
