#include "CsvExport.h"

#include <QCursor>
#include <QDir>

#include "BusyCursor.h"
#include "RaceState.h"
#include "ResultFileIo.h"
#include "ResultsWindows.h"

namespace lapdeck {

void exportCsv(QWidget* over, ResultsWindows& results, const QByteArray& csv, const QString& kind) {
    // The race's time when it has one; the state is not stamped for an export.
    const QString when = results.state().RaceDateTime;
    const QString proposed =
        QDir(results.folder())
            .filePath(kind + (when.isEmpty() ? QString() : u' ' + when) + QStringLiteral(".csv"));
    const QString name = results.chooseSaveName(over, QStringLiteral("Export CSV"), proposed,
                                                QStringLiteral("CSV Files (*.csv)|*.csv"));
    if (name.isEmpty()) {
        return;
    }
    const std::optional<ResultMessage> failed = [&]() {
        BusyCursor busy;
        return writeFileAtomically(name, csv);
    }();
    results.inform(over, {failed ? *failed : savedMessage(name)});
}

}  // namespace lapdeck
