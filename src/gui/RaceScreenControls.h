#pragma once

#include <array>
#include <cstdint>

#include <QCursor>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace lapdeck {

class ClickLabel;
class FormScaler;
class NamePicker;
class PictureBox;
class Pictures;
struct RaceState;

// The race screen's controls by their design names (rows 1..6; element 0 of
// lblLapTime is its header), drawn from the race state. The main window inherits
// them, so its handlers and the tests reach them by name; setupRaceScreen() builds
// them.
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

    // Draws the race state: rows, headings, clock, title, picture, "Race Over", the
    // start button's caption and Abort. Only what changed is touched: this runs
    // every tick.
    void drawRace(const RaceState& state, const Pictures& pictures);
    // The picture file name the picture box shows.
    const QString& shownPicture() const { return m_shownPicture; }

    // Pointers and tips where a click does something now: `hand` over the clickable
    // heading or cell, the arrow elsewhere.
    void pointAtBest(int row, const RaceState& state, const QCursor& hand);
    void pointAtLag(const RaceState& state, const QCursor& hand);
    void pointAtRaceFormat(const RaceState& state, const QCursor& hand);

private:
    QString m_shownPicture;
    std::array<int32_t, 7> m_shownColour{};
};

}  // namespace lapdeck
