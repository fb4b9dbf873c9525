#include <gtest/gtest.h>

#include "ConfigError.h"
#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "TestSupport.h"

namespace lapdeck {
namespace {

using test::TempFolder;

const QString kName = QStringLiteral("X.dat");

TEST(FieldReader, ReadsQuotedTextsBareNumbersAndTruthsAcrossLineEndStyles) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const QByteArray bytes =
            QByteArray("\"Ann Lee\",-12,#TRUE#") + end + "\"\",3.25,#false#" + end;
        FieldReader r(kName, bytes);
        EXPECT_EQ(r.readText(), QStringLiteral("Ann Lee"));
        EXPECT_EQ(r.readInt16(), int16_t{-12});
        EXPECT_EQ(r.readBool(), true);
        EXPECT_EQ(r.readText(), QString());
        EXPECT_EQ(r.readNumber(), 3.25);
        EXPECT_EQ(r.readBool(), false);
        EXPECT_TRUE(r.atEnd());
        EXPECT_FALSE(r.error().has_value()) << r.error()->message().toStdString();
    }
}

TEST(FieldReader, TextEndsAtTheNextQuoteAndTheRestOfTheFieldIsSkipped) {
    FieldReader r(kName, "\"He \"said\" so\",7\r\n\"a,b\"\r\n");
    EXPECT_EQ(r.readText(), QStringLiteral("He "));
    EXPECT_EQ(r.readInt16(), int16_t{7});
    EXPECT_EQ(r.readText(), QStringLiteral("a,b"));  // a comma inside quotes is text
    EXPECT_FALSE(r.error());
}

TEST(FieldReader, EveryFailureNamesFileLineAndField) {
    struct Case {
        const char* bytes;
        int reads;  // whole numbers read; the last one fails
        int line;
        int field;
        const char* reasonPart;
    };
    const Case cases[] = {
        {"1,2\r\n3,x4\r\n", 4, 2, 2, "not a whole number"},
        {"1,2.5", 2, 1, 2, "not a whole number"},
        {"40000", 1, 1, 1, "out of range"},
        {"1,2\r\n", 3, 1, 3, "ends too early"},
        {"", 1, 1, 1, "ends too early"},
        {"  \r\n \r\n", 1, 1, 1, "ends too early"},
        {"0x10", 1, 1, 1, "not a whole number"},
        {"+-3", 1, 1, 1, "not a whole number"},
        {"1 2", 1, 1, 1, "not a whole number"},
        {"1,,3", 2, 1, 2, "not a whole number"},
    };
    for (const Case& c : cases) {
        FieldReader r(kName, c.bytes);
        for (int i = 0; i < c.reads; ++i) {
            (void)r.readInt16();
        }
        ASSERT_TRUE(r.error().has_value()) << c.bytes;
        EXPECT_EQ(r.error()->line, c.line) << c.bytes;
        EXPECT_EQ(r.error()->field, c.field) << c.bytes;
        EXPECT_TRUE(r.error()->reason.contains(QLatin1String(c.reasonPart)))
            << c.bytes << " -> " << r.error()->reason.toStdString();
        EXPECT_TRUE(r.error()->message().startsWith(kName)) << c.bytes;
    }
}

TEST(FieldReader, OnlyTheFirstErrorIsKeptAndLaterFieldsStillRead) {
    FieldReader r(kName, "a,5,#MAYBE#,6");
    EXPECT_FALSE(r.readInt16());
    EXPECT_EQ(r.readInt16(), int16_t{5});
    EXPECT_FALSE(r.readBool());
    EXPECT_EQ(r.readInt16(), int16_t{6});
    ASSERT_TRUE(r.error());
    EXPECT_EQ(r.error()->field, 1);
}

TEST(FieldReader, UnclosedQuoteIsAnErrorAndStopsAtTheLineEnd) {
    FieldReader r(kName, "\"Ann\r\n\"Bob\"\r\n");
    EXPECT_EQ(r.readText(), QStringLiteral("Ann"));
    EXPECT_EQ(r.readText(), QStringLiteral("Bob"));
    ASSERT_TRUE(r.error());
    EXPECT_EQ(r.error()->line, 1);
    EXPECT_TRUE(r.error()->reason.contains(QLatin1String("closing double quote")));
}

TEST(FieldReader, TruthValuesAreOnlyTheMarkedWords) {
    for (const char* bad : {"TRUE", "1", "\"#TRUE#\"", "#TRUE", ""}) {
        FieldReader r(kName, bad);
        EXPECT_FALSE(r.readBool()) << bad;
        EXPECT_TRUE(r.error()) << bad;
    }
}

TEST(FieldReader, DecodesUtf8AndFallsBackToLatin1) {
    FieldReader utf8(kName, "\"Zo\xc3\xab\"");
    EXPECT_EQ(utf8.readText(), QStringLiteral("Zo\u00eb"));
    FieldReader latin1(kName, "\"Zo\xeb\"");
    EXPECT_EQ(latin1.readText(), QStringLiteral("Zo\u00eb"));
    FieldReader bom(kName, "\xef\xbb\xbf\"Ann\"");
    EXPECT_EQ(bom.readText(), QStringLiteral("Ann"));
}

TEST(FieldWriter, WritesCommasWithoutBlanksAndCrLf) {
    FieldWriter w;
    w.number(12).number(-1).text(QStringLiteral("Yellow")).text(QString()).truth(true).truth(false);
    w.endLine().text(QStringLiteral("Zo\u00eb")).endLine().single(340.90909f).endLine();
    EXPECT_EQ(w.bytes(), QByteArray("12,-1,\"Yellow\",\"\",#TRUE#,#FALSE#\r\n\"Zo\xc3\xab\"\r\n"
                                    "340.9091\r\n"));
}

TEST(FieldWriter, TextsThatCouldNotBeReadBackAreMadeSafe) {
    const QString awkward = QStringLiteral("O\"Neil\r\nJr");
    FieldWriter w;
    w.text(awkward).number(3).endLine();
    FieldReader r(kName, w.bytes());
    EXPECT_EQ(r.readText(), FieldWriter::storable(awkward));
    EXPECT_EQ(FieldWriter::storable(awkward), QStringLiteral("O'Neil  Jr"));
    EXPECT_EQ(r.readInt16(), int16_t{3});
    EXPECT_TRUE(r.atEnd());
}

TEST(DataFile, WriteReplacesTheWholeFileAndReadGivesItBack) {
    TempFolder dir;
    const QString path = dir.file(kName);
    ASSERT_FALSE(DataFile::write(path, "first version, longer\r\n"));
    ASSERT_FALSE(DataFile::write(path, "second\r\n"));
    const LoadResult<QByteArray> back = DataFile::read(path);
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.value, QByteArray("second\r\n"));
}

TEST(DataFile, FailuresAreReportedWithThePath) {
    TempFolder dir;
    const QString nowhere = test::unwritableFolder(dir) + QStringLiteral("/X.dat");
    const auto writeError = DataFile::write(nowhere, "x");
    ASSERT_TRUE(writeError);
    EXPECT_EQ(writeError->file, nowhere);
    EXPECT_TRUE(writeError->message().contains(QLatin1String("cannot be written")));

    const LoadResult<QByteArray> missing = DataFile::read(dir.file(QStringLiteral("none.dat")));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error->message().contains(QLatin1String("none.dat")));
    EXPECT_TRUE(missing.error->reason.contains(QLatin1String("does not exist")));

    const LoadResult<QByteArray> folder = DataFile::read(dir.path());
    EXPECT_FALSE(folder.ok());

    dir.write(QStringLiteral("big.dat"), QByteArray(DataFile::kMaxBytes + 1, 'x'));
    const LoadResult<QByteArray> big = DataFile::read(dir.file(QStringLiteral("big.dat")));
    ASSERT_FALSE(big.ok());
    EXPECT_TRUE(big.error->reason.contains(QLatin1String("too large")));
}

TEST(ConfigError, MessageShowsOnlyTheKnownParts) {
    EXPECT_EQ((ConfigError{QStringLiteral("A.dat"), 2, 5, QStringLiteral("bad")}).message(),
              QStringLiteral("A.dat, line 2, field 5: bad"));
    EXPECT_EQ((ConfigError{QStringLiteral("A.dat"), 3, 0, QStringLiteral("bad")}).message(),
              QStringLiteral("A.dat, line 3: bad"));
    EXPECT_EQ((ConfigError{QStringLiteral("A.dat"), 0, 0, QStringLiteral("gone")}).message(),
              QStringLiteral("A.dat: gone"));
}

}  // namespace
}  // namespace lapdeck
