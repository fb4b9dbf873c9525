#pragma once

#include <functional>

#include <QPointer>
#include <QString>

#include "LapdeckServices.h"
#include "MainMenus.h"

class QDialog;
class QObject;
class QWidget;

namespace lapdeck {

class ConfigStore;
class HelpViewer;
class LapCallouts;
class MeetingWindow;
class NameSelection;
class Pictures;
class RaceEngine;
class RacePort;
class RaceRecords;
class RaceSetup;
class ResultsWindows;
struct RaceState;
struct SettingsChoice;
enum class SettingsOutcome;

// The windows the menus open, each over the main window, and what they hand back
// applied: settings, race format, racers, sound, help, diagnostics, the browser,
// the about box, and the lap table and summary windows.
class MenuDialogs {
public:
    // The parts of the main window the dialogs work on.
    struct Parts {
        RaceState& state;
        ConfigStore& config;
        RaceSetup& setup;
        RacePort& port;
        RaceEngine& engine;
        NameSelection& names;
        LapCallouts& callouts;
        ResultsWindows& results;
        RaceRecords& records;
        const Pictures& pictures;
    };

    // `redraw` draws the race screen after a change; `reportError` shows a file
    // that could not be read or written.
    MenuDialogs(Parts parts, const LapdeckServices& services, QWidget* window,
                std::function<void()> redraw, std::function<void(const QString&)> reportError);

    // Opens the race port on `number`; after a failure the organiser's answer is
    // carried out (demo mode, or Settings on the port list). True when it opened.
    bool openPort(int number);

    // Each item of the menus opens its window; Exit is the main window's own.
    void connectTo(const MainMenus& menus, QObject* context);

    void openFile();
    void openRace();
    // The meeting window, left open beside the race screen.
    void meeting();
    void lapTimes();
    void summary();
    void raceFormat();
    void racers();
    void sound();
    // With `focusPortList` after the port failed and another was asked for.
    void openSettings();
    void settings(bool focusPortList);
    void help();
    void diagnostic();
    void webSite();
    void about();
    void liveResults();

private:
    int showModal(QDialog& window);
    SettingsOutcome applySettings(const SettingsChoice& choice);
    bool raceOn() const;

    Parts m_parts;
    const LapdeckServices& m_services;
    QWidget* m_window;
    std::function<void()> m_redraw;
    std::function<void(const QString&)> m_reportError;
    QPointer<HelpViewer> m_help;
    QPointer<MeetingWindow> m_meeting;
};

}  // namespace lapdeck
