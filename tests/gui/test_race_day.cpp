#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include "FileChooser.h"
#include "GuiTestSupport.h"
#include "PtySupport.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"
#include "Replay.h"
#include "SerialPortSource.h"
#include "ValueLists.h"
#include "frmSummary.h"
#include "frmViewLaps.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

const QStringList kResultFiles{u"laps.lap"_s, u"laps.txt"_s, u"summary.sum"_s, u"summary.txt"_s};

// Saves each results window's files under the names given, in turn.
class SaveAs : public FileChooser {
public:
    QStringList names;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return names.isEmpty() ? QString() : names.takeFirst();
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

// Results windows used as the organiser does: the lap table saved in both forms,
// on to the summary, saved in both forms, closed.
struct SavingWindows {
    explicit SavingWindows(const QString& folder) {
        for (const QString& file : kResultFiles) {
            files.names << QDir(folder).filePath(file);
        }
    }
    std::function<void(LapdeckServices&)> services() {
        return [this](LapdeckServices& window) { window.results = results(); };
    }
    ResultsServices results() {
        ResultsServices s;
        s.files = &files;
        s.runModal = [](QDialog& window) {
            if (auto* laps = qobject_cast<frmViewLaps*>(&window)) {
                laps->cmdSave_Click();
                laps->cmdSave_Click();
                laps->cmdSummary_Click();
            } else if (auto* summary = qobject_cast<frmSummary*>(&window)) {
                summary->cmdSave_Click();
                summary->cmdSave_Click();
            }
        };
        return s;
    }
    SaveAs files;
};

// A data folder for a short race of real time: three laps, laps of a second or more.
void shortRace(DataFolder& data) {
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    data.settings.minLapPos =
        static_cast<int16_t>(ValueLists::positionOf(ValueLists::minLapTimes(), u"1"_s));
    saveSettings(data.path(FileNames::settings), data.settings);
    data.format(RaceOption::LapRace, 3);
}

void processEventsFor(int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Flags 1 to 3 in turn, one every 450 ms of real time, while `more` says so.
int feedLaps(const Pty& unit, const std::function<bool(int sent)>& more) {
    int sent = 0;
    QElapsedTimer clock;
    clock.start();
    while (more(sent) && clock.elapsed() < 30000) {
        const char flag[] = {static_cast<char>('1' + sent % 3), '\0'};
        unit.send(flag);
        ++sent;
        processEventsFor(450);
    }
    return sent;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll()
                                          : QByteArray("(missing) ") + path.toUtf8();
}

// The replay tool's four files of a race folder's journal, in `out`.
void replay(const QString& raceFolder, const QString& out) {
    ReplayOptions options;
    options.dataDir = raceFolder;
    options.journal = QDir(raceFolder).filePath(RaceArchive::kJournal);
    options.outDir = out;
    QString message;
    ASSERT_EQ(runReplay(options, message), kReplayOk) << message.toStdString();
}

void expectSameFiles(const QString& saved, const QString& replayed) {
    for (const QString& file : kResultFiles) {
        EXPECT_EQ(bytesOf(QDir(saved).filePath(file)), bytesOf(QDir(replayed).filePath(file)))
            << file.toStdString();
    }
}

TEST(RaceDay, ARaceThroughThePortSavesTheFilesTheReplayMakesOfItsJournal) {
    Pty unit;
    ASSERT_TRUE(unit.ok());
    DataFolder data;
    shortRace(data);
    QTemporaryDir out;
    SavingWindows windows(out.filePath(u"saved"_s));
    QDir().mkpath(out.filePath(u"saved"_s));
    WindowRig rig(data, windows.services());
    frmLapdeck& w = *rig.window;
    w.portMap().choose(2, unit.path());
    ASSERT_TRUE(w.OpenRacePort(2));

    w.cmdStart_Click();  // the race timer runs from here, as in the program
    const QString raceFolder = w.recorder().raceFolder();
    ASSERT_FALSE(raceFolder.isEmpty());
    feedLaps(unit, [&](int) { return rig.state.phase != RacePhase::Over; });
    ASSERT_EQ(rig.state.phase, RacePhase::Over);
    for (int f = 1; f <= 3; ++f) {
        EXPECT_EQ(rig.state.LapCount[f], 3) << f;
    }

    w.mnuLapTimes->trigger();
    EXPECT_FALSE(rig.state.LapsUnsaved || rig.state.SummaryUnsaved);
    EXPECT_EQ(RaceArchive::endOf(raceFolder), RaceEnd::Finished);
    replay(raceFolder, out.filePath(u"replayed"_s));
    expectSameFiles(out.filePath(u"saved"_s), out.filePath(u"replayed"_s));
}

// The program's side of the kill test: a race on the port named by the parent, run
// until the parent kills the process. Skipped unless started by that test.
TEST(RaceDayChild, RunsARaceUntilKilled) {
    const QString folder = qEnvironmentVariable("LAPDECK_KILL_TEST_DATA");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "run by RaceDay.AKilledRaceIsRecoveredAsItsJournalTellsIt";
    }
    ConfigStore store(folder);
    RaceState state;
    ScriptedPrompter prompter;
    ImmediateStart start;
    RecordingSound sound;
    LapdeckServices services;
    services.prompter = &prompter;
    services.startSequence = &start;
    services.sound = &sound;
    frmLapdeck w(state, store, services);
    start.window = &w;
    w.portMap().choose(2, qEnvironmentVariable("LAPDECK_KILL_TEST_PORT"));
    ASSERT_TRUE(w.OpenRacePort(2));
    w.cmdStart_Click();
    processEventsFor(60000);
    FAIL() << "not killed";
}

int journalLines(const QString& dataDir) {
    const std::vector<RaceRecord> races = RaceArchive(dataDir).races();
    return races.empty() ? 0 : static_cast<int>(bytesOf(races.front().journal()).count('\n'));
}

TEST(RaceDay, AKilledRaceIsRecoveredAsItsJournalTellsIt) {
    Pty unit;
    ASSERT_TRUE(unit.ok());
    DataFolder data;
    shortRace(data);
    data.format(RaceOption::LapRace, 20);  // still running at the kill

    QProcess lapdeck;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LAPDECK_KILL_TEST_DATA"_s, data.dir.path());
    env.insert(u"LAPDECK_KILL_TEST_PORT"_s, unit.path());
    lapdeck.setProcessEnvironment(env);
    lapdeck.start(QCoreApplication::applicationFilePath(),
                  {u"--gtest_filter=RaceDayChild.RunsARaceUntilKilled"_s});
    ASSERT_TRUE(lapdeck.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (RaceArchive(data.dir.path()).races().empty() && waited.elapsed() < 10000) {
        processEventsFor(50);
    }
    // Until the program has journaled eight reports, then killed between ticks or in one.
    const int sent = feedLaps(unit, [&](int) { return journalLines(data.dir.path()) < 8; });
    lapdeck.kill();  // SIGKILL: nothing of ours runs after it
    ASSERT_TRUE(lapdeck.waitForFinished());
    const int journaled = journalLines(data.dir.path());
    ASSERT_GE(journaled, 8);
    EXPECT_LE(journaled, sent);

    QTemporaryDir out;
    const QString raceFolder = RaceArchive(data.dir.path()).races().front().folder;
    EXPECT_EQ(RaceArchive::endOf(raceFolder), RaceEnd::Unfinished);
    SavingWindows windows(out.path());
    WindowRig rig(data, windows.services());
    rig.window->offerRecovery();                 // Yes
    ASSERT_EQ(rig.prompter.prompts.size(), 5u);  // the question, then "File Saved" four times
    EXPECT_EQ(rig.prompter.prompts[0].title, u"Recover Race"_s);
    EXPECT_EQ(rig.state.phase, RacePhase::Over);
    int laps = 0;
    for (int f = 1; f <= kFlags; ++f) {
        laps += rig.state.LapCount[f];
    }
    EXPECT_GT(laps, 0);
    replay(raceFolder, out.filePath(u"replayed"_s));
    expectSameFiles(out.path(), out.filePath(u"replayed"_s));
}

}  // namespace
}  // namespace lapdeck::test
