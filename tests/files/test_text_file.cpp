#include <cerrno>
#include <clocale>
#include <string>

#include <QDir>

#include <gtest/gtest.h>

#include "FileSizeLimit.h"
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

// With the system's messages in German where the locale is installed (setup.sh
// makes it), as on a German desktop: the reason is worded the same.
TEST(TextFile, AFailedWriteLeavesTheOldFileWholeAndSaysWhy) {
    TempFolder dir;
    const QString path = dir.file(FileNames::raceLag);
    ASSERT_FALSE(writeWholeFile(path, "\"Lag First\"\r\n"));

    const std::string locale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    std::optional<QString> small, large;
    {
        FileSizeLimit full(4);
        small = writeWholeFile(path, "\"Median\"\r\n");
        large = writeWholeFile(path, QByteArray(100000, 'x'));
    }
    std::setlocale(LC_ALL, locale.c_str());
    EXPECT_EQ(small, qs("the file would be larger than the system allows"));
    EXPECT_EQ(large, small);
    EXPECT_EQ(fileBytes(path), QByteArray("\"Lag First\"\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("RaceLag.dat")});

    const auto noFolder = writeWholeFile(dir.file(qs("gone/x.lap")), "x");
    EXPECT_EQ(noFolder, qs("the folder ") + QDir::toNativeSeparators(dir.file(qs("gone"))) +
                            qs(" does not exist"));
}

// The reason comes from the error number and the folder, never from the system's
// text: these are glibc's German texts, which matching English wording missed.
TEST(TextFile, WriteFailuresReadInPlainWordsWhateverTheSystemsLanguage) {
    TempFolder dir;
    const QString path = dir.file(qs("x.dat"));
    const std::tuple<int, QFileDevice::FileError, const char*, QString> cases[] = {
        {ENOSPC, QFileDevice::ResourceError, "Auf dem Ger\u00e4t ist kein Speicherplatz mehr",
         qs("the disk is full")},
        {EROFS, QFileDevice::OpenError, "Das Dateisystem ist nur lesbar",
         qs("the disk is read-only")},
        {EACCES, QFileDevice::OpenError, "Keine Berechtigung",
         qs("Lapdeck may not write to the folder ") + QDir::toNativeSeparators(dir.path())},
        {EXDEV, QFileDevice::RenameError, "Ung\u00fcltiger Link",
         qs("Ung\u00fcltiger Link")},  // no rule for it: the system's words
        {0, QFileDevice::WriteError, "Unbekannter Fehler", qs("the system gave no reason")}};
    for (const auto& [number, kind, text, plain] : cases) {
        EXPECT_EQ(plainWriteReason(path, number, kind, qs(text)), plain) << number;
    }
    errno = EROFS;  // the older form takes the error number as it stands
    EXPECT_EQ(plainWriteReason(path, qs("Das Dateisystem ist nur lesbar")),
              qs("the disk is read-only"));
}

// The other refusals are shown by the data files' test in tests/config.
TEST(TextFile, ReadTakesAFileOfTheLimitAndRefusesOneByteMore) {
    TempFolder dir;
    dir.write(qs("a.lap"), "12345");
    EXPECT_EQ(readWholeFile(dir.file(qs("a.lap")), 5).bytes, QByteArray("12345"));
    EXPECT_EQ(readWholeFile(dir.file(qs("a.lap")), 4).error, qs("the file is too large"));
}

}  // namespace
}  // namespace lapdeck::test
