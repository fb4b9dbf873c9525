#include <array>

#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

const char* const kIdle = "Start LVLogo.gif [File RaceFormat Racers Sound Settings Help]";
const char* const kRacing = "Pause GreenFlagblack.bmp [] timer";
const char* const kPaused = "Continue YellowFlagblack.bmp [ViewData] abort";

class RaceControlTest : public EngineTest {
protected:
    // A 3-lap race that flags 1 and 2 finish; ends at 9110.
    void runRaceToTheEnd() {
        configure(Format::LapRace, 3);
        start();
        run({{3000, 1}, {3100, 2}, {6000, 1}, {6100, 2}, {9000, 1}, {9100, 2}});
        tickAt(9110);
        ASSERT_EQ(controls(), "Reset CheckeredFlagblack.bmp [File ViewData]");
    }
};

std::string sameNames(int a, int b) {
    return "ask question no: Same Names|Warning, names in Flags " + std::to_string(a) + " and " +
           std::to_string(b) + " are the same\r\nDo you want to continue race?\n";
}
std::string selectName(int f) {
    return "tell -: Select Name|Please select name for Flag " + std::to_string(f) + "\n";
}

TEST_F(RaceControlTest, NamesAreCheckedBeforeTheStartLights) {
    using A = Answer;
    struct Case {
        std::array<const char*, kFlags> names;  // flag 6 is disabled
        std::vector<Answer> answers;
        std::string shown;
        bool started;
    };
    const Case cases[] = {
        {{"Ann", "Bob", "Cy", "Dee", "Eve", "Flo"}, {}, "", true},
        {{"Ann", "", "Cy", "Dee", "Select Name", "Flo"}, {}, selectName(2), false},
        // Stored under that name: still unassigned.
        {{"Ann", "Bob", "Cy", "Dee", "Select Name", "Flo"}, {}, selectName(5), false},
        {{"Ann", "Bob", "Cy", "Ann", "Eve", "Flo"}, {A::No}, sameNames(1, 4), false},
        {{"Bob", "Bob", "Bob", "Ann", "Cy", "Dee"},
         {A::Yes, A::Yes, A::Yes},
         sameNames(1, 2) + sameNames(1, 3) + sameNames(2, 3),
         true},
        {{"Bob", "Bob", "Bob", "Ann", "Cy", "Dee"},
         {A::Yes, A::No},
         sameNames(1, 2) + sameNames(1, 3),
         false},
        // Empty and disabled rows are not compared; case counts.
        {{"Empty", "Ann", "Empty", "Flo", "ann", "Flo"}, {}, "", true}};
    state.live.disabled[6] = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        for (int f = 1; f <= kFlags; ++f) {
            host.names[f] = qs(c.names[static_cast<size_t>(f - 1)]);
        }
        configure(Format::LapRace);
        prompter.prompts.clear();
        prompter.answers.assign(c.answers.begin(), c.answers.end());
        host.startSequences.clear();
        engine.cmdStart_Click();
        EXPECT_EQ(prompter.shown(), c.shown);
        EXPECT_EQ(host.startSequences.size(), c.started ? 1u : 0u);
        // The caption waits for the lights; the menus stay off until the next reset.
        EXPECT_EQ(controls(), "Start LVLogo.gif []");
        EXPECT_TRUE(state.SummaryUnsaved && state.LapsUnsaved);
    }
}

TEST_F(RaceControlTest, CountdownOnlyForADelayOfOneSecondOrMore) {
    const std::tuple<const char*, int, bool> cases[] = {
        {"0", 0, false}, {"1", 1, true}, {"0.5", 0, false}, {"1.5", 2, true}, {"2.5", 2, true}};
    for (const auto& [text, delay, countdown] : cases) {
        state.live.delayText = qs(text);
        configure(Format::LapRace);
        host.startSequences.clear();
        engine.cmdStart_Click();
        EXPECT_EQ(state.StartDelay, delay) << text;
        EXPECT_EQ(host.startSequences, std::vector<bool>{countdown}) << text;
    }
}

TEST_F(RaceControlTest, GreenLightDropsCrossingsMadeBeforeIt) {
    configure(Format::LapRace);
    engine.cmdStart_Click();
    port.push({"1", "4"});
    engine.greenLight(&port);
    EXPECT_TRUE(port.pending.empty());
    EXPECT_EQ(state.PortInput, qs("4"));
    EXPECT_EQ(controls(), "Start GreenFlagblack.bmp [] timer");
    engine.startSequenceClosed();
    EXPECT_EQ(controls(), kRacing);
    tick();
    EXPECT_EQ(state.LapCount[1], 0);

    configure(Format::Practice);  // no lights: practice runs at once
    port.push({"2"});
    host.startSequences.clear();
    engine.cmdStart_Click();
    EXPECT_TRUE(host.startSequences.empty());
    EXPECT_EQ(controls(), kRacing);
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
    state.LagBehind[2] = state.LagFirst[3] = state.RaceDateTime = qs("old");
    start();
    EXPECT_EQ(state.LapTimes[2][7] + state.SortedLapTimes[3][0], 0.0f);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], -1);
        EXPECT_EQ(state.BestLapTime[f], kNoBestLap);
        EXPECT_EQ(state.FinishLap[f], kMaxLap);
        EXPECT_EQ(state.LagBehind[f] + state.LagFirst[f] + state.RaceDateTime, QString());
        EXPECT_EQ(state.RunningOrder[f], f);
    }
    EXPECT_EQ(state.FlagNo, 7);
    EXPECT_EQ(state.FinishDeadline, kNoDeadline);
    EXPECT_EQ(state.RaceOver + state.TenSecondWarned, 0);
}

TEST_F(RaceControlTest, PauseContinueAndAbortOnlyWhenPausedAndConfirmed) {
    configure(Format::LapRace, 3);
    EXPECT_EQ(controls(), kIdle);
    start();
    engine.cmdAbort_Click();
    EXPECT_TRUE(prompter.prompts.empty()) << "running: abort does nothing";
    tickAt(1000, {"1"});
    engine.cmdStart_Click();
    EXPECT_EQ(controls(), kPaused);
    EXPECT_EQ(state.FlagPicture, qs("GreenFlagblack.bmp"));

    port.push({"1"});  // waits through the pause and is read after it
    engine.cmdStart_Click();
    EXPECT_EQ(controls(), kRacing);
    tickAt(4000);
    EXPECT_EQ(state.LastCrossing[1], 4000);

    engine.cmdStart_Click();
    prompter.answers = {Answer::No};
    engine.cmdAbort_Click();
    EXPECT_EQ(prompter.shown(),
              "ask question: Abort|All Data will be lost\r\nAre you sure you want to abort?\n");
    EXPECT_EQ(controls(), kPaused);
    EXPECT_TRUE(state.LapsUnsaved && state.SummaryUnsaved);
    EXPECT_EQ(state.LapCount[1], 2);

    engine.cmdAbort_Click();  // Yes
    EXPECT_EQ(controls(), kIdle);
    EXPECT_FALSE(state.LapsUnsaved || state.SummaryUnsaved);
    EXPECT_EQ(state.RaceClock, 0);
    EXPECT_EQ(state.screen.clock, qs("00:00"));
    EXPECT_EQ(row(1), qs(" Ann|||||2001"));
}

TEST_F(RaceControlTest, UnsavedResultsAreAskedAboutAndNoKeepsThem) {
    const std::tuple<bool, bool, const char*> cases[] = {
        {true, true, "Files not saved|Summary & Lap files have not be saved."},
        {true, false, "Summary not saved|Summary file has not be saved."},
        {false, true, "Laps not saved|Lap file has not be saved."}};
    for (const auto& [summary, laps, question] : cases) {
        runRaceToTheEnd();
        prompter.prompts.clear();
        state.SummaryUnsaved = summary;
        state.LapsUnsaved = laps;
        prompter.answers = {Answer::No, Answer::Yes};
        engine.cmdStart_Click();
        EXPECT_EQ(prompter.shown(),
                  std::string("ask excl: ") + question + "\r\nDo you want to Reset?\n");
        EXPECT_EQ(caption(), qs("Reset"));
        EXPECT_TRUE(state.screen.raceOverVisible);
        EXPECT_EQ(state.LapCount[1], 3);
        EXPECT_EQ(state.SummaryUnsaved, summary);
        EXPECT_EQ(state.LapsUnsaved, laps);

        engine.cmdStart_Click();
        EXPECT_EQ(caption(), qs("Start"));
        EXPECT_FALSE(state.SummaryUnsaved || state.LapsUnsaved);
    }
}

TEST_F(RaceControlTest, ResetAfterSavingAsksNothingAndClearsEverything) {
    runRaceToTheEnd();
    EXPECT_EQ(state.screen.clock, qs("00:09"));
    engine.cmdAbort_Click();  // no abort from the Reset caption
    state.SummaryUnsaved = state.LapsUnsaved = false;
    engine.cmdStart_Click();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(controls(), kIdle);
    EXPECT_EQ(state.RaceClock, 0);
    EXPECT_EQ(state.screen.clock, qs("00:00"));
    EXPECT_FALSE(state.screen.raceOverVisible || state.CheckeredShown || state.WhiteFlagShown);
    EXPECT_EQ(state.FinishDeadline, kNoDeadline);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f], 0);
        EXPECT_EQ(state.BestLapTime[f], kNoBestLap);
        EXPECT_EQ(state.LapTimes[f][1] + state.SortedLapTimes[f][1], 0.0f);
        EXPECT_EQ(row(f), u' ' + host.names[f] + QStringLiteral("|||||200%1").arg(f));
    }
    // The clock of the next race, now a timed one, counts from its own length.
    configure(Format::TimedRace, 1);
    start();
    tickAt(51000);
    tick();
    EXPECT_EQ(state.screen.clock, qs("00:09"));
}

TEST_F(RaceControlTest, HeadersCycleThroughTheirModes) {
    // best column?, practice?, from, to
    const std::tuple<bool, bool, const char*, const char*> cases[] = {
        {true, false, "Best Lap", "MPH"},          {true, false, "MPH", "Median"},
        {true, false, "Median", "Best Lap"},       {true, false, "Lap", "Best Lap"},
        {true, true, "MPH", "Best Lap"},           {true, true, "Median", "Best Lap"},
        {false, false, "Lag Behind", "Lag First"}, {false, false, "Lag First", "Median"},
        {false, false, "Median", "Lag Behind"},    {false, false, "", "Lag Behind"},
        {false, true, "Lag First", "Lag First"}};
    for (const auto& [best, practice, from, to] : cases) {
        configure(practice ? Format::Practice : Format::LapRace);
        QString& header = best ? state.screen.bestHeader : state.screen.lagHeader;
        header = qs(from);
        const int closes = host.pickerCloses;
        best ? engine.lblBestLap_Click() : engine.lblLag_Click();
        EXPECT_EQ(header, qs(to)) << from;
        EXPECT_EQ(host.pickerCloses, closes + 1);
    }
}

TEST_F(RaceControlTest, KeysNameScreenRowsOrToggleTheHeaders) {
    configure(Format::LapRace);
    start();
    // The cars run in the order 6, 5, ..., 1, so screen row r shows flag 7 - r.
    std::vector<Crossing> crossings;
    for (int lap : {1000, 4000}) {
        for (int f = 6; f >= 1; --f) {
            crossings.push_back({lap + 100 * (6 - f), f});
        }
    }
    run(crossings);
    // Keys 1-6 and keypad 1-6 reset a row's best lap; row 0: the key does nothing.
    const std::pair<int, int> keys[] = {{49, 1}, {54, 6}, {97, 1},  {102, 6}, {48, 0},
                                        {55, 0}, {96, 0}, {103, 0}, {114, 0}, {117, 0}};
    for (const auto& [key, row] : keys) {
        host.beeps = 0;
        engine.Form_KeyDown(key);
        for (int f = 1; f <= kFlags; ++f) {
            EXPECT_EQ(state.BestLapTime[f] == kNoBestLap, f == 7 - row) << key << " flag " << f;
        }
        EXPECT_EQ(host.beeps, row == 0 ? 0 : 1) << key;
        state.BestLapTime.fill(3000);
    }
    EXPECT_EQ(host.pickerCloses, 0);
    // F4 and F5 switch the headings, and a race under way is redrawn at once (idle:
    // only the header changes).
    state.SpeedMultiplier = 6000.0f;
    engine.Form_KeyDown(115);  // "Lag First" -> "Median"
    engine.Form_KeyDown(116);  // "Best Lap" -> "MPH"
    EXPECT_EQ(row(6), qs(" Ann|2|3.00|2000.0 |3.00|1001"));
    EXPECT_EQ(host.pickerCloses, 2);
    configure(Format::LapRace);
    state.screen.row[1].best = qs("old");
    engine.lblBestLap_Click();
    EXPECT_EQ(state.screen.row[1].best, qs("old"));
}

TEST_F(RaceControlTest, ClickOnABestCellResetsThatBestLapWhileTheClockRuns) {
    // practice?, paused?, header, resets?, beeps?
    const std::tuple<bool, bool, const char*, bool, bool> cases[] = {
        {false, false, "Best Lap", true, true}, {false, true, "Best Lap", false, false},
        {false, false, "MPH", false, false},    {false, false, "Median", false, false},
        {true, false, "Best Lap", true, true},  {true, true, "Best Lap", true, false},
        {true, false, "MPH", false, false}};
    for (const auto& [practice, paused, header, resets, beeps] : cases) {
        SCOPED_TRACE(std::string(practice ? "practice " : "race ") + (paused ? "paused " : "") +
                     header);
        configure(practice ? Format::Practice : Format::LapRace);
        start();
        host.beeps = 0;
        // Flag 3 leads, so in a race row 2 shows flag 1; in practice row 2 is flag 2.
        run({{1000, 3}, {1500, 1}, {1600, 2}, {4000, 3}, {4500, 1}, {4600, 2}});
        if (paused) {
            engine.cmdStart_Click();
        }
        state.screen.bestHeader = qs(header);
        state.screen.row[2].best = qs("cell");
        const int flag = practice ? 2 : 1;
        engine.lblBest_Click(2);
        EXPECT_EQ(state.screen.row[2].best, resets ? QString() : qs("cell"));
        EXPECT_EQ(host.beeps, beeps ? 1 : 0);
        for (int f = 1; f <= 3; ++f) {
            EXPECT_EQ(state.BestLapTime[f], resets && f == flag ? kNoBestLap : 3000) << f;
        }
        if (resets && !paused) {  // the next lap is the new best, however slow
            run({{9000, flag}});
            EXPECT_EQ(state.BestLapTime[flag], practice ? 4400 : 4500);
        }
    }
}

TEST_F(RaceControlTest, ClockCountsDownInTimedRacesAndUpOtherwise) {
    configure(Format::TimedRace, 5);
    start();
    // Each tick shows the clock it started from.
    const std::pair<int32_t, const char*> down[] = {
        {10, "05:00"}, {20, "04:59"}, {53000, "04:59"}, {53010, "04:07"}};
    for (const auto& [clock, text] : down) {
        tickAt(clock);
        EXPECT_EQ(state.screen.clock, qs(text)) << clock;
    }
    run({{100000, 1}, {100500, 2}, {103000, 1}, {106000, 1}});
    tickAt(300000);
    tick();
    ASSERT_TRUE(state.CheckeredShown);
    tenMsTicksUntil(305000);
    ASSERT_EQ(state.RaceOver, 0);
    EXPECT_EQ(state.screen.clock, qs("00:00")) << "stops at zero";

    configure(Format::LapRace, 500);
    start();
    const std::pair<int32_t, const char*> up[] = {{10, "00:00"},
                                                  {247000, "00:00"},
                                                  {247010, "04:07"},
                                                  {6000000, "04:07"},
                                                  {6000010, "100:00"}};
    for (const auto& [clock, text] : up) {
        tickAt(clock);
        EXPECT_EQ(state.screen.clock, qs(text)) << clock;
    }
}

TEST_F(RaceControlTest, TitlesShowNumbersInTheirShortestForm) {
    state.live.delayText = qs("5");
    configure(Format::LapRace, 10, 1, "2.5");
    EXPECT_EQ(state.screen.windowCaption,
              qs("Vx9 Timer - 5 seconds delay before Formula 1 start - 2.5 seconds minimum lap "
                 "time"));
    EXPECT_EQ(state.screen.raceFormat, qs("10 Lap Race"));
    EXPECT_EQ(state.screen.lagHeader, qs("Lag First"));
    EXPECT_EQ(state.MinLapTime, 2.5f);

    host.lagMode = qs("Median");
    configure(Format::TimedRace, 100, 1, "10");
    EXPECT_EQ(state.RaceTitle, qs("100 Minute Race"));
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
