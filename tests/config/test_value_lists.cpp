#include <gtest/gtest.h>

#include "NumberFormat.h"
#include "TestSupport.h"
#include "ValueLists.h"

namespace lapdeck {
namespace {

namespace VL = ValueLists;

TEST(ValueLists, SizesAreThoseStoredPositionsReferTo) {
    EXPECT_EQ(VL::trackLengths().size(), 492);
    EXPECT_EQ(VL::scales().size(), 13);
    EXPECT_EQ(VL::minLapTimes().size(), 87);
    EXPECT_EQ(VL::startDelays().size(), 31);
    EXPECT_EQ(VL::firstLaps().size(), 2);
    EXPECT_EQ(VL::ports().size(), 16);
    EXPECT_EQ(VL::colourNames().size(), 8);
    EXPECT_EQ(VL::lapCounts().size(), 33);
    EXPECT_EQ(VL::minuteCounts().size(), 45);
}

// Every expected text below was worked out from the list rules by hand.
TEST(ValueLists, StoredPositionsSelectTheSameEntries) {
    struct Case {
        const QStringList& list;
        int position;
        const char* text;
    };
    const Case cases[] = {
        {VL::trackLengths(), 0, "10"},
        {VL::trackLengths(), 12, "22"},
        {VL::trackLengths(), 40, "50"},
        {VL::trackLengths(), 64, "74"},
        {VL::trackLengths(), 65, "75"},
        {VL::trackLengths(), 66, "80"},
        {VL::trackLengths(), 490, "2200"},
        {VL::trackLengths(), 491, "5280"},
        {VL::scales(), 0, "1:1"},
        {VL::scales(), 4, "1:10"},
        {VL::scales(), 7, "1:24"},
        {VL::scales(), 12, "1:72"},
        {VL::minLapTimes(), 0, "1"},
        {VL::minLapTimes(), 1, "1.25"},
        {VL::minLapTimes(), 4, "2"},
        {VL::minLapTimes(), 6, "2.5"},
        {VL::minLapTimes(), 35, "9.75"},
        {VL::minLapTimes(), 36, "10"},
        {VL::minLapTimes(), 37, "11"},
        {VL::minLapTimes(), 86, "60"},
        {VL::startDelays(), 0, "0"},
        {VL::startDelays(), 30, "30"},
        {VL::firstLaps(), 0, "0"},
        {VL::firstLaps(), 1, "1"},
        {VL::ports(), 0, "1"},
        {VL::ports(), 15, "16"},
        {VL::lapCounts(), 0, "3"},
        {VL::lapCounts(), 12, "15"},
        {VL::lapCounts(), 13, "20"},
        {VL::lapCounts(), 14, "25"},
        {VL::lapCounts(), 17, "40"},
        {VL::lapCounts(), 18, "50"},
        {VL::lapCounts(), 22, "90"},
        {VL::lapCounts(), 23, "100"},
        {VL::lapCounts(), 24, "125"},
        {VL::lapCounts(), 25, "150"},
        {VL::lapCounts(), 26, "200"},
        {VL::lapCounts(), 32, "500"},
        {VL::minuteCounts(), 0, "1"},
        {VL::minuteCounts(), 14, "15"},
        {VL::minuteCounts(), 15, "20"},
        {VL::minuteCounts(), 29, "90"},
        {VL::minuteCounts(), 30, "100"},
        {VL::minuteCounts(), 44, "240"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VL::entry(c.list, c.position), QLatin1String(c.text))
            << "position " << c.position;
    }
}

TEST(ValueLists, ListsAreStrictlyIncreasingWithTheirSteps) {
    // Each gap between neighbours is one of the list's steps; a wrong step or a
    // repeated entry would move every later position.
    auto steps = [](const QStringList& list) {
        QList<double> gaps;
        for (qsizetype i = 1; i < list.size(); ++i) {
            gaps.append(list[i].toDouble() - list[i - 1].toDouble());
        }
        return gaps;
    };
    for (double gap : steps(VL::trackLengths().mid(0, 491))) {
        EXPECT_TRUE(gap == 1.0 || gap == 5.0);
    }
    for (double gap : steps(VL::minLapTimes())) {
        EXPECT_TRUE(gap == 0.25 || gap == 1.0);
    }
}

TEST(ValueLists, ColoursAreSortedAndFlagDefaultsInFlagOrder) {
    EXPECT_EQ(VL::colourNames(), test::strings({"Blue", "Green", "Grey", "Orange", "Purple", "Red",
                                                "White", "Yellow"}));
    EXPECT_EQ(defaultColourNames(),
              test::strings({"Yellow", "Green", "Blue", "White", "Purple", "Orange"}));
}

TEST(ValueLists, EntryOffTheListIsEmpty) {
    EXPECT_EQ(VL::entry(VL::scales(), -1), QString());
    EXPECT_EQ(VL::entry(VL::scales(), 13), QString());
    EXPECT_EQ(VL::positionOf(VL::scales(), QStringLiteral("1:24")), 7);
    EXPECT_EQ(VL::positionOf(VL::scales(), QStringLiteral("1:3")), -1);
}

TEST(ConvertScale, GivesTheFactorOfEveryListEntryAndNothingElse) {
    const int16_t factors[] = {1, 2, 4, 8, 10, 12, 18, 24, 25, 32, 43, 64, 72};
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(convertScale(VL::scales()[i]), factors[i]);
    }
    for (const char* other : {"", "1:3", "1 :24", "24", "1:240"}) {
        EXPECT_FALSE(convertScale(QLatin1String(other)).has_value()) << other;
    }
}

TEST(ColourNumber, RedPlus256GreenPlus65536Blue) {
    struct Case {
        const char* name;
        int32_t number;
    };
    const Case cases[] = {{"Yellow", 65535},   {"Green", 65280},     {"Blue", 16744576},
                          {"White", 16777215}, {"Purple", 16711935}, {"Orange", 33023},
                          {"Red", 255},        {"Grey", 12632256}};
    for (const Case& c : cases) {
        EXPECT_EQ(colourNumber(QLatin1String(c.name)), c.number) << c.name;
    }
    EXPECT_FALSE(colourNumber(QStringLiteral("Pink")));
    EXPECT_FALSE(colourNumber(QStringLiteral("yellow")));
    EXPECT_FALSE(colourNumber(QString()));
}

TEST(SpeedMultiplier, WorkedInDoubleKeptAsSingle) {
    EXPECT_EQ(shortestSingle(speedMultiplier(50, 10)), QStringLiteral("340.9091"));
    EXPECT_EQ(speedMultiplier(22, 24), 360.0f);
    EXPECT_EQ(speedMultiplier(5280, 72), 259200.0f);
    EXPECT_EQ(shortestSingle(speedMultiplier(50, 24)), QStringLiteral("818.1818"));
    // A five-second lap at 50 ft, 1:10 shows 68.2 scale mph.
    EXPECT_EQ(formatSingle(speedMultiplier(50, 10) / 5.0f, u"0.0"), QStringLiteral("68.2"));
}

}  // namespace
}  // namespace lapdeck
