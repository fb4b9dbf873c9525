#pragma once

#include <functional>

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QStringList>

class QWidget;

namespace lapdeck {

class ConfigStore;
class Prompter;
struct RaceScreenControls;
struct RaceState;

// Assigning racers to flags on the race screen: the name pickers that open over
// the name cells, filled from the roster, and Racers.dat written with every pick.
class NameSelection : public QObject {
    Q_OBJECT

public:
    // `redraw` draws the race state's screen after a change; `reportError` shows
    // a file that could not be read or written.
    NameSelection(RaceScreenControls& controls, RaceState& state, ConfigStore& config,
                  Prompter& prompter, QCursor racerPointer, std::function<void()> redraw,
                  std::function<void(const QString&)> reportError, QWidget* window);

    // Fills the name pickers from rcRacers.dat, or from the roster the racers
    // dialog hands back.
    void LoadRacerLists();
    void showRoster(const QStringList& names);
    void lblName_Click(int index);
    void Select_Name_Click(int index);
    void Select_Name_LostFocus(int index);
    void CloseComboNames();
    void lblName_MouseMove(int index);

private:
    void popupClosed(int index);
    void pressedOutside(int index, QPoint global);
    bool raceUnderWay() const;

    RaceScreenControls& m_controls;
    RaceState& m_state;
    ConfigStore& m_config;
    Prompter& m_prompter;
    QCursor m_racerPointer;
    std::function<void()> m_redraw;
    std::function<void(const QString&)> m_reportError;
    QWidget* m_window;
    int m_openNext = 0;  // the name cell a click that closed a list landed on
    QString m_leftOutTold;
};

}  // namespace lapdeck
