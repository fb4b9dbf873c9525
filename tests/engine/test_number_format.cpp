#include "NumberFormat.h"

#include <QLocale>

#include "EngineHarness.h"
#include "ReportParser.h"

namespace lapdeck::test {
namespace {

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
};

class FormatNumberTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FormatNumberTest, WritesDecimalThenRoundsHalfAwayFromZero) {
    const PatternCase c = GetParam();
    EXPECT_EQ(formatNumber(c.value, qs(c.pattern)), qs(c.expected))
        << c.value << " with " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatNumberTest,
    ::testing::Values(
        // Gaps: "0.00", and whole laps "#Lap". Binary values just below the half still
        // round up: the decimal form decides.
        PatternCase{1235 / 1000.0, "0.00", "1.24"}, PatternCase{1005 / 1000.0, "0.00", "1.01"},
        PatternCase{2675 / 1000.0, "0.00", "2.68"}, PatternCase{0.005, "0.00", "0.01"},
        PatternCase{0.004, "0.00", "0.00"}, PatternCase{9.995, "0.00", "10.00"},
        PatternCase{-1.235, "0.00", "-1.24"}, PatternCase{-0.001, "0.00", "0.00"},
        PatternCase{12, "#Lap", "12Lap"},
        // Lap times: "0.00" below a minute, whole seconds "00" from a minute on.
        PatternCase{59.996, "0.00", "60.00"}, PatternCase{61.5, "00", "62"},
        PatternCase{2.5, "00", "03"},
        // Scale speed "0.0", clock parts and the lap store's text form.
        PatternCase{0.95, "0.0", "1.0"}, PatternCase{4, "00", "04"}, PatternCase{100, "00", "100"},
        PatternCase{5, "000", "005"}, PatternCase{12.345, "00.##", "12.35"},
        PatternCase{12.3, "00.##", "12.3"}, PatternCase{0.5, "00.##", "00.5"}));

TEST(FormatSingleTest, WritesSevenSignificantDigitsBeforeRounding) {
    // 1.005f is 1.00499999523...: seven digits read 1.005000, which rounds up; the
    // fifteen digits of a Double would round it down.
    EXPECT_EQ(formatSingle(1.005f, u"0.00"), qs("1.01"));
    EXPECT_EQ(formatNumber(static_cast<double>(1.005f), u"0.00"), qs("1.00"));
    EXPECT_EQ(formatSingle(10.5f, u"0.00"), qs("10.50"));
    EXPECT_EQ(formatSingle(0.0f, u"0.00"), qs("0.00"));
    // SpeedMultiplier is a Single: 100 ft at 1:24 and a 5 s lap.
    const float multiplier = static_cast<float>(100.0 / 5280 * 3600 * 24);
    EXPECT_EQ(formatSingle(multiplier / 5.0f, u"0.0"), qs("327.3"));
    EXPECT_EQ(formatSingle(340.9091f / 5.0f, u"0.0"), qs("68.2"));
}

TEST(LapSecondsTest, StoresHundredthsRoundedHalfUp) {
    EXPECT_EQ(lapSecondsFromMs(12345), 12.35f);
    EXPECT_EQ(lapSecondsFromMs(1005), 1.01f);
    EXPECT_EQ(lapSecondsFromMs(2001), 2.0f);
    EXPECT_EQ(lapSecondsFromMs(10), 0.01f);
    EXPECT_EQ(lapSecondsFromMs(0), 0.0f);
    EXPECT_EQ(lapSecondsFromMs(123456789), 123456.79f);
}

struct ShortestCase {
    double value;
    bool single;
    const char* expected;
};

class ShortestTest : public ::testing::TestWithParam<ShortestCase> {};

TEST_P(ShortestTest, WritesPlainShortestForm) {
    const ShortestCase c = GetParam();
    const QString text =
        c.single ? shortestSingle(static_cast<float>(c.value)) : shortestNumber(c.value);
    EXPECT_EQ(text, qs(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Values, ShortestTest,
                         ::testing::Values(ShortestCase{2.5, false, "2.5"},
                                           ShortestCase{5, false, "5"},
                                           ShortestCase{0.1 + 0.2, false, "0.3"},
                                           ShortestCase{340.9091, true, "340.9091"},
                                           ShortestCase{0.1, true, "0.1"},
                                           ShortestCase{0, true, "0"}));

TEST(RaceDateTimeTest, EnglishMonthTwoDigitDayHourWithoutLeadingZero) {
    EXPECT_EQ(formatRaceDateTime(QDateTime(QDate(2026, 12, 5), QTime(16, 7))), qs("Dec-05, 16-07"));
    EXPECT_EQ(formatRaceDateTime(QDateTime(QDate(2026, 1, 9), QTime(9, 5))), qs("Jan-09, 9-05"));
    EXPECT_EQ(formatRaceDateTime(QDateTime(QDate(2025, 5, 31), QTime(0, 0))), qs("May-31, 0-00"));
}

TEST(LocaleTest, FormatsIgnoreTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatNumber(1.37, u"0.00"), qs("1.37"));
    EXPECT_EQ(formatRaceDateTime(QDateTime(QDate(2026, 3, 5), QTime(16, 7))), qs("Mar-05, 16-07"));
    EXPECT_EQ(leadingNumber(u"2.5"), 2.5);
    QLocale::setDefault(before);
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {{1.25, 1}, {1.5, 2}, {2.5, 2}, {2.75, 3},
                                               {3.5, 4},  {4.5, 4}, {0.5, 0}, {-2.5, -2}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(roundHalfEven(value), expected) << value;
    }
}

TEST(LeadingNumberTest, ReadsTheNumberAtTheStart) {
    const std::pair<const char*, double> cases[] = {
        {"2.5", 2.5}, {" 12.5x", 12.5}, {"\t3", 3},    {"+4", 4},  {"-2.5", -2.5},
        {"05", 5},    {".5", 0.5},      {"3.", 3},     {"1e5", 1}, {"abc", 0},
        {"", 0},      {"- 3", 0},       {"9.75", 9.75}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(leadingNumber(qs(text)), expected) << '"' << text << '"';
    }
}

struct ReportCase {
    const char* text;
    int flag;
};

class ParseReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ParseReportTest, ReadsFlagNumber) {
    EXPECT_EQ(parseReport(qs(GetParam().text)), GetParam().flag) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ParseReportTest,
    ::testing::Values(ReportCase{"3", 3}, ReportCase{"2.5", 2}, ReportCase{"3.5", 4},
                      ReportCase{"\t 6", 6}, ReportCase{"+2", 2}, ReportCase{"-1", -1},
                      ReportCase{"", 0}, ReportCase{"x", 0}, ReportCase{"4x", 4},
                      ReportCase{"1e3", 1}, ReportCase{"32767", 32767},
                      ReportCase{"-32768", -32768}, ReportCase{"32768", 0}, ReportCase{"-32769", 0},
                      ReportCase{"32767.5", 0},
                      ReportCase{"100000000000000000000000000000000000000000", 0}));

}  // namespace
}  // namespace lapdeck::test
