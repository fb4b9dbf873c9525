#include "frmVx9Browser.h"

#include <utility>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include "PageView.h"

namespace lapdeck {
namespace {

QFrame* line(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

QString shown(const QUrl& url) {
    return url.toDisplayString(QUrl::PreferLocalFile);
}

}  // namespace

frmVx9Browser::frmVx9Browser(QUrl home, QUrl search, ShellOpener& opener, QWidget* parent)
    : QDialog(parent), m_home(std::move(home)), m_search(std::move(search)) {
    setObjectName(QStringLiteral("frmVx9Browser"));
    setModal(true);

    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto button = [this](const char* caption, QStyle::StandardPixmap icon) {
        QAction* action =
            tbToolBar->addAction(style()->standardIcon(icon), QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(caption));
        return action;
    };
    actBack = button("Back", QStyle::SP_ArrowBack);
    actForward = button("Forward", QStyle::SP_ArrowForward);
    actStop = button("Stop", QStyle::SP_BrowserStop);
    actRefresh = button("Refresh", QStyle::SP_BrowserReload);
    actHome = button("Home", QStyle::SP_DirHomeIcon);
    actSearch = button("Search", QStyle::SP_FileDialogContentsView);
    actBack->setEnabled(false);
    actForward->setEnabled(false);

    cboAddress = new QComboBox(this);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    // Typed keys reach the box, which hands them to its line edit without asking
    // that one's filters: both are watched.
    cboAddress->installEventFilter(this);
    cboAddress->lineEdit()->installEventFilter(this);

    brwWebBrowser = new PageView(opener, this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    pnlStatus = new QLabel(StatusBar1);
    pnlStatus->setObjectName(QStringLiteral("pnlStatus"));
    StatusBar1->addWidget(pnlStatus, 1);

    Line1 = line("Line1", this);
    Line2 = line("Line2", this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(tbToolBar);
    layout->addWidget(Line1);
    layout->addWidget(cboAddress);
    layout->addWidget(Line2);
    layout->addWidget(brwWebBrowser, 1);
    layout->addWidget(StatusBar1);
    resize(820, 620);

    connect(actBack, &QAction::triggered, brwWebBrowser, &QTextBrowser::backward);
    connect(actForward, &QAction::triggered, brwWebBrowser, &QTextBrowser::forward);
    connect(actStop, &QAction::triggered, this, &frmVx9Browser::stop);
    connect(actRefresh, &QAction::triggered, brwWebBrowser, &QTextBrowser::reload);
    connect(actHome, &QAction::triggered, this, [this]() { navigate(shown(m_home)); });
    connect(actSearch, &QAction::triggered, this, [this]() { navigate(shown(m_search)); });
    connect(brwWebBrowser, &QTextBrowser::backwardAvailable, actBack, &QAction::setEnabled);
    connect(brwWebBrowser, &QTextBrowser::forwardAvailable, actForward, &QAction::setEnabled);
    connect(brwWebBrowser, &QTextBrowser::sourceChanged, this, &frmVx9Browser::navigationComplete);
    connect(brwWebBrowser, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { go(url, shown(url)); });
    connect(brwWebBrowser, qOverload<const QUrl&>(&QTextBrowser::highlighted), this,
            [this](const QUrl& url) {
                pnlStatus->setText(url.isEmpty() ? QStringLiteral("Done") : shown(url));
            });
    connect(cboAddress, &QComboBox::activated, this, &frmVx9Browser::cboAddress_Click);
    connect(brwWebBrowser, &PageView::handedOn, this, [this](const QUrl& url, bool opened) {
        pnlStatus->setText(
            opened ? QStringLiteral("Opened in the desktop's web browser: ") + shown(url)
                   : QStringLiteral("No web browser could be started for ") + shown(url));
    });

    timTimer.setInterval(5);
    connect(&timTimer, &QTimer::timeout, this, &frmVx9Browser::timTimer_Timer);

    // Form_Load: the start page goes into the address box and is loaded.
    const QString start = shown(m_home);
    if (!start.isEmpty()) {
        cboAddress->addItem(start);
        navigate(start);
    }
}

void frmVx9Browser::navigate(const QString& address) {
    const QString text = address.trimmed();
    if (text.isEmpty()) {
        return;
    }
    const QString pages = QFileInfo(m_home.toLocalFile()).absolutePath();
    QUrl url;
    if (text.endsWith(u".html", Qt::CaseInsensitive) ||
        text.endsWith(u".htm", Qt::CaseInsensitive)) {
        // A page name: one of ours, or a file given by its path.
        const QString withoutScheme = text.startsWith(u"file:") ? QUrl(text).toLocalFile() : text;
        url = QUrl::fromLocalFile(QDir(pages).absoluteFilePath(withoutScheme));
    } else {
        url = QUrl::fromUserInput(text, pages);
    }
    go(url, text);
}

void frmVx9Browser::go(const QUrl& url, const QString& asTyped) {
    if (PageView::isWebAddress(url)) {
        brwWebBrowser->handOn(url);
        return;
    }
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) {
        pnlStatus->setText(QStringLiteral("Cannot find ") + asTyped);
        return;
    }
    m_pending = url;
    setWindowTitle(QStringLiteral("Working..."));
    pnlStatus->setText(QStringLiteral("Opening ") + shown(url));
    timTimer.start();
}

void frmVx9Browser::timTimer_Timer() {
    if (!m_pending.isEmpty()) {
        // Busy for this tick: the page is loaded now and the caption follows next time.
        brwWebBrowser->setSource(std::exchange(m_pending, QUrl()));
        return;
    }
    timTimer.stop();
    showPageName();
}

void frmVx9Browser::navigationComplete(const QUrl& url) {
    showPageName();
    const QString address = shown(url);
    m_updatingAddress = true;
    const int old = cboAddress->findText(address);
    if (old >= 0) {
        cboAddress->removeItem(old);
    }
    cboAddress->insertItem(0, address);
    cboAddress->setCurrentIndex(0);
    m_updatingAddress = false;
    pnlStatus->setText(QStringLiteral("Done"));
}

void frmVx9Browser::cboAddress_Click(int index) {
    if (m_updatingAddress) {
        return;
    }
    navigate(cboAddress->itemText(index));
}

void frmVx9Browser::cboAddress_KeyPress() {
    if (!m_updatingAddress) {
        navigate(cboAddress->currentText());
    }
}

// Enter in the address box goes to what is typed; the box's own Enter handling
// (which re-selects a listed entry) is not wanted on top of it.
bool frmVx9Browser::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == cboAddress || watched == cboAddress->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cboAddress_KeyPress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmVx9Browser::stop() {
    m_pending = QUrl();
    timTimer.stop();
    showPageName();
    pnlStatus->setText(QStringLiteral("Stopped"));
}

void frmVx9Browser::showPageName() {
    setWindowTitle(pageName());
}

QString frmVx9Browser::pageName() const {
    const QString title = brwWebBrowser->documentTitle();
    if (!title.isEmpty()) {
        return title;
    }
    const QString file = QFileInfo(brwWebBrowser->source().toLocalFile()).fileName();
    return file.isEmpty() ? QStringLiteral("Lapdeck") : file;
}

}  // namespace lapdeck
