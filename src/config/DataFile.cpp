#include "DataFile.h"

#include <QFileInfo>

#include "TextFile.h"

namespace lapdeck::DataFile {

bool exists(const QString& path) {
    return QFileInfo(path).isFile();
}

LoadResult<QByteArray> read(const QString& path) {
    FileRead file = readWholeFile(path, kMaxBytes);
    LoadResult<QByteArray> result;
    if (file.error) {
        result.error = ConfigError{path, 0, 0, *file.error};
    } else {
        result.value = std::move(file.bytes);
    }
    return result;
}

std::optional<ConfigError> write(const QString& path, const QByteArray& bytes) {
    if (const auto reason = writeWholeFile(path, bytes)) {
        return ConfigError{path, 0, 0, QStringLiteral("cannot be written: ") + *reason};
    }
    return std::nullopt;
}

}  // namespace lapdeck::DataFile
