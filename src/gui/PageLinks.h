#pragma once

#include <QUrl>

namespace lapdeck {

// Lapdeck's own pages open in its windows; web and mail addresses are handed to the
// desktop, since the windows show local pages only.
inline bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto" || scheme == u"ftp";
}

}  // namespace lapdeck
