#include <random>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ConfigStore.h"
#include "EngineStubs.h"
#include "FileSizeLimit.h"
#include "Journal.h"
#include "NoiseWatch.h"
#include "ProgramFiles.h"
#include "RaceArchive.h"
#include "RaceFormat.h"
#include "RaceRecorder.h"
#include "RaceRecovery.h"
#include "RaceResultFiles.h"
#include "RaceSummary.h"
#include "RecordedRace.h"
#include "TestHelpers.h"
#include "ValueLists.h"

namespace lapdeck {
namespace {

using test::qs;

// The engine with a recorder beside it, wired as the program wires them. Every
// report is also kept as earlier versions journaled it: one line each.
class RecorderHost : public stubs::InstantStartHost {
public:
    RaceRecorder* recorder = nullptr;
    QDateTime start{QDate(2026, 12, 5), QTime(16, 7, 42)};
    std::vector<RecordProblem> problems;
    QByteArray everyReport;

    void raceStarting() override { note(recorder->raceStarting(engine->state(), start)); }
    void reportRead(int32_t clock, const QString& text) override {
        everyReport += journalLine(clock, text);
        note(recorder->reportRead(clock, text));
    }
    void raceClosed() override { note(recorder->raceEnded()); }
    void note(std::optional<RecordProblem> problem) {
        if (problem) {
            problems.push_back(*problem);
        }
    }
};

using Reports = std::vector<JournalEntry>;

struct Track {
    QTemporaryDir dir;
    ConfigStore store{dir.path()};
    RaceState state;
    RecorderHost host;
    stubs::YesPrompter prompter;
    stubs::FixedRandom random;
    RaceEngine engine{state, host, prompter, random};
    RaceRecorder recorder{store};

    // The seeded data folder: a 10-lap race, minimum lap 2 s, race begins with lap 1.
    explicit Track(std::optional<RaceFormat> format = std::nullopt) {
        store.seedMissingFiles();
        if (format) {
            saveRaceFormat(store.path(FileNames::raceFormat), *format);
        }
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
    // The race timer ticking every 10 ms at `phase` past and at every clock of
    // `reports` from the `next` on, each tick reading the reports of its clock.
    size_t next = 0;
    void run(const Reports& reports, int32_t until, int32_t phase) {
        test::QueuedReports port;
        while (state.RaceOver == 0 && state.RaceClock < until) {
            int32_t tick = state.RaceClock + 10 - (state.RaceClock - phase + 10) % 10;
            if (next < reports.size()) {
                tick = std::min(tick, reports[next].clock);
            }
            for (; next < reports.size() && reports[next].clock == tick; ++next) {
                port.pending.push_back(reports[next].text);
            }
            engine.Timer1_Timer(tick - state.RaceClock, port);
            port.pending.clear();  // not read after the race's end
        }
    }

    // The four result files the replay makes of `journal` with the race's data files.
    QByteArray rescored(const QByteArray& journal) const {
        const QString path = dir.filePath(QStringLiteral("replayed.txt"));
        test::writeBytes(path, journal);
        RaceState race;
        if (const auto problem = rescoreRecordedRace(recorder.raceFolder(), path, race)) {
            ADD_FAILURE() << problem->toStdString();
            return {};
        }
        SummaryStats stats;
        const auto files = buildRaceResultFiles(race, stats, QDateTime(QDate(2026, 12, 5), {}));
        const RaceResultFiles& f = files.value();
        return f.lapFile + f.lapText + f.summaryFile + f.summaryText;
    }
};

RaceFormat format(RaceOption option, const char* length) {
    RaceFormat f = defaultRaceFormat();
    f.setOption(option);
    const bool timed = option == RaceOption::TimedRace;
    (timed ? f.minutesPos : f.lapsPos) = static_cast<int16_t>(ValueLists::positionOf(
        timed ? ValueLists::minuteCounts() : ValueLists::lapCounts(), qs(length)));
    return f;
}

// A journal with only the reports that read as a flag.
QByteArray flagLinesOnly(const QByteArray& journal) {
    QByteArray lines;
    for (const JournalEntry& e : parseJournal(journal, nullptr)) {
        if (readsAsFlag(e.text)) {
            lines += journalLine(e.clock, e.text);
        }
    }
    return lines;
}

// Reports that are no flag number take almost no room, and the recorded race
// re-scores exactly as the journal of every report does. The first two races depend
// on the reports kept as lines: the race's first report, which draws the screen
// (Ann's Lag First), and one per tick after the checkered flag (whether flag 2's finish
// at 68997 still counts at a deadline between two ticks of the replay).
TEST(RaceRecord, NoiseIsSummedAndTheRaceReScoresAsEveryReportWould) {
    struct Case {
        const char* name;
        RaceFormat format;
        Reports reports;
        int32_t phase;
        std::optional<bool> dependsOnKeptNoise;
        int tallies;  // noise summed once a minute and at the comment
    };
    std::vector<Case> cases = {
        {"first report", format(RaceOption::LapRace, "5"),
         parseJournal("50,x\n1000,2\n1200,7\n3500,2\n3500,1\n3600,0\n6500,2\n6500,1\n"
                      "9500,2\n9500,1\n12500,2\n13000,x\n",
                      nullptr),
         0, true, 1},
        {"deadline", format(RaceOption::TimedRace, "1"), {}, 5, true, 0},
    };
    Case& deadline = cases[1];
    for (int32_t clock = 1003; clock < 63000; clock += 2100) {
        deadline.reports.push_back({clock, qs("1")});
        deadline.reports.push_back({clock + 504, clock < 56000 ? qs("2") : qs("9")});
    }
    // The checkered flag at 60005 + 1.9 x 2100 + 5000: the race's deadline is 68995, the
    // replay's (its ticks fall on 60000) 68990.
    deadline.reports.push_back({68993, qs("x")});
    deadline.reports.push_back({68997, qs("2")});
    std::mt19937 rng(5);
    Case random{"random", format(RaceOption::TimedRace, "2"), {}, 7, {}, 2};
    for (int32_t clock = 3; clock < 140000; clock += 1 + static_cast<int32_t>(rng() % 100)) {
        const char* const texts[] = {"1", "2", "3", "4", "x", "0", "7", "\r", "", "2.5"};
        random.reports.push_back({clock, qs(texts[rng() % 10])});
    }
    cases.push_back(random);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Track t(c.format);
        ASSERT_NO_FATAL_FAILURE(t.start());
        t.run(c.reports, 5000, c.phase);
        ASSERT_FALSE(t.recorder.comment(t.state.RaceClock, qs("3 reports dropped\r\nat Continue")));
        t.run(c.reports, 200000, c.phase);
        ASSERT_EQ(t.state.RaceOver, 1);

        const QByteArray recorded = test::fileBytes(t.recorder.raceFolder() + qs("/journal.txt"));
        const QByteArray expected = t.rescored(t.host.everyReport);
        EXPECT_EQ(t.rescored(recorded), expected);
        EXPECT_EQ(recorded.count("reports from"), c.tallies);
        if (c.dependsOnKeptNoise) {
            EXPECT_EQ(t.rescored(flagLinesOnly(t.host.everyReport)) != expected,
                      *c.dependsOnKeptNoise);
        } else {
            EXPECT_LT(recorded.count('\n'), t.host.everyReport.count('\n') * 2 / 3);
        }
        if (c.name == cases[0].name) {
            EXPECT_EQ(recorded,
                      "50,x\r\n1000,2\r\n3500,2\r\n3500,1\r\n#3600,2 reports from 1200 ms on "
                      "were no flag number: \"0\" 1, \"7\" 1\r\n#5000,3 reports dropped  at "
                      "Continue\r\n6500,2\r\n6500,1\r\n9500,2\r\n9500,1\r\n12500,2\r\n13000,x\r\n");
        }
    }
}

TEST(NoiseWatch, ThreeReportsInTenSecondsAreNoiseUntilTenQuietSeconds) {
    // Reports "at ms: text", then whether the port is noisy at the time asked.
    const std::vector<std::tuple<std::vector<std::pair<int64_t, const char*>>, int64_t, bool>>
        cases = {
            {{{0, "x"}, {5000, "0"}, {10000, "7"}}, 10000, true},   // three in 10 s
            {{{0, "x"}, {5000, "0"}, {10001, "7"}}, 10001, false},  // not in 10 s
            {{{0, "x"}, {1, "3"}, {2, "3"}, {3, "3"}}, 3, false},   // flags are no noise
            {{{0, "x"}, {1, "x"}, {2, "x"}}, 10002, true},          // still within 10 s
            {{{0, "x"}, {1, "x"}, {2, "x"}}, 10003, false},         // ten quiet seconds
        };
    for (const auto& [reports, at, noisy] : cases) {
        NoiseWatch watch;
        for (const auto& [ms, text] : reports) {
            watch.reportRead(ms, qs(text));
        }
        EXPECT_EQ(watch.noisy(at), noisy) << reports.size() << " reports, at " << at;
    }
}

TEST(RaceRecord, AFullDiskIsReportedOnceAndTheCutJournalIsOfferedAsWhatItIs) {
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
    t.run({}, 5000, 0);                                          // demo mode: the laps are made up
    EXPECT_EQ(t.host.problems.size(), 1u);

    t.engine.cmdStart_Click();  // pause
    t.engine.cmdAbort_Click();
    t.host.problems.clear();
    t.host.everyReport.clear();
    ASSERT_NO_FATAL_FAILURE(t.start());
    const QString folder = t.recorder.raceFolder();
    {
        test::FileSizeLimit full(100);
        t.run({}, 60000, 0);
    }
    ASSERT_EQ(t.host.problems.size(), 1u);
    const QString& told = t.host.problems[0].text;
    EXPECT_TRUE(told.contains(RaceArchive::kJournal));
    EXPECT_GT(t.state.LapCount[1], 5);  // the race went on

    const QByteArray bytes = test::fileBytes(t.recorder.raceFolder() + qs("/journal.txt"));
    const std::vector<JournalEntry> kept = parseJournal(bytes, nullptr);
    EXPECT_EQ(kept.size(), static_cast<size_t>(bytes.count('\n')));
    // The cut is noted at the first report lost, and told.
    const int32_t lost = parseJournal(t.host.everyReport, nullptr).at(kept.size()).clock;
    EXPECT_EQ(RaceArchive::endMark(folder).journalCutAt, lost);
    EXPECT_TRUE(told.contains(qs("only up to race time ") + raceTimeText(lost)))
        << told.toStdString();

    // Lapdeck stops here. Its next start says what the journal holds.
    test::ScriptedPrompter organiser;
    RaceState recovered;
    ASSERT_TRUE(offerRecovery(t.recorder.archive(), organiser, recovered));
    const QString asked = organiser.prompts.at(0).text;
    EXPECT_TRUE(asked.contains(qs("Its journal ends early, at race time ") + raceTimeText(lost)))
        << asked.toStdString();
    EXPECT_TRUE(asked.contains(qs("Results saved while the race ran are the ones to trust")));
    EXPECT_LT(recovered.LapCount[1], t.state.LapCount[1]);
    // Finished afterwards, it keeps the note for whoever opens it again.
    EXPECT_FALSE(RaceArchive::markEnded(folder, RaceEnd::Finished));
    EXPECT_EQ(RaceArchive::record(folder).journalCutAt, lost);
}

TEST(RaceRecord, RecoveryAsksNewestFirstAndNeverTwice) {
    Track t;
    t.state.Demo = true;  // chosen when the port failed: in force but in no file
    QStringList folders;
    for (int i = 0; i < 6; ++i) {
        ASSERT_FALSE(t.recorder.raceStarting(t.state, t.host.start.addSecs(600 * i)));
        // The two newest stopped before a crossing: one during the lights, one on noise.
        for (int lap = 1; lap <= (i < 4 ? 5 : i - 4); ++lap) {
            ASSERT_FALSE(t.recorder.reportRead(lap * 3000, qs(i < 4 ? "1" : "x")));
        }
        folders << t.recorder.raceFolder();  // and Lapdeck stops
    }
    // The oldest ended normally; the newest with laps has a journal broken at line 2.
    RaceArchive::markEnded(folders[0], RaceEnd::Finished);
    ASSERT_TRUE(
        test::writeBytes(QDir(folders[3]).filePath(RaceArchive::kJournal), "10,1\r\n5,2\r\n"));
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

    const RaceEnd ends[] = {RaceEnd::Finished,     RaceEnd::Recovered,   RaceEnd::NotRecovered,
                            RaceEnd::NotRecovered, RaceEnd::NoCrossings, RaceEnd::NoCrossings};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(RaceArchive::endOf(folders[i]), ends[i]) << i;
    }
    EXPECT_EQ(recovered.phase, RacePhase::Over);
    EXPECT_EQ(recovered.screen.picture, qs("CheckeredFlagblack.bmp"));  // over, not paused
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
