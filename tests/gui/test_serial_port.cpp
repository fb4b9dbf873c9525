#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "SerialPortSource.h"

namespace lapdeck::test {
namespace {

// A pseudo-terminal pair in raw mode: the window opens the follower end as its
// port, the test writes the lap counter's bytes into the leader end.
struct Pty {
    Pty() {
        if (openpty(&leader, &follower, name, nullptr, nullptr) != 0) {
            return;
        }
        termios raw{};
        tcgetattr(follower, &raw);
        cfmakeraw(&raw);
        tcsetattr(follower, TCSANOW, &raw);
        tcgetattr(leader, &raw);
        cfmakeraw(&raw);
        tcsetattr(leader, TCSANOW, &raw);
    }
    ~Pty() {
        if (leader >= 0) {
            close(leader);
        }
        if (follower >= 0) {
            close(follower);
        }
    }
    bool ok() const { return leader >= 0; }
    void send(const char* bytes) const {
        ASSERT_EQ(write(leader, bytes, strlen(bytes)), static_cast<ssize_t>(strlen(bytes)));
    }

    int leader = -1;
    int follower = -1;
    char name[256] = {};
};

// Lets the port's notifier take what the pty delivered (real I/O, so a short wait).
void waitForBytes(SerialPortSource& port, int count) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // hasInput() pulls what arrived; `count` bytes make `count` reports.
        if (port.hasInput()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (--count <= 0) {
                return;
            }
        }
    }
}

TEST(SerialPort, BytesFromTheUnitBecomeLapsOnTheRaceScreen) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    DataFolder data;
    data.names(sixNames());
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.portMap().choose(3, QString::fromLocal8Bit(pty.name));
    ASSERT_TRUE(w.OpenRacePort(3));
    EXPECT_TRUE(rig.prompter.calls.empty());
    EXPECT_EQ(rig.state.CommPort, 3);

    w.cmdStart_Click();
    rig.advanceTo(1000);
    pty.send("4");
    waitForBytes(w.port(), 1);
    w.Timer1_Timer(10);
    EXPECT_EQ(w.lblName[1]->text(), QStringLiteral(" Dee"));
    EXPECT_EQ(w.lblLapNum[1]->text(), QStringLiteral("1"));
    EXPECT_EQ(w.lblLapTime[1]->text(), QStringLiteral("1.01"));

    // Two reports in one chunk, each a crossing: "12" is flags 1 and 2, not 12.
    rig.advanceTo(4000);
    pty.send("12");
    waitForBytes(w.port(), 1);
    w.Timer1_Timer(10);
    EXPECT_EQ(rig.state.LapCount[1], 1);
    EXPECT_EQ(rig.state.LapCount[2], 1);
    EXPECT_EQ(w.lblLapNum[2]->text(), QStringLiteral("1"));
    EXPECT_EQ(w.lblLapNum[3]->text(), QStringLiteral("1"));
}

TEST(SerialPort, ReportsBeforeTheGreenLightAreThrownAway) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.portMap().choose(1, QString::fromLocal8Bit(pty.name));
    ASSERT_TRUE(w.OpenRacePort(1));
    pty.send("5");
    waitForBytes(w.port(), 1);
    w.engine().greenLight(&w.port());
    EXPECT_FALSE(w.port().hasInput());
    EXPECT_EQ(rig.state.PortInput, QStringLiteral("5"));
}

TEST(SerialPort, MissingDeviceAsksAndNoTurnsOnDemoMode) {
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.portMap().choose(4, QStringLiteral("/nonexistent/lapdeck-tty"));
    rig.prompter.answers = {Answer::No};
    EXPECT_FALSE(w.OpenRacePort(4));
    ASSERT_EQ(rig.prompter.calls.size(), 1u);
    const auto& call = rig.prompter.calls[0];
    EXPECT_TRUE(call.question);
    EXPECT_EQ(call.title, QStringLiteral("Com Port"));
    EXPECT_EQ(call.text, QStringLiteral("Com Port ERROR!\r\nTo Select a Different PORT click "
                                        "\"Yes\"\r\nTo use Demo mode, click \"No\""));
    EXPECT_EQ(call.icon, Icon::Error);
    EXPECT_FALSE(call.defaultNo);
    EXPECT_TRUE(rig.state.live.demo);
    EXPECT_EQ(w.lblRaceFormat->text(), QStringLiteral("Demo - 10 Lap Race"));
    EXPECT_FALSE(w.portIsOpen());
}

TEST(SerialPort, YesOffersThePortChoiceAndOpensTheChosenPort) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    DataFolder data;
    LapdeckServices services;
    ScriptedPrompter prompter;
    RaceState state;
    int offered = 0;
    services.prompter = &prompter;
    services.choosePort = [&](int& port, PortDevices& chosen) {
        ++offered;
        EXPECT_EQ(port, 2);
        port = 5;
        chosen[5] = QString::fromLocal8Bit(pty.name);
        return true;
    };
    frmLapdeck w(state, data.store, services);
    w.portMap().choose(2, QStringLiteral("/nonexistent/lapdeck-tty"));
    prompter.answers = {Answer::Yes};
    EXPECT_FALSE(w.OpenRacePort(2));
    EXPECT_EQ(offered, 1);
    EXPECT_TRUE(w.portIsOpen());
    EXPECT_EQ(state.CommPort, 5);
    EXPECT_FALSE(state.live.demo);
    // The choice is kept: the settings name port 5, our port file its device.
    data.store.reloadSettings();
    EXPECT_EQ(data.store.settings().portText(), QStringLiteral("5"));
    PortMap reread(data.dir.path());
    EXPECT_FALSE(reread.load().has_value());
    EXPECT_EQ(reread.device(5), QString::fromLocal8Bit(pty.name));
}

TEST(SerialPort, NumbersOutsideTheListAreRefused) {
    DataFolder data;
    WindowRig rig(data);
    for (int port : {0, 17, -1}) {
        rig.prompter.calls.clear();
        EXPECT_FALSE(rig.window->OpenRacePort(port));
        ASSERT_EQ(rig.prompter.calls.size(), 1u);
        EXPECT_FALSE(rig.prompter.calls[0].question);
        EXPECT_EQ(rig.prompter.calls[0].title, QString());
        EXPECT_EQ(rig.prompter.calls[0].text, QStringLiteral("Invalid Port Number"));
    }
}

TEST(SerialPort, AVanishedDeviceClosesThePortAndSaysSo) {
    auto pty = std::make_unique<Pty>();
    ASSERT_TRUE(pty->ok());
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.portMap().choose(1, QString::fromLocal8Bit(pty->name));
    ASSERT_TRUE(w.OpenRacePort(1));
    pty.reset();  // the unit is unplugged
    QElapsedTimer waited;
    waited.start();
    while (w.portIsOpen() && waited.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_FALSE(w.portIsOpen());
    QCoreApplication::processEvents();  // the deferred message
    ASSERT_FALSE(rig.prompter.calls.empty());
    EXPECT_EQ(rig.prompter.calls.back().title, QStringLiteral("Com Port"));
}

}  // namespace
}  // namespace lapdeck::test
