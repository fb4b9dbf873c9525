#pragma once

#include <optional>

#include <QString>

namespace lapdeck {

class TextLineReader;

// No cell Lapdeck writes comes near this (names end at 200 characters); a longer
// one means the file is damaged.
inline constexpr int kMaxResultCellChars = 1000;
// A line of that many characters in UTF-8, at up to 4 bytes a character.
inline constexpr qint64 kMaxResultLineBytes = 4 * kMaxResultCellChars;

// Reads a result file field by field as the program's files are read back: a field
// ends at a comma or a line end, blanks and tabs around it are dropped, and a field
// in double quotes is taken without them (commas inside included). An empty line is
// one empty field. The lines come one at a time, so no field spans two.
class ResultFieldReader {
public:
    explicit ResultFieldReader(TextLineReader& lines) : m_lines(lines) {}

    bool atEnd();
    // The next field, or nothing at the end of the text or after a failure.
    std::optional<QString> next();
    // Why the reading stopped early, in words that follow "it ": a cell (or line) over
    // kMaxResultCellChars characters, or the device's failure. Nothing otherwise.
    std::optional<QString> failure() const;

private:
    bool haveLine();

    TextLineReader& m_lines;
    QString m_line;
    qsizetype m_pos = 1;  // past the end of the (empty) line: none read yet
    bool m_overlong = false;
};

}  // namespace lapdeck
