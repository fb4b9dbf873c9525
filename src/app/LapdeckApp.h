#pragma once

#include <memory>

#include "CommandLine.h"

class QApplication;
class QString;

namespace lapdeck {

class ConfigStore;
class LiveResults;
class ProgramServices;
class frmLapdeck;
class SingleInstance;
struct RaceState;

// The data folder: LAPDECK_DATA_DIR, else the program's folder when it can be
// written, else the per-user folder. A problem with it is shown, and a folder is
// returned in any case.
QString findDataFolder();

// The program's objects: the data folder (seeded), the one race state, live results
// over it, the program's services and the main window loaded over them.
class LapdeckApp {
public:
    explicit LapdeckApp(const QString& dataFolder, RunChoices run = {});
    ~LapdeckApp();

    frmLapdeck& window() { return *m_window; }
    RaceState& state() { return *m_state; }
    LiveResults& live() { return *m_live; }

    // Serves live results when the data folder's choice or the command line says so.
    void startLiveResults();

private:
    RunChoices m_run;
    std::unique_ptr<ConfigStore> m_config;
    std::unique_ptr<RaceState> m_state;
    std::unique_ptr<LiveResults> m_live;
    std::unique_ptr<ProgramServices> m_services;
    std::unique_ptr<frmLapdeck> m_window;
};

// Loads the program on a data folder `instance` has claimed, shows the window, opens
// the port once it is up and runs the event loop.
int runLapdeck(QApplication& app, const QString& dataFolder, SingleInstance& instance,
               const RunChoices& run);

}  // namespace lapdeck
