#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "ConfigError.h"

namespace lapdeck {

// Reads the comma-separated fields of a program-folder file one at a time, the way
// they were written: texts in double quotes (no escapes: a text ends at the next
// quote, and anything after it up to the next comma or line end is skipped), bare
// numbers, #TRUE# / #FALSE#. Line ends are CR LF, LF or CR; fields run on across
// lines. Every read that fails returns nothing and keeps the first error with its
// line and field; later fields can still be read.
class FieldReader {
public:
    // `fileName` only names the file in errors. The bytes are decoded by the one
    // encoding rule (decodeText).
    FieldReader(QString fileName, const QByteArray& bytes);

    // True when only blanks and line ends are left.
    bool atEnd() const;

    std::optional<QString> readText();
    std::optional<int16_t> readInt16();
    std::optional<int32_t> readInt32();
    std::optional<double> readNumber();
    std::optional<bool> readBool();

    // Records a problem with the field just read (for example a position outside
    // its list), unless an earlier problem is already recorded.
    void failLastField(const QString& reason);
    // A position in `list`, or -1 for none, into `target`; any other number is an
    // error naming the field, and `target` keeps its value.
    void readPosition(const QStringList& list, int16_t& target);

    const std::optional<ConfigError>& error() const { return m_error; }
    int lastLine() const { return m_lastLine; }
    int lastField() const { return m_lastField; }

private:
    struct Token {
        QString text;
        bool quoted = false;
    };
    std::optional<Token> next();
    std::optional<int64_t> readWhole(int64_t low, int64_t high);
    void fail(int line, int field, const QString& reason);
    void skipBlanks();
    bool atLineEnd() const;
    void consumeLineEnd();

    QString m_fileName;
    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_field = 1;  // field number the next token has within its line
    int m_lastLine = 0;
    int m_lastField = 0;
    std::optional<ConfigError> m_error;
};

}  // namespace lapdeck
