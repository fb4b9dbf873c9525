#include "HeatPlan.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <random>
#include <set>

#include "RaceState.h"
#include "Ranking.h"

namespace lapdeck {
namespace {

// How often each racer of a class has used each flag in the rounds planned so far.
using FlagUses = std::map<QString, std::array<int, kFlags + 1>>;

struct Assignment {
    std::vector<int> flags;
    int reuse = 0;
    int offRotation = 0;
};

// The flags for a heat's seats: first the fewest flags a racer has used before,
// then as near as possible to seat i on the (i + rotation)-th enabled flag, so a
// round without history reads 1, 2, 3 ... At most 6! tries.
std::vector<int> assignFlags(const std::vector<PlannedSeat>& seats, const std::vector<int>& flags,
                             const FlagUses& uses, int rotation) {
    const int n = static_cast<int>(seats.size());
    const int f = static_cast<int>(flags.size());
    Assignment best{{}, 1 << 30, 0};
    Assignment current{std::vector<int>(seats.size(), 0), 0, 0};
    std::array<bool, kFlags + 1> taken{};
    auto usesOf = [&uses](const QString& name, int flag) {
        auto it = uses.find(name);
        return name.isEmpty() || it == uses.end() ? 0 : it->second[static_cast<size_t>(flag)];
    };
    auto place = [&](auto&& self, int seat) -> void {
        if (seat == n) {
            if (current.reuse < best.reuse ||
                (current.reuse == best.reuse && current.offRotation < best.offRotation)) {
                best = current;
            }
            return;
        }
        for (int k = 0; k < f; ++k) {
            const int flag = flags[static_cast<size_t>(k)];
            if (taken[static_cast<size_t>(flag)]) {
                continue;
            }
            const int reuse = usesOf(seats[static_cast<size_t>(seat)].name, flag);
            const int off = ((k - seat - rotation) % f + f) % f;
            taken[static_cast<size_t>(flag)] = true;
            current.flags[static_cast<size_t>(seat)] = flag;
            current.reuse += reuse;
            current.offRotation += off;
            self(self, seat + 1);
            current.reuse -= reuse;
            current.offRotation -= off;
            taken[static_cast<size_t>(flag)] = false;
        }
    };
    place(place, 0);
    return best.flags;
}

void seatFlags(std::vector<PlannedSeat>& seats, const std::vector<int>& flags, const FlagUses& uses,
               int rotation) {
    seats.resize(std::min(seats.size(), flags.size()));  // the planner never seats more
    const std::vector<int> chosen = assignFlags(seats, flags, uses, rotation);
    for (size_t i = 0; i < seats.size(); ++i) {
        seats[i].flag = chosen[i];
    }
}

std::vector<PlannedSeat> seatsOf(const HeatRun& run) {
    std::vector<PlannedSeat> seats;
    // A done heat shows where each racer really raced.
    if (!run.results.empty()) {
        for (const Seat& s : run.seats) {
            auto r = std::find_if(run.results.begin(), run.results.end(),
                                  [&s](const RacerResult& x) { return x.name == s.name; });
            seats.push_back(PlannedSeat{r == run.results.end() ? s.flag : r->flag, s.name, {}});
        }
        return seats;
    }
    for (const Seat& s : run.seats) {
        seats.push_back(PlannedSeat{s.flag, s.name, {}});
    }
    return seats;
}

HeatStatus statusOf(RunStatus status) {
    switch (status) {
        case RunStatus::Running:
            return HeatStatus::Running;
        case RunStatus::Done:
            return HeatStatus::Done;
        case RunStatus::Replaced:
            break;
    }
    return HeatStatus::Replaced;
}

uint32_t nameHash(const QString& text) {
    uint32_t h = 2166136261u;  // FNV-1a over the UTF-16 units
    for (QChar c : text) {
        h = (h ^ c.unicode()) * 16777619u;
    }
    return h;
}

QString ordinal(int n) {
    static const char* const kSuffix[] = {"th", "st", "nd", "rd"};
    const int last = n % 10;
    const bool teen = n % 100 >= 11 && n % 100 <= 13;
    return QString::number(n) + QLatin1String(!teen && last <= 3 ? kSuffix[last] : "th");
}

// Sizes of `parts` groups sharing `total`, differing by at most one, larger first.
std::vector<int> balancedSizes(int total, int parts) {
    std::vector<int> sizes;
    for (int i = 0; i < parts; ++i) {
        sizes.push_back(total / parts + (i < total % parts ? 1 : 0));
    }
    return sizes;
}

// A round's heat sizes for `racers` on `flags` flags.
std::vector<int> heatSizes(int racers, int flags) {
    if (racers <= 0 || flags <= 0) {
        return {};
    }
    return balancedSizes(racers, (racers + flags - 1) / flags);
}

// How many mains `qualifiers` racers fill: at most `mains`, each main with at least
// one racer of its own beside the bump-ups.
int mainCount(int qualifiers, int mains, int flags, int bumpUps) {
    for (int count = std::min(mains, qualifiers); count > 1; --count) {
        const int seats = std::min(qualifiers + bumpUps * (count - 1), count * flags);
        const std::vector<int> sizes = balancedSizes(seats, count);
        // The smallest upper main must keep a seat for a racer of its own.
        if (sizes[static_cast<size_t>(count - 2)] > bumpUps) {
            return count;
        }
    }
    return std::min(1, std::max(qualifiers, 0));
}

// Plans one stage of a class (a round's heats, or its mains): the lines of heats
// started, run or waiting for a re-run are kept; the other racers go to new heats.
class ClassPlanner {
public:
    ClassPlanner(const Meeting& meeting, const QString& className, const std::vector<int>& flags)
        : m_meeting(meeting),
          m_class(className),
          m_flags(flags),
          // A main keeps at least one flag for a racer of its own.
          m_bumpUps(std::min(meeting.bumpUps, static_cast<int>(flags.size()) - 1)) {}

    std::vector<PlannedHeat> round(int round);
    std::vector<PlannedHeat> mains();

private:
    struct Kept {
        std::vector<PlannedHeat> lines;  // replaced runs, then the current line
        std::set<int> numbers;
        QStringList names;
    };
    Kept keptHeats(int round, int maxNumber);
    std::vector<int> freeNumbers(const std::set<int>& used, int count) const;
    void noteUses(const std::vector<PlannedHeat>& lines);
    bool allEnabled(const std::vector<PlannedSeat>& seats) const;
    std::vector<PlannedSeat> bumpSeats(int fromLevel) const;

    const Meeting& m_meeting;
    QString m_class;
    std::vector<int> m_flags;
    int m_bumpUps;
    FlagUses m_uses;
};

ClassPlanner::Kept ClassPlanner::keptHeats(int round, int maxNumber) {
    Kept kept;
    const QStringList active = m_meeting.entryNames(m_class, false);
    for (int number = 1; number <= maxNumber; ++number) {
        const HeatKey key{m_class, round, number};
        std::vector<PlannedHeat> lines;
        for (const HeatRun& run : m_meeting.runs) {
            if (run.key == key && run.status == RunStatus::Replaced) {
                lines.push_back(PlannedHeat{key, HeatStatus::Replaced, run.id, seatsOf(run)});
            }
        }
        std::optional<PlannedHeat> current;
        if (const HeatRun* counting = m_meeting.countingRun(key)) {
            current =
                PlannedHeat{key, statusOf(counting->status), counting->id, seatsOf(*counting)};
        } else if (!lines.empty()) {
            // A re-run waits with the racers of the run it replaces, those still entered;
            // if nobody is left, or too many for the flags, the heat is planned afresh.
            PlannedHeat rerun{key, HeatStatus::Waiting, 0, {}};
            for (const PlannedSeat& seat : lines.back().seats) {
                if (active.contains(seat.name)) {
                    rerun.seats.push_back(seat);
                }
            }
            if (!rerun.seats.empty() && rerun.seats.size() <= m_flags.size()) {
                if (!allEnabled(rerun.seats)) {
                    seatFlags(rerun.seats, m_flags, m_uses, 0);
                }
                current = rerun;
            }
        }
        if (current) {
            kept.numbers.insert(number);
            for (const PlannedSeat& seat : current->seats) {
                kept.names.append(seat.name);
            }
            lines.push_back(*current);
        }
        kept.lines.insert(kept.lines.end(), lines.begin(), lines.end());
    }
    return kept;
}

std::vector<int> ClassPlanner::freeNumbers(const std::set<int>& used, int count) const {
    std::vector<int> numbers;
    for (int n = 1; static_cast<int>(numbers.size()) < count; ++n) {
        if (!used.count(n)) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

bool ClassPlanner::allEnabled(const std::vector<PlannedSeat>& seats) const {
    return std::all_of(seats.begin(), seats.end(), [this](const PlannedSeat& s) {
        return std::find(m_flags.begin(), m_flags.end(), s.flag) != m_flags.end();
    });
}

void ClassPlanner::noteUses(const std::vector<PlannedHeat>& lines) {
    for (const PlannedHeat& heat : lines) {
        if (heat.status == HeatStatus::Replaced) {
            continue;
        }
        for (const PlannedSeat& seat : heat.seats) {
            if (!seat.name.isEmpty()) {
                ++m_uses[seat.name][static_cast<size_t>(seat.flag)];
            }
        }
    }
}

std::vector<PlannedHeat> ClassPlanner::round(int round) {
    // Every run of this round, whatever its number, is kept. Once a later round or
    // the mains have begun, the round takes no new heats: a late entry starts there.
    int maxNumber = 0;
    bool closed = false;
    for (const HeatRun& run : m_meeting.runs) {
        if (run.key.className == m_class && run.key.round == round) {
            maxNumber = std::max(maxNumber, run.key.number);
        }
        closed =
            closed || (run.key.className == m_class && (run.key.isMain() || run.key.round > round));
    }
    Kept kept = keptHeats(round, maxNumber);

    QStringList order;
    if (round > 1) {
        for (const QualifyingPlace& q : qualifyingRanking(m_meeting, m_class, round - 1)) {
            order.append(q.name);
        }
    } else if (m_meeting.roundOne == RoundOneOrder::Drawn) {
        order = drawnOrder(m_meeting.entryNames(m_class, false), m_meeting.drawSeed, m_class);
    } else {
        order = m_meeting.entryNames(m_class, false);
    }
    QStringList waiting;
    for (const QString& name : order) {
        if (!closed && !kept.names.contains(name)) {
            waiting.append(name);
        }
    }

    const std::vector<int> sizes =
        heatSizes(static_cast<int>(waiting.size()), static_cast<int>(m_flags.size()));
    const std::vector<int> numbers = freeNumbers(kept.numbers, static_cast<int>(sizes.size()));
    std::vector<PlannedHeat> lines = kept.lines;
    qsizetype next = 0;
    for (size_t h = 0; h < sizes.size(); ++h) {
        // Seeded rounds fill from the last heat back, so the fastest race together last.
        const size_t index = round > 1 ? sizes.size() - 1 - h : h;
        PlannedHeat heat{HeatKey{m_class, round, numbers[index]}, HeatStatus::Waiting, 0, {}};
        for (int s = 0; s < sizes[index]; ++s) {
            heat.seats.push_back(PlannedSeat{0, waiting[next++], {}});
        }
        seatFlags(heat.seats, m_flags, m_uses, round - 1);
        lines.push_back(heat);
    }
    std::stable_sort(lines.begin(), lines.end(), [](const PlannedHeat& a, const PlannedHeat& b) {
        return a.key.number < b.key.number;
    });
    noteUses(lines);
    return lines;
}

std::vector<PlannedSeat> ClassPlanner::bumpSeats(int fromLevel) const {
    std::vector<PlannedSeat> seats;
    const HeatRun* lower = m_meeting.countingRun(HeatKey{m_class, 0, fromLevel});
    if (lower && lower->status == RunStatus::Done) {
        for (const RacerResult& r : lower->results) {
            const Entry* entry = m_meeting.findEntry(r.name, m_class);
            if (entry && !entry->withdrawn && static_cast<int>(seats.size()) < m_bumpUps) {
                seats.push_back(PlannedSeat{0, r.name, {}});
            }
        }
        return seats;
    }
    for (int i = 1; i <= m_bumpUps; ++i) {
        seats.push_back(PlannedSeat{
            0, {}, QStringLiteral("%1 of the %2 main").arg(ordinal(i), mainLetter(fromLevel))});
    }
    return seats;
}

std::vector<PlannedHeat> ClassPlanner::mains() {
    if (m_meeting.mains == 0) {
        return {};
    }
    QStringList qualifiers;
    for (const QualifyingPlace& q : qualifyingRanking(m_meeting, m_class, m_meeting.rounds)) {
        qualifiers.append(q.name);
    }
    const int flags = static_cast<int>(m_flags.size());
    int levels = mainCount(static_cast<int>(qualifiers.size()), m_meeting.mains, flags, m_bumpUps);
    for (const HeatRun& run : m_meeting.runs) {
        if (run.key.className == m_class && run.key.isMain()) {
            levels = std::max(levels, run.key.number);
        }
    }
    Kept kept = keptHeats(0, levels);
    QStringList waiting;
    for (const QString& name : qualifiers) {
        if (!kept.names.contains(name)) {
            waiting.append(name);
        }
    }
    // The mains still to seed, A first; all but the lowest main keep seats for the
    // bump-ups from the main below.
    std::vector<int> open;
    for (int level = 1; level <= levels; ++level) {
        if (!kept.numbers.count(level)) {
            open.push_back(level);
        }
    }
    int bumpSeatCount = 0;
    for (int level : open) {
        bumpSeatCount += level < levels ? m_bumpUps : 0;
    }
    const int parts = static_cast<int>(open.size());
    const int seatTotal = std::min(static_cast<int>(waiting.size()) + bumpSeatCount, parts * flags);
    const std::vector<int> sizes = balancedSizes(seatTotal, parts);
    std::vector<PlannedHeat> lines = kept.lines;
    qsizetype next = 0;
    for (size_t i = 0; i < open.size(); ++i) {
        const int level = open[i];
        PlannedHeat main{HeatKey{m_class, 0, level}, HeatStatus::Waiting, 0, {}};
        std::vector<PlannedSeat> bumps =
            level < levels ? bumpSeats(level + 1) : std::vector<PlannedSeat>{};
        const int direct = std::max(0, sizes[i] - static_cast<int>(bumps.size()));
        for (int s = 0; s < direct && next < waiting.size(); ++s) {
            main.seats.push_back(PlannedSeat{0, waiting[next++], {}});
        }
        main.seats.insert(main.seats.end(), bumps.begin(), bumps.end());
        if (main.seats.empty()) {
            continue;
        }
        seatFlags(main.seats, m_flags, m_uses, 0);
        lines.push_back(main);
    }
    std::stable_sort(lines.begin(), lines.end(), [](const PlannedHeat& a, const PlannedHeat& b) {
        return a.key.number < b.key.number;
    });
    return lines;
}

}  // namespace

bool PlannedHeat::ready() const {
    return status == HeatStatus::Waiting && !seats.empty() &&
           std::all_of(seats.begin(), seats.end(),
                       [](const PlannedSeat& s) { return !s.name.isEmpty(); });
}

std::vector<Seat> PlannedHeat::namedSeats() const {
    std::vector<Seat> named;
    for (const PlannedSeat& s : seats) {
        if (!s.name.isEmpty()) {
            named.push_back(Seat{s.flag, s.name});
        }
    }
    return named;
}

const PlannedHeat* MeetingPlan::nextHeat() const {
    for (const PlannedHeat& heat : heats) {
        if (heat.ready()) {
            return &heat;
        }
    }
    return nullptr;
}

const PlannedHeat* MeetingPlan::find(const HeatKey& key) const {
    for (const PlannedHeat& heat : heats) {
        if (heat.key == key && heat.status != HeatStatus::Replaced) {
            return &heat;
        }
    }
    return nullptr;
}

QStringList drawnOrder(const QStringList& names, uint32_t seed, const QString& className) {
    // mt19937 and seed_seq give the same numbers everywhere; the library's
    // distributions and shuffle do not, so the index is drawn by hand.
    std::seed_seq seq{seed, nameHash(className)};
    std::mt19937 random(seq);
    auto below = [&random](uint32_t bound) {
        const uint32_t limit = 0xFFFFFFFFu - 0xFFFFFFFFu % bound;
        uint32_t x = random();
        while (x >= limit) {
            x = random();
        }
        return x % bound;
    };
    QStringList order = names;
    for (qsizetype i = order.size() - 1; i > 0; --i) {
        order.swapItemsAt(i, static_cast<qsizetype>(below(static_cast<uint32_t>(i + 1))));
    }
    return order;
}

std::vector<int> enabledFlags(const PerFlag<bool>& disabled) {
    std::vector<int> flags;
    for (int f = 1; f <= kFlags; ++f) {
        if (!disabled[f]) {
            flags.push_back(f);
        }
    }
    return flags;
}

MeetingPlan planMeeting(const Meeting& meeting, const std::vector<int>& enabledFlags) {
    MeetingPlan plan;
    std::vector<int> flags;
    for (int f : enabledFlags) {
        if (f >= 1 && f <= kFlags && std::find(flags.begin(), flags.end(), f) == flags.end()) {
            flags.push_back(f);
        }
    }
    std::sort(flags.begin(), flags.end());
    if (flags.empty()) {
        plan.problem = QStringLiteral("No flag is enabled in the settings: heats need flags.");
        return plan;
    }
    std::vector<std::vector<std::vector<PlannedHeat>>> rounds(meeting.classes.size());
    std::vector<std::vector<PlannedHeat>> mains(meeting.classes.size());
    int lowest = 0;
    for (size_t c = 0; c < meeting.classes.size(); ++c) {
        ClassPlanner planner(meeting, meeting.classes[c].name, flags);
        for (int r = 1; r <= meeting.rounds; ++r) {
            rounds[c].push_back(planner.round(r));
        }
        mains[c] = planner.mains();
        for (const PlannedHeat& main : mains[c]) {
            lowest = std::max(lowest, main.key.number);
        }
    }
    for (int r = 0; r < meeting.rounds; ++r) {
        for (size_t c = 0; c < meeting.classes.size(); ++c) {
            const auto& lines = rounds[c][static_cast<size_t>(r)];
            plan.heats.insert(plan.heats.end(), lines.begin(), lines.end());
        }
    }
    for (int level = lowest; level >= 1; --level) {
        for (size_t c = 0; c < meeting.classes.size(); ++c) {
            for (const PlannedHeat& main : mains[c]) {
                if (main.key.number == level) {
                    plan.heats.push_back(main);
                }
            }
        }
    }
    return plan;
}

}  // namespace lapdeck
