#include "AssetFolders.h"

#include <QDir>
#include <QFileInfo>

namespace lapdeck {

AssetFolders AssetFolders::locate(const QString& programDir) {
    const QDir program(programDir);
    // LAPDECK_ASSETS_FROM_BINDIR is the install's share folder seen from its bin folder.
    const QString shared =
        QDir::cleanPath(program.filePath(QStringLiteral(LAPDECK_ASSETS_FROM_BINDIR)));
    for (const auto& [root, installed] : {std::pair{programDir, false}, std::pair{shared, true}}) {
        if (QFileInfo(QDir(root).filePath(QStringLiteral("help/index.html"))).isFile() ||
            QFileInfo(QDir(root).filePath(QStringLiteral("sounds"))).isDir()) {
            return {root, installed};
        }
    }
    return {programDir, false};
}

QString AssetFolders::sounds() const {
    return QDir(root).filePath(QStringLiteral("sounds"));
}

QString AssetFolders::help() const {
    return QDir(root).filePath(QStringLiteral("help"));
}

QString AssetFolders::soundFile(const QString& dataDir, const QString& file) const {
    const QString own = QDir(dataDir).filePath(file);
    if (!dataDir.isEmpty() && QFileInfo(own).isFile()) {
        return own;
    }
    return QDir(sounds()).filePath(file);
}

}  // namespace lapdeck
