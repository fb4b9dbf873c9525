#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "PtySupport.h"
#include "SerialPortSource.h"
#include "frmVx9Diag.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

QStringList hits(const frmVx9Diag& d) {
    QStringList out;
    for (int i = 1; i <= kFlags; ++i) {
        out.append(d.lblHit[i]->text());
    }
    return out;
}

// The diagnostics window over a pty standing in for the Lapvane unit.
struct DiagRig {
    DiagRig() {
        EXPECT_TRUE(pty.ok());
        QString error;
        EXPECT_TRUE(port.open(pty.path(), &error)) << error.toStdString();
    }
    // One report reaches the port and one 200 ms tick reads it.
    void report(const char* text) {
        pty.send(text);
        waitForInput(port);
        dialog.tmrDiag_Timer();
    }
    Pty pty;
    SerialPortSource port;
    PerFlag<int32_t> colours = [] {
        PerFlag<int32_t> c{};
        c[2] = 65280;  // green
        return c;
    }();
    int beeps = 0;
    frmVx9Diag dialog{&port, QString(), colours, [this] { ++beeps; }};
};

TEST(Diagnostics, CountsHitsPerFlagWithABeepResetsAndEmptiesThePortOnExit) {
    DiagRig t;
    // One chunk of bytes is one report per byte: "22" is flag 2 twice, not 22.
    for (const char* report : {"22", "0", "7x", "2"}) {
        t.report(report);
    }
    EXPECT_EQ(hits(t.dialog), (QStringList{u"0"_s, u" 3"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s}));
    EXPECT_EQ(t.beeps, 3);
    EXPECT_EQ(t.dialog.lblHit[2]->palette().color(QPalette::Window), QColor(0, 255, 0));

    t.dialog.cmdReset->click();
    EXPECT_EQ(hits(t.dialog), QStringList(6, u"0"_s));
    t.report("5");
    EXPECT_EQ(t.dialog.lblHit[5]->text(), u" 1"_s);

    t.dialog.tmrDiag.stop();  // these come after the last tick
    t.pty.send("34");
    waitForInput(t.port);
    t.dialog.cmdExit->click();
    EXPECT_FALSE(t.port.hasInput());
    EXPECT_EQ(t.dialog.lblHit[3]->text(), u"0"_s);
}

TEST(Diagnostics, WithNoPortOpenItSaysWhyAndReadsNothing) {
    DataFolder data;
    WindowRig rig(data);
    ASSERT_FALSE(rig.window->portIsOpen());
    onModal<frmVx9Diag>(
        [](frmVx9Diag& d) {
            EXPECT_TRUE(d.lblHit[1]->parentWidget()->isHidden());
            EXPECT_TRUE(d.lblNoPort->text().contains(u"Settings"_s));
            EXPECT_FALSE(d.tmrDiag.isActive());
            d.tmrDiag_Timer();
            d.cmdExit->click();
        },
        [&]() { rig.window->mnuDiagnostic->trigger(); });
    EXPECT_TRUE(rig.prompter.prompts.empty());
}

}  // namespace
}  // namespace lapdeck::test
