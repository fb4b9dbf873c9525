#include <gtest/gtest.h>

#include "NumberFormat.h"
#include "TestHelpers.h"
#include "ValueLists.h"

namespace lapdeck::test {
namespace {

namespace VL = ValueLists;

// Stored files hold positions: every expected text was worked out from the list
// rules by hand, and the sizes are those the positions refer to.
TEST(ValueLists, StoredPositionsSelectTheSameEntries) {
    const std::tuple<const QStringList&, int, const char*> cases[] = {
        {VL::trackLengths(), 492, "0=10 12=22 40=50 64=74 65=75 66=80 490=2200 491=5280"},
        {VL::scales(), 13, "0=1:1 4=1:10 7=1:24 12=1:72 -1= 13="},
        {VL::minLapTimes(), 87, "0=1 1=1.25 4=2 6=2.5 35=9.75 36=10 37=11 86=60"},
        {VL::startDelays(), 31, "0=0 30=30"},
        {VL::firstLaps(), 2, "0=0 1=1"},
        {VL::ports(), 16, "0=1 15=16"},
        {VL::lapCounts(), 33,
         "0=3 12=15 13=20 14=25 17=40 18=50 22=90 23=100 24=125 25=150 26=200 32=500"},
        {VL::minuteCounts(), 45, "0=1 14=15 15=20 29=90 30=100 44=240"}};
    for (const auto& [list, size, entries] : cases) {
        EXPECT_EQ(list.size(), size) << entries;
        for (const QString& pair : QString::fromLatin1(entries).split(u' ')) {
            const QStringList parts = pair.split(u'=');
            EXPECT_EQ(VL::entry(list, parts[0].toInt()), parts[1]) << pair.toStdString();
        }
    }
    EXPECT_EQ(VL::positionOf(VL::scales(), qs("1:24")), 7);
    EXPECT_EQ(VL::positionOf(VL::scales(), qs("1:3")), -1);
}

// The six flag colours' numbers are checked by the seeded settings file.
TEST(ValueLists, ColoursAreSortedAndTheirNumbersAreRedPlus256GreenPlus65536Blue) {
    EXPECT_EQ(VL::colourNames(),
              strings({"Blue", "Green", "Grey", "Orange", "Purple", "Red", "White", "Yellow"}));
    EXPECT_EQ(colourNumber(qs("Grey")), 12632256);
    EXPECT_EQ(colourNumber(qs("Red")), 255);
    for (const char* other : {"Pink", "yellow", ""}) {
        EXPECT_FALSE(colourNumber(qs(other))) << other;
    }
}

TEST(ValueLists, ScaleFactorIsTheNumberAfterTheColonOfAListEntryOnly) {
    const std::pair<const char*, int> scales[] = {
        {"1:1", 1},   {"1:2", 2},   {"1:4", 4},   {"1:8", 8},   {"1:10", 10},
        {"1:12", 12}, {"1:18", 18}, {"1:24", 24}, {"1:25", 25}, {"1:32", 32},
        {"1:43", 43}, {"1:64", 64}, {"1:72", 72}};
    QStringList listed;
    for (const auto& [text, factor] : scales) {
        EXPECT_EQ(convertScale(qs(text)), factor) << text;
        listed << qs(text);
    }
    EXPECT_EQ(VL::scales(), listed);
    for (const char* other : {"", "1:3", "1 :24", "24", "1:240"}) {
        EXPECT_FALSE(convertScale(qs(other)).has_value()) << other;
    }
}

// The race state keeps the minimum lap as a Single: it must hold every entry exactly,
// or the half-even lap rule would see another number than the list shows.
TEST(ValueLists, EveryMinimumLapIsASingleExactly) {
    for (const QString& entry : VL::minLapTimes()) {
        const double chosen = leadingNumber(entry);
        EXPECT_EQ(static_cast<double>(static_cast<float>(chosen)), chosen) << entry.toStdString();
    }
}

}  // namespace
}  // namespace lapdeck::test
