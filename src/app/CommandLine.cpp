#include "CommandLine.h"

#include <QTextStream>

namespace lapdeck {

std::optional<int> answerCommandLine(const QStringList& arguments, QTextStream& out) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == u"--version" || argument == u"-v") {
            out << "lapdeck " << LAPDECK_VERSION << '\n';
            return 0;
        }
        if (argument == u"--help" || argument == u"-h") {
            out << "Usage: lapdeck [--help | --version]\n"
                   "Lapdeck, a lap counter and race timer for model car racing.\n"
                   "\n"
                   "  -h, --help     show this help and exit\n"
                   "  -v, --version  show the version and exit\n"
                   "\n"
                   "Settings, racers and race journals are kept in the data folder: for an\n"
                   "installed Lapdeck the per-user folder ~/.local/share/Lapdeck; for a\n"
                   "portable copy its own folder when that can be written. LAPDECK_DATA_DIR\n"
                   "names another folder. Help > Help (F1) in the program explains the rest.\n";
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace lapdeck
