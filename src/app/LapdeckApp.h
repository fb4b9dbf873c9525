#pragma once

class QApplication;

namespace lapdeck {

// Finds and seeds the data folder, loads the main window and runs the program.
// LAPDECK_DATA_DIR names another data folder (tests and scripts use their own).
int runLapdeck(QApplication& app);

}  // namespace lapdeck
