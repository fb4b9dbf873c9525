#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace lapdeck {

bool DesktopOpener::openDocument(const QString& fileName) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

}  // namespace lapdeck
