#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "SerialPortSource.h"
#include "frmVx9Diag.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Port 2 read from a pseudo-terminal through a link, as a USB adapter's stable name;
// a race under way in which Ann has crossed once.
struct PulledUnit {
    PulledUnit() {
        plug();
        data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
        rig = std::make_unique<WindowRig>(data);
        rig->window->portMap().choose(2, link);
        EXPECT_TRUE(rig->window->OpenRacePort(2));
        rig->window->cmdStart_Click();  // the real race timer runs
        unit->send("1");
        EXPECT_TRUE(runUntil([&]() { return rig->state.LapCount[1] == 1; }, 3000));
    }
    void plug() {
        unit = std::make_unique<Pty>();
        QFile::remove(link);
        EXPECT_TRUE(unit->ok() && QFile::link(unit->path(), link));
    }
    void pull() {
        unit.reset();
        QFile::remove(link);
    }

    QTemporaryDir devices;
    QString link = devices.filePath(u"ttyLap"_s);
    std::unique_ptr<Pty> unit;
    DataFolder data;
    std::unique_ptr<WindowRig> rig;
};

TEST(PortFaults, APulledUnitIsShownLostCostsNoCpuAndCountsAgainOnceBack) {
    PulledUnit t;
    frmLapdeck& w = *t.rig->window;
    const int32_t clockAtPull = t.rig->state.RaceClock;
    t.pull();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runUntil([]() { return false; }, 2500);  // two tries to reopen
    const double cpuShare =
        (cpuSeconds() - cpuBefore) / (static_cast<double>(wall.elapsed()) / 1e3);
    EXPECT_LT(cpuShare, 0.2);  // 3 % measured; the read error storm took 40 %
    EXPECT_FALSE(w.portIsOpen());
    EXPECT_TRUE(w.lblPortDevice->text().startsWith(u"LAP UNIT LOST: port 2"_s))
        << w.lblPortDevice->text().toStdString();
    EXPECT_GT(t.rig->state.RaceClock, clockAtPull + 2000);
    EXPECT_EQ(t.rig->state.LapCount[1], 1);
    ASSERT_EQ(t.rig->prompter.prompts.size(), 1u) << t.rig->prompter.shown();
    const QString told = t.rig->prompter.prompts[0].text;
    EXPECT_TRUE(told.startsWith(u"The lap unit on port 2"_s) && told.contains(u"disconnected"_s) &&
                told.contains(u"by itself"_s))
        << told.toStdString();

    t.plug();
    ASSERT_TRUE(runUntil([&]() { return w.portIsOpen(); }, 3000));
    EXPECT_TRUE(w.lblPortDevice->text().endsWith(u"(the lap unit is back; laps count again)"_s));
    t.unit->send("1");
    EXPECT_TRUE(runUntil([&]() { return t.rig->state.LapCount[1] == 2; }, 3000));
    EXPECT_EQ(t.rig->prompter.prompts.size(), 1u);
}

TEST(PortFaults, WhilePausedAnotherPortIsChosenAndTheRaceKeepsItsLapsAndSettings) {
    PulledUnit t;
    frmLapdeck& w = *t.rig->window;
    t.pull();
    ASSERT_TRUE(runUntil([&]() { return !t.rig->prompter.prompts.empty(); }, 3000));
    w.cmdStart_Click();  // pause
    ASSERT_TRUE(w.mnuRaceSetting->menuAction()->isEnabled());
    const float minLap = t.rig->state.MinLapTime;
    Pty other;
    t.rig->prompter.prompts.clear();
    onModal<frmVx9SettingsNew>(
        [&](frmVx9SettingsNew& d) {
            d.cmbCommPort->setCurrentIndex(2);  // port 3
            d.txtPortDevice->setText(other.path());
            d.cmbMinLapTime->setCurrentIndex(d.cmbMinLapTime->currentIndex() + 4);
            d.cmdOk->click();
        },
        [&]() { w.mnuSettings->trigger(); });
    EXPECT_TRUE(w.portIsOpen());
    EXPECT_EQ(t.rig->state.CommPort, 3);
    EXPECT_EQ(t.rig->state.phase, RacePhase::Paused);
    EXPECT_EQ(t.rig->state.LapCount[1], 1);
    EXPECT_EQ(t.rig->state.MinLapTime, minLap);
    ASSERT_EQ(t.rig->prompter.prompts.size(), 1u) << t.rig->prompter.shown();
    EXPECT_EQ(t.rig->prompter.prompts[0].title, u"Settings"_s);

    w.cmdStart_Click();  // on again
    EXPECT_FALSE(w.mnuRaceSetting->menuAction()->isEnabled());
    runUntil([]() { return false; }, 2100);  // past the minimum lap
    other.send("1");
    EXPECT_TRUE(runUntil([&]() { return t.rig->state.LapCount[1] == 2; }, 3000));

    w.cmdStart_Click();                                 // pause
    w.cmdAbort_Click();                                 // "All Data will be lost": Yes
    EXPECT_EQ(t.rig->state.MinLapTime, minLap + 1.0f);  // the new settings, now in force
}

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
    PerFlag<int32_t> colours{0, 0, 65280};  // flag 2 green
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
