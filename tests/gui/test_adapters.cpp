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

constexpr int64_t kMs = 1000000;

TEST(TickClock, CarriesTheFractionSoStepsSumToTheClock) {
    TickClock clock;
    clock.start(0);
    // 10.4 ms, then 10.4 ms more (carry 0.4 + 0.4), then a 229.2 ms stall.
    EXPECT_EQ(clock.advance(10'400'000), 10);
    EXPECT_EQ(clock.advance(20'800'000), 10);
    EXPECT_EQ(clock.advance(250'000'000), 230);
}

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
        PortMap::numberDevices({QStringLiteral("/dev/ttyS10"), QStringLiteral("/dev/ttyS2"),
                                QStringLiteral("/dev/ttyUSB1"), QStringLiteral("/dev/ttyACM0"),
                                QStringLiteral("/dev/ttyUSB0")});
    const QStringList want{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyUSB0"),
                           QStringLiteral("/dev/ttyUSB1"), QStringLiteral("/dev/ttyS2"),
                           QStringLiteral("/dev/ttyS10"),  QStringLiteral("/dev/ttyS5")};
    for (int n = 1; n <= want.size(); ++n) {
        EXPECT_EQ(devices[static_cast<size_t>(n)], want[n - 1]) << n;
    }
    EXPECT_EQ(devices[16], QStringLiteral("/dev/ttyS15"));
}

TEST(PortMapFile, ChoicesRoundTripAndBadLinesAreReported) {
    PortDevices chosen;
    chosen[3] = QStringLiteral("/tmp/lap/ttyA");
    chosen[16] = QStringLiteral("/dev/serial/by-id/usb-lap counter");
    const QByteArray bytes = PortMap::serialize(chosen);
    EXPECT_EQ(bytes,
              QByteArray("3,\"/tmp/lap/ttyA\"\r\n16,\"/dev/serial/by-id/usb-lap counter\"\r\n"));
    const LoadResult<PortDevices> back = PortMap::parse(bytes, PortMap::kFileName);
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.value, chosen);

    const LoadResult<PortDevices> bad =
        PortMap::parse("17,\"/dev/x\"\r\n2,\"/dev/y\"\r\n", PortMap::kFileName);
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.value[2], QStringLiteral("/dev/y"));
    EXPECT_TRUE(bad.value[1].isEmpty());
}

TEST(NameRules, PickerStartsOnTheNameOrTheLastEntry) {
    const QStringList three{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Empty"),
                            QStringLiteral("Zoe")};
    const QStringList two{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Empty")};
    EXPECT_EQ(pickerStartIndex(three, QStringLiteral(" Bob")), 1);
    EXPECT_EQ(pickerStartIndex(three, QStringLiteral(" Select Name")), 3);  // Zoe
    EXPECT_EQ(pickerStartIndex(two, QStringLiteral(" Select Name")), 2);    // Empty
    EXPECT_EQ(pickerStartIndex({QStringLiteral("Empty")}, QStringLiteral(" Empty")), 0);
    EXPECT_EQ(pickerStartIndex({}, QStringLiteral(" Ann")), -1);
}

TEST(NameRules, SortedInsertIgnoresCase) {
    QStringList list;
    for (const QString& name : {QStringLiteral("zed"), QStringLiteral("Ann"),
                                QStringLiteral("Empty"), QStringLiteral("bob")}) {
        list.insert(sortedInsertIndex(list, name), name);
    }
    EXPECT_EQ(list, (QStringList{QStringLiteral("Ann"), QStringLiteral("bob"),
                                 QStringLiteral("Empty"), QStringLiteral("zed")}));
}

TEST(NameRules, DuplicatesAndStoredNames) {
    const PerFlag<QString> captions{QString(),
                                    QStringLiteral(" Ann"),
                                    QStringLiteral(" Select Name"),
                                    QStringLiteral(" Empty"),
                                    QStringLiteral(" Ann"),
                                    QStringLiteral(" Empty"),
                                    QStringLiteral(" Disabled")};
    EXPECT_EQ(rowsAlreadyNamed(captions, 2, QStringLiteral("Ann")), (std::vector<int>{1, 4}));
    EXPECT_EQ(rowsAlreadyNamed(captions, 1, QStringLiteral("Ann")), (std::vector<int>{4}));
    EXPECT_TRUE(rowsAlreadyNamed(captions, 2, QStringLiteral("Empty")).empty());

    const PerFlag<QString> previous{
        QString(),           QStringLiteral("x"), QStringLiteral("x"),   QStringLiteral("x"),
        QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("Kept")};
    const PerFlag<QString> stored = namesToStore(captions, previous);
    const PerFlag<QString> want{QString(),
                                QStringLiteral("Ann"),
                                QStringLiteral("Select Name"),
                                QStringLiteral("Empty"),
                                QStringLiteral("Ann"),
                                QStringLiteral("Empty"),
                                QStringLiteral("Kept")};
    EXPECT_EQ(stored, want);
}

}  // namespace
}  // namespace lapdeck::test
