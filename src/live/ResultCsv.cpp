#include "ResultCsv.h"

#include <QStringList>

namespace lapdeck {
namespace {

constexpr int kTotalTimeColumn = 4;
constexpr int kFirstNumberColumn = 3;

QString field(QString text) {
    text = text.trimmed();
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
        text.contains(u'\r')) {
        text = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    return text;
}

QString textField(const QString& text) {
    const QString trimmed = text.trimmed();
    const bool formula = !trimmed.isEmpty() && QStringLiteral("=+-@").contains(trimmed.front());
    return field(formula ? u'\'' + trimmed : trimmed);
}

QByteArray lines(const std::vector<QStringList>& rows) {
    QByteArray out;
    for (const QStringList& row : rows) {
        out += row.join(u',').toUtf8() + "\r\n";
    }
    return out;
}

// " 3:07.250" as seconds, "187.250"; anything else as it stands.
QString totalSeconds(const QString& text) {
    const QString t = text.trimmed();
    const qsizetype colon = t.indexOf(u':');
    const qsizetype point = t.indexOf(u'.');
    bool minutesOk = false;
    bool secondsOk = false;
    bool msOk = false;
    const qint64 minutes = t.left(colon).toLongLong(&minutesOk);
    const int seconds = t.mid(colon + 1, point - colon - 1).toInt(&secondsOk);
    const int ms = t.mid(point + 1).toInt(&msOk);
    if (colon < 0 || point < colon || !minutesOk || !secondsOk || !msOk) {
        return field(t);
    }
    return QStringLiteral("%1.%2").arg(minutes * 60 + seconds).arg(ms, 3, 10, QLatin1Char('0'));
}

}  // namespace

QByteArray lapTableCsv(const LapTable& table) {
    const ResultGrid& grid = table.grid;
    std::vector<QStringList> rows;
    QStringList header{QStringLiteral("Lap")};
    for (int k = 1; k < kLapGridColumns; ++k) {
        const QString colour = grid.text(0, k).trimmed();
        header << textField(colour.isEmpty()
                                ? grid.text(1, k)
                                : grid.text(1, k).trimmed() + QStringLiteral(" (") + colour + u')');
    }
    rows.push_back(header);
    for (int r = kLapGridHeaderRows; r < kLapGridHeaderRows + table.lapRows; ++r) {
        QStringList row{field(grid.text(r, 0))};
        for (int k = 1; k < kLapGridColumns; ++k) {
            row << field(grid.text(r, k));
        }
        rows.push_back(row);
    }
    return lines(rows);
}

QByteArray summaryCsv(const RaceSummary& summary) {
    const ResultGrid& grid = summary.grid;
    std::vector<QStringList> rows;
    QStringList header;
    for (int k = 0; k < kSummaryColumns; ++k) {
        header << field((grid.text(0, k).trimmed() + u' ' + grid.text(1, k).trimmed()).trimmed());
    }
    rows.push_back(header);
    for (int r = 2; r < 2 + kFlags; ++r) {
        const bool tooFewLaps = grid.contains(r, kTotalTimeColumn) &&
                                grid.cell(r, kTotalTimeColumn).foreground == kInsufficientColour;
        QStringList row;
        for (int k = 0; k < kSummaryColumns; ++k) {
            const QString& text = grid.text(r, k);
            if (k < kFirstNumberColumn) {
                row << (k == 0 ? field(text) : textField(text));
            } else if (tooFewLaps) {
                row << QString();
            } else {
                row << (k == kTotalTimeColumn ? totalSeconds(text) : field(text));
            }
        }
        rows.push_back(row);
    }
    return lines(rows);
}

QByteArray lapGridCsv(const ResultGrid& grid) {
    LapTable table{grid, {}, {}, 0};
    while (kLapGridHeaderRows + table.lapRows < grid.rowCount() &&
           !grid.text(kLapGridHeaderRows + table.lapRows, 0).trimmed().isEmpty()) {
        ++table.lapRows;
    }
    return lapTableCsv(table);
}

QByteArray summaryGridCsv(const ResultGrid& grid) {
    return summaryCsv(RaceSummary{grid, {}});
}

}  // namespace lapdeck
