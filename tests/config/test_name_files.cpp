#include <gtest/gtest.h>

#include "FieldWriter.h"
#include "ProgramFiles.h"
#include "RosterModel.h"
#include "TestHelpers.h"

namespace lapdeck {
namespace {

using test::strings;

TEST(NameOrder, AccentsSortWithTheirLetterCaseIgnoredEqualsKeepTheirOrder) {
    const QStringList roster =
        strings({"Zoe", "\xc3\x96zil", "Eva", "\xc3\xa9mile", "Otto", "eva"});
    EXPECT_EQ(namePickerEntries(roster),
              strings({"\xc3\xa9mile", "Empty", "Eva", "eva", "Otto", "\xc3\x96zil", "Zoe"}));
}

// The window tests show binary data refused in all three files; here the line it
// is found on and the lag column's own rule.
TEST(NameFiles, ControlCharactersAndUnknownLagModesAreRefused) {
    const char raw[] = "\"Ann\"\r\n\"B\x01\x02\xff\"\r\n\"Cy\"\r\n";
    const auto roster = parseRoster(QByteArray(raw, sizeof raw - 1), FileNames::roster);
    ASSERT_TRUE(roster.error.has_value());
    EXPECT_EQ(roster.error->line, 2);
    EXPECT_TRUE(roster.value.isEmpty());  // not even the names before it
    const auto lag = parseLagMode("\"Lag Frist\"\r\n", FileNames::raceLag);
    ASSERT_TRUE(lag.error.has_value());
    EXPECT_TRUE(lag.error->reason.startsWith(QStringLiteral("\"Lag Frist\" is not a heading")));
    EXPECT_EQ(lag.value, QStringLiteral("Lag First"));
    EXPECT_EQ(parseLagMode("\"Median\"\r\n", FileNames::raceLag).value, QStringLiteral("Median"));
    // What Lapdeck writes itself never holds them.
    EXPECT_EQ(FieldWriter::storable(QStringLiteral("A\tB\x01")), QStringLiteral("A B "));
}

}  // namespace
}  // namespace lapdeck
