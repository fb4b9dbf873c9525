#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "Meeting.h"

namespace lapdeck {

struct MeetingPlan;

// One entry's place in a qualifying round: every heat of the round that counts,
// ranked together by laps, then the time of the last counted crossing; equal
// results by the better best lap, then entry order. First place earns as many
// points as the round ranks racers, each place below one less.
struct RoundPlace {
    int place = 0;
    int points = 0;
    int heat = 0;
    RacerResult result;
};

// The round's ranking: the entries of the class (withdrawn ones too: they raced)
// that have a counting result in it.
std::vector<RoundPlace> roundRanking(const Meeting& meeting, const QString& className, int round);

// One entry's place in the qualifying ranking over rounds 1..N.
struct QualifyingPlace {
    int place = 0;
    QString name;
    int points = 0;                   // the best counted rounds' points (points rule)
    std::optional<RacerResult> best;  // the best single result
    int bestRound = 0;                // the round of that result
    int32_t bestLapMs = 999999;       // the best lap of all those rounds
    std::vector<int> roundPlaces;     // place in rounds 1..N, 0 where not raced
};

// The class's entries that are not withdrawn, ranked by the meeting's rule over
// rounds 1..`throughRound`: "best round" by the best single result, "points" by
// the sum of the best `countedRounds` rounds' points. Ties go to the better best
// single result, then the better best lap, then entry order. Entries without a
// result follow in entry order.
std::vector<QualifyingPlace> qualifyingRanking(const Meeting& meeting, const QString& className,
                                               int throughRound);

// One entry's place in the meeting's final results.
struct FinalPlace {
    int place = 0;
    QString name;
    int main = 0;                       // the main it is ranked by (1 = A), 0 = none
    std::optional<RacerResult> result;  // its result in that main, once run
};

// The A main's order, then the B main's without those bumped up to A, and so on;
// then the entries no main took, in qualifying order. A main not yet run lists its
// racers in seeded order. Without mains: the qualifying ranking.
std::vector<FinalPlace> finalResults(const Meeting& meeting, const MeetingPlan& plan,
                                     const QString& className);

}  // namespace lapdeck
