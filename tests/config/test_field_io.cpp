#include <gtest/gtest.h>

#include "ConfigError.h"
#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

const QString kName = QStringLiteral("X.dat");

TEST(FieldReader, ReadsQuotedTextsBareNumbersAndTruthsAcrossLineEndStyles) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const QByteArray bytes =
            QByteArray("\"Ann Lee\",-12,#TRUE#") + end + "\"\",3.25,#false#" + end;
        FieldReader r(kName, bytes);
        EXPECT_EQ(r.readText(), qs("Ann Lee"));
        EXPECT_EQ(r.readInt16(), int16_t{-12});
        EXPECT_EQ(r.readBool(), true);
        EXPECT_EQ(r.readText(), QString());
        EXPECT_EQ(r.readNumber(), 3.25);
        EXPECT_EQ(r.readBool(), false);
        EXPECT_TRUE(r.atEnd());
        EXPECT_FALSE(r.error().has_value()) << r.error()->message().toStdString();
    }
    // A text ends at the next quote, the rest of its field is skipped, and a comma
    // inside quotes is text. A file is UTF-8, else Latin-1; a byte order mark is skipped.
    FieldReader r(kName, "\"He \"said\" so\",7\r\n\"a,b\"\r\n\"Zo\xc3\xab\"");
    EXPECT_EQ(r.readText(), qs("He "));
    EXPECT_EQ(r.readInt16(), int16_t{7});
    EXPECT_EQ(r.readText(), qs("a,b"));
    EXPECT_EQ(r.readText(), QStringLiteral("Zo\u00eb"));
    EXPECT_FALSE(r.error());
    EXPECT_EQ(FieldReader(kName, "\"Zo\xeb\"").readText(), QStringLiteral("Zo\u00eb"));
    EXPECT_EQ(FieldReader(kName, "\xef\xbb\xbf\"Ann\"").readText(), qs("Ann"));
}

TEST(FieldReader, EveryFailureNamesFileLineAndField) {
    const std::tuple<const char*, int, int, int, const char*> cases[] = {
        // bytes, whole numbers read (the last one fails), line, field, reason
        {"1,2\r\n3,x4\r\n", 4, 2, 2, "not a whole number"},
        {"1,2.5", 2, 1, 2, "not a whole number"},
        {"40000", 1, 1, 1, "out of range"},
        {"1,2\r\n", 3, 1, 3, "ends too early"},
        {"", 1, 1, 1, "ends too early"},
        {"  \r\n \r\n", 1, 1, 1, "ends too early"},
        {"0x10", 1, 1, 1, "not a whole number"},
        {"+-3", 1, 1, 1, "not a whole number"},
        {"1 2", 1, 1, 1, "not a whole number"},
        {"1,,3", 2, 1, 2, "not a whole number"}};
    for (const auto& [bytes, reads, line, field, reason] : cases) {
        FieldReader r(kName, bytes);
        for (int i = 0; i < reads; ++i) {
            (void)r.readInt16();
        }
        ASSERT_TRUE(r.error().has_value()) << bytes;
        EXPECT_EQ(r.error()->line, line) << bytes;
        EXPECT_EQ(r.error()->field, field) << bytes;
        EXPECT_TRUE(r.error()->reason.contains(QLatin1String(reason)))
            << bytes << " -> " << r.error()->reason.toStdString();
        EXPECT_TRUE(r.error()->message().startsWith(kName)) << bytes;
    }
}

TEST(FieldReader, OnlyTheFirstErrorIsKeptAndLaterFieldsStillRead) {
    FieldReader r(kName, "a,5,#MAYBE#,6");
    EXPECT_FALSE(r.readInt16());
    EXPECT_EQ(r.readInt16(), int16_t{5});
    EXPECT_FALSE(r.readBool());
    EXPECT_EQ(r.readInt16(), int16_t{6});
    EXPECT_EQ(r.error()->field, 1);

    FieldReader unclosed(kName, "\"Ann\r\n\"Bob\"\r\n");  // stops at the line end
    EXPECT_EQ(unclosed.readText(), qs("Ann"));
    EXPECT_EQ(unclosed.readText(), qs("Bob"));
    EXPECT_EQ(unclosed.error()->line, 1);
    EXPECT_TRUE(unclosed.error()->reason.contains(QLatin1String("closing double quote")));

    for (const char* bad : {"TRUE", "1", "\"#TRUE#\"", "#TRUE", ""}) {
        FieldReader truth(kName, bad);
        EXPECT_FALSE(truth.readBool()) << bad;
        EXPECT_TRUE(truth.error()) << bad;
    }
}

TEST(FieldWriter, WritesWhatTheReaderReadsBackAndMakesAwkwardTextsSafe) {
    FieldWriter w;
    w.number(12).number(-1).text(qs("Yellow")).text(QString()).truth(true).truth(false);
    w.endLine().text(QStringLiteral("Zo\u00eb")).endLine().single(340.90909f).endLine();
    EXPECT_EQ(w.bytes(), QByteArray("12,-1,\"Yellow\",\"\",#TRUE#,#FALSE#\r\n\"Zo\xc3\xab\"\r\n"
                                    "340.9091\r\n"));

    const QString awkward = qs("O\"Neil\r\nJr");
    EXPECT_EQ(FieldWriter::storable(awkward), qs("O'Neil  Jr"));
    FieldWriter safe;
    safe.text(awkward).number(3).endLine();
    FieldReader r(kName, safe.bytes());
    EXPECT_EQ(r.readText(), qs("O'Neil  Jr"));
    EXPECT_EQ(r.readInt16(), int16_t{3});
    EXPECT_TRUE(r.atEnd());
}

TEST(DataFile, WriteReplacesTheWholeFileAndFailuresNameThePath) {
    TempFolder dir;
    const QString path = dir.file(kName);
    ASSERT_FALSE(DataFile::write(path, "first version, longer\r\n"));
    ASSERT_FALSE(DataFile::write(path, "second\r\n"));
    EXPECT_EQ(DataFile::read(path).value, QByteArray("second\r\n"));

    const QString nowhere = dir.missing() + QStringLiteral("/X.dat");
    const auto writeError = DataFile::write(nowhere, "x");
    ASSERT_TRUE(writeError);
    EXPECT_EQ(writeError->file, nowhere);
    EXPECT_TRUE(writeError->message().contains(QLatin1String("cannot be written")));

    dir.write(qs("big.dat"), QByteArray(DataFile::kMaxBytes + 1, 'x'));
    const std::pair<QString, const char*> unreadable[] = {
        {dir.file(qs("none.dat")), "does not exist"},
        {dir.path(), "not a file"},
        {dir.file(qs("big.dat")), "too large"}};
    for (const auto& [file, reason] : unreadable) {
        const LoadResult<QByteArray> r = DataFile::read(file);
        ASSERT_FALSE(r.ok()) << reason;
        EXPECT_EQ(r.error->message(), file + qs(": ") + r.error->reason);
        EXPECT_TRUE(r.error->reason.contains(QLatin1String(reason))) << reason;
    }
}

TEST(ConfigError, MessageShowsOnlyTheKnownParts) {
    EXPECT_EQ((ConfigError{qs("A.dat"), 2, 5, qs("bad")}).message(),
              qs("A.dat, line 2, field 5: bad"));
    EXPECT_EQ((ConfigError{qs("A.dat"), 3, 0, qs("bad")}).message(), qs("A.dat, line 3: bad"));
    EXPECT_EQ((ConfigError{qs("A.dat"), 0, 0, qs("gone")}).message(), qs("A.dat: gone"));
}

}  // namespace
}  // namespace lapdeck::test
