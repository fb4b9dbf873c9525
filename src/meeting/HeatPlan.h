#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <QStringList>

#include "Meeting.h"
#include "RaceState.h"

namespace lapdeck {

enum class HeatStatus { Waiting, Running, Done, Replaced };

struct PlannedSeat {
    int flag = 1;
    QString name;     // empty while it waits for a bump-up from a main not yet run
    QString standIn;  // then what fills it: "1st of the B main"
};

// One line of the schedule: a heat or main to run, running, done, or an earlier
// run of it that was replaced.
struct PlannedHeat {
    HeatKey key;
    HeatStatus status = HeatStatus::Waiting;
    int runId = 0;  // the run this line shows; 0 for a heat not yet started
    // In seeded order (a main's bump-ups at the back), each with its flag.
    std::vector<PlannedSeat> seats;

    QString title() const { return heatTitle(key); }
    // Waiting, with a racer on every seat.
    bool ready() const;
    std::vector<Seat> namedSeats() const;
};

struct MeetingPlan {
    std::vector<PlannedHeat> heats;  // in running order
    QString problem;                 // why heats could not be made, or empty

    // The first heat that waits with every racer known, or nothing.
    const PlannedHeat* nextHeat() const;
    // The heat's current line (not a replaced run), or nothing.
    const PlannedHeat* find(const HeatKey& key) const;
};

// The schedule: per class, every qualifying round split into heats of at most as
// many racers as there are enabled flags, sizes differing by at most one (larger
// heats first). Round 1 in entry order or drawn; later rounds by the qualifying
// ranking so far, the fastest racers together in the round's last heat. Flags go
// to the racers that have used them least in earlier rounds. Then the mains, the
// lowest first. Heats run or started keep their racers; a heat waiting for a re-run
// keeps the racers of its replaced run; everything else is worked out from the
// entries as they are now. Each round runs its classes in turn (round 1 of every
// class, then round 2 ...); the mains of all classes follow, lowest level first.
MeetingPlan planMeeting(const Meeting& meeting, const std::vector<int>& enabledFlags);

// The flags the settings leave enabled, in order: what planMeeting() takes.
std::vector<int> enabledFlags(const PerFlag<bool>& disabled);

// The class's names in the order a round-1 draw with `seed` puts them. The same on
// every machine (no library shuffle), so a draw can be checked from its seed.
QStringList drawnOrder(const QStringList& names, uint32_t seed, const QString& className);

}  // namespace lapdeck
