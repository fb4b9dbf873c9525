#include <gtest/gtest.h>

#include <array>

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "ClickLabel.h"
#include "GuiTestSupport.h"
#include "NamePicker.h"
#include "PictureBox.h"

namespace lapdeck::test {
namespace {

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

QColor back(const QLabel* label) {
    return label->palette().color(QPalette::Window);
}

void press(frmLapdeck& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(&w, &event);
}

TEST(MainWindowStartUp, ShowsNamesColoursTitleAndStoredLagHeading) {
    DataFolder data;
    data.settings.disabled[6] = true;
    data.writeSettings();
    data.names({QString(), QStringLiteral("Ann"), QString(), QStringLiteral("Cy"),
                QStringLiteral("Dee"), QStringLiteral("Eve"), QStringLiteral("Fay")});
    data.lag(QStringLiteral("Median"));
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;

    const std::array<QString, 7> names{QString(),
                                       QStringLiteral(" Ann"),
                                       QStringLiteral(" Select Name"),
                                       QStringLiteral(" Cy"),
                                       QStringLiteral(" Dee"),
                                       QStringLiteral(" Eve"),
                                       QStringLiteral(" Disabled")};
    // Yellow, Green, Blue, White, Purple, Orange as red, green, blue.
    const std::array<QColor, 7> colours{QColor(),
                                        QColor(255, 255, 0),
                                        QColor(0, 255, 0),
                                        QColor(128, 128, 255),
                                        QColor(255, 255, 255),
                                        QColor(255, 0, 255),
                                        QColor(255, 128, 0)};
    for (int r = 1; r <= 6; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(w.lblName[r]->text(), names[r]);
        EXPECT_EQ(w.lblName[r]->objectName(), QStringLiteral("lblName") + QString::number(r));
        for (const QLabel* cell :
             {static_cast<QLabel*>(w.lblName[r]), w.lblLapNum[r], w.lblLapTime[r],
              static_cast<QLabel*>(w.lblBest[r]), w.lblLagTime[r]}) {
            EXPECT_EQ(back(cell), colours[r]);
            EXPECT_TRUE(cell->text().isEmpty() || cell == w.lblName[r]);
        }
    }
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vx9 Timer - 3 seconds delay before Formula 1 "
                                              "start - 2 seconds minimum lap time"));
    EXPECT_EQ(w.lblRaceFormat->text(), QStringLiteral("10 Lap Race"));
    EXPECT_EQ(w.lblLag->text(), QStringLiteral("Median"));
    EXPECT_EQ(w.lblBestLap->text(), QStringLiteral("Best Lap"));
    EXPECT_EQ(w.lblLapNumber->text(), QStringLiteral("Lap"));
    EXPECT_EQ(w.lblLapTime[0]->text(), QStringLiteral("Lap Time"));
    EXPECT_EQ(w.lblClock->text(), QStringLiteral("00:00"));
    EXPECT_EQ(w.shownPicture(), QStringLiteral("LVLogo.gif"));
    EXPECT_FALSE(w.imgLapvane->picture().isNull());
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Start"));
    EXPECT_EQ(w.cmdAbort->text(), QStringLiteral("&Abort"));
    EXPECT_FALSE(w.cmdAbort->isEnabled());
    EXPECT_TRUE(w.lblRaceOver->isHidden());
    EXPECT_EQ(w.lblRaceOver->text(), QStringLiteral("Race  Over"));
    EXPECT_EQ(menus(w), kIdleMenus);
    EXPECT_TRUE(rig.prompter.calls.empty());
}

TEST(MainWindowStartUp, DemoPracticeTitle) {
    DataFolder data;
    data.format.setOption(RaceOption::Practice);
    data.format.demo = true;
    data.writeFormat();
    WindowRig rig(data);
    EXPECT_EQ(rig.window->windowTitle(), QStringLiteral("Vx9 Timer - Practice"));
    EXPECT_EQ(rig.window->lblRaceFormat->text(), QStringLiteral("Demo - Practice"));
    EXPECT_EQ(rig.window->lblLag->text(), QStringLiteral("Median"));
}

TEST(MainWindowMenus, CaptionsAndAccessKeys) {
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    const std::vector<std::pair<QString, QString>> expected{
        {w.mnuFile->title(), QStringLiteral("&File")},
        {w.mnuOpen->text(), QStringLiteral("&Open")},
        {w.mnuExit->text(), QStringLiteral("E&xit")},
        {w.mnuRaceFormat->title(), QStringLiteral("R&ace Format")},
        {w.mnuRace->text(), QStringLiteral("Race Format")},
        {w.mnuViewData->title(), QStringLiteral("&View Data")},
        {w.mnuLapTimes->text(), QStringLiteral("Lap Times")},
        {w.mnuSummary->text(), QStringLiteral("Summary")},
        {w.mnuRacer->title(), QStringLiteral("&Racers")},
        {w.mnuAddRacer->text(), QStringLiteral("Racers")},
        {w.mnuSound->text(), QStringLiteral("S&ound")},
        {w.mnuRaceSetting->title(), QStringLiteral("&Settings")},
        {w.mnuSettings->text(), QStringLiteral("Settings")},
        {w.mnuHelp->title(), QStringLiteral("&Help")},
        {w.mnuHelpContent->text(), QStringLiteral("Help")},
        {w.mnuDiagnostic->text(), QStringLiteral("Diagnostic...")},
        {w.mnuWebSite->text(), QStringLiteral("Lapvane Web site...")},
        {w.mnuAbout->text(), QStringLiteral("About...")},
    };
    for (const auto& [shown, want] : expected) {
        EXPECT_EQ(shown, want);
    }
}

struct StartCheckCase {
    const char* label;
    PerFlag<QString> names;
    std::deque<Answer> answers;
    std::vector<QString> titles;  // of every message and question, in order
    QString firstText;
    bool starts;
};

class StartChecks : public ::testing::TestWithParam<StartCheckCase> {};

TEST_P(StartChecks, AskOrRefuseBeforeTheStart) {
    const StartCheckCase& c = GetParam();
    DataFolder data;
    data.names(c.names);
    WindowRig rig(data);
    rig.prompter.answers = c.answers;
    rig.window->cmdStart_Click();

    std::vector<QString> titles;
    for (const auto& call : rig.prompter.calls) {
        titles.push_back(call.title);
    }
    EXPECT_EQ(titles, c.titles);
    if (!c.firstText.isEmpty()) {
        ASSERT_FALSE(rig.prompter.calls.empty());
        EXPECT_EQ(rig.prompter.calls[0].text, c.firstText);
    }
    EXPECT_EQ(rig.start.runs, c.starts ? 1 : 0);
    EXPECT_EQ(rig.window->cmdStart->text(),
              c.starts ? QStringLiteral("Pause") : QStringLiteral("Start"));
    // A refused start leaves the menus disabled until the next reset.
    EXPECT_EQ(menus(*rig.window), kRacingMenus);
}

const QString kEmpty = QStringLiteral("Empty");
INSTANTIATE_TEST_SUITE_P(
    MainWindow, StartChecks,
    ::testing::Values(
        StartCheckCase{"unnamed",
                       {QString(), QStringLiteral("Ann"), QString(), QStringLiteral("Cy"),
                        QStringLiteral("Dee"), QStringLiteral("Eve"), QStringLiteral("Fay")},
                       {},
                       {QStringLiteral("Select Name")},
                       QStringLiteral("Please select name for Flag 2"),
                       false},
        StartCheckCase{"same names, No",
                       {QString(), QStringLiteral("Ann"), QStringLiteral("Bob"),
                        QStringLiteral("Ann"), kEmpty, kEmpty, kEmpty},
                       {Answer::No},
                       {QStringLiteral("Same Names")},
                       QStringLiteral("Warning, names in Flags 1 and 3 are the same\r\n"
                                      "Do you want to continue race?"),
                       false},
        StartCheckCase{"two pairs, Yes to both",
                       {QString(), QStringLiteral("Ann"), QStringLiteral("Bob"),
                        QStringLiteral("Ann"), QStringLiteral("Bob"), kEmpty, kEmpty},
                       {Answer::Yes, Answer::Yes},
                       {QStringLiteral("Same Names"), QStringLiteral("Same Names")},
                       {},
                       true},
        StartCheckCase{"several Empty flags are no duplicates",
                       {QString(), QStringLiteral("Ann"), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty},
                       {},
                       {},
                       {},
                       true}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.label);
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
        return name.toStdString();
    });

TEST(MainWindowStartChecks, SameNamesQuestionDefaultsToNo) {
    DataFolder data;
    data.names(
        {QString(), QStringLiteral("Ann"), QStringLiteral("Ann"), kEmpty, kEmpty, kEmpty, kEmpty});
    WindowRig rig(data);
    rig.prompter.answers = {Answer::No};
    rig.window->cmdStart_Click();
    ASSERT_EQ(rig.prompter.calls.size(), 1u);
    EXPECT_TRUE(rig.prompter.calls[0].question);
    EXPECT_TRUE(rig.prompter.calls[0].defaultNo);
    EXPECT_EQ(rig.prompter.calls[0].icon, Icon::Question);
}

TEST(MainWindowRaceControl, PauseContinueAbortWithPicturesAndMenus) {
    DataFolder data;
    data.names(sixNames());
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;

    w.cmdStart_Click();
    EXPECT_TRUE(rig.start.lastWithCountdown);  // default delay 3 s
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Pause"));
    EXPECT_EQ(w.shownPicture(), QStringLiteral("GreenFlagblack.bmp"));
    EXPECT_TRUE(w.raceTimer().isRunning());
    EXPECT_FALSE(w.cmdAbort->isEnabled());
    EXPECT_EQ(menus(w), kRacingMenus);

    rig.advanceTo(1500);
    EXPECT_EQ(w.lblClock->text(), QStringLiteral("00:01"));

    w.cmdStart_Click();
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Continue"));
    EXPECT_EQ(w.shownPicture(), QStringLiteral("YellowFlagblack.bmp"));
    EXPECT_FALSE(w.raceTimer().isRunning());
    EXPECT_TRUE(w.cmdAbort->isEnabled());
    EXPECT_EQ(menus(w), kPausedMenus);

    w.cmdStart_Click();
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Pause"));
    EXPECT_EQ(w.shownPicture(), QStringLiteral("GreenFlagblack.bmp"));
    EXPECT_TRUE(w.raceTimer().isRunning());
    EXPECT_EQ(menus(w), kRacingMenus);

    w.cmdStart_Click();  // pause again, then abort
    rig.prompter.answers = {Answer::No};
    w.cmdAbort_Click();
    ASSERT_EQ(rig.prompter.calls.size(), 1u);
    EXPECT_EQ(rig.prompter.calls[0].title, QStringLiteral("Abort"));
    EXPECT_EQ(rig.prompter.calls[0].text,
              QStringLiteral("All Data will be lost\r\nAre you sure you want to abort?"));
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Continue"));

    rig.prompter.answers = {Answer::Yes};
    w.cmdAbort_Click();
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Start"));
    EXPECT_EQ(w.shownPicture(), QStringLiteral("LVLogo.gif"));
    EXPECT_EQ(w.lblClock->text(), QStringLiteral("00:00"));
    EXPECT_EQ(menus(w), kIdleMenus);
    EXPECT_FALSE(rig.state.LapsUnsaved);
    EXPECT_FALSE(rig.state.SummaryUnsaved);
}

TEST(MainWindowRaceControl, PracticeStartsWithoutTheSequence) {
    DataFolder data;
    data.names(sixNames());
    data.practice();
    WindowRig rig(data);
    rig.window->cmdStart_Click();
    EXPECT_EQ(rig.start.runs, 0);
    EXPECT_EQ(rig.window->cmdStart->text(), QStringLiteral("Pause"));
    EXPECT_TRUE(rig.window->raceTimer().isRunning());
}

// A 3-lap race of flag 1 alone (the other flags never cross and count as done).
TEST(MainWindowRaceControl, WhiteAndCheckeredFlagsRaceOverAndReset) {
    DataFolder data;
    data.names({QString(), QStringLiteral("Ann"), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty});
    data.laps(3);
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.cmdStart_Click();

    rig.cross(1000, QStringLiteral("1"));  // first crossing: lap 1
    rig.cross(4000, QStringLiteral("1"));  // lap 2
    rig.advanceTo(4010);                   // the next tick's finish test: white flag
    EXPECT_EQ(w.shownPicture(), QStringLiteral("whiteflagblack.bmp"));
    rig.cross(7000, QStringLiteral("1"));  // lap 3
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Pause"));
    rig.advanceTo(7010);
    EXPECT_EQ(w.shownPicture(), QStringLiteral("CheckeredFlagblack.bmp"));
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Reset"));
    EXPECT_FALSE(w.lblRaceOver->isHidden());
    EXPECT_FALSE(w.raceTimer().isRunning());
    EXPECT_EQ(menus(w), kOverMenus);
    EXPECT_EQ(w.lblLapNum[1]->text(), QStringLiteral("3"));
    EXPECT_EQ(w.lblLapTime[1]->text(), QStringLiteral("3.00"));

    rig.prompter.answers = {Answer::No};
    w.cmdStart_Click();
    ASSERT_EQ(rig.prompter.calls.size(), 1u);
    EXPECT_EQ(rig.prompter.calls[0].title, QStringLiteral("Files not saved"));
    EXPECT_EQ(rig.prompter.calls[0].text,
              QStringLiteral("Summary & Lap files have not be saved.\r\nDo you want to Reset?"));
    EXPECT_EQ(rig.prompter.calls[0].icon, Icon::Exclamation);
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Reset"));

    rig.prompter.answers = {Answer::Yes};
    w.cmdStart_Click();
    EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Start"));
    EXPECT_TRUE(w.lblRaceOver->isHidden());
    EXPECT_EQ(w.lblLapNum[1]->text(), QString());
    EXPECT_EQ(w.shownPicture(), QStringLiteral("LVLogo.gif"));
    EXPECT_EQ(menus(w), kIdleMenus);
}

TEST(MainWindowRaceScreen, RowsFollowTheStandingsInTheirFlagColours) {
    DataFolder data;
    data.names(sixNames());
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.cmdStart_Click();

    rig.cross(1000, QStringLiteral("2"));
    rig.cross(1500, QStringLiteral("5"));
    // Flags 2 and 5 have a lap; the rest keep flag order below them.
    const std::array<QString, 7> order1{QString(),
                                        QStringLiteral(" Bob"),
                                        QStringLiteral(" Eve"),
                                        QStringLiteral(" Ann"),
                                        QStringLiteral(" Cy"),
                                        QStringLiteral(" Dee"),
                                        QStringLiteral(" Fay")};
    for (int r = 1; r <= 6; ++r) {
        EXPECT_EQ(w.lblName[r]->text(), order1[r]) << r;
    }
    EXPECT_EQ(back(w.lblName[1]), QColor(0, 255, 0));
    EXPECT_EQ(back(w.lblLagTime[2]), QColor(255, 0, 255));
    EXPECT_EQ(w.lblLapTime[1]->text(), QStringLiteral("1.00"));
    EXPECT_EQ(w.lblLagTime[2]->text(), QStringLiteral("0.50"));  // Lag First, same lap

    rig.cross(5000, QStringLiteral("5"));  // flag 5 goes a lap ahead
    EXPECT_EQ(w.lblName[1]->text(), QStringLiteral(" Eve"));
    EXPECT_EQ(w.lblName[2]->text(), QStringLiteral(" Bob"));
    EXPECT_EQ(back(w.lblBest[1]), QColor(255, 0, 255));
    EXPECT_EQ(back(w.lblBest[2]), QColor(0, 255, 0));
    EXPECT_EQ(w.lblLapNum[1]->text(), QStringLiteral("2"));
    EXPECT_EQ(w.lblLapTime[1]->text(), QStringLiteral("3.50"));
    EXPECT_EQ(w.lblBest[1]->text(), QStringLiteral("3.50 "));
}

TEST(MainWindowRaceScreen, HeaderTogglesByClickAndKeys) {
    DataFolder data;
    data.lag(QStringLiteral("Lag Behind"));
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    const QStringList best{QStringLiteral("MPH"), QStringLiteral("Median"),
                           QStringLiteral("Best Lap")};
    for (const QString& want : best) {
        w.lblBestLap_Click();
        EXPECT_EQ(w.lblBestLap->text(), want);
    }
    const QStringList lag{QStringLiteral("Lag First"), QStringLiteral("Median"),
                          QStringLiteral("Lag Behind")};
    for (const QString& want : lag) {
        press(w, Qt::Key_F4);
        EXPECT_EQ(w.lblLag->text(), want);
    }
    press(w, Qt::Key_F5);
    EXPECT_EQ(w.lblBestLap->text(), QStringLiteral("MPH"));
}

TEST(MainWindowRaceScreen, PracticeTogglesOnlyBestLapAndMph) {
    DataFolder data;
    data.names(sixNames());
    data.practice();
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.cmdStart_Click();
    for (const QString& want :
         {QStringLiteral("MPH"), QStringLiteral("Best Lap"), QStringLiteral("MPH")}) {
        w.lblBestLap_Click();
        EXPECT_EQ(w.lblBestLap->text(), want);
    }
    w.lblLag_Click();
    press(w, Qt::Key_F4);
    EXPECT_EQ(w.lblLag->text(), QStringLiteral("Median"));
    // Practice rows stay in flag order.
    rig.cross(1000, QStringLiteral("3"));
    EXPECT_EQ(w.lblLapNum[3]->text(), QStringLiteral("1"));
    EXPECT_EQ(w.lblName[1]->text(), QStringLiteral(" Ann"));
}

struct ResetCase {
    const char* label;
    int key;
    Qt::KeyboardModifiers mods;
    bool click;
};
class BestLapReset : public ::testing::TestWithParam<ResetCase> {};

TEST_P(BestLapReset, ClearsTheBestOfTheLeaderWhileRacing) {
    const ResetCase& c = GetParam();
    DataFolder data;
    data.names({QString(), QStringLiteral("Ann"), kEmpty, kEmpty, kEmpty, kEmpty, kEmpty});
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.cmdStart_Click();
    rig.cross(1000, QStringLiteral("1"));
    rig.cross(4000, QStringLiteral("1"));  // 3.00
    rig.cross(7500, QStringLiteral("1"));  // 3.50
    ASSERT_EQ(w.lblBest[1]->text(), QStringLiteral("3.00 "));

    auto resetRow1 = [&]() {
        if (c.click) {
            w.lblBest_Click(1);
        } else {
            press(w, c.key, c.mods);
        }
    };
    resetRow1();
    EXPECT_EQ(w.lblBest[1]->text(), QString());
    EXPECT_EQ(rig.state.BestLapTime[1], kNoBestLap);
    rig.cross(10000, QStringLiteral("1"));  // 2.50 is the new best
    EXPECT_EQ(w.lblBest[1]->text(), QStringLiteral("2.50 "));

    w.cmdStart_Click();  // paused: the timer stands, so no reset
    resetRow1();
    EXPECT_EQ(w.lblBest[1]->text(), QStringLiteral("2.50 "));
}

INSTANTIATE_TEST_SUITE_P(MainWindow, BestLapReset,
                         ::testing::Values(ResetCase{"click", 0, Qt::NoModifier, true},
                                           ResetCase{"digit", Qt::Key_1, Qt::NoModifier, false},
                                           ResetCase{"keypad", Qt::Key_1, Qt::KeypadModifier,
                                                     false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(MainWindowNames, PickerOpensOnTheCurrentNameOrTheLastEntry) {
    DataFolder data;
    data.roster({QStringLiteral("Zoe"), QStringLiteral("Ann"), QStringLiteral("bob")});
    data.names(
        {QString(), QStringLiteral("bob"), QString(), QString(), QString(), QString(), QString()});
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    EXPECT_EQ(w.Select_Name[1]->entries(),
              (QStringList{QStringLiteral("Ann"), QStringLiteral("bob"), QStringLiteral("Empty"),
                           QStringLiteral("Zoe")}));
    w.lblName_Click(1);
    EXPECT_FALSE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[1]->currentText(), QStringLiteral("bob"));
    w.lblName_Click(2);  // closes the first list
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
    EXPECT_EQ(w.Select_Name[2]->currentText(), QStringLiteral("Zoe"));
}

TEST(MainWindowNames, PickWarnsOnDuplicatesAndStoresRacersDat) {
    DataFolder data;
    data.roster({QStringLiteral("Ann"), QStringLiteral("Bob")});
    data.settings.disabled[6] = true;
    data.writeSettings();
    data.names({QString(), QStringLiteral("Ann"), QString(), QStringLiteral("Ann"), QString(),
                QString(), QStringLiteral("Old")});
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;

    w.lblName_Click(2);
    w.Select_Name[2]->setCurrentIndex(0);  // "Ann"
    w.Select_Name_Click(2);
    // Rows 1 and 3 already show Ann: one warning each.
    ASSERT_EQ(rig.prompter.calls.size(), 2u);
    for (const auto& call : rig.prompter.calls) {
        EXPECT_EQ(call.title, QStringLiteral("Racer's Name"));
        EXPECT_EQ(call.text, QStringLiteral("Warning, name already exists."));
        EXPECT_EQ(call.icon, Icon::Exclamation);
    }
    EXPECT_EQ(w.lblName[2]->text(), QStringLiteral(" Ann"));
    EXPECT_TRUE(w.Select_Name[2]->isHidden());

    QFile file(data.path(FileNames::racerNames));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("\"Ann\",\"Ann\",\"Ann\",\"Select Name\",\"Select Name\",\"Old\"\r\n"));
}

TEST(MainWindowNames, DisabledLaneAndRunningRaceRefuseThePicker) {
    DataFolder data;
    data.settings.disabled[4] = true;
    data.writeSettings();
    data.names(sixNames());
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;

    w.lblName_Click(4);
    ASSERT_EQ(rig.prompter.calls.size(), 1u);
    EXPECT_EQ(rig.prompter.calls[0].title, QStringLiteral("Lane Disabled"));
    EXPECT_EQ(rig.prompter.calls[0].text,
              QStringLiteral("This lane is disabled.\r\nGo to Settings to enable it."));
    EXPECT_TRUE(w.Select_Name[4]->isHidden());

    w.lblName_MouseMove(4);
    EXPECT_EQ(w.lblName[4]->toolTip(), QStringLiteral("To enable, go to \"Settings\" menu"));
    w.lblName_MouseMove(1);
    EXPECT_EQ(w.lblName[1]->toolTip(), QStringLiteral("Click to select name"));

    w.cmdStart_Click();
    w.lblName_Click(1);
    EXPECT_TRUE(w.Select_Name[1]->isHidden());
}

TEST(MainWindowPointers, TooltipsFollowTheRaceState) {
    DataFolder data;
    data.names(sixNames());
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.lblRaceFormat_MouseMove();
    EXPECT_EQ(w.lblRaceFormat->toolTip(),
              QStringLiteral("Click here or go to \"Race Format\" menu to change race type"));
    w.lblBest_MouseMove(2);
    EXPECT_EQ(w.lblBest[2]->toolTip(), QString());
    w.cmdStart_Click();
    w.lblBest_MouseMove(2);
    EXPECT_EQ(w.lblBest[2]->toolTip(), QStringLiteral("Click to reset \"Best Lap\""));
    EXPECT_EQ(w.lblBest[2]->cursor().shape(), Qt::BitmapCursor);
    w.lblRaceFormat_MouseMove();
    EXPECT_EQ(w.lblRaceFormat->toolTip(), QString());
    EXPECT_EQ(w.lblRaceFormat->cursor().shape(), Qt::ArrowCursor);
}

struct ExitCase {
    const char* label;
    bool practice;
    bool lapsUnsaved;
    bool summaryUnsaved;
    Answer answer;
    QString title;  // empty: no question
    QString text;
    bool closes;
};
class ExitQuestions : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitQuestions, ExitMenuAsksAboutUnsavedResults) {
    const ExitCase& c = GetParam();
    DataFolder data;
    if (c.practice) {
        data.practice();
    }
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.show();
    rig.state.LapsUnsaved = c.lapsUnsaved;
    rig.state.SummaryUnsaved = c.summaryUnsaved;
    rig.prompter.answers = {c.answer};
    w.mnuExit->trigger();
    if (c.title.isEmpty()) {
        EXPECT_TRUE(rig.prompter.calls.empty());
    } else {
        ASSERT_EQ(rig.prompter.calls.size(), 1u);
        EXPECT_EQ(rig.prompter.calls[0].title, c.title);
        EXPECT_EQ(rig.prompter.calls[0].text, c.text);
        EXPECT_EQ(rig.prompter.calls[0].icon, Icon::Exclamation);
    }
    EXPECT_EQ(w.isVisible(), !c.closes);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, ExitQuestions,
    ::testing::Values(
        ExitCase{"both_no", false, true, true, Answer::No, QStringLiteral("Files not saved"),
                 QStringLiteral("Summary & Lap files have not be saved.\r\nDo you want to exit?"),
                 false},
        ExitCase{"laps_yes", false, true, false, Answer::Yes, QStringLiteral("Laps not saved"),
                 QStringLiteral("Lap file has not be saved.\r\nDo you want to exit?"), true},
        ExitCase{"summary_no", false, false, true, Answer::No, QStringLiteral("Summary not saved"),
                 QStringLiteral("Summary file has not be saved.\r\nDo you want to exit?"), false},
        ExitCase{"saved", false, false, false, Answer::No, QString(), QString(), true},
        ExitCase{"practice", true, true, true, Answer::No, QString(), QString(), true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(MainWindowExit, CloseBoxAsksNothingAndStoresTheLagHeading) {
    DataFolder data;
    data.lag(QStringLiteral("Lag Behind"));
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
    w.show();
    rig.state.LapsUnsaved = true;
    rig.state.SummaryUnsaved = true;
    w.lblLag_Click();
    w.lblLag_Click();  // Lag Behind -> Lag First -> Median
    w.close();
    EXPECT_TRUE(rig.prompter.calls.empty());
    EXPECT_FALSE(w.isVisible());
    QFile file(data.path(FileNames::raceLag));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\"Median\"\r\n"));
}

TEST(MainWindowLayout, ContentsAndFontsScaleWithTheWindow) {
    DataFolder data;
    WindowRig rig(data);
    frmLapdeck& w = *rig.window;
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
