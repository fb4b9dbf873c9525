#pragma once

// The longest race for the journal's benchmarks: six cars of about 3000 laps each in a
// 240-minute timed race, bare or in a flood of noise journaled as earlier versions did
// it, one line a report.

#include <vector>

#include <QFile>
#include <QString>

#include "ConfigStore.h"
#include "Journal.h"
#include "ProgramFiles.h"
#include "RaceFormat.h"
#include "ValueLists.h"

namespace lapdeck::test {

// Six cars lapping in 4.78 to 4.83 s for 240 minutes, each crossing at its own ms.
inline std::vector<JournalEntry> longRaceJournal() {
    std::vector<JournalEntry> entries;
    std::vector<int32_t> next(kFlags + 1);
    for (int f = 1; f <= kFlags; ++f) {
        next[f] = 300 + 37 * f;
    }
    const int32_t end = 240 * 60000 + 4000;
    while (true) {
        int best = 1;
        for (int f = 2; f <= kFlags; ++f) {
            if (next[f] < next[best]) {
                best = f;
            }
        }
        if (next[best] > end) {
            break;
        }
        entries.push_back({next[best], QString::number(best)});
        next[best] += 4780 + 10 * best + (static_cast<int32_t>(entries.size()) % 7) * 3;
    }
    return entries;
}

// A data folder the race runs in: the seeded one, six names, a 240-minute timed race.
inline void writeLongRaceData(const QString& folder) {
    const ConfigStore store(folder);
    store.seedMissingFiles();
    PerFlag<QString> names;
    for (int f = 1; f <= kFlags; ++f) {
        names[f] = QStringLiteral("Car %1").arg(f);
    }
    saveRacerNames(store.path(FileNames::racerNames), names);
    RaceFormat format = defaultRaceFormat();
    format.setOption(RaceOption::TimedRace);
    format.minutesPos = static_cast<int16_t>(
        ValueLists::positionOf(ValueLists::minuteCounts(), QStringLiteral("240")));
    saveRaceFormat(store.path(FileNames::raceFormat), format);
}

// Writes `race` to `path`, with `perTick` reports that are no flag number on every
// tick of `tickMs` (at 3 ms past it, as a tick of the race timer falls anywhere).
inline bool writeNoisyJournal(const QString& path, const std::vector<JournalEntry>& race,
                              int tickMs, int perTick) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const char noise[] = "x0789?~ ";
    QByteArray chunk;
    size_t next = 0;
    for (int32_t clock = 3; next < race.size(); clock += tickMs) {
        for (; next < race.size() && race[next].clock <= clock; ++next) {
            chunk += journalLine(race[next].clock, race[next].text);
        }
        const QByteArray line = QByteArray::number(clock) + ',' + noise[clock % 8] + "\r\n";
        chunk += line.repeated(perTick);
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    return file.write(chunk) == chunk.size() && file.flush();
}

}  // namespace lapdeck::test
