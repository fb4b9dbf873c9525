#include <gtest/gtest.h>

#include <QFile>

#include "GuiTestSupport.h"
#include "PtySupport.h"
#include "SerialPortSource.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// A lap counter's USB adapter (a pty here) with its /dev/serial/by-id link, and
// a window whose system reports what `ports` holds.
struct AdapterRig {
    AdapterRig() {
        EXPECT_TRUE(unit.ok());
        EXPECT_TRUE(QFile::link(unit.path(), byId));
    }
    Pty unit;
    DataFolder data;
    QString byId = data.path(u"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"_s);
    std::vector<DetectedPort> ports{
        {unit.path(), byId, u"A50285BI"_s, u"FTDI"_s, u"FT232R USB UART"_s}};
    WindowRig rig{data, [this](LapdeckServices& s) { s.scanPorts = [this] { return ports; }; }};
    frmLapdeck* window = rig.window.get();
    ScriptedPrompter& prompter = rig.prompter;
};

TEST(PortNumbers, ANumberKeepsTheAdapterItOpenedWhenAnotherIsPluggedIn) {
    AdapterRig t;
    PortMap& map = t.window->portMap();
    EXPECT_EQ(map.describe(1), t.unit.path() + u", FTDI FT232R USB UART"_s);
    ASSERT_TRUE(t.window->OpenRacePort(1));

    // A board that sorts first appears: port 1 stays with the lap counter.
    t.ports.insert(t.ports.begin(), DetectedPort{u"/dev/ttyACM0"_s, {}, {}, u"Arduino"_s, {}});
    EXPECT_EQ(map.device(1), t.byId);
    EXPECT_EQ(map.device(2), u"/dev/ttyACM0"_s);
    EXPECT_TRUE(t.window->OpenRacePort(1));
    PortMap reread(t.data.dir.path(), [&] { return t.ports; });
    ASSERT_FALSE(reread.load());
    EXPECT_EQ(reread.chosen()[1], t.byId);
    EXPECT_TRUE(t.prompter.prompts.empty());
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

TEST(PortNumbers, APermissionProblemSaysWhatFixesIt) {
    EXPECT_TRUE(SerialPortSource::openFailure(QSerialPort::PermissionError, u"Permission denied"_s)
                    .contains(u"\"dialout\" group"_s));
    EXPECT_EQ(SerialPortSource::openFailure(QSerialPort::PermissionError, u"Device is locked"_s),
              u"Device is locked"_s);
}

}  // namespace
}  // namespace lapdeck::test
