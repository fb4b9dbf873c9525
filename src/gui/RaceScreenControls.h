#pragma once

#include <array>

class QLabel;
class QPushButton;
class QWidget;

namespace lapdeck {

class ClickLabel;
class FormScaler;
class NamePicker;
class PictureBox;

// The race screen's controls by their design names (rows 1..6; element 0 of
// lblLapTime is its header). The main window inherits them, so its handlers and
// the tests reach them by name; setupRaceScreen() builds them.
struct RaceScreenControls {
    std::array<ClickLabel*, 7> lblName{};
    std::array<QLabel*, 7> lblLapNum{};
    std::array<QLabel*, 7> lblLapTime{};
    std::array<ClickLabel*, 7> lblBest{};
    std::array<QLabel*, 7> lblLagTime{};
    std::array<NamePicker*, 7> Select_Name{};
    QLabel* lblLapNumber = nullptr;
    ClickLabel* lblBestLap = nullptr;
    ClickLabel* lblLag = nullptr;
    QLabel* lblClock = nullptr;
    ClickLabel* lblRaceFormat = nullptr;
    QLabel* lblRaceOver = nullptr;
    PictureBox* imgLapvane = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdAbort = nullptr;

    // Lays out every control on `form` at its design place and returns the scaler
    // that resizes them with the form.
    FormScaler* setupRaceScreen(QWidget* form);
};

}  // namespace lapdeck
