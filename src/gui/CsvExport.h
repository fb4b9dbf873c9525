#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace lapdeck {

class ResultsWindows;

// "Export CSV..." of the results windows: saves `csv` under a name the user chooses,
// proposed in the results folder as "<kind> <race date and time>.csv", and says where
// it went or why it could not be saved.
void exportCsv(QWidget* over, ResultsWindows& results, const QByteArray& csv, const QString& kind);

}  // namespace lapdeck
