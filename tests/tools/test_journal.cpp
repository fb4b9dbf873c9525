#include "Journal.h"

#include <gtest/gtest.h>

#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

// Entries as "clock:text" lines, or the error's line.
std::string parsed(const QByteArray& bytes) {
    std::optional<JournalError> error;
    const std::vector<JournalEntry> entries = parseJournal(bytes, &error);
    if (error) {
        return (entries.empty() ? "error at line " : "error with entries, line ") +
               std::to_string(error->line) + (error->message.isEmpty() ? " (no message)" : "");
    }
    std::string out;
    for (const JournalEntry& e : entries) {
        out += std::to_string(e.clock) + ":" + e.text.toStdString() + "\n";
    }
    return out;
}

TEST(Journal, ReadsLinesInEitherLineEndKeepingTheTextAfterTheFirstComma) {
    EXPECT_EQ(parsed("# recorded at the track\r\n10,3\r\n\n20, 4\n20,\n30,1,2\r\n   \n40,a b\n"
                     "2147483647,6"),
              "10:3\n20: 4\n20:\n30:1,2\n40:a b\n2147483647:6\n");
    // What the program writes reads back.
    const QByteArray written =
        journalLine(1230, qs("4")) + journalLine(1240, QString()) + journalLine(1240, qs(" 2"));
    EXPECT_EQ(written, QByteArray("1230,4\r\n1240,\r\n1240, 2\r\n"));
    EXPECT_EQ(parsed(written), "1230:4\n1240:\n1240: 2\n");
}

TEST(Journal, RejectsMalformedLinesNamingTheLine) {
    const std::pair<const char*, int> cases[] = {{"10,1\n20\n", 2},      // no comma
                                                 {"10,1\n\n-5,1\n", 3},  // a sign is not a digit
                                                 {"10,1\n 20,1\n", 2},   // blank before the clock
                                                 {"10,1\n1e3,1\n", 2},   // no exponent
                                                 {",1\n", 1},            // no clock
                                                 {"2147483648,1\n", 1},  // past 32 bits
                                                 {"99999999999999999999,1\n", 1},
                                                 {"30,1\n20,2\n", 2},  // decreasing
                                                 {"10,1\n10.5,2\n", 2}};
    for (const auto& [text, line] : cases) {
        EXPECT_EQ(parsed(text), "error at line " + std::to_string(line)) << text;
    }
}

}  // namespace
}  // namespace lapdeck::test
