#include "ResultFieldReader.h"

#include "TextFile.h"

namespace lapdeck {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

}  // namespace

bool ResultFieldReader::haveLine() {
    // A position past the line's end means its last field has been taken.
    if (m_pos <= m_line.size()) {
        return true;
    }
    std::optional<QString> line = m_lines.next();
    if (!line) {
        return false;
    }
    m_line = std::move(*line);
    m_pos = 0;
    return true;
}

bool ResultFieldReader::atEnd() {
    return !haveLine();
}

std::optional<QString> ResultFieldReader::failure() const {
    if (m_overlong || m_lines.failure() == TextLineReader::Failure::LineTooLong) {
        static_assert(kMaxResultCellChars == 1000, "the message names the limit");
        return QStringLiteral("it holds a cell of more than 1,000 characters, so it is damaged.");
    }
    if (m_lines.failure() == TextLineReader::Failure::Unreadable) {
        return m_lines.reason() + u'.';
    }
    return std::nullopt;
}

std::optional<QString> ResultFieldReader::next() {
    if (m_overlong || !haveLine()) {
        return std::nullopt;
    }
    const qsizetype size = m_line.size();
    while (m_pos < size && isBlank(m_line[m_pos])) {
        ++m_pos;
    }
    QString field;
    if (m_pos < size && m_line[m_pos] == u'"') {
        // A quoted field runs to the closing quote, or to the line end when there is none.
        const qsizetype start = ++m_pos;
        while (m_pos < size && m_line[m_pos] != u'"') {
            ++m_pos;
        }
        field = m_line.sliced(start, m_pos - start);
        // Anything between the closing quote and the delimiter is dropped.
        while (m_pos < size && m_line[m_pos] != u',') {
            ++m_pos;
        }
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && m_line[m_pos] != u',') {
            ++m_pos;
        }
        qsizetype end = m_pos;
        while (end > start && isBlank(m_line[end - 1])) {
            --end;
        }
        // A whole line is the usual cell: shared, not copied.
        field = start == 0 && end == size ? m_line : m_line.sliced(start, end - start);
    }
    // A comma leaves the position on the field after it, even an empty last one; the
    // line's end moves past it.
    m_pos += 1;
    if (field.size() > kMaxResultCellChars) {
        m_overlong = true;
        return std::nullopt;
    }
    return field;
}

}  // namespace lapdeck
