#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

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

// A failed write's reason as a user reads it, from the system's error text and
// the state of the folder it went to.
QString plainWriteReason(const QString& path, const QString& systemReason);

}  // namespace lapdeck
