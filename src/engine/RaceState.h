#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "ScreenTexts.h"

namespace lapdeck {

inline constexpr int kFlags = 6;
inline constexpr int kMaxLap = 3000;           // highest lap number the store holds
inline constexpr int32_t kNoBestLap = 999999;  // best lap of a flag that has none
inline constexpr int32_t kNoDeadline = 0x7FFFFFFF;

// Per-flag arrays are indexed 1..6, as the flags are; element 0 is unused.
template <typename T>
using PerFlag = std::array<T, kFlags + 1>;

using LapStore = std::array<std::array<float, kMaxLap + 1>, kFlags + 1>;

// What the race phase is; the start button shows it as its caption, and the main
// window's menus and buttons follow it. Starting: the start checks passed and the
// start lights run (the caption still reads "Start").
enum class RacePhase { Idle, Starting, Racing, Paused, Over };

QString startCaption(RacePhase phase);

// One row of the race screen; rows are indexed 1..6 top to bottom. The name cell
// shows the flag's name (RaceState::flagName), so a name always stays with its laps.
struct ScreenRow {
    int16_t flag = 0;  // the flag the row shows; 0 before the first reset
    QString lapNum;
    QString lapTime;
    QString best;
    QString lagTime;
    int32_t colour = 0;
};

// Everything the race screen shows, as data. The main window draws it.
struct RaceScreen {
    std::array<ScreenRow, kFlags + 1> row{};
    BestColumn bestColumn = BestColumn::BestLap;
    LagColumn lagColumn = LagColumn::LagBehind;
    QString clock = QStringLiteral("00:00");
    QString raceFormat;
    QString windowCaption;
    QString picture = QStringLiteral("LVLogo.gif");
    bool raceOverVisible = false;
};

// The program-wide race state: settings in force, race format, and everything a
// race produces. One object, owned by the application and passed where needed.
struct RaceState {
    // Settings in force.
    int16_t TrackLength = 0;
    QString ModelScale;
    int16_t ScaleFactor = 0;
    float SpeedMultiplier = 0.0f;
    int16_t CommPort = 1;
    // Every entry of the minimum lap list is a multiple of 0.25 s, so a Single holds
    // the chosen number exactly: the lap rule, the demo laps and the title all start
    // from this one value.
    float MinLapTime = 2.0f;
    int16_t StartDelay = 0;
    int16_t FirstLapIndex = 0;
    PerFlag<QString> RacerName{};
    PerFlag<QString> LaneColorName{};
    PerFlag<int32_t> FlagColor{};
    PerFlag<bool> Disabled{};  // the flag's "Disable" box

    // Race format: at most one of the three kinds is true (none when none is chosen).
    int16_t RaceLaps = 0;
    int32_t RaceMinutes = 0;
    bool IsPractice = false;
    bool IsLapRace = false;
    bool IsTimedRace = false;
    bool Demo = false;  // the demo generator makes up the crossings

    // Race clock and input.
    int32_t RaceClock = 0;
    int16_t FlagNo = 0;
    QString PortInput;

    // Per flag.
    PerFlag<int16_t> LapCount{};
    PerFlag<int32_t> LastCrossing{};
    PerFlag<int32_t> LastCrossTime{};
    PerFlag<int32_t> NewLapTime{};
    PerFlag<int32_t> ShownLapTime{};
    PerFlag<int32_t> BestLapTime{};
    PerFlag<int16_t> FinishLap{};
    PerFlag<QString> LagBehind{};
    PerFlag<QString> LagFirst{};
    PerFlag<QString> MedianLap{};
    PerFlag<int16_t> Position{};
    PerFlag<int16_t> RunningOrder{};  // indexed by position

    // Lap store (seconds, rounded to hundredths), by flag and lap number 0..3000.
    LapStore LapTimes{};
    LapStore SortedLapTimes{};
    // How many leading laps (1..n) of SortedLapTimes are known to be in order, so a
    // refresh only inserts the laps counted since the last sort.
    PerFlag<int16_t> sortedUpTo{};

    // Race phase.
    int16_t RaceOver = 0;
    int16_t TenSecondWarned = 0;
    bool WhiteFlagShown = false;
    bool CheckeredShown = false;
    int32_t FinishDeadline = kNoDeadline;
    QString FlagPicture;
    QString RaceDateTime;
    QString RaceTitle;
    LagColumn LagMode = LagColumn::LagFirst;  // as RaceLag.dat holds it
    bool LapsUnsaved = false;
    bool SummaryUnsaved = false;

    // Demo generator.
    PerFlag<int32_t> DemoNextLap{};
    PerFlag<int32_t> DemoLapSpread{};
    PerFlag<int32_t> DemoLapBase{};
    PerFlag<int16_t> DemoCrashChance{};

    // Lap table sort mode; survives races and the closing of the lap window.
    bool SortByLapTime = false;

    // Race control.
    RacePhase phase = RacePhase::Idle;
    bool timerRunning = false;

    RaceScreen screen;

    bool isDisabled(int flag) const { return flag >= 1 && flag <= kFlags && Disabled[flag]; }
    // The flag's name as its name cell, the lap file and the checks before a start see it.
    FlagName flagName(int flag) const;

    // Sets every lap time to 0.
    void ClearLapTimes();
    // Sets every sorted lap time to 0.
    void ResetSortedLapTimesArray();
    void ResetBestLaps();
};

}  // namespace lapdeck
