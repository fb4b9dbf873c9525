#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>

#include "DesktopOpener.h"
#include "DialogFileChooser.h"
#include "FileChooser.h"
#include "FileSizeLimit.h"
#include "GuiTestSupport.h"
#include "Journal.h"
#include "LapTable.h"
#include "NamePicker.h"
#include "PagePrinter.h"
#include "RaceSummary.h"
#include "ResultCsv.h"
#include "ResultFileIo.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"
#include "ResultsWindows.h"
#include "frmSummary.h"
#include "frmViewLaps.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// A machine without a printer (the printout can only go to a PDF); the desktop
// opens what it is given.
class NoPrinterDesk : public PagePrinter, public DesktopOpener {
public:
    Result printOnDefault(const Printout&) override {
        return {Outcome::NoPrinter, u"No printer is installed."_s};
    }
    bool openDocument(const QString& fileName) override {
        opened << fileName;
        return true;
    }
    QStringList opened;
};

// The main window over a recorded race of tests/tools/races, run through its ticks;
// each results window shown runs the next scripted action, then closes.
class ResultsWindowsTest : public ::testing::Test {
protected:
    void runRace(const QString& name) {
        race = QStringLiteral(LAPDECK_RACES_DIR "/") + name;
        const QDir raceData(race + u"/data"_s);
        for (const QString& file : raceData.entryList(QDir::Files)) {
            QFile::remove(data.path(file));
            ASSERT_TRUE(QFile::copy(raceData.filePath(file), data.path(file)));
        }
        openWindow();
        rig->state.Demo = false;  // the journal holds the demo's crossings
        rig->window->cmdStart_Click();
        std::optional<JournalError> error;
        for (const JournalEntry& entry :
             parseJournal(fileBytes(race + u"/journal.txt"_s), &error)) {
            rig->cross(entry.clock, entry.text);
        }
        ASSERT_FALSE(error.has_value());
        if (!rig->state.IsPractice) {
            rig->advanceTo(60000);
            ASSERT_EQ(rig->state.phase, RacePhase::Over);
        }
        rig->prompter.prompts.clear();
    }
    void openWindow() {
        ResultsServices services;
        services.files = &files;
        services.printer = &desk;
        services.desktop = &desk;
        services.runModal = [this](QDialog& window) {
            ++shown;
            if (!actions.empty()) {
                auto action = std::move(actions.front());
                actions.pop_front();
                action(window);
            }
        };
        rig = std::make_unique<WindowRig>(data, [&](LapdeckServices& s) { s.results = services; });
    }
    QString expected(const QString& file) const { return race + u"/expected/"_s + file; }
    QString out(const QString& file) const { return data.path(file); }
    template <typename Window>
    void then(std::function<void(Window&)> action) {
        actions.push_back([action](QDialog& d) { action(dynamic_cast<Window&>(d)); });
    }

    DataFolder data;
    QString race;
    ScriptedFiles files;
    NoPrinterDesk desk;
    std::deque<std::function<void(QDialog&)>> actions;
    int shown = 0;
    std::unique_ptr<WindowRig> rig;
};

// The refusals' wording is tested with the results core.
TEST_F(ResultsWindowsTest, BeforeAnyRaceTheWindowsAreRefusedWithAMessage) {
    openWindow();
    rig->window->mnuLapTimes->trigger();
    rig->window->mnuSummary->trigger();
    EXPECT_EQ(rig->prompter.prompts.size(), 2u);
    EXPECT_EQ(shown, 0);
}

TEST_F(ResultsWindowsTest, SortMenuRebuildsTheTableSaysSoAndIsRememberedOnReopening) {
    runRace(u"practice_demo_rt"_s);  // flag 1 ran 2.60, 2.50, 2.40, 2.50, 2.80 after its RT
    // The order itself is the core's; here the window rebuilds its table with it.
    const auto expectMode = [&](frmViewLaps& w, bool sorted) {
        EXPECT_EQ(w.windowTitle(), sorted ? u"Lap Times sorted by Lap Times"_s
                                          : u"Lap Times sorted by Lap number"_s);
        EXPECT_EQ(w.mnuSortByLapTime->isEnabled(), !sorted);
        EXPECT_EQ(w.mnuSortByLap->isEnabled(), sorted);
        EXPECT_EQ(w.grid().text(3, 1), sorted ? u"2.40"_s : u"2.60"_s);
    };
    then<frmViewLaps>([&](frmViewLaps& w) {
        EXPECT_TRUE(w.PrgBar1->isHidden());  // the table is built
        expectMode(w, false);
        w.mnuSortByLapTime->trigger();
        expectMode(w, true);
    });
    then<frmViewLaps>([&](frmViewLaps& w) {
        expectMode(w, true);
        w.mnuSortByLap->trigger();
        expectMode(w, false);
        w.cmdSave_Click();  // a practice has no end time: saving dates its name
    });
    rig->window->mnuLapTimes->trigger();
    rig->window->mnuLapTimes->trigger();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(rig->prompter.shown(),
              "tell -: Sort|Sorted by Lap Time\ntell -: Sort|Sorted by Lap\n");
    EXPECT_FALSE(rig->state.RaceDateTime.isEmpty());
    EXPECT_EQ(files.asked,
              QStringList{data.path(u"Laps "_s + rig->state.RaceDateTime + u".lap"_s)});
}

// The cells' texts are the summary's, tested with the results core; here the grid
// shows their colours and each column takes its share of the window's width, the lap
// table's the design's, however long a name (cut short, it shows whole in a tooltip).
TEST_F(ResultsWindowsTest, CellColoursAndColumnWidthsWhateverTheNames) {
    runRace(u"lap3_crash"_s);
    const QString longName = u"Wolfgang Amadeus "_s.repeated(12).left(200);
    rig->state.RacerName[1] = longName;  // Ann's flag, the winner
    then<frmSummary>([&](frmSummary& w) {
        const ResultGridModel& model = *w.grdGrid->gridModel();
        EXPECT_EQ(model.index(2, 5).data(Qt::ForegroundRole).value<QBrush>().color(),
                  QColor(Qt::red));  // Cy's "Data" of two laps
        EXPECT_EQ(model.index(0, 2).data(Qt::BackgroundRole).value<QBrush>().color(),
                  QColor(255, 255, 0));
        EXPECT_EQ(model.headerData(12, Qt::Horizontal, Qt::DisplayRole).toString(), u"\nCrh %"_s);
        w.show();
        w.resize(1350, 560);
        QCoreApplication::processEvents();
        EXPECT_NEAR(w.grdGrid->columnWidth(1), 1350 / 8.35, 2);
        EXPECT_NEAR(w.grdGrid->columnWidth(4), 1350 / 9.66, 2);
        EXPECT_EQ(model.index(0, 1).data(Qt::ToolTipRole).toString(), longName);
        w.cmdViewLaps_Click();
    });
    then<frmViewLaps>([&](frmViewLaps& w) {
        EXPECT_EQ(w.grdGrid->columnWidth(1), w.grdGrid->pixelsOfTwips(1375));
        EXPECT_EQ(w.grdGrid->gridModel()->headerData(1, Qt::Horizontal, Qt::ToolTipRole),
                  u"Yellow\n"_s + longName);
    });
    rig->window->mnuSummary->trigger();
    EXPECT_EQ(shown, 2);
}

// Open shows a saved file in its window with saving and switching disabled (a lap
// file saved without extension by an earlier version in the lap window); a broken
// file is explained and the window shown stays as it was. Reading the files is
// tested with the results core.
TEST_F(ResultsWindowsTest, OpenShowsSavedFilesAndExplainsBrokenOnes) {
    runRace(u"lap3_crash"_s);
    const QByteArray lapFile = fileBytes(expected(u"laps.lap"_s));
    ASSERT_TRUE(writeBytes(out(u"heat"_s), lapFile));
    ASSERT_TRUE(writeBytes(out(u"cut.lap"_s), lapFile.left(30)));
    ASSERT_TRUE(writeBytes(out(u"heat.sum"_s), fileBytes(expected(u"summary.sum"_s))));
    files.names = {out(u"cut.lap"_s), out(u"heat"_s), out(u"notes.txt"_s), out(u"heat.sum"_s)};

    ResultGrid raceGrid;
    then<frmViewLaps>([&](frmViewLaps& w) {
        raceGrid = w.grid();
        w.mnuOpen->trigger();  // cut.lap
        EXPECT_EQ(rig->prompter.prompts.at(0).title, u"Open"_s);
        EXPECT_EQ(w.grid(), raceGrid);
        EXPECT_EQ(w.result(), 0);  // still open
        w.mnuOpen->trigger();      // the saved lap file replaces the window
    });
    then<frmViewLaps>([&](frmViewLaps& w) {
        EXPECT_EQ(w.windowTitle() + u'|' + w.txtHeader->text(), out(u"heat"_s) + u"|3 Lap Race"_s);
        EXPECT_EQ(w.grid().text(4, 2), raceGrid.text(4, 2));
        EXPECT_FALSE(w.mnuSort->menuAction()->isEnabled() || w.cmdSummary->isEnabled() ||
                     w.cmdSave->isEnabled() || w.mnuSave->isEnabled());
    });
    rig->window->mnuLapTimes->trigger();
    EXPECT_EQ(shown, 2);

    rig->window->mnuOpen->trigger();  // notes.txt
    EXPECT_EQ(desk.opened, QStringList{out(u"notes.txt"_s)});
    rig->window->mnuOpen->trigger();  // heat.sum: left open beside the main window
    frmSummary* opened = rig->window->results().openedSummary();
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->windowTitle(), out(u"heat.sum"_s));
    EXPECT_FALSE(opened->cmdViewLaps->isEnabled() || opened->cmdSave->isEnabled() ||
                 opened->mnuSave->isEnabled());
    rig->window->mnuOpen->trigger();  // cancelled: nothing changes
    EXPECT_EQ(rig->window->results().openedSummary(), opened);
    EXPECT_EQ(rig->prompter.prompts.size(), 1u);

    // A lap file opened from the summary file's window takes its place.
    files.names = {out(u"heat"_s)};
    then<frmViewLaps>([&](frmViewLaps& w) { EXPECT_EQ(w.windowTitle(), out(u"heat"_s)); });
    const QPointer<frmSummary> guard(opened);
    opened->mnuOpen->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(guard.isNull() || !guard->isVisible());
}

// A printout's text as pdftotext lays it out: each line's blank-separated tokens
// with the character column where each begins.
using Tokens = std::vector<std::pair<QString, qsizetype>>;
std::vector<Tokens> pdfLines(const QString& pdf) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    std::vector<Tokens> lines;
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        return lines;
    }
    static const QRegularExpression word(u"\\S+"_s);
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n')) {
        Tokens& tokens = lines.emplace_back();
        for (auto it = word.globalMatch(line); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            tokens.emplace_back(m.captured(), m.capturedStart());
        }
    }
    return lines;
}

const Tokens& lineStartingWith(const std::vector<Tokens>& lines, const QString& first) {
    static const Tokens none;
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const Tokens& t) {
        return !t.empty() && t.front().first == first;
    });
    EXPECT_NE(line, lines.end()) << "no line begins with " << first.toStdString();
    return line == lines.end() ? none : *line;
}

// The row's tokens from `rowFrom` on (up to `count`) begin under the heading's from
// `headFrom` on: the printout put each pair at one character column.
void expectUnder(const Tokens& head, const Tokens& row, size_t headFrom = 0, size_t rowFrom = 0,
                 size_t count = 99) {
    const size_t end = std::min(row.size(), rowFrom + count);
    ASSERT_LE(end - rowFrom, head.size() - headFrom);
    for (size_t i = rowFrom; i < end; ++i) {
        const auto& over = head[headFrom + i - rowFrom];
        EXPECT_NEAR(row[i].second, over.second, 2)
            << row[i].first.toStdString() << " under " << over.first.toStdString();
    }
}

TEST_F(ResultsWindowsTest, WithoutAPrinterThePrintoutsGoToPdfsWithItemsAtTheirColumns) {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    runRace(u"lap3_crash"_s);
    files.names = {out(u"laps.pdf"_s), out(u"summary.pdf"_s), out(u"summary.pdf"_s)};
    then<frmViewLaps>([&](frmViewLaps& w) {
        w.cmdPrint_Click();
        ASSERT_EQ(rig->prompter.prompts.size(), 2u);  // Yes to a PDF, then "File Saved"
        EXPECT_TRUE(rig->prompter.prompts[0].text.startsWith(u"No printer is installed."_s));
        w.cmdSummary_Click();
    });
    QByteArray saved;
    then<frmSummary>([&](frmSummary& w) {
        w.cmdSavePdf->click();
        saved = fileBytes(out(u"summary.pdf"_s));
        FileSizeLimit full(1024);  // a full disk keeps the PDF and says why
        w.cmdPrint_Click();
    });
    rig->window->mnuLapTimes->trigger();
    EXPECT_EQ(fileBytes(out(u"summary.pdf"_s)), saved);
    EXPECT_TRUE(rig->prompter.prompts.back().text.endsWith(
        u"could not be saved: the file would be larger than the system allows"_s));
    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(files.asked[0], data.path(u"Laps "_s + rig->state.RaceDateTime + u".pdf"_s));

    const std::vector<Tokens> laps = pdfLines(out(u"laps.pdf"_s));
    const Tokens& colours = lineStartingWith(laps, u"Lap"_s);
    ASSERT_EQ(colours.size(), 7u);
    expectUnder(colours, lineStartingWith(laps, u"First"_s), 1);
    expectUnder(colours, lineStartingWith(laps, u"No"_s));
    expectUnder(colours, lineStartingWith(laps, u"3"_s));

    const std::vector<Tokens> summary = pdfLines(out(u"summary.pdf"_s));
    const Tokens& heading = lineStartingWith(summary, u"Name"_s);
    // Up to the best lap speed; the empty average moves the rest left in the text.
    expectUnder(heading, lineStartingWith(summary, u"1Ann"_s), 1, 1, 6);
    const Tokens& third = lineStartingWith(summary, u"3Cy"_s);
    ASSERT_GE(third.size(), 3u);
    EXPECT_EQ(third[2].first, u"Insufficent"_s);
    EXPECT_NEAR(third[2].second, heading.at(3).second, 2);  // under "Time"
}

// Export CSV writes the tables as the windows show them: the lap rows down to the
// last with a label (the window's grid is longer), and the summary's six rows.
TEST_F(ResultsWindowsTest, ExportCsvWritesTheTablesShownBesideTheResults) {
    runRace(u"lap3_crash"_s);
    files.names = {out(u"laps.csv"_s), out(u"summary.csv"_s)};
    const auto exportFrom = [](ResultsDialog& w) {  // the item before Close
        w.mnuFile->actions().at(w.mnuFile->actions().indexOf(w.mnuClose) - 1)->trigger();
    };
    then<frmViewLaps>([&](frmViewLaps& w) {
        exportFrom(w);
        w.cmdSummary_Click();
    });
    then<frmSummary>([&](frmSummary& w) { exportFrom(w); });
    rig->window->mnuLapTimes->trigger();

    RaceState& state = rig->state;
    EXPECT_EQ(fileBytes(out(u"laps.csv"_s)), lapTableCsv(buildLapTable(state).value()));
    const QByteArray summary = fileBytes(out(u"summary.csv"_s));
    EXPECT_EQ(summary, summaryCsv(buildRaceSummary(state, rig->window->results().stats(),
                                                   QDateTime::currentDateTime())
                                      .value()));
    EXPECT_EQ(summary.count("\r\n"), 1 + kFlags);
    EXPECT_EQ(files.asked,
              (QStringList{data.path(u"Laps "_s + state.RaceDateTime + u".csv"_s),
                           data.path(u"Summary "_s + state.RaceDateTime + u".csv"_s)}));
    EXPECT_EQ(rig->prompter.prompts.back().title, u"File Saved"_s);
}

// The real save dialog: the proposed name takes the extension of the type chosen,
// a name typed without one of the types' extensions gets the chosen type's, and a
// file that the completed name would replace is asked about.
TEST(SaveDialog, NamesGetTheExtensionOfTheChosenType) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(QDir(dir.path()).filePath(u"taken.lap"_s), "x"));
    const QString filter = QString::fromUtf16(kSaveLapsFilter);
    // Type chosen, name typed (none: the proposed one), name saved (none: not saved,
    // as No was the answer to "taken.lap already exists").
    for (const char* c : {"1||Laps Dec-07, 6-18.txt", "0|race1|race1.lap", "0|race1.txt|race1.txt",
                          "1|Heat 1.5 final|Heat 1.5 final.txt", "0|taken|"}) {
        const QStringList p = qs(c).split(u'|');
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&]() {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && dialog->isVisible()) {
                dialog->selectNameFilter(DialogFileChooser::nameFilters(filter).at(p[0].toInt()));
                if (!p[1].isEmpty()) {
                    dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(p[1]);
                }
                static_cast<QDialog*>(dialog)->accept();  // as Save or Enter would
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->button(QMessageBox::No)->click();
            }
        });
        user.start(20);
        const QString proposed = QDir(dir.path()).filePath(u"Laps Dec-07, 6-18.lap"_s);
        EXPECT_EQ(DialogFileChooser().saveFileName(nullptr, {}, proposed, filter),
                  p[2].isEmpty() ? QString() : QDir(dir.path()).filePath(p[2]))
            << c;
    }
}

// The name picker's list: no wider than a third of the screen, whatever its longest
// name, which shows whole in its tooltip.
TEST(NamePickerList, ALongNameDoesNotWidenTheListPastAThirdOfTheScreen) {
    const QString longName = u"Wolfgang Amadeus "_s.repeated(12).left(200);
    QWidget window;
    NamePicker picker(&window);
    picker.setEntries({u"Empty"_s, longName, u"Ann"_s});
    window.show();
    picker.showPopup();
    EXPECT_LE(picker.view()->window()->width(), picker.screen()->availableGeometry().width() / 3);
    EXPECT_EQ(picker.itemData(1, Qt::ToolTipRole).toString(), longName);
}

}  // namespace
}  // namespace lapdeck::test
