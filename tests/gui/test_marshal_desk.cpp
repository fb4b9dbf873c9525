#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>

#include "Corrections.h"
#include "GuiTestSupport.h"
#include "MarshalDesk.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"
#include "Replay.h"
#include "ResultGridModel.h"
#include "ResultTableView.h"
#include "frmChanges.h"
#include "frmMarshalChange.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// The crossings of a race with something wrong on three flags (min lap time 2 s):
// Ann's lap 4 is a double count (2.5 s against a 6 s median), Bob's lap 4 missed a
// crossing (14 s against 7 s), and Cy's 16.5 s crossing was kept out by the one
// half a second before it.
const std::vector<std::pair<int32_t, const char*>> kCrossings = {
    {6000, "1"},  {7000, "2"},  {8000, "3"},  {12000, "1"}, {14000, "2"},
    {16000, "3"}, {16500, "3"}, {18000, "1"}, {20500, "1"}, {21000, "2"},
    {24000, "1"}, {24000, "3"}, {30000, "1"}, {35000, "2"}, {42000, "2"},
};

void setUpRace(DataFolder& data) {
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    data.minLap(u"2"_s);
    data.format(RaceOption::LapRace, 20);
}

QStringList printedTexts(const Printout& printout) {
    QStringList lines;
    for (const PrintLine& line : printout.lines) {
        QStringList items;
        for (const PrintItem& item : line.items) {
            items << item.text;
        }
        lines << items.join(u' ');
    }
    return lines;
}

// Public: the kill test's child process runs a race with it too.
class MarshalDeskTest : public ::testing::Test {
public:
    void SetUp() override { setUpRace(data); }

    // The race of kCrossings up to its pause at 45 s, every report in its journal.
    void runToPause(const std::function<void(LapdeckServices&)>& adjust = {}) {
        rig = std::make_unique<WindowRig>(data, adjust);
        rig->window->portMap().choose(1, u"/nonexistent/lapdeck-tty"_s);
        rig->window->cmdStart_Click();
        for (const auto& [clock, report] : kCrossings) {
            crossJournaled(clock, qs(report));
        }
        rig->advanceTo(45000);
        rig->window->cmdStart_Click();  // pause
        ASSERT_EQ(rig->state.phase, RacePhase::Paused);
        ASSERT_FALSE(desk().refresh().has_value());
    }
    // As a tick reads a report: into the journal, then counted.
    void crossJournaled(int32_t clock, const QString& report) {
        rig->advanceTo(clock);
        rig->window->recorder().reportRead(rig->state.RaceClock, report);
        rig->window->engine().handleReport(report);
    }
    MarshalDesk& desk() { return rig->window->desk(); }
    QString raceFolder() const { return RaceArchive(data.folder).races().front().folder; }
    QStringList record() const {
        const QString path = raceFolder() + u"/corrections.txt"_s;
        if (!QFile::exists(path)) {
            return {};
        }
        QStringList lines = QString::fromUtf8(fileBytes(path)).split(u"\r\n"_s, Qt::SkipEmptyParts);
        for (QString& line : lines) {
            line = line.section(u',', 2);  // without its number and time
        }
        return lines;
    }
    std::vector<float> laps(int flag) const {
        std::vector<float> times;
        for (int n = 1; n <= rig->state.LapCount[flag]; ++n) {
            times.push_back(rig->state.LapTimes[flag][static_cast<size_t>(n)]);
        }
        return times;
    }
    void sendKey(int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(rig->window.get(), &press);
    }

    // The kill test's child works in its parent's folder.
    DataFolder data{qEnvironmentVariable("LAPDECK_DESK_KILL_DATA")};
    std::unique_ptr<WindowRig> rig;
};

TEST_F(MarshalDeskTest, EachChangeOfAPausedRaceGoesOnTheRecordReScoresItAndIsTakenBack) {
    runToPause();
    ASSERT_EQ(laps(1), (std::vector<float>{6, 6, 6, 2.5f, 3.5f, 6}));
    ASSERT_EQ(laps(2), (std::vector<float>{7, 7, 7, 14, 7}));
    ASSERT_EQ(laps(3), (std::vector<float>{8, 8, 8}));

    struct Case {
        const char* name;
        std::function<std::optional<QString>()> change;
        int flag;
        std::vector<float> laps;
        QStringList record;  // the lines it adds, without number and time
    };
    const std::vector<Case> cases = {
        {"not a lap",
         [&]() { return desk().voidLap(1, 4, u"hand in the beam"_s); },
         1,
         {6, 6, 6, 6, 6},
         {u"void,20500,1,\"hand in the beam\""_s}},
        {"split in three",
         [&]() { return desk().splitLap(2, 4, 3, {}); },
         2,
         {7, 7, 7, 4.67f, 4.67f, 4.67f, 7},
         {u"add,25666,2,\"\""_s, u"add,30333,2,\"\""_s}},
        {"given to Cy",
         [&]() { return desk().giveLap(1, 6, 3, u"Cy's car"_s); },
         3,
         {8, 8, 8, 6},
         {u"move,30000,1,3,\"Cy's car\""_s}},
        {"added",
         [&]() { return desk().addCrossing(3, 12000, {}); },
         3,
         {8, 4, 4, 8},
         {u"add,12000,3,\"\""_s}},
        {"kept-out one counted",
         [&]() {
             return desk().countDropped({16500, 3, 0}, {});
         },
         3,
         {8, 8.5f, 7.5f},
         {u"void,16000,3,\"\""_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = record();
        const std::vector<float> lapsBefore = laps(c.flag);
        ASSERT_FALSE(c.change().has_value());
        EXPECT_EQ(laps(c.flag), c.laps);
        EXPECT_EQ(record().mid(before.size()), c.record);
        EXPECT_EQ(rig->state.phase, RacePhase::Paused);
        EXPECT_EQ(rig->state.RaceClock, 45000);

        // Each add of a split is a step of its own.
        for (qsizetype i = 0; i < c.record.size(); ++i) {
            ASSERT_FALSE(desk().undo().has_value());
        }
        EXPECT_EQ(laps(c.flag), lapsBefore);
        EXPECT_EQ(desk().changesInForce(), 0);
    }
    // A change that finds no crossing is refused and leaves the record as it was.
    const QStringList whole = record();
    EXPECT_TRUE(desk().voidLap(1, 9, {}).has_value());
    EXPECT_TRUE(desk().giveCrossing({9999, 1, 0}, 2, {}).has_value());
    EXPECT_EQ(record(), whole);
    EXPECT_FALSE(desk().canUndo());
}

TEST_F(MarshalDeskTest, ACorrectedRaceGoesOnAndShiftOrCtrlWithADigitFixItAtOnce) {
    runToPause();
    ASSERT_FALSE(desk().voidLap(1, 4, {}).has_value());
    EXPECT_EQ(rig->window->lblLapNum[rig->state.Position[1]]->text(), u"5"_s);
    rig->window->cmdStart_Click();  // go on
    crossJournaled(46000, u"1"_s);
    const std::vector<float> ann = {6, 6, 6, 6, 6, 16};
    EXPECT_EQ(laps(1), ann);
    rig->advanceTo(47000);
    const int16_t cy = rig->state.LapCount[3];
    // Shift turns the 3 into the layout's symbol.
    sendKey(Qt::Key_NumberSign, Qt::ShiftModifier, u"#"_s);
    EXPECT_EQ(rig->state.LapCount[3], cy + 1);
    EXPECT_EQ(rig->state.LastCrossing[3], 47000);
    EXPECT_EQ(rig->window->lblLapNum[rig->state.Position[3]]->text(), QString::number(cy + 1));

    const int16_t bob = rig->state.LapCount[2];
    sendKey(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(rig->state.LapCount[2], bob - 1);
    EXPECT_EQ(rig->state.LastCrossing[2], 35000);
    EXPECT_EQ(rig->state.phase, RacePhase::Racing);
    EXPECT_EQ(record().mid(1), (QStringList{u"add,47000,3,\"\""_s, u"void,42000,2,\"\""_s}));

    // The digit alone is still the best lap's reset, not a change.
    sendKey(Qt::Key_1, Qt::NoModifier);
    EXPECT_EQ(record().size(), 3);
    // The race screen's laps are the replay's of the record: the keys' race and a
    // re-scoring of it agree.
    rig->window->cmdStart_Click();  // pause
    const PerFlag<int16_t> counted = rig->state.LapCount;
    ASSERT_FALSE(desk().undo().has_value());
    ASSERT_FALSE(desk().redo().has_value());
    EXPECT_EQ(rig->state.LapCount, counted);
}

TEST_F(MarshalDeskTest, TheLapTableMarksSuspectsOffersTheFittingActionAndShowsTheRecord) {
    KeepingPrinter printer;
    std::function<void(QDialog&)> inWindow;
    runToPause([&](LapdeckServices& s) {
        s.results.printer = &printer;
        s.results.runModal = [&](QDialog& w) {
            if (inWindow) {
                inWindow(w);
            }
        };
    });
    int shown = 0;
    inWindow = [&](QDialog& w) {
        auto* table = qobject_cast<frmViewLaps*>(&w);
        if (table == nullptr) {
            // The Changes list, from the lap table.
            // The void, the add, both taken back, the void put back.
            auto& changes = dynamic_cast<frmChanges&>(w);
            ASSERT_EQ(changes.grdChanges->rowCount(), 5);
            EXPECT_EQ(changes.grdChanges->item(0, 3)->text(), u"hand in the beam"_s);
            EXPECT_EQ(changes.grdChanges->item(0, 4)->text(), QString());
            EXPECT_EQ(changes.grdChanges->item(1, 4)->text(), u"taken back"_s);
            EXPECT_EQ(changes.grdChanges->item(4, 2)->text(), u"Put back change 1"_s);
            ++shown;
            return;
        }
        ResultGridModel& model = *table->grdGrid->gridModel();
        const int annColumn = rig->state.Position[1];
        const int bobColumn = rig->state.Position[2];
        const QModelIndex doubled = model.index(3, annColumn);  // lap 4
        const QModelIndex missed = model.index(3, bobColumn);   // lap 4
        EXPECT_TRUE(
            model.data(doubled, Qt::ToolTipRole).toString().endsWith(u"possible double count"_s));
        EXPECT_TRUE(model.data(missed, Qt::ToolTipRole)
                        .toString()
                        .endsWith(u"possible 1 missed crossing"_s));
        EXPECT_TRUE(model.data(doubled, Qt::BackgroundRole).isValid());
        EXPECT_FALSE(model.data(model.index(2, annColumn), Qt::BackgroundRole).isValid());
        ASSERT_EQ(table->lstDropped->count(), 1);
        EXPECT_TRUE(table->lstDropped->item(0)->text().startsWith(u"flag 3 (Cy) at 0:16.500"_s));

        QMenu owner;
        const QList<QAction*> onDouble = table->lapActions(doubled, &owner);
        ASSERT_EQ(onDouble.size(), 4);
        EXPECT_EQ(onDouble[0]->text(), u"Not a lap"_s);
        EXPECT_EQ(table->lapActions(missed, &owner).at(0)->text(), u"Split into 2 laps"_s);
        EXPECT_EQ(table->lapActions(model.index(2, 0), &owner).size(), 0);  // the label column

        // A reason typed, OK: made at once.
        onModal<frmMarshalChange>(
            [](frmMarshalChange& ask) {
                ask.txtReason->setText(u"hand in the beam"_s);
                ask.accept();
            },
            [&]() { onDouble[0]->trigger(); });
        EXPECT_EQ(table->lblCorrected->text(), u"Corrected: 1 change"_s);
        EXPECT_FALSE(model.data(model.index(3, annColumn), Qt::BackgroundRole).isValid());
        // Cancel makes nothing.
        onModal<frmMarshalChange>([](frmMarshalChange& ask) { ask.reject(); },
                                  [&]() { table->lapActions(missed, &owner)[0]->trigger(); });
        EXPECT_EQ(desk().changes().size(), 1u);
        // A time picked on the slider, then typed.
        onModal<frmMarshalChange>(
            [](frmMarshalChange& ask) {
                EXPECT_EQ(ask.txtTime->text(), u"0:28.000"_s);  // the lap's middle
                ask.sldTime->setValue(27000);
                EXPECT_EQ(ask.txtTime->text(), u"0:27.000"_s);
                ask.txtTime->setText(u"0:28.5"_s);
                ask.accept();
            },
            [&]() { table->lapActions(missed, &owner).back()->trigger(); });
        EXPECT_EQ(record().back(), u"add,28500,2,\"\""_s);

        table->mnuUndo->trigger();
        table->mnuUndo->trigger();
        EXPECT_FALSE(table->lblCorrected->isVisibleTo(table));
        table->mnuRedo->trigger();
        EXPECT_EQ(table->lblCorrected->text(), u"Corrected: 1 change"_s);
        table->mnuChanges->trigger();
        table->cmdPrint_Click();
        // Cy's kept-out crossing was Dee's.
        onModal<frmMarshalChange>(
            [](frmMarshalChange& ask) {
                ask.cboFlag->setCurrentIndex(ask.cboFlag->findData(4));
                ask.accept();
            },
            [&]() { table->droppedActions(0, &owner).at(1)->trigger(); });
        EXPECT_EQ(record().back(), u"move,16500,3,4,\"\""_s);
        ++shown;
    };
    rig->window->mnuLapTimes->trigger();
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(printer.printed.size(), 1u);
    const QStringList printed = printedTexts(printer.printed[0]);
    // Printed before the last change was made.
    const QStringList listing = correctionsListing(desk().changes()).mid(0, 5);
    EXPECT_EQ(printed.mid(printed.size() - 7),
              QStringList() << QString() << u"Corrected: 1 change"_s << listing);
    EXPECT_EQ(rig->window->lblLapNum[rig->state.Position[1]]->text(), u"5"_s);

    // The summary says so too, with each flag's suspect laps.
    inWindow = [&](QDialog& w) {
        auto& summary = dynamic_cast<frmSummary&>(w);
        EXPECT_EQ(summary.lblCorrected->text(), u"Corrected: 2 changes"_s);
        EXPECT_EQ(summary.lblSuspects->text(), u"Suspect laps: Ann 0, Bob 1, Cy 0, Dee 0"_s);
    };
    rig->window->mnuSummary->trigger();
}

// After the race (six laps: Ann's checkered flag at 30 s, over at 33.75 s), each
// change, undo and redo is saved from the windows as the replay tool makes the race
// of the journal and the record.
TEST_F(MarshalDeskTest, AfterTheRaceEveryStepIsSavedAsTheReplayOfTheRecordMakesIt) {
    data.format(RaceOption::LapRace, 6);
    ScriptedFiles files;
    QTemporaryDir saved;
    rig = std::make_unique<WindowRig>(data, [&](LapdeckServices& s) {
        s.results.files = &files;
        s.results.runModal = [&](QDialog& w) {
            if (auto* laps = qobject_cast<frmViewLaps*>(&w)) {
                laps->cmdSave_Click();
                laps->mnuSave->trigger();
                laps->cmdSummary_Click();
            } else if (auto* summary = qobject_cast<frmSummary*>(&w)) {
                summary->cmdSave_Click();
                summary->mnuSave->trigger();
            }
        };
    });
    rig->window->portMap().choose(1, u"/nonexistent/lapdeck-tty"_s);
    rig->window->cmdStart_Click();
    for (const auto& [clock, report] : kCrossings) {
        if (clock > 33000) {
            break;
        }
        crossJournaled(clock, qs(report));
    }
    rig->advanceTo(40000);
    ASSERT_EQ(rig->state.phase, RacePhase::Over);
    ASSERT_FALSE(desk().refresh().has_value());

    auto expectSavedAsReplayed = [&]() {
        files.names.clear();
        for (const char* file : {"laps.lap", "laps.txt", "summary.sum", "summary.txt"}) {
            files.names << QDir(saved.path()).filePath(QString::fromLatin1(file));
        }
        rig->window->mnuLapTimes->trigger();
        ASSERT_TRUE(files.names.isEmpty());
        QTemporaryDir out;
        ReplayOptions options{false, raceFolder(), raceFolder() + u"/journal.txt"_s, out.path(),
                              raceFolder() + u"/corrections.txt"_s};
        QString message;
        ASSERT_EQ(runReplay(options, message), kReplayOk) << message.toStdString();
        for (const QString& file : QDir(out.path()).entryList(QDir::Files)) {
            EXPECT_EQ(fileBytes(QDir(saved.path()).filePath(file)), fileBytes(out.filePath(file)))
                << file.toStdString();
        }
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 4);
    };
    struct Step {
        const char* name;
        std::function<std::optional<QString>()> change;
        QString recorded;           // the line it adds, without number and time
        std::vector<int16_t> laps;  // Ann, Bob and Cy's after it
    };
    const std::vector<Step> steps = {
        {"added",
         [&]() { return desk().addCrossing(2, 28000, u"blocked flag"_s); },
         u"add,28000,2,\"blocked flag\""_s,
         {6, 4, 3}},
        // Cy's 16.5 s crossing, kept out by the 16 s one, counts in its place.
        {"voided", [&]() { return desk().voidLap(3, 2, {}); }, u"void,16000,3,\"\""_s, {6, 4, 3}},
        {"moved",
         [&]() { return desk().giveLap(3, 2, 4, {}); },
         u"move,16500,3,4,\"\""_s,
         {6, 4, 2}},
        {"split", [&]() { return desk().splitLap(2, 2, 2, {}); }, u"add,10500,2,\"\""_s, {6, 5, 2}},
        {"undone", [&]() { return desk().undo(); }, u"undo,4,\"\""_s, {6, 4, 2}},
        {"redone", [&]() { return desk().redo(); }, u"undo,5,\"\""_s, {6, 5, 2}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_FALSE(step.change().has_value());
        EXPECT_EQ(record().back(), step.recorded);
        EXPECT_EQ((std::vector<int16_t>{rig->state.LapCount[1], rig->state.LapCount[2],
                                        rig->state.LapCount[3]}),
                  step.laps);
        EXPECT_EQ(rig->state.phase, RacePhase::Over);
        EXPECT_TRUE(rig->state.LapsUnsaved);
        expectSavedAsReplayed();
    }
}

// The program's side of the kill test: the race paused, four changes made, then it
// waits to be killed. Skipped unless started by that test.
TEST_F(MarshalDeskTest, ChildMakesChangesUntilKilled) {
    if (qEnvironmentVariableIsEmpty("LAPDECK_DESK_KILL_DATA")) {
        GTEST_SKIP() << "run by MarshalDesk.KilledWhileMarshallingTheRaceIsRecoveredWithItsChanges";
    }
    runToPause();
    ASSERT_FALSE(desk().voidLap(1, 4, u"hand"_s).has_value());
    ASSERT_FALSE(desk().splitLap(2, 4, 2, {}).has_value());
    ASSERT_FALSE(desk().undo().has_value());
    ASSERT_FALSE(desk().giveLap(1, 5, 3, {}).has_value());
    waitToBeKilled();
}

TEST(MarshalDesk, KilledWhileMarshallingTheRaceIsRecoveredWithItsChanges) {
    DataFolder data;
    setUpRace(data);
    QProcess lapdeck;
    startChild(lapdeck, u"MarshalDeskTest.ChildMakesChangesUntilKilled"_s,
               {{u"LAPDECK_DESK_KILL_DATA"_s, data.folder}});
    ASSERT_TRUE(lapdeck.waitForStarted());
    auto changes = [&]() {
        const auto races = RaceArchive(data.folder).races();
        return races.empty() ? 0
                             : fileBytes(races.front().folder + u"/corrections.txt"_s).count('\n');
    };
    ASSERT_TRUE(runUntil([&]() { return changes() == 4; }, 20000))
        << lapdeck.readAll().toStdString();
    lapdeck.kill();  // SIGKILL: nothing of ours runs after it
    ASSERT_TRUE(lapdeck.waitForFinished());

    WindowRig rig(data, [](LapdeckServices& s) { s.results.runModal = [](QDialog&) {}; });
    rig.window->offerRecovery();  // Yes
    ASSERT_FALSE(rig.prompter.prompts.empty());
    EXPECT_EQ(rig.prompter.prompts.at(0).title, u"Recover Race"_s);
    // Ann's double count voided and her 30 s crossing given to Cy; Bob's split taken back.
    EXPECT_EQ(rig.state.LapCount[1], 4);
    EXPECT_EQ(rig.state.LapCount[2], 5);
    EXPECT_EQ(rig.state.LapCount[3], 4);
    EXPECT_EQ(rig.window->desk().correctedText(), u"Corrected: 2 changes"_s);
    EXPECT_EQ(rig.window->desk().changes().size(), 4u);
}

TEST(RaceTime, TypedTimesReadAsTheDeskWritesThem) {
    const std::vector<std::pair<const char*, std::optional<int32_t>>> cases = {
        {"1:02.345", 62345},
        {"1:02:03.456", 3723456},
        {"62.345", 62345},
        {"62", 62000},
        {" 0:28.5 ", 28500},
        {"0:05", 5000},
        {"1:60.000", {}},
        {"1:60:00", {}},
        {"", {}},
        {"1:02.3456", {}},
        {"-5", {}},
        {"a:02", {}},
        {"596:31:23.648", {}},  // past the largest race clock
    };
    for (const auto& [text, clock] : cases) {
        EXPECT_EQ(parseRaceTime(qs(text)), clock) << text;
    }
}

}  // namespace
}  // namespace lapdeck::test
