#include "FieldReader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "TextFile.h"

namespace lapdeck {
namespace {

QString quotedForError(const QString& text) {
    constexpr qsizetype kShown = 40;
    QString shown = text.size() > kShown ? text.left(kShown) + QStringLiteral("...") : text;
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Plain decimal only: optional sign, digits, optional point and digits, optional
// exponent. No hex, no "inf"/"nan", no blanks inside.
std::optional<double> parseDecimal(const QString& text) {
    std::string s;
    s.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'0' && u <= u'9') || u == u'.' || u == u'+' || u == u'-' ||
                             u == u'e' || u == u'E';
        if (!allowed) {
            return std::nullopt;
        }
        s.push_back(static_cast<char>(u));
    }
    if (s.empty()) {
        return std::nullopt;
    }
    size_t start = 0;
    if (s[0] == '+') {
        start = 1;  // from_chars takes no plus sign
        if (s.size() > 1 && s[1] == '-') {
            return std::nullopt;
        }
    }
    if (start < s.size() && (s[start] < '0' || s[start] > '9') && s[start] != '-' &&
        s[start] != '.') {
        return std::nullopt;
    }
    double value = 0.0;
    const char* first = s.data() + start;
    const char* last = s.data() + s.size();
    const auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

FieldReader::FieldReader(QString fileName, const QByteArray& bytes)
    : m_fileName(std::move(fileName)), m_text(decodeText(bytes)) {}

void FieldReader::skipBlanks() {
    while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
        ++m_pos;
    }
}

bool FieldReader::atLineEnd() const {
    return m_pos < m_text.size() && (m_text[m_pos] == u'\r' || m_text[m_pos] == u'\n');
}

void FieldReader::consumeLineEnd() {
    if (m_text[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n') {
            ++m_pos;
        }
    } else {
        ++m_pos;
    }
    ++m_line;
    m_field = 1;
}

bool FieldReader::atEnd() const {
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (!isBlank(c) && c != u'\r' && c != u'\n') {
            return false;
        }
    }
    return true;
}

void FieldReader::fail(int line, int field, const QString& reason) {
    if (!m_error) {
        m_error = ConfigError{m_fileName, line, field, reason};
    }
}

void FieldReader::failLastField(const QString& reason) {
    fail(m_lastLine, m_lastField, reason);
}

std::optional<FieldReader::Token> FieldReader::next() {
    if (atEnd()) {
        // The missing field is the one after the last field read.
        if (m_lastLine == 0) {
            m_lastLine = 1;
        }
        ++m_lastField;
        fail(m_lastLine, m_lastField,
             QStringLiteral("the file ends too early (a field is missing)"));
        m_pos = m_text.size();
        return std::nullopt;
    }
    skipBlanks();
    m_lastLine = m_line;
    m_lastField = m_field;
    Token token;
    if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype lineEnd = [&] {
            qsizetype i = m_pos + 1;
            while (i < m_text.size() && m_text[i] != u'\r' && m_text[i] != u'\n') {
                ++i;
            }
            return i;
        }();
        if (close < 0 || close > lineEnd) {
            fail(m_line, m_field, QStringLiteral("a text has no closing double quote"));
            token.text = m_text.mid(m_pos + 1, lineEnd - m_pos - 1);
            m_pos = lineEnd;
        } else {
            token.text = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
        }
        token.quoted = true;
        // A quote inside a text was never escaped: the rest up to the delimiter is lost.
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !atLineEnd()) {
            ++m_pos;
        }
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !atLineEnd()) {
            ++m_pos;
        }
        token.text = m_text.mid(start, m_pos - start).trimmed();
    }
    if (m_pos >= m_text.size()) {
        // end of the text: no delimiter to take
    } else if (m_text[m_pos] == u',') {
        ++m_pos;
        ++m_field;
    } else {
        consumeLineEnd();
    }
    return token;
}

std::optional<QString> FieldReader::readText() {
    auto token = next();
    if (!token) {
        return std::nullopt;
    }
    return token->text;
}

std::optional<int64_t> FieldReader::readWhole(int64_t low, int64_t high) {
    auto token = next();
    if (!token) {
        return std::nullopt;
    }
    const std::optional<double> value = parseDecimal(token->text);
    if (!value || *value != std::trunc(*value)) {
        fail(m_lastLine, m_lastField,
             quotedForError(token->text) + QStringLiteral(" is not a whole number"));
        return std::nullopt;
    }
    if (*value < static_cast<double>(low) || *value > static_cast<double>(high)) {
        fail(m_lastLine, m_lastField,
             quotedForError(token->text) + QStringLiteral(" is out of range"));
        return std::nullopt;
    }
    return static_cast<int64_t>(*value);
}

std::optional<int16_t> FieldReader::readInt16() {
    const auto v =
        readWhole(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
    if (!v) {
        return std::nullopt;
    }
    return static_cast<int16_t>(*v);
}

std::optional<int32_t> FieldReader::readInt32() {
    const auto v =
        readWhole(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    if (!v) {
        return std::nullopt;
    }
    return static_cast<int32_t>(*v);
}

std::optional<double> FieldReader::readNumber() {
    auto token = next();
    if (!token) {
        return std::nullopt;
    }
    const std::optional<double> value = parseDecimal(token->text);
    if (!value) {
        fail(m_lastLine, m_lastField,
             quotedForError(token->text) + QStringLiteral(" is not a number"));
    }
    return value;
}

std::optional<bool> FieldReader::readBool() {
    auto token = next();
    if (!token) {
        return std::nullopt;
    }
    if (!token->quoted) {
        if (token->text.compare(u"#TRUE#", Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (token->text.compare(u"#FALSE#", Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    fail(m_lastLine, m_lastField,
         quotedForError(token->text) + QStringLiteral(" is not #TRUE# or #FALSE#"));
    return std::nullopt;
}

void FieldReader::readPosition(const QStringList& list, int16_t& target) {
    const auto pos = readInt16();
    if (!pos) {
        return;
    }
    if (*pos < -1 || *pos >= list.size()) {
        failLastField(QStringLiteral("position ") + QString::number(*pos) +
                      QStringLiteral(" is outside its list of ") + QString::number(list.size()) +
                      QStringLiteral(" entries"));
        return;
    }
    target = *pos;
}

}  // namespace lapdeck
