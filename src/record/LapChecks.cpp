#include "LapChecks.h"

#include <algorithm>
#include <cmath>

namespace lapdeck {

namespace {

constexpr double kShortShare = 0.5;
constexpr double kLongShare = 1.8;
constexpr double kFit = 0.15;
constexpr int kFirstLongLap = 4;

}  // namespace

std::vector<SuspectLap> suspectLaps(const std::vector<float>& lapSeconds) {
    std::vector<SuspectLap> suspects;
    if (lapSeconds.empty()) {
        return suspects;
    }
    std::vector<float> sorted = lapSeconds;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    if (median <= 0.0) {
        return suspects;
    }
    for (size_t i = 0; i < lapSeconds.size(); ++i) {
        const int lap = static_cast<int>(i) + 1;
        const double seconds = lapSeconds[i];
        if (seconds < kShortShare * median) {
            suspects.push_back({lap, LapSuspicion::DoubleCount, 0});
            continue;
        }
        if (lap < kFirstLongLap || seconds < kLongShare * median) {
            continue;
        }
        const int parts = static_cast<int>(std::lround(seconds / median));
        if (parts >= 2 && std::abs(seconds - parts * median) <= kFit * parts * median) {
            suspects.push_back({lap, LapSuspicion::MissedCrossings, parts});
        }
    }
    return suspects;
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

std::optional<int32_t> lapEndClock(const CrossingLog& log, int flag, int lap) {
    if (lap == 0) {
        return 0;
    }
    for (const LoggedCrossing& crossing : log.crossings) {
        if (crossing.flag == flag && crossing.lap == lap) {
            return crossing.clock;
        }
    }
    return std::nullopt;
}

}  // namespace lapdeck
