#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

#include "ConfigError.h"
#include "RaceState.h"

namespace lapdeck {

enum class RaceOption { None, Practice, LapRace, TimedRace };

// The six fields of RaceFormatSettings.dat. Positions are zero-based positions in
// ValueLists::lapCounts() / minuteCounts(); -1 means nothing chosen.
struct RaceFormat {
    int16_t lapsPos = -1;
    int16_t minutesPos = -1;
    bool isTimedRace = false;
    bool isLapRace = false;
    bool isPractice = false;
    bool demo = false;

    // The option button that ends up chosen. The three are exclusive: they were set
    // in the order timed, lap, practice, and each one set on turns the others off.
    RaceOption option() const;
    void setOption(RaceOption option);

    QString lapsText() const;
    QString minutesText() const;
    // The numbers of the chosen entries; 0 when none is chosen.
    int16_t raceLaps() const;
    int32_t raceMinutes() const;

    bool operator==(const RaceFormat&) const = default;
};

// A 10-lap race, 10 minutes chosen in the minutes list, no demo.
RaceFormat defaultRaceFormat();

// Reads RaceFormatSettings.dat. A field that cannot be taken is an error naming
// line and field and keeps its value from defaultRaceFormat(). A laps or minutes
// position of -1 is no error: that number is 0.
LoadResult<RaceFormat> parseRaceFormat(const QByteArray& bytes, const QString& fileName);
LoadResult<RaceFormat> loadRaceFormat(const QString& path);

QByteArray serializeRaceFormat(const RaceFormat& format);
// Puts the race format in force: RaceLaps, RaceMinutes (0 for nothing chosen), the
// race kind and demo mode.
void applyRaceFormat(const RaceFormat& format, RaceState& state);
std::optional<ConfigError> saveRaceFormat(const QString& path, const RaceFormat& format);

}  // namespace lapdeck
