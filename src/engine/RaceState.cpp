#include "RaceState.h"

namespace lapdeck {

QString startCaption(RacePhase phase) {
    switch (phase) {
        case RacePhase::Idle:
        case RacePhase::Starting:
            return QStringLiteral("Start");
        case RacePhase::Racing:
            return QStringLiteral("Pause");
        case RacePhase::Paused:
            return QStringLiteral("Continue");
        case RacePhase::Over:
            return QStringLiteral("Reset");
    }
    return QStringLiteral("Start");
}

FlagName RaceState::flagName(int flag) const {
    if (flag < 1 || flag > kFlags) {
        return {};
    }
    return flagNameOf(isDisabled(flag), RacerName[flag]);
}

void RaceState::ClearLapTimes() {
    for (auto& laps : LapTimes) {
        laps.fill(0.0f);
    }
}

void RaceState::ResetSortedLapTimesArray() {
    for (auto& laps : SortedLapTimes) {
        laps.fill(0.0f);
    }
    sortedUpTo.fill(0);
}

void RaceState::ResetBestLaps() {
    for (int f = 1; f <= kFlags; ++f) {
        BestLapTime[f] = kNoBestLap;
    }
}

}  // namespace lapdeck
