#include "ResultFieldReader.h"

#include <QStringDecoder>

namespace lapdeck {
namespace {

// Windows-1252 where it differs from Latin-1 (0x80..0x9F); its five unused bytes
// keep their Latin-1 code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

}  // namespace

QString decodeResultText(const QByteArray& bytes) {
    // Without ConvertInitialBom the decoder drops a leading byte-order mark itself.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        text = QString(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            text[i] = byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80])
                                                  : QChar(static_cast<char16_t>(byte));
        }
    }
    return text;
}

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
