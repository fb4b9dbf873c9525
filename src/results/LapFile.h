#pragma once

#include <QByteArray>
#include <QString>

#include "RaceState.h"
#include "ResultGrid.h"

namespace lapdeck {

class ResultFieldReader;

inline constexpr int kLapFileMaxRows = 3001;  // rows 0..3000 of a lap file read back

// The lap format: the header line, then every cell of the grid, row by row, one
// line each, CR LF ended (1 + 7 x rows lines).
QByteArray lapFileBytes(const QString& headerLine, const ResultGrid& grid);

// The text form: race title, colour names and racer names, then one line per lap
// index with every listed flag's time (race: running order without the disabled
// flags; practice: flags 1..6 under their name captions), then an empty line. Always
// in lap order. A race without positions gives "Insufficient data to view Laps".
Expected<QByteArray> lapTextBytes(const RaceState& state);

// A lap file read back: its first field and the cells, 7 per row, centred from row
// 2 on. The window shows them over a grid of at least kLapGridDesignRows rows.
struct LapFileContent {
    QString title;
    ResultGrid grid;
};

// Reads the lap format. A file that ends in the middle of a row, is empty, has more
// than 3001 rows or a cell over 1,000 characters gives a message saying so.
Expected<LapFileContent> readLapFile(ResultFieldReader& fields);
Expected<LapFileContent> readLapFile(const QByteArray& bytes);

}  // namespace lapdeck
