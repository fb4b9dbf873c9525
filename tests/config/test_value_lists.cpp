#include <gtest/gtest.h>

#include <utility>

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
    // "position=text" pairs, blank-separated.
    const std::pair<const QStringList&, const char*> cases[] = {
        {VL::trackLengths(), "0=10 12=22 40=50 64=74 65=75 66=80 490=2200 491=5280"},
        {VL::scales(), "0=1:1 4=1:10 7=1:24 12=1:72"},
        {VL::minLapTimes(), "0=1 1=1.25 4=2 6=2.5 35=9.75 36=10 37=11 86=60"},
        {VL::startDelays(), "0=0 30=30"},
        {VL::firstLaps(), "0=0 1=1"},
        {VL::ports(), "0=1 15=16"},
        {VL::lapCounts(),
         "0=3 12=15 13=20 14=25 17=40 18=50 22=90 23=100 24=125 25=150 26=200 32=500"},
        {VL::minuteCounts(), "0=1 14=15 15=20 29=90 30=100 44=240"},
    };
    for (const auto& [list, entries] : cases) {
        for (const QString& pair : QString::fromLatin1(entries).split(u' ')) {
            const QStringList parts = pair.split(u'=');
            EXPECT_EQ(VL::entry(list, parts[0].toInt()), parts[1]) << pair.toStdString();
        }
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
