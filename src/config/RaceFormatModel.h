#pragma once

#include <optional>

#include "ConfigError.h"
#include "RaceFormat.h"

namespace lapdeck {

// What the race format dialog edits: a copy of the stored race format. OK stores
// value() (ConfigStore::storeRaceFormat) and the program reloads from the file;
// Cancel drops the model.
class RaceFormatModel {
public:
    explicit RaceFormatModel(RaceFormat value = defaultRaceFormat());

    const RaceFormat& value() const { return m_value; }

    void optPractice_Click() { m_value.setOption(RaceOption::Practice); }
    void optLapRace_Click() { m_value.setOption(RaceOption::LapRace); }
    void optTimedRace_Click() { m_value.setOption(RaceOption::TimedRace); }
    void setLapsPos(int position);
    void setMinutesPos(int position);
    void setDemo(bool demo) { m_value.demo = demo; }

    // The laps list is usable only for a lap race, the minutes list only for a
    // timed race; practice (or no option) greys out both.
    bool lapsListEnabled() const { return m_value.option() == RaceOption::LapRace; }
    bool minutesListEnabled() const { return m_value.option() == RaceOption::TimedRace; }

    // OK's check: a timed race needs its minutes. A lap race without laps is let
    // through (its race is 0 laps), as it always was.
    std::optional<UserMessage> validate() const;

private:
    RaceFormat m_value;
};

}  // namespace lapdeck
