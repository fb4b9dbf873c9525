#pragma once

#include <cstdint>
#include <optional>

#include <QStringList>

class QTextStream;

namespace lapdeck {

// Answers --help and --version, and refuses a --live-results it cannot read, before
// any window is made: they must work on a terminal without a display. Returns the
// exit status when the command line was answered; nothing when Lapdeck should start
// (Qt's own options pass through).
std::optional<int> answerCommandLine(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err);

// What the command line asks of this run alone; nothing is kept of it.
struct RunChoices {
    // --live-results[=PORT]: serve live results from the start, on PORT or the port
    // of the data folder's choice (0).
    std::optional<uint16_t> livePort;
};
// Reads a command line answerCommandLine() has let through.
RunChoices runChoices(const QStringList& arguments);

}  // namespace lapdeck
