#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "FileChooser.h"
#include "GuiTestSupport.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"

namespace lapdeck::test {
namespace {

using namespace Qt::StringLiterals;

class OneFile : public FileChooser {
public:
    QString name;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return {};
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return name; }
};

// Results windows that close at once, noting which were shown; the journal of an
// archived race for the open dialog.
struct Windows {
    QStringList shown;
    OneFile files;
    std::function<void(LapdeckServices&)> services() {
        return [this](LapdeckServices& window) { window.results = results(); };
    }
    ResultsServices results() {
        ResultsServices s;
        s.files = &files;
        s.runModal = [this](QDialog& w) {
            shown << QString::fromLatin1(w.metaObject()->className());
        };
        return s;
    }
};

// Demo mode: the window makes the crossings up as the race clock runs.
void demoLapRace(DataFolder& data, int laps) {
    RaceFormat format = defaultRaceFormat();
    format.setOption(RaceOption::LapRace);
    format.lapsPos = static_cast<int16_t>(
        ValueLists::positionOf(ValueLists::lapCounts(), QString::number(laps)));
    format.demo = true;
    saveRaceFormat(data.path(FileNames::raceFormat), format);
}

TEST(RaceJournal, ARaceLeftRunningComesBackWithItsOwnSettingsUntilReset) {
    DataFolder data;
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    demoLapRace(data, 20);
    PerFlag<int16_t> lapsAtTheCrash{};
    {
        WindowRig rig(data);
        rig.window->cmdStart_Click();
        rig.advanceTo(30000);
        lapsAtTheCrash = rig.state.LapCount;
        ASSERT_GT(lapsAtTheCrash[1], 3);
    }  // Lapdeck stops mid-race

    demoLapRace(data, 10);  // the next race is set up before the question comes
    Windows windows;
    WindowRig rig(data, windows.services());
    rig.window->offerRecovery();
    EXPECT_EQ(windows.shown, (QStringList{u"lapdeck::frmViewLaps"_s, u"lapdeck::frmSummary"_s}));
    ASSERT_EQ(rig.prompter.prompts.size(), 1u);
    EXPECT_EQ(rig.prompter.prompts[0].title, u"Recover Race"_s);
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
    EXPECT_TRUE(again.prompter.prompts.empty());
}

TEST(RaceJournal, SavedOrGivenUpRacesAreNotRecoveredButOpenFromTheArchive) {
    DataFolder data;
    data.names(u"Ann,Bob,Cy,Dee,Eve,Fay"_s);
    demoLapRace(data, 3);
    QStringList journals;
    for (const bool exitByMenu : {true, false}) {
        Windows closing;
        WindowRig rig(data, closing.services());
        rig.window->cmdStart_Click();
        journals << QDir(rig.window->recorder().raceFolder()).filePath(RaceArchive::kJournal);
        rig.advanceTo(60000);
        ASSERT_EQ(rig.window->cmdStart->text(), u"Reset"_s);
        if (exitByMenu) {
            rig.window->mnuExit_Click();  // "Files not saved": Yes
        } else {
            rig.state.LapsUnsaved = rig.state.SummaryUnsaved = false;  // as the windows save
            rig.window->mnuSummary->trigger();
        }
    }
    Windows windows;
    windows.files.name = journals[0];
    WindowRig next(data, windows.services());
    next.window->offerRecovery();
    EXPECT_TRUE(next.prompter.prompts.empty());

    next.window->mnuOpenRace->trigger();
    EXPECT_EQ(windows.shown, QStringList{u"lapdeck::frmViewLaps"_s});
    EXPECT_EQ(next.window->lblRaceFormat->text(), u"Demo - 3 Lap Race"_s);
    EXPECT_EQ(next.window->cmdStart->text(), u"Reset"_s);
    next.window->cmdStart_Click();  // nothing to save: no question
    EXPECT_TRUE(next.prompter.prompts.empty());
}

}  // namespace
}  // namespace lapdeck::test
