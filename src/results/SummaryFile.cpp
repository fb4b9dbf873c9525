#include "SummaryFile.h"

#include <algorithm>

#include <QBuffer>

#include "LapTimeText.h"
#include "NumberFormat.h"
#include "ResultFieldReader.h"
#include "TextColumns.h"
#include "TextFile.h"

namespace lapdeck {
namespace {

using results_detail::kCrLf;
using results_detail::padRight;
using results_detail::wholeText;

constexpr int kLastReadRow = 7;  // the empty row 8 is written but not read back

// One text form column: its header texts and width. An absent header is left out
// of its line altogether; a null width means the text stands as is.
struct HeaderField {
    const char16_t* line1;
    const char16_t* line2;
    int width;
};

constexpr HeaderField kRaceHeader[] = {
    {u" Pos", u" Name", 12}, {u"Flag", u"Color", 7}, {u"Total", u"Laps", 6},
    {u"Total", u"Time", 11}, {u"Lag", u"First", 6},  {u"Lag", u"Behind", 7},
    {u"Best", u"MPH", 7},    {u"Best", u"Lap", 6},   {u"Avg", u"Time", 6},
    {nullptr, u"Med", 6},    {nullptr, u"Crash", 5}, {nullptr, u" %", 0},
};

constexpr HeaderField kPracticeHeader[] = {
    {u"Racer", u"Name", 10}, {u"Flag", u"Color", 7}, {u"Total", u"Laps", 6},
    {u"Best", u"MPH", 7},    {u"Best", u"Lap", 7},   {u"Ave", u"Time", 7},
    {nullptr, u"Med", 6},    {nullptr, u"Crash", 6}, {nullptr, u" %", 0},
};

QString headerLine(const HeaderField* fields, size_t count, bool second) {
    QString line;
    for (size_t i = 0; i < count; ++i) {
        const char16_t* text = second ? fields[i].line2 : fields[i].line1;
        if (text == nullptr) {
            continue;
        }
        const QString field = QString::fromUtf16(text);
        line += fields[i].width > 0 ? padRight(field, fields[i].width) : field;
    }
    return line;
}

// The widths of a listed flag's fields, race and practice.
struct RowWidths {
    int name, colour, laps, speed, best, average, median, crash;
};
constexpr RowWidths kRaceRow{10, 8, 5, 7, 6, 6, 8, 4};
constexpr RowWidths kPracticeRow{10, 8, 5, 7, 7, 7, 7, 6};
constexpr int kRaceShortName = 10;
constexpr int kPracticeShortName = 9;
constexpr int kTotalTimeWidth = 11;
constexpr int kLagFirstWidth = 6;
constexpr int kLagBehindWidth = 7;

ResultMessage unreadable(const QString& why) {
    return ResultMessage{QStringLiteral("Open"),
                         QStringLiteral("This summary file cannot be read: ") + why,
                         Icon::Exclamation};
}

}  // namespace

QByteArray summaryFileBytes(const QString& raceTitle, const ResultGrid& grid) {
    QString text = raceTitle + kCrLf;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int k = 0; k < grid.columnCount(); ++k) {
            text += grid.cell(r, k).text;
            text += kCrLf;
        }
    }
    return text.toUtf8();
}

SummaryText summaryTextBytes(const RaceState& state, SummaryStats& stats) {
    const bool race = !state.IsPractice;
    const HeaderField* header = race ? kRaceHeader : kPracticeHeader;
    const size_t headerCount = race ? std::size(kRaceHeader) : std::size(kPracticeHeader);
    const QString head = headerLine(header, headerCount, false) + kCrLf +
                         headerLine(header, headerCount, true) + kCrLf;

    SummaryText result;
    QString rows;
    if (race && state.RunningOrder[1] == 0) {
        result.notice =
            ResultMessage{QStringLiteral("Summary"),
                          QStringLiteral("Insufficent data to display summary"), Icon::Information};
    } else {
        const RowWidths& w = race ? kRaceRow : kPracticeRow;
        for (int i = 1; i <= kFlags; ++i) {
            const int f = race ? state.RunningOrder[static_cast<size_t>(i)] : i;
            if (f < 1 || f > kFlags || state.isDisabled(f)) {
                continue;
            }
            const size_t fi = static_cast<size_t>(f);
            const int laps = state.LapCount[fi];
            if (laps < state.FirstLapIndex + 2) {
                rows += padRight(state.RacerName[fi], race ? kRaceShortName : kPracticeShortName);
                rows += QStringLiteral(" Insufficent data to display summary") + kCrLf;
                continue;
            }
            QString line;
            if (race) {
                line += wholeText(i) + u' ';
            }
            line += padRight(state.RacerName[fi], w.name);
            line += padRight(state.LaneColorName[fi], w.colour);
            line += padRight(wholeText(laps), w.laps);
            if (race) {
                line += padRight(totalTimeText(state.LastCrossing[fi]), kTotalTimeWidth);
                line += padRight(state.LagFirst[fi], kLagFirstWidth);
                line += padRight(state.LagBehind[fi], kLagBehindWidth);
            }
            // Fields left out move the rest left.
            if (laps > 1) {
                line += padRight(bestSpeedText(state, f), w.speed);
            }
            if (state.BestLapTime[fi] != kNoBestLap) {
                line += padRight(bestLapText(state, f), w.best);
            }
            const bool averaged = computeAverageLap(state, f, stats);
            line += padRight(averaged ? storedLapTime(stats.AverageLap[fi]) : QString(), w.average);
            line += padRight(state.MedianLap[fi], w.median);
            computeCrashes(state, f, stats);
            line += padRight(wholeText(stats.CrashCount[fi]), w.crash);
            line += wholeText(stats.CrashPercent[fi]);
            rows += line + kCrLf;
        }
    }
    result.bytes = (head + kCrLf + rows + kCrLf).toUtf8();
    return result;
}

Expected<SummaryFileContent> readSummaryFile(ResultFieldReader& reader) {
    SummaryFileContent content;
    const std::optional<QString> title = reader.next();
    if (!title) {
        return unreadable(reader.failure().value_or(QStringLiteral("the file is empty.")));
    }
    content.title = *title;
    content.grid = ResultGrid(kSummaryRows, kSummaryColumns);
    for (int r = 0; r <= kLastReadRow; ++r) {
        for (int k = 0; k < kSummaryColumns; ++k) {
            std::optional<QString> field = reader.next();
            if (!field) {
                return unreadable(reader.failure().value_or(
                    QStringLiteral("it ends before the summary is complete.")));
            }
            GridCell& cell = content.grid.cell(r, k);
            cell.align = CellAlign::Centre;
            if (*field == u"Insufficent" || *field == u"Data") {
                cell.foreground = kInsufficientColour;
            }
            cell.text = std::move(*field);
        }
    }
    return content;
}

Expected<SummaryFileContent> readSummaryFile(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TextLineReader lines(buffer, kMaxResultLineBytes);
    ResultFieldReader reader(lines);
    return readSummaryFile(reader);
}

}  // namespace lapdeck
