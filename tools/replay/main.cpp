// lapdeck-replay [--sorted] [--corrections FILE] DATA_DIR JOURNAL OUT_DIR: re-scores a
// recorded race, as the marshal corrected it when a record is given.
#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

#include "Replay.h"

namespace {

bool stderrIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

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
    // A journal that takes more than a second shows how far it is, on a terminal only.
    QElapsedTimer elapsed;
    elapsed.start();
    bool shown = false;
    lapdeck::ReadProgress progress;
    if (stderrIsTerminal()) {
        progress = [&](qint64 done, qint64 total) {
            if (total > 0 && elapsed.elapsed() > 1000) {
                std::fprintf(stderr, "\rlapdeck-replay: reading the journal: %3lld%%",
                             static_cast<long long>(done * 100 / total));
                shown = true;
            }
        };
    }
    QStringList notes;
    const int result = lapdeck::runReplay(options, message, progress, &notes);
    if (shown) {
        std::fputc('\n', stderr);
    }
    for (const QString& note : notes) {
        std::fprintf(stderr, "lapdeck-replay: %s\n", qPrintable(note));
    }
    if (result != lapdeck::kReplayOk) {
        std::fprintf(stderr, "lapdeck-replay: %s\n", qPrintable(message));
    }
    return result;
}
