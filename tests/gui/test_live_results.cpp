// Live results as the organiser meets them: the command line, the window that turns
// them on and prints the sheet, the status line, and the start with the program.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>

#include "CommandLine.h"
#include "GuiTestSupport.h"
#include "LapdeckApp.h"
#include "LiveResults.h"
#include "LiveResultsDialog.h"
#include "LiveSettings.h"
#include "QrCodeView.h"
#include "RaceSummary.h"
#include "ResultsWindows.h"
#include "frmLapdeck.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

TEST(LiveCommandLine, TurnsLiveResultsOnForTheRunOrRefusesAPortThatIsNone) {
    struct Case {
        QString argument;
        std::optional<int> status;
        std::optional<uint16_t> livePort;
    };
    const Case cases[] = {
        {u"-reverse"_s, std::nullopt, std::nullopt},  // Qt's own
        {u"--live-results"_s, std::nullopt, 0},
        {u"--live-results=65535"_s, std::nullopt, 65535},
        {u"--live-results=0"_s, 2, std::nullopt},
        {u"--live-results=65536"_s, 2, std::nullopt},
        {u"--live-results="_s, 2, std::nullopt},
        {u"--live-resultsx"_s, std::nullopt, std::nullopt},
        {u"--help"_s, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        const QStringList arguments{u"lapdeck"_s, c.argument};
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const auto status = answerCommandLine(arguments, outStream, errStream);
        outStream.flush();
        errStream.flush();
        SCOPED_TRACE(c.argument.toStdString());
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(err.isEmpty(), status != 2) << err.toStdString();
        EXPECT_EQ(status == 0, out.contains(u"--live-results[=PORT]"_s));
        EXPECT_EQ(runChoices(arguments).livePort, status ? std::nullopt : c.livePort);
    }
}

// The window over a real server on a port another program holds; the sheet goes to
// a PDF on a machine without a printer.
TEST(LiveResultsWindow, OffersTheNextPortShowsTheCodeKeepsTheChoiceAndPrintsTheSheet) {
    DataFolder data;
    const QString choiceFile = data.path(kLiveChoiceFile);
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::Any));
    ASSERT_FALSE(saveLiveChoice(choiceFile, {false, taken.serverPort()}));
    RaceState state;
    LiveResults live(state, data.folder);
    ScriptedPrompter prompter;
    ScriptedFiles files;
    KeepingPrinter printer{PagePrinter::Outcome::NoPrinter};
    SummaryStats stats;
    ResultsServices services;
    services.prompter = &prompter;
    services.files = &files;
    services.printer = &printer;
    ResultsWindows printing(state, stats, data.folder, services, nullptr);
    QStatusBar bar;
    const QLabel* status = showLiveStatusIn(bar, live);
    EXPECT_TRUE(status->isHidden());

    LiveResultsDialog dialog(live, choiceFile, prompter, printing);
    EXPECT_EQ(dialog.txtPort->value(), taken.serverPort());
    EXPECT_FALSE(dialog.cmdPrint->isEnabled() || dialog.picCode->code());

    prompter.answers = {Answer::No};
    dialog.chkServe->click();
    EXPECT_FALSE(live.isRunning() || dialog.chkServe->isChecked());
    ASSERT_EQ(prompter.prompts.size(), 1u);
    const uint16_t next = LiveResults::nextFreePort(taken.serverPort());
    EXPECT_EQ(prompter.prompts[0].text,
              u"Port %1 is in use by another program.\r\nServe live "
              u"results on port %2 instead?"_s.arg(taken.serverPort())
                  .arg(next));

    dialog.chkServe->click();  // Yes, the next port
    ASSERT_TRUE(live.isRunning());
    EXPECT_EQ(live.port(), next);
    EXPECT_FALSE(dialog.txtPort->value() != next || dialog.txtPort->isEnabled());
    EXPECT_EQ(fileBytes(choiceFile), u"#TRUE#,%1\r\n"_s.arg(next).toUtf8());
    EXPECT_EQ(dialog.lblAddress->text(), live.address());
    ASSERT_TRUE(dialog.picCode->code());
    EXPECT_EQ(dialog.picCode->code()->dark, live.qrCode()->dark);
    EXPECT_TRUE(status->text().endsWith(u"/ \u00B7 0 watching"_s) && !status->isHidden());
    QTcpSocket page;
    page.connectToHost(QHostAddress::LocalHost, next);
    ASSERT_TRUE(page.waitForConnected(5000));
    page.write("GET /events HTTP/1.1\r\nHost: lapdeck\r\n\r\n");
    EXPECT_TRUE(runUntil([&] { return dialog.lblWatchers->text() == u"1 watching"_s; }, 5000));
    EXPECT_EQ(status->text(), live.statusLine());

    files.names = {data.path(u"sheet.pdf"_s)};
    prompter.prompts.clear();
    dialog.cmdPrint->click();
    ASSERT_EQ(files.asked, QStringList{data.path(u"Live Results.pdf"_s)});
    EXPECT_TRUE(fileBytes(data.path(u"sheet.pdf"_s)).startsWith("%PDF"));
    ASSERT_EQ(prompter.prompts.size(), 2u);  // Yes to a PDF, then "File Saved"
    EXPECT_EQ(prompter.prompts[1].title, u"File Saved"_s);

    dialog.chkServe->click();
    EXPECT_FALSE(live.isRunning() || dialog.cmdPrint->isEnabled() || dialog.picCode->code() ||
                 !status->isHidden());
    dialog.cmdClose->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(fileBytes(choiceFile), u"#FALSE#,%1\r\n"_s.arg(next).toUtf8());
}

// The choice file and the command line start the server with the program; the status
// line is a widget of its own beside the port's.
TEST(LiveResultsStart, FollowsTheChoiceFileOrTheCommandLineForThatRun) {
    struct Case {
        std::optional<LiveChoice> file;
        std::optional<uint16_t> run;
        bool serves;
    };
    const uint16_t port = LiveResults::nextFreePort(20000);
    const Case cases[] = {
        {std::nullopt, std::nullopt, false},
        {LiveChoice{true, port}, std::nullopt, true},
        {LiveChoice{false, port}, 0, true},  // --live-results: on the chosen port
        {LiveChoice{true, 1}, port, true},
    };
    for (const Case& c : cases) {
        DataFolder data;
        if (c.file) {
            ASSERT_FALSE(saveLiveChoice(data.path(kLiveChoiceFile), *c.file));
        }
        LapdeckApp app(data.folder, RunChoices{c.run});
        app.startLiveResults();
        EXPECT_EQ(app.live().isRunning(), c.serves);
        if (c.serves) {
            EXPECT_EQ(app.live().port(), port);
        }
        const auto* label = app.window().statusBar()->findChild<QLabel*>(u"lblLiveResults"_s);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), app.live().statusLine());
        // What was chosen stays as it was for the next run.
        EXPECT_EQ(loadLiveChoice(data.path(kLiveChoiceFile)).value, c.file.value_or(LiveChoice{}));
    }
}

}  // namespace
}  // namespace lapdeck::test
