#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ConfigStore.h"
#include "EngineStubs.h"
#include "FileSizeLimit.h"
#include "Journal.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"
#include "RaceRecovery.h"

namespace lapdeck {
namespace {

// The engine with a recorder beside it, wired as the program wires them.
class RecorderHost : public stubs::InstantStartHost {
public:
    RaceRecorder* recorder = nullptr;
    QDateTime start{QDate(2026, 12, 5), QTime(16, 7, 42)};
    std::vector<RecordProblem> problems;

    void raceStarting() override { note(recorder->raceStarting(engine->state(), start)); }
    void reportRead(int32_t clock, const QString& text) override {
        note(recorder->reportRead(clock, text));
    }
    void raceClosed() override { note(recorder->raceEnded()); }

private:
    void note(std::optional<RecordProblem> problem) {
        if (problem) {
            problems.push_back(*problem);
        }
    }
};

struct Track {
    QTemporaryDir dir;
    ConfigStore store{dir.path()};
    RaceState state;
    RecorderHost host;
    stubs::YesPrompter prompter;
    stubs::FixedRandom random;
    RaceEngine engine{state, host, prompter, random};
    RaceRecorder recorder{store};

    Track() {
        store.seedMissingFiles();
        std::vector<ConfigError> errors;
        applyConfig(store.loadAll(errors), state);
        host.engine = &engine;
        host.recorder = &recorder;
        engine.ReSet();
    }
    void start() {
        engine.cmdStart_Click();
        ASSERT_EQ(state.phase, RacePhase::Racing);
    }
    void runUntil(int32_t clock) {
        test::QueuedReports port;  // demo mode: nothing is read
        while (state.RaceOver == 0 && state.RaceClock < clock) {
            engine.Timer1_Timer(10, port);
        }
    }
    QString journal() const { return QDir(recorder.raceFolder()).filePath(RaceArchive::kJournal); }
};

TEST(RaceRecord, AFullDiskIsReportedOnceAndTheJournalKeepsWholeLines) {
    Track t;
    t.state.Demo = true;
    {
        test::FileSizeLimit full(16);  // too small for the settings copy
        ASSERT_NO_FATAL_FAILURE(t.start());
    }
    ASSERT_EQ(t.host.problems.size(), 1u);
    EXPECT_TRUE(t.host.problems[0].text.contains(QStringLiteral("RCSettings.dat")))
        << t.host.problems[0].text.toStdString();
    EXPECT_TRUE(QDir(t.recorder.archive().folder()).isEmpty());  // no half race folder
    t.runUntil(5000);
    EXPECT_EQ(t.host.problems.size(), 1u);

    t.engine.cmdStart_Click();  // pause
    t.engine.cmdAbort_Click();
    t.host.problems.clear();
    ASSERT_NO_FATAL_FAILURE(t.start());
    {
        test::FileSizeLimit full(100);
        t.runUntil(60000);
    }
    ASSERT_EQ(t.host.problems.size(), 1u);
    EXPECT_TRUE(t.host.problems[0].text.contains(RaceArchive::kJournal));
    EXPECT_GT(t.state.LapCount[1], 5);  // the race went on

    QFile journal(t.journal());
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    const QByteArray bytes = journal.readAll();
    EXPECT_GT(bytes.size(), 80);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    std::optional<JournalError> error;
    EXPECT_EQ(parseJournal(bytes, &error).size(), static_cast<size_t>(bytes.count('\n')));
}

TEST(RaceRecord, RecoveryAsksNewestFirstAndNeverTwice) {
    Track t;
    t.state.Demo = true;  // chosen when the port failed: in force but in no file
    QStringList folders;
    for (int i = 0; i < 4; ++i) {
        ASSERT_FALSE(t.recorder.raceStarting(t.state, t.host.start.addSecs(600 * i)));
        for (int lap = 1; lap <= 5; ++lap) {
            ASSERT_FALSE(t.recorder.reportRead(lap * 3000, QStringLiteral("1")));
        }
        folders << t.recorder.raceFolder();  // and Lapdeck stops
    }
    // The oldest ended normally; the newest journal is broken at line 2.
    RaceArchive::markEnded(folders[0], RaceEnd::Finished);
    QFile broken(QDir(folders[3]).filePath(RaceArchive::kJournal));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("10,1\r\n5,2\r\n");
    broken.close();
    QFile journal(QDir(folders[1]).filePath(RaceArchive::kJournal));
    ASSERT_TRUE(journal.open(QIODevice::Append));
    journal.setFileTime(QDateTime(QDate(2026, 12, 5), QTime(16, 30)),
                        QFileDevice::FileModificationTime);
    journal.close();

    test::ScriptedPrompter organiser;
    organiser.answers = {Answer::Yes, Answer::No, Answer::Yes};
    RaceState recovered;
    ASSERT_TRUE(offerRecovery(t.recorder.archive(), organiser, recovered));
    // Newest first; the broken journal is told, named with its line.
    const char* const expected[] = {"2026-12-05 at 16:37", "line 2", "at 16:27", "at 16:17"};
    ASSERT_EQ(organiser.prompts.size(), 4u) << organiser.shown();
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(organiser.prompts[i].question, i != 1);
        EXPECT_TRUE(organiser.prompts[i].text.contains(QLatin1String(expected[i])))
            << organiser.shown();
    }

    EXPECT_EQ(RaceArchive::endOf(folders[3]), RaceEnd::NotRecovered);
    EXPECT_EQ(RaceArchive::endOf(folders[2]), RaceEnd::NotRecovered);
    EXPECT_EQ(RaceArchive::endOf(folders[1]), RaceEnd::Recovered);
    EXPECT_EQ(recovered.phase, RacePhase::Over);
    EXPECT_TRUE(recovered.LapsUnsaved && recovered.SummaryUnsaved);
    EXPECT_EQ(recovered.RaceDateTime, QStringLiteral("Dec-05, 16-30"));
    EXPECT_EQ(recovered.RaceTitle, QStringLiteral("Demo - 10 Lap Race"));
    EXPECT_EQ(recovered.LapCount[1], 5);
    EXPECT_FLOAT_EQ(recovered.LapTimes[1][5], 3.0f);

    organiser.prompts.clear();
    EXPECT_FALSE(offerRecovery(t.recorder.archive(), organiser, recovered));
    EXPECT_TRUE(organiser.prompts.empty());
}

}  // namespace
}  // namespace lapdeck
