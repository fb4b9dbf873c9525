#pragma once

#include <QString>
#include <QStringList>

#include "Journal.h"

namespace lapdeck {

struct ReplayOptions {
    bool sorted = false;
    QString dataDir;
    QString journal;
    QString outDir;
    QString corrections = {};  // the marshal's record to apply; empty: the race as recorded
};

// Exit codes of the replay tool.
inline constexpr int kReplayOk = 0;
inline constexpr int kReplayFailed = 2;

// Parses the command line; on a usage error returns false and sets `message`.
bool parseReplayArguments(const QStringList& arguments, ReplayOptions& options, QString& message);

// Re-scores a recorded race and writes laps.lap, laps.txt, summary.sum and
// summary.txt into the output folder. On any problem nothing is written, `message`
// says what (naming the file and line) and the result is kReplayFailed. `progress`
// is told as the journal is read.
// Changes of the record that are skipped (a bad line, no crossing to change) are
// told in *notes; the results are written without them.
int runReplay(const ReplayOptions& options, QString& message, const ReadProgress& progress = {},
              QStringList* notes = nullptr);

}  // namespace lapdeck
