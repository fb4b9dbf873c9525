#pragma once

#include <functional>
#include <optional>

#include <QString>

#include "ConfigError.h"
#include "SoundChoices.h"

namespace lapdeck {

class ConfigStore;
struct RaceFormat;
struct RaceState;
struct Settings;

// What the race runs with: the data folder's settings, race format, speed
// multiplier, names and lag column put in force, and what the Settings and Race
// Format dialogs hand back. While a race is on, new settings are stored but held
// back: the race keeps the settings it started with until it is reset.
class RaceSetup {
public:
    RaceSetup(RaceState& state, ConfigStore& config,
              std::function<void(const QString&)> reportError);

    // Every data file into the race state; a file that cannot be read is reported.
    void loadAll();
    // The callouts chosen in the Sound dialog (Sound.dat).
    SoundChoices loadSoundChoices();
    // Settings -> OK: RCSettings.dat, Racers.dat and RCSpeedMultiplier.dat written,
    // then put in force, or held back while a race is on. The first failure is returned.
    std::optional<ConfigError> storeSettings(const Settings& settings);
    bool heldBack() const { return m_heldBack; }
    // Race Format -> OK: RaceFormatSettings.dat written and put in force.
    std::optional<ConfigError> storeRaceFormat(const RaceFormat& format);
    // A race was reset that ran with settings other than the data folder's (held
    // back ones, or a recorded race's own, `recordedRace`): the data folder's come
    // back. Demo mode stays on when `demo` (chosen at a port failure, it is in no
    // file). True when they were reloaded.
    bool restoreAfterRace(bool recordedRace, bool demo);
    // At exit: the lag column's choice is kept in RaceLag.dat, written only when it
    // changed, so the file stays as the organiser left it.
    void keepLagColumn();

private:
    bool raceOn() const;

    RaceState& m_state;
    ConfigStore& m_config;
    std::function<void(const QString&)> m_reportError;
    bool m_heldBack = false;
};

}  // namespace lapdeck
