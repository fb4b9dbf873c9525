#include "ShellOpener.h"

#include <QDesktopServices>

namespace lapdeck {

bool DesktopShellOpener::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

}  // namespace lapdeck
