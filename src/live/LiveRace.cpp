#include "LiveRace.h"

#include <algorithm>

namespace lapdeck {
namespace {

LiveFlag flagOut(const RaceState& s) {
    switch (s.phase) {
        case RacePhase::Over:
            return LiveFlag::Over;
        case RacePhase::Paused:
            return LiveFlag::Paused;
        case RacePhase::Idle:
        case RacePhase::Starting:
        case RacePhase::Racing:
            break;
    }
    if (s.CheckeredShown) {
        return LiveFlag::Checkered;
    }
    if (s.WhiteFlagShown) {
        return LiveFlag::White;
    }
    // The start lights run while starting; the timer runs from green.
    return s.timerRunning ? LiveFlag::Green : LiveFlag::None;
}

std::shared_ptr<const LiveLaps> lapsOf(const RaceState& s, int flag,
                                       const std::shared_ptr<const LiveLaps>& previous) {
    const int first = s.FirstLapIndex + 1;
    const int last = std::min<int>(s.LapCount[static_cast<size_t>(flag)], kMaxLap);
    const auto& store = s.LapTimes[static_cast<size_t>(flag)];
    const auto begin = store.begin() + std::clamp(first, 0, kMaxLap + 1);
    const auto end = store.begin() + std::max(last + 1, std::clamp(first, 0, kMaxLap + 1));
    if (previous && previous->firstIndex == first &&
        std::equal(begin, end, previous->seconds.begin(), previous->seconds.end())) {
        return previous;
    }
    return std::make_shared<const LiveLaps>(LiveLaps{first, std::vector<float>(begin, end)});
}

}  // namespace

QString liveFlagName(LiveFlag flag) {
    switch (flag) {
        case LiveFlag::Green:
            return QStringLiteral("green");
        case LiveFlag::White:
            return QStringLiteral("white");
        case LiveFlag::Checkered:
            return QStringLiteral("checkered");
        case LiveFlag::Paused:
            return QStringLiteral("paused");
        case LiveFlag::Over:
            return QStringLiteral("over");
        case LiveFlag::None:
            break;
    }
    return QStringLiteral("none");
}

bool LiveRace::operator==(const LiveRace& other) const {
    const bool sameLaps =
        std::equal(laps.begin(), laps.end(), other.laps.begin(),
                   [](const auto& a, const auto& b) { return a == b || (a && b && *a == *b); });
    return sameLaps && title == other.title && clock == other.clock &&
           bestHeader == other.bestHeader && lagHeader == other.lagHeader && flag == other.flag &&
           rows == other.rows && archiveMark == other.archiveMark;
}

LiveRace readLiveRace(const RaceState& state, const LiveRace& previous) {
    const RaceScreen& screen = state.screen;
    LiveRace race;
    race.title = screen.raceFormat;
    race.clock = screen.clock;
    race.bestHeader = columnCaption(screen.bestColumn);
    race.lagHeader = columnCaption(screen.lagColumn);
    race.flag = flagOut(state);
    for (int r = 1; r <= kFlags; ++r) {
        const ScreenRow& shown = screen.row[static_cast<size_t>(r)];
        // Before the first reset the rows show no flag yet; row r is flag r then.
        const int flag = shown.flag >= 1 && shown.flag <= kFlags ? shown.flag : r;
        LiveRow& row = race.rows[static_cast<size_t>(r - 1)];
        row = {flag,         state.flagName(flag).caption(),
               shown.lapNum, shown.lapTime,
               shown.best,   shown.lagTime,
               shown.colour};
    }
    for (int f = 1; f <= kFlags; ++f) {
        race.laps[static_cast<size_t>(f)] = lapsOf(state, f, previous.laps[static_cast<size_t>(f)]);
    }
    race.archiveMark = static_cast<int>(state.phase) * 4 + (state.LapsUnsaved ? 2 : 0) +
                       (state.SummaryUnsaved ? 1 : 0);
    return race;
}

}  // namespace lapdeck
