#include "ResultFieldReader.h"

namespace lapdeck {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

}  // namespace

bool ResultFieldReader::isLineEnd(qsizetype at) const {
    return at < m_text.size() && (m_text[at] == u'\r' || m_text[at] == u'\n');
}

void ResultFieldReader::skipDelimiter() {
    if (m_pos >= m_text.size()) {
        return;
    }
    if (m_text[m_pos] == u',') {
        ++m_pos;
    } else if (m_text[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n') {
            ++m_pos;
        }
    } else if (m_text[m_pos] == u'\n') {
        ++m_pos;
    }
}

std::optional<QString> ResultFieldReader::next() {
    if (atEnd()) {
        return std::nullopt;
    }
    const qsizetype size = m_text.size();
    while (m_pos < size && isBlank(m_text[m_pos])) {
        ++m_pos;
    }
    QString field;
    if (m_pos < size && m_text[m_pos] == u'"') {
        // A quoted field runs to the closing quote, or to the line end when there is none.
        const qsizetype start = ++m_pos;
        while (m_pos < size && m_text[m_pos] != u'"' && !isLineEnd(m_pos)) {
            ++m_pos;
        }
        field = m_text.sliced(start, m_pos - start).toString();
        if (m_pos < size && m_text[m_pos] == u'"') {
            ++m_pos;
        }
        // Anything between the closing quote and the delimiter is dropped.
        while (m_pos < size && m_text[m_pos] != u',' && !isLineEnd(m_pos)) {
            ++m_pos;
        }
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && m_text[m_pos] != u',' && !isLineEnd(m_pos)) {
            ++m_pos;
        }
        qsizetype end = m_pos;
        while (end > start && isBlank(m_text[end - 1])) {
            --end;
        }
        field = m_text.sliced(start, end - start).toString();
    }
    skipDelimiter();
    return field;
}

}  // namespace lapdeck
