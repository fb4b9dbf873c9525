#include "LapdeckApp.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include "AssetFolders.h"
#include "ConfigStore.h"
#include "LiveResults.h"
#include "LiveResultsDialog.h"
#include "LiveSettings.h"
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

namespace {

LapdeckServices withLive(LiveResults* live) {
    LapdeckServices given;
    given.live = live;
    return given;
}

}  // namespace

LapdeckApp::LapdeckApp(const QString& dataFolder, RunChoices run)
    : m_run(run),
      m_config(std::make_unique<ConfigStore>(dataFolder)),
      m_state(std::make_unique<RaceState>()),
      m_live(std::make_unique<LiveResults>(*m_state, m_config->folder())),
      m_services(std::make_unique<ProgramServices>(withLive(m_live.get()), m_config->folder())) {
    if (const auto error = m_config->seedMissingFiles()) {
        QMessageBox::warning(nullptr, QCoreApplication::applicationName(),
                             error->message() + QStringLiteral("\nLapdeck starts with its default "
                                                               "settings."));
    }
    m_window = std::make_unique<frmLapdeck>(*m_state, *m_config, m_services->services());
    m_services->showOver(m_window.get());
    showLiveStatusIn(*m_window->statusBar(), *m_live);
}

LapdeckApp::~LapdeckApp() = default;

void LapdeckApp::startLiveResults() {
    Prompter& prompter = *m_services->services().prompter;
    const LoadResult<LiveChoice> choice = loadLiveChoice(m_config->path(kLiveChoiceFile));
    if (!choice.ok()) {
        prompter.inform(QString(), choice.error->message(), Icon::Exclamation);
    }
    if (!choice.value.on && !m_run.livePort) {
        return;
    }
    const uint16_t port = m_run.livePort.value_or(0) != 0 ? *m_run.livePort : choice.value.port;
    startServing(*m_live, port, prompter);
}

int runLapdeck(QApplication& app, const QString& dataFolder, SingleInstance& instance,
               const RunChoices& run) {
    LapdeckApp lapdeck(dataFolder, run);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/lapdeck/lapdeck.png")));
    frmLapdeck& window = lapdeck.window();
    instance.raiseOnRequest(window);
    window.show();
    // The port first: its dialogs may change the settings, which must not happen
    // under a recovered race on screen.
    QTimer::singleShot(0, &window, [&window, &lapdeck]() {
        window.openStartupPort();
        window.offerRecovery();
        lapdeck.startLiveResults();
    });
    return app.exec();
}

}  // namespace lapdeck
