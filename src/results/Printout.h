#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "RaceState.h"
#include "ResultGrid.h"

namespace lapdeck {

// One item of a printed line, starting at a character column (the first is 1).
struct PrintItem {
    int column = 1;
    QString text;

    bool operator==(const PrintItem&) const = default;
};

// A square picture of dark and light modules (a QR code, its quiet zone included),
// `widthMm` wide and high.
struct PrintModules {
    int size = 0;            // modules per side; 0: no picture
    std::vector<bool> dark;  // row by row
    double widthMm = 0.0;

    bool operator==(const PrintModules&) const = default;
};

// A printed line in one font size; a line without items is an empty line. A line
// with a picture shows it centred instead, as high as it is wide.
struct PrintLine {
    PrintLine() = default;
    PrintLine(int points, std::vector<PrintItem> items) : points(points), items(std::move(items)) {}

    int points = 12;
    std::vector<PrintItem> items;
    PrintModules picture;

    bool operator==(const PrintLine&) const = default;
};

// A printed document: text lines with items at character columns, as a printer
// (or a PDF) lays them out. The drawing is the platform's; what goes where is here.
struct Printout {
    QString documentName;
    bool landscape = false;
    std::vector<PrintLine> lines;
};

inline constexpr int kPrintTitlePoints = 20;
inline constexpr int kPrintTextPoints = 12;

// The lap table of the race state, always in lap order: a title, three header lines
// (places, colour names, racer names or "Disabled") and one line per lap from
// FirstLapIndex + 1 while the leader (practice: any flag) has a lap, at most to lap
// 3000. Lap numbers and times are printed as numbers (" 12.35 ", " 0 " for no lap).
// Reads the state only: the names of disabled lanes stay as they are.
Printout lapPrintout(const RaceState& state);

// The same layout from a lap grid as shown (a lap file read back): colour names from
// row 0, names from row 1, and a line for each lap row up to the first without a
// label ("RT" prints as lap 0).
Printout lapPrintout(const ResultGrid& grid);

// The summary as shown: a title with the race title, the print date and time
// ("Dec-05, 16:07"), two header lines and the six flag rows of the grid. Practice or
// race is read from the grid's "Flag " or "Pos " heading. Landscape.
Printout summaryPrintout(const ResultGrid& grid, const QString& raceTitle, const QDateTime& now);

// A corrected race's printout ends with its changes: an empty line, `heading`
// ("Corrected: 2 changes") and one line per change. Nothing without changes.
void appendChanges(Printout& printout, const QString& heading, const QStringList& changes);

// Splits the lines into pages of at most `pageHeight`, each line taking
// `lineHeight(line)`; a page always takes at least one line. Returns each page's
// first line index.
std::vector<size_t> pageStarts(const std::vector<PrintLine>& lines, double pageHeight,
                               const std::function<double(const PrintLine&)>& lineHeight);

}  // namespace lapdeck
