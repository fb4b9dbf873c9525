#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>

#include <QLineEdit>
#include <QTableWidget>

#include "ClickLabel.h"
#include "GuiTestSupport.h"
#include "RaceArchive.h"
#include "RaceChooser.h"
#include "RaceRecorder.h"
#include "Replay.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// A short race: laps of a second or more, Ann to Fay.
void shortRace(DataFolder& data, int laps) {
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    data.minLap(u"1"_s);
    data.format(RaceOption::LapRace, laps);
}

int journalLines(const QString& dataDir) {
    const std::vector<RaceRecord> races = RaceArchive(dataDir).races();
    return races.empty() ? 0 : static_cast<int>(fileBytes(races.front().journal()).count('\n'));
}

// Flags 1 to 3 in turn through the lap unit while `more()`, each sent once the one
// before is in the race journal; `step` first moves the race's clock on, if given.
int feedLaps(const Pty& unit, const QString& dataDir, const std::function<bool()>& more,
             const std::function<void()>& step = {}) {
    int sent = 0;
    for (; more() && sent < 60; ++sent) {
        if (step) {
            step();
        }
        const char flag[] = {static_cast<char>('1' + sent % 3), '\0'};
        unit.send(flag);
        // A race over reads no more reports.
        if (!runUntil([&]() { return journalLines(dataDir) > sent || !more(); }, 5000)) {
            break;
        }
    }
    return sent;
}

// The results windows as the organiser uses them, noting which were shown: each
// saves in both forms (by button, then by menu) into a folder of their own while
// names are left, and the lap table goes on to the summary.
struct SavingWindows : ScriptedFiles {
    SavingWindows() {
        for (const char* file : {"laps.lap", "laps.txt", "summary.sum", "summary.txt"}) {
            names << saved.filePath(QString::fromLatin1(file));
        }
    }
    std::function<void(LapdeckServices&)> services() {
        return [this](LapdeckServices& window) {
            window.results.files = this;
            window.results.runModal = [this](QDialog& w) {
                shown << QString::fromLatin1(w.metaObject()->className());
                if (auto* laps = qobject_cast<frmViewLaps*>(&w)) {
                    openedTitle = laps->txtHeader->text();
                }
                if (auto* laps = qobject_cast<frmViewLaps*>(&w); laps && !names.isEmpty()) {
                    laps->cmdSave_Click();
                    laps->mnuSave->trigger();
                    summaryUnsavedAfterLaps = state->SummaryUnsaved && !state->LapsUnsaved;
                    laps->cmdSummary_Click();
                } else if (auto* summary = qobject_cast<frmSummary*>(&w)) {
                    summary->cmdSave_Click();
                    summary->mnuSave->trigger();
                }
            };
        };
    }
    // The files saved are the replay tool's of the race folder's journal.
    void expectReplayed(const QString& raceFolder) const {
        QTemporaryDir out;
        ReplayOptions options{false, raceFolder, QDir(raceFolder).filePath(RaceArchive::kJournal),
                              out.path()};
        QString message;
        ASSERT_EQ(runReplay(options, message), kReplayOk) << message.toStdString();
        for (const QString& file : QDir(out.path()).entryList(QDir::Files)) {
            EXPECT_EQ(fileBytes(saved.filePath(file)), fileBytes(out.filePath(file)))
                << file.toStdString();
        }
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 4);
    }
    QTemporaryDir saved;
    QStringList shown;
    QString openedTitle;  // the race title the last lap table showed
    const RaceState* state = nullptr;
    bool summaryUnsavedAfterLaps = false;  // each save clears its own mark only
};

// A three-lap race read from a pty on port 2, its windows saving and its clock by hand.
struct PortRace {
    PortRace() {
        windows.state = &rig.state;
        rig.window->portMap().choose(2, unit.path());
    }
    Pty unit;
    DataFolder data;
    bool written = (shortRace(data, 3), true);  // before the window reads the folder
    SavingWindows windows;
    HandClock clock;
    WindowRig rig{data, [this](LapdeckServices& s) {
                      windows.services()(s);
                      clock.services()(s);
                  }};
};

TEST(RaceDay, ARaceThroughThePortSavesTheFilesTheReplayMakesOfItsJournal) {
    PortRace race;
    Pty& unit = race.unit;
    DataFolder& data = race.data;
    WindowRig& rig = race.rig;
    SavingWindows& windows = race.windows;
    HandClock& clock = race.clock;
    frmLapdeck& w = *rig.window;
    ASSERT_TRUE(w.OpenRacePort(2));

    w.cmdStart_Click();  // the race timer runs from here, as in the program
    const QString raceFolder = w.recorder().raceFolder();
    // A lap every 450 ms of race time.
    feedLaps(
        unit, data.dir.path(), [&]() { return rig.state.phase != RacePhase::Over; },
        [&]() { clock.advance(450); });
    ASSERT_TRUE(runUntil([&]() { return rig.state.phase == RacePhase::Over; }, 5000));
    ASSERT_EQ(rig.state.phase, RacePhase::Over);
    EXPECT_EQ(rig.state.LapCount[3], 3);

    w.mnuLapTimes->trigger();
    EXPECT_EQ(RaceArchive::endOf(raceFolder), RaceEnd::Finished);  // never offered again
    windows.expectReplayed(raceFolder);
    EXPECT_TRUE(windows.summaryUnsavedAfterLaps);
    EXPECT_EQ(windows.asked.value(2),
              data.path(u"Summary "_s + rig.state.RaceDateTime + u".sum"_s));

    // The race opens again from the archive, chosen from a list, in windows of its own:
    // the race screen, reset, keeps its caption, title and gap column.
    w.cmdStart_Click();  // Reset
    w.lblLag_Click();
    const QString caption = w.windowTitle();
    const QString lag = w.lblLag->text();
    windows.shown.clear();
    rig.prompter.prompts.clear();
    onModal<RaceChooser>(
        [&](RaceChooser& chooser) {
            QStringList row;
            for (int c = 0; c < chooser.lstRaces->columnCount(); ++c) {
                row << chooser.lstRaces->item(0, c)->text();
            }
            EXPECT_EQ(row.mid(1), (QStringList{u"3 Lap Race"_s, u"Ann, Bob, Cy, Dee, Eve, Fay"_s,
                                               u"Ann"_s, u"Ended normally"_s}));
            EXPECT_EQ(chooser.chosen(), 0);
            chooser.accept();
        },
        [&]() { w.mnuOpenRace->trigger(); });
    EXPECT_EQ(windows.shown, QStringList{u"lapdeck::frmViewLaps"_s});
    EXPECT_EQ(windows.openedTitle, u"3 Lap Race"_s);
    EXPECT_EQ(w.windowTitle(), caption);
    EXPECT_EQ(w.lblLag->text(), lag);
    EXPECT_EQ(rig.state.phase, RacePhase::Idle);
    EXPECT_TRUE(rig.prompter.prompts.empty()) << rig.prompter.shown();
}

// Cars that pass during a pause are not counted at Continue: what came is dropped and
// noted in the journal, which the replay reads to the same results.
TEST(RaceDay, ReportsOfAPauseAreDroppedAtContinueAndNotedInTheJournal) {
    PortRace race;
    Pty& unit = race.unit;
    WindowRig& rig = race.rig;
    SavingWindows& windows = race.windows;
    HandClock& clock = race.clock;
    frmLapdeck& w = *rig.window;
    ASSERT_TRUE(w.OpenRacePort(2));
    w.cmdStart_Click();
    const QString raceFolder = w.recorder().raceFolder();
    const QString journal = QDir(raceFolder).filePath(RaceArchive::kJournal);
    // One report, once the clock has moved on past the minimum lap.
    auto cross = [&](const char* flag) {
        clock.advance(1500);
        const qsizetype lines = fileBytes(journal).count('\n');
        unit.send(flag);
        // A race over reads no more reports.
        EXPECT_TRUE(runUntil(
            [&]() {
                return fileBytes(journal).count('\n') > lines || rig.state.phase == RacePhase::Over;
            },
            3000));
    };
    cross("1");
    const PerFlag<int16_t> before = rig.state.LapCount;
    ASSERT_EQ(before[1], 1);
    w.cmdStart_Click();  // pause
    const int32_t pausedAt = rig.state.RaceClock;
    unit.send(
        "2\x01"
        "1");
    waitForInput(w.port());
    w.cmdStart_Click();  // on again
    clock.advance(1500);
    ASSERT_TRUE(runUntil([&]() { return rig.state.RaceClock >= pausedAt + 1500; }, 3000));
    EXPECT_EQ(rig.state.LapCount, before);
    EXPECT_TRUE(w.lblPortDevice->text().endsWith(
        u"; 3 reports that came during the pause were dropped at Continue"_s))
        << w.lblPortDevice->text().toStdString();
    const QByteArray head =
        "#" + QByteArray::number(pausedAt) + ",came during the pause, dropped at Continue: ";
    EXPECT_TRUE(fileBytes(journal).contains(head + "2\r\n" + head + "\\x01\r\n" + head + "1\r\n"));

    for (int n = 0; n < 12 && rig.state.phase != RacePhase::Over; ++n) {
        cross(n % 2 == 0 ? "2" : "1");
    }
    ASSERT_EQ(rig.state.phase, RacePhase::Over);
    w.mnuLapTimes->trigger();
    windows.expectReplayed(raceFolder);
}

// The program's side of the kill test: a race on the port named by the parent, run
// until the parent kills the process. Skipped unless started by that test.
TEST(RaceDayChild, RunsARaceUntilKilled) {
    const QString folder = qEnvironmentVariable("LAPDECK_KILL_TEST_DATA");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "run by RaceDay.AKilledRaceIsRecoveredAsItsJournalTellsIt";
    }
    DataFolder data(folder);
    // Race time runs twenty times as fast: the parent feeds a report as soon as the
    // one before is journaled, so laps are a second or so apart.
    auto fast = std::make_shared<QElapsedTimer>();
    fast->start();
    WindowRig rig(data, [fast](LapdeckServices& s) {
        s.clock = [fast]() { return fast->nsecsElapsed() * 20; };
    });
    rig.window->portMap().choose(2, qEnvironmentVariable("LAPDECK_KILL_TEST_PORT"));
    ASSERT_TRUE(rig.window->OpenRacePort(2));
    rig.window->cmdStart_Click();
    waitToBeKilled();
}

TEST(RaceDay, AKilledRaceIsRecoveredAsItsJournalTellsIt) {
    Pty unit;
    DataFolder data;
    shortRace(data, 20);  // still running at the kill
    QProcess lapdeck;
    startChild(lapdeck, u"RaceDayChild.RunsARaceUntilKilled"_s,
               {{u"LAPDECK_KILL_TEST_DATA"_s, data.dir.path()},
                {u"LAPDECK_KILL_TEST_PORT"_s, unit.path()}});
    ASSERT_TRUE(lapdeck.waitForStarted());
    runUntil([&]() { return !RaceArchive(data.dir.path()).races().empty(); }, 10000);
    // Killed once eight reports are journaled: between ticks or in one.
    const int sent =
        feedLaps(unit, data.dir.path(), [&]() { return journalLines(data.dir.path()) < 8; });
    lapdeck.kill();  // SIGKILL: nothing of ours runs after it
    ASSERT_TRUE(lapdeck.waitForFinished());
    const int journaled = journalLines(data.dir.path());
    ASSERT_GE(journaled, 8);
    EXPECT_LE(journaled, sent);

    data.format(RaceOption::LapRace, 10);  // the next race is set up before the question
    SavingWindows windows;
    WindowRig rig(data, windows.services());
    windows.state = &rig.state;
    rig.window->offerRecovery();  // Yes
    EXPECT_EQ(rig.prompter.prompts.at(0).title, u"Recover Race"_s);
    EXPECT_EQ(windows.shown, (QStringList{u"lapdeck::frmViewLaps"_s, u"lapdeck::frmSummary"_s}));
    EXPECT_EQ(rig.window->lblRaceFormat->text(), u"20 Lap Race"_s);  // its own settings
    EXPECT_GT(rig.state.LapCount[1], 0);
    windows.expectReplayed(RaceArchive(data.dir.path()).races().front().folder);

    rig.window->cmdStart_Click();  // Reset: back to the data folder's settings
    EXPECT_EQ(rig.window->lblRaceFormat->text(), u"10 Lap Race"_s);
    WindowRig again(data);
    again.window->offerRecovery();
    EXPECT_TRUE(again.prompter.prompts.empty());
}

}  // namespace
}  // namespace lapdeck::test
