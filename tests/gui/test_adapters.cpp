#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "DialogFileChooser.h"
#include "PortMap.h"
#include "RaceTimer.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

constexpr int64_t kMs = 1000000;

// Every step is the whole milliseconds not yet handed out, so a lost or doubled
// fraction shows at once.
TEST(TickClock, NeverDriftsOverIrregularTicks) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int64_t> step(0, 40 * kMs);
    TickClock clock;
    const int64_t origin = 123'456'789;
    clock.start(origin);
    int64_t now = origin;
    int64_t sum = 0;
    for (int i = 0; i < 100000; ++i) {
        now += step(gen);
        sum += clock.advance(now);
        ASSERT_EQ(sum, (now - origin) / kMs) << i;
    }
}

TEST(TickClock, StartingAgainDropsTheStoppedTime) {
    TickClock clock;
    clock.start(0);
    EXPECT_EQ(clock.advance(15 * kMs / 10), 1);  // 1.5 ms
    clock.start(1000 * kMs);                     // stopped for a second
    EXPECT_EQ(clock.advance(1010 * kMs), 10);
}

TEST(PortMapNumbers, AdaptersFirstInNaturalOrderThenBuiltInLines) {
    const PortDevices devices =
        PortMap::numberDevices({u"/dev/ttyS10"_s, u"/dev/ttyS2"_s, u"/dev/ttyUSB1"_s,
                                u"/dev/ttyACM0"_s, u"/dev/ttyUSB0"_s});
    const QStringList want{u"/dev/ttyACM0"_s, u"/dev/ttyUSB0"_s, u"/dev/ttyUSB1"_s,
                           u"/dev/ttyS2"_s,   u"/dev/ttyS10"_s,  u"/dev/ttyS0"_s,
                           u"/dev/ttyS1"_s,   u"/dev/ttyS3"_s};
    for (int n = 1; n <= want.size(); ++n) {
        EXPECT_EQ(devices[static_cast<size_t>(n)], want[n - 1]) << n;
    }
    EXPECT_EQ(devices[16], u"/dev/ttyS12"_s);  // ttyS10 is not offered twice
}

// The port window test reads back a chosen port; here a bad line is reported and the
// others are kept.
TEST(PortMapFile, ABadLineIsReportedAndTheOthersKept) {
    const LoadResult<PortDevices> bad =
        PortMap::parse("17,\"/dev/x\"\r\n2,\"/dev/y\"\r\n", PortMap::kFileName);
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.value[1] + u'|' + bad.value[2], u"|/dev/y"_s);
}

// The save and open dialogs' file types, given as description|pattern pairs.
TEST(FileDialogFilters, PairsBecomeQtNameFilters) {
    EXPECT_EQ(
        DialogFileChooser::nameFilters(
            QStringLiteral("Lap Files (*.lap)|*.lap|Text Files(*.txt)|*.txt")),
        (QStringList{QStringLiteral("Lap Files (*.lap)"), QStringLiteral("Text Files(*.txt)")}));
    EXPECT_EQ(DialogFileChooser::nameFilters(QStringLiteral("PDF|*.pdf|odd")),
              QStringList{QStringLiteral("PDF (*.pdf)")});
}

}  // namespace
}  // namespace lapdeck::test
