#include "Journal.h"

#include <QIODevice>

#include "NumberFormat.h"
#include "RaceState.h"
#include "ReportParser.h"

namespace lapdeck {
namespace {

constexpr qsizetype kChunk = qsizetype{1} << 20;
// No report is this long; a comment line may be and is skipped whole.
constexpr qsizetype kLongestLine = qsizetype{1} << 16;

QString tooLong() {
    return QStringLiteral("the line is longer than %1 bytes").arg(kLongestLine);
}

}  // namespace

bool readsAsFlag(QStringView text) {
    // The port gives one character per report: the common case needs no number parsing.
    if (text.size() == 1) {
        return text.front() >= u'1' && text.front() <= u'6';
    }
    const int16_t flag = parseReport(text);
    return flag >= 1 && flag <= kFlags;
}

bool readsAsFlag(QByteArrayView latin1) {
    if (latin1.size() == 1) {
        return latin1.front() >= '1' && latin1.front() <= '6';
    }
    return readsAsFlag(QString::fromLatin1(latin1));
}

JournalReader::JournalReader(QIODevice& device)
    : m_device(&device), m_total(device.isSequential() ? 0 : device.size() - device.pos()) {}

JournalReader::JournalReader(QByteArray bytes)
    : m_buffer(std::move(bytes)), m_atEnd(true), m_read(m_buffer.size()), m_total(m_read) {}

bool JournalReader::fail(const QString& message) {
    m_error = JournalError{m_line, message};
    m_text = {};
    return false;
}

bool JournalReader::fill() {
    if (m_atEnd) {
        return false;
    }
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    const qsizetype kept = m_buffer.size();
    m_buffer.resize(kept + kChunk);
    const qint64 got = m_device->read(m_buffer.data() + kept, kChunk);
    m_buffer.resize(kept + std::max<qint64>(got, 0));
    if (got < 0) {
        m_atEnd = true;
        m_line = 0;
        return fail(QStringLiteral("cannot be read: ") + m_device->errorString());
    }
    if (got == 0) {
        m_atEnd = true;
        return false;
    }
    m_read += got;
    if (m_progress) {
        m_progress(m_read, m_total);
    }
    return true;
}

bool JournalReader::next() {
    if (m_error) {
        return false;
    }
    bool skipping = false;  // inside a comment line too long to keep
    while (true) {
        qsizetype end = m_buffer.indexOf('\n', m_pos);
        while (end < 0) {
            const qsizetype partial = m_buffer.size() - m_pos;
            if (partial > kLongestLine) {
                if (!skipping && m_buffer.at(m_pos) != '#') {
                    ++m_line;
                    return fail(tooLong());
                }
                skipping = true;
                m_pos = m_buffer.size();
            }
            const qsizetype scanned = m_buffer.size() - m_pos;
            if (!fill()) {
                if (m_error) {
                    return false;
                }
                end = m_buffer.size();
                break;
            }
            end = m_buffer.indexOf('\n', scanned);
        }
        if (m_pos >= m_buffer.size() && m_atEnd && !skipping) {
            return false;
        }
        QByteArrayView line(m_buffer.constData() + m_pos, end - m_pos);
        m_pos = std::min(end + 1, m_buffer.size());
        ++m_line;
        if (skipping) {
            skipping = false;
            continue;
        }
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.startsWith('#') || line.trimmed().isEmpty()) {
            continue;
        }
        if (line.size() > kLongestLine) {
            return fail(tooLong());
        }
        const qsizetype comma = line.indexOf(',');
        if (comma < 0) {
            return fail(QStringLiteral("no comma after the race clock"));
        }
        const QByteArrayView clockText = line.first(comma);
        if (clockText.isEmpty()) {
            return fail(QStringLiteral("the race clock is missing"));
        }
        int64_t clock = 0;
        for (char c : clockText) {
            if (c < '0' || c > '9') {
                return fail(QStringLiteral("the race clock \"%1\" is not a whole number")
                                .arg(QString::fromLatin1(clockText)));
            }
            clock = clock * 10 + (c - '0');
            if (clock > 2147483647) {
                return fail(QStringLiteral("the race clock is too large"));
            }
        }
        if (clock < m_clock) {
            return fail(
                QStringLiteral("the race clock goes back from %1 to %2").arg(m_clock).arg(clock));
        }
        m_clock = static_cast<int32_t>(clock);
        m_text = line.sliced(comma + 1);
        return true;
    }
}

std::vector<JournalEntry> parseJournal(const QByteArray& bytes,
                                       std::optional<JournalError>* error) {
    std::vector<JournalEntry> entries;
    JournalReader reader(bytes);
    while (reader.next()) {
        entries.push_back({reader.clock(), reader.textString()});
    }
    if (error != nullptr) {
        *error = reader.error();
    }
    if (reader.error()) {
        entries.clear();
    }
    return entries;
}

QByteArray journalLine(int32_t clock, const QString& text) {
    return QByteArray::number(clock) + ',' + text.toLatin1() + "\r\n";
}

QByteArray journalComment(int32_t clock, const QString& text) {
    QByteArray line = '#' + journalLine(clock, text);
    line.chop(2);
    line.replace('\r', ' ').replace('\n', ' ');
    return line + "\r\n";
}

QString raceTimeText(int32_t clock) {
    const int32_t seconds = std::max(clock, 0) / 1000;
    return formatNumber(seconds / 60, u"00") + QLatin1Char(':') + formatNumber(seconds % 60, u"00");
}

}  // namespace lapdeck
