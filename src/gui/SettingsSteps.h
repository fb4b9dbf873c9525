#pragma once

#include <optional>

#include "ConfigError.h"
#include "PortMap.h"
#include "Settings.h"

namespace lapdeck {

// How the port check of the settings' OK ended.
enum class PortCheck {
    Opened,         // the port is open
    NotOpened,      // demo mode was chosen instead (or the number was refused)
    ChooseAnother,  // the user wants another port: the dialog stays open
};

// What OK of the settings dialog asks of the program, one step at a time, in the
// order the dialog calls them. The main window carries them out; tests record them.
class SettingsSteps {
public:
    virtual ~SettingsSteps() = default;
    // The names on the flags read again, so Racers.dat is written with them.
    virtual void LoadNames() = 0;
    // RCSettings.dat, Racers.dat, RCSpeedMultiplier.dat and the port devices
    // written, the settings reloaded from the file and put in force. The first
    // failure stops it and is returned.
    virtual std::optional<ConfigError> store(const Settings& settings,
                                             const PortDevices& devices) = 0;
    virtual void ReSet() = 0;
    virtual void LoadRacerLists() = 0;
    virtual PortCheck OpenRacePort(int port) = 0;
    virtual void ApplyFlagColors() = 0;
    // Demo mode makes up the laps, so an open port is not read.
    virtual bool demoMode() const = 0;
};

}  // namespace lapdeck
