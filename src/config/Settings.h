#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

#include "ConfigError.h"
#include "RaceState.h"

namespace lapdeck {

// The 24 fields of RCSettings.dat. Positions are zero-based positions in the lists
// of ValueLists; -1 means nothing chosen.
struct Settings {
    int16_t trackLengthPos = -1;
    int16_t scalePos = -1;
    int16_t minLapPos = -1;
    int16_t delayPos = -1;
    int16_t portPos = -1;
    PerFlag<QString> colourName{};    // may be empty or a typed name
    PerFlag<int32_t> swatchColour{};  // colour number of the flag's swatch
    PerFlag<bool> disabled{};
    int16_t firstLapPos = -1;

    // The list texts of the chosen positions (empty when none is chosen).
    QString trackLengthText() const;
    QString scaleText() const;
    QString minLapText() const;
    QString delayText() const;
    QString portText() const;
    QString firstLapText() const;

    bool operator==(const Settings&) const = default;
};

// Nothing chosen, the colour lists showing their start-up names (how the dialog
// looks before any file is read).
Settings blankSettings();

// What a new data folder starts with: 50 ft, 1:24, minimum lap 2, delay 3, port 1,
// Yellow Green Blue White Purple Orange, no flag disabled, race begins with lap 1.
Settings defaultSettings();

// Reads RCSettings.dat. A field that cannot be taken (file ends early, not a
// number, a position outside its list) is an error naming line and field; fields
// not taken keep their value from defaultSettings(). A port position past the end
// of the port list selects port 1 and is no error.
LoadResult<Settings> parseSettings(const QByteArray& bytes, const QString& fileName);
LoadResult<Settings> loadSettings(const QString& path);

QByteArray serializeSettings(const Settings& settings);
std::optional<ConfigError> saveSettings(const QString& path, const Settings& settings);

// SpeedMultiplier of the chosen track length and scale (0 when either is missing).
float speedMultiplierOf(const Settings& settings);

// Puts the settings in force: TrackLength, ModelScale, ScaleFactor (kept when no
// scale is chosen), MinLapTime, StartDelay, CommPort, FirstLapIndex (first lap - 1),
// LaneColorName, FlagColor and the disabled flags. A list with nothing chosen counts
// as 0 (so FirstLapIndex -1, CommPort 0). SpeedMultiplier is not touched: the
// program takes it from RCSpeedMultiplier.dat.
void applySettings(const Settings& settings, RaceState& state);

}  // namespace lapdeck
