#include "Journal.h"

namespace lapdeck {

std::vector<JournalEntry> parseJournal(const QByteArray& bytes,
                                       std::optional<JournalError>* error) {
    std::vector<JournalEntry> entries;
    auto fail = [&](int line, const QString& message) {
        if (error != nullptr) {
            *error = JournalError{line, message};
        }
        return std::vector<JournalEntry>{};
    };

    int lineNo = 0;
    int32_t previous = 0;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0) {
            end = bytes.size();
        }
        QByteArray line = bytes.mid(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith('#')) {
            continue;
        }
        const qsizetype comma = line.indexOf(',');
        if (comma < 0) {
            return fail(lineNo, QStringLiteral("no comma after the race clock"));
        }
        const QByteArray clockText = line.left(comma);
        if (clockText.isEmpty()) {
            return fail(lineNo, QStringLiteral("the race clock is missing"));
        }
        int64_t clock = 0;
        for (char c : clockText) {
            if (c < '0' || c > '9') {
                return fail(lineNo, QStringLiteral("the race clock \"%1\" is not a whole number")
                                        .arg(QString::fromLatin1(clockText)));
            }
            clock = clock * 10 + (c - '0');
            if (clock > 2147483647) {
                return fail(lineNo, QStringLiteral("the race clock is too large"));
            }
        }
        if (clock < previous) {
            return fail(
                lineNo,
                QStringLiteral("the race clock goes back from %1 to %2").arg(previous).arg(clock));
        }
        previous = static_cast<int32_t>(clock);
        entries.push_back({previous, QString::fromLatin1(line.mid(comma + 1))});
    }
    if (error != nullptr) {
        error->reset();
    }
    return entries;
}

QByteArray journalLine(int32_t clock, const QString& text) {
    return QByteArray::number(clock) + ',' + text.toLatin1() + "\r\n";
}

}  // namespace lapdeck
