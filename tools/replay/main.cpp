// lapdeck-replay [--sorted] DATA_DIR JOURNAL OUT_DIR: re-scores a recorded race.
#include <cstdio>

#include <QCoreApplication>

#include "Replay.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    lapdeck::ReplayOptions options;
    QString message;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (!lapdeck::parseReplayArguments(arguments, options, message)) {
        std::fprintf(stderr, "lapdeck-replay: %s\n", qPrintable(message));
        return lapdeck::kReplayFailed;
    }
    const int result = lapdeck::runReplay(options, message);
    if (result != lapdeck::kReplayOk) {
        std::fprintf(stderr, "lapdeck-replay: %s\n", qPrintable(message));
    }
    return result;
}
