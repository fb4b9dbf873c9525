#include <algorithm>
#include <map>
#include <set>

#include "MeetingTestSupport.h"
#include "Ranking.h"

namespace lapdeck::test {
namespace {

const QString kTouring = QStringLiteral("Touring");

int letterIndex(const QString& name) {
    return name[0].unicode() - u'A';
}

// Earlier letters faster: the rankings come out in entry order.
const Scorer kEntryOrder = [](const QString& name, const HeatKey&) {
    return RacerResult{0, {}, 30 - letterIndex(name), 60000, 5000};
};
// Later letters faster.
const Scorer kReverseOrder = [](const QString& name, const HeatKey&) {
    return RacerResult{0, {}, 10 + letterIndex(name), 60000, 5000};
};

QString finalText(const Meeting& m, const std::vector<int>& flags) {
    QStringList places;
    for (const FinalPlace& p : finalResults(m, planMeeting(m, flags), kTouring)) {
        places.append(p.name + QLatin1Char(':') + (p.main > 0 ? mainLetter(p.main) : qs("-")));
    }
    return places.join(u' ');
}

TEST(HeatPlan, HeatsSplitEvenlyTheFastestRaceLastAndFlagsRotate) {
    struct Case {
        int entries;
        int flags;
        std::vector<int> sizes;
    };
    const Case cases[] = {{7, 6, {4, 3}}, {13, 6, {5, 4, 4}},    {20, 6, {5, 5, 5, 5}},
                          {7, 4, {4, 3}}, {13, 4, {4, 3, 3, 3}}, {20, 4, {4, 4, 4, 4, 4}}};
    // Times scrambled by racer and round, so every round seeds the heats anew.
    const Scorer scrambled = [](const QString& name, const HeatKey& heat) {
        return RacerResult{
            0, {}, 10, 60000 + (letterIndex(name) * 7919 + heat.round * 104729) % 5000, 5000};
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entries << " entries on " << c.flags << " flags");
        Meeting m = touringMeeting(c.entries, 3);
        const std::vector<int> flags = flagsUpTo(c.flags);
        runHeatsWhile(m, flags, scrambled, [](const HeatKey&) { return true; });
        const MeetingPlan plan = planMeeting(m, flags);
        std::map<QString, std::set<int>> flagsUsed;
        for (int round = 1; round <= 3; ++round) {
            std::vector<int> sizes;
            QStringList raced;
            const PlannedHeat* last = nullptr;
            for (const PlannedHeat& heat : plan.heats) {
                if (heat.key.round == round) {
                    EXPECT_EQ(heat.status, HeatStatus::Done);
                    sizes.push_back(static_cast<int>(heat.seats.size()));
                    for (const PlannedSeat& s : heat.seats) {
                        raced.append(s.name);
                        flagsUsed[s.name].insert(s.flag);
                    }
                    last = &heat;
                }
            }
            EXPECT_EQ(sizes, c.sizes) << "round " << round;
            raced.sort();
            EXPECT_EQ(raced, m.entryNames(kTouring, false)) << "round " << round;
            if (round > 1) {  // the last heat holds the top of the ranking so far
                const auto ranking = qualifyingRanking(m, kTouring, round - 1);
                for (size_t i = 0; i < last->seats.size(); ++i) {
                    EXPECT_EQ(last->seats[i].name, ranking[i].name) << "round " << round;
                }
            }
        }
        EXPECT_EQ(seatsText(plan.heats[0]).left(8), qs("A1 B2 C3"));  // round 1 in entry order
        for (const auto& [name, used] : flagsUsed) {
            EXPECT_EQ(used.size(), 3u) << name.toStdString() << " used a flag twice";
        }
    }
}

TEST(HeatPlan, RoundTwoOfSevenRacersWorkedOutByHand) {
    // Round 1 in entry order: A1 B2 C3 D4 and E1 F2 G3. Times put them G B D E A F C.
    // Round 2: the top three race last; each racer takes the flag after its seat's
    // place in the rotation unless it used that flag in round 1.
    const std::map<QString, int32_t> times = {{qs("A"), 60400}, {qs("B"), 60100}, {qs("C"), 60600},
                                              {qs("D"), 60200}, {qs("E"), 60300}, {qs("F"), 60500},
                                              {qs("G"), 60000}};
    const Scorer byTable = [&times](const QString& name, const HeatKey&) {
        return RacerResult{0, {}, 10, times.at(name), 5000};
    };
    const struct {
        int flags;
        QStringList round2;
    } cases[] = {
        {6, {qs("Touring round 2 heat 1: E2 A3 F4 C5"), qs("Touring round 2 heat 2: G2 B3 D5")}},
        {4, {qs("Touring round 2 heat 1: E2 A3 F4 C1"), qs("Touring round 2 heat 2: G2 B3 D1")}},
    };
    for (const auto& c : cases) {
        Meeting m = touringMeeting(7, 2);
        runHeatsWhile(m, flagsUpTo(c.flags), byTable,
                      [](const HeatKey& k) { return k.round == 1; });
        EXPECT_EQ(roundLines(planMeeting(m, flagsUpTo(c.flags)), 2), c.round2) << c.flags;
    }
}

TEST(HeatPlan, ADrawnRoundOneFollowsItsSeed) {
    Meeting m = touringMeeting(7, 1);
    m.roundOne = RoundOneOrder::Drawn;
    QStringList draws;
    for (uint32_t seed : {1u, 1u, 2u}) {
        m.drawSeed = seed;
        draws.append(roundLines(planMeeting(m, flagsUpTo(6)), 1).join(u'|'));
    }
    // Pinned: a seed must draw the same on every machine and in every version.
    EXPECT_EQ(draws[0], qs("Touring round 1 heat 1: D1 A2 G3 E4|Touring round 1 heat 2: C1 B2 F3"));
    EXPECT_EQ(draws[1], draws[0]);
    EXPECT_NE(draws[2], draws[0]);
    EXPECT_FALSE(withdrawEntry(m, qs("B"), kTouring));
    EXPECT_FALSE(roundLines(planMeeting(m, flagsUpTo(6)), 1).join(u' ').contains(u'B'));
}

TEST(Ranking, BestRoundAndPointsWithTiesWorkedOutByHand) {
    // Four racers, one heat a round. Points a round: 4, 3, 2, 1.
    //   round 1: A 11 laps 60.900, B 11 61.500, C 10 60.100, D 10 62.000   A4 B3 C2 D1
    //   round 2: B 11 60.500, A 11 61.000, C and D 10 laps 60.000: C's
    //            best lap 5.30 beats D's 5.45                             B4 A3 C2 D1
    //   round 3: C 11 60.500, D 11 61.200, A 10 59.000, B 10 59.500       C4 D3 A2 B1
    // Best single results: B and C 11 laps 60.500 (C's best lap 5.10 beats B's
    // 5.20), A 60.900 (though with a best lap of 5.15), D 61.200.
    const std::map<int, std::map<QString, RacerResult>> rounds = {
        {1,
         {{qs("A"), {0, {}, 11, 60900, 5300}},
          {qs("B"), {0, {}, 11, 61500, 5250}},
          {qs("C"), {0, {}, 10, 60100, 5400}},
          {qs("D"), {0, {}, 10, 62000, 5500}}}},
        {2,
         {{qs("A"), {0, {}, 11, 61000, 5350}},
          {qs("B"), {0, {}, 11, 60500, 5200}},
          {qs("C"), {0, {}, 10, 60000, 5300}},
          {qs("D"), {0, {}, 10, 60000, 5450}}}},
        {3,
         {{qs("A"), {0, {}, 10, 59000, 5150}},
          {qs("B"), {0, {}, 10, 59500, 5300}},
          {qs("C"), {0, {}, 11, 60500, 5100}},
          {qs("D"), {0, {}, 11, 61200, 5400}}}},
    };
    const Scorer byTable = [&rounds](const QString& name, const HeatKey& heat) {
        return rounds.at(heat.round).at(name);
    };
    Meeting m = touringMeeting(4, 3);
    runHeatsWhile(m, flagsUpTo(4), byTable, [](const HeatKey&) { return true; });
    QStringList round2;
    for (const RoundPlace& p : roundRanking(m, kTouring, 2)) {
        round2.append(p.result.name + QString::number(p.points));
    }
    EXPECT_EQ(round2, strings({"B4", "A3", "C2", "D1"}));

    const struct {
        RankingRule rule;
        int counted;
        const char* order;
    } cases[] = {
        {RankingRule::BestRound, 3, "C0 B0 A0 D0"},  // B and C tie: best lap
        {RankingRule::Points, 1, "C4 B4 A4 D3"},     // A, B, C tie: best result, best lap
        {RankingRule::Points, 2, "B7 A7 C6 D4"},     // A and B tie: B's best result
        {RankingRule::Points, 3, "A9 C8 B8 D5"},     // B and C tie: best lap
    };
    for (const auto& c : cases) {
        m.ranking = c.rule;
        m.countedRounds = c.counted;
        QStringList order;
        for (const QualifyingPlace& q : qualifyingRanking(m, kTouring, 3)) {
            order.append(q.name + QString::number(q.points));
        }
        EXPECT_EQ(order.join(u' '), qs(c.order)) << c.counted;
    }
}

TEST(Mains, SeededFromQualifyingWithAndWithoutBumpUps) {
    const struct {
        int mains;
        int bumpUps;
        QStringList lines;  // lowest main first
        const char* results;
    } cases[] = {
        {3, 0,
         strings(
             {"Touring C main: J K L M", "Touring B main: F G H I", "Touring A main: A B C D E"}),
         "A:A B:A C:A D:A E:A F:B G:B H:B I:B J:C K:C L:C M:C"},
        {3, 2,
         strings({"Touring C main: I J K L M",
                  "Touring B main: E F G H (1st of the C main) (2nd of the C main)",
                  "Touring A main: A B C D (1st of the B main) (2nd of the B main)"}),
         "A:A B:A C:A D:A E:B F:B G:B H:B I:C J:C K:C L:C M:C"},
        {2, 1,
         strings({"Touring B main: F G H I J K", "Touring A main: A B C D E (1st of the B main)"}),
         "A:A B:A C:A D:A E:A F:B G:B H:B I:B J:B K:B L:- M:-"},
        {1, 0, strings({"Touring A main: A B C D E F"}),
         "A:A B:A C:A D:A E:A F:A G:- H:- I:- J:- K:- L:- M:-"},
    };
    for (const auto& c : cases) {
        Meeting m = touringMeeting(13, 1);
        m.mains = c.mains;
        m.bumpUps = c.bumpUps;
        runHeatsWhile(m, flagsUpTo(6), kEntryOrder, [](const HeatKey& k) { return !k.isMain(); });
        EXPECT_EQ(roundLines(planMeeting(m, flagsUpTo(6)), 0, false), c.lines)
            << c.mains << c.bumpUps;
        EXPECT_EQ(finalText(m, flagsUpTo(6)), qs(c.results)) << c.mains << c.bumpUps;
    }
}

TEST(Mains, WinnersMoveToTheBackOfTheNextMain) {
    Meeting m = touringMeeting(13, 1);
    m.mains = 3;
    m.bumpUps = 2;
    const std::vector<int> flags = flagsUpTo(6);
    runHeatsWhile(m, flags, kEntryOrder, [](const HeatKey& k) { return !k.isMain(); });
    // Later letters win every main: M and L go up from C, then from B.
    runNextHeat(m, flags, kReverseOrder);
    EXPECT_EQ(roundLines(planMeeting(m, flags), 0, false)[1], qs("Touring B main: E F G H M L"));
    runNextHeat(m, flags, kReverseOrder);
    EXPECT_EQ(roundLines(planMeeting(m, flags), 0, false)[2], qs("Touring A main: A B C D M L"));
    runNextHeat(m, flags, kReverseOrder);
    EXPECT_FALSE(planMeeting(m, flags).nextHeat());
    // A's order, then B's without M and L, then C's without them.
    EXPECT_EQ(finalText(m, flags), qs("M:A L:A D:A C:A B:A A:A H:B G:B F:B E:B K:C J:C I:C"));
}

TEST(MeetingChanges, OnlyHeatsNotYetRunAreSeededAgain) {
    Meeting m = touringMeeting(13, 2);
    const std::vector<int> flags = flagsUpTo(6);
    runHeatsWhile(m, flags, kEntryOrder, [](const HeatKey& k) { return k.round == 1; });
    const QStringList round1 = roundLines(planMeeting(m, flags), 1);
    ASSERT_EQ(round1.size(), 3);

    // Withdrawn after round 1: round 2 is split again over twelve.
    EXPECT_FALSE(withdrawEntry(m, qs("B"), kTouring));
    MeetingPlan plan = planMeeting(m, flags);
    EXPECT_EQ(roundLines(plan, 1), round1);
    EXPECT_EQ(roundRanking(m, kTouring, 1).size(), 13u);  // B's round 1 still counts
    EXPECT_EQ(seatsText(plan.heats[3], false), qs("H I J K L M"));
    EXPECT_EQ(seatsText(plan.heats[4], false), qs("A C D E F G"));
    EXPECT_EQ(plan.heats.size(), 5u);

    // Heat 1 run; a late entry and a move reseed the rest of the round only.
    runNextHeat(m, flags, kEntryOrder);
    const QString heat1 = roundLines(planMeeting(m, flags), 2)[0];
    EXPECT_FALSE(addEntry(m, qs("N"), kTouring));
    plan = planMeeting(m, flags);
    EXPECT_EQ(roundLines(plan, 2)[0], heat1);
    EXPECT_EQ(seatsText(plan.heats[4], false), qs("E F G N"));  // heat 2
    EXPECT_EQ(seatsText(plan.heats[5], false), qs("A C D"));    // heat 3, the fastest
    ASSERT_FALSE(addClass(m, MeetingClass{qs("Buggy"), RaceLength{true, 5}}));
    EXPECT_FALSE(moveEntry(m, qs("C"), kTouring, qs("Buggy")));
    plan = planMeeting(m, flags);
    EXPECT_EQ(roundLines(plan, 2)[0], heat1);
    EXPECT_EQ(roundLines(plan, 2)[1], qs("Touring round 2 heat 2: A2 D3 E4 F5 G6 N1"));
    EXPECT_EQ(plan.heats.back().title(), qs("Buggy round 2 heat 1"));

    // A start that came to nothing leaves no trace.
    const PlannedHeat next = *plan.nextHeat();
    const int id = std::get<int>(startHeat(m, next.key, next.namedSeats(), {}));
    EXPECT_NE(planMeeting(m, flags).nextHeat()->key, next.key);
    EXPECT_FALSE(abandonHeat(m, id));
    EXPECT_TRUE(abandonHeat(m, id));
    EXPECT_EQ(planMeeting(m, flags).nextHeat()->key, next.key);

    // A re-run: the first run stays, replaced; the same racers wait on the same flags.
    const HeatKey rerun{kTouring, 2, 1};
    EXPECT_FALSE(rerunHeat(m, rerun));
    plan = planMeeting(m, flags);
    EXPECT_EQ(roundLines(plan, 2).mid(0, 2), QStringList({heat1, heat1}));
    std::vector<HeatStatus> statuses;
    for (const PlannedHeat& heat : plan.heats) {
        if (heat.key == rerun) {
            statuses.push_back(heat.status);
        }
    }
    EXPECT_EQ(statuses, std::vector<HeatStatus>({HeatStatus::Replaced, HeatStatus::Waiting}));
    runNextHeat(m, flags, kEntryOrder);  // Buggy round 1 comes first
    EXPECT_EQ(planMeeting(m, flags).nextHeat()->key, rerun);
    runNextHeat(m, flags, kReverseOrder);
    EXPECT_EQ(roundRanking(m, kTouring, 2)[0].result.name, qs("M"));  // the re-run counts
    EXPECT_EQ(m.runs.size(), 6u);
}

}  // namespace
}  // namespace lapdeck::test
