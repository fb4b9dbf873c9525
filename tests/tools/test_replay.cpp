#include "Replay.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "FileSizeLimit.h"
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

TEST(ReplayFaults, AJournalPathWithPercentSignsIsNamedAsItIs) {
    QTemporaryDir dir;
    const QString journal = dir.filePath(QStringLiteral("heat %2 of %1.txt"));
    ASSERT_FALSE(writeWholeFile(journal, "10\n"));
    ReplayOptions options{false, kRace + QStringLiteral("/data"), journal,
                          dir.filePath(QStringLiteral("out"))};
    QString message;
    EXPECT_EQ(runReplay(options, message), kReplayFailed);
    EXPECT_EQ(message, journal + QStringLiteral(", line 1: no comma after the race clock"));
}

}  // namespace
}  // namespace lapdeck::test
