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
int runReplay(const ReplayOptions& options, QString& message, const ReadProgress& progress = {});

}  // namespace lapdeck
