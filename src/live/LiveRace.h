#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <QString>

#include "RaceState.h"

namespace lapdeck {

// The flag out, as watchers know it.
enum class LiveFlag { None, Green, White, Checkered, Paused, Over };

QString liveFlagName(LiveFlag flag);

// One row of the race screen as it shows now, with the flag it belongs to.
struct LiveRow {
    int flag = 0;
    QString name;
    QString laps;
    QString lastLap;
    QString best;
    QString gap;
    int32_t colour = 0;

    bool operator==(const LiveRow&) const = default;
};

// A flag's laps so far in seconds, from lap index `firstIndex` on.
struct LiveLaps {
    int firstIndex = 1;
    std::vector<float> seconds;

    bool operator==(const LiveLaps&) const = default;
};

// What the live page shows of the race: the race screen's own texts, row for row,
// and each flag's laps for those who follow a racer. A plain value, so it can be
// handed to the server's thread while the race goes on.
struct LiveRace {
    QString title;
    QString clock;
    QString bestHeader;
    QString lagHeader;
    LiveFlag flag = LiveFlag::None;
    std::array<LiveRow, kFlags> rows{};  // top row first
    // Shared with the previous reading while a flag's laps stay the same, so a tick
    // without a crossing copies no lap.
    PerFlag<std::shared_ptr<const LiveLaps>> laps{};
    // Changes when a race is closed or a result saved: the day's results may have grown.
    int archiveMark = 0;

    bool operator==(const LiveRace& other) const;
};

// The one place the live page reads the race state. `previous` is the last reading,
// whose lap lists are kept where nothing changed.
LiveRace readLiveRace(const RaceState& state, const LiveRace& previous);

}  // namespace lapdeck
