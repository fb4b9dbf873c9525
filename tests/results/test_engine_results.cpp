// A short race run through the real engine, then all four result files, checked
// against texts worked out by hand from the crossings.
#include <gtest/gtest.h>

#include <deque>

#include "EngineStubs.h"
#include "RaceEngine.h"
#include "RaceResultFiles.h"
#include "ResultsTestSupport.h"

namespace lapdeck {
namespace {

using namespace testing_support;

class InstantStart : public stubs::InstantStartHost {
public:
    InstantStart() {
        for (int f = 1; f <= kFlags; ++f) {
            names[f] = kNames[f];
        }
    }
};

class Reports : public ReportSource {
public:
    std::deque<QString> pending;
    bool hasInput() override { return !pending.empty(); }
    QString read() override {
        QString text = pending.front();
        pending.pop_front();
        return text;
    }
};

class EngineResults : public ::testing::Test {
protected:
    std::unique_ptr<RaceState> state = makeState(false, 0);
    InstantStart host;
    stubs::YesPrompter prompter;
    stubs::FixedRandom random;
    std::unique_ptr<RaceEngine> engine;

    void SetUp() override {
        engine = std::make_unique<RaceEngine>(*state, host, prompter, random);
        host.engine = engine.get();
        state->RaceLaps = 10;
        state->live.optLapRace = true;
        state->live.optPractice = false;
        state->live.minLapText = QStringLiteral("2");
        for (int f = 1; f <= kFlags; ++f) {
            state->live.swatchColour[f] = kColourNumbers[f];
            state->live.disabled[f] = f >= 3;
        }
        engine->ReSet();
        engine->cmdStart_Click();
    }

    // One timer tick `ms` after the last, reading the given reports.
    void tick(int32_t ms, std::initializer_list<const char*> reports = {}) {
        Reports source;
        for (const char* report : reports) {
            source.pending.push_back(QString::fromLatin1(report));
        }
        engine->Timer1_Timer(ms, source);
    }
};

TEST_F(EngineResults, ThreeLapsOfTwoFlagsGiveTheseFiles) {
    // Flag 1 crosses at 5.0, 11.0, 17.0 s; flag 2 at 5.5, 12.0, 18.5 s.
    tick(5000, {"1"});
    tick(500, {"2"});
    tick(5500, {"1"});
    tick(1000, {"2"});
    tick(5000, {"1"});
    tick(1500, {"2"});
    engine->cmdStart_Click();  // pause, so the results can be viewed
    ASSERT_EQ(state->RunningOrder[1], 1);
    ASSERT_EQ(state->RunningOrder[2], 2);

    SummaryStats stats;
    Expected<RaceResultFiles> files =
        buildRaceResultFiles(*state, stats, QDateTime(QDate(2023, 12, 5), QTime(16, 7)));
    ASSERT_TRUE(files.ok()) << files.error().text.toStdString();

    const QStringList lap = crlfLines(files.value().lapFile);
    ASSERT_EQ(lap.size(), 1 + 7 * 20 + 1);
    // The same laps as the text below, one cell a line; disabled flags keep their columns.
    EXPECT_EQ(lap.mid(0, 16),
              texts({"10 Lap Race", "", "Yellow", "Green", "Blue", "White", "Purple", "Orange",
                     "Laps", "Ann", "Bob", "Disabled", "Disabled", "Disabled", "Disabled", " 1"}));
    EXPECT_EQ(lap.mid(16, 14),
              texts({"5.00", "5.50", "", "", "", "", " 2", "6.00", "6.50", "", "", "", "", " 3"}));
    EXPECT_EQ(files.value().lapText, QByteArray("10 Lap Race\r\n"
                                                "Lap     Yellow      Green       \r\n"
                                                " No     Ann         Bob         \r\n"
                                                " 1      5.00        5.50        \r\n"
                                                " 2      6.00        6.50        \r\n"
                                                " 3      6.00        6.50        \r\n"
                                                "\r\n"));

    // Three laps: listed in full, but no average (only two laps after the first);
    // 360 / 6 s = 60.0 MPH; median of 5, 6, 6.
    const QStringList sum = crlfLines(files.value().summaryFile);
    ASSERT_EQ(sum.size(), 119);
    EXPECT_EQ(sum.mid(27, 13), texts({" 1", "Ann", "Yellow", " 3", " 0:17.000", "0.00", "0.00",
                                      "60.0", "6.00", "", "6.00", " 0", " 0"}));
    EXPECT_EQ(sum.mid(53, 6), texts({" 3", "Disabled", "Blue", "", "Insufficent", "Data"}));

    EXPECT_EQ(files.value().summaryText,
              QByteArray(" Pos        Flag   Total Total      Lag   Lag    Best   Best  Avg   \r\n"
                         " Name       Color  Laps  Time       First Behind MPH    Lap   Time  Med  "
                         " Crash %\r\n"
                         "\r\n"
                         "1 Ann       Yellow  3    0:17.000   0.00  0.00   60.0   6.00        6.00 "
                         "   0   0\r\n"
                         "2 Bob       Green   3    0:18.500   1.50  1.50   55.4   6.50        6.50 "
                         "   0   0\r\n"
                         "\r\n"));
}

TEST_F(EngineResults, NoResultsBeforeARaceHasPositions) {
    state->RunningOrder = {};
    SummaryStats stats;
    Expected<RaceResultFiles> files = buildRaceResultFiles(*state, stats, QDateTime());
    ASSERT_FALSE(files.ok());
    EXPECT_EQ(files.error().text, QStringLiteral("Insufficient data to view Laps"));
}

}  // namespace
}  // namespace lapdeck
