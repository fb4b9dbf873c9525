#pragma once

#include <QString>

class QWidget;

namespace lapdeck {

// The file dialogs of the results windows. Filters come in the "Lap Files
// (*.lap)|*.lap|..." form, description and pattern in turns; the first is chosen.
// Tests give the names a user would have chosen.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // A name to save under, empty when cancelled. Asks before an existing file is
    // replaced; the folder must exist. A name that does not end in one of the
    // filter's extensions gets the extension of the type chosen.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& proposed,
                                 const QString& filter) = 0;
    // An existing file to open, empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& folder, const QString& filter) = 0;
};

}  // namespace lapdeck
