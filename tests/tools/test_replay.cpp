#include "Replay.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QTemporaryDir>

#include "EngineStubs.h"
#include "FileSizeLimit.h"
#include "Journal.h"
#include "NoisyRace.h"
#include "RaceArchive.h"
#include "RaceRecovery.h"
#include "RaceResultFiles.h"
#include "RaceSummary.h"
#include "TestHelpers.h"
#include "TextFile.h"

namespace lapdeck::test {
namespace {

const QString kRace = QStringLiteral(LAPDECK_RACES_DIR "/lap3_crash");

TEST(ReplayFaults, AFullDiskWritesNoResultAndLeavesOldOnesWhole) {
    QTemporaryDir out;
    const QString old = out.filePath(QStringLiteral("laps.lap"));
    ASSERT_FALSE(writeWholeFile(old, "an earlier race\r\n"));

    ReplayOptions options{false, kRace + QStringLiteral("/data"),
                          kRace + QStringLiteral("/journal.txt"), out.path()};
    QString message;
    int result = kReplayOk;
    {
        // The lap files would fit, the summary files not.
        FileSizeLimit full(400);
        result = runReplay(options, message);
    }

    EXPECT_EQ(result, kReplayFailed);
    EXPECT_TRUE(message.contains(QStringLiteral("cannot be written"))) << message.toStdString();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{QStringLiteral("laps.lap")});
    EXPECT_EQ(readWholeFile(old, 100).bytes, QByteArray("an earlier race\r\n"));

    ASSERT_EQ(runReplay(options, message), kReplayOk);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 4);
}

// The four files of a replay, one after the other.
QByteArray replayed(const QString& dataDir, const QString& journal) {
    QTemporaryDir out;
    QString message;
    EXPECT_EQ(runReplay({false, dataDir, journal, out.path()}, message), kReplayOk)
        << message.toStdString();
    QByteArray bytes;
    for (const char* file : {"laps.lap", "laps.txt", "summary.sum", "summary.txt"}) {
        bytes += fileBytes(out.filePath(QLatin1String(file)));
    }
    return bytes;
}

// Twenty minutes of the longest race in noise, journaled as earlier versions did (a
// line a report), recover and replay as the same race without the noise. (The
// benchmark bench_replay runs all four hours in 210 MB of noise.)
TEST(ReplayFaults, ANoisyJournalRecoversAndReplaysAsTheRaceWithoutTheNoise) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Races/2026-12-05 16-07-42"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeLongRaceData(folder);
    std::vector<JournalEntry> race = longRaceJournal();
    race.erase(std::find_if(race.begin(), race.end(),
                            [](const JournalEntry& e) { return e.clock > 20 * 60000; }),
               race.end());
    const QString clean = dir.filePath(QStringLiteral("clean.txt"));
    const QString noisy = QDir(folder).filePath(QStringLiteral("journal.txt"));
    ASSERT_TRUE(writeNoisyJournal(clean, race, 10, 0));
    ASSERT_TRUE(writeNoisyJournal(noisy, race, 10, 1));

    const QByteArray expected = replayed(folder, clean);
    EXPECT_EQ(replayed(folder, noisy), expected);
    ScriptedPrompter organiser;
    RaceState recovered;
    ASSERT_TRUE(offerRecovery(RaceArchive(dir.path()), organiser, recovered));
    SummaryStats stats;
    const auto files = buildRaceResultFiles(recovered, stats, QDateTime());
    ASSERT_TRUE(files.ok());
    const RaceResultFiles& f = files.value();
    EXPECT_EQ(f.lapFile + f.lapText + f.summaryFile + f.summaryText, expected);
    EXPECT_EQ(recovered.LapCount[1], 250);
}

TEST(ReplayFaults, AJournalPathWithPercentSignsIsNamedAsItIs) {
    QTemporaryDir dir;
    const QString journal = dir.filePath(QStringLiteral("heat %2 of %1.txt"));
    ASSERT_FALSE(writeWholeFile(journal, "10,1\n5,2\n"));
    ReplayOptions options{false, kRace + QStringLiteral("/data"), journal,
                          dir.filePath(QStringLiteral("out"))};
    QString message;
    EXPECT_EQ(runReplay(options, message), kReplayFailed);
    EXPECT_EQ(message, journal + QStringLiteral(", line 2: the race clock goes back from 10 to 5"));
}

}  // namespace
}  // namespace lapdeck::test
