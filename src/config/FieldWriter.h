#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

namespace lapdeck {

// Builds the lines of a program-folder file: fields separated by commas without
// blanks, texts in double quotes, numbers bare, truth values as #TRUE# / #FALSE#,
// every line ended by CR LF. Written as UTF-8.
class FieldWriter {
public:
    // A double quote inside a text cannot be read back (quotes are not escaped), so
    // it is written as an apostrophe; line breaks and other control characters
    // become blanks for the same reason.
    FieldWriter& text(const QString& value);
    FieldWriter& number(int64_t value);
    // A Single in its shortest form of at most seven significant digits.
    FieldWriter& single(float value);
    FieldWriter& truth(bool value);
    FieldWriter& endLine();

    const QByteArray& bytes() const { return m_bytes; }

    // The text as it is written (and so as it reads back).
    static QString storable(const QString& value);

private:
    void separate();

    QByteArray m_bytes;
    bool m_lineStarted = false;
};

}  // namespace lapdeck
