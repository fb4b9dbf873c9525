#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "PtySupport.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// No to the "Com Port" question (demo mode) is the setup windows' test.
TEST(SerialPort, BadNumbersAreRefusedAndYesToAMissingDeviceOpensTheChosenPort) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    for (int port : {0, 17, -1}) {
        EXPECT_FALSE(w.OpenRacePort(port));
    }
    const std::string invalid = "tell -: |Invalid Port Number\n";
    EXPECT_EQ(rig.prompter.shown(), invalid + invalid + invalid);

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
}

}  // namespace
}  // namespace lapdeck::test
