#pragma once

#include <variant>
#include <vector>

#include <QString>

#include "HeatPlan.h"
#include "Meeting.h"
#include "RaceFormat.h"
#include "RaceState.h"

namespace lapdeck {

// What loading a heat puts in force, as the name pickers and Race Format would:
// the caller stores both (Racers.dat, RaceFormatSettings.dat) and reloads.
struct HeatLoad {
    // The racer on each seat's flag; "Empty" on an enabled flag nobody races on; a
    // disabled flag keeps the name it has, as the name pickers leave it.
    PerFlag<QString> racerNames{};
    // A race over the class's laps or minutes; demo mode and the other list's
    // choice as they were.
    RaceFormat raceFormat;
};

std::variant<HeatLoad, QString> loadHeat(const Meeting& meeting, const PlannedHeat& heat,
                                         const PerFlag<bool>& disabled,
                                         const PerFlag<QString>& currentNames,
                                         const RaceFormat& currentFormat);

// A heat's result from a race: each seated racer found by name on the race's flags
// (so a racer moved to another flag by hand still counts), with the laps, the time
// of the last counted crossing and the best lap the summary shows. A race that
// was not run to its end counts as far as it went.
std::variant<std::vector<RacerResult>, QString> resultFromRace(const RaceState& state,
                                                               const std::vector<Seat>& seats);

// The same from a race folder, re-scored from its journal with the data files in
// force at its start, so a recovered or corrected race counts as the program
// counted it.
std::variant<std::vector<RacerResult>, QString> resultFromRaceFolder(
    const QString& raceFolder, const std::vector<Seat>& seats);

}  // namespace lapdeck
