#include "CommandLine.h"

#include <QTextStream>

namespace lapdeck {
namespace {

const QString kLiveOption = QStringLiteral("--live-results");

// The port of "--live-results" (0: none given) or "--live-results=PORT"; nothing for
// another argument, -1 for a port that is not one.
std::optional<int> livePortOf(const QString& argument) {
    if (argument == kLiveOption) {
        return 0;
    }
    if (!argument.startsWith(kLiveOption + u'=')) {
        return std::nullopt;
    }
    bool ok = false;
    const int port = argument.mid(kLiveOption.size() + 1).toInt(&ok);
    return ok && port >= 1 && port <= 65535 ? port : -1;
}

}  // namespace

std::optional<int> answerCommandLine(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == u"--version" || argument == u"-v") {
            out << "lapdeck " << LAPDECK_VERSION << '\n';
            return 0;
        }
        if (argument == u"--help" || argument == u"-h") {
            out << "Usage: lapdeck [--help | --version | --live-results[=PORT]]\n"
                   "Lapdeck, a lap counter and race timer for model car racing.\n"
                   "\n"
                   "  -h, --help                show this help and exit\n"
                   "  -v, --version             show the version and exit\n"
                   "  --live-results[=PORT]     serve live results to phones on the network\n"
                   "                            for this run, on PORT (1 to 65535) or on the\n"
                   "                            port chosen in Settings > Live Results\n"
                   "\n"
                   "Settings, racers and race journals are kept in the data folder: for an\n"
                   "installed Lapdeck the per-user folder ~/.local/share/Lapdeck; for a\n"
                   "portable copy its own folder when that can be written. LAPDECK_DATA_DIR\n"
                   "names another folder. Help > Help (F1) in the program explains the rest.\n";
            return 0;
        }
        if (livePortOf(argument) == -1) {
            err << "lapdeck: " << argument << ": the port must be a number from 1 to 65535\n";
            return 2;
        }
    }
    return std::nullopt;
}

RunChoices runChoices(const QStringList& arguments) {
    RunChoices choices;
    for (const QString& argument : arguments.mid(1)) {
        if (const auto port = livePortOf(argument); port && *port >= 0) {
            choices.livePort = static_cast<uint16_t>(*port);
        }
    }
    return choices;
}

}  // namespace lapdeck
