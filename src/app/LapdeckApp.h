#pragma once

#include <memory>

class QApplication;

namespace lapdeck {

class ConfigStore;
class ProgramServices;
class frmLapdeck;
struct RaceState;

// The program's objects: the data folder (found and seeded), the one race state,
// the program's services and the main window loaded over them. LAPDECK_DATA_DIR
// names another data folder (tests and scripts use their own).
class LapdeckApp {
public:
    LapdeckApp();
    ~LapdeckApp();

    frmLapdeck& window() { return *m_window; }
    RaceState& state() { return *m_state; }

private:
    std::unique_ptr<ConfigStore> m_config;
    std::unique_ptr<RaceState> m_state;
    std::unique_ptr<ProgramServices> m_services;
    std::unique_ptr<frmLapdeck> m_window;
};

// Loads the program, shows the window, opens the port once it is up and runs the
// event loop.
int runLapdeck(QApplication& app);

}  // namespace lapdeck
