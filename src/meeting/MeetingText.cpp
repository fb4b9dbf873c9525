#include "MeetingText.h"

#include <algorithm>

#include "LapTimeText.h"
#include "NumberFormat.h"
#include "RaceState.h"
#include "Ranking.h"

namespace lapdeck {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString lapsText(int laps) {
    return QString::number(std::max(laps, 0));  // -1: not even the run to the line
}

QString bestLapText(int32_t ms) {
    return ms >= kNoBestLap || ms <= 0 ? QString() : summaryBestLap(ms);
}

QStringList resultCells(const std::optional<RacerResult>& result) {
    if (!result) {
        return {QString(), QString(), QString()};
    }
    return {lapsText(result->laps), resultTimeText(result->timeMs), bestLapText(result->bestLapMs)};
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n')) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

QString plainText(const TextTable& table) {
    std::vector<qsizetype> widths(static_cast<size_t>(table.header.size()), 0);
    auto measure = [&widths](const QStringList& row) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (static_cast<size_t>(i) >= widths.size()) {
                widths.push_back(0);
            }
            widths[static_cast<size_t>(i)] =
                std::max(widths[static_cast<size_t>(i)], row[i].size());
        }
    };
    measure(table.header);
    for (const QStringList& row : table.rows) {
        measure(row);
    }
    auto line = [&widths](const QStringList& row) {
        QString out;
        for (qsizetype i = 0; i < row.size(); ++i) {
            out += i + 1 < row.size() ? row[i].leftJustified(widths[static_cast<size_t>(i)] + 2)
                                      : row[i];
        }
        return out.trimmed() + kCrLf;
    };
    QString text = table.title + kCrLf + kCrLf + line(table.header);
    for (const QStringList& row : table.rows) {
        text += line(row);
    }
    return text;
}

QByteArray csvText(const TextTable& table) {
    QString text;
    auto line = [&text](const QStringList& row) {
        QStringList fields;
        for (const QString& cell : row) {
            fields.append(csvField(cell));
        }
        text += fields.join(u',') + kCrLf;
    };
    line(table.header);
    for (const QStringList& row : table.rows) {
        line(row);
    }
    return text.toUtf8();
}

QString statusText(HeatStatus status) {
    switch (status) {
        case HeatStatus::Waiting:
            return QStringLiteral("Waiting");
        case HeatStatus::Running:
            return QStringLiteral("Running");
        case HeatStatus::Done:
            return QStringLiteral("Done");
        case HeatStatus::Replaced:
            break;
    }
    return QStringLiteral("Replaced");
}

QString resultTimeText(int32_t ms) {
    if (ms <= 0) {
        return QString();
    }
    const int32_t seconds = ms / 1000;
    return QString::number(seconds / 60) + QLatin1Char(':') + formatNumber(seconds % 60, u"00") +
           QLatin1Char('.') + formatNumber(ms % 1000, u"000");
}

TextTable heatListTable(const MeetingPlan& plan, const std::vector<QDateTime>& starts) {
    const bool timed = !starts.empty();
    TextTable table{QStringLiteral("Heat list"), {QStringLiteral("Heat")}, {}};
    if (timed) {
        table.header.append(QStringLiteral("Time"));
    }
    for (int f = 1; f <= kFlags; ++f) {
        table.header.append(QStringLiteral("Flag %1").arg(f));
    }
    table.header.append(QStringLiteral("Status"));
    for (size_t i = 0; i < plan.heats.size(); ++i) {
        const PlannedHeat& heat = plan.heats[i];
        QStringList row{heat.title()};
        if (timed) {
            const QDateTime start = i < starts.size() ? starts[i] : QDateTime();
            row.append(start.isValid() ? start.toString(QStringLiteral("HH:mm")) : QString());
        }
        for (int f = 1; f <= kFlags; ++f) {
            auto seat = std::find_if(heat.seats.begin(), heat.seats.end(),
                                     [f](const PlannedSeat& s) { return s.flag == f; });
            row.append(seat == heat.seats.end() ? QString()
                       : seat->name.isEmpty() ? QLatin1Char('(') + seat->standIn + QLatin1Char(')')
                                              : seat->name);
        }
        row.append(statusText(heat.status));
        table.rows.push_back(row);
    }
    return table;
}

TextTable roundResultsTable(const Meeting& meeting, const QString& className, int round) {
    TextTable table{QStringLiteral("%1 round %2").arg(className).arg(round),
                    {QStringLiteral("Place"), QStringLiteral("Name"), QStringLiteral("Heat"),
                     QStringLiteral("Flag"), QStringLiteral("Laps"), QStringLiteral("Time"),
                     QStringLiteral("Best lap"), QStringLiteral("Points")},
                    {}};
    for (const RoundPlace& p : roundRanking(meeting, className, round)) {
        table.rows.push_back(QStringList{QString::number(p.place), p.result.name,
                                         QString::number(p.heat), QString::number(p.result.flag)} +
                             resultCells(p.result) + QStringList{QString::number(p.points)});
    }
    return table;
}

TextTable qualifyingTable(const Meeting& meeting, const QString& className) {
    const bool points = meeting.ranking == RankingRule::Points;
    TextTable table{QStringLiteral("%1 qualifying").arg(className),
                    {QStringLiteral("Place"), QStringLiteral("Name")},
                    {}};
    if (points) {
        table.header.append(QStringLiteral("Points"));
    }
    table.header += {QStringLiteral("Laps"), QStringLiteral("Time"), QStringLiteral("Round"),
                     QStringLiteral("Best lap")};
    for (int r = 1; r <= meeting.rounds; ++r) {
        table.header.append(QStringLiteral("R%1").arg(r));
    }
    for (const QualifyingPlace& q : qualifyingRanking(meeting, className, meeting.rounds)) {
        QStringList row{QString::number(q.place), q.name};
        if (points) {
            row.append(QString::number(q.points));
        }
        const QStringList best = resultCells(q.best);
        row += {best[0], best[1], q.bestRound > 0 ? QString::number(q.bestRound) : QString(),
                bestLapText(q.bestLapMs)};
        for (int place : q.roundPlaces) {
            row.append(place > 0 ? QString::number(place) : QStringLiteral("-"));
        }
        table.rows.push_back(row);
    }
    return table;
}

TextTable finalResultsTable(const Meeting& meeting, const MeetingPlan& plan,
                            const QString& className) {
    TextTable table{QStringLiteral("%1 final results").arg(className),
                    {QStringLiteral("Place"), QStringLiteral("Name"), QStringLiteral("Main"),
                     QStringLiteral("Laps"), QStringLiteral("Time"), QStringLiteral("Best lap")},
                    {}};
    for (const FinalPlace& p : finalResults(meeting, plan, className)) {
        table.rows.push_back(QStringList{QString::number(p.place), p.name,
                                         p.main > 0 ? mainLetter(p.main) : QString()} +
                             resultCells(p.result));
    }
    return table;
}

Printout tablePrintout(const TextTable& table, const QString& heading) {
    // The columns plainText() lines up, one character each.
    std::vector<int> widths;
    auto measure = [&widths](const QStringList& row) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (static_cast<size_t>(i) >= widths.size()) {
                widths.push_back(0);
            }
            int& width = widths[static_cast<size_t>(i)];
            width = std::max(width, static_cast<int>(row[i].size()));
        }
    };
    measure(table.header);
    for (const QStringList& row : table.rows) {
        measure(row);
    }
    // The printer's face is proportional and a column is its average character:
    // capitals and wide digits need a quarter more.
    std::vector<int> starts{1};
    for (size_t i = 0; i + 1 < std::max<size_t>(widths.size(), 1); ++i) {
        starts.push_back(starts.back() + (widths[i] * 5 + 3) / 4 + 2);
    }
    auto line = [&starts](int points, const QStringList& row) {
        PrintLine printed{points, {}};
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (!row[i].isEmpty()) {
                printed.items.push_back({starts[static_cast<size_t>(i)], row[i]});
            }
        }
        return printed;
    };
    Printout p;
    p.documentName = table.title;
    const int width = widths.empty() ? 0 : starts.back() + (widths.back() * 5 + 3) / 4;
    p.landscape = width > 80;
    p.lines.push_back(line(kPrintTitlePoints, {table.title}));
    p.lines.push_back(line(kPrintTextPoints, {heading}));
    p.lines.push_back(PrintLine{kPrintTextPoints, {}});
    p.lines.push_back(line(kPrintTextPoints, table.header));
    for (const QStringList& row : table.rows) {
        p.lines.push_back(line(kPrintTextPoints, row));
    }
    return p;
}

}  // namespace lapdeck
