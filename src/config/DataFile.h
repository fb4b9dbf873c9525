#pragma once

#include <optional>
#include <utility>

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

// Whether a file that is not there is an error, or simply gives the default.
enum class Missing { IsError, GivesDefault };

// The one way a data-folder file is loaded: read whole, then parsed by
// `parse(bytes, path)`. A file that cannot be read gives `fallback` with the error.
template <typename T, typename Parse>
LoadResult<T> load(const QString& path, Parse&& parse, T fallback, Missing missing) {
    if (missing == Missing::GivesDefault && !exists(path)) {
        return {std::move(fallback), std::nullopt};
    }
    LoadResult<QByteArray> bytes = read(path);
    if (!bytes.ok()) {
        return {std::move(fallback), bytes.error};
    }
    return parse(bytes.value, path);
}

// Writes the file whole to a temporary file beside it and renames it into place,
// so a crash or a full disk never leaves half a file.
std::optional<ConfigError> write(const QString& path, const QByteArray& bytes);

}  // namespace DataFile

}  // namespace lapdeck
