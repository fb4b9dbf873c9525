#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

namespace lapdeck {

// One report of a race journal: the race clock of the tick that read it and the
// text exactly as read.
struct JournalEntry {
    int32_t clock = 0;
    QString text;
};

struct JournalError {
    int line = 0;
    QString message;
};

// Reads a whole journal (one byte is one character, as the port reads them) ("CLOCK,TEXT" lines; LF
// or CR LF; blank lines and lines starting with '#' skipped). CLOCK is digits only, at most
// 2147483647, and never decreases. Either every line is good or nothing is returned.
std::vector<JournalEntry> parseJournal(const QByteArray& bytes, std::optional<JournalError>* error);

// The journal line for one report as the program appends it.
QByteArray journalLine(int32_t clock, const QString& text);

}  // namespace lapdeck
