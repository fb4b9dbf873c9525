#include "NumberFormat.h"

#include <QLocale>

#include "EngineHarness.h"
#include "ReportParser.h"

namespace lapdeck::test {
namespace {

// Each case is "value pattern text".
TEST(FormatNumber, WritesTheDecimalThenRoundsHalfAwayFromZero) {
    for (const char* c : {// Gaps "0.00" and whole laps "#Lap". Binary values just below the half
                          // still round up: the decimal form decides.
                          "1.235 0.00 1.24", "1.005 0.00 1.01", "2.675 0.00 2.68",
                          "0.005 0.00 0.01", "0.004 0.00 0.00", "9.995 0.00 10.00",
                          "-1.235 0.00 -1.24", "-0.001 0.00 0.00", "12 #Lap 12Lap",
                          // Lap times: "0.00" below a minute, whole seconds "00" from a minute on.
                          "59.996 0.00 60.00", "61.5 00 62", "2.5 00 03",
                          // Scale speed, clock parts and the lap store's text form.
                          "0.95 0.0 1.0", "4 00 04", "100 00 100", "5 000 005",
                          "12.345 00.## 12.35", "12.3 00.## 12.3", "0.5 00.## 00.5"}) {
        const QStringList p = qs(c).split(u' ');
        EXPECT_EQ(formatNumber(p[0].toDouble(), p[1]), p[2]) << c;
    }
}

TEST(FormatNumber, SinglesAreWrittenWithSevenSignificantDigitsBeforeRounding) {
    // 1.005f is 1.00499999523...: seven digits read 1.005000, which rounds up; the
    // fifteen digits of a Double would round it down.
    EXPECT_EQ(formatSingle(1.005f, u"0.00"), qs("1.01"));
    EXPECT_EQ(formatNumber(static_cast<double>(1.005f), u"0.00"), qs("1.00"));
    EXPECT_EQ(formatSingle(10.5f, u"0.00") + formatSingle(0.0f, u"0.00"), qs("10.500.00"));
    // SpeedMultiplier is a Single: 100 ft at 1:24 and a 5 s lap.
    const float multiplier = static_cast<float>(100.0 / 5280 * 3600 * 24);
    EXPECT_EQ(formatSingle(multiplier / 5.0f, u"0.0"), qs("327.3"));
    // Lap times are stored in hundredths rounded half up.
    const std::pair<int32_t, float> laps[] = {{12345, 12.35f}, {1005, 1.01f},
                                              {2001, 2.0f},    {10, 0.01f},
                                              {0, 0.0f},       {123456789, 123456.79f}};
    for (const auto& [ms, seconds] : laps) {
        EXPECT_EQ(lapSecondsFromMs(ms), seconds) << ms;
    }
    EXPECT_EQ(
        shortestNumber(0.1 + 0.2) + u' ' + shortestSingle(340.9091f) + u' ' + shortestSingle(0.0f),
        qs("0.3 340.9091 0"));
}

TEST(FormatNumber, RaceDateTimeHasAnEnglishMonthAndAnHourWithoutLeadingZeroInAnyLocale) {
    EXPECT_EQ(formatRaceDateTime(QDateTime(QDate(2026, 12, 5), QTime(16, 7))), qs("Dec-05, 16-07"));
    EXPECT_EQ(formatRaceDateTime(QDateTime(QDate(2025, 5, 31), QTime(0, 0))), qs("May-31, 0-00"));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatNumber(1.37, u"0.00"), qs("1.37"));
    EXPECT_EQ(formatRaceDateTime(QDateTime(QDate(2026, 3, 5), QTime(9, 5))), qs("Mar-05, 9-05"));
    EXPECT_EQ(leadingNumber(u"2.5"), 2.5);
    QLocale::setDefault(before);
}

TEST(ReadNumber, HalvesRoundToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {{1.25, 1}, {1.5, 2}, {2.5, 2}, {2.75, 3},
                                               {3.5, 4},  {4.5, 4}, {0.5, 0}, {-2.5, -2}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(roundHalfEven(value), expected) << value;
    }
}

// Each case is "text|number".
TEST(ReadNumber, LeadingNumberAndReportFlagNumber) {
    for (const char* c : {"2.5|2.5", " 12.5x|12.5", "\t3|3", "+4|4", "-2.5|-2.5", "05|5", ".5|0.5",
                          "3.|3", "1e5|1", "abc|0", "|0", "- 3|0", "9.75|9.75"}) {
        const QStringList p = qs(c).split(u'|');
        EXPECT_EQ(leadingNumber(p[0]), p[1].toDouble()) << c;
    }
    // A report is rounded half to even; anything outside 16 bits is no flag.
    for (const char* c : {"3|3", "2.5|2", "3.5|4", "\t 6|6", "+2|2", "+-5|0", "-1|-1", "|0", "x|0",
                          "4x|4", "1e3|1", "32767|32767", "-32768|-32768", "32768|0", "-32769|0",
                          "32767.5|0", "100000000000000000000000000000000000000000|0"}) {
        const QStringList p = qs(c).split(u'|');
        EXPECT_EQ(parseReport(p[0]), p[1].toInt()) << c;
    }
}

}  // namespace
}  // namespace lapdeck::test
