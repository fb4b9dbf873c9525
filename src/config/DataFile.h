#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "ConfigError.h"

namespace lapdeck {

// Reading and writing a program-folder file whole.
namespace DataFile {

// Larger files are refused: nothing Lapdeck keeps there comes near this size, and
// reading an arbitrary huge file into memory would be the real failure.
inline constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

bool exists(const QString& path);

// The whole file, or an error naming it (missing, unreadable, too large).
LoadResult<QByteArray> read(const QString& path);

// Writes the file whole to a temporary file beside it and renames it into place,
// so a crash or a full disk never leaves half a file.
std::optional<ConfigError> write(const QString& path, const QByteArray& bytes);

}  // namespace DataFile

}  // namespace lapdeck
