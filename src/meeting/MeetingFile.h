#pragma once

#include <optional>
#include <variant>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "Meeting.h"

namespace lapdeck {

// A meeting file: plain text lines ended by CR LF, each a keyword and its fields in
// the data folder's style (texts in double quotes, numbers bare, #TRUE#/#FALSE#),
// in a fixed order: the heading lines, the classes, the entries, then every run with
// its seats and its result. The README describes each line.
namespace MeetingFile {

inline const QString kFolder = QStringLiteral("Meetings");
inline const QString kSuffix = QStringLiteral(".meeting");
inline constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

// The data folder's "Meetings" folder.
QString folder(const QString& dataDir);
// "2026-12-05 Club day.meeting" in that folder; characters a file name cannot hold
// become '-'.
QString pathFor(const QString& dataDir, const Meeting& meeting);
// The meeting files there, newest date first.
QStringList list(const QString& dataDir);

QByteArray serialize(const Meeting& meeting);
// The meeting, or a message naming the file, the line and the field at fault. An
// entry whose racer's name is too long (kMaxNameLength) is left out and said in
// `leftOut`, one message a line; such a name on a seat or a result refuses the file.
std::variant<Meeting, QString> parse(const QByteArray& bytes, const QString& fileName,
                                     QStringList* leftOut = nullptr);

std::variant<Meeting, QString> load(const QString& path, QStringList* leftOut = nullptr);
// Refuses a meeting checkMeeting() refuses (it could not be read back); creates the
// folder; writes the file whole through the atomic writer.
std::optional<QString> save(const QString& path, const Meeting& meeting);

}  // namespace MeetingFile

}  // namespace lapdeck
