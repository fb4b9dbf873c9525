#include "Printout.h"

#include <gtest/gtest.h>

#include "LapFile.h"
#include "RaceSummary.h"
#include "ResultFieldReader.h"
#include "ResultsTestSupport.h"

namespace lapdeck {
namespace {

using namespace test;
using namespace Qt::StringLiterals;

// The lap lines of a lap printout: everything after the title and three headers.
std::vector<PrintLine> lapLines(const Printout& p) {
    return {p.lines.begin() + 6, p.lines.end()};
}

PrintLine textLine(std::vector<PrintItem> items) {
    return PrintLine{kPrintTextPoints, std::move(items)};
}

TEST(LapPrintout, RaceColumnsInRunningOrderWithDisabledNamedButNotRenamed) {
    auto state = makeState(false, 0);
    setLaps(*state, 3, {10.5f, 9.8f, 11.2f});
    setLaps(*state, 1, {12.0f});
    state->live.disabled[6] = true;
    setOrder(*state, {3, 1, 2, 4, 5, 6});
    const Printout p = lapPrintout(*state);

    EXPECT_FALSE(p.landscape);
    EXPECT_EQ(p.lines[1], (PrintLine{kPrintTitlePoints, {{31, u"Laps"_s}}}));
    // The column captions are the printout window test's (under the colours).
    EXPECT_EQ(p.lines[4].items[1], (PrintItem{13, u"Blue"_s}));
    EXPECT_EQ(p.lines[5].items[0], (PrintItem{7, u"No"_s}));
    EXPECT_EQ(p.lines[5].items[2], (PrintItem{29, u"Ann"_s}));
    EXPECT_EQ(p.lines[5].items[6], (PrintItem{93, u"Disabled"_s}));
    EXPECT_EQ(state->RacerName[6], u"Fay"_s);

    const std::vector<PrintLine> laps = lapLines(p);
    ASSERT_EQ(laps.size(), 3u);  // the leader's laps
    EXPECT_EQ(laps[0], textLine({{7, u" 1 "_s},
                                 {13, u" 10.5 "_s},
                                 {29, u" 12 "_s},
                                 {45, u" 0 "_s},
                                 {61, u" 0 "_s},
                                 {77, u" 0 "_s},
                                 {93, u" 0 "_s}}));
    EXPECT_EQ(laps[2].items[1].text, u" 11.2 "_s);
    EXPECT_EQ(laps[2].items[2].text, u" 0 "_s);
}

TEST(LapPrintout, LinesStartAtTheFirstLapIndexAndEndWithTheRightFlag) {
    struct Case {
        bool practice;
        int firstLapIndex;
        QString firstLap;
        size_t lines;
    };
    for (const Case& c : {Case{false, -1, u" 0 "_s, 3}, Case{false, 0, u" 1 "_s, 3},
                          Case{true, -1, u" 0 "_s, 5}, Case{true, 0, u" 1 "_s, 5}}) {
        SCOPED_TRACE(c.firstLapIndex);
        auto state = makeState(c.practice, c.firstLapIndex);
        setLaps(*state, 2, {9.0f, 9.5f, 9.25f});
        setLaps(*state, 4, {8.0f, 8.5f, 8.25f, 8.0f, 8.75f});  // runs longest, not leading
        setOrder(*state, {2, 4, 1, 3, 5, 6});
        const std::vector<PrintLine> laps = lapLines(lapPrintout(*state));
        ASSERT_EQ(laps.size(), c.lines);
        EXPECT_EQ(laps[0].items[0].text, c.firstLap);
        // Practice keeps flag order: flag 4 in the fourth column.
        EXPECT_EQ(laps[0].items[c.practice ? 4 : 2].text, u" 8 "_s);
    }
}

TEST(LapPrintout, AFileShownPrintsItsGridUpToTheFirstRowWithoutALabel) {
    ResultGrid grid(20, 7);
    const QStringList labels = strings({"RT", " 1", "2", ""});
    for (int r = 0; r < labels.size(); ++r) {
        grid.cell(r + 2, 0).text = labels[r];
    }
    grid.cell(0, 1).text = u"Yellow"_s;
    grid.cell(1, 1).text = u"Ann"_s;
    grid.cell(2, 1).text = u"0.50"_s;
    grid.cell(3, 1).text = u"12.35"_s;
    grid.cell(6, 1).text = u"99.99"_s;  // below the last label: not a lap
    const Printout p = lapPrintout(grid);
    EXPECT_EQ(p.lines[4].items[1], (PrintItem{13, u"Yellow"_s}));
    EXPECT_EQ(p.lines[5].items[1], (PrintItem{13, u"Ann"_s}));
    const std::vector<PrintLine> laps = lapLines(p);
    ASSERT_EQ(laps.size(), 3u);
    EXPECT_EQ(laps[0].items[0].text, u" 0 "_s);
    EXPECT_EQ(laps[0].items[1].text, u" 0.5 "_s);
    EXPECT_EQ(laps[1].items[0].text, u" 1 "_s);
    EXPECT_EQ(laps[1].items[1].text, u" 12.35 "_s);
    EXPECT_EQ(laps[2].items[1].text, u" 0 "_s);
}

// A summary grid whose cells name their own column: "c3" in column 3 of each row.
ResultGrid summaryGrid(const QString& heading) {
    ResultGrid grid(kSummaryRows, kSummaryColumns);
    grid.cell(1, 0).text = heading;
    for (int r = 2; r <= 7; ++r) {
        for (int k = 1; k < kSummaryColumns; ++k) {
            grid.cell(r, k).text = u"c"_s + QString::number(k);
        }
    }
    return grid;
}

TEST(SummaryPrintout, RaceAndPracticeColumnsTitleAndLandscape) {
    const QDateTime now(QDate(2025, 12, 5), QTime(16, 7));
    const Printout race = summaryPrintout(summaryGrid(u"Pos "_s), u"10 Lap Race"_s, now);
    EXPECT_TRUE(race.landscape);
    EXPECT_EQ(race.lines[2], (PrintLine{kPrintTitlePoints, {{10, u"Summary,  10 Lap Race"_s}}}));
    EXPECT_EQ(race.lines[3], textLine({{17, u"Dec-05, 16:07"_s}}));
    EXPECT_EQ(race.lines[5].items[0], (PrintItem{6, u"Pos"_s}));
    EXPECT_EQ(race.lines[6].items[0], (PrintItem{8, u"Name"_s}));
    EXPECT_EQ(race.lines[6].items.back(), (PrintItem{107, u"%"_s}));
    ASSERT_EQ(race.lines.size(), 13u);
    const PrintLine& winner = race.lines[7];
    ASSERT_EQ(winner.items.size(), 12u);
    EXPECT_EQ(winner.items[0], (PrintItem{6, u"1c1"_s}));
    EXPECT_EQ(winner.items[1], (PrintItem{23, u"c2"_s}));
    EXPECT_EQ(winner.items[4], (PrintItem{53, u"c5"_s}));
    EXPECT_EQ(winner.items[11], (PrintItem{107, u"c12"_s}));
    EXPECT_EQ(race.lines[12].items[0].text, u"6c1"_s);

    const Printout practice = summaryPrintout(summaryGrid(u"Flag "_s), u"Practice"_s, now);
    EXPECT_EQ(practice.lines[5].items.front(), (PrintItem{23, u"Flag"_s}));
    EXPECT_EQ(practice.lines[6].items.back(), (PrintItem{92, u"%"_s}));
    const PrintLine& first = practice.lines[7];
    ASSERT_EQ(first.items.size(), 10u);  // the two gap columns are left out
    EXPECT_EQ(first.items[0], (PrintItem{6, u"c1"_s}));
    EXPECT_EQ(first.items[3], (PrintItem{39, u"c4"_s}));
    EXPECT_EQ(first.items[4], (PrintItem{53, u"c7"_s}));
    EXPECT_EQ(first.items[9], (PrintItem{92, u"c12"_s}));
}

TEST(Printout, PagesBreakBeforeTheLineThatWouldNotFit) {
    const auto height = [](int points) { return points == kPrintTitlePoints ? 30.0 : 18.0; };
    struct Case {
        std::vector<int> points;
        double page;
        std::vector<size_t> starts;
    };
    const int T = kPrintTitlePoints, t = kPrintTextPoints;
    for (const Case& c : {Case{{}, 100, {0}}, Case{{t, T, t, t, t, t, t}, 100, {0, 4}},
                          Case{{t, t, t, t, t}, 36, {0, 2, 4}}, Case{{T, T}, 20, {0, 1}}}) {
        std::vector<PrintLine> lines;
        for (int p : c.points) {
            lines.push_back(PrintLine{p, {}});
        }
        EXPECT_EQ(pageStarts(lines, c.page, height), c.starts);
    }
}

}  // namespace
}  // namespace lapdeck
