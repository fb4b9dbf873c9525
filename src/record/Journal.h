#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace lapdeck {

// One report of a race journal: the race clock of the tick that read it and the
// text exactly as read.
struct JournalEntry {
    int32_t clock = 0;
    QString text;
};

struct JournalError {
    qint64 line = 0;  // 0: the file itself failed, no line is to blame
    QString message;
};

// How far a long read has come, in bytes of `total` (0 when the size is unknown).
using ReadProgress = std::function<void(qint64 done, qint64 total)>;

// Whether a report reads as a flag number 1 to 6, as the race reads it. Only such
// reports can count a lap.
bool readsAsFlag(QStringView text);
bool readsAsFlag(QByteArrayView latin1);

// A journal read one report at a time: the file as written, or the file as the
// marshal's record corrects it.
class JournalSource {
public:
    virtual ~JournalSource() = default;
    // Moves to the next report; false at the end (or at a bad line).
    virtual bool next() = 0;
    virtual int32_t clock() const = 0;
    // Valid until the next call of next().
    virtual QByteArrayView text() const = 0;
    QString textString() const { return QString::fromLatin1(text()); }
};

// Reads a journal one report at a time, as a stream: a journal of any length costs
// the memory of one chunk. Lines are "CLOCK,TEXT" (one byte is one character, as
// the port reads them; LF or CR LF; blank lines and lines starting with '#'
// skipped). CLOCK is digits only, at most 2147483647, and never decreases. The first
// bad line ends the reading with an error naming it.
class JournalReader : public JournalSource {
public:
    // `device` is open for reading and outlives the reader.
    explicit JournalReader(QIODevice& device);
    explicit JournalReader(QByteArray bytes);

    // Moves to the next report; false at the end or at the first bad line.
    bool next() override;
    int32_t clock() const override { return m_clock; }
    QByteArrayView text() const override { return m_text; }

    const std::optional<JournalError>& error() const { return m_error; }
    // Told after every chunk read (a mebibyte), so a long read can show a progress bar.
    void setProgress(ReadProgress progress) { m_progress = std::move(progress); }

private:
    bool fill();
    bool fail(const QString& message);

    QIODevice* m_device = nullptr;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    qint64 m_read = 0;
    qint64 m_total = 0;
    qint64 m_line = 0;
    int32_t m_clock = 0;
    QByteArrayView m_text;
    std::optional<JournalError> m_error;
    ReadProgress m_progress;
};

// A whole journal in memory. Either every line is good or nothing is returned.
std::vector<JournalEntry> parseJournal(const QByteArray& bytes, std::optional<JournalError>* error);

// The journal line for one report as the program appends it.
QByteArray journalLine(int32_t clock, const QString& text);

// A note at race clock `clock`, skipped by every reader of the journal: "#CLOCK,TEXT".
// Line breaks in the text become blanks.
QByteArray journalComment(int32_t clock, const QString& text);

// A race clock as the race screen shows it: minutes and seconds, "04:07".
QString raceTimeText(int32_t clock);

}  // namespace lapdeck
