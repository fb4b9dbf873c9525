#pragma once

#include <cstdint>
#include <optional>

#include <QString>

#include "RaceHost.h"
#include "RaceState.h"

namespace lapdeck {

struct Question {
    QString title;
    QString text;
};

// The question asked before results that were not saved are given up; its second
// line is `closingLine` ("Do you want to Reset?", "Do you want to exit?"). Nothing
// when both files were saved.
std::optional<Question> unsavedResultsQuestion(const RaceState& state, const QString& closingLine);

// The race rules: lap counting, standings, the finish, race control and the screen
// refresh, acting on one RaceState. Time comes from outside: each tick carries its
// milliseconds, so nothing here reads a clock except the race-end stamp.
class RaceEngine {
public:
    RaceEngine(RaceState& state, RaceHost& host, Prompter& prompter, RandomSource& random);

    RaceState& state() { return m_state; }
    const RaceState& state() const { return m_state; }

    // The 10 ms race tick. `source` is read only when demo mode is off.
    void Timer1_Timer(int32_t milliseconds, ReportSource& source);

    // Handles one report text as a port read is handled.
    void handleReport(const QString& text);

    void CountLap(int16_t flag);
    void ComputePosition();
    void ComputeInterval();
    void subSortLapTimes();
    void CheckFinish();
    void StartReset();

    void UpdateRaceScreen();
    void UpdatePracticeScreen();
    void refreshScreen();

    // Window reset to idle, names, race title.
    void ReSet();
    void LoadNames();
    void ShowRaceTitle();

    // Race control. At Continue the reports waiting at `port` came during the pause:
    // they are dropped, not counted with lap times that span the pause.
    void cmdStart_Click(ReportSource* port = nullptr);
    void cmdAbort_Click();
    void Form_KeyDown(int keyCode);
    void lblBestLap_Click();
    void lblLag_Click();
    void lblBest_Click(int row);
    // Called by the start-light window at its green step and when it closes.
    void greenLight(ReportSource* portToFlush);
    void startSequenceClosed();

    // Sets the screen's clock text for the race clock before a tick.
    void showClock();

    bool raceIsOver() const { return m_state.RaceOver != 0; }

private:
    void drawDemoParameters(int flag);
    void runDemo();
    void setTimer(bool running);
    void finishPhase(const QString& endCue);
    void dropWaitingReports(ReportSource* port);
    int32_t deadlineLap(int leader) const;
    void giveCheckeredFlag(const QString& cue);
    QString speedText(int flag) const;
    QString medianText(int flag);

    RaceState& m_state;
    RaceHost& m_host;
    Prompter& m_prompter;
    RandomSource& m_random;
    int64_t m_clockSeconds = -1;
};

}  // namespace lapdeck
