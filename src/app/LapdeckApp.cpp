#include "LapdeckApp.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include "AssetFolders.h"
#include "ConfigStore.h"
#include "ProgramServices.h"
#include "RaceState.h"
#include "SingleInstance.h"
#include "frmLapdeck.h"

namespace lapdeck {

QString findDataFolder() {
    QString folder = qEnvironmentVariable("LAPDECK_DATA_DIR");
    if (folder.isEmpty()) {
        // An installed program's folder is the system's (/usr/bin): even where it can
        // be written (run as root), the settings belong in the per-user folder.
        const QString programDir = QCoreApplication::applicationDirPath();
        const LoadResult<QString> located =
            locateDataFolder(AssetFolders::locate(programDir).installed
                                 ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                 : programDir);
        if (!located.ok()) {
            QMessageBox::warning(nullptr, QCoreApplication::applicationName(),
                                 located.error->message());
        }
        folder = located.value;
    } else if (!QDir().mkpath(folder)) {
        QMessageBox::warning(nullptr, QCoreApplication::applicationName(),
                             QStringLiteral("The data folder cannot be created: ") + folder);
    }
    return folder;
}

LapdeckApp::LapdeckApp(const QString& dataFolder)
    : m_config(std::make_unique<ConfigStore>(dataFolder)),
      m_state(std::make_unique<RaceState>()),
      m_services(std::make_unique<ProgramServices>(LapdeckServices{}, m_config->folder())) {
    if (const auto error = m_config->seedMissingFiles()) {
        QMessageBox::warning(nullptr, QCoreApplication::applicationName(),
                             error->message() + QStringLiteral("\nLapdeck starts with its default "
                                                               "settings."));
    }
    m_window = std::make_unique<frmLapdeck>(*m_state, *m_config, m_services->services());
    m_services->showOver(m_window.get());
}

LapdeckApp::~LapdeckApp() = default;

int runLapdeck(QApplication& app, const QString& dataFolder, SingleInstance& instance) {
    LapdeckApp lapdeck(dataFolder);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/lapdeck/lapdeck.png")));
    frmLapdeck& window = lapdeck.window();
    instance.raiseOnRequest(window);
    window.show();
    // The port first: its dialogs may change the settings, which must not happen
    // under a recovered race on screen.
    QTimer::singleShot(0, &window, [&window]() {
        window.openStartupPort();
        window.offerRecovery();
    });
    return app.exec();
}

}  // namespace lapdeck
