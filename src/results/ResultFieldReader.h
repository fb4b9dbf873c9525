#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace lapdeck {

// Reads a text field by field as the program's files are read back: a field ends
// at a comma or a line end (CR LF, LF or CR), blanks and tabs around it are dropped,
// and a field in double quotes is taken without them (commas inside included). An
// empty line is one empty field; the line end of the last line adds no field.
class ResultFieldReader {
public:
    explicit ResultFieldReader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    // The next field, or nothing at the end of the text.
    std::optional<QString> next();

private:
    bool isLineEnd(qsizetype at) const;
    void skipDelimiter();

    QStringView m_text;
    qsizetype m_pos = 0;
};

}  // namespace lapdeck
