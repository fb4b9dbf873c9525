#pragma once

#include <QDialog>
#include <QTimer>
#include <QUrl>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QStatusBar;
class QToolBar;

namespace lapdeck {

class PageView;
class ShellOpener;

// The small browser of the Help menu, over Lapdeck's own pages: a toolbar, an
// address box listing the pages visited (newest first), the page, and a status bar.
// A web address is handed to the desktop's browser; the status bar says whether
// one could take it.
class frmVx9Browser : public QDialog {
    Q_OBJECT

public:
    // `home` is the start page; `search` the page the Search button opens.
    frmVx9Browser(QUrl home, QUrl search, ShellOpener& opener, QWidget* parent = nullptr);

    QToolBar* tbToolBar = nullptr;
    QAction* actBack = nullptr;
    QAction* actForward = nullptr;
    QAction* actStop = nullptr;
    QAction* actRefresh = nullptr;
    QAction* actHome = nullptr;
    QAction* actSearch = nullptr;
    QComboBox* cboAddress = nullptr;
    PageView* brwWebBrowser = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* pnlStatus = nullptr;  // the status bar's first panel
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QTimer timTimer;

    // Goes to an address typed or chosen in the address box: a page of ours, a file,
    // or a web address for the desktop's browser.
    void navigate(const QString& address);
    // Watches a page being loaded: "Working..." until it is shown.
    void timTimer_Timer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void go(const QUrl& url, const QString& asTyped);
    void cboAddress_Click(int index);
    void cboAddress_KeyPress();
    void navigationComplete(const QUrl& url);
    void stop();
    void showPageName();
    QString pageName() const;

    QUrl m_home;
    QUrl m_search;
    QUrl m_pending;
    bool m_updatingAddress = false;
};

}  // namespace lapdeck
