#pragma once

#include "RaceState.h"

class QAction;
class QMenu;
class QMenuBar;

namespace lapdeck {

// The main window's menus and items by their design names, declared in one place.
// What is enabled follows the race phase alone; the window connects the items to
// what they open.
struct MainMenus {
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuOpenRace = nullptr;  // a race of the archive, by its journal
    QAction* mnuMeeting = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuRaceFormat = nullptr;
    QAction* mnuRace = nullptr;
    QMenu* mnuViewData = nullptr;
    QAction* mnuLapTimes = nullptr;
    QAction* mnuSummary = nullptr;
    QMenu* mnuRacer = nullptr;
    QAction* mnuAddRacer = nullptr;
    QAction* mnuSound = nullptr;
    QMenu* mnuRaceSetting = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuLiveResults = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContent = nullptr;  // F1
    QAction* mnuDiagnostic = nullptr;
    QAction* mnuWebSite = nullptr;
    QAction* mnuAbout = nullptr;

    void buildMenus(QMenuBar* bar);
    // Idle: everything but "View Data". Under the start lights and racing: nothing.
    // Paused: "View Data" and "Settings" (another port for a lost lap unit). Over:
    // "File", "View Data" and "Help". F1 goes with the Help menu.
    void followPhase(RacePhase phase);
};

}  // namespace lapdeck
