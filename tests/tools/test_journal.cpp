#include "Journal.h"

#include <gtest/gtest.h>

namespace lapdeck {
namespace {

std::vector<JournalEntry> parse(const char* text, std::optional<JournalError>* error) {
    return parseJournal(QByteArray(text), error);
}

TEST(Journal, ReadsLinesInEitherLineEndAndKeepsTextAsRead) {
    std::optional<JournalError> error;
    const auto entries =
        parse("# recorded at the track\r\n10,3\r\n\n20, 4\n20,\n30,1,2\r\n   \n40,a b\n", &error);
    ASSERT_FALSE(error.has_value());
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].clock, 10);
    EXPECT_EQ(entries[0].text, QStringLiteral("3"));
    EXPECT_EQ(entries[1].text, QStringLiteral(" 4"));
    EXPECT_EQ(entries[2].clock, 20);
    EXPECT_TRUE(entries[2].text.isEmpty());
    // Everything after the first comma is the report.
    EXPECT_EQ(entries[3].text, QStringLiteral("1,2"));
    EXPECT_EQ(entries[4].text, QStringLiteral("a b"));
}

TEST(Journal, LastLineWithoutLineEndCounts) {
    std::optional<JournalError> error;
    const auto entries = parse("0,5\n2147483647,6", &error);
    ASSERT_FALSE(error.has_value());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].clock, 0);
    EXPECT_EQ(entries[1].clock, 2147483647);
}

TEST(Journal, RejectsMalformedLinesNamingTheLine) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"10,1\n20\n", 2},      // no comma
        {"10,1\n\n-5,1\n", 3},  // sign is not a digit
        {"10,1\n 20,1\n", 2},   // blank before the clock
        {"10,1\n1e3,1\n", 2},   // no exponent
        {",1\n", 1},            // no clock
        {"2147483648,1\n", 1},  // past 32 bits
        {"99999999999999999999,1\n", 1},
        {"30,1\n20,2\n", 2},  // decreasing
        {"10,1\n10.5,2\n", 2},
    };
    for (const Case& c : cases) {
        std::optional<JournalError> error;
        const auto entries = parse(c.text, &error);
        EXPECT_TRUE(entries.empty()) << c.text;
        ASSERT_TRUE(error.has_value()) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_FALSE(error->message.isEmpty());
    }
}

TEST(Journal, LineWrittenByTheProgramReadsBack) {
    const QByteArray bytes = journalLine(1230, QStringLiteral("4")) + journalLine(1240, QString()) +
                             journalLine(1240, QStringLiteral(" 2"));
    EXPECT_EQ(bytes, QByteArray("1230,4\r\n1240,\r\n1240, 2\r\n"));
    std::optional<JournalError> error;
    const auto entries = parseJournal(bytes, &error);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(entries[1].text.isEmpty());
    EXPECT_EQ(entries[2].text, QStringLiteral(" 2"));
}

}  // namespace
}  // namespace lapdeck
