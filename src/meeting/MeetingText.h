#pragma once

#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include "HeatPlan.h"
#include "Meeting.h"
#include "Printout.h"

namespace lapdeck {

// A meeting list as text: what the printouts, PDFs and CSV files are made from.
struct TextTable {
    QString title;
    QStringList header;
    std::vector<QStringList> rows;
};

// The title, a blank line, then the header and rows in columns padded to their
// widest cell; CR LF line ends.
QString plainText(const TextTable& table);
// The header and rows as comma-separated values, a field quoted when it holds a
// comma, a quote or a line break; CR LF line ends; UTF-8.
QByteArray csvText(const TextTable& table);

QString statusText(HeatStatus status);
// The race clock of a last crossing as the summary's Total Time ("3:07.250"); empty
// for none.
QString resultTimeText(int32_t ms);

// Every line of the schedule: the heat, its start ("16:05", when `starts` are given:
// one for each line), the racer (or what fills the seat) on each flag, the status.
TextTable heatListTable(const MeetingPlan& plan, const std::vector<QDateTime>& starts = {});
// A qualifying round of a class: place, racer, heat, flag, laps, time, best lap,
// points.
TextTable roundResultsTable(const Meeting& meeting, const QString& className, int round);
// The qualifying ranking over every round: place, racer, points (points rule),
// best result with its round, best lap, the place in each round.
TextTable qualifyingTable(const Meeting& meeting, const QString& className);
// The meeting's final results of a class: place, racer, main, laps, time, best lap.
TextTable finalResultsTable(const Meeting& meeting, const MeetingPlan& plan,
                            const QString& className);

// The table on paper: its title large, `heading` (the meeting's name and date)
// below it, then the header and rows in columns as wide as their widest cell and
// a quarter (the printer's face is proportional). Landscape when the rows are too
// wide for a portrait page.
Printout tablePrintout(const TextTable& table, const QString& heading);

}  // namespace lapdeck
