#pragma once

#include <QByteArray>

#include "LapTable.h"
#include "RaceSummary.h"

namespace lapdeck {

// The lap table and the summary as comma-separated values for a spreadsheet: UTF-8,
// CR LF line ends, one header row, every time a number of seconds with a full stop.
// Texts are quoted where they need it; a name a spreadsheet would take for a formula
// (starting with = + - @) gets a leading apostrophe.

// "Lap", then each column's racer with its flag colour ("Ann (Yellow)"); one row per
// lap row of the table ("RT" for the run to the first crossing), empty cells kept.
QByteArray lapTableCsv(const LapTable& table);

// The summary's thirteen columns under one header ("Pos", "Name", "Flag Color",
// "Total Laps", "Total Time" ...); the total time as seconds (" 3:07.250" -> 187.250).
// A flag with too few laps for statistics has its position, name and colour only.
QByteArray summaryCsv(const RaceSummary& summary);

// The same from the grid a results window shows, a file read back too; its lap rows
// are those up to the first without a label.
QByteArray lapGridCsv(const ResultGrid& grid);
QByteArray summaryGridCsv(const ResultGrid& grid);

}  // namespace lapdeck
