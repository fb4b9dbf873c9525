#include "RaceJournal.h"

#include "Journal.h"
#include "TextFile.h"

namespace lapdeck {

std::optional<QString> RaceJournal::open(const QString& path) {
    close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return plainWriteReason(path, m_file.errorString());
    }
    m_size = m_file.size();
    return std::nullopt;
}

void RaceJournal::close() {
    if (m_file.isOpen()) {
        m_file.close();
    }
}

std::optional<QString> RaceJournal::append(int32_t clock, const QString& text) {
    return appendLine(journalLine(clock, text));
}

std::optional<QString> RaceJournal::appendLine(const QByteArray& line) {
    if (!m_file.isOpen()) {
        return std::nullopt;
    }
    if (m_file.write(line) == line.size()) {
        m_size += line.size();
        return std::nullopt;
    }
    const QString reason = plainWriteReason(m_file.fileName(), m_file.errorString());
    m_file.resize(m_size);
    m_file.close();
    return reason;
}

}  // namespace lapdeck
