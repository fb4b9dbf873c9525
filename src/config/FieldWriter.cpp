#include "FieldWriter.h"

#include "NumberFormat.h"

namespace lapdeck {

QString FieldWriter::storable(const QString& value) {
    QString out = value;
    out.replace(QLatin1Char('"'), QLatin1Char('\''));
    // Line breaks, tabs and other control characters become blanks: a file holding
    // them is refused when read.
    for (QChar& c : out) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    return out;
}

void FieldWriter::separate() {
    if (m_lineStarted) {
        m_bytes.append(',');
    }
    m_lineStarted = true;
}

FieldWriter& FieldWriter::text(const QString& value) {
    separate();
    m_bytes.append('"');
    m_bytes.append(storable(value).toUtf8());
    m_bytes.append('"');
    return *this;
}

FieldWriter& FieldWriter::number(int64_t value) {
    separate();
    m_bytes.append(QByteArray::number(static_cast<qlonglong>(value)));
    return *this;
}

FieldWriter& FieldWriter::single(float value) {
    separate();
    m_bytes.append(shortestSingle(value).toLatin1());
    return *this;
}

FieldWriter& FieldWriter::truth(bool value) {
    separate();
    m_bytes.append(value ? "#TRUE#" : "#FALSE#");
    return *this;
}

FieldWriter& FieldWriter::endLine() {
    m_bytes.append("\r\n");
    m_lineStarted = false;
    return *this;
}

}  // namespace lapdeck
