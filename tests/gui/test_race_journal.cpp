#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "GuiTestSupport.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

TEST(RaceJournal, ARaceLeftRunningComesBackWithItsOwnSettingsUntilReset) {
    DataFolder data;
    data.names(sixNames());
    data.format.demo = true;
    data.laps(20);
    PerFlag<int16_t> lapsAtTheCrash{};
    {
        WindowRig rig(data);
        rig.window->cmdStart_Click();
        rig.advanceTo(30000);
        lapsAtTheCrash = rig.state.LapCount;
        ASSERT_GT(lapsAtTheCrash[1], 3);
    }  // Lapdeck stops mid-race

    data.laps(10);  // the next race is set up before the question comes
    WindowRig rig(data);
    rig.window->offerRecovery();
    ASSERT_EQ(rig.prompter.calls.size(), 1u);
    EXPECT_EQ(rig.prompter.calls[0].title, u"Recover Race"_s);
    EXPECT_EQ(rig.state.LapCount, lapsAtTheCrash);
    EXPECT_EQ(rig.window->cmdStart->text(), u"Reset"_s);
    EXPECT_EQ(rig.window->lblRaceFormat->text(), u"Demo - 20 Lap Race"_s);
    EXPECT_TRUE(rig.window->mnuViewData->menuAction()->isEnabled());
    EXPECT_FALSE(rig.window->mnuRaceSetting->menuAction()->isEnabled());
    const PerFlag<int32_t> best = rig.state.BestLapTime;
    rig.window->lblBest_Click(1);  // no best lap is reset in a race that is over
    EXPECT_EQ(rig.state.BestLapTime, best);

    rig.window->cmdStart_Click();  // Reset, the unsaved results given up
    EXPECT_EQ(rig.window->cmdStart->text(), u"Start"_s);
    EXPECT_EQ(rig.window->lblRaceFormat->text(), u"Demo - 10 Lap Race"_s);

    WindowRig again(data);
    again.window->offerRecovery();
    EXPECT_TRUE(again.prompter.calls.empty());
}

TEST(RaceJournal, LeavingByTheMenuGivesUnsavedResultsUp) {
    DataFolder data;
    data.names(sixNames());
    data.format.demo = true;
    data.laps(3);
    {
        WindowRig rig(data);
        rig.window->cmdStart_Click();
        rig.advanceTo(60000);
        ASSERT_EQ(rig.window->cmdStart->text(), u"Reset"_s);
        rig.window->mnuExit_Click();  // "Files not saved": Yes
    }
    WindowRig next(data);
    next.window->offerRecovery();
    EXPECT_TRUE(next.prompter.calls.empty());
}

}  // namespace
}  // namespace lapdeck::test
