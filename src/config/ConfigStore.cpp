#include "ConfigStore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "DataFile.h"
#include "ProgramFiles.h"

namespace lapdeck {
namespace {

bool canWriteIn(const QString& dir) {
    if (!QFileInfo(dir).isDir()) {
        return false;
    }
    // Permission bits do not tell about read-only mounts or access lists; a real
    // file does.
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".lapdeck-probe-XXXXXX")));
    return probe.open();
}

void keep(std::optional<ConfigError>& first, std::optional<ConfigError> next) {
    if (!first && next) {
        first = std::move(next);
    }
}

}  // namespace

void applyConfig(const ConfigBundle& config, RaceState& state) {
    applySettings(config.settings, state);
    applyRaceFormat(config.raceFormat, state);
    state.SpeedMultiplier = config.speedMultiplier;
    state.RacerName = config.racerNames;
    state.LagMode = config.lagMode;
}

LoadResult<QString> locateDataFolder(const QString& executableDir) {
    if (canWriteIn(executableDir)) {
        return {executableDir, std::nullopt};
    }
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!appData.isEmpty() && QDir().mkpath(appData) && canWriteIn(appData)) {
        return {appData, std::nullopt};
    }
    return {executableDir,
            ConfigError{appData.isEmpty() ? executableDir : appData, 0, 0,
                        QStringLiteral("no folder to keep the settings in can be written")}};
}

ConfigStore::ConfigStore(QString folder) : m_folder(std::move(folder)) {}

QString ConfigStore::path(const QString& fileName) const {
    return QDir(m_folder).filePath(fileName);
}

std::optional<ConfigError> ConfigStore::seedMissingFiles() const {
    std::optional<ConfigError> first;
    auto missing = [this](const QString& name) { return !DataFile::exists(path(name)); };
    if (missing(FileNames::settings)) {
        keep(first, saveSettings(path(FileNames::settings), defaultSettings()));
    }
    if (missing(FileNames::raceFormat)) {
        keep(first, saveRaceFormat(path(FileNames::raceFormat), defaultRaceFormat()));
    }
    if (missing(FileNames::racerNames)) {
        keep(first, lapdeck::saveRacerNames(path(FileNames::racerNames), {}));
    }
    if (missing(FileNames::roster)) {
        keep(first, saveRoster(path(FileNames::roster), {}));
    }
    if (missing(FileNames::raceLag)) {
        keep(first, lapdeck::saveLagMode(path(FileNames::raceLag), kDefaultLagMode));
    }
    if (missing(FileNames::speedMultiplier)) {
        const LoadResult<Settings> settings = lapdeck::loadSettings(path(FileNames::settings));
        const Settings& source = settings.ok() ? settings.value : defaultSettings();
        keep(first,
             saveSpeedMultiplier(path(FileNames::speedMultiplier), speedMultiplierOf(source)));
    }
    return first;
}

std::optional<ConfigError> ConfigStore::reloadSettings() {
    LoadResult<Settings> loaded = lapdeck::loadSettings(path(FileNames::settings));
    m_settings = loaded.value;
    return loaded.error;
}

std::optional<ConfigError> ConfigStore::reloadRaceFormat() {
    LoadResult<RaceFormat> loaded = lapdeck::loadRaceFormat(path(FileNames::raceFormat));
    m_raceFormat = loaded.value;
    return loaded.error;
}

LoadResult<float> ConfigStore::loadSpeedMultiplier() const {
    return DataFile::load(path(FileNames::speedMultiplier), parseSpeedMultiplier,
                          speedMultiplierOf(m_settings), DataFile::Missing::GivesDefault);
}

LoadResult<PerFlag<QString>> ConfigStore::loadRacerNames() const {
    return lapdeck::loadRacerNames(path(FileNames::racerNames));
}

std::optional<ConfigError> ConfigStore::saveRacerNames(const PerFlag<QString>& names) const {
    return lapdeck::saveRacerNames(path(FileNames::racerNames), names);
}

LoadResult<LagColumn> ConfigStore::loadLagMode() const {
    return lapdeck::loadLagMode(path(FileNames::raceLag));
}

std::optional<ConfigError> ConfigStore::saveLagMode(LagColumn lagMode) const {
    return lapdeck::saveLagMode(path(FileNames::raceLag), lagMode);
}

LoadResult<QStringList> ConfigStore::loadRoster() const {
    return DataFile::load(path(FileNames::roster), parseRoster, QStringList(),
                          DataFile::Missing::GivesDefault);
}

ConfigBundle ConfigStore::loadAll(std::vector<ConfigError>& errors) {
    auto note = [&errors](const std::optional<ConfigError>& error) {
        if (error) {
            errors.push_back(*error);
        }
    };
    ConfigBundle config;
    note(reloadSettings());
    note(reloadRaceFormat());
    config.settings = m_settings;
    config.raceFormat = m_raceFormat;
    LoadResult<float> multiplier = loadSpeedMultiplier();
    note(multiplier.error);
    config.speedMultiplier = multiplier.ok() ? multiplier.value : speedMultiplierOf(m_settings);
    LoadResult<PerFlag<QString>> names = loadRacerNames();
    note(names.error);
    config.racerNames = names.value;
    LoadResult<QStringList> roster = loadRoster();
    note(roster.error);
    config.roster = roster.value;
    LoadResult<LagColumn> lag = loadLagMode();
    note(lag.error);
    config.lagMode = lag.value;
    return config;
}

std::variant<ConfigBundle, ConfigError> ConfigStore::loadAllStrict() const {
    ConfigBundle config;
    LoadResult<Settings> settings = lapdeck::loadSettings(path(FileNames::settings));
    if (!settings.ok()) {
        return *settings.error;
    }
    config.settings = settings.value;
    LoadResult<RaceFormat> format = lapdeck::loadRaceFormat(path(FileNames::raceFormat));
    if (!format.ok()) {
        return *format.error;
    }
    config.raceFormat = format.value;
    LoadResult<float> multiplier =
        DataFile::load(path(FileNames::speedMultiplier), parseSpeedMultiplier,
                       speedMultiplierOf(config.settings), DataFile::Missing::GivesDefault);
    if (!multiplier.ok()) {
        return *multiplier.error;
    }
    config.speedMultiplier = multiplier.value;
    LoadResult<PerFlag<QString>> names = loadRacerNames();
    if (!names.ok()) {
        return *names.error;
    }
    config.racerNames = names.value;
    LoadResult<QStringList> roster = loadRoster();
    if (!roster.ok()) {
        return *roster.error;
    }
    config.roster = roster.value;
    LoadResult<LagColumn> lag = loadLagMode();
    if (!lag.ok()) {
        return *lag.error;
    }
    config.lagMode = lag.value;
    return config;
}

std::optional<ConfigError> ConfigStore::storeSettings(const Settings& settings,
                                                      const PerFlag<QString>& racerNames) {
    if (auto error = lapdeck::saveSettings(path(FileNames::settings), settings)) {
        return error;
    }
    if (auto error = lapdeck::saveRacerNames(path(FileNames::racerNames), racerNames)) {
        return error;
    }
    if (auto error =
            saveSpeedMultiplier(path(FileNames::speedMultiplier), speedMultiplierOf(settings))) {
        return error;
    }
    return reloadSettings();
}

std::optional<ConfigError> ConfigStore::storeRaceFormat(const RaceFormat& format) {
    if (auto error = lapdeck::saveRaceFormat(path(FileNames::raceFormat), format)) {
        return error;
    }
    return reloadRaceFormat();
}

}  // namespace lapdeck
