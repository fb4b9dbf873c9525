#include "SettingsModel.h"

#include "ValueLists.h"

namespace lapdeck {
namespace {

bool validFlag(int flag) {
    return flag >= 1 && flag <= kFlags;
}

}  // namespace

SettingsModel::SettingsModel(Settings value) : m_value(std::move(value)) {
    if (m_value.portPos >= ValueLists::ports().size()) {
        m_value.portPos = 0;
    }
    for (int i = 1; i <= kFlags; ++i) {
        m_colourListEnabled[i] = !m_value.disabled[i];
    }
}

int16_t SettingsModel::clampPosition(int position, qsizetype size) {
    return position >= 0 && position < size ? static_cast<int16_t>(position) : int16_t{-1};
}

void SettingsModel::setTrackLengthPos(int position) {
    m_value.trackLengthPos = clampPosition(position, ValueLists::trackLengths().size());
}
void SettingsModel::setScalePos(int position) {
    m_value.scalePos = clampPosition(position, ValueLists::scales().size());
}
void SettingsModel::setMinLapPos(int position) {
    m_value.minLapPos = clampPosition(position, ValueLists::minLapTimes().size());
}
void SettingsModel::setDelayPos(int position) {
    m_value.delayPos = clampPosition(position, ValueLists::startDelays().size());
}
void SettingsModel::setPortPos(int position) {
    m_value.portPos = position >= ValueLists::ports().size()
                          ? int16_t{0}
                          : clampPosition(position, ValueLists::ports().size());
}
void SettingsModel::setFirstLapPos(int position) {
    m_value.firstLapPos = clampPosition(position, ValueLists::firstLaps().size());
}

void SettingsModel::cmbLane_Click(int flag, const QString& text) {
    if (!validFlag(flag)) {
        return;
    }
    m_value.colourName[flag] = text;
    if (const auto colour = colourNumber(text)) {
        m_value.swatchColour[flag] = *colour;
    }
}

void SettingsModel::chkDisable_Click(int flag, bool disabled) {
    if (validFlag(flag)) {
        m_value.disabled[flag] = disabled;
    }
    for (int i = 1; i <= kFlags; ++i) {
        m_colourListEnabled[i] = !m_value.disabled[i];
    }
}

bool SettingsModel::colourListEnabled(int flag) const {
    return validFlag(flag) && m_colourListEnabled[flag];
}

std::optional<UserMessage> SettingsModel::validate() const {
    const Settings& s = m_value;
    const bool missing = s.scaleText().isEmpty() || s.trackLengthText().isEmpty() ||
                         s.minLapText().isEmpty() || s.portText().isEmpty() ||
                         s.delayText().isEmpty() || s.firstLapText().isEmpty();
    if (missing) {
        return UserMessage{QStringLiteral("Missing options"),
                           QStringLiteral("Please select all options"), Icon::Error};
    }
    return std::nullopt;
}

}  // namespace lapdeck
