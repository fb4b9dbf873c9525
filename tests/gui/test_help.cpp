#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>

#include "GuiTestSupport.h"
#include "HelpViewer.h"
#include "ShellOpener.h"
#include "frmVx9Browser.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

const QString kPages = QStringLiteral(LAPDECK_TEST_ASSETS "/help");

class RecordingOpener : public ShellOpener {
public:
    bool open(const QUrl& url) override {
        opened << url;
        return true;
    }
    QList<QUrl> opened;
};

QString page(const QString& file) {
    return QDir(kPages).filePath(file);
}

// The Help menu is shut while racing (the main window's test shows the menus of each
// phase); when idle it opens the pages, whose contents list every page and whose
// links lead to one, or says where they were looked for.
TEST(HelpPages, OpenFromTheMenuWithEveryPageListedOrSayWhereTheyAreMissing) {
    DataFolder data;
    WindowRig missing(data,
                      [&](LapdeckServices& s) { s.assets = AssetFolders{u"/nonexistent"_s}; });
    missing.window->mnuHelpContent->trigger();
    EXPECT_EQ(missing.prompter.shown(),
              "tell excl: Help|The help pages cannot be found: "
              "/nonexistent/help/index.html\n");
    const auto* none = missing.window->findChild<HelpViewer*>();
    EXPECT_FALSE(none && none->isVisible());

    RecordingOpener opener;
    WindowRig rig(data, [&](LapdeckServices& s) {
        s.assets = AssetFolders{QStringLiteral(LAPDECK_TEST_ASSETS)};
        s.opener = &opener;
    });
    rig.window->mnuHelpContent->trigger();
    auto* help = rig.window->findChild<HelpViewer*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // beside the main window
    EXPECT_TRUE(rig.prompter.prompts.empty());
    QStringList listed;
    for (int i = 0; i < help->lstContents->count(); ++i) {
        const QString file = help->lstContents->item(i)->data(Qt::UserRole).toString();
        listed << file;
        help->showPage(file);
        EXPECT_EQ(help->lstContents->currentRow(), i) << file.toStdString();
        EXPECT_EQ(help->windowTitle(), u"Lapdeck Help - "_s + help->txtPage->documentTitle());
        EXPECT_FALSE(help->txtPage->documentTitle().isEmpty()) << file.toStdString();
    }
    QStringList pages = QDir(kPages).entryList({u"*.html"_s});
    pages.removeOne(u"lapdeck.html"_s);  // the browser's start page
    listed.sort();
    EXPECT_EQ(listed, pages);

    static const QRegularExpression href(u"href=\"([^\"#]*)"_s);
    for (const QString& file : QDir(kPages).entryList({u"*.html"_s})) {
        const QString html = QString::fromUtf8(fileBytes(page(file)));
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(target.isEmpty() || QFileInfo::exists(page(target)))
                << file.toStdString() << " -> " << target.toStdString();
        }
    }

    help->showPage(u"sound.html"_s);
    emit help->txtPage->anchorClicked(QUrl(u"https://example.org/x"_s));
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(u"https://example.org/x"_s)});
    EXPECT_EQ(help->txtPage->source(), QUrl::fromLocalFile(page(u"sound.html"_s)));
}

void settle(frmVx9Browser& b) {
    for (int i = 0; i < 5 && b.timTimer.isActive(); ++i) {
        b.timTimer_Timer();
    }
}

QStringList addresses(const frmVx9Browser& b) {
    QStringList list;
    for (int i = 0; i < b.cboAddress->count(); ++i) {
        list << b.cboAddress->itemText(i);
    }
    return list;
}

TEST(Browser, OurPagesNewestFirstInTheAddressBoxWebAddressesToTheDesktop) {
    RecordingOpener opener;
    frmVx9Browser b(QUrl::fromLocalFile(page(u"lapdeck.html"_s)),
                    QUrl::fromLocalFile(page(u"index.html"_s)), opener);
    settle(b);
    b.navigate(u"setup.html"_s);
    settle(b);
    EXPECT_EQ(b.windowTitle(), u"Setting up a race"_s);
    b.navigate(page(u"lapdeck.html"_s));
    settle(b);
    EXPECT_EQ(addresses(b), (QStringList{page(u"lapdeck.html"_s), page(u"setup.html"_s)}));

    b.cboAddress->setEditText(u"running.html"_s);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(b.cboAddress->lineEdit(), &enter);
    settle(b);
    EXPECT_EQ(b.windowTitle(), u"Running a race"_s);

    b.navigate(u"www.example.org"_s);
    b.navigate(u"nosuch.html"_s);
    EXPECT_EQ(b.pnlStatus->text(), u"Cannot find nosuch.html"_s);
    EXPECT_FALSE(b.timTimer.isActive());
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(u"http://www.example.org"_s)});
    EXPECT_EQ(b.windowTitle(), u"Running a race"_s);
}

}  // namespace
}  // namespace lapdeck::test
