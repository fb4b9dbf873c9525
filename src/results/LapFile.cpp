#include "LapFile.h"

#include <QBuffer>

#include "LapTable.h"
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

constexpr int kLabelWidth = 8;
constexpr int kPracticeNoWidth = 7;
constexpr int kTimeWidth = 12;

ResultMessage unreadable(const QString& why) {
    return ResultMessage{QStringLiteral("Open"),
                         QStringLiteral("This lap file cannot be read: ") + why, Icon::Exclamation};
}

float lapTime(const RaceState& state, int flag, int lap) {
    return state.LapTimes[static_cast<size_t>(flag)][static_cast<size_t>(lap)];
}

}  // namespace

QByteArray lapFileBytes(const QString& headerLine, const ResultGrid& grid) {
    QString text = headerLine + kCrLf;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int k = 0; k < grid.columnCount(); ++k) {
            text += grid.cell(r, k).text;
            text += kCrLf;
        }
    }
    return text.toUtf8();
}

Expected<QByteArray> lapTextBytes(const RaceState& state) {
    QList<int> flags;
    for (int k = 1; k <= kFlags; ++k) {
        const int f = lapTableFlag(state, k);
        if (f < 1 || f > kFlags) {
            return ResultMessage{QStringLiteral("Lap Times"),
                                 QStringLiteral("Insufficient data to view Laps"),
                                 Icon::Information};
        }
        if (state.IsPractice || !state.isDisabled(f)) {
            flags.append(f);
        }
    }

    QString colours = padRight(QStringLiteral("Lap"), kLabelWidth);
    QString names = state.IsPractice ? padRight(QStringLiteral(" No"), kPracticeNoWidth)
                                     : padRight(QStringLiteral(" No"), kLabelWidth);
    for (int f : flags) {
        const size_t fi = static_cast<size_t>(f);
        colours += padRight(state.LaneColorName[fi], kTimeWidth);
        // Practice lists the name captions of the screen rows (row f shows flag f).
        names += padRight(state.IsPractice ? state.flagName(f).caption() : state.RacerName[fi],
                          kTimeWidth);
    }
    QString text = state.RaceTitle + kCrLf + colours + kCrLf + names + kCrLf;

    auto hasLap = [&state](int n) {
        if (!state.IsPractice) {
            return lapTime(state, state.RunningOrder[1], n) != 0.0f;
        }
        for (int f = 1; f <= kFlags; ++f) {
            if (lapTime(state, f, n) != 0.0f) {
                return true;
            }
        }
        return false;
    };
    for (int n = std::max(state.FirstLapIndex + 1, 0); n <= kMaxLap && hasLap(n); ++n) {
        QString line = padRight(u' ' + wholeText(n), kLabelWidth);
        for (int f : flags) {
            line += padRight(storedLapTime(lapTime(state, f, n)), kTimeWidth);
        }
        text += line;
        text += kCrLf;
    }
    text += kCrLf;
    return text.toUtf8();
}

Expected<LapFileContent> readLapFile(ResultFieldReader& reader) {
    LapFileContent content;
    const std::optional<QString> title = reader.next();
    if (!title) {
        return unreadable(reader.failure().value_or(QStringLiteral("the file is empty.")));
    }
    content.title = *title;
    content.grid = ResultGrid(0, kLapGridColumns);
    int row = 0;
    while (!reader.atEnd()) {
        if (row >= kLapFileMaxRows) {
            return unreadable(QStringLiteral("it holds more than 3001 rows."));
        }
        content.grid.setRowCount(row + 1);
        for (int k = 0; k < kLapGridColumns; ++k) {
            std::optional<QString> field = reader.next();
            if (!field) {
                return unreadable(
                    reader.failure().value_or(QStringLiteral("it ends in the middle of a row.")));
            }
            GridCell& cell = content.grid.cell(row, k);
            cell.text = std::move(*field);
            cell.align = row >= kLapGridHeaderRows ? CellAlign::Centre : CellAlign::LeftCentre;
        }
        ++row;
    }
    if (const std::optional<QString> why = reader.failure()) {
        return unreadable(*why);
    }
    return content;
}

Expected<LapFileContent> readLapFile(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TextLineReader lines(buffer, kMaxResultLineBytes);
    ResultFieldReader reader(lines);
    return readLapFile(reader);
}

}  // namespace lapdeck
