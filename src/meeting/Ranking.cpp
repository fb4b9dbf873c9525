#include "Ranking.h"

#include <algorithm>
#include <functional>

#include "HeatPlan.h"

namespace lapdeck {
namespace {

int entryIndex(const QStringList& names, const QString& name) {
    const qsizetype i = names.indexOf(name);
    return i < 0 ? static_cast<int>(names.size()) : static_cast<int>(i);
}

}  // namespace

std::vector<RoundPlace> roundRanking(const Meeting& meeting, const QString& className, int round) {
    const QStringList names = meeting.entryNames(className, true);
    std::vector<RoundPlace> places;
    for (const HeatRun& run : meeting.runs) {
        if (run.status != RunStatus::Done || run.key.className != className ||
            run.key.round != round || run.key.isMain()) {
            continue;
        }
        for (const RacerResult& r : run.results) {
            if (!names.contains(r.name)) {
                continue;  // moved to another class since
            }
            auto same = std::find_if(places.begin(), places.end(),
                                     [&r](const RoundPlace& p) { return p.result.name == r.name; });
            if (same == places.end()) {
                places.push_back(RoundPlace{0, 0, run.key.number, r});
            } else if (finishesAhead(r, same->result)) {
                *same = RoundPlace{0, 0, run.key.number, r};
            }
        }
    }
    std::stable_sort(
        places.begin(), places.end(), [&names](const RoundPlace& a, const RoundPlace& b) {
            if (finishesAhead(a.result, b.result) || finishesAhead(b.result, a.result)) {
                return finishesAhead(a.result, b.result);
            }
            if (a.result.bestLapMs != b.result.bestLapMs) {
                return a.result.bestLapMs < b.result.bestLapMs;
            }
            return entryIndex(names, a.result.name) < entryIndex(names, b.result.name);
        });
    const int ranked = static_cast<int>(places.size());
    for (int i = 0; i < ranked; ++i) {
        places[static_cast<size_t>(i)].place = i + 1;
        places[static_cast<size_t>(i)].points = ranked - i;
    }
    return places;
}

std::vector<QualifyingPlace> qualifyingRanking(const Meeting& meeting, const QString& className,
                                               int throughRound) {
    const QStringList names = meeting.entryNames(className, false);
    std::vector<QualifyingPlace> places;
    for (const QString& name : names) {
        places.push_back(QualifyingPlace{0, name, 0, std::nullopt, 0, 999999, {}});
    }
    std::vector<std::vector<int>> points(places.size());
    for (int round = 1; round <= throughRound; ++round) {
        const std::vector<RoundPlace> ranking = roundRanking(meeting, className, round);
        for (size_t i = 0; i < places.size(); ++i) {
            QualifyingPlace& q = places[i];
            auto it = std::find_if(ranking.begin(), ranking.end(),
                                   [&q](const RoundPlace& p) { return p.result.name == q.name; });
            q.roundPlaces.push_back(it == ranking.end() ? 0 : it->place);
            if (it == ranking.end()) {
                continue;
            }
            points[i].push_back(it->points);
            if (!q.best || finishesAhead(it->result, *q.best)) {
                q.best = it->result;
                q.bestRound = round;
            }
            q.bestLapMs = std::min(q.bestLapMs, it->result.bestLapMs);
        }
    }
    for (size_t i = 0; i < places.size(); ++i) {
        std::vector<int>& p = points[i];
        std::sort(p.begin(), p.end(), std::greater<>());
        const size_t counted = std::min(p.size(), static_cast<size_t>(meeting.countedRounds));
        for (size_t k = 0; k < counted; ++k) {
            places[i].points += p[k];
        }
        if (meeting.ranking != RankingRule::Points) {
            places[i].points = 0;
        }
    }
    // Stable: full ties keep entry order.
    std::stable_sort(
        places.begin(), places.end(), [](const QualifyingPlace& a, const QualifyingPlace& b) {
            if (a.best.has_value() != b.best.has_value()) {
                return a.best.has_value();
            }
            if (a.points != b.points) {
                return a.points > b.points;
            }
            if (a.best && (finishesAhead(*a.best, *b.best) || finishesAhead(*b.best, *a.best))) {
                return finishesAhead(*a.best, *b.best);
            }
            return a.bestLapMs < b.bestLapMs;
        });
    for (size_t i = 0; i < places.size(); ++i) {
        places[i].place = static_cast<int>(i) + 1;
    }
    return places;
}

std::vector<FinalPlace> finalResults(const Meeting& meeting, const MeetingPlan& plan,
                                     const QString& className) {
    std::vector<FinalPlace> places;
    QStringList placed;
    auto add = [&](const QString& name, int main, std::optional<RacerResult> result) {
        places.push_back(FinalPlace{static_cast<int>(places.size()) + 1, name, main, result});
        placed.append(name);
    };
    for (int level = 1; level <= meeting.mains; ++level) {
        const PlannedHeat* main = plan.find(HeatKey{className, 0, level});
        if (!main) {
            break;
        }
        // Those bumped up are ranked by the main above, already placed.
        const HeatRun* run = meeting.countingRun(main->key);
        if (run && run->status == RunStatus::Done) {
            for (const RacerResult& r : run->results) {
                if (!placed.contains(r.name)) {
                    add(r.name, level, r);
                }
            }
        } else {
            for (const PlannedSeat& seat : main->seats) {
                if (!seat.name.isEmpty() && !placed.contains(seat.name)) {
                    add(seat.name, level, std::nullopt);
                }
            }
        }
    }
    for (const QualifyingPlace& q : qualifyingRanking(meeting, className, meeting.rounds)) {
        if (!placed.contains(q.name)) {
            add(q.name, 0, std::nullopt);
        }
    }
    return places;
}

}  // namespace lapdeck
