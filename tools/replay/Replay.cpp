#include "Replay.h"

#include <QDir>
#include <QFileInfo>

#include "Corrections.h"
#include "RaceResultFiles.h"
#include "RaceSummary.h"
#include "RecordedRace.h"
#include "TextFile.h"

namespace lapdeck {

bool parseReplayArguments(const QStringList& arguments, ReplayOptions& options, QString& message) {
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--sorted")) {
            options.sorted = true;
        } else if (argument == QStringLiteral("--corrections")) {
            if (i + 1 == arguments.size()) {
                message = QStringLiteral("--corrections needs a file");
                return false;
            }
            options.corrections = arguments[++i];
        } else if (argument.startsWith(QStringLiteral("--"))) {
            message = QStringLiteral("unknown option %1").arg(argument);
            return false;
        } else {
            positional << argument;
        }
    }
    if (positional.size() != 3) {
        message = QStringLiteral(
            "usage: lapdeck-replay [--sorted] [--corrections FILE] DATA_DIR "
            "JOURNAL OUT_DIR");
        return false;
    }
    options.dataDir = positional[0];
    options.journal = positional[1];
    options.outDir = positional[2];
    return true;
}

int runReplay(const ReplayOptions& options, QString& message, const ReadProgress& progress,
              QStringList* notes) {
    CorrectionsRead record;
    QStringList refused;
    RescoreExtras extras;
    if (!options.corrections.isEmpty()) {
        // Named on the command line, so a missing file is a mistake, not an empty record.
        if (!QFileInfo(options.corrections).isFile()) {
            message = QStringLiteral("%1: cannot be read: the file does not exist")
                          .arg(options.corrections);
            return kReplayFailed;
        }
        record = readCorrections(options.corrections);
        if (record.error) {
            message = *record.error;
            return kReplayFailed;
        }
        extras.changes = &record.changes;
        extras.refused = &refused;
    }
    RaceState state;
    if (const auto problem =
            rescoreRecordedRace(options.dataDir, options.journal, state, progress, extras)) {
        message = *problem;
        return kReplayFailed;
    }
    if (notes != nullptr) {
        *notes = record.skipped;
        for (const QString& change : refused) {
            *notes << options.corrections + QStringLiteral(": ") + change;
        }
    }

    state.SortByLapTime = options.sorted;
    SummaryStats stats;
    Expected<RaceResultFiles> files =
        buildRaceResultFiles(state, stats, QDateTime::currentDateTime());
    if (!files.ok()) {
        message = files.error().text;
        return kReplayFailed;
    }

    // All four or none.
    if (!QDir().mkpath(options.outDir)) {
        message = QStringLiteral("%1: cannot create the folder").arg(options.outDir);
        return kReplayFailed;
    }
    const QDir out(options.outDir);
    const RaceResultFiles& result = files.value();
    if (const auto failure =
            writeWholeFiles({{out.filePath(QStringLiteral("laps.lap")), result.lapFile},
                             {out.filePath(QStringLiteral("laps.txt")), result.lapText},
                             {out.filePath(QStringLiteral("summary.sum")), result.summaryFile},
                             {out.filePath(QStringLiteral("summary.txt")), result.summaryText}})) {
        message = QStringLiteral("%1: cannot be written: %2").arg(failure->path, failure->reason);
        return kReplayFailed;
    }
    return kReplayOk;
}

}  // namespace lapdeck
