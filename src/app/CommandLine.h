#pragma once

#include <optional>

#include <QStringList>

class QTextStream;

namespace lapdeck {

// Answers --help and --version, before any window is made: they must work on a
// terminal without a display. Returns the exit status when the command line was
// answered; nothing when Lapdeck should start (Qt's own options pass through).
std::optional<int> answerCommandLine(const QStringList& arguments, QTextStream& out);

}  // namespace lapdeck
