#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "ModalSupport.h"
#include "PtySupport.h"
#include "SerialPortSource.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// A window whose port `n` is the follower end of a fresh pty.
struct PtyWindow {
    explicit PtyWindow(int n) {
        data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
        rig = std::make_unique<WindowRig>(data);
        rig->window->portMap().choose(n, QString::fromLocal8Bit(pty->name));
    }
    std::unique_ptr<Pty> pty = std::make_unique<Pty>();
    DataFolder data;
    std::unique_ptr<WindowRig> rig;
};

TEST(SerialPort, BytesFromTheUnitBecomeLapsUntilTheUnitIsUnplugged) {
    PtyWindow t(3);
    ASSERT_TRUE(t.pty->ok());
    frmLapdeck& w = *t.rig->window;
    ASSERT_TRUE(w.OpenRacePort(3));
    EXPECT_TRUE(t.rig->prompter.prompts.empty());
    EXPECT_EQ(t.rig->state.CommPort, 3);
    t.pty->send("5");  // before the green light: thrown away
    waitForInput(w.port());
    w.engine().greenLight(&w.port());
    EXPECT_FALSE(w.port().hasInput());
    EXPECT_EQ(t.rig->state.PortInput, u"5"_s);

    w.cmdStart_Click();
    w.raceTimer().setRunning(false);  // the test ticks: no lap time from a busy machine
    t.rig->advanceTo(1000);
    t.pty->send("4");
    waitForInput(w.port());
    w.Timer1_Timer(10);
    EXPECT_EQ(w.lblName[1]->text() + u'|' + w.lblLapNum[1]->text() + u'|' + w.lblLapTime[1]->text(),
              u" Dee|1|1.01"_s);
    // Two reports in one chunk, each a crossing: "12" is flags 1 and 2, not 12.
    t.rig->advanceTo(4000);
    t.pty->send("12");
    waitForInput(w.port());
    w.Timer1_Timer(10);
    EXPECT_EQ(t.rig->state.LapCount[1] + t.rig->state.LapCount[2], 2);
    EXPECT_EQ(w.lblLapNum[2]->text() + w.lblLapNum[3]->text(), u"11"_s);

    t.pty.reset();  // the unit is unplugged: the port closes and the user is told
    QElapsedTimer waited;
    waited.start();
    while (w.portIsOpen() && waited.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_FALSE(w.portIsOpen());
    QCoreApplication::processEvents();  // the deferred message
    ASSERT_FALSE(t.rig->prompter.prompts.empty());
    EXPECT_EQ(t.rig->prompter.prompts.back().title, u"Com Port"_s);
}

TEST(SerialPort, BadNumbersAreRefusedAndAMissingDeviceAsksWhereNoMeansDemo) {
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    for (int port : {0, 17, -1}) {
        EXPECT_FALSE(w.OpenRacePort(port));
    }
    const std::string invalid = "tell -: |Invalid Port Number\n";
    EXPECT_EQ(rig.prompter.shown(), invalid + invalid + invalid);

    rig.prompter.prompts.clear();
    w.portMap().choose(4, u"/nonexistent/lapdeck-tty"_s);
    rig.prompter.answers = {Answer::No};
    EXPECT_FALSE(w.OpenRacePort(4));
    EXPECT_EQ(
        rig.prompter.shown(),
        "ask error: Com Port|Com Port ERROR!\r\nPort 4 (/nonexistent/lapdeck-tty): No such file "
        "or directory\r\nTo Select a Different PORT click \"Yes\"\r\nTo use Demo mode, click "
        "\"No\"\n");
    EXPECT_TRUE(rig.state.live.demo);
    EXPECT_EQ(w.lblRaceFormat->text(), u"Demo - 10 Lap Race"_s);
    EXPECT_FALSE(w.portIsOpen());
}

TEST(SerialPort, YesOpensTheSettingsOnThePortListAndOpensTheChosenPort) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.portMap().choose(2, u"/nonexistent/lapdeck-tty"_s);
    rig.prompter.answers = {Answer::Yes};
    onModal<frmVx9SettingsNew>(
        [&](frmVx9SettingsNew& d) {
            EXPECT_EQ(d.focusWidget(), d.cmbCommPort);
            d.cmbCommPort->setCurrentIndex(4);
            d.txtPortDevice->setText(pty.path());
            d.cmdOk->click();
        },
        [&]() { EXPECT_FALSE(w.OpenRacePort(2)); });
    EXPECT_TRUE(w.portIsOpen());
    EXPECT_EQ(rig.state.CommPort, 5);
    EXPECT_FALSE(rig.state.live.demo);
    // The choice is kept: the settings name port 5, our port file its device.
    data.store.reloadSettings();
    EXPECT_EQ(data.store.settings().portText(), u"5"_s);
    PortMap reread(data.dir.path());
    EXPECT_FALSE(reread.load().has_value());
    EXPECT_EQ(reread.device(5), pty.path());
}

}  // namespace
}  // namespace lapdeck::test
