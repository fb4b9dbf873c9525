#include "EngineHarness.h"

namespace lapdeck::test {
namespace {

const char* const kIdle = "Idle LVLogo.gif";
const char* const kRacing = "Racing GreenFlagblack.bmp timer";
const char* const kPaused = "Paused YellowFlagblack.bmp";
const char* const kOver = "Over CheckeredFlagblack.bmp";

std::string sameNames(int a, int b) {
    return "ask question no: Same Names|Warning, names in Flags " + std::to_string(a) + " and " +
           std::to_string(b) + " are the same\r\nDo you want to continue race?\n";
}
std::string selectName(int f) {
    return "tell -: Select Name|Please select name for Flag " + std::to_string(f) + "\n";
}

TEST_F(EngineTest, NamesAreCheckedBeforeTheStartLights) {
    // names of flags 1..6 (6 is disabled), answers (Y/N), prompts, started
    const std::tuple<const char*, const char*, std::string, bool> cases[] = {
        {"Ann,Bob,Cy,Dee,Eve,Flo", "", "", true},
        {"Ann,,Cy,Dee,Select Name,Flo", "", selectName(2), false},
        {"Ann,Bob,Cy,Dee,Select Name,Flo", "", selectName(5), false},  // stored so: unassigned
        {"Ann,Bob,Cy,Ann,Eve,Flo", "N", sameNames(1, 4), false},
        {"Bob,Bob,Bob,Ann,Cy,Dee", "YYY", sameNames(1, 2) + sameNames(1, 3) + sameNames(2, 3),
         true},
        {"Bob,Bob,Bob,Ann,Cy,Dee", "YN", sameNames(1, 2) + sameNames(1, 3), false},
        {"Empty,Ann,Empty,Flo,ann,Flo", "", "", true}};  // not compared: empty, disabled
    state.Disabled[6] = true;
    for (const auto& [names, answers, shown, started] : cases) {
        const QStringList list = qs(names).split(u',');
        for (int f = 1; f <= kFlags; ++f) {
            host.names[f] = list[f - 1];
        }
        configure(Format::LapRace);
        prompter.prompts.clear();
        for (const char* a = answers; *a != '\0'; ++a) {
            prompter.answers.push_back(*a == 'Y' ? Answer::Yes : Answer::No);
        }
        host.startSequences.clear();
        state.SummaryUnsaved = true;  // a summary not saved, laps saved
        state.LapsUnsaved = false;
        engine.cmdStart_Click();
        EXPECT_EQ(prompter.shown(), shown) << names;
        EXPECT_EQ(host.startSequences.size(), started ? 1u : 0u) << names;
        // A start waits for the lights; a refused start gives back the idle window and
        // the unsaved marks.
        EXPECT_EQ(controls(), started ? "Starting LVLogo.gif" : kIdle) << names;
        EXPECT_EQ(state.SummaryUnsaved && !state.LapsUnsaved, !started) << names;
    }
    state.Disabled[6] = false;  // the last flag is checked too
    host.names[6] = QString();
    configure(Format::LapRace);
    prompter.prompts.clear();
    engine.cmdStart_Click();
    EXPECT_EQ(prompter.shown(), selectName(6));
}

TEST_F(EngineTest, CountdownOnlyForADelayOfOneSecondOrMore) {
    for (const int delay : {0, 1, 30}) {
        state.StartDelay = static_cast<int16_t>(delay);
        configure(Format::LapRace);
        host.startSequences.clear();
        engine.cmdStart_Click();
        EXPECT_EQ(host.startSequences, std::vector<bool>{delay >= 1}) << delay;
    }
}

// What a start clears that the reset test below does not show.
TEST_F(EngineTest, StartClearsTheRaceData) {
    configure(Format::LapRace, 10, 0);
    state.LapTimes[2][7] = state.SortedLapTimes[3][0] = 9.5f;
    state.FinishLap[5] = 7;
    state.FinishDeadline = state.RaceOver = state.TenSecondWarned = 1;
    state.LagBehind[2] = state.LagFirst[3] = state.RaceDateTime = qs("old");
    start();
    EXPECT_EQ(state.LapTimes[2][7] + state.SortedLapTimes[3][0], 0.0f);
    for (int f = 1; f <= kFlags; ++f) {
        EXPECT_EQ(state.LapCount[f] + state.FinishLap[f] + state.RunningOrder[f], -1 + kMaxLap + f);
        EXPECT_EQ(state.LagBehind[f] + state.LagFirst[f] + state.RaceDateTime, QString());
    }
    EXPECT_EQ(state.FlagNo, 7);
    EXPECT_EQ(state.FinishDeadline, kNoDeadline);
    EXPECT_EQ(state.RaceOver + state.TenSecondWarned, 0);
}

TEST_F(EngineTest, PauseContinueAndAbortOnlyWhenPausedAndConfirmed) {
    configure(Format::LapRace, 3);
    EXPECT_EQ(controls(), kIdle);
    start();
    engine.cmdAbort_Click();
    EXPECT_TRUE(prompter.prompts.empty()) << "running: abort does nothing";
    tickAt(1000, {"1"});
    engine.cmdStart_Click();
    EXPECT_EQ(controls(), kPaused);
    // Crossings during the pause are dropped at Continue, not counted with lap times
    // that span the pause; a demo race reads no port.
    port.push({"1", "x"});
    engine.cmdStart_Click(&port);
    EXPECT_EQ(controls(), kRacing);
    EXPECT_EQ(host.dropped, QStringList{qs("1000:1,x")});
    tickAt(4000);
    EXPECT_EQ(state.LapCount[1], 1);
    EXPECT_EQ(state.LastCrossing[1], 1000);
    tickAt(6000, {"1"});
    EXPECT_EQ(state.LastCrossing[1], 6000);
    engine.cmdStart_Click();
    port.push({"1"});
    state.Demo = true;
    engine.cmdStart_Click(&port);
    state.Demo = false;
    EXPECT_EQ(host.dropped.size(), 1);
    EXPECT_TRUE(port.hasInput());
    port.pending.clear();

    engine.cmdStart_Click();
    prompter.answers = {Answer::No};
    engine.cmdAbort_Click();
    EXPECT_EQ(prompter.shown(),
              "ask question no: Abort|All Data will be lost\r\nAre you sure you want to abort?\n");
    EXPECT_EQ(controls(), kPaused);
    EXPECT_TRUE(state.LapsUnsaved && state.SummaryUnsaved);
    engine.cmdAbort_Click();  // Yes
    EXPECT_EQ(controls(), kIdle);
    EXPECT_FALSE(state.LapsUnsaved || state.SummaryUnsaved);
    EXPECT_EQ(QString::number(state.RaceClock) + state.screen.clock, qs("000:00"));
    EXPECT_EQ(row(1), qs(" Ann|||||1001"));
}

TEST_F(EngineTest, ResetAsksAboutUnsavedResultsThenClearsEverything) {
    const std::tuple<bool, bool, std::string> cases[] = {
        {true, true, "Files not saved|Summary & Lap files have not be saved."},
        {true, false, "Summary not saved|Summary file has not be saved."},
        {false, true, "Laps not saved|Lap file has not be saved."},
        {false, false, ""}};
    for (const auto& [summary, laps, question] : cases) {
        configure(Format::LapRace, 3);  // flags 1 and 2 finish; the race ends at 9110
        start();
        run({{3000, 1}, {3100, 2}, {6000, 1}, {6100, 2}, {9000, 1}, {9100, 2}, {9110, 0}});
        ASSERT_EQ(controls(), kOver);
        EXPECT_EQ(state.screen.clock, qs("00:09"));
        engine.cmdAbort_Click();  // no abort from the Reset caption
        prompter.prompts.clear();
        state.SummaryUnsaved = summary;
        state.LapsUnsaved = laps;
        if (!question.empty()) {
            prompter.answers = {Answer::No};
            engine.cmdStart_Click();
            EXPECT_EQ(prompter.shown(), "ask excl no: " + question + "\r\nDo you want to Reset?\n");
            EXPECT_EQ(controls(), kOver);
            EXPECT_EQ(state.LapCount[1] + state.SummaryUnsaved * 10 + state.LapsUnsaved * 100,
                      3 + summary * 10 + laps * 100);
        }
        engine.cmdStart_Click();  // Yes, or no question at all
        EXPECT_EQ(prompter.prompts.size(), question.empty() ? 0u : 2u);
        EXPECT_EQ(controls(), kIdle);
        EXPECT_FALSE(state.SummaryUnsaved || state.LapsUnsaved || state.screen.raceOverVisible ||
                     state.CheckeredShown || state.WhiteFlagShown);
        EXPECT_EQ(QString::number(state.RaceClock) + state.screen.clock, qs("000:00"));
        EXPECT_EQ(state.FinishDeadline, kNoDeadline);
        for (int f = 1; f <= kFlags; ++f) {
            EXPECT_EQ(state.LapCount[f] + state.LapTimes[f][1] + state.SortedLapTimes[f][1], 0.0f);
            EXPECT_EQ(state.BestLapTime[f], kNoBestLap);
            EXPECT_EQ(row(f), u' ' + host.names[f] + QStringLiteral("|||||100%1").arg(f));
        }
    }
    // The clock of the next race, now a timed one, counts from its own length.
    configure(Format::TimedRace, 1);
    start();
    run({{51000, 0}, {51010, 0}});
    EXPECT_EQ(state.screen.clock, qs("00:09"));
}

TEST_F(EngineTest, HeadersCycleThroughTheirModes) {
    using B = BestColumn;
    using L = LagColumn;
    // practice?, from, to
    const std::tuple<bool, B, B> best[] = {
        {false, B::BestLap, B::Mph}, {false, B::Mph, B::Median}, {false, B::Median, B::BestLap},
        {true, B::BestLap, B::Mph},  {true, B::Mph, B::BestLap}, {true, B::Median, B::BestLap}};
    const std::tuple<bool, L, L> lag[] = {{false, L::LagBehind, L::LagFirst},
                                          {false, L::LagFirst, L::Median},
                                          {false, L::Median, L::LagBehind},
                                          {true, L::LagFirst, L::LagFirst}};
    for (const auto& [practice, from, to] : best) {
        configure(practice ? Format::Practice : Format::LapRace);
        state.screen.bestColumn = from;
        engine.lblBestLap_Click();
        EXPECT_EQ(columnCaption(state.screen.bestColumn), columnCaption(to)) << practice;
    }
    for (const auto& [practice, from, to] : lag) {
        configure(practice ? Format::Practice : Format::LapRace);
        state.screen.lagColumn = from;
        const int closes = host.pickerCloses;
        engine.lblLag_Click();
        EXPECT_EQ(columnCaption(state.screen.lagColumn), columnCaption(to)) << practice;
        EXPECT_EQ(host.pickerCloses, closes + 1);
    }
}

TEST_F(EngineTest, KeysNameScreenRowsOrToggleTheHeaders) {
    configure(Format::LapRace);
    start();
    // Keys 1-6 and keypad 1-6 click a row's best cell (which clears it while racing).
    const std::pair<int, const char*> keys[] = {{49, "1"}, {54, "6"}, {97, "1"}, {102, "6"},
                                                {48, ""},  {55, ""},  {96, ""},  {103, ""},
                                                {114, ""}, {117, ""}};
    for (const auto& [key, cleared] : keys) {
        std::string rows;
        for (int r = 1; r <= kFlags; ++r) {
            state.screen.row[r].best = qs("x");
        }
        engine.Form_KeyDown(key);
        for (int r = 1; r <= kFlags; ++r) {
            rows += state.screen.row[r].best.isEmpty() ? std::to_string(r) : "";
        }
        EXPECT_EQ(rows, cleared) << key;
    }
    EXPECT_EQ(host.beeps + host.pickerCloses, 4);
    // F4 and F5 switch the headings, and a race under way is redrawn at once (idle:
    // only the header changes).
    run({{1000, 1}, {4000, 1}});
    state.SpeedMultiplier = 6000.0f;
    engine.Form_KeyDown(115);                              // "Lag First" -> "Median"
    EXPECT_EQ(row(1), qs(" Ann|2|3.00|3.00 |3.00|1001"));  // the median at once
    engine.Form_KeyDown(116);                              // "Best Lap" -> "MPH"
    EXPECT_EQ(row(1), qs(" Ann|2|3.00|2000.0 |3.00|1001"));
    EXPECT_EQ(host.pickerCloses, 2);
    configure(Format::LapRace);
    state.screen.row[1].best = qs("old");
    engine.lblBestLap_Click();
    EXPECT_EQ(state.screen.row[1].best, qs("old"));
}

TEST_F(EngineTest, ClickOnABestCellResetsThatBestLapWhileTheClockRuns) {
    using B = BestColumn;
    // practice?, paused?, column, resets?, beeps?
    const std::tuple<bool, bool, B, bool, bool> cases[] = {
        {false, false, B::BestLap, true, true}, {false, true, B::BestLap, false, false},
        {false, false, B::Mph, false, false},   {false, false, B::Median, false, false},
        {true, false, B::BestLap, true, true},  {true, true, B::BestLap, true, false},
        {true, false, B::Mph, false, false}};
    for (const auto& [practice, paused, header, resets, beeps] : cases) {
        SCOPED_TRACE(std::string(practice ? "practice " : "race ") + (paused ? "paused " : "") +
                     columnCaption(header).toStdString());
        configure(practice ? Format::Practice : Format::LapRace);
        start();
        host.beeps = 0;
        // Flag 3 leads, so in a race row 2 shows flag 1; in practice row 2 is flag 2.
        run({{1000, 3}, {1500, 1}, {1600, 2}, {4000, 3}, {4500, 1}, {4600, 2}});
        if (paused) {
            engine.cmdStart_Click();
        }
        state.screen.bestColumn = header;
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

TEST_F(EngineTest, ClockCountsDownInTimedRacesAndUpOtherwise) {
    // Each tick shows the clock it started from; a timed race's clock stops at zero.
    const std::tuple<Format, int, std::vector<std::pair<int32_t, const char*>>> cases[] = {
        {Format::TimedRace, 5, {{10, "05:00"}, {20, "04:59"}, {53010, "04:07"}, {310010, "00:00"}}},
        {Format::LapRace, 500, {{10, "00:00"}, {247010, "04:07"}, {6000010, "100:00"}}}};
    for (const auto& [format, length, shown] : cases) {
        configure(format, length);
        start();
        for (const auto& [clock, text] : shown) {
            run({{clock - 10, 0}, {clock, 0}});
            EXPECT_EQ(state.screen.clock, qs(text)) << clock;
        }
    }
}

}  // namespace
}  // namespace lapdeck::test
