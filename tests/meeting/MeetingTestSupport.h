#pragma once

#include <functional>
#include <variant>

#include <gtest/gtest.h>

#include "HeatPlan.h"
#include "Meeting.h"
#include "TestHelpers.h"

namespace lapdeck::test {

// A meeting of the class "Touring" (10 laps) with `entries` racers named A, B, C ...
inline Meeting touringMeeting(int entries, int rounds) {
    Meeting m;
    m.name = qs("Club day");
    m.date = QDate(2026, 12, 5);
    m.rounds = rounds;
    m.countedRounds = rounds;
    m.mains = 0;
    m.classes.push_back(MeetingClass{qs("Touring"), RaceLength{false, 10}});
    for (int i = 0; i < entries; ++i) {
        EXPECT_FALSE(addEntry(m, QString(QChar(u'A' + i)), qs("Touring")));
    }
    return m;
}

inline std::vector<int> flagsUpTo(int count) {
    std::vector<int> flags;
    for (int f = 1; f <= count; ++f) {
        flags.push_back(f);
    }
    return flags;
}

// A racer's laps, time and best lap in a heat.
using Scorer = std::function<RacerResult(const QString& name, const HeatKey& heat)>;

// Starts and finishes the plan's next heat with the scorer's results; false when
// no heat waits.
inline bool runNextHeat(Meeting& m, const std::vector<int>& flags, const Scorer& score) {
    const MeetingPlan plan = planMeeting(m, flags);
    const PlannedHeat* heat = plan.nextHeat();
    if (!heat) {
        return false;
    }
    const auto id = startHeat(m, heat->key, heat->namedSeats(), QString());
    EXPECT_TRUE(std::holds_alternative<int>(id)) << std::get<QString>(id).toStdString();
    std::vector<RacerResult> results;
    for (const Seat& seat : heat->namedSeats()) {
        RacerResult r = score(seat.name, heat->key);
        r.flag = seat.flag;
        r.name = seat.name;
        results.push_back(r);
    }
    EXPECT_FALSE(finishHeat(m, std::get<int>(id), results));
    return true;
}

inline void runHeatsWhile(Meeting& m, const std::vector<int>& flags, const Scorer& score,
                          const std::function<bool(const HeatKey&)>& keepGoing) {
    for (;;) {
        const MeetingPlan plan = planMeeting(m, flags);
        if (!plan.nextHeat() || !keepGoing(plan.nextHeat()->key)) {
            return;
        }
        runNextHeat(m, flags, score);
    }
}

// "B3 F4 D5": each seat's racer (or its stand-in) and flag, in seeded order.
inline QString seatsText(const PlannedHeat& heat, bool withFlags = true) {
    QStringList seats;
    for (const PlannedSeat& s : heat.seats) {
        seats.append((s.name.isEmpty() ? QLatin1Char('(') + s.standIn + QLatin1Char(')') : s.name) +
                     (withFlags ? QString::number(s.flag) : QString()));
    }
    return seats.join(u' ');
}

// The plan's lines of one round (0: the mains) as "title: seats".
inline QStringList roundLines(const MeetingPlan& plan, int round, bool withFlags = true) {
    QStringList lines;
    for (const PlannedHeat& heat : plan.heats) {
        if (heat.key.round == round) {
            lines.append(heat.title() + QStringLiteral(": ") + seatsText(heat, withFlags));
        }
    }
    return lines;
}

}  // namespace lapdeck::test
