#pragma once

#include <optional>
#include <variant>
#include <vector>

#include <QString>
#include <QStringList>

#include "ConfigError.h"
#include "RaceFormat.h"
#include "RaceState.h"
#include "Settings.h"

namespace lapdeck {

// Everything the data folder holds.
struct ConfigBundle {
    Settings settings = defaultSettings();
    RaceFormat raceFormat = defaultRaceFormat();
    float speedMultiplier = 0.0f;
    PerFlag<QString> racerNames{};
    QStringList roster;
    LagColumn lagMode = LagColumn::LagFirst;
};

// Settings, race format, SpeedMultiplier, RacerName and LagMode into the state.
void applyConfig(const ConfigBundle& config, RaceState& state);

// The data folder: the executable's folder when files can be written there (a
// portable copy), otherwise the per-user application data folder, created if
// needed. When neither is writable the error says so and the value is the
// executable's folder, so the program can still read what is there.
LoadResult<QString> locateDataFolder(const QString& executableDir);

// The program-folder files of one data folder, and the settings and race format
// last read from them. Owned by the application; tests give it their own folder.
class ConfigStore {
public:
    explicit ConfigStore(QString folder);

    const QString& folder() const { return m_folder; }
    QString path(const QString& fileName) const;

    // Writes working defaults for every file that is missing, so a first start
    // shows no error. The speed multiplier is computed from the settings on disk.
    // Returns the first file that could not be written (the others are still tried).
    std::optional<ConfigError> seedMissingFiles() const;

    // The program's own loading: whatever cannot be read is reported and replaced by
    // defaults (a missing speed multiplier by the settings' own, a missing Racers.dat
    // or RaceLag.dat silently by empty names and "Lag First").
    ConfigBundle loadAll(std::vector<ConfigError>& errors);

    // For the replay tool: all six files, and any settings or race-format problem
    // (missing file, too few fields, a bad number, a position outside its list) or
    // any malformed other file is an error naming file, line and field. A port
    // position past the end selects port 1; a laps or minutes position of -1 is 0.
    // Missing RCSpeedMultiplier.dat: the settings' own; missing Racers.dat,
    // rcRacers.dat or RaceLag.dat: empty names, empty roster, "Lag First".
    std::variant<ConfigBundle, ConfigError> loadAllStrict() const;

    // The settings and race format as last (re)loaded: the dialogs' starting copies.
    const Settings& settings() const { return m_settings; }
    const RaceFormat& raceFormat() const { return m_raceFormat; }
    std::optional<ConfigError> reloadSettings();
    std::optional<ConfigError> reloadRaceFormat();

    // OK of the settings dialog: writes RCSettings.dat, Racers.dat and
    // RCSpeedMultiplier.dat, then reloads the settings from the file. The first
    // failure stops and is returned.
    std::optional<ConfigError> storeSettings(const Settings& settings,
                                             const PerFlag<QString>& racerNames);
    // OK of the race format dialog: writes RaceFormatSettings.dat and reloads it.
    std::optional<ConfigError> storeRaceFormat(const RaceFormat& format);

    LoadResult<float> loadSpeedMultiplier() const;  // missing: the settings' own
    LoadResult<PerFlag<QString>> loadRacerNames() const;
    std::optional<ConfigError> saveRacerNames(const PerFlag<QString>& names) const;
    LoadResult<LagColumn> loadLagMode() const;
    std::optional<ConfigError> saveLagMode(LagColumn lagMode) const;
    LoadResult<QStringList> loadRoster() const;  // missing: empty, no error

private:
    QString m_folder;
    Settings m_settings = defaultSettings();
    RaceFormat m_raceFormat = defaultRaceFormat();
};

}  // namespace lapdeck
