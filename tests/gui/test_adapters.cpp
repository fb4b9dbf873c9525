#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <utility>
#include <vector>

#include <QDirIterator>
#include <QFile>
#include <QFileSystemWatcher>
#include <QMap>
#include <QMessageBox>
#include <QProcess>
#include <QWidget>

#include "DialogFileChooser.h"
#include "GuiTestSupport.h"
#include "MessageBoxPrompter.h"
#include "PortMap.h"
#include "RaceArchive.h"
#include "RaceTimer.h"
#include "SerialPortSource.h"
#include "SingleInstance.h"

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

// A notice over a running race leaves the window modal-free and the keyboard with it.
TEST(Notices, ShowWithoutAModalBoxOrTakingTheKeyboard) {
    QWidget window;
    window.show();
    MessageBoxPrompter prompter(&window);
    prompter.showNotice(u"Race Journal"_s, u"The race journal cannot be written."_s, Icon::Error);
    auto* box = window.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(box->testAttribute(Qt::WA_ShowWithoutActivating));
    box->close();
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
    const std::pair<QString, QString> cases[] = {
        {u"serial:XYZ1"_s, u"Port 1: USB adapter with serial number XYZ1, not plugged in"_s},
        {u"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"_s,
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
    // A user outside the "dialout" group is told what fixes it.
    EXPECT_TRUE(SerialPortSource::openFailure(QSerialPort::PermissionError, u"Permission denied"_s)
                    .contains(u"\"dialout\" group"_s));
    EXPECT_EQ(SerialPortSource::openFailure(QSerialPort::PermissionError, u"Device is locked"_s),
              u"Device is locked"_s);
}

// Every file under `folder`, hidden ones too, with its bytes.
QMap<QString, QByteArray> folderFiles(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, fileBytes(path));
    }
    return files;
}

// The first Lapdeck's side of the second-start test: it claims the folder the parent
// names, races on the parent's pty and says when it is asked to the front, until it
// is killed. Skipped unless started by that test.
TEST(SecondStartChild, HoldsItsFolderWithARaceOn) {
    const QString folder = qEnvironmentVariable("LAPDECK_FIRST_DATA");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "run by OneLapdeckPerFolder.ASecondStartLeavesTheFolderAsItWas...";
    }
    SingleInstance instance(folder);
    ASSERT_TRUE(instance.claim());
    QObject::connect(&instance, &SingleInstance::frontRequested, []() {
        std::printf("asked to the front\n");
        std::fflush(stdout);
    });
    DataFolder data(folder);
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    WindowRig rig(data);
    rig.window->portMap().choose(2, qEnvironmentVariable("LAPDECK_FIRST_PORT"));
    ASSERT_TRUE(rig.window->OpenRacePort(2));
    rig.window->cmdStart_Click();
    waitToBeKilled();
}

TEST(OneLapdeckPerFolder, ASecondStartLeavesTheFolderAsItWasAndAKilledFirstIsTakenOver) {
    Pty unit;
    QTemporaryDir folder;
    QProcess first;
    startChild(first, u"SecondStartChild.HoldsItsFolderWithARaceOn"_s,
               {{u"LAPDECK_FIRST_DATA"_s, folder.path()}, {u"LAPDECK_FIRST_PORT"_s, unit.path()}});
    ASSERT_TRUE(first.waitForStarted());
    auto journaled = [&]() {
        const std::vector<RaceRecord> races = RaceArchive(folder.path()).races();
        return !races.empty() && fileBytes(races.front().journal()).contains('\n');
    };
    ASSERT_TRUE(runUntil([&]() { return !RaceArchive(folder.path()).races().empty(); }, 10000));
    unit.send("1");
    ASSERT_TRUE(runUntil(journaled, 5000));  // a race the first is running, not a crashed one
    const QMap<QString, QByteArray> before = folderFiles(folder.path());
    QFileSystemWatcher watcher({folder.path()});
    bool touched = false;  // a file made and removed again, too
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&]() { touched = true; });

    SingleInstance second(folder.path());
    EXPECT_FALSE(second.claim());
    EXPECT_EQ(second.refusal(), u"Lapdeck is already running with this data folder:\n"_s +
                                    QDir(folder.path()).canonicalPath() +
                                    u"\nIts window has been brought to the front.\nOnly one "
                                    u"Lapdeck at a time can keep its races and settings there."_s);
    QByteArray said;
    EXPECT_TRUE(runUntil(
        [&]() { return (said += first.readAllStandardOutput()).contains("asked to the front"); },
        5000));
    EXPECT_EQ(folderFiles(folder.path()), before);
    EXPECT_FALSE(touched);

    first.kill();  // SIGKILL: its lock file stays behind
    ASSERT_TRUE(first.waitForFinished());
    SingleInstance restarted(folder.path());
    EXPECT_TRUE(restarted.claim());
    QWidget window;
    window.showMinimized();
    restarted.raiseOnRequest(window);
    EXPECT_FALSE(SingleInstance(folder.path()).claim());
    EXPECT_TRUE(runUntil([&]() { return !window.isMinimized(); }, 3000));
}

// A lock of a Lapdeck on another computer sharing the folder is never taken over:
// whether it still runs cannot be seen from here.
TEST(OneLapdeckPerFolder, ALockFromAnotherComputerIsLeftAndTheUserToldHowToClearIt) {
    TempFolder folder;
    folder.write(SingleInstance::kLockFile, "4242\nlapdeck\ntrackside-pc\n");
    SingleInstance instance(folder.path());
    EXPECT_FALSE(instance.claim());
    const QString at = QDir(folder.path()).canonicalPath();
    EXPECT_TRUE(instance.refusal().contains(u" on the computer trackside-pc:\n"_s + at +
                                            u"\nIf Lapdeck no longer runs there, delete "_s + at +
                                            u"/.lapdeck.lock and start it again."_s))
        << instance.refusal().toStdString();
    EXPECT_EQ(folder.read(SingleInstance::kLockFile), "4242\nlapdeck\ntrackside-pc\n");
}

}  // namespace
}  // namespace lapdeck::test
