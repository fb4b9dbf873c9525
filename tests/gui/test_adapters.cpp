#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include <QFile>

#include "DialogFileChooser.h"
#include "GuiTestSupport.h"
#include "PortMap.h"
#include "RaceTimer.h"
#include "SerialPortSource.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

constexpr int64_t kMs = 1000000;

// Every step is the whole milliseconds not yet handed out, so a lost or doubled
// fraction shows at once.
TEST(TickClock, NeverDriftsOverIrregularTicksAndDropsTheStoppedTime) {
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
    EXPECT_EQ(QStringList(devices.begin() + 1, devices.begin() + 9), want);
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

// A lap counter's USB adapter (a pty here) with its /dev/serial/by-id link, and a
// window whose system reports what `ports` holds.
TEST(PortNumbers, ANumberKeepsTheAdapterItOpenedWhenAnotherIsPluggedIn) {
    Pty unit;
    DataFolder data;
    const QString byId = data.path(u"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"_s);
    ASSERT_TRUE(unit.ok() && QFile::link(unit.path(), byId));
    std::vector<DetectedPort> ports{
        {unit.path(), byId, u"A50285BI"_s, u"FTDI"_s, u"FT232R USB UART"_s}};
    WindowRig rig{data, [&](LapdeckServices& s) { s.scanPorts = [&] { return ports; }; }};
    PortMap& map = rig.window->portMap();
    EXPECT_EQ(map.describe(1), unit.path() + u", FTDI FT232R USB UART"_s);
    ASSERT_TRUE(rig.window->OpenRacePort(1));

    // A board that sorts first appears: port 1 stays with the lap counter.
    ports.insert(ports.begin(), DetectedPort{u"/dev/ttyACM0"_s, {}, {}, u"Arduino"_s, {}});
    EXPECT_EQ(map.device(1), byId);
    EXPECT_EQ(map.device(2), u"/dev/ttyACM0"_s);
    EXPECT_TRUE(rig.window->OpenRacePort(1));
    PortMap reread(data.dir.path(), [&] { return ports; });
    ASSERT_FALSE(reread.load());
    EXPECT_EQ(reread.chosen()[1], byId);
    EXPECT_TRUE(rig.prompter.prompts.empty());
}

TEST(PortNumbers, AnAdapterWithoutAStableNameIsKeptByItsSerialNumberABuiltInLineNot) {
    QTemporaryDir dir;
    std::vector<DetectedPort> ports{{u"/dev/ttyUSB0"_s, {}, u"XYZ1"_s, u"Prolific"_s, {}}};
    PortMap map(dir.path(), [&] { return ports; });
    ASSERT_TRUE(map.keepOpened(1));
    EXPECT_FALSE(map.keepOpened(1));  // kept already
    EXPECT_EQ(map.chosen()[1], u"serial:XYZ1"_s);
    ports = {{u"/dev/ttyUSB0"_s, {}, u"OTHER"_s, {}, {}},
             {u"/dev/ttyUSB1"_s, {}, u"XYZ1"_s, {}, {}}};
    EXPECT_EQ(map.device(1), u"/dev/ttyUSB1"_s);
    EXPECT_EQ(map.device(2), u"/dev/ttyUSB0"_s);
    ports.clear();
    EXPECT_EQ(map.describe(1), u"USB adapter with serial number XYZ1, not plugged in"_s);

    // A built-in line is left automatic: an adapter plugged in later takes its number.
    ports = {{u"/dev/ttyS0"_s, {}, {}, {}, {}}};
    EXPECT_FALSE(map.keepOpened(2));
    EXPECT_EQ(map.chosen()[2], QString());
    EXPECT_EQ(map.describe(2), u"/dev/ttyS0, built-in serial line"_s);
    map.choose(3, u"/dev/ttyS9"_s);  // typed, not there: still never offered twice
    for (int n = 4; n <= 16; ++n) {
        EXPECT_NE(map.device(n), u"/dev/ttyS9"_s) << n;
    }
}

// What the user reads when a port number opens nothing: the cause in their terms,
// never the stored form of a kept adapter.
TEST(PortNumbers, AFailedOpenSaysWhyInTheUsersTerms) {
    Pty held;
    SerialPortSource otherProgram;
    ASSERT_TRUE(held.ok() && otherProgram.open(held.path(), nullptr));
    QTemporaryDir dir;
    PortMap map(dir.path(), [] { return std::vector<DetectedPort>{}; });
    const QString byId = u"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"_s;
    const std::pair<QString, QString> cases[] = {
        {u"serial:XYZ1"_s, u"Port 1: USB adapter with serial number XYZ1, not plugged in"_s},
        {byId,
         u"Port 2: USB adapter usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0, not plugged in"_s},
        {held.path(), u"Port 3 is in use by another program ("_s + held.path() + u')'},
        {u"/nonexistent/lapdeck-tty"_s,
         u"Port 4 (/nonexistent/lapdeck-tty): No such file or directory"_s},
    };
    SerialPortSource port;
    int number = 0;
    for (const auto& [choice, told] : cases) {
        map.choose(++number, choice);
        QString problem;
        EXPECT_FALSE(port.openNumber(map, number, &problem));
        EXPECT_EQ(problem, told);
    }
    EXPECT_EQ(map.device(1), QString());  // nothing to open, not "/dev/serial:XYZ1"
    EXPECT_TRUE(otherProgram.isOpen());
}

TEST(PortNumbers, APermissionProblemSaysWhatFixesIt) {
    EXPECT_TRUE(SerialPortSource::openFailure(QSerialPort::PermissionError, u"Permission denied"_s)
                    .contains(u"\"dialout\" group"_s));
    EXPECT_EQ(SerialPortSource::openFailure(QSerialPort::PermissionError, u"Device is locked"_s),
              u"Device is locked"_s);
}

}  // namespace
}  // namespace lapdeck::test
