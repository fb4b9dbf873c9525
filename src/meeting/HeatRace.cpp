#include "HeatRace.h"

#include <memory>

#include <QDir>

#include "RaceArchive.h"
#include "RecordedRace.h"
#include "ValueLists.h"

namespace lapdeck {

std::variant<HeatLoad, QString> loadHeat(const Meeting& meeting, const PlannedHeat& heat,
                                         const PerFlag<bool>& disabled,
                                         const PerFlag<QString>& currentNames,
                                         const RaceFormat& currentFormat) {
    if (!heat.ready()) {
        return QStringLiteral("%1 is not waiting with all its racers known.").arg(heat.title());
    }
    const MeetingClass* meetingClass = meeting.findClass(heat.key.className);
    if (!meetingClass) {
        return QStringLiteral("The meeting has no class %1.").arg(heat.key.className);
    }
    HeatLoad load;
    for (int f = 1; f <= kFlags; ++f) {
        load.racerNames[f] =
            disabled[f] ? currentNames[f] : FlagName{NameState::Empty, {}}.stored();
    }
    for (const PlannedSeat& seat : heat.seats) {
        if (seat.flag < 1 || seat.flag > kFlags || disabled[seat.flag]) {
            return QStringLiteral("%1 is planned on flag %2, which is disabled in the settings.")
                .arg(seat.name)
                .arg(seat.flag);
        }
        load.racerNames[seat.flag] = seat.name;
    }
    const RaceLength& length = meetingClass->length;
    const QStringList& list = length.timed ? ValueLists::minuteCounts() : ValueLists::lapCounts();
    const int position = ValueLists::positionOf(list, QString::number(length.value));
    if (position < 0) {
        return QStringLiteral("%1: %2").arg(meetingClass->name, *checkLength(length));
    }
    load.raceFormat = currentFormat;
    if (length.timed) {
        load.raceFormat.minutesPos = static_cast<int16_t>(position);
        load.raceFormat.setOption(RaceOption::TimedRace);
    } else {
        load.raceFormat.lapsPos = static_cast<int16_t>(position);
        load.raceFormat.setOption(RaceOption::LapRace);
    }
    return load;
}

std::variant<std::vector<RacerResult>, QString> resultFromRace(const RaceState& state,
                                                               const std::vector<Seat>& seats) {
    if (state.IsPractice) {
        return QStringLiteral("That was a practice; a heat's result comes from a race.");
    }
    std::vector<RacerResult> results;
    for (const Seat& seat : seats) {
        int found = 0;
        for (int f = 1; f <= kFlags; ++f) {
            const FlagName name = state.flagName(f);
            if (name.state == NameState::Named && name.name.trimmed() == seat.name) {
                if (found != 0) {
                    return QStringLiteral(
                               "%1 raced on flags %2 and %3; give each flag its own "
                               "racer.")
                        .arg(seat.name)
                        .arg(found)
                        .arg(f);
                }
                found = f;
            }
        }
        if (found == 0) {
            return QStringLiteral("%1 is on no flag of that race.").arg(seat.name);
        }
        results.push_back(RacerResult{found, seat.name, state.LapCount[found],
                                      state.LastCrossing[found], state.BestLapTime[found]});
    }
    return results;
}

std::variant<std::vector<RacerResult>, QString> resultFromRaceFolder(
    const QString& raceFolder, const std::vector<Seat>& seats) {
    // The lap store makes a race state too large for the stack.
    auto state = std::make_unique<RaceState>();
    // A corrected heat counts as corrected.
    if (auto problem = rescoreRaceFolder(raceFolder, *state)) {
        return *problem;
    }
    return resultFromRace(*state, seats);
}

}  // namespace lapdeck
