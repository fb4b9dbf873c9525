// The main window draws the engine's screen and forwards clicks and keys to it; the
// rules themselves are tested with the engine.
#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "GuiTestSupport.h"
#include "NamePicker.h"
#include "PictureBox.h"

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

// The window is opened once a test has written its data folder.
class MainWindow : public ::testing::Test {
protected:
    frmLapdeck& open() {
        rig = std::make_unique<WindowRig>(data);
        return *rig->window;
    }
    DataFolder data;
    std::unique_ptr<WindowRig> rig;
};

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
    EXPECT_EQ(controls(w), "Reset CheckeredFlagblack.bmp [File ViewData]");
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
    w.lblName_Click(1);  // racing: no name list
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
}

TEST_F(MainWindow, NamePickerOpensOnTheNameWarnsOnDuplicatesAndStoresRacersDat) {
    saveRoster(data.path(FileNames::roster), {u"Zoe"_s, u"Ann"_s, u"bob"_s});
    data.disable(6);
    data.names(u"Ann,,Ann,,,Old"_s);
    frmLapdeck& w = open();
    EXPECT_EQ(w.Select_Name[2]->entries(), (QStringList{u"Ann"_s, u"bob"_s, u"Empty"_s, u"Zoe"_s}));
    w.lblName_Click(1);
    EXPECT_FALSE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[1]->currentText(), u"Ann"_s);
    w.lblName_Click(2);  // closes the first list; no name yet: the last entry
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[2]->currentText(), u"Zoe"_s);
    w.Select_Name[2]->setCurrentIndex(0);  // "Ann", already on rows 1 and 3
    w.Select_Name_Click(2);
    const std::string warning = "tell excl: Racer's Name|Warning, name already exists.\n";
    EXPECT_EQ(rig->prompter.shown(), warning + warning);
    EXPECT_EQ(w.lblName[2]->text(), u" Ann"_s);
    EXPECT_TRUE(w.Select_Name[2]->isHidden());
    EXPECT_EQ(fileBytes(data.path(FileNames::racerNames)),
              QByteArray("\"Ann\",\"Ann\",\"Ann\",\"Select Name\",\"Select Name\",\"Old\"\r\n"));

    rig->prompter.prompts.clear();
    w.lblName_Click(6);  // disabled: no list
    EXPECT_EQ(rig->prompter.shown(),
              "tell excl: Lane Disabled|This lane is disabled.\r\nGo to Settings to enable it.\n");
    EXPECT_TRUE(w.Select_Name[6]->isHidden());
}

// The question's wording is shared with Reset and tested with the engine.
TEST_F(MainWindow, ExitAsksAboutUnsavedResultsOutsidePracticeAndTheCloseBoxDoesNot) {
    // practice, unsaved, answer, asks, closes
    const std::tuple<bool, bool, Answer, bool, bool> cases[] = {
        {false, true, Answer::No, true, false},
        {false, true, Answer::Yes, true, true},
        {false, false, Answer::No, false, true},
        {true, true, Answer::No, false, true}};
    for (const auto& [practice, unsaved, answer, asks, closes] : cases) {
        data.format(practice ? RaceOption::Practice : RaceOption::LapRace);
        frmLapdeck& w = open();
        w.show();
        rig->state.LapsUnsaved = unsaved;
        rig->prompter.answers = {answer};
        w.mnuExit->trigger();
        EXPECT_EQ(rig->prompter.shown(),
                  asks ? "ask excl: Laps not saved|Lap file has not be saved.\r\nDo you want to "
                         "exit?\n"
                       : "");
        EXPECT_EQ(w.isVisible(), !closes);
    }
    saveLagMode(data.path(FileNames::raceLag), u"Lag Behind"_s);
    frmLapdeck& w = open();
    w.show();
    rig->state.LapsUnsaved = rig->state.SummaryUnsaved = true;
    w.lblLag_Click();
    w.lblLag_Click();  // Lag Behind -> Lag First -> Median
    w.close();
    EXPECT_TRUE(rig->prompter.prompts.empty());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(fileBytes(data.path(FileNames::raceLag)), QByteArray("\"Median\"\r\n"));
}

}  // namespace
}  // namespace lapdeck::test
