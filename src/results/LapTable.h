#pragma once

#include <QString>

#include "RaceState.h"
#include "ResultGrid.h"

namespace lapdeck {

inline constexpr int kLapGridColumns = 7;        // lap label and one column per flag
inline constexpr int kLapGridMinRows = 20;       // the grid never shows fewer rows
inline constexpr int kLapGridBuildRows = 3000;   // rows 0..2999 while a table is built
inline constexpr int kLapGridDesignRows = 2002;  // a freshly opened window's grid
inline constexpr int kLapGridHeaderRows = 2;

// The lap table as the lap window shows it.
struct LapTable {
    ResultGrid grid;
    QString caption;  // the window's caption
    QString header;   // the header box: the race title
    int lapRows = 0;  // rows 2 .. 2 + lapRows - 1 are lap rows
};

// Builds the lap table from the race state: one column per flag (race: in running
// order; practice: in flag order), one row per lap, in lap order or, with
// state.SortByLapTime, each flag's laps fastest first (this sorts the state's sorted
// copy and refreshes the medians). A race without positions gives the message
// "Insufficient data to view Laps".
Expected<LapTable> buildLapTable(RaceState& state);

// The flag a column of the lap table shows (0 when a race has no positions yet).
int lapTableFlag(const RaceState& state, int column);

// Row label of a lap index: "RT" for lap 0, else the index after one blank (" 12").
QString lapLabel(int lapIndex);

}  // namespace lapdeck
