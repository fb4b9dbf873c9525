#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QFileDevice>
#include <QString>

class QIODevice;

namespace lapdeck {

// The one way Lapdeck reads and writes whole files: data-folder files, result
// files, journals and the replay's output. Failures come back as a reason in
// plain words ("the disk is full"), for a message that also names the file.

struct FileRead {
    QByteArray bytes;
    std::optional<QString> error;  // why nothing was read
};

// The whole file, or why not: missing, not a file, unreadable, or larger than
// `maxBytes` (reading an arbitrary huge file into memory would be the real fault).
FileRead readWholeFile(const QString& path, qint64 maxBytes);

// Writes the file whole to a temporary file beside it and renames it into place
// only when every byte was written, flushed and committed, so a full disk or a
// crash leaves the old file as it was. Returns why it failed.
std::optional<QString> writeWholeFile(const QString& path, const QByteArray& bytes);

struct FileToWrite {
    QString path;
    QByteArray bytes;
};
struct WriteFailure {
    QString path;
    QString reason;
};
// Several files, all or none: each is written and flushed beside its place before
// any is renamed into place, so a full disk changes none of them.
std::optional<WriteFailure> writeWholeFiles(const std::vector<FileToWrite>& files);

// Text by the one encoding rule: UTF-8 when the bytes are valid UTF-8 (a leading
// byte-order mark dropped), otherwise Windows-1252, as older lap counters wrote.
QString decodeText(const QByteArray& bytes);
bool isValidUtf8(const QByteArray& bytes);

// Reads a text line by line by the one encoding rule, holding one line at a time,
// so a large file costs the memory of what is kept of it, not of its bytes. Lines
// end at CR LF, LF or CR; the line end of the last line adds no line. A first pass
// over the whole device picks the encoding and checks every line's length.
class TextLineReader {
public:
    enum class Failure {
        None,
        LineTooLong,  // a line holds more than the limit's bytes
        Unreadable,   // the device failed; reason() says why
    };

    // `device` is open for reading and seekable; reading starts where it stands.
    TextLineReader(QIODevice& device, qint64 maxLineBytes);

    // The next line; nothing at the end, or at once when failure() is set.
    std::optional<QString> next();
    // Back to the first line.
    void rewind();
    Failure failure() const { return m_failure; }
    QString reason() const { return m_reason; }

private:
    bool nextBytes(QByteArray& line);
    bool refill();
    void fail(Failure failure);

    QIODevice& m_device;
    qint64 m_maxLineBytes;
    qint64 m_start = 0;
    bool m_utf8 = true;
    bool m_skipLineFeed = false;
    bool m_atEnd = false;
    QByteArray m_chunk;
    qsizetype m_at = 0;
    Failure m_failure = Failure::None;
    QString m_reason;
};

// A failed write's reason as a user reads it, decided from the error number of the
// failed call (errno), the file's error kind and the state of the folder it went
// to; never from the system's text, which is translated. That text is shown only
// for an error number no rule knows.
QString plainWriteReason(const QString& path, int errorNumber,
                         QFileDevice::FileError kind = QFileDevice::UnspecifiedError,
                         const QString& systemText = {});
// The same with errno as it stands: call it right after the call that failed.
QString plainWriteReason(const QString& path, const QString& systemText);

}  // namespace lapdeck
