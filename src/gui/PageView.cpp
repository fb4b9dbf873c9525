#include "PageView.h"

#include "ShellOpener.h"

namespace lapdeck {

PageView::PageView(ShellOpener& opener, QWidget* parent) : QTextBrowser(parent), m_opener(opener) {
    // Links are followed by the window: local pages here, web addresses outside.
    setOpenLinks(false);
}

bool PageView::isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto" || scheme == u"ftp";
}

void PageView::follow(const QUrl& url) {
    if (isWebAddress(url)) {
        handOn(url);
    } else {
        setSource(url);
    }
}

void PageView::handOn(const QUrl& url) {
    emit handedOn(url, true);
    m_opener.open(url, this, [this, url]() { emit handedOn(url, false); });
}

}  // namespace lapdeck
