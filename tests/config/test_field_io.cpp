#include <gtest/gtest.h>

#include "ConfigError.h"
#include "DataFile.h"
#include "FieldReader.h"
#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

const QString kName = QStringLiteral("X.dat");

// Reads fields of the given kinds (t text, i whole number, n number, b truth), each
// shown followed by "|" ("-" when not read), then "end" at the end of the file, then
// the first error as "line L field F: reason".
std::string readFields(const QByteArray& bytes, const char* kinds) {
    FieldReader r(kName, bytes);
    std::string out;
    for (const char* k = kinds; *k != '\0'; ++k) {
        std::optional<QString> text;
        if (*k == 't') {
            text = r.readText();
        } else if (*k == 'i') {
            const auto v = r.readInt16();
            text = v ? std::optional(QString::number(*v)) : std::nullopt;
        } else if (*k == 'n') {
            const auto v = r.readNumber();
            text = v ? std::optional(QString::number(*v)) : std::nullopt;
        } else {
            const auto v = r.readBool();
            text = v ? std::optional(qs(*v ? "yes" : "no")) : std::nullopt;
        }
        out += (text ? text->toStdString() : "-") + "|";
    }
    out += r.atEnd() ? "end" : "";
    if (const auto e = r.error()) {
        EXPECT_TRUE(e->message().startsWith(kName + qs(", line ")));
        out += QStringLiteral(" line %1 field %2: ").arg(e->line).arg(e->field).toStdString() +
               e->reason.toStdString();
    }
    return out;
}

TEST(FieldReader, ReadsQuotedTextsBareNumbersAndTruthsAcrossLineEndStyles) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        EXPECT_EQ(
            readFields(QByteArray("\"Ann Lee\",-12,#TRUE#") + end + "\"\",+3.25,#false#" + end,
                       "tibtnb"),
            "Ann Lee|-12|yes||3.25|no|end");
    }
    // A text ends at the next quote, the rest of its field is skipped, and a comma
    // inside quotes is text. A file is UTF-8, else Latin-1; a byte order mark is skipped.
    EXPECT_EQ(readFields("\"He \"said\" so\",7\r\n\"a,b\"\r\n\"Zo\xc3\xab\"", "titt"),
              "He |7|a,b|Zo\xc3\xab|end");
    EXPECT_EQ(readFields("\"Zo\xeb\"", "t"), "Zo\xc3\xab|end");
    EXPECT_EQ(readFields("\xef\xbb\xbf\"Ann\"", "t"), "Ann|end");
}

TEST(FieldReader, EveryFailureNamesLineAndFieldAndOnlyTheFirstIsKept) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"1,2\r\n3,x4\r\n", "iiii", "1|2|3|-|end line 2 field 2: \"x4\" is not a whole number"},
        {"1,2.5", "ii", "1|-|end line 1 field 2: \"2.5\" is not a whole number"},
        {"40000", "i", "-|end line 1 field 1: \"40000\" is out of range"},
        {"1,2\r\n", "iii",
         "1|2|-|end line 1 field 3: the file ends too early (a field is missing)"},
        {"  \r\n \r\n", "i", "-|end line 1 field 1: the file ends too early (a field is missing)"},
        {"0x10", "i", "-|end line 1 field 1: \"0x10\" is not a whole number"},
        {"+-3", "i", "-|end line 1 field 1: \"+-3\" is not a whole number"},
        {"1 2", "i", "-|end line 1 field 1: \"1 2\" is not a whole number"},
        {"1,,3", "iii", "1|-|3|end line 1 field 2: \"\" is not a whole number"},
        {"a,5,#MAYBE#,6", "iibi", "-|5|-|6|end line 1 field 1: \"a\" is not a whole number"},
        {"\"Ann\r\n\"Bob\"\r\n", "tt",
         "Ann|Bob|end line 1 field 1: a text has no closing double quote"},
        {"TRUE,1,\"#TRUE#\",#TRUE", "bbbb",
         "-|-|-|-|end line 1 field 1: \"TRUE\" is not #TRUE# or #FALSE#"}};
    for (const auto& [bytes, kinds, read] : cases) {
        EXPECT_EQ(readFields(bytes, kinds), read);
    }
}

TEST(DataFile, WriteReplacesTheWholeFileAndFailuresNameThePath) {
    TempFolder dir;
    const QString path = dir.file(kName);
    ASSERT_FALSE(DataFile::write(path, "first version, longer\r\n"));
    ASSERT_FALSE(DataFile::write(path, "second\r\n"));
    EXPECT_EQ(DataFile::read(path).value, QByteArray("second\r\n"));
    const QString nowhere = dir.missing() + QStringLiteral("/X.dat");
    EXPECT_TRUE(
        DataFile::write(nowhere, "x")->message().startsWith(nowhere + qs(": cannot be written")));

    dir.write(qs("big.dat"), QByteArray(DataFile::kMaxBytes + 1, 'x'));
    const std::pair<QString, const char*> unreadable[] = {
        {dir.file(qs("none.dat")), "the file does not exist"},
        {dir.path(), "this is not a file"},
        {dir.file(qs("big.dat")), "the file is too large"}};
    for (const auto& [file, reason] : unreadable) {
        EXPECT_EQ(DataFile::read(file).error->message(), file + qs(": ") + qs(reason));
    }
    EXPECT_EQ((ConfigError{qs("A.dat"), 2, 5, qs("bad")}).message(),
              qs("A.dat, line 2, field 5: bad"));
    EXPECT_EQ((ConfigError{qs("A.dat"), 3, 0, qs("bad")}).message(), qs("A.dat, line 3: bad"));
}

}  // namespace
}  // namespace lapdeck::test
