#pragma once

#include <QTextBrowser>
#include <QUrl>

namespace lapdeck {

class ShellOpener;

// The page of the help and of the browser window: Lapdeck's own pages, shown here
// with their history, while web and mail addresses are handed to the desktop's
// browser (it shows local pages only).
class PageView : public QTextBrowser {
    Q_OBJECT

public:
    explicit PageView(ShellOpener& opener, QWidget* parent = nullptr);

    static bool isWebAddress(const QUrl& url);
    // A link or an address: a web address is handed on, a page of ours shown.
    void follow(const QUrl& url);
    // Hands a web address to the desktop's browser; handedOn() tells how it went.
    void handOn(const QUrl& url);

signals:
    // `opened` false: the desktop has no browser to take it (told at once, or a
    // moment later when the browser it started gave up).
    void handedOn(const QUrl& url, bool opened);

private:
    ShellOpener& m_opener;
};

}  // namespace lapdeck
