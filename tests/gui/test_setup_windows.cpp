#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "GuiTestSupport.h"
#include "NameCell.h"
#include "NamePicker.h"
#include "NameSelection.h"
#include "frmRaceFormat.h"
#include "frmVx9AddRacer.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

QColor back(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}

// The settings dialog over a system without serial devices; OK hands its copy to
// `apply`, which answers `outcome`.
struct SettingsRig {
    SettingsRig()
        : dialog({defaultSettings(), {}}, ports, prompter, [this](const SettingsChoice& c) {
              handed.push_back(c);
              return outcome;
          }) {}
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    PortMap ports{dir.path(), [] { return std::vector<DetectedPort>{}; }};
    std::vector<SettingsChoice> handed;
    SettingsOutcome outcome = SettingsOutcome::Applied;
    frmVx9SettingsNew dialog;
};

TEST(SettingsOk, HandsBackTheEditedCopyAndClosesOnlyWhenItWasApplied) {
    using O = SettingsOutcome;
    // the outcome, whether the delay list is emptied, handed back?, closed?, a message
    const std::tuple<O, bool, bool, bool, const char*> cases[] = {
        {O::Applied, false, true, true, nullptr},
        {O::Applied, true, false, false, "Missing options"},
        {O::NotApplied, false, true, false, nullptr},
        {O::ChoosePort, false, true, false, nullptr}};
    for (const auto& [outcome, noDelay, handed, closed, message] : cases) {
        SettingsRig r;
        r.outcome = outcome;
        r.dialog.cmbMinLapTime->setCurrentIndex(r.dialog.cmbMinLapTime->findText(u"4.5"_s));
        r.dialog.cmbCommPort->setCurrentIndex(2);
        r.dialog.txtPortDevice->setText(u"/dev/ttyUSB7"_s);
        if (noDelay) {
            r.dialog.cmbDelay->setCurrentIndex(-1);
        }
        r.dialog.cmdOk_Click();
        ASSERT_EQ(r.handed.size(), handed ? 1u : 0u);
        if (handed) {
            EXPECT_EQ(r.handed[0].settings.minLapText() + r.handed[0].settings.portText() +
                          r.handed[0].devices[3],
                      u"4.53/dev/ttyUSB7"_s);
        }
        EXPECT_EQ(r.dialog.result() == QDialog::Accepted, closed);
        EXPECT_EQ(r.prompter.prompts.empty() ? QString() : r.prompter.prompts[0].title,
                  QString::fromLatin1(message ? message : ""));
        EXPECT_EQ(r.dialog.focusWidget() == r.dialog.cmbCommPort, outcome == O::ChoosePort);
    }
}

using SetupWindows = WindowTest;

TEST_F(SetupWindows, SettingsCancelDropsEveryChangeAndOkStoresAndApplies) {
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    // A port list once longer left a position past its end: it selects port 1.
    QList<QByteArray> fields = serializeSettings(data.settings).split(',');
    fields[4] = "20";
    ASSERT_TRUE(writeBytes(data.path(FileNames::settings), fields.join(',')));
    frmLapdeck& w = open();
    const QByteArray before = fileBytes(data.path(FileNames::settings));
    auto change = [](bool ok) {
        return [ok](frmVx9SettingsNew& d) {
            EXPECT_EQ(d.cmbCommPort->currentIndex(), 0);
            d.cmbLane[1]->setCurrentIndex(d.cmbLane[1]->findText(u"Red"_s));
            d.chkDisable[2]->setChecked(true);
            EXPECT_EQ(back(d.txtTrack[1]), QColor(255, 0, 0));  // the swatch follows the list
            EXPECT_FALSE(d.cmbLane[2]->isEnabled());
            d.cmbMinLapTime->setCurrentIndex(d.cmbMinLapTime->findText(u"4.5"_s));
            (ok ? d.cmdOk : d.cmdCancel)->click();
        };
    };
    onModal<frmVx9SettingsNew>(change(false), [&]() { w.mnuSettings->trigger(); });
    EXPECT_EQ(fileBytes(data.path(FileNames::settings)), before);
    EXPECT_FALSE(rig->state.Disabled[2]);
    EXPECT_EQ(w.lblName[2]->text(), u" Bob"_s);

    rig->prompter.answers = {Answer::No};  // port 1 fails: demo mode
    onModal<frmVx9SettingsNew>(change(true), [&]() { w.mnuSettings->trigger(); });
    data.store.reloadSettings();
    EXPECT_EQ(data.store.settings().colourName[1], u"Red"_s);
    EXPECT_EQ(data.store.settings().portPos, 0);
    EXPECT_EQ(rig->state.MinLapTime, 4.5f);
    EXPECT_EQ(w.lblName[2]->text(), u" Disabled"_s);
    for (const QWidget* cell : std::initializer_list<const QWidget*>{
             w.lblName[1], w.lblLapNum[1], w.lblBest[1], w.lblLagTime[1]}) {
        EXPECT_EQ(back(cell), QColor(255, 0, 0));
    }
    EXPECT_TRUE(w.windowTitle().endsWith(u"4.5 seconds minimum lap time"_s));
}

// Names stay with their laps when Settings is confirmed in a paused race whose
// standings differ from the flag order (they once moved onto the other cars' laps).
TEST_F(SetupWindows, SettingsOkInAPausedRaceKeepsEachNameWithItsLaps) {
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    frmLapdeck& w = open();
    w.cmdStart_Click();
    rig->cross(1000, "3");
    rig->cross(1200, "1");
    w.cmdStart_Click();  // pause
    auto rows = [&w]() {
        QStringList shown;
        for (int r = 1; r <= 3; ++r) {
            shown << w.lblName[r]->text() + u'|' + w.lblLapNum[r]->text();
        }
        return shown;
    };
    const QStringList before = rows();
    ASSERT_EQ(before, (QStringList{u" Cy|1"_s, u" Ann|1"_s, u" Bob|"_s}));
    rig->prompter.answers = {Answer::No};  // port 1 has no device: on without it
    onModal<frmVx9SettingsNew>([](frmVx9SettingsNew& d) { d.cmdOk->click(); },
                               [&]() { w.mnuSettings->trigger(); });
    EXPECT_EQ(rows(), before);
}

// Demo mode chosen at the "Com Port" question, then a working port typed into
// Settings (and kept), then demo mode turned off in the race format.
TEST_F(SetupWindows, DemoModeEndsInTheRaceFormatAndTheTypedPortIsRead) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    data.format(RaceOption::Practice);
    frmLapdeck& w = open();
    rig->prompter.answers = {Answer::No};
    w.openStartupPort();
    EXPECT_EQ(rig->prompter.shown(),
              "ask error: Com Port|Com Port ERROR!\r\nPort 1 (/nonexistent/lapdeck-tty): No such "
              "file or directory\r\nTo Select a Different PORT click \"Yes\"\r\nTo use Demo "
              "mode, click \"No\"\n");
    ASSERT_TRUE(rig->state.Demo);
    EXPECT_EQ(w.lblRaceFormat->text(), u"Demo - Practice"_s);
    EXPECT_FALSE(w.portIsOpen());

    rig->prompter.prompts.clear();
    onModal<frmVx9SettingsNew>(
        [&](frmVx9SettingsNew& d) {
            d.txtPortDevice->setText(pty.path());
            d.cmbCommPort->setCurrentIndex(3);  // a look at another number first
            d.cmbCommPort->setCurrentIndex(0);
            d.cmdOk->click();
        },
        [&]() { w.mnuSettings->trigger(); });
    ASSERT_EQ(rig->prompter.prompts.size(), 1u);  // where to turn demo mode off
    EXPECT_TRUE(rig->prompter.prompts[0].text.contains(u"clear \"Demo Mode\" in Race Format"_s));
    EXPECT_EQ(fileBytes(data.path(PortMap::kFileName)), "1,\"" + pty.path().toUtf8() + "\"\r\n");

    onModal<frmRaceFormat>(
        [](frmRaceFormat& d) {
            d.chkDemo->setChecked(false);
            d.cmdOk->click();
        },
        [&]() { w.lblRaceFormat_Click(); });
    EXPECT_EQ(w.lblRaceFormat->text(), u"Practice"_s);
    EXPECT_EQ(w.lblPortDevice->text(), u"Reading port 1: "_s + pty.path());
    w.cmdStart_Click();  // practice: the race timer reads the port from here
    pty.send("2");
    EXPECT_TRUE(runUntil([&]() { return rig->state.LapCount[2] == 1; }, 3000));
}

// No to the "Com Port" question (demo mode) is the test above.
TEST_F(SetupWindows, BadPortNumbersAreRefusedAndYesToAMissingDeviceOpensTheChosenPort) {
    Pty pty;
    frmLapdeck& w = open();  // port 1 has no device
    for (int port : {0, 17, -1}) {
        EXPECT_FALSE(w.OpenRacePort(port));
    }
    EXPECT_EQ(rig->prompter.prompts.size(), 3u);
    EXPECT_EQ(rig->prompter.prompts.at(2).text, u"Invalid Port Number"_s);
    rig->prompter.answers = {Answer::Yes};
    onModal<frmVx9SettingsNew>(
        [&](frmVx9SettingsNew& d) {
            EXPECT_EQ(d.focusWidget(), d.cmbCommPort);
            d.cmbCommPort->setCurrentIndex(4);
            d.txtPortDevice->setText(pty.path());
            d.cmdOk->click();
        },
        [&]() { EXPECT_FALSE(w.OpenRacePort(1)); });
    EXPECT_TRUE(w.portIsOpen());
    EXPECT_EQ(rig->state.CommPort, 5);
    EXPECT_FALSE(rig->state.Demo);
}

TEST_F(SetupWindows, RaceFormatNeedsMinutesGreysItsListsAndCancelDropsTheChoice) {
    frmLapdeck& w = open();
    const QByteArray before = fileBytes(data.path(FileNames::raceFormat));
    const bool leftOpen = onModal<frmRaceFormat>(
        [&](frmRaceFormat& d) {
            d.optPractice->click();
            EXPECT_FALSE(d.cmbSelectNoOfLaps->isEnabled() || d.cmbSelectTime->isEnabled());
            d.optTimedRace->click();
            EXPECT_TRUE(d.cmbSelectTime->isEnabled() && !d.cmbSelectNoOfLaps->isEnabled());
            d.cmbSelectTime->setCurrentIndex(-1);
            d.cmdOk->click();
            EXPECT_EQ(rig->prompter.shown(), "tell -: |Please select Time\n");
            EXPECT_EQ(d.focusWidget(), d.cmbSelectTime);
        },
        [&]() { w.mnuRace->trigger(); });
    EXPECT_TRUE(leftOpen);
    EXPECT_EQ(fileBytes(data.path(FileNames::raceFormat)), before);
    EXPECT_EQ(w.lblRaceFormat->text(), u"10 Lap Race"_s);
}

TEST_F(SetupWindows, RosterQuestionsAndWhatReachesTheFile) {
    saveRoster(data.path(FileNames::roster), {u"Zoe"_s});
    ScriptedPrompter prompter;
    frmVx9AddRacer d(data.path(FileNames::roster), prompter);
    auto onDisk = [&] { return fileBytes(data.path(FileNames::roster)); };

    prompter.inputs = {u"  ann  "_s};
    d.cmdAdd_Click();
    EXPECT_EQ(d.lstRacers->item(0)->text(), u"Ann"_s);
    EXPECT_EQ(onDisk(), "\"Zoe\"\r\n\"Ann\"\r\n");

    d.lstRacers->clearSelection();
    d.lstRacers->item(1)->setSelected(true);  // Zoe
    prompter.inputs = {u"bob smith"_s};
    d.cmdModify_Click();
    EXPECT_EQ(prompter.prompts.back().text, u"Modify Racer name [Zoe]"_s);
    EXPECT_EQ(d.lstRacers->item(1)->text(), u"Bob Smith"_s);  // in Zoe's place
    EXPECT_EQ(onDisk(), "\"Ann\"\r\n\"Bob Smith\"\r\n");

    d.lstRacers->item(0)->setSelected(true);
    d.cmdDelete_Click();  // Yes
    EXPECT_EQ(prompter.prompts.back().text, u"Delete Ann?"_s);
    EXPECT_EQ(onDisk(), "\"Bob Smith\"\r\n");
    EXPECT_EQ(d.lblQty->text(), u"Total number of Racers: 1"_s);

    EXPECT_EQ(d.roster(), QStringList{u"Bob Smith"_s});  // what the name pickers take
}

TEST_F(SetupWindows, GarbageInTheNameFilesIsRefusedOnceEachAndLeftAsItWas) {
    const char bytes[] = "\"\x01\x02\xff\x00zz\"\r\n\x7f\"ab\x03\"\r\n";
    const QByteArray garbage(bytes, sizeof bytes - 1);
    const QStringList files{FileNames::roster, FileNames::racerNames, FileNames::raceLag};
    for (const QString& name : files) {
        ASSERT_TRUE(writeBytes(data.path(name), garbage));
    }
    frmLapdeck& w = open();
    QStringList told;  // the file each message names, at its line
    for (const Prompt& p : rig->prompter.prompts) {
        told << p.text.section(u", line 1"_s, 0, 0);
    }
    told.sort();
    EXPECT_EQ(told, (QStringList{data.path(FileNames::raceLag), data.path(FileNames::racerNames),
                                 data.path(FileNames::roster)}));
    EXPECT_EQ(w.lblName[1]->text() + w.Select_Name[1]->entries().join(u',') + w.lblLag->text(),
              u" Select NameEmptyLag First"_s);

    frmVx9AddRacer d(data.path(FileNames::roster), rig->prompter);
    EXPECT_FALSE(d.cmdAdd->isEnabled() || d.cmdModify->isEnabled() || d.cmdDelete->isEnabled());
    w.close();  // the lag column was not changed: RaceLag.dat is not written
    for (const QString& name : files) {
        EXPECT_EQ(fileBytes(data.path(name)), garbage) << name.toStdString();
    }
}

TEST_F(SetupWindows, NameCellsElideLongNamesAndOneClickOpensAList) {
    data.names(u"Alexandria-Montgomery Featherstonehaugh,Bob,,,,"_s);
    saveRoster(data.path(FileNames::roster), {u"Ann"_s, u"Bob"_s});
    frmLapdeck& w = open();
    w.show();
    QCoreApplication::processEvents();
    auto* cell = qobject_cast<NameCell*>(w.lblName[1]);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->shownText().endsWith(QChar(0x2026)));
    EXPECT_LE(cell->fontMetrics().horizontalAdvance(cell->shownText()), cell->width());
    w.names().lblName_MouseMove(1);
    EXPECT_TRUE(cell->toolTipText().startsWith(u"Alexandria-Montgomery Featherstonehaugh\n"_s));
    EXPECT_FALSE(qobject_cast<NameCell*>(w.lblName[2])->isElided());

    // One click on another name cell closes the open list and opens that cell's.
    w.names().lblName_Click(2);
    NamePicker* picker = w.Select_Name[2];
    ASSERT_TRUE(picker->view()->isVisible());
    QWidget* popup = picker->view()->window();
    const QPoint onRow5 = w.lblName[5]->mapToGlobal(w.lblName[5]->rect().center());
    QMouseEvent press(QEvent::MouseButtonPress, popup->mapFromGlobal(onRow5), onRow5,
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(popup, &press);
    QCoreApplication::processEvents();
    EXPECT_TRUE(picker->isHidden());
    EXPECT_TRUE(w.Select_Name[5]->view()->isVisible());
    w.Select_Name[5]->hidePopup();  // and nothing opens after that one
    QCoreApplication::processEvents();
    for (int r = 1; r <= 6; ++r) {
        EXPECT_TRUE(w.Select_Name[r]->isHidden()) << r;
    }
    w.close();
}

}  // namespace
}  // namespace lapdeck::test
