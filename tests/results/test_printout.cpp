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

// Lines [from, to) as "points|column:text|column:text...", one a line.
std::string shown(const Printout& p, size_t from, size_t to = SIZE_MAX) {
    std::string out;
    for (size_t i = from; i < std::min(to, p.lines.size()); ++i) {
        out += std::to_string(p.lines[i].points);
        for (const PrintItem& item : p.lines[i].items) {
            out += QStringLiteral("|%1:%2").arg(item.column).arg(item.text).toStdString();
        }
        out += "\n";
    }
    return out;
}

TEST(LapPrintout, RaceColumnsInRunningOrderWithDisabledNamedButNotRenamed) {
    auto state = makeState(false, 0);
    setLaps(*state, 3, {10.5f, 9.8f, 11.2f});
    setLaps(*state, 1, {12.0f});
    state->Disabled[6] = true;
    setOrder(*state, {3, 1, 2, 4, 5, 6});
    const Printout p = lapPrintout(*state);
    EXPECT_FALSE(p.landscape);
    EXPECT_EQ(state->RacerName[6], u"Fay"_s);
    // Title, colours and names (the captions above them are the printout window
    // test's), then a line for each of the leader's laps.
    EXPECT_EQ(shown(p, 1, 2) + shown(p, 4),
              "20|31:Laps\n"
              "12|7:Lap|13:Blue|29:Yellow|45:Green|61:White|77:Purple|93:Orange\n"
              "12|7:No|13:Cy|29:Ann|45:Bob|61:Dee|77:Eve|93:Disabled\n"
              "12|7: 1 |13: 10.5 |29: 12 |45: 0 |61: 0 |77: 0 |93: 0 \n"
              "12|7: 2 |13: 9.8 |29: 0 |45: 0 |61: 0 |77: 0 |93: 0 \n"
              "12|7: 3 |13: 11.2 |29: 0 |45: 0 |61: 0 |77: 0 |93: 0 \n");
}

TEST(LapPrintout, LinesStartAtTheFirstLapIndexAndEndWithTheRightFlag) {
    // Flag 4 runs longest without leading; practice keeps flag order.
    for (const auto& [practice, first, laps] :
         {std::tuple{false, -1, 3u}, {false, 0, 3u}, {true, -1, 5u}, {true, 0, 5u}}) {
        auto state = makeState(practice, first);
        setLaps(*state, 2, {9.0f, 9.5f, 9.25f});
        setLaps(*state, 4, {8.0f, 8.5f, 8.25f, 8.0f, 8.75f});
        setOrder(*state, {2, 4, 1, 3, 5, 6});
        const Printout p = lapPrintout(*state);
        EXPECT_EQ(p.lines.size(), 6 + laps);
        EXPECT_EQ(shown(p, 6, 7),
                  "12|7: " + std::to_string(first + 1) +
                      (practice ? " |13: 0 |29: 9 |45: 0 |61: 8" : " |13: 9 |29: 8 |45: 0 |61: 0") +
                      " |77: 0 |93: 0 \n");
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
    EXPECT_EQ(shown(lapPrintout(grid), 4),
              "12|7:Lap|13:Yellow\n12|7:No|13:Ann\n"
              "12|7: 0 |13: 0.5 |29: 0 |45: 0 |61: 0 |77: 0 |93: 0 \n"
              "12|7: 1 |13: 12.35 |29: 0 |45: 0 |61: 0 |77: 0 |93: 0 \n"
              "12|7: 2 |13: 0 |29: 0 |45: 0 |61: 0 |77: 0 |93: 0 \n");
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
    const std::string cells =
        "|23:c2|31:c3|39:c4|53:c5|61:c6|69:c7|77:c8|84:c9|92:c10|99:c11|107:c12\n";
    EXPECT_EQ(shown(race, 2, 8) + shown(race, 12),
              "20|10:Summary,  10 Lap Race\n12|17:Dec-05, 16:07\n12\n"
              "12|6:Pos|23:Flag|31:Total|39:Total|53:Lag|61:Lag|69:Best|77:Best|84:Avg\n"
              "12|8:Name|23:Color|31:Laps|39:Time|53:First|61:Behind|69:MPH|77:Lap|84:Time|92:Med|"
              "99:Crash|107:%\n12|6:1c1" +
                  cells + "12|6:6c1" + cells);
    // Practice leaves out the two gap columns.
    const Printout practice = summaryPrintout(summaryGrid(u"Flag "_s), u"Practice"_s, now);
    EXPECT_EQ(shown(practice, 5, 8),
              "12|23:Flag|31:Total|39:Total|53:Best|61:Best|69:Avg\n"
              "12|6:Name|23:Color|31:Laps|39:Time|53:MPH|61:Lap|69:Time|77:Med|84:Crash|92:%\n"
              "12|6:c1|23:c2|31:c3|39:c4|53:c7|61:c8|69:c9|77:c10|84:c11|92:c12\n");
}

TEST(Printout, PagesBreakBeforeTheLineThatWouldNotFit) {
    const auto height = [](const PrintLine& line) {
        return line.points == kPrintTitlePoints ? 30.0 : 18.0;
    };
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
