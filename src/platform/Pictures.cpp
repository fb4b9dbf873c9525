#include "Pictures.h"

#include <QDir>
#include <QFileInfo>

// The pictures are built into this static library; its resources need registering.
static void registerAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace lapdeck {

Pictures::Pictures(QString dataDir) : m_dataDir(std::move(dataDir)) {
    registerAssets();
}

QPixmap Pictures::picture(const QString& fileName) const {
    if (fileName.isEmpty()) {
        return {};
    }
    const QString local = QDir(m_dataDir).filePath(fileName);
    if (!m_dataDir.isEmpty() && QFileInfo::exists(local)) {
        QPixmap pixmap(local);
        if (!pixmap.isNull()) {
            return pixmap;
        }
    }
    return QPixmap(QStringLiteral(":/lapdeck/") + fileName);
}

QCursor Pictures::pointer(const QString& fileName) const {
    const QPixmap pixmap = picture(fileName);
    if (pixmap.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    return QCursor(pixmap, 8, 1);
}

}  // namespace lapdeck
