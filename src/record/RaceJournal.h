#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace lapdeck {

// The journal of the race being run: one "CLOCK,TEXT" line per report, handed to
// the operating system as the report is read. Nothing waits in a buffer of ours,
// so a crash of Lapdeck loses no report; there is no sync to the disk per report,
// which would cost the race tick its time.
class RaceJournal {
public:
    // Creates the journal (an existing one is added to). Returns why not.
    std::optional<QString> open(const QString& path);
    void close();
    bool isOpen() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

    // Appends one report. The first failure is returned, cuts off any part of the
    // line that reached the file and closes the journal, so it stays a clean record
    // of the race up to there; a report after a gap would tell a false race.
    std::optional<QString> append(int32_t clock, const QString& text);
    // The same for a whole line: a report's or a comment's.
    std::optional<QString> appendLine(const QByteArray& line);

private:
    QFile m_file;
    qint64 m_size = 0;
};

}  // namespace lapdeck
