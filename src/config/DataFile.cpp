#include "DataFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace lapdeck::DataFile {

bool exists(const QString& path) {
    return QFileInfo(path).isFile();
}

LoadResult<QByteArray> read(const QString& path) {
    LoadResult<QByteArray> result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = ConfigError{path, 0, 0, QStringLiteral("the file does not exist")};
        return result;
    }
    if (!info.isFile()) {
        result.error = ConfigError{path, 0, 0, QStringLiteral("this is not a file")};
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = ConfigError{path, 0, 0, file.errorString()};
        return result;
    }
    if (file.size() > kMaxBytes) {
        result.error = ConfigError{path, 0, 0, QStringLiteral("the file is too large")};
        return result;
    }
    result.value = file.read(kMaxBytes + 1);
    if (result.value.size() > kMaxBytes) {
        result.value.clear();
        result.error = ConfigError{path, 0, 0, QStringLiteral("the file is too large")};
    } else if (file.error() != QFileDevice::NoError) {
        result.value.clear();
        result.error = ConfigError{path, 0, 0, file.errorString()};
    }
    return result;
}

std::optional<ConfigError> write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return ConfigError{path, 0, 0, QStringLiteral("cannot be written: ") + file.errorString()};
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return ConfigError{path, 0, 0, QStringLiteral("cannot be written: ") + reason};
    }
    if (!file.commit()) {
        return ConfigError{path, 0, 0, QStringLiteral("cannot be written: ") + file.errorString()};
    }
    return std::nullopt;
}

}  // namespace lapdeck::DataFile
