#include <cerrno>
#include <clocale>
#include <cstring>
#include <string>

#include <QBuffer>
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

// The reason comes from the error number and the folder, never from the system's
// text: these are glibc's German texts, which the old wording rules missed.
TEST(TextFile, WriteFailuresReadInPlainWordsWhateverTheSystemsLanguage) {
    TempFolder dir;
    const QString path = dir.file(qs("x.dat"));
    const QString folder = QDir::toNativeSeparators(dir.path());
    const std::tuple<int, QFileDevice::FileError, const char*, QString> cases[] = {
        {ENOSPC, QFileDevice::ResourceError,
         "Auf dem Ger\u00e4t ist kein Speicherplatz mehr verf\u00fcgbar", qs("the disk is full")},
        {0, QFileDevice::ResourceError, "", qs("the disk is full")},
        {EDQUOT, QFileDevice::WriteError, "Der zugewiesene Plattenplatz (Quota) ist überschritten",
         qs("the disk is full")},
        {EROFS, QFileDevice::OpenError, "Das Dateisystem ist nur lesbar",
         qs("the disk is read-only")},
        {EACCES, QFileDevice::OpenError, "Keine Berechtigung",
         qs("Lapdeck may not write to the folder ") + folder},
        {EFBIG, QFileDevice::WriteError, "Die Datei ist zu gro\u00df",
         qs("the file would be larger than the system allows")},
        {EIO, QFileDevice::WriteError, "Eingabe-/Ausgabefehler",
         qs("the disk reported an error while writing")},
        {EXDEV, QFileDevice::RenameError, "Ung\u00fcltiger Link \u00fcber Ger\u00e4tegrenzen",
         qs("Ung\u00fcltiger Link \u00fcber Ger\u00e4tegrenzen")},  // no rule: the system's words
        {0, QFileDevice::WriteError, "Unbekannter Fehler", qs("the system gave no reason")}};
    for (const auto& [number, kind, text, plain] : cases) {
        EXPECT_EQ(plainWriteReason(path, number, kind, qs(text)), plain) << number;
    }
    EXPECT_EQ(
        plainWriteReason(dir.file(qs("gone/x.dat")), ENOENT, QFileDevice::OpenError, {}),
        qs("the folder ") + QDir::toNativeSeparators(dir.file(qs("gone"))) + qs(" does not exist"));
    ASSERT_TRUE(QDir().mkpath(dir.file(qs("x.lap"))));
    EXPECT_EQ(plainWriteReason(dir.file(qs("x.lap")), EISDIR, QFileDevice::OpenError, {}),
              QDir::toNativeSeparators(dir.file(qs("x.lap"))) + qs(" is a folder"));
    errno = EROFS;  // the older form takes the error number as it stands
    EXPECT_EQ(plainWriteReason(path, qs("Das Dateisystem ist nur lesbar")),
              qs("the disk is read-only"));
}

// A real failed write with the system speaking German, as it does for a user whose
// desktop is in German (scripts/setup.sh makes the locale).
TEST(TextFile, AFailedWriteUnderAGermanLocaleIsStillExplained) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (scripts/setup.sh makes it)";
    }
    const std::string german = std::strerror(EFBIG);
    TempFolder dir;
    std::optional<QString> reason;
    {
        FileSizeLimit full(4);
        reason = writeWholeFile(dir.file(qs("laps.lap")), "Title\r\nYellow\r\n");
    }
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_NE(german, std::strerror(EFBIG)) << "the locale did not translate";
    EXPECT_EQ(reason, qs("the file would be larger than the system allows"));
}

// Lines as read, "|"-joined: every line end, a CR LF split between two reads, the
// encoding rule over the whole file, and the line limit (here 70,000 bytes).
TEST(TextLineReader, ReadsLinesByTheEncodingRuleOneAtATime) {
    const QByteArray acrossReads = QByteArray(65535, 'a') + "\r\nb";
    const std::pair<QByteArray, QString> cases[] = {
        {"", QString()},
        {"a\r\nb\r\n", qs("a|b")},
        {"a\r\n\r\nb", qs("a||b")},
        {"a\nb\rc\r\r\n", qs("a|b|c|")},
        {"\xEF\xBB\xBFZo\xC3\xAB\r\nZo", qs("Zo\u00eb|Zo")},  // byte-order mark dropped
        {"Zo\xC3\xAB\r\nRen\xE9"
         "e",
         qs("Zo\u00c3\u00ab|Ren\u00e9e")},  // one 1252 line: all 1252
        {acrossReads, QString(65535, u'a') + qs("|b")},
        {QByteArray(70001, 'a') + "\r\nb", qs("<too long>")},
        {"a\r\n" + QByteArray(70001, 'a'), qs("<too long>")}};
    for (const auto& [bytes, lines] : cases) {
        QBuffer buffer;
        buffer.setData(bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        TextLineReader reader(buffer, 70000);
        QStringList read;
        for (int pass = 0; pass < 2; ++pass) {
            read.clear();
            while (std::optional<QString> line = reader.next()) {
                read << *line;
            }
            reader.rewind();  // the second pass reads the same
        }
        if (reader.failure() == TextLineReader::Failure::LineTooLong) {
            read = QStringList{qs("<too long>")};
        }
        EXPECT_EQ(read.join(u'|'), lines) << bytes.left(20).toStdString();
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
