#include "HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QVBoxLayout>

#include "PageView.h"

namespace lapdeck {
namespace {

const QString kContents = QStringLiteral("index.html");

}  // namespace

HelpViewer::HelpViewer(QString folder, ShellOpener& opener, QWidget* parent)
    : QDialog(parent), m_folder(std::move(folder)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Lapdeck Help"));
    setModal(false);

    lstContents = new QListWidget(this);
    lstContents->setObjectName(QStringLiteral("lstContents"));
    lstContents->setWordWrap(true);
    lstContents->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstContents->setSpacing(2);
    txtPage = new PageView(opener, this);
    txtPage->setObjectName(QStringLiteral("txtPage"));

    cmdContents = new QPushButton(QStringLiteral("&Contents"), this);
    cmdContents->setObjectName(QStringLiteral("cmdContents"));
    cmdBack = new QPushButton(QStringLiteral("&Back"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdBack->setEnabled(false);
    cmdForward = new QPushButton(QStringLiteral("&Forward"), this);
    cmdForward->setObjectName(QStringLiteral("cmdForward"));
    cmdForward->setEnabled(false);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(lstContents);
    splitter->addWidget(txtPage);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 600});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(900, 640);

    connect(cmdContents, &QPushButton::clicked, this, [this]() { showPage(kContents); });
    connect(cmdBack, &QPushButton::clicked, txtPage, &QTextBrowser::backward);
    connect(cmdForward, &QPushButton::clicked, txtPage, &QTextBrowser::forward);
    connect(txtPage, &QTextBrowser::backwardAvailable, cmdBack, &QPushButton::setEnabled);
    connect(txtPage, &QTextBrowser::forwardAvailable, cmdForward, &QPushButton::setEnabled);
    connect(txtPage, &QTextBrowser::anchorClicked, txtPage, &PageView::follow);
    connect(txtPage, &QTextBrowser::sourceChanged, this, &HelpViewer::pageShown);
    connect(lstContents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(lstContents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });

    if (hasPages()) {
        loadContents();
        showPage(kContents);
    }
}

QString HelpViewer::contentsPage(const QString& folder) {
    return QDir(folder).filePath(kContents);
}

bool HelpViewer::hasPages() const {
    return QFileInfo(contentsPage(m_folder)).isFile();
}

void HelpViewer::showPage(const QString& file) {
    const QUrl url = QUrl::fromLocalFile(QDir(m_folder).filePath(file));
    // A click and an activation of the same entry are one visit, not two.
    if (url != txtPage->source()) {
        txtPage->setSource(url);
    }
}

// The table of contents is the contents page itself, then every page it links to,
// in the order of the first link to it and under that link's text.
void HelpViewer::loadContents() {
    QFile index(contentsPage(m_folder));
    if (!index.open(QIODevice::ReadOnly)) {
        return;
    }
    const QString html = QString::fromUtf8(index.readAll());
    static const QRegularExpression link(
        QStringLiteral(R"re(<a\s+href="([\w.-]+\.html)"[^>]*>(.*?)</a>)re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QStringList listed;
    auto add = [this, &listed](const QString& title, const QString& file) {
        if (listed.contains(file)) {
            return;
        }
        listed << file;
        auto* item = new QListWidgetItem(title, lstContents);
        item->setData(Qt::UserRole, file);
    };
    add(QStringLiteral("Contents"), kContents);
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        add(QString(m.captured(2)).remove(tag).simplified(), m.captured(1));
    }
}

void HelpViewer::pageShown(const QUrl& url) {
    const QString file = QFileInfo(url.toLocalFile()).fileName();
    for (int i = 0; i < lstContents->count(); ++i) {
        if (lstContents->item(i)->data(Qt::UserRole).toString() == file) {
            lstContents->setCurrentRow(i);
            break;
        }
    }
    const QString title = txtPage->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Lapdeck Help")
                                   : QStringLiteral("Lapdeck Help - ") + title);
}

}  // namespace lapdeck
