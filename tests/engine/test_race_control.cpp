#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

const char* const kIdleMenus = "File RaceFormat Racers Sound Settings Help";

class RaceControlTest : public EngineTest {
protected:
    // A 3-lap race that flags 1 and 2 finish; ends at 9110.
    void runRaceToTheEnd() {
        configure(Format::LapRace, 3, 1, "2");
        start();
        run({{3000, 1}, {3100, 2}, {6000, 1}, {6100, 2}, {9000, 1}, {9100, 2}});
        tickAt(9110);
        ASSERT_EQ(caption(), qs("Reset"));
    }
    void pauseAndAbort(Answer answer) {
        engine.cmdStart_Click();
        prompter.answers = {answer};
        engine.cmdAbort_Click();
    }
};

// ------------------------------------------------------------------ start checks

TEST_F(RaceControlTest, RowWithoutANameBlocksTheStart) {
    host.names[3] = QString();
    host.names[5] = qs("Select Name");  // stored under that name: still unassigned
    configure(Format::LapRace);
    ASSERT_EQ(state.screen.row[3].name, qs(" Select Name"));
    engine.cmdStart_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, qs("Select Name"));
    EXPECT_EQ(prompter.messages[0].text, qs("Please select name for Flag 3"));
    EXPECT_EQ(caption(), qs("Start"));
    EXPECT_EQ(enabledMenus(state.screen), kIdleMenus) << "a refused start gives the menus back";
    EXPECT_FALSE(state.SummaryUnsaved || state.LapsUnsaved);

    host.names[3] = qs("Cy");
    engine.LoadNames();
    engine.cmdStart_Click();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, qs("Please select name for Flag 5"));
    EXPECT_TRUE(host.startSequences.empty());
    EXPECT_TRUE(prompter.questions.empty());
}

struct SameNamesCase {
    const char* name;
    std::array<const char*, kFlags> names;
    std::vector<Answer> answers;
    std::vector<std::pair<int, int>> asked;
    bool started;
};

class SameNamesTest : public RaceControlTest,
                      public ::testing::WithParamInterface<SameNamesCase> {};

TEST_P(SameNamesTest, EveryDuplicatePairIsAskedAbout) {
    const SameNamesCase& c = GetParam();
    for (int f = 1; f <= kFlags; ++f) {
        host.names[f] = qs(c.names[static_cast<size_t>(f - 1)]);
    }
    state.live.disabled[6] = true;  // never compared
    configure(Format::LapRace);
    prompter.answers.assign(c.answers.begin(), c.answers.end());
    engine.cmdStart_Click();
    ASSERT_EQ(prompter.questions.size(), c.asked.size());
    for (size_t k = 0; k < c.asked.size(); ++k) {
        const Question& q = prompter.questions[k];
        EXPECT_EQ(q.title, qs("Same Names"));
        EXPECT_EQ(q.text, QStringLiteral("Warning, names in Flags %1 and %2 are the same\r\n"
                                         "Do you want to continue race?")
                              .arg(c.asked[k].first)
                              .arg(c.asked[k].second));
        EXPECT_EQ(q.icon, Icon::Question);
        EXPECT_TRUE(q.defaultNo);
    }
    EXPECT_EQ(host.startSequences.size(), c.started ? 1u : 0u);
    EXPECT_TRUE(prompter.messages.empty());
}

using A = Answer;
INSTANTIATE_TEST_SUITE_P(
    Names, SameNamesTest,
    ::testing::Values(
        SameNamesCase{"AllDifferent", {"Ann", "Bob", "Cy", "Dee", "Eve", "Flo"}, {}, {}, true},
        SameNamesCase{
            "OnePairNo", {"Ann", "Bob", "Cy", "Ann", "Eve", "Flo"}, {A::No}, {{1, 4}}, false},
        SameNamesCase{"ThreeOfAKind",
                      {"Bob", "Bob", "Bob", "Ann", "Cy", "Dee"},
                      {A::Yes, A::Yes, A::Yes},
                      {{1, 2}, {1, 3}, {2, 3}},
                      true},
        SameNamesCase{"StopsAtTheFirstNo",
                      {"Bob", "Bob", "Bob", "Ann", "Cy", "Dee"},
                      {A::Yes, A::No},
                      {{1, 2}, {1, 3}},
                      false},
        SameNamesCase{"EmptyAndDisabledNotCompared",
                      {"Empty", "Ann", "Empty", "Flo", "ann", "Flo"},
                      {},
                      {},
                      true}),
    [](const auto& info) { return std::string(info.param.name); });

struct DelayCase {
    const char* text;
    int delay;
    bool countdown;
};

class StartDelayTest : public RaceControlTest, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(StartDelayTest, CountdownOnlyForADelayOfOneSecondOrMore) {
    state.live.delayText = qs(GetParam().text);
    configure(Format::LapRace);
    engine.cmdStart_Click();
    EXPECT_EQ(state.StartDelay, GetParam().delay);
    ASSERT_EQ(host.startSequences.size(), 1u);
    EXPECT_EQ(host.startSequences[0], GetParam().countdown);
    EXPECT_EQ(caption(), qs("Start")) << "the caption waits for the start lights";
    EXPECT_FALSE(state.timerRunning);
}

INSTANTIATE_TEST_SUITE_P(Delays, StartDelayTest,
                         ::testing::Values(DelayCase{"0", 0, false}, DelayCase{"1", 1, true},
                                           DelayCase{"0.5", 0, false}, DelayCase{"1.5", 2, true}));

TEST_F(RaceControlTest, GreenLightDropsCrossingsMadeBeforeTheStart) {
    configure(Format::LapRace);
    engine.cmdStart_Click();
    port.push({"1", "4"});
    engine.greenLight(&port);
    EXPECT_TRUE(port.pending.empty());
    EXPECT_EQ(state.PortInput, qs("4"));
    EXPECT_TRUE(state.timerRunning);
    EXPECT_EQ(state.screen.picture, qs("GreenFlagblack.bmp"));
    EXPECT_EQ(caption(), qs("Start"));
    engine.startSequenceClosed();
    EXPECT_EQ(caption(), qs("Pause"));
    tick();
    EXPECT_EQ(state.LapCount[1], 0);
}

TEST_F(RaceControlTest, PracticeStartsAtOnceAndReadsWaitingReports) {
    configure(Format::Practice);
    port.push({"2"});
    engine.cmdStart_Click();
    EXPECT_TRUE(host.startSequences.empty());
    EXPECT_EQ(caption(), qs("Pause"));
    EXPECT_TRUE(state.timerRunning);
    tick();
    EXPECT_EQ(state.LapTimes[2][1], 0.01f);
}

TEST_F(RaceControlTest, StartClearsTheRaceData) {
    configure(Format::LapRace, 10, 0);
    state.LapTimes[2][7] = state.SortedLapTimes[3][0] = 9.5f;
    state.LapCount[1] = 12;
    state.BestLapTime[4] = 1234;
    state.FinishLap[5] = 7;
    state.FinishDeadline = state.RaceOver = state.TenSecondWarned = 1;
    state.LagBehind[2] = state.RaceDateTime = qs("old");
    start();
    EXPECT_EQ(state.LapTimes[2][7], 0.0f);
    EXPECT_EQ(state.SortedLapTimes[3][0], 0.0f);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], -1);
        EXPECT_EQ(state.BestLapTime[f], kNoBestLap);
        EXPECT_EQ(state.FinishLap[f], kMaxLap);
        EXPECT_EQ(state.LagBehind[f], QString());
        EXPECT_EQ(state.RunningOrder[f], f);
    }
    EXPECT_EQ(state.FlagNo, 7);
    EXPECT_EQ(state.FinishDeadline, kNoDeadline);
    EXPECT_EQ(state.RaceOver + state.TenSecondWarned, 0);
    EXPECT_EQ(state.RaceDateTime, QString());
}

// ------------------------------------------------------------------ pause, continue, abort

TEST_F(RaceControlTest, PauseContinueAndMenusOverARace) {
    configure(Format::LapRace, 3, 1, "2");
    EXPECT_EQ(enabledMenus(state.screen), kIdleMenus);
    start();
    EXPECT_EQ(enabledMenus(state.screen), "");
    EXPECT_FALSE(state.screen.abortEnabled);

    engine.cmdStart_Click();
    EXPECT_EQ(caption(), qs("Continue"));
    EXPECT_FALSE(state.timerRunning || host.timerCalls.back());
    EXPECT_EQ(state.screen.picture, qs("YellowFlagblack.bmp"));
    EXPECT_EQ(state.FlagPicture, qs("GreenFlagblack.bmp"));
    EXPECT_TRUE(state.screen.abortEnabled);
    EXPECT_EQ(enabledMenus(state.screen), "ViewData");

    port.push({"1"});  // waits through the pause and is read after it
    engine.cmdStart_Click();
    EXPECT_EQ(caption(), qs("Pause"));
    EXPECT_TRUE(state.timerRunning && host.timerCalls.back());
    EXPECT_EQ(state.screen.picture, qs("GreenFlagblack.bmp"));
    EXPECT_FALSE(state.screen.abortEnabled);
    EXPECT_EQ(enabledMenus(state.screen), "");
    EXPECT_EQ(port.pending.size(), 1u);

    tickAt(3000);
    EXPECT_EQ(state.LastCrossing[1], 3000);
    run({{6000, 1}, {9000, 1}});
    tickAt(9010);
    EXPECT_EQ(caption(), qs("Reset"));
    EXPECT_EQ(enabledMenus(state.screen), "File ViewData");
    EXPECT_FALSE(state.screen.abortEnabled);
}

TEST_F(RaceControlTest, AbortOnlyWhilePausedAndOnlyWhenConfirmed) {
    configure(Format::LapRace);
    start();
    engine.cmdAbort_Click();
    EXPECT_TRUE(prompter.questions.empty()) << "running: abort does nothing";
    tickAt(1000, {"1"});
    pauseAndAbort(Answer::No);
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0].title, qs("Abort"));
    EXPECT_EQ(prompter.questions[0].text,
              qs("All Data will be lost\r\nAre you sure you want to abort?"));
    EXPECT_EQ(prompter.questions[0].icon, Icon::Question);
    EXPECT_EQ(caption(), qs("Continue"));
    EXPECT_TRUE(state.LapsUnsaved && state.SummaryUnsaved);
    EXPECT_EQ(state.LapCount[1], 1);
    EXPECT_EQ(state.RaceClock, 1000);

    prompter.answers = {Answer::Yes};
    engine.cmdAbort_Click();
    EXPECT_EQ(caption(), qs("Start"));
    EXPECT_EQ(state.screen.picture, qs("LVLogo.gif"));
    EXPECT_FALSE(state.LapsUnsaved || state.SummaryUnsaved);
    EXPECT_EQ(state.RaceClock, 0);
    EXPECT_EQ(state.screen.clock, qs("00:00"));
    EXPECT_EQ(state.screen.row[1].lapNum, QString());
    EXPECT_EQ(state.screen.row[1].name, qs(" Ann"));
    EXPECT_EQ(enabledMenus(state.screen), kIdleMenus);
    EXPECT_FALSE(state.screen.abortEnabled);
}

// ------------------------------------------------------------------ reset after a race

struct UnsavedCase {
    bool summary;
    bool laps;
    const char* title;
    const char* firstLine;
};

class UnsavedResultsTest : public RaceControlTest,
                           public ::testing::WithParamInterface<UnsavedCase> {};

TEST_P(UnsavedResultsTest, NoKeepsTheResultsYesResets) {
    runRaceToTheEnd();
    state.SummaryUnsaved = GetParam().summary;
    state.LapsUnsaved = GetParam().laps;
    prompter.answers = {Answer::No, Answer::Yes};
    engine.cmdStart_Click();
    ASSERT_EQ(prompter.questions.size(), 1u);
    const Question& q = prompter.questions[0];
    EXPECT_EQ(q.title, qs(GetParam().title));
    EXPECT_EQ(q.text, qs(GetParam().firstLine) + qs("\r\nDo you want to Reset?"));
    EXPECT_EQ(q.icon, Icon::Exclamation);
    EXPECT_EQ(caption(), qs("Reset"));
    EXPECT_TRUE(state.screen.raceOverVisible);
    EXPECT_EQ(state.LapCount[1], 3);
    EXPECT_EQ(state.SummaryUnsaved, GetParam().summary);
    EXPECT_EQ(state.LapsUnsaved, GetParam().laps);

    engine.cmdStart_Click();
    EXPECT_EQ(prompter.questions.size(), 2u);
    EXPECT_EQ(caption(), qs("Start"));
    EXPECT_FALSE(state.SummaryUnsaved || state.LapsUnsaved);
}

INSTANTIATE_TEST_SUITE_P(Marks, UnsavedResultsTest,
                         ::testing::Values(UnsavedCase{true, true, "Files not saved",
                                                       "Summary & Lap files have not be saved."},
                                           UnsavedCase{true, false, "Summary not saved",
                                                       "Summary file has not be saved."},
                                           UnsavedCase{false, true, "Laps not saved",
                                                       "Lap file has not be saved."}));

TEST_F(RaceControlTest, ResetAfterSavingAsksNothingAndClearsEverything) {
    runRaceToTheEnd();
    EXPECT_EQ(state.screen.clock, qs("00:09"));
    engine.cmdAbort_Click();  // no abort from the Reset caption
    EXPECT_EQ(caption(), qs("Reset"));
    state.SummaryUnsaved = state.LapsUnsaved = false;
    engine.cmdStart_Click();
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_EQ(caption(), qs("Start"));
    EXPECT_EQ(state.RaceClock, 0);
    EXPECT_EQ(state.screen.clock, qs("00:00"));
    EXPECT_FALSE(state.screen.raceOverVisible || state.CheckeredShown || state.WhiteFlagShown);
    EXPECT_EQ(state.screen.picture, qs("LVLogo.gif"));
    EXPECT_EQ(enabledMenus(state.screen), kIdleMenus);
    EXPECT_EQ(state.FinishDeadline, kNoDeadline);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], 0);
        EXPECT_EQ(state.BestLapTime[f], kNoBestLap);
        EXPECT_EQ(state.LapTimes[f][1] + state.SortedLapTimes[f][1], 0.0f);
        const ScreenRow& row = state.screen.row[f];
        EXPECT_EQ(row.lapNum + row.lapTime + row.best + row.lagTime, QString());
        EXPECT_EQ(row.colour, state.live.swatchColour[f]) << "row " << f << " in its flag's colour";
        EXPECT_EQ(row.name, qs(" ") + host.names[f]);
    }
    // The clock of the next race, now a timed one, counts from its own length.
    state.live.optLapRace = state.IsLapRace = false;
    state.live.optTimedRace = state.IsTimedRace = true;
    state.RaceMinutes = 1;
    engine.ReSet();
    start();
    tickAt(51000);
    tick();
    EXPECT_EQ(state.screen.clock, qs("00:09"));
}

// ------------------------------------------------------------------ header toggles and keys

struct ToggleCase {
    bool practice;
    bool bestColumn;
    const char* from;
    const char* to;
};

class HeaderToggleTest : public RaceControlTest,
                         public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(HeaderToggleTest, CyclesThroughTheModes) {
    const ToggleCase& c = GetParam();
    configure(c.practice ? Format::Practice : Format::LapRace);
    QString& header = c.bestColumn ? state.screen.bestHeader : state.screen.lagHeader;
    header = qs(c.from);
    if (c.bestColumn) {
        engine.lblBestLap_Click();
    } else {
        engine.lblLag_Click();
    }
    EXPECT_EQ(header, qs(c.to));
    EXPECT_EQ(host.pickerCloses, 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, HeaderToggleTest,
                         ::testing::Values(ToggleCase{false, true, "Best Lap", "MPH"},
                                           ToggleCase{false, true, "MPH", "Median"},
                                           ToggleCase{false, true, "Median", "Best Lap"},
                                           ToggleCase{false, true, "Lap", "Best Lap"},
                                           ToggleCase{true, true, "MPH", "Best Lap"},
                                           ToggleCase{true, true, "Median", "Best Lap"},
                                           ToggleCase{false, false, "Lag Behind", "Lag First"},
                                           ToggleCase{false, false, "Lag First", "Median"},
                                           ToggleCase{false, false, "Median", "Lag Behind"},
                                           ToggleCase{false, false, "", "Lag Behind"},
                                           ToggleCase{true, false, "Lag First", "Lag First"}));

TEST_F(RaceControlTest, HeaderToggleRedrawsOnlyWhenARaceIsUnderWay) {
    configure(Format::LapRace, 10, 1, "2");
    state.screen.row[1].best = qs("old");
    engine.lblBestLap_Click();
    EXPECT_EQ(state.screen.row[1].best, qs("old")) << "idle: only the header changes";
    state.screen.bestHeader = qs("Best Lap");
    start();
    run({{1000, 2}, {4000, 2}});
    engine.lblBestLap_Click();  // MPH
    state.SpeedMultiplier = 6000.0f;
    engine.lblBestLap_Click();  // Median
    EXPECT_EQ(state.screen.row[1].best, qs("3.00"));
    engine.lblLag_Click();  // "Lag First" -> "Median"
    EXPECT_EQ(state.screen.row[1].lagTime, qs("3.00"));
    engine.lblBestLap_Click();  // "Best Lap"
    engine.lblBestLap_Click();  // "MPH"
    EXPECT_EQ(state.screen.row[1].best, qs("2000.0 "));
}

TEST_F(RaceControlTest, KeysResetTheRowsBestLapOrToggleTheHeaders) {
    // Keys 1-6 and keypad 1-6 name screen rows; the cars run in the order 6, 5, ..., 1.
    const std::pair<int, int> keys[] = {{49, 1}, {54, 6}, {97, 1}, {102, 6}, {0, 0}};
    for (const auto& [key, row] : keys) {
        SCOPED_TRACE(key);
        configure(Format::LapRace, 10, 1, "2");
        host.startSequences.clear();
        host.beeps = host.pickerCloses = 0;
        start();
        std::vector<Crossing> crossings;
        for (int f = 6; f >= 1; --f) {
            crossings.push_back({1000 + 100 * (6 - f), f});
        }
        for (int f = 6; f >= 1; --f) {
            crossings.push_back({4000 + 100 * (6 - f), f});
        }
        run(crossings);
        if (key == 0) {
            for (int other : {48, 55, 96, 103, 114, 117, 65, 13}) {
                engine.Form_KeyDown(other);
            }
            EXPECT_EQ(host.beeps + host.pickerCloses, 0);
            engine.Form_KeyDown(115);
            EXPECT_EQ(state.screen.lagHeader, qs("Median"));  // from "Lag First"
            engine.Form_KeyDown(116);
            EXPECT_EQ(state.screen.bestHeader, qs("MPH"));
            EXPECT_EQ(host.pickerCloses, 2);
        } else {
            engine.Form_KeyDown(key);
            EXPECT_EQ(state.screen.row[row].best, QString());
            EXPECT_EQ(host.beeps, 1);
        }
        for (int f = 1; f <= kFlags; ++f) {
            EXPECT_EQ(state.BestLapTime[f] == kNoBestLap, f == 7 - row) << f;
        }
        pauseAndAbort(Answer::Yes);
    }
}

struct BestResetCase {
    const char* name;
    bool practice;
    bool paused;
    const char* header;
    bool resets;
    bool beeps;
};

class BestLapResetTest : public RaceControlTest,
                         public ::testing::WithParamInterface<BestResetCase> {};

TEST_P(BestLapResetTest, ClickOnABestCell) {
    const BestResetCase& c = GetParam();
    configure(c.practice ? Format::Practice : Format::LapRace, 10, 1, "2");
    start();
    // Flag 3 leads, so in a race row 2 shows flag 1; in practice row 2 is flag 2.
    run({{1000, 3}, {1500, 1}, {1600, 2}, {4000, 3}, {4500, 1}, {4600, 2}});
    if (c.paused) {
        engine.cmdStart_Click();
    }
    state.screen.bestHeader = qs(c.header);
    state.screen.row[2].best = qs("cell");
    const int flag = c.practice ? 2 : 1;
    engine.lblBest_Click(2);
    EXPECT_EQ(state.screen.row[2].best, c.resets ? QString() : qs("cell"));
    EXPECT_EQ(host.beeps, c.beeps ? 1 : 0);
    for (int f = 1; f <= 3; ++f) {
        EXPECT_EQ(state.BestLapTime[f], c.resets && f == flag ? kNoBestLap : 3000) << f;
    }
    if (c.resets && !c.paused) {  // the next lap is the new best, however slow
        run({{9000, flag}});
        EXPECT_EQ(state.BestLapTime[flag], c.practice ? 4400 : 4500);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BestLapResetTest,
    ::testing::Values(BestResetCase{"RaceRunning", false, false, "Best Lap", true, true},
                      BestResetCase{"RacePaused", false, true, "Best Lap", false, false},
                      BestResetCase{"RaceMph", false, false, "MPH", false, false},
                      BestResetCase{"RaceMedian", false, false, "Median", false, false},
                      BestResetCase{"PracticeRunning", true, false, "Best Lap", true, true},
                      BestResetCase{"PracticePaused", true, true, "Best Lap", true, false},
                      BestResetCase{"PracticeMph", true, false, "MPH", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ clock and titles

TEST_F(RaceControlTest, TimedRaceClockCountsDownAndStopsAtZero) {
    configure(Format::TimedRace, 5, 1, "2");
    start();
    tick();
    EXPECT_EQ(state.screen.clock, qs("05:00"));
    tick();
    EXPECT_EQ(state.screen.clock, qs("04:59"));
    tickAt(53000);
    tick();
    EXPECT_EQ(state.screen.clock, qs("04:07"));
    run({{100000, 1}, {100500, 2}, {103000, 1}, {106000, 1}});
    tickAt(300000);
    tick();
    ASSERT_TRUE(state.CheckeredShown);
    tenMsTicksUntil(305000);
    ASSERT_EQ(state.RaceOver, 0);
    EXPECT_EQ(state.screen.clock, qs("00:00"));
}

TEST_F(RaceControlTest, ClockCountsUpOutsideTimedRacesAndShows100Minutes) {
    configure(Format::LapRace, 500, 1, "2");
    start();
    tick();
    EXPECT_EQ(state.screen.clock, qs("00:00"));
    tickAt(247000);
    tick();
    EXPECT_EQ(state.screen.clock, qs("04:07"));
    tickAt(6000000);
    tick();
    EXPECT_EQ(state.screen.clock, qs("100:00"));
    pauseAndAbort(Answer::Yes);
    configure(Format::TimedRace, 100, 1, "2");
    start();
    tick();
    EXPECT_EQ(state.screen.clock, qs("100:00"));
}

TEST_F(RaceControlTest, TitlesShowNumbersInTheirShortestForm) {
    state.live.delayText = qs("5");
    configure(Format::LapRace, 10, 1, "2.5");
    EXPECT_EQ(state.screen.windowCaption,
              qs("Vx9 Timer - 5 seconds delay before Formula 1 start - 2.5 seconds minimum lap "
                 "time"));
    EXPECT_EQ(state.RaceTitle, qs("10 Lap Race"));
    EXPECT_EQ(state.screen.raceFormat, qs("10 Lap Race"));
    EXPECT_EQ(state.screen.lagHeader, qs("Lag First"));
    EXPECT_EQ(state.MinLapTime, 2.5f);

    host.lagMode = qs("Median");
    configure(Format::TimedRace, 2, 1, "10");
    EXPECT_EQ(state.RaceTitle, qs("2 Minute Race"));
    EXPECT_EQ(state.screen.lagHeader, qs("Median"));
    state.live.demo = true;
    const int reseeds = random.reseeds;
    configure(Format::Practice);
    EXPECT_EQ(state.screen.windowCaption, qs("Vx9 Timer - Practice"));
    EXPECT_EQ(state.screen.raceFormat, qs("Demo - Practice"));
    EXPECT_GT(random.reseeds, reseeds);
}

}  // namespace
}  // namespace lapdeck::test
