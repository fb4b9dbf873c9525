#include "MeetingPace.h"
#include "MeetingTestSupport.h"
#include "MeetingText.h"

namespace lapdeck::test {
namespace {

using Call = HeatCountdown::Call;

TEST(HeatCountdown, CallsAtAMinuteAndThirtySecondsAsTheOrganiserMovesIt) {
    // Each step: what the organiser does at `at` ms, then what a poll then says.
    enum class Act { Start, Poll, Later, Earlier };
    struct Step {
        Act act;
        int64_t at;
        std::vector<Call> calls;
        int64_t remaining;
    };
    const Step steps[] = {
        {Act::Start, 0, {}, 180000},  // three minutes after the heat ended
        {Act::Poll, 119999, {}, 60001},
        {Act::Poll, 120000, {Call::OneMinute}, 60000},
        {Act::Poll, 121000, {}, 59000},
        {Act::Later, 130000, {}, 65000},  // past the minute again: called again
        {Act::Poll, 135000, {Call::OneMinute}, 60000},
        {Act::Poll, 165000, {Call::ThirtySeconds}, 30000},
        {Act::Later, 166000, {}, 44000},  // still under the minute: only thirty again
        {Act::Poll, 180000, {Call::ThirtySeconds}, 30000},
        {Act::Earlier, 190000, {}, 5000},
        {Act::Earlier, 191000, {Call::Due}, 0},  // never before now
        {Act::Poll, 200000, {}, 0},              // said once; the countdown has stopped
    };
    HeatCountdown countdown;
    for (const Step& s : steps) {
        std::vector<Call> calls;
        switch (s.act) {
            case Act::Start:
                countdown.start(s.at, 3);
                break;
            case Act::Later:
                countdown.adjust(s.at, kGapStepSeconds);
                break;
            case Act::Earlier:
                countdown.adjust(s.at, -kGapStepSeconds);
                break;
            case Act::Poll:
                break;
        }
        calls = countdown.poll(s.at);
        EXPECT_EQ(calls, s.calls) << "at " << s.at;
        EXPECT_EQ(countdown.remainingMs(s.at), s.remaining) << "at " << s.at;
    }
    EXPECT_FALSE(countdown.running());
}

TEST(HeatCountdown, GapsAreKeptInRangeAndALatePollSaysOnlyTheLatestCall) {
    const struct {
        int gap;
        int64_t pollAt;
        std::vector<Call> calls;
        int64_t remaining;
    } cases[] = {
        {0, 0, {}, 60000},                         // one minute at the least, and quiet at first
        {12, 0, {}, 600000},                       // ten at the most
        {1, 35000, {Call::ThirtySeconds}, 25000},  // the minute's call would be wrong now
        {1, 4999, {}, 55001},
        {1, 5000, {Call::OneMinute}, 55000},
        {2, 500000, {Call::Due}, 0},
    };
    for (const auto& c : cases) {
        HeatCountdown countdown;
        countdown.start(0, c.gap);
        EXPECT_EQ(countdown.poll(c.pollAt), c.calls) << c.gap << " at " << c.pollAt;
        EXPECT_EQ(countdown.remainingMs(c.pollAt), c.remaining) << c.gap << " at " << c.pollAt;
    }
}

TEST(MeetingPace, TheCallNamesTheHeatAndItsRacersInFlagOrder) {
    PlannedHeat heat{HeatKey{qs("Touring"), 2, 3}, HeatStatus::Waiting, 0, {}};
    heat.seats = {{3, qs("Cy"), {}}, {1, qs("Ann"), {}}, {2, qs("Bob"), {}}};
    EXPECT_EQ(nextHeatCallout(heat), qs("Next heat, Touring round 2 heat 3: Ann, Bob, Cy"));
    heat.key = HeatKey{qs("Buggy"), 0, 1};
    heat.seats = {{2, qs("Dee"), {}}, {1, {}, qs("1st of the B main")}};
    EXPECT_EQ(nextHeatCallout(heat), qs("Next heat, Buggy A main: 1st of the B main, Dee"));
    const std::pair<int64_t, const char*> times[] = {
        {0, "0:00"}, {1, "0:01"}, {59001, "1:00"}, {61000, "1:01"}, {600000, "10:00"}};
    for (const auto& [ms, text] : times) {
        EXPECT_EQ(countdownText(ms), qs(text)) << ms;
    }
}

TEST(MeetingPace, PlannedStartsFollowTheRacesRunAndTheGap) {
    Meeting m = touringMeeting(4, 2);
    m.classes.push_back(MeetingClass{qs("Buggy"), RaceLength{true, 5}});
    for (const char* name : {"W", "X", "Y", "Z"}) {
        ASSERT_FALSE(addEntry(m, qs(name), qs("Buggy")));
    }
    const std::vector<int> flags = flagsUpTo(4);
    // Touring round 1 was run (the second race of its second); its winner took 95 s
    // for the 10 laps.
    const auto id =
        startHeat(m, HeatKey{qs("Touring"), 1, 1}, planMeeting(m, flags).nextHeat()->namedSeats(),
                  qs("/data/Races/2026-12-05 10-02-07 2"));
    ASSERT_TRUE(std::holds_alternative<int>(id));
    std::vector<RacerResult> results;
    for (const Seat& s : m.runs.back().seats) {
        results.push_back(RacerResult{s.flag, s.name, 10, 95120 + s.flag, 8000});
    }
    ASSERT_FALSE(finishHeat(m, std::get<int>(id), results));
    const MeetingPlan plan = planMeeting(m, flags);
    const QDateTime next(QDate(2026, 12, 5), QTime(10, 10));
    const TextTable list = heatListTable(plan, plannedStarts(m, plan, next, 2));
    QStringList starts;
    for (const QStringList& row : list.rows) {
        starts << row[0] + QLatin1Char(' ') + row[1];
    }
    // Buggy: 5 minutes and the gap; Touring: 95 s and the gap, the start rounded down.
    EXPECT_EQ(starts,
              (QStringList{qs("Touring round 1 heat 1 10:02"), qs("Buggy round 1 heat 1 10:10"),
                           qs("Touring round 2 heat 1 10:17"), qs("Buggy round 2 heat 1 10:20")}));
    EXPECT_EQ(list.header.mid(0, 3), (QStringList{qs("Heat"), qs("Time"), qs("Flag 1")}));
}

TEST(MeetingText, APrintoutLinesUpItsColumnsWithRoomForTheWidestCell) {
    const struct {
        TextTable table;
        std::vector<int> columns;
        bool landscape;
    } cases[] = {
        // "Annabelle": 9 characters and a quarter, 12 columns, then 2 between.
        {{qs("Touring round 1"),
          {qs("Place"), qs("Name"), qs("Laps")},
          {{qs("1"), qs("Annabelle"), qs("10")}, {qs("12"), qs("Bo"), qs("9")}}},
         {1, 10, 24},
         false},
        {{qs("Wide"), {qs("A"), qs("B")}, {{QString(62, u'x'), QString(2, u'y')}}}, {1, 81}, true},
        {{qs("Narrow"), {qs("A"), qs("B")}, {{QString(58, u'x'), QString(2, u'y')}}},
         {1, 76},
         false},
    };
    for (const auto& c : cases) {
        const Printout p = tablePrintout(c.table, qs("Club day, 2026-12-05"));
        EXPECT_EQ(p.landscape, c.landscape) << c.table.title.toStdString();
        ASSERT_EQ(p.lines.size(), c.table.rows.size() + 4);
        EXPECT_EQ(p.lines[0].points, kPrintTitlePoints);
        EXPECT_EQ(p.lines[0].items.at(0).text, c.table.title);
        EXPECT_EQ(p.lines[1].items.at(0).text, qs("Club day, 2026-12-05"));
        EXPECT_TRUE(p.lines[2].items.empty());
        for (size_t line = 3; line < p.lines.size(); ++line) {
            std::vector<int> columns;
            for (const PrintItem& item : p.lines[line].items) {
                columns.push_back(item.column);
            }
            EXPECT_EQ(columns, c.columns) << c.table.title.toStdString() << " line " << line;
        }
    }
}

}  // namespace
}  // namespace lapdeck::test
