#pragma once

#include <QStringList>

#include "FileChooser.h"

namespace lapdeck {

// The file dialogs as Qt's file dialogs.
class DialogFileChooser : public FileChooser {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QString& proposed,
                         const QString& filter) override;
    QString openFileName(QWidget* parent, const QString& folder, const QString& filter) override;

    // "Lap Files (*.lap)|*.lap|Text Files(*.txt)|*.txt" as Qt's name filters.
    static QStringList nameFilters(const QString& filter);
    // The name as saved: kept when it ends in an extension of one of the filter's
    // types (".txt" under the lap type too), else with the extension of type `chosen`
    // added ("Laps Dec-07, 6-18" becomes "Laps Dec-07, 6-18.lap").
    static QString withExtension(const QString& name, const QString& filter, int chosen);
};

}  // namespace lapdeck
