#include "ReplayRun.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include "EngineStubs.h"
#include "Journal.h"
#include "RaceEngine.h"
#include "ReportParser.h"
#include "SummaryFile.h"
#include "TestHelpers.h"

namespace lapdeck::test {
namespace {

// A race started as a re-scoring starts it: race clock 0 is the green light.
struct RaceRun {
    RaceState state;
    RecordingHost host;
    ScriptedPrompter prompter;
    ScriptedRandom random;
    RaceEngine engine{state, host, prompter, random};

    // A 12-lap race or a 2-minute one.
    explicit RaceRun(bool timed, int firstLapIndex = 0) {
        host.engine = &engine;
        host.lagMode = LagColumn::LagBehind;
        state.FirstLapIndex = static_cast<int16_t>(firstLapIndex);
        state.IsTimedRace = timed;
        state.IsLapRace = !timed;
        state.RaceMinutes = 2;
        state.RaceLaps = 12;
        engine.ReSet();
        engine.cmdStart_Click();
    }
};

// After the last report the race runs on, tick by tick, until it is over.
TEST(ReplayRun, TimedRaceRunsOnAfterTheJournalUntilItIsOver) {
    RaceRun race(true);
    // Flag 3 leads with a best lap of 5 s; flag 4 stops after two laps, so the race ends
    // on the deadline 120000 + 1.9 x 5000 + 5000 = 134500 ms: at the first tick whose
    // previous clock is past it.
    runJournal(
        race.engine,
        {{1000, qs("3")}, {2000, qs("4")}, {6000, qs("3")}, {8000, qs("4")}, {12000, qs("3")}});
    EXPECT_EQ(race.state.FinishDeadline, 134500);
    EXPECT_EQ(race.state.RaceOver, 1);
    EXPECT_EQ(race.state.RaceClock, 134520);
    EXPECT_EQ(race.host.count("10seconds.wav") + race.host.count("CheckeredFlag.wav"), 2);
}

// Quiet stretches run as one tick and noise passed over must give exactly what every
// 10 ms tick with every report handled gives.
std::vector<JournalEntry> randomRace(unsigned seed) {
    std::vector<JournalEntry> entries;
    uint32_t x = seed * 2654435761u + 1;
    auto rnd = [&x](uint32_t n) {
        x = x * 1664525u + 1013904223u;
        return (x >> 8) % n;
    };
    int32_t clock = 0;
    while (clock < 150000) {
        // Mostly short gaps, now and then a long silence, reports of all kinds.
        clock += static_cast<int32_t>(rnd(9) == 0 ? 20000 + rnd(30000) : rnd(1500));
        static const char* const texts[] = {"1", "2", "3", "4", "5", "6", "0", "x", "2.5", ""};
        entries.push_back({clock, qs(texts[rnd(10)])});
    }
    return entries;
}

TEST(ReplayRun, ShortcutsGiveWhatThePlainReplayGives) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        for (bool timed : {false, true}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << (timed ? " timed" : " laps"));
            const auto entries = randomRace(seed);
            RaceRun a(timed, seed % 2 == 0 ? -1 : 0);
            RaceRun b(timed, seed % 2 == 0 ? -1 : 0);
            runJournal(a.engine, entries, {false, false});
            runJournal(b.engine, entries);
            const RaceState& x = a.state;
            const RaceState& y = b.state;
            EXPECT_EQ(std::tie(x.RaceOver, x.RaceClock, x.FinishDeadline, x.FinishLap, x.LapTimes),
                      std::tie(y.RaceOver, y.RaceClock, y.FinishDeadline, y.FinishLap, y.LapTimes));
            SummaryStats stats;  // order, counts, crossing times, best laps and gaps
            EXPECT_EQ(summaryTextBytes(x, stats).bytes, summaryTextBytes(y, stats).bytes);
        }
    }
}

TEST(ReplayRun, ReportAtTheLastClockIsReachedWithoutOverflow) {
    RaceRun race(false);
    runJournal(race.engine, {{1000, qs("1")}, {2147483647, qs("1")}});
    EXPECT_EQ(race.state.RaceClock, 2147483647);
    EXPECT_EQ(race.state.LapCount[1], 2);
    EXPECT_EQ(race.state.LastCrossing[1], 2147483647);
}

// Entries as "clock:text" lines, or the error's line.
std::string parsed(const QByteArray& bytes) {
    std::optional<JournalError> error;
    const std::vector<JournalEntry> entries = parseJournal(bytes, &error);
    if (error) {
        return (entries.empty() ? "error at line " : "error with entries, line ") +
               std::to_string(error->line) + (error->message.isEmpty() ? " (no message)" : "");
    }
    std::string out;
    for (const JournalEntry& e : entries) {
        out += std::to_string(e.clock) + ":" + e.text.toStdString() + "\n";
    }
    return out;
}

TEST(Journal, ReadsLinesInEitherLineEndKeepingTheTextAfterTheFirstComma) {
    EXPECT_EQ(parsed("# recorded at the track\r\n10,3\r\n\n20, 4\n20,\n30,1,2\r\n   \n40,a b\n"
                     "2147483647,6"),
              "10:3\n20: 4\n20:\n30:1,2\n40:a b\n2147483647:6\n");
    // What the program writes reads back.
    const QByteArray written =
        journalLine(1230, qs("4")) + journalLine(1240, QString()) + journalLine(1240, qs(" 2"));
    EXPECT_EQ(written, QByteArray("1230,4\r\n1240,\r\n1240, 2\r\n"));
    EXPECT_EQ(parsed(written), "1230:4\n1240:\n1240: 2\n");
}

TEST(Journal, RejectsMalformedLinesNamingTheLine) {
    const QByteArray tooLong = "10,1\n20," + QByteArray(70000, '1') + "\n";
    EXPECT_EQ(parsed(tooLong), "error at line 2");
    const std::pair<const char*, int> cases[] = {{"10,1\n20\n", 2},      // no comma
                                                 {"10,1\n\n-5,1\n", 3},  // a sign is not a digit
                                                 {"10,1\n 20,1\n", 2},   // blank before the clock
                                                 {"10,1\n1e3,1\n", 2},   // no exponent
                                                 {",1\n", 1},            // no clock
                                                 {"2147483648,1\n", 1},  // past 32 bits
                                                 {"99999999999999999999,1\n", 1},
                                                 {"30,1\n20,2\n", 2},  // decreasing
                                                 {"10,1\n10.5,2\n", 2}};
    for (const auto& [text, line] : cases) {
        EXPECT_EQ(parsed(text), "error at line " + std::to_string(line)) << text;
    }
}

// Read from a file in chunks, a journal gives what it gives whole: lines across chunk
// ends, a comment line longer than any report, and the progress up to the last byte.
TEST(Journal, ReadsAStreamAsAWhole) {
    QByteArray bytes = "# " + QByteArray(200000, '#') + "\r\n";
    for (int32_t clock = 0; bytes.size() < 2200 * 1024; clock += 7) {
        bytes += QByteArray::number(clock) + ',' + QByteArray(clock % 199, 'x') +
                 (clock % 3 == 0 ? "\n" : "\r\n");
    }
    bytes += "99999999,6";  // no line end
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    JournalReader reader(device);
    qint64 done = 0;
    reader.setProgress([&](qint64 read, qint64 total) {
        EXPECT_TRUE(read > done && total == bytes.size());
        done = read;
    });
    std::string streamed;
    while (reader.next()) {
        streamed += std::to_string(reader.clock()) + ":" + reader.textString().toStdString() + "\n";
    }
    EXPECT_TRUE(streamed == parsed(bytes));
    EXPECT_TRUE(streamed.ends_with("99999999:6\n"));
    EXPECT_EQ(done, bytes.size());
}

// The recorder keeps a report as a line when it reads as a flag, as the race reads it.
TEST(Journal, AReportReadsAsAFlagAsTheRaceReadsIt) {
    for (int c = 0; c < 256; ++c) {
        const QString text(QChar(static_cast<char16_t>(c)));
        const int16_t flag = parseReport(text);
        EXPECT_EQ(readsAsFlag(text), flag >= 1 && flag <= 6) << c;
        EXPECT_EQ(readsAsFlag(text.toLatin1()), readsAsFlag(text)) << c;
    }
}

}  // namespace
}  // namespace lapdeck::test
