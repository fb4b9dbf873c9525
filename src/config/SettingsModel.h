#pragma once

#include <optional>

#include "ConfigError.h"
#include "Settings.h"

namespace lapdeck {

// What the settings dialog edits: a copy of the stored settings. The dialog draws
// it and calls these handlers; OK stores value() (ConfigStore::storeSettings) and
// the program reloads from the file; Cancel just drops the model.
class SettingsModel {
public:
    explicit SettingsModel(Settings value = blankSettings());

    const Settings& value() const { return m_value; }

    void setTrackLengthPos(int position);
    void setScalePos(int position);
    void setMinLapPos(int position);
    void setDelayPos(int position);
    void setPortPos(int position);
    void setFirstLapPos(int position);

    // The colour list's text changed (picked or typed): a colour of the table
    // recolours the swatch, any other text leaves the swatch as it was.
    void cmbLane_Click(int flag, const QString& text);
    // Sets the flag's mark; every flag's colour list follows its own mark.
    void chkDisable_Click(int flag, bool disabled);
    bool colourListEnabled(int flag) const;

    // OK's check: every list but the colour lists needs a chosen entry.
    std::optional<UserMessage> validate() const;

private:
    static int16_t clampPosition(int position, qsizetype size);

    Settings m_value;
    PerFlag<bool> m_colourListEnabled{};
};

}  // namespace lapdeck
