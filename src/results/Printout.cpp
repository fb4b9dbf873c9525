#include "Printout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "LapTimeText.h"
#include "NumberFormat.h"
#include "RaceSummary.h"
#include "TextColumns.h"

namespace lapdeck {
namespace {

constexpr std::array<int, kFlags> kLapColumns = {13, 29, 45, 61, 77, 93};
constexpr int kLapLabelColumn = 7;

// A number printed as a number: a blank where a plus sign would go, and one after.
QString printedNumber(double value) {
    const QString digits = shortestNumber(std::fabs(value));
    return (value < 0 ? u'-' : u' ') + digits + u' ';
}

PrintLine line(int points, std::vector<PrintItem> items = {}) {
    std::vector<PrintItem> kept;
    for (PrintItem& item : items) {
        if (!item.text.isEmpty()) {
            kept.push_back(std::move(item));
        }
    }
    return PrintLine{points, std::move(kept)};
}

// The title and the three header lines over the six lap columns.
Printout lapHeader(const std::array<QString, kFlags>& colours,
                   const std::array<QString, kFlags>& names) {
    static const char16_t* const kPlaces[] = {u"First",  u"Second", u"Third",
                                              u"Fourth", u"Fifth",  u"Sixth"};
    Printout p;
    p.documentName = QStringLiteral("Laps");
    p.lines.push_back(line(kPrintTextPoints));
    p.lines.push_back(line(kPrintTitlePoints, {{31, QStringLiteral("Laps")}}));
    p.lines.push_back(line(kPrintTextPoints));
    std::vector<PrintItem> places, colourItems{{kLapLabelColumn, QStringLiteral("Lap")}},
        nameItems{{kLapLabelColumn, QStringLiteral("No")}};
    for (size_t k = 0; k < kFlags; ++k) {
        places.push_back({kLapColumns[k], QString::fromUtf16(kPlaces[k])});
        colourItems.push_back({kLapColumns[k], colours[k]});
        nameItems.push_back({kLapColumns[k], names[k]});
    }
    p.lines.push_back(line(kPrintTextPoints, std::move(places)));
    p.lines.push_back(line(kPrintTextPoints, std::move(colourItems)));
    p.lines.push_back(line(kPrintTextPoints, std::move(nameItems)));
    return p;
}

void addLapLine(Printout& p, int lap, const std::array<float, kFlags>& times) {
    std::vector<PrintItem> items{{kLapLabelColumn, printedNumber(lap)}};
    for (size_t k = 0; k < kFlags; ++k) {
        items.push_back({kLapColumns[k], printedLapTime(times[k])});
    }
    p.lines.push_back(line(kPrintTextPoints, std::move(items)));
}

struct SummaryHeading {
    int column;
    const char16_t* practice1;
    const char16_t* practice2;
    const char16_t* race1;
    const char16_t* race2;
};

constexpr SummaryHeading kSummaryHeadings[] = {
    {6, u"", u"Name", u"Pos", u""},
    {8, u"", u"", u"", u"Name"},
    {23, u"Flag", u"Color", u"Flag", u"Color"},
    {31, u"Total", u"Laps", u"Total", u"Laps"},
    {39, u"Total", u"Time", u"Total", u"Time"},
    {53, u"Best", u"MPH", u"Lag", u"First"},
    {61, u"Best", u"Lap", u"Lag", u"Behind"},
    {69, u"Avg", u"Time", u"Best", u"MPH"},
    {77, u"", u"Med", u"Best", u"Lap"},
    {84, u"", u"Crash", u"Avg", u"Time"},
    {92, u"", u"%", u"", u"Med"},
    {99, u"", u"", u"", u"Crash"},
    {107, u"", u"", u"", u"%"},
};

// Print columns of the grid's cells 2.. (race) and of the practice cells.
constexpr int kRaceCellColumns[] = {23, 31, 39, 53, 61, 69, 77, 84, 92, 99, 107};
constexpr std::pair<int, int> kPracticeCells[] = {{6, 1},  {23, 2}, {31, 3},  {39, 4},  {53, 7},
                                                  {61, 8}, {69, 9}, {77, 10}, {84, 11}, {92, 12}};

}  // namespace

Printout lapPrintout(const RaceState& state) {
    std::array<int, kFlags> flags{};
    std::array<QString, kFlags> colours, names;
    for (size_t k = 0; k < kFlags; ++k) {
        const int f = state.IsPractice ? static_cast<int>(k) + 1 : state.RunningOrder[k + 1];
        flags[k] = f >= 1 && f <= kFlags ? f : 0;
        if (flags[k] != 0) {
            colours[k] = state.LaneColorName[static_cast<size_t>(f)];
            names[k] = results_detail::resultName(state, f);
        }
    }
    Printout p = lapHeader(colours, names);
    auto lapTime = [&state](int flag, int n) {
        return flag == 0 ? 0.0f : state.LapTimes[static_cast<size_t>(flag)][static_cast<size_t>(n)];
    };
    for (int n = std::max(state.FirstLapIndex + 1, 0); n <= kMaxLap; ++n) {
        std::array<float, kFlags> times{};
        bool any = false;
        for (size_t k = 0; k < kFlags; ++k) {
            times[k] = lapTime(flags[k], n);
            any = any || times[k] != 0.0f;
        }
        // The leader's laps decide a race's length; in practice the longest run does.
        if (state.IsPractice ? !any : times[0] == 0.0f) {
            break;
        }
        addLapLine(p, n, times);
    }
    return p;
}

Printout lapPrintout(const ResultGrid& grid) {
    std::array<QString, kFlags> colours, names;
    for (size_t k = 0; k < kFlags; ++k) {
        colours[k] = grid.text(0, static_cast<int>(k) + 1);
        names[k] = grid.text(1, static_cast<int>(k) + 1);
    }
    Printout p = lapHeader(colours, names);
    for (int r = 2; r < grid.rowCount(); ++r) {
        const QString label = grid.text(r, 0).trimmed();
        if (label.isEmpty()) {
            break;
        }
        std::array<float, kFlags> times{};
        for (size_t k = 0; k < kFlags; ++k) {
            times[k] = static_cast<float>(leadingNumber(grid.text(r, static_cast<int>(k) + 1)));
        }
        const int lap = label == u"RT" ? 0 : static_cast<int>(leadingNumber(label));
        addLapLine(p, lap, times);
    }
    return p;
}

Printout summaryPrintout(const ResultGrid& grid, const QString& raceTitle, const QDateTime& now) {
    const bool practice = grid.text(1, 0).trimmed() == u"Flag";
    Printout p;
    p.documentName = QStringLiteral("Summary");
    p.landscape = true;
    p.lines.push_back(line(kPrintTextPoints));
    p.lines.push_back(line(kPrintTextPoints));
    p.lines.push_back(line(kPrintTitlePoints, {{10, QStringLiteral("Summary,  ") + raceTitle}}));
    p.lines.push_back(line(kPrintTextPoints, {{17, summaryDateText(now)}}));
    p.lines.push_back(line(kPrintTextPoints));
    for (int headerLine = 1; headerLine <= 2; ++headerLine) {
        std::vector<PrintItem> items;
        for (const SummaryHeading& h : kSummaryHeadings) {
            const char16_t* text = practice ? (headerLine == 1 ? h.practice1 : h.practice2)
                                            : (headerLine == 1 ? h.race1 : h.race2);
            items.push_back({h.column, QString::fromUtf16(text)});
        }
        p.lines.push_back(line(kPrintTextPoints, std::move(items)));
    }
    for (int r = 2; r <= 7; ++r) {
        std::vector<PrintItem> items;
        if (practice) {
            for (const auto& [column, cell] : kPracticeCells) {
                items.push_back({column, grid.text(r, cell)});
            }
        } else {
            items.push_back({6, QString::number(r - 1) + grid.text(r, 1)});
            for (int cell = 2; cell <= 12; ++cell) {
                items.push_back({kRaceCellColumns[cell - 2], grid.text(r, cell)});
            }
        }
        p.lines.push_back(line(kPrintTextPoints, std::move(items)));
    }
    return p;
}

void appendChanges(Printout& printout, const QString& heading, const QStringList& changes) {
    if (changes.isEmpty()) {
        return;
    }
    printout.lines.push_back(PrintLine{kPrintTextPoints, {}});
    printout.lines.push_back(PrintLine{kPrintTextPoints, {PrintItem{1, heading}}});
    for (const QString& change : changes) {
        printout.lines.push_back(PrintLine{kPrintTextPoints, {PrintItem{1, change}}});
    }
}

std::vector<size_t> pageStarts(const std::vector<PrintLine>& lines, double pageHeight,
                               const std::function<double(const PrintLine&)>& lineHeight) {
    std::vector<size_t> starts{0};
    double used = 0.0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const double height = lineHeight(lines[i]);
        if (used > 0.0 && used + height > pageHeight) {
            starts.push_back(i);
            used = 0.0;
        }
        used += height;
    }
    return starts;
}

}  // namespace lapdeck
