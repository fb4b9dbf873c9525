#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QString>

#include "RaceState.h"
#include "RaceSummary.h"
#include "ResultGrid.h"

namespace lapdeck {

class ResultFieldReader;

// Column widths (twips) of the summary window showing an opened summary file.
inline constexpr std::array<int, kSummaryColumns> kOpenedSummaryColumnTwips = {
    400, 1100, 750, 500, 950, 700, 700, 700, 700, 700, 700, 600, 500};

// The summary format: the race title, then every cell of the grid, row by row, one
// line each, CR LF ended (1 + 9 x 13 lines).
QByteArray summaryFileBytes(const QString& raceTitle, const ResultGrid& grid);

// The text form, built afresh from the race state; it recomputes the statistics of
// every flag it lists in full. A race without positions gives the two header lines
// only, with `notice` the message the user is shown before the file is written.
struct SummaryText {
    QByteArray bytes;
    std::optional<ResultMessage> notice;
};
SummaryText summaryTextBytes(const RaceState& state, SummaryStats& stats);

// A summary file read back: its first field and the cells of rows 0..7 (row 8 stays
// empty), all centred, "Insufficent" and "Data" in red.
struct SummaryFileContent {
    QString title;
    ResultGrid grid;
};

// Reads the summary format. A file that ends before row 7 is complete, or holds a
// cell over 1,000 characters, gives a message saying so.
Expected<SummaryFileContent> readSummaryFile(ResultFieldReader& fields);
Expected<SummaryFileContent> readSummaryFile(const QByteArray& bytes);

}  // namespace lapdeck
