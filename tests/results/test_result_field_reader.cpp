#include "ResultFieldReader.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace lapdeck {
namespace {

QStringList readAll(const QString& text) {
    ResultFieldReader reader(text);
    QStringList fields;
    while (std::optional<QString> field = reader.next()) {
        fields << *field;
    }
    return fields;
}

struct FieldCase {
    const char* name;
    QString text;
    QStringList fields;
};

class FieldReaderCases : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldReaderCases, ReadsFieldsAsTheFilesAreReadBack) {
    EXPECT_EQ(readAll(GetParam().text), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldReaderCases,
    ::testing::Values(FieldCase{"Empty", QString(), {}},
                      FieldCase{"OneLineNoEnd", QStringLiteral("abc"), {QStringLiteral("abc")}},
                      FieldCase{"LastLineEndAddsNoField",
                                QStringLiteral("a\r\nb\r\n"),
                                {QStringLiteral("a"), QStringLiteral("b")}},
                      FieldCase{"EmptyLinesAreEmptyFields",
                                QStringLiteral("a\r\n\r\n\r\nb\r\n"),
                                {QStringLiteral("a"), QString(), QString(), QStringLiteral("b")}},
                      FieldCase{"BlanksAroundDropped",
                                QStringLiteral(" 1 \r\n\t2.50\t\r\n"),
                                {QStringLiteral("1"), QStringLiteral("2.50")}},
                      FieldCase{"CommaSplitsALine",
                                QStringLiteral("Bob, Jr\r\n"),
                                {QStringLiteral("Bob"), QStringLiteral("Jr")}},
                      FieldCase{"QuotedKeepsCommaAndBlanks",
                                QStringLiteral("\" Bob, Jr \",x\r\n"),
                                {QStringLiteral(" Bob, Jr "), QStringLiteral("x")}},
                      FieldCase{"TextAfterClosingQuoteDropped",
                                QStringLiteral("\"ab\"cd,e"),
                                {QStringLiteral("ab"), QStringLiteral("e")}},
                      FieldCase{"UnclosedQuoteEndsAtLineEnd",
                                QStringLiteral("\"ab\r\ncd"),
                                {QStringLiteral("ab"), QStringLiteral("cd")}},
                      FieldCase{"LfAndCrLineEnds",
                                QStringLiteral("a\nb\rc"),
                                {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
                      FieldCase{"CommaBeforeLineEnd",
                                QStringLiteral("a,\r\nb"),
                                {QStringLiteral("a"), QString(), QStringLiteral("b")}}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

TEST(ResultFieldReader, AtEndOnlyAfterTheLastField) {
    ResultFieldReader reader(u"x\r\n");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next(), QStringLiteral("x"));
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.next(), std::nullopt);
}

}  // namespace
}  // namespace lapdeck
