#include "RaceSetup.h"

#include <vector>

#include <QFileInfo>

#include "ConfigStore.h"
#include "RaceFormat.h"
#include "RaceState.h"
#include "Settings.h"

namespace lapdeck {

RaceSetup::RaceSetup(RaceState& state, ConfigStore& config,
                     std::function<void(const QString&)> reportError)
    : m_state(state), m_config(config), m_reportError(std::move(reportError)) {}

bool RaceSetup::raceOn() const {
    return m_state.phase == RacePhase::Racing || m_state.phase == RacePhase::Paused;
}

void RaceSetup::loadAll() {
    std::vector<ConfigError> errors;
    applyConfig(m_config.loadAll(errors), m_state);
    for (const ConfigError& error : errors) {
        // A file missing after start-up seeding could not be written, which was said.
        if (QFileInfo::exists(error.file)) {
            m_reportError(error.message());
        }
    }
}

SoundChoices RaceSetup::loadSoundChoices() {
    const LoadResult<SoundChoices> choices =
        lapdeck::loadSoundChoices(m_config.path(kSoundChoicesFile));
    if (!choices.ok()) {
        m_reportError(choices.error->message());
    }
    return choices.value;
}

std::optional<ConfigError> RaceSetup::storeSettings(const Settings& settings) {
    if (auto error = m_config.storeSettings(settings, m_state.RacerName)) {
        return error;
    }
    if (raceOn()) {
        m_heldBack = true;
    } else {
        applySettings(m_config.settings(), m_state);
        m_state.SpeedMultiplier = speedMultiplierOf(m_config.settings());
    }
    return std::nullopt;
}

std::optional<ConfigError> RaceSetup::storeRaceFormat(const RaceFormat& format) {
    auto error = m_config.storeRaceFormat(format);
    if (!error) {
        applyRaceFormat(m_config.raceFormat(), m_state);
    }
    return error;
}

void RaceSetup::keepLagColumn() {
    const LagColumn lag = m_state.screen.lagColumn;
    if (lag != m_state.LagMode) {
        m_state.LagMode = lag;
        if (const auto error = m_config.saveLagMode(lag)) {
            m_reportError(error->message());
        }
    }
}

bool RaceSetup::restoreAfterRace(bool recordedRace, bool demo) {
    if (!recordedRace && !m_heldBack) {
        return false;
    }
    m_heldBack = false;
    loadAll();
    m_state.Demo = m_state.Demo || demo;
    return true;
}

}  // namespace lapdeck
