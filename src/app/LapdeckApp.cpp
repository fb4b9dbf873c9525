#include "LapdeckApp.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include "ConfigStore.h"
#include "MeasureHook.h"
#include "RaceState.h"
#include "frmLapdeck.h"

namespace lapdeck {

int runLapdeck(QApplication& app) {
    QString folder = qEnvironmentVariable("LAPDECK_DATA_DIR");
    if (folder.isEmpty()) {
        const LoadResult<QString> located =
            locateDataFolder(QCoreApplication::applicationDirPath());
        if (!located.ok()) {
            QMessageBox::warning(nullptr, QCoreApplication::applicationName(),
                                 located.error->message());
        }
        folder = located.value;
    } else if (!QDir().mkpath(folder)) {
        QMessageBox::warning(nullptr, QCoreApplication::applicationName(),
                             QStringLiteral("The data folder cannot be created: ") + folder);
    }

    ConfigStore config(folder);
    if (const auto error = config.seedMissingFiles()) {
        QMessageBox::warning(nullptr, QCoreApplication::applicationName(), error->message());
    }

    RaceState state;
    frmLapdeck window(state, config);
    MeasureHook measure(window, state);
    window.show();
    QTimer::singleShot(0, &window, [&window, &measure]() {
        measure.windowShown();
        if (!measure.active()) {
            window.openStartupPort();
        } else {
            measure.startRace();
        }
    });
    return app.exec();
}

}  // namespace lapdeck
