// The main window draws the engine's screen and forwards clicks and keys to it; the
// rules themselves are tested with the engine.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "FileSizeLimit.h"
#include "GuiTestSupport.h"
#include "NamePicker.h"
#include "NameSelection.h"
#include "PictureBox.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"
#include "RaceTimer.h"
#include "TextFile.h"
#include "frmVx9SettingsNew.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

// The start button, the flag picture, the enabled menus and whether the timer runs.
std::string controls(frmLapdeck& w) {
    std::string out = (w.cmdStart->text() + u' ' + w.shownPicture()).toStdString() + " [";
    const std::pair<QAction*, const char*> menus[] = {{w.mnuFile->menuAction(), "File"},
                                                      {w.mnuRaceFormat->menuAction(), "RaceFormat"},
                                                      {w.mnuViewData->menuAction(), "ViewData"},
                                                      {w.mnuRacer->menuAction(), "Racers"},
                                                      {w.mnuSound, "Sound"},
                                                      {w.mnuRaceSetting->menuAction(), "Settings"},
                                                      {w.mnuHelp->menuAction(), "Help"}};
    for (const auto& [action, name] : menus) {
        out += action->isEnabled() ? std::string(out.back() == '[' ? "" : " ") + name : "";
    }
    out += w.cmdAbort->isEnabled() ? "] abort" : "]";
    return out + (w.raceTimer().isRunning() ? " timer" : "");
}
const char* const kIdle = "Start LVLogo.gif [File RaceFormat Racers Sound Settings Help]";

void press(frmLapdeck& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(&w, &event);
}

using MainWindow = WindowTest;

// A 3-lap race of flag 1 alone (the other flags never cross and count as done). What
// each phase enables is the engine's; here the window shows it.
TEST_F(MainWindow, ControlsPicturesAndRowsFollowTheRace) {
    data.names(u"Ann,Empty,Empty,Empty,Empty,Empty"_s);
    data.format(RaceOption::LapRace, 3);
    frmLapdeck& w = open();
    EXPECT_EQ(controls(w), kIdle);
    w.cmdStart_Click();
    EXPECT_TRUE(rig->start.lastWithCountdown);  // default delay 3 s
    EXPECT_EQ(controls(w), "Pause GreenFlagblack.bmp [] timer");
    EXPECT_FALSE(w.mnuHelpContent->isEnabled());
    rig->cross(1000, "1");
    w.cmdStart_Click();
    EXPECT_EQ(controls(w), "Continue YellowFlagblack.bmp [ViewData Settings] abort");
    w.cmdStart_Click();
    rig->cross(4000, "1");
    EXPECT_EQ(w.lblClock->text() + u'|' + w.lblLapNum[1]->text() + u'|' + w.lblLapTime[1]->text() +
                  u'|' + w.lblBest[1]->text(),
              u"00:03|2|3.00|3.00 "_s);
    rig->cross(7000, "1");
    rig->advanceTo(7010);
    // F1 opens the help once the race is over, as the Help menu does.
    EXPECT_EQ(controls(w), "Reset CheckeredFlagblack.bmp [File ViewData Help]");
    EXPECT_TRUE(w.mnuHelpContent->isEnabled());
    EXPECT_FALSE(w.lblRaceOver->isHidden());

    w.cmdStart_Click();  // Yes to the unsaved results
    EXPECT_EQ(rig->prompter.prompts.size(), 1u);
    EXPECT_EQ(controls(w), kIdle);
    EXPECT_TRUE(w.lblRaceOver->isHidden());
    EXPECT_EQ(w.lblLapNum[1]->text(), QString());
}

// Digits and keypad digits name screen rows; F4 and F5 switch the two headings.
TEST_F(MainWindow, KeysReachTheEngine) {
    data.names(u"Ann,Empty,Empty,Empty,Empty,Empty"_s);
    frmLapdeck& w = open();
    w.cmdStart_Click();
    for (const Qt::KeyboardModifiers mods : {Qt::NoModifier, Qt::KeypadModifier}) {
        rig->cross(rig->state.RaceClock + 3000, "1");
        rig->cross(rig->state.RaceClock + 3000, "1");
        ASSERT_EQ(w.lblBest[1]->text(), u"3.00 "_s);
        press(w, Qt::Key_2, mods);
        EXPECT_EQ(w.lblBest[1]->text(), u"3.00 "_s);
        press(w, Qt::Key_1, mods);
        EXPECT_EQ(w.lblBest[1]->text(), QString());
        EXPECT_EQ(rig->state.BestLapTime[1], kNoBestLap);
    }
    press(w, Qt::Key_F4);
    press(w, Qt::Key_F5);
    EXPECT_EQ(w.lblLag->text() + u'|' + w.lblBestLap->text(), u"Median|MPH"_s);
    w.names().lblName_Click(1);  // racing: no name list
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
}

TEST_F(MainWindow, NamePickerOpensOnTheNameWarnsOnDuplicatesAndStoresRacersDat) {
    saveRoster(data.path(FileNames::roster), {u"Zoe"_s, u"Ann"_s, u"bob"_s});
    data.settings.disabled[6] = true;
    saveSettings(data.path(FileNames::settings), data.settings);
    data.names(u"Ann,,Ann,,,Old"_s);
    frmLapdeck& w = open();
    EXPECT_EQ(w.Select_Name[2]->entries(), (QStringList{u"Ann"_s, u"bob"_s, u"Empty"_s, u"Zoe"_s}));
    w.names().lblName_Click(1);
    EXPECT_FALSE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[1]->currentText(), u"Ann"_s);
    w.names().lblName_Click(2);  // closes the first list; no name yet: the last entry
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[2]->currentText(), u"Zoe"_s);
    w.Select_Name[2]->setCurrentIndex(0);  // "Ann", already on rows 1 and 3
    w.names().Select_Name_Click(2);
    const std::string warning = "tell excl: Racer's Name|Warning, name already exists.\n";
    EXPECT_EQ(rig->prompter.shown(), warning + warning);
    EXPECT_EQ(w.lblName[2]->text(), u" Ann"_s);
    EXPECT_TRUE(w.Select_Name[2]->isHidden());
    EXPECT_EQ(fileBytes(data.path(FileNames::racerNames)),
              QByteArray("\"Ann\",\"Ann\",\"Ann\",\"Select Name\",\"Select Name\",\"Old\"\r\n"));

    rig->prompter.prompts.clear();
    w.names().lblName_Click(6);  // disabled: no list
    EXPECT_EQ(rig->prompter.shown(),
              "tell excl: Lane Disabled|This lane is disabled.\r\nGo to Settings to enable it.\n");
    EXPECT_TRUE(w.Select_Name[6]->isHidden());
}

enum class Leave { Exit, CloseBox };

// Exit, the close box in a race and Open Race ask before unsaved results are given
// up, with No as the default (Enter keeps them); a race left so needs no recovery.
// The close box of a race that is over asks nothing: the race is in its folder. The
// question's wording is shared with Reset and tested with the engine.
TEST_F(MainWindow, LeavingUnsavedResultsIsAskedWithNoAsTheDefault) {
    using P = RacePhase;
    // how, in what phase, practice?, the answer, asks?, closes?
    const std::tuple<Leave, P, bool, Answer, bool, bool> cases[] = {
        {Leave::Exit, P::Idle, false, Answer::No, true, false},
        {Leave::Exit, P::Over, false, Answer::Yes, true, true},
        {Leave::Exit, P::Idle, true, Answer::No, false, true},
        {Leave::CloseBox, P::Idle, false, Answer::No, false, true},
        {Leave::CloseBox, P::Racing, false, Answer::No, true, false},
        {Leave::CloseBox, P::Paused, false, Answer::Yes, true, true},
        {Leave::CloseBox, P::Racing, true, Answer::No, false, true},
        {Leave::CloseBox, P::Over, false, Answer::No, false, true}};
    for (const auto& [how, phase, practice, answer, asks, closes] : cases) {
        SCOPED_TRACE(static_cast<int>(how) * 10 + static_cast<int>(phase));
        data.names(u"Ann,Empty,Empty,Empty,Empty,Empty"_s);
        data.format(practice ? RaceOption::Practice : RaceOption::LapRace, 3);
        frmLapdeck& w = open();
        w.show();
        rig->state.LapsUnsaved = true;  // as if a race had been run
        if (phase != P::Idle) {
            w.cmdStart_Click();
        }
        if (phase == P::Over) {
            for (const int32_t clock : {1000, 4000, 7000}) {
                rig->cross(clock, "1");
            }
            rig->advanceTo(7010);
        }
        if (phase == P::Paused) {
            w.cmdStart_Click();
        }
        ASSERT_EQ(rig->state.phase, phase);
        const QString raceFolder = w.recorder().raceFolder();
        rig->prompter.answers = {answer};
        if (how == Leave::CloseBox) {
            w.close();
        } else {
            w.mnuExit->trigger();
        }
        ASSERT_EQ(rig->prompter.prompts.size(), asks ? 1u : 0u);
        if (asks) {
            EXPECT_TRUE(rig->prompter.prompts[0].defaultNo);
        }
        EXPECT_EQ(w.isVisible(), !closes);
        if (closes && phase != P::Idle) {
            EXPECT_EQ(RaceArchive::endOf(raceFolder), how == Leave::CloseBox && phase == P::Over
                                                          ? RaceEnd::Unfinished
                                                          : RaceEnd::Finished);
        }
    }
}

QStringList filesOf(const QString& folder) {
    QStringList files;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        files << file.fileName() + u'=' +
                     QString::fromLatin1(readWholeFile(file.filePath(), 4096).bytes);
    }
    return files;
}

// What a user met on a full disk (RaceLag.dat emptied by Exit, LapdeckPorts.dat by
// Settings OK): the save is told, naming its file, and every old file stays whole.
TEST(DiskFaults, ASaveOnAFullDiskIsToldAndKeepsTheOldFiles) {
    const std::function<void(frmLapdeck&)> saves[] = {
        [](frmLapdeck& w) {
            w.lblLag_Click();  // a new choice to keep
            w.close();
        },
        [](frmLapdeck& w) {
            onModal<frmVx9SettingsNew>(
                [](frmVx9SettingsNew& d) {
                    d.txtPortDevice->setText(u"/dev/ttyUSB7"_s);
                    d.cmdOk->click();
                },
                [&]() { w.mnuSettings->trigger(); });
        },
    };
    for (const auto& save : saves) {
        DataFolder data;
        WindowRig rig(data);
        rig.window->portMap().choose(1, u"/dev/ttyUSB0"_s);
        ASSERT_FALSE(rig.window->portMap().save());
        const QStringList before = filesOf(data.dir.path());
        {
            FileSizeLimit full(4);
            save(*rig.window);
        }
        EXPECT_EQ(filesOf(data.dir.path()), before);
        ASSERT_EQ(rig.prompter.prompts.size(), 1u) << rig.prompter.shown();
        EXPECT_TRUE(rig.prompter.prompts[0].text.contains(u": cannot be written: "_s))
            << rig.prompter.shown();
    }
}

}  // namespace
}  // namespace lapdeck::test
