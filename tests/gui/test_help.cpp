#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBrowser>

#include "GuiTestSupport.h"
#include "HelpViewer.h"
#include "PageView.h"
#include "ShellOpener.h"
#include "frmVx9Browser.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

const QString kPages = QStringLiteral(LAPDECK_TEST_ASSETS "/help");

// Records what is handed to the desktop; with `failing`, the desktop gives up.
class RecordingOpener : public ShellOpener {
public:
    void open(const QUrl& url, QObject*, std::function<void()> failed) override {
        opened << url;
        if (failing) {
            failed();
        }
    }
    QList<QUrl> opened;
    bool failing = false;
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
    QCoreApplication::sendEvent(b.cboAddress, &enter);  // where typed keys go
    settle(b);
    EXPECT_EQ(b.windowTitle(), u"Running a race"_s);

    b.navigate(u"www.example.org"_s);
    EXPECT_EQ(b.pnlStatus->text(),
              u"Opened in the desktop's web browser: http://www.example.org"_s);
    opener.failing = true;  // a desktop without a browser says so
    b.navigate(u"https://example.net/x"_s);
    EXPECT_EQ(b.pnlStatus->text(), u"No web browser could be started for https://example.net/x"_s);
    b.navigate(u"nosuch.html"_s);
    EXPECT_EQ(b.pnlStatus->text(), u"Cannot find nosuch.html"_s);
    EXPECT_FALSE(b.timTimer.isActive());
    EXPECT_EQ(opener.opened,
              (QList<QUrl>{QUrl(u"http://www.example.org"_s), QUrl(u"https://example.net/x"_s)}));
    EXPECT_EQ(b.windowTitle(), u"Running a race"_s);
}

// The desktop's opener learns from xdg-open's exit whether a browser took the address,
// so a desktop without one is told (Qt counts xdg-open started as opened).
TEST(DesktopOpener, AnXdgOpenThatGivesUpIsTold) {
    QTemporaryDir bin;
    const QString script = bin.filePath(u"xdg-open"_s);
    const QByteArray path = qgetenv("PATH");
    for (const auto& [status, fails] : {std::pair{0, false}, {3, true}}) {
        ASSERT_TRUE(writeBytes(script, "#!/bin/sh\nexit " + QByteArray::number(status) + "\n"));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);
        QObject context;
        bool failed = false;
        DesktopShellOpener().open(QUrl(u"https://example.org"_s), &context,
                                  [&]() { failed = true; });
        qputenv("PATH", path);
        EXPECT_TRUE(runUntil([]() { return qApp->findChildren<QProcess*>().isEmpty(); }, 5000));
        EXPECT_EQ(failed, fails) << status;
    }
}

}  // namespace
}  // namespace lapdeck::test
