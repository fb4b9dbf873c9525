#include <gtest/gtest.h>

#include <array>

#include <QAction>
#include <QFile>
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

using Menus = std::array<bool, 7>;  // File, Race Format, View Data, Racers, Sound, Settings, Help

Menus menus(const frmLapdeck& w) {
    return {w.mnuFile->menuAction()->isEnabled(),
            w.mnuRaceFormat->menuAction()->isEnabled(),
            w.mnuViewData->menuAction()->isEnabled(),
            w.mnuRacer->menuAction()->isEnabled(),
            w.mnuSound->isEnabled(),
            w.mnuRaceSetting->menuAction()->isEnabled(),
            w.mnuHelp->menuAction()->isEnabled()};
}
constexpr Menus kIdleMenus{true, true, false, true, true, true, true};
constexpr Menus kRacingMenus{false, false, false, false, false, false, false};
constexpr Menus kPausedMenus{false, false, true, false, false, false, false};
constexpr Menus kOverMenus{true, false, true, false, false, false, false};

// The start button, the flag picture and the menus; the timer runs only under "Pause".
void expectControls(frmLapdeck& w, const QString& button, const QString& picture, const Menus& m) {
    EXPECT_EQ(w.cmdStart->text(), button);
    EXPECT_EQ(w.shownPicture(), picture);
    EXPECT_EQ(w.raceTimer().isRunning(), button == u"Pause"_s);
    EXPECT_EQ(menus(w), m);
}

QColor back(const QLabel* label) {
    return label->palette().color(QPalette::Window);
}

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

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST_F(MainWindow, StartUpShowsNamesColoursTitleAndStoredLagHeading) {
    data.settings.disabled[6] = true;
    data.writeSettings();
    data.names(flagNames(u"Ann,,Cy,Dee,Eve,Fay"_s));
    data.lag(u"Median"_s);
    frmLapdeck& w = open();

    const QStringList names{u" Ann"_s, u" Select Name"_s, u" Cy"_s,
                            u" Dee"_s, u" Eve"_s,         u" Disabled"_s};
    // Yellow, Green, Blue, White, Purple, Orange.
    const std::array<QColor, 6> colours{QColor(255, 255, 0),   QColor(0, 255, 0),
                                        QColor(128, 128, 255), QColor(255, 255, 255),
                                        QColor(255, 0, 255),   QColor(255, 128, 0)};
    for (int r = 1; r <= 6; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(w.lblName[r]->text(), names[r - 1]);
        for (const QLabel* cell :
             {static_cast<QLabel*>(w.lblName[r]), w.lblLapNum[r], w.lblLapTime[r],
              static_cast<QLabel*>(w.lblBest[r]), w.lblLagTime[r]}) {
            EXPECT_EQ(back(cell), colours[static_cast<size_t>(r - 1)]);
            EXPECT_TRUE(cell->text().isEmpty() || cell == w.lblName[r]);
        }
    }
    EXPECT_EQ(w.windowTitle(),
              u"Vx9 Timer - 3 seconds delay before Formula 1 start - 2 seconds minimum lap time"_s);
    EXPECT_EQ(w.lblRaceFormat->text(), u"10 Lap Race"_s);
    EXPECT_EQ(w.lblLag->text(), u"Median"_s);
    EXPECT_EQ(w.lblClock->text(), u"00:00"_s);
    EXPECT_FALSE(w.imgLapvane->picture().isNull());
    expectControls(w, u"Start"_s, u"LVLogo.gif"_s, kIdleMenus);
    EXPECT_FALSE(w.cmdAbort->isEnabled());
    EXPECT_TRUE(w.lblRaceOver->isHidden());
    EXPECT_TRUE(rig->prompter.calls.empty());
}

// Which checks refuse a start is the engine's; here the prompts reach the user.
TEST_F(MainWindow, RefusedStartsShowTheMessageOrTheAnsweredQuestion) {
    const QString sameNames =
        u"Warning, names in Flags 1 and 3 are the same\r\nDo you want to continue race?"_s;
    struct Case {
        QString names;
        QString title;
        QString text;
        Icon icon;
    };
    for (const Case& c :
         {Case{u"Ann,,Cy,Dee,Eve,Fay"_s, u"Select Name"_s, u"Please select name for Flag 2"_s,
               Icon::None},
          Case{u"Ann,Bob,Ann,Empty,Empty,Empty"_s, u"Same Names"_s, sameNames, Icon::Question}}) {
        data.names(flagNames(c.names));
        frmLapdeck& w = open();
        rig->prompter.answers = {Answer::No};
        w.cmdStart_Click();
        ASSERT_NO_FATAL_FAILURE(expectOnePrompt(rig->prompter, c.title, c.text, c.icon));
        EXPECT_EQ(rig->prompter.calls[0].question, c.icon == Icon::Question);
        EXPECT_EQ(rig->prompter.calls[0].defaultNo, c.icon == Icon::Question);
        EXPECT_EQ(rig->start.runs, 0);
        EXPECT_EQ(w.cmdStart->text(), u"Start"_s);
        // A refused start gives the menus back.
        EXPECT_EQ(menus(w), kIdleMenus);
    }
}

TEST_F(MainWindow, PauseContinueAbortWithPicturesAndMenus) {
    data.names(sixNames());
    frmLapdeck& w = open();

    w.cmdStart_Click();
    EXPECT_TRUE(rig->start.lastWithCountdown);  // default delay 3 s
    expectControls(w, u"Pause"_s, u"GreenFlagblack.bmp"_s, kRacingMenus);
    EXPECT_FALSE(w.cmdAbort->isEnabled());
    rig->advanceTo(1500);
    EXPECT_EQ(w.lblClock->text(), u"00:01"_s);

    w.cmdStart_Click();
    expectControls(w, u"Continue"_s, u"YellowFlagblack.bmp"_s, kPausedMenus);
    EXPECT_TRUE(w.cmdAbort->isEnabled());
    w.cmdStart_Click();
    expectControls(w, u"Pause"_s, u"GreenFlagblack.bmp"_s, kRacingMenus);

    w.cmdStart_Click();  // pause again, then abort
    rig->prompter.answers = {Answer::Yes};
    w.cmdAbort_Click();
    ASSERT_NO_FATAL_FAILURE(expectOnePrompt(
        rig->prompter, u"Abort"_s, u"All Data will be lost\r\nAre you sure you want to abort?"_s,
        Icon::Question));
    expectControls(w, u"Start"_s, u"LVLogo.gif"_s, kIdleMenus);
    EXPECT_EQ(w.lblClock->text(), u"00:00"_s);
}

// A 3-lap race of flag 1 alone (the other flags never cross and count as done).
TEST_F(MainWindow, WhiteAndCheckeredFlagsRaceOverAndReset) {
    data.names(flagNames(u"Ann,Empty,Empty,Empty,Empty,Empty"_s));
    data.laps(3);
    frmLapdeck& w = open();
    w.cmdStart_Click();

    rig->cross(1000, u"1"_s);  // first crossing: lap 1
    rig->cross(4000, u"1"_s);  // lap 2
    rig->advanceTo(4010);      // the next tick's finish test: white flag
    EXPECT_EQ(w.shownPicture(), u"whiteflagblack.bmp"_s);
    rig->cross(7000, u"1"_s);  // lap 3
    EXPECT_EQ(w.cmdStart->text(), u"Pause"_s);
    rig->advanceTo(7010);
    expectControls(w, u"Reset"_s, u"CheckeredFlagblack.bmp"_s, kOverMenus);
    EXPECT_FALSE(w.lblRaceOver->isHidden());
    EXPECT_EQ(w.lblLapNum[1]->text(), u"3"_s);
    EXPECT_EQ(w.lblLapTime[1]->text(), u"3.00"_s);

    rig->prompter.answers = {Answer::Yes};
    w.cmdStart_Click();
    EXPECT_EQ(rig->prompter.calls.size(), 1u);  // the results are not saved
    expectControls(w, u"Start"_s, u"LVLogo.gif"_s, kIdleMenus);
    EXPECT_TRUE(w.lblRaceOver->isHidden());
    EXPECT_EQ(w.lblLapNum[1]->text(), QString());
}

TEST_F(MainWindow, RowsFollowTheStandingsInTheirFlagColours) {
    data.names(sixNames());
    frmLapdeck& w = open();
    w.cmdStart_Click();

    rig->cross(1000, u"2"_s);
    rig->cross(1500, u"5"_s);
    // Flags 2 and 5 have a lap; the rest keep flag order below them.
    const QStringList order{u" Bob"_s, u" Eve"_s, u" Ann"_s, u" Cy"_s, u" Dee"_s, u" Fay"_s};
    for (int r = 1; r <= 6; ++r) {
        EXPECT_EQ(w.lblName[r]->text(), order[r - 1]) << r;
    }
    EXPECT_EQ(back(w.lblName[1]), QColor(0, 255, 0));
    EXPECT_EQ(back(w.lblLagTime[2]), QColor(255, 0, 255));
    EXPECT_EQ(w.lblLapTime[1]->text(), u"1.00"_s);
    EXPECT_EQ(w.lblLagTime[2]->text(), u"0.50"_s);  // Lag First, same lap

    rig->cross(5000, u"5"_s);  // flag 5 goes a lap ahead
    EXPECT_EQ(w.lblName[1]->text(), u" Eve"_s);
    EXPECT_EQ(w.lblName[2]->text(), u" Bob"_s);
    EXPECT_EQ(back(w.lblBest[1]), QColor(255, 0, 255));
    EXPECT_EQ(back(w.lblBest[2]), QColor(0, 255, 0));
    EXPECT_EQ(w.lblLapNum[1]->text(), u"2"_s);
    EXPECT_EQ(w.lblLapTime[1]->text(), u"3.50"_s);
    EXPECT_EQ(w.lblBest[1]->text(), u"3.50 "_s);
}

// The cycles are the engine's; here clicks, F4 and F5 reach it and the heading redraws.
TEST_F(MainWindow, HeadersToggleByClickAndKeys) {
    data.lag(u"Lag Behind"_s);
    frmLapdeck& w = open();
    w.lblBestLap_Click();
    EXPECT_EQ(w.lblBestLap->text(), u"MPH"_s);
    press(w, Qt::Key_F5);
    EXPECT_EQ(w.lblBestLap->text(), u"Median"_s);
    w.lblLag_Click();
    EXPECT_EQ(w.lblLag->text(), u"Lag First"_s);
    press(w, Qt::Key_F4);
    EXPECT_EQ(w.lblLag->text(), u"Median"_s);
}

struct ResetCase {
    const char* label;
    int key;  // 0: click the cell
    Qt::KeyboardModifiers mods;
};
class BestLapReset : public MainWindow, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(BestLapReset, ClearsTheBestOfRowOneWhileRacing) {
    const ResetCase& c = GetParam();
    data.names(flagNames(u"Ann,Empty,Empty,Empty,Empty,Empty"_s));
    frmLapdeck& w = open();
    w.cmdStart_Click();
    rig->cross(1000, u"1"_s);
    rig->cross(4000, u"1"_s);
    ASSERT_EQ(w.lblBest[1]->text(), u"3.00 "_s);
    c.key == 0 ? w.lblBest_Click(1) : press(w, c.key, c.mods);
    EXPECT_EQ(w.lblBest[1]->text(), QString());
    EXPECT_EQ(rig->state.BestLapTime[1], kNoBestLap);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, BestLapReset,
                         ::testing::Values(ResetCase{"click", 0, Qt::NoModifier},
                                           ResetCase{"digit", Qt::Key_1, Qt::NoModifier},
                                           ResetCase{"keypad", Qt::Key_1, Qt::KeypadModifier}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(MainWindow, NamePickerOpensOnTheNameWarnsOnDuplicatesAndStoresRacersDat) {
    data.roster({u"Zoe"_s, u"Ann"_s, u"bob"_s});
    data.settings.disabled[6] = true;
    data.writeSettings();
    data.names(flagNames(u"Ann,,Ann,,,Old"_s));
    frmLapdeck& w = open();
    EXPECT_EQ(w.Select_Name[2]->entries(), (QStringList{u"Ann"_s, u"bob"_s, u"Empty"_s, u"Zoe"_s}));
    w.lblName_Click(1);
    EXPECT_FALSE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[1]->currentText(), u"Ann"_s);
    w.lblName_Click(2);  // closes the first list; no name yet: the last entry
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[2]->currentText(), u"Zoe"_s);

    w.Select_Name[2]->setCurrentIndex(0);  // "Ann"
    w.Select_Name_Click(2);
    // Rows 1 and 3 already show Ann: one warning each.
    ASSERT_EQ(rig->prompter.calls.size(), 2u);
    for (const auto& call : rig->prompter.calls) {
        EXPECT_EQ(call.title, u"Racer's Name"_s);
        EXPECT_EQ(call.text, u"Warning, name already exists."_s);
        EXPECT_EQ(call.icon, Icon::Exclamation);
    }
    EXPECT_EQ(w.lblName[2]->text(), u" Ann"_s);
    EXPECT_TRUE(w.Select_Name[2]->isHidden());
    EXPECT_EQ(fileBytes(data.path(FileNames::racerNames)),
              QByteArray("\"Ann\",\"Ann\",\"Ann\",\"Select Name\",\"Select Name\",\"Old\"\r\n"));
}

TEST_F(MainWindow, DisabledLaneRunningRaceAndTooltips) {
    data.settings.disabled[4] = true;
    data.writeSettings();
    data.names(sixNames());
    frmLapdeck& w = open();

    w.lblName_Click(4);
    ASSERT_NO_FATAL_FAILURE(expectOnePrompt(
        rig->prompter, u"Lane Disabled"_s,
        u"This lane is disabled.\r\nGo to Settings to enable it."_s, Icon::Exclamation));
    EXPECT_TRUE(w.Select_Name[4]->isHidden());
    w.lblName_MouseMove(4);
    EXPECT_EQ(w.lblName[4]->toolTip(), u"To enable, go to \"Settings\" menu"_s);
    w.lblName_MouseMove(1);
    EXPECT_EQ(w.lblName[1]->toolTip(), u"Click to select name"_s);
    w.lblRaceFormat_MouseMove();
    EXPECT_EQ(w.lblRaceFormat->toolTip(),
              u"Click here or go to \"Race Format\" menu to change race type"_s);
    w.lblBest_MouseMove(2);
    EXPECT_EQ(w.lblBest[2]->toolTip(), QString());

    w.cmdStart_Click();
    w.lblName_Click(1);
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
    w.lblBest_MouseMove(2);
    EXPECT_EQ(w.lblBest[2]->toolTip(), u"Click to reset \"Best Lap\""_s);
    EXPECT_EQ(w.lblBest[2]->cursor().shape(), Qt::BitmapCursor);
    w.lblRaceFormat_MouseMove();
    EXPECT_EQ(w.lblRaceFormat->toolTip(), QString());
    EXPECT_EQ(w.lblRaceFormat->cursor().shape(), Qt::ArrowCursor);
}

// The question's wording is shared with Reset and tested with the engine.
TEST_F(MainWindow, ExitMenuAsksAboutUnsavedResultsOutsidePractice) {
    struct Case {
        bool practice, unsaved;
        Answer answer;
        bool asks, closes;
    };
    for (const Case& c :
         {Case{false, true, Answer::No, true, false}, Case{false, true, Answer::Yes, true, true},
          Case{false, false, Answer::No, false, true}, Case{true, true, Answer::No, false, true}}) {
        if (c.practice) {
            data.practice();
        }
        frmLapdeck& w = open();
        w.show();
        rig->state.LapsUnsaved = c.unsaved;
        rig->prompter.answers = {c.answer};
        w.mnuExit->trigger();
        if (c.asks) {
            ASSERT_NO_FATAL_FAILURE(expectOnePrompt(
                rig->prompter, u"Laps not saved"_s,
                u"Lap file has not be saved.\r\nDo you want to exit?"_s, Icon::Exclamation));
        } else {
            EXPECT_TRUE(rig->prompter.calls.empty());
        }
        EXPECT_EQ(w.isVisible(), !c.closes);
    }
}

TEST_F(MainWindow, CloseBoxAsksNothingAndStoresTheLagHeading) {
    data.lag(u"Lag Behind"_s);
    frmLapdeck& w = open();
    w.show();
    rig->state.LapsUnsaved = true;
    rig->state.SummaryUnsaved = true;
    w.lblLag_Click();
    w.lblLag_Click();  // Lag Behind -> Lag First -> Median
    w.close();
    EXPECT_TRUE(rig->prompter.calls.empty());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(fileBytes(data.path(FileNames::raceLag)), QByteArray("\"Median\"\r\n"));
}

TEST_F(MainWindow, ContentsAndFontsScaleWithTheWindow) {
    frmLapdeck& w = open();
    w.show();
    const double widthAtDesign = w.lblClock->width() * 800.0 / w.centralWidget()->width();
    w.resize(w.width() * 2, w.height() * 2);
    QCoreApplication::sendPostedEvents();
    const double sx = w.centralWidget()->width() / 800.0;
    const double sy = w.centralWidget()->height() / 560.0;
    ASSERT_GT(sx, 1.5);
    EXPECT_NEAR(w.lblClock->width(), widthAtDesign * sx, 2);
    EXPECT_NEAR(w.lblClock->font().pointSizeF(), 36.0 * std::min(sx, sy), 0.05);  // 36 pt design
    EXPECT_GT(w.lblName[1]->font().pointSizeF(), 30.0);  // 22 pt at the design size
    // Rows stay apart and in their order.
    EXPECT_LT(w.lblName[1]->geometry().bottom(), w.lblName[2]->geometry().top());
    w.close();
}

}  // namespace
}  // namespace lapdeck::test
