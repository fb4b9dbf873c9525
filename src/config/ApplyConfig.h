#pragma once

#include "RaceFormat.h"
#include "RaceState.h"
#include "Settings.h"

namespace lapdeck {

// Settings in force: TrackLength, ModelScale, ScaleFactor (kept when the scale text
// is not one of the list), MinLapTime, StartDelay, CommPort, FirstLapIndex (first
// lap - 1), LaneColorName, FlagColor, and the live settings. SpeedMultiplier is not
// touched: the program takes it from RCSpeedMultiplier.dat.
// A list with nothing chosen counts as 0 (so FirstLapIndex -1, CommPort 0).
void applySettings(const Settings& settings, RaceState& state);
// Only the live part: disabled marks, swatch colours and the three list texts.
void applyLiveSettings(const Settings& settings, LiveConfig& live);

// RaceLaps, RaceMinutes (0 for nothing chosen), IsPractice / IsLapRace /
// IsTimedRace, and the live option buttons and demo mark.
void applyRaceFormat(const RaceFormat& format, RaceState& state);
void applyLiveRaceFormat(const RaceFormat& format, LiveConfig& live);

}  // namespace lapdeck
