#include "SuspectLaps.h"

namespace lapdeck {

std::vector<SuspectLap> suspectLaps(const std::vector<float>&) {
    return {};
}

std::vector<SuspectLap> suspectLaps(const RaceState& state, int flag) {
    std::vector<float> laps;
    for (int n = 1; n <= state.LapCount[flag]; ++n) {
        laps.push_back(state.LapTimes[flag][static_cast<size_t>(n)]);
    }
    return suspectLaps(laps);
}

std::vector<LoggedCrossing> droppedCrossings(const CrossingLog& log, int flag) {
    std::vector<LoggedCrossing> dropped;
    for (const LoggedCrossing& crossing : log.crossings) {
        if (crossing.flag == flag && crossing.lap == 0) {
            dropped.push_back(crossing);
        }
    }
    return dropped;
}

}  // namespace lapdeck
