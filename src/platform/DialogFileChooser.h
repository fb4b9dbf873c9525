#pragma once

#include <QStringList>

#include "FileChooser.h"

namespace lapdeck {

// The file dialogs as Qt's file dialogs.
class DialogFileChooser : public FileChooser {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QString& proposed,
                         const QString& filter, const QString& defaultSuffix) override;
    QString openFileName(QWidget* parent, const QString& folder, const QString& filter) override;

    // "Lap Files (*.lap)|*.lap|Text Files(*.txt)|*.txt" as Qt's name filters.
    static QStringList nameFilters(const QString& filter);
};

}  // namespace lapdeck
