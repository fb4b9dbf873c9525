#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <vector>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "../support/FileSizeLimit.h"
#include "GuiTestSupport.h"
#include "PortReconnect.h"
#include "RaceRecorder.h"
#include "RaceTimer.h"
#include "SerialPortSource.h"
#include "frmVx9Diag.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Port 1 reads a USB adapter known by its serial number, a pty standing in for its
// tty, in a system whose serial ports the test lists; a race under way in which Ann
// has crossed once.
struct PulledUnit {
    PulledUnit() {
        plug();
        data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
        rig = std::make_unique<WindowRig>(data, [this](LapdeckServices& s) {
            s.scanPorts = [this]() {
                ++scans;
                return ports;
            };
        });
        EXPECT_TRUE(rig->window->OpenRacePort(1));
        EXPECT_EQ(rig->window->portMap().chosen()[1], u"serial:LAP1"_s);
        rig->window->cmdStart_Click();  // the real race timer runs
        unit->send("1");
        EXPECT_TRUE(runUntil([&]() { return rig->state.LapCount[1] == 1; }, 3000));
    }
    // Back under any tty name but `avoid` (other tests take and free ttys meanwhile).
    void plug(const QString& avoid = {}) {
        unit = std::make_unique<Pty>();
        while (unit->path() == avoid) {
            fillers.push_back(std::move(unit));
            unit = std::make_unique<Pty>();
        }
        ports = {{unit->path(), {}, u"LAP1"_s, u"FTDI"_s, u"FT232R USB UART"_s}};
    }
    // The port notices the loss at its next event (real I/O, so a short wait).
    void pull() {
        unit.reset();
        ports.clear();
        EXPECT_TRUE(runUntil([&]() { return rig->window->reconnect().waiting(); }, 3000));
    }
    QString status() const { return rig->window->lblPortDevice->text(); }

    std::vector<DetectedPort> ports;
    int scans = 0;
    std::unique_ptr<Pty> unit;
    std::vector<std::unique_ptr<Pty>> fillers;
    DataFolder data;
    std::unique_ptr<WindowRig> rig;
};

// Pulled during a race, the adapter is tried again, each time asked for afresh, at
// almost no CPU (a vanished device that stays open reports read errors at full
// speed), and counts again when it is back under another tty name. The CPU time is
// the port's alone, over four tries paced by the timer, with the race paused.
TEST(PortFaults, APulledAdapterIsLookedUpAtEachTryAtNoCpuAndCountsAgainUnderAnotherName) {
    constexpr int kTries = 4;
    PulledUnit t;
    frmLapdeck& w = *t.rig->window;
    w.reconnect().setInterval(100);
    const QString before = t.unit->path();
    t.pull();
    EXPECT_TRUE(w.raceTimer().isRunning());
    EXPECT_TRUE(t.status().startsWith(u"LAP UNIT LOST: port 1 ("_s + before +
                                      u", FTDI FT232R USB UART) was disconnected"_s))
        << t.status().toStdString();
    w.cmdStart_Click();  // pause
    const double cpuBefore = processCpuSeconds();
    const int scans = t.scans;
    ASSERT_TRUE(runUntil([&]() { return t.scans >= scans + kTries; }, 8000));
    // 1.5 ms a try measured, 2.2 with the sanitizers; a read error storm until the
    // first try took 57 ms.
    EXPECT_LT(processCpuSeconds() - cpuBefore, kTries * 0.0075);
    ASSERT_EQ(t.rig->prompter.prompts.size(), 1u) << t.rig->prompter.shown();
    // A race under way is told without a modal box.
    EXPECT_TRUE(t.rig->prompter.prompts[0].notice);
    const QString told = t.rig->prompter.prompts[0].text;
    EXPECT_TRUE(told.startsWith(u"The lap unit on port 1"_s) && told.contains(u"by itself"_s))
        << told.toStdString();

    t.plug(before);
    EXPECT_TRUE(w.reconnect().tryNow());
    EXPECT_EQ(t.status(), u"Reading port 1: "_s + t.unit->path() +
                              u", FTDI FT232R USB UART (the lap unit is back; laps count again)"_s);
    w.cmdStart_Click();                               // on again
    t.rig->advanceTo(t.rig->state.RaceClock + 3000);  // past the minimum lap
    t.unit->send("1");
    EXPECT_TRUE(runUntil([&]() { return t.rig->state.LapCount[1] == 2; }, 3000));
    EXPECT_EQ(t.rig->prompter.prompts.size(), 1u) << t.rig->prompter.shown();
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
    EXPECT_FALSE(w.reconnect().waiting());
    EXPECT_EQ(t.rig->state.CommPort, 3);
    EXPECT_EQ(t.rig->state.phase, RacePhase::Paused);
    EXPECT_EQ(t.rig->state.LapCount[1], 1);
    EXPECT_EQ(t.rig->state.MinLapTime, minLap);
    ASSERT_EQ(t.rig->prompter.prompts.size(), 1u) << t.rig->prompter.shown();
    EXPECT_EQ(t.rig->prompter.prompts[0].title, u"Settings"_s);

    w.cmdStart_Click();  // on again
    EXPECT_FALSE(w.mnuRaceSetting->menuAction()->isEnabled());
    t.rig->advanceTo(t.rig->state.RaceClock + 2100);  // past the minimum lap
    other.send("1");
    EXPECT_TRUE(runUntil([&]() { return t.rig->state.LapCount[1] == 2; }, 3000));

    w.cmdStart_Click();                                 // pause
    w.cmdAbort_Click();                                 // "All Data will be lost": Yes
    EXPECT_EQ(t.rig->state.MinLapTime, minLap + 1.0f);  // the new settings, now in force
}

// The status line's text and colour, as "amber: text".
std::string statusLine(const QLabel& label) {
    const QString style = label.styleSheet();
    const char* colour = style.contains(u"#c00000"_s)   ? "red: "
                         : style.contains(u"#ffbf00"_s) ? "amber: "
                                                        : "";
    return colour + label.text().toStdString();
}

// During a race the status line tells a port that says nothing for 20 s of race time
// (until its first byte) and one that sends noise (three stray bytes in ten seconds,
// until ten seconds pass without one); a journal that cannot be written turns it red,
// told by a notice that leaves the race's controls working.
TEST(PortFaults, TheStatusLineTellsASilentPortANoisyOneAndARecordThatFails) {
    Pty unit;
    DataFolder data;
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    HandClock clock;
    WindowRig rig(data, clock.services());
    frmLapdeck& w = *rig.window;
    w.portMap().choose(2, unit.path());
    ASSERT_TRUE(w.OpenRacePort(2));
    w.cmdStart_Click();
    const std::string reading = "Reading port 2: " + unit.path().toStdString();
    const std::string silent = "amber: No reports from port 2 (" + unit.path().toStdString() +
                               ") for 20 s: is the lap unit wired to this port and switched on?";
    const std::string noisy = "amber: Port 2 sends data that is no flag number: check the wiring";
    const struct {
        int advance;
        const char* bytes;
        std::string shown;
    } steps[] = {{19990, "", reading}, {10, "", silent}, {0, "1", reading},  {9000, "", reading},
                 {0, "x", reading},    {0, "yz", noisy}, {10000, "", noisy}, {10, "", reading}};
    for (const auto& step : steps) {
        SCOPED_TRACE(rig.state.RaceClock + step.advance);
        const int32_t until = rig.state.RaceClock + step.advance;
        // Each byte read is a lap of Ann's or noise.
        auto read = [&]() { return w.recorder().noise().noiseCount() + rig.state.LapCount[1]; };
        const int64_t reads = read() + static_cast<int64_t>(strlen(step.bytes));
        clock.advance(step.advance);
        unit.send(step.bytes);
        ASSERT_TRUE(
            runUntil([&]() { return rig.state.RaceClock >= until && read() == reads; }, 3000));
        EXPECT_EQ(statusLine(*w.lblPortDevice), step.shown);
    }
    EXPECT_EQ(rig.state.LapCount[1], 1);

    {
        const FileSizeLimit full(static_cast<rlim_t>(
            QFileInfo(QDir(w.recorder().raceFolder()).filePath(u"journal.txt"_s)).size()));
        clock.advance(3000);
        unit.send("1");
        ASSERT_TRUE(runUntil([&]() { return !rig.prompter.prompts.empty(); }, 3000));
    }
    EXPECT_EQ(statusLine(*w.lblPortDevice), "red: The race journal cannot be written.");
    EXPECT_TRUE(rig.prompter.prompts[0].notice) << rig.prompter.shown();
    EXPECT_EQ(rig.prompter.prompts.size(), 1u) << rig.prompter.shown();
    EXPECT_EQ(rig.state.LapCount[1], 2);
    w.cmdStart_Click();  // pause
    w.cmdAbort_Click();  // Yes: a reset clears the line
    EXPECT_EQ(statusLine(*w.lblPortDevice), reading);
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
    int64_t ms = 0;
    frmVx9Diag dialog{
        &port, QString(), colours, [this] { ++beeps; }, nullptr, 3, [this] { return ms; }};
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
    // "0", "7" and "x" are noise: three in ten seconds, until ten seconds pass without one.
    EXPECT_FALSE(t.dialog.lblNoise->isHidden());
    EXPECT_EQ(t.dialog.lblNoise->text(),
              u"Port 3 sends data that is no flag number: check the wiring"_s);
    t.ms = 10001;

    t.dialog.cmdReset->click();
    EXPECT_EQ(hits(t.dialog), QStringList(6, u"0"_s));
    t.report("5");
    EXPECT_EQ(t.dialog.lblHit[5]->text(), u" 1"_s);
    EXPECT_TRUE(t.dialog.lblNoise->isHidden());

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
