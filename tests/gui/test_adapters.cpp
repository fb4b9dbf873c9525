#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "FormScaler.h"
#include "NameAssignment.h"
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

// The real timer is the thing under test here: 300 ms of it.
TEST(RaceTimerReal, TicksAddUpToWallTime) {
    RaceTimer timer;
    int64_t sum = 0;
    int ticks = 0;
    QElapsedTimer wall;
    QObject::connect(&timer, &RaceTimer::tick, [&](int32_t ms) {
        sum += ms;
        ++ticks;
    });
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    wall.start();
    timer.setRunning(true);
    loop.exec();
    timer.setRunning(false);
    const double elapsed = wall.nsecsElapsed() / 1e6;
    EXPECT_GT(ticks, 10);
    EXPECT_NEAR(static_cast<double>(sum), elapsed, 12.0);  // at most the last tick's period
    EXPECT_LE(static_cast<double>(sum), elapsed + 1.0);
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

TEST(PortMapFile, ChoicesRoundTripAndBadLinesAreReported) {
    PortDevices chosen;
    chosen[3] = u"/tmp/lap/ttyA"_s;
    chosen[16] = u"/dev/serial/by-id/usb-lap counter"_s;
    const QByteArray bytes = PortMap::serialize(chosen);
    EXPECT_EQ(bytes,
              QByteArray("3,\"/tmp/lap/ttyA\"\r\n16,\"/dev/serial/by-id/usb-lap counter\"\r\n"));
    const LoadResult<PortDevices> back = PortMap::parse(bytes, PortMap::kFileName);
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.value, chosen);

    const LoadResult<PortDevices> bad =
        PortMap::parse("17,\"/dev/x\"\r\n2,\"/dev/y\"\r\n", PortMap::kFileName);
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.value[2], u"/dev/y"_s);
    EXPECT_TRUE(bad.value[1].isEmpty());
}

TEST(NameRules, PickerStartsOnTheNameOrTheLastEntry) {
    const QStringList four{u"Ann"_s, u"Bob"_s, u"Empty"_s, u"Zoe"_s};
    EXPECT_EQ(pickerStartIndex(four, u" Bob"_s), 1);
    EXPECT_EQ(pickerStartIndex(four, u" Select Name"_s), 3);            // Zoe
    EXPECT_EQ(pickerStartIndex(four.mid(0, 3), u" Select Name"_s), 2);  // Empty
    EXPECT_EQ(pickerStartIndex({u"Empty"_s}, u" Empty"_s), 0);
    EXPECT_EQ(pickerStartIndex({}, u" Ann"_s), -1);
}

TEST(NameRules, DuplicatesAndStoredNames) {
    const PerFlag<QString> captions{QString(), u" Ann"_s,   u" Select Name"_s, u" Empty"_s,
                                    u" Ann"_s, u" Empty"_s, u" Disabled"_s};
    EXPECT_EQ(rowsAlreadyNamed(captions, 2, u"Ann"_s), (std::vector<int>{1, 4}));
    EXPECT_EQ(rowsAlreadyNamed(captions, 1, u"Ann"_s), (std::vector<int>{4}));
    EXPECT_TRUE(rowsAlreadyNamed(captions, 2, u"Empty"_s).empty());

    const PerFlag<QString> previous{QString(), u"x"_s, u"x"_s, u"x"_s, u"x"_s, u"x"_s, u"Kept"_s};
    const PerFlag<QString> want{QString(), u"Ann"_s,   u"Select Name"_s, u"Empty"_s,
                                u"Ann"_s,  u"Empty"_s, u"Kept"_s};
    EXPECT_EQ(namesToStore(captions, previous), want);
}

}  // namespace
}  // namespace lapdeck::test
