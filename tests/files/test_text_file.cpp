#include <QDir>

#include <gtest/gtest.h>

#include "FileSizeLimit.h"
#include "LapFile.h"
#include "ProgramFiles.h"
#include "TestHelpers.h"
#include "TextFile.h"

namespace lapdeck::test {
namespace {

TEST(TextFile, DecodesUtf8ElseWindows1252) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"Ren\xC3\xA9"
         "e",
         QStringLiteral("Renée")},
        {"\xEF\xBB\xBFZo\xC3\xAB", QStringLiteral("Zoë")},  // byte-order mark dropped
        {"Ren\xE9"
         "e \x80 \x96 \x9F",
         QStringLiteral("Renée € – Ÿ")},     // not UTF-8
        {"\x81", QStringLiteral("\u0081")},  // unassigned in 1252
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeText(c.bytes), c.text) << c.bytes.toHex().constData();
    }
}

TEST(TextFile, AddingToALegacyRosterRewritesItInUtf8) {
    TempFolder dir;
    const QString roster = dir.file(FileNames::roster);
    dir.write(FileNames::roster,
              "\"Ren\xE9"
              "e\"\r\n\"Otto\"");
    ASSERT_FALSE(appendToRoster(roster, QStringLiteral("Émile")));
    EXPECT_EQ(fileBytes(roster), QByteArray("\"Ren\xC3\xA9"
                                            "e\"\r\n\"Otto\"\r\n\"\xC3\x89mile\"\r\n"));
    const LoadResult<QStringList> back = loadRoster(roster);
    EXPECT_EQ(back.value, (QStringList{QStringLiteral("Renée"), QStringLiteral("Otto"),
                                       QStringLiteral("Émile")}));
}

TEST(TextFile, AFailedWriteLeavesTheOldFileWholeAndSaysWhy) {
    TempFolder dir;
    const QString path = dir.file(FileNames::raceLag);
    ASSERT_FALSE(writeWholeFile(path, "\"Lag First\"\r\n"));

    std::optional<QString> small, large;
    {
        FileSizeLimit full(4);
        small = writeWholeFile(path, "\"Median\"\r\n");
        large = writeWholeFile(path, QByteArray(100000, 'x'));
    }
    ASSERT_TRUE(small);
    ASSERT_TRUE(large);
    EXPECT_FALSE(small->isEmpty());
    EXPECT_EQ(fileBytes(path), QByteArray("\"Lag First\"\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("RaceLag.dat")});

    const auto noFolder = writeWholeFile(dir.file(qs("gone/x.lap")), "x");
    ASSERT_TRUE(noFolder);
    EXPECT_TRUE(noFolder->contains(QStringLiteral("does not exist"))) << noFolder->toStdString();
}

TEST(TextFile, WriteFailuresReadInPlainWords) {
    const QString path = QDir::temp().filePath(qs("x.dat"));
    for (const auto& [system, plain] :
         {std::pair{"No space left on device", "the disk is full"},
          {"Read-only file system", "the disk is read-only"},
          {"Unknown error", "the system gave no reason"},
          {"Permission denied", "Lapdeck may not write to the folder %1"}}) {
        EXPECT_EQ(plainWriteReason(path, qs(system)),
                  qs(plain).replace(qs("%1"), QDir::toNativeSeparators(QDir::tempPath())))
            << system;
    }
}

// The other refusals are shown by the data files' test in tests/config.
TEST(TextFile, ReadTakesAFileOfTheLimitAndRefusesOneByteMore) {
    TempFolder dir;
    dir.write(qs("a.lap"), "12345");
    EXPECT_EQ(readWholeFile(dir.file(qs("a.lap")), 5).bytes, QByteArray("12345"));
    EXPECT_EQ(readWholeFile(dir.file(qs("a.lap")), 4).error, qs("the file is too large"));
}

TEST(TextFile, ALatin1LapFileShowsItsNames) {
    // One row of seven cells, the second a racer's name written by an older program.
    const Expected<LapFileContent> laps = readLapFile(
        "3 Lap Race\r\n\r\nRen\xE9"
        "e\r\n\r\n\r\n\r\n\r\n\r\n");
    ASSERT_TRUE(laps.ok());
    EXPECT_EQ(laps.value().grid.cell(0, 1).text, QStringLiteral("Renée"));
}

}  // namespace
}  // namespace lapdeck::test
