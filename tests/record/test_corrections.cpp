#include <memory>
#include <variant>

#include <QDir>

#include <gtest/gtest.h>

#include "Corrections.h"
#include "EngineStubs.h"
#include "FileSizeLimit.h"
#include "LapChecks.h"
#include "RaceArchive.h"
#include "RaceRecovery.h"
#include "RecordedRace.h"
#include "TestHelpers.h"

namespace lapdeck {
namespace {

using test::qs;
using Kind = CorrectionKind;

const QDateTime kWhen(QDate(2026, 12, 7), QTime(14, 2, 10));

Correction change(int n, Kind kind, int32_t clock, int flag, int to = 0, const char* why = "") {
    return {n, kWhen, kind, clock, flag, to, 0, qs(why)};
}
Correction undo(int n, int target) {
    return {n, kWhen, Kind::Undo, 0, 0, 0, target, QString()};
}

TEST(CorrectionLines, ReadBackAsWritten) {
    const struct {
        Correction change;
        const char* line;
    } cases[] = {
        {change(1, Kind::Add, 62345, 3), "1,2026-12-07 14:02:10,add,62345,3,\"\""},
        {change(2, Kind::Void, 0, 6, 0, "a hand, \"in\" the beam"),
         "2,2026-12-07 14:02:10,void,0,6,\"a hand, \"in\" the beam\""},
        {change(3, Kind::Move, 9400, 3, 2, "Zoë's car"),
         "3,2026-12-07 14:02:10,move,9400,3,2,\"Zoë's car\""},
        {undo(4, 2), "4,2026-12-07 14:02:10,undo,2,\"\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(correctionLine(c.change), qs(c.line));
        EXPECT_EQ(parseCorrectionLine(qs(c.line)), c.change) << c.line;
    }
    // A line break cannot be kept in one line.
    Correction broken = change(5, Kind::Add, 1, 1, 0, "two\r\nlines");
    EXPECT_EQ(parseCorrectionLine(correctionLine(broken))->reason, qs("two  lines"));
}

TEST(CorrectionLines, BadLinesSayWhy) {
    const struct {
        const char* line;
        const char* why;
    } cases[] = {
        {"1,2026-12-07 14:02:10,add,100,3", "the reason in double quotes is missing"},
        {"1,2026-12-07 14:02:10,add,100,3,\"x\" 7", "there is more after the reason"},
        {"1,2026-12-07 14:02:10,add,100,3\"x\"", "the reason is not a field of its own"},
        {"0,2026-12-07 14:02:10,add,100,3,\"\"", "the change number must be 1 or more"},
        {"1,7 Dec 2026,add,100,3,\"\"", "\"7 Dec 2026\" is not a time written yyyy-MM-dd HH:mm:ss"},
        {"1,2026-12-07 14:02:10,delete,100,3,\"\"", "\"delete\" is not add, void, move or undo"},
        {"1,2026-12-07 14:02:10,add,100,7,\"\"", "7 is not a flag from 1 to 6"},
        {"1,2026-12-07 14:02:10,add,-5,2,\"\"", "a race clock is never negative"},
        {"1,2026-12-07 14:02:10,void,100,\"\"", "the file ends too early (a field is missing)"},
        {"1,2026-12-07 14:02:10,void,100,2,3,\"\"", "there are more fields than void takes"},
        {"1,2026-12-07 14:02:10,move,100,2,2,\"\"",
         "a move gives the crossing to the flag it already is"},
    };
    for (const auto& c : cases) {
        QString why;
        EXPECT_FALSE(parseCorrectionLine(qs(c.line), &why)) << c.line;
        EXPECT_EQ(why, qs(c.why)) << c.line;
    }
}

TEST(CorrectionRecord, UndoAndUndoOfUndo) {
    using Record = std::vector<Correction>;
    const struct {
        Record changes;
        std::vector<bool> inForce;
    } cases[] = {
        {{change(1, Kind::Add, 1, 1), undo(2, 1)}, {false, true}},
        {{change(1, Kind::Add, 1, 1), undo(2, 1), undo(3, 2)}, {true, false, true}},
        {{change(1, Kind::Add, 1, 1), undo(2, 1), undo(3, 2), undo(4, 3)},
         {false, true, false, true}},
        // A taken-back undo of change 1 leaves change 1 to the later undo.
        {{change(1, Kind::Add, 1, 1), undo(2, 1), undo(3, 2), undo(4, 1)},
         {false, false, true, true}},
        {{change(1, Kind::Add, 1, 1), change(2, Kind::Void, 1, 1), undo(3, 1)},
         {false, true, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(changesInForce(c.changes), c.inForce) << c.changes.size();
    }
}

TEST(CorrectionRecord, TheEffectiveJournal) {
    const std::vector<JournalEntry> journal = {
        {1000, qs("1")}, {2000, qs("X")}, {2000, qs("3")}, {2000, qs(" 3")}, {3000, qs("2")}};
    using Entries = std::vector<JournalEntry>;
    const struct {
        std::vector<Correction> changes;
        Entries effective;
        int refused;
    } cases[] = {
        // An add goes after every report of its clock; before the first, and after the last.
        {{change(1, Kind::Add, 2000, 5), change(2, Kind::Add, 0, 4), change(3, Kind::Add, 9000, 6)},
         {{0, qs("4")},
          {1000, qs("1")},
          {2000, qs("X")},
          {2000, qs("3")},
          {2000, qs(" 3")},
          {2000, qs("5")},
          {3000, qs("2")},
          {9000, qs("6")}},
         0},
        // A void takes the first report that reads as the flag; a move rewrites it.
        {{change(1, Kind::Void, 2000, 3), change(2, Kind::Move, 2000, 3, 4)},
         {{1000, qs("1")}, {2000, qs("X")}, {2000, qs("4")}, {3000, qs("2")}},
         0},
        // In the order of N: the add is there to be voided; a taken-back move is not applied.
        {{change(1, Kind::Add, 3000, 6), change(2, Kind::Move, 1000, 1, 2), undo(3, 2),
          change(4, Kind::Void, 3000, 6)},
         {{1000, qs("1")}, {2000, qs("X")}, {2000, qs("3")}, {2000, qs(" 3")}, {3000, qs("2")}},
         0},
        // No crossing of that flag at that clock: left out, the rest applied.
        {{change(1, Kind::Void, 1000, 2), change(2, Kind::Move, 2500, 3, 1),
          change(3, Kind::Void, 3000, 2)},
         {{1000, qs("1")}, {2000, qs("X")}, {2000, qs("3")}, {2000, qs(" 3")}},
         2},
    };
    for (const auto& c : cases) {
        QStringList refused;
        const Entries got = effectiveJournal(journal, c.changes, &refused);
        ASSERT_EQ(got.size(), c.effective.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].clock, c.effective[i].clock) << i;
            EXPECT_EQ(got[i].text, c.effective[i].text) << i;
        }
        EXPECT_EQ(refused.size(), c.refused);
    }
    QStringList refused;
    effectiveJournal(journal, {change(7, Kind::Void, 62345, 2)}, &refused);
    EXPECT_EQ(refused,
              QStringList{qs("change 7 finds no crossing read as flag 2 at 1:02.345: skipped")});
}

TEST(CorrectionRecord, AFileSkipsBadLinesAndSaysWhich) {
    test::TempFolder dir;
    dir.write(QStringLiteral("c.txt"),
              "1,2026-12-07 14:02:10,add,100,3,\"\"\r\n"
              "\r\n"
              "2,2026-12-07 14:02:10,add,100,9,\"\"\r\n"
              "3,2026-12-07 14:02:10,undo,5,\"\"\r\n"
              "1,2026-12-07 14:02:10,undo,1,\"\"\n"
              "4,2026-12-07 14:02:10,undo,1,\"caf\xe9\"");
    const CorrectionsRead read = readCorrections(dir.file(QStringLiteral("c.txt")));
    ASSERT_EQ(read.changes.size(), 2u);
    EXPECT_EQ(read.changes[1].reason, qs("café"));  // not UTF-8: read as Windows-1252
    EXPECT_EQ(read.lines, 5);
    const QString file = dir.file(QStringLiteral("c.txt"));
    EXPECT_EQ(read.skipped,
              QStringList({file + qs(", line 3: 9 is not a flag from 1 to 6; the line is skipped"),
                           file + qs(", line 4: there is no change 5 before it to take back; the "
                                     "line is skipped"),
                           file + qs(", line 5: change 1 does not follow change 1; the line is "
                                     "skipped")}));
    EXPECT_TRUE(readCorrections(dir.file(QStringLiteral("none.txt"))).changes.empty());
}

TEST(CorrectionWords, DescribeEachChange) {
    const std::vector<Correction> record = {
        change(1, Kind::Add, 62345, 3), change(2, Kind::Void, 3723456, 1),
        change(3, Kind::Move, 500, 3, 4), undo(4, 2), undo(5, 4)};
    const QStringList words = {qs("Added a crossing of flag 3 at 1:02.345"),
                               qs("Voided the crossing of flag 1 at 1:02:03.456"),
                               qs("Gave the crossing of flag 3 at 0:00.500 to flag 4"),
                               qs("Took back change 2"), qs("Put back change 2")};
    for (size_t i = 0; i < record.size(); ++i) {
        EXPECT_EQ(describeCorrection(record[i], record), words[static_cast<qsizetype>(i)]);
    }
    EXPECT_EQ(correctionsListing({record[0], undo(2, 1)})[1],
              qs("2  2026-12-07 14:02:10  Took back change 1"));
    EXPECT_EQ(correctionsListing({record[0], undo(2, 1)})[0].right(13), qs(" - taken back"));
}

// A copy of the hand-checked race's folder, without its record.
class DeskRace : public ::testing::Test {
protected:
    void SetUp() override {
        const QDir race(QStringLiteral(LAPDECK_RACES_DIR "/lap15_marshal"));
        const QDir data(race.filePath(QStringLiteral("data")));
        for (const QString& name : data.entryList(QDir::Files)) {
            QFile::copy(data.filePath(name), dir.file(name));
        }
        QFile::copy(race.filePath(QStringLiteral("journal.txt")), dir.file(RaceArchive::kJournal));
        ASSERT_FALSE(desk.load(dir.path()));
    }
    QByteArray record() const { return dir.read(kCorrectionsFile); }

    test::TempFolder dir;
    RaceCorrections desk;
};

TEST_F(DeskRace, MakeUndoRedoWriteTheRecordAsTheyGo) {
    EXPECT_FALSE(desk.canUndo());
    EXPECT_EQ(desk.undo(), correctionWords::kNothingToUndo);
    // A change that finds no crossing is refused and not written.
    EXPECT_EQ(desk.make(change(0, Kind::Void, 15000, 2), kWhen),
              qs("There is no crossing read as flag 2 at 0:15.000."));
    EXPECT_EQ(record(), QByteArray("<missing>"));

    ASSERT_FALSE(desk.make(change(0, Kind::Add, 12400, 6, 0, "on \"6\""), kWhen));
    ASSERT_FALSE(desk.make(change(0, Kind::Void, 12400, 6), kWhen));
    EXPECT_EQ(desk.changesInForceCount(), 2);
    // Taking back the add would leave the void without its crossing.
    EXPECT_EQ(desk.make(undo(0, 1), kWhen),
              qs("Change 2 would then find its crossing no more: There is no crossing read as "
                 "flag 6 at 0:12.400."));
    ASSERT_FALSE(desk.undo(QString(), kWhen));  // takes back change 2
    ASSERT_FALSE(desk.undo(QString(), kWhen));  // then change 1
    EXPECT_FALSE(desk.canUndo());
    ASSERT_FALSE(desk.redo(QString(), kWhen));  // puts back change 1
    EXPECT_EQ(desk.changesInForceCount(), 1);
    EXPECT_EQ(test::crlfLines(record()),
              QStringList({qs("1,2026-12-07 14:02:10,add,12400,6,\"on \"6\"\""),
                           qs("2,2026-12-07 14:02:10,void,12400,6,\"\""),
                           qs("3,2026-12-07 14:02:10,undo,2,\"\""),
                           qs("4,2026-12-07 14:02:10,undo,1,\"\""),
                           qs("5,2026-12-07 14:02:10,undo,4,\"\""), QString()}));
    EXPECT_EQ(desk.effective().size(), desk.journal().size() + 1);

    RaceCorrections again;
    ASSERT_FALSE(again.load(dir.path()));
    EXPECT_EQ(again.changes(), desk.changes());
    EXPECT_TRUE(again.notes().isEmpty());
}

TEST_F(DeskRace, APausedRaceIsRescoredAsItStands) {
    ASSERT_FALSE(desk.make(change(0, Kind::Void, 8800, 3), kWhen));
    ASSERT_FALSE(desk.make(change(0, Kind::Move, 12400, 3, 2), kWhen));
    // As a lap race, and as a one-minute timed race, which would run on to its end.
    for (const QByteArray format :
         {"12,0,#FALSE#,#TRUE#,#FALSE#,0\r\n", "12,0,#FALSE#,#FALSE#,#TRUE#,0\r\n"}) {
        dir.write(QStringLiteral("RaceFormatSettings.dat"), format);
        auto state = std::make_unique<RaceState>();
        CrossingLog log;
        ASSERT_FALSE(desk.rescoreUntil(*state, 20005, &log));
        EXPECT_EQ(state->RaceClock, 20005);
        EXPECT_EQ(state->RaceOver, 0);
        EXPECT_EQ(state->phase, RacePhase::Racing);
        EXPECT_EQ(state->LapCount, (PerFlag<int16_t>{0, 6, 6, 6, 0, 0, 0}));
        EXPECT_EQ(log.crossings.size(), 18u);
    }
}

TEST_F(DeskRace, AFailedWriteChangesNothingAnOldFileIsWrittenWhole) {
    // Edited by hand in an older encoding, its last line left open.
    dir.write(kCorrectionsFile, "1,2026-12-07 14:02:10,add,100,4,\"Ren\xe9\"");
    ASSERT_FALSE(desk.load(dir.path()));
    {
        test::FileSizeLimit full(60);
        const auto problem = desk.make(change(0, Kind::Add, 200, 5), kWhen);
        ASSERT_TRUE(problem);
        EXPECT_TRUE(problem->startsWith(desk.path() + qs(": cannot be written: ")))
            << problem->toStdString();
    }
    EXPECT_EQ(desk.changes().size(), 1u);
    EXPECT_EQ(record(), QByteArray("1,2026-12-07 14:02:10,add,100,4,\"Ren\xe9\""));
    ASSERT_FALSE(desk.make(change(0, Kind::Add, 200, 5), kWhen));
    EXPECT_EQ(record(), QByteArray("1,2026-12-07 14:02:10,add,100,4,\"Ren\xc3\xa9\"\r\n"
                                   "2,2026-12-07 14:02:10,add,200,5,\"\"\r\n"));
}

TEST_F(DeskRace, RescoringAppliesTheRecordAndLogsTheCrossings) {
    // As recorded, the double count at 8800 leaves Cy's crossing at 9500 too short,
    // and the one at 12500 follows the misread 12400.
    auto recorded = std::make_unique<RaceState>();
    CrossingLog before;
    ASSERT_FALSE(desk.rescore(*recorded, &before));
    EXPECT_EQ(lapEndClock(before, 3, 4), 12400);
    EXPECT_EQ(lapEndClock(before, 3, 0), 0);
    EXPECT_FALSE(lapEndClock(before, 3, 13));
    const std::vector<LoggedCrossing> dropped = droppedCrossings(before, 3);
    ASSERT_EQ(dropped.size(), 2u);
    EXPECT_EQ(dropped[0].clock, 9500);
    EXPECT_EQ(dropped[1].clock, 12500);

    ASSERT_FALSE(desk.make(change(0, Kind::Void, 8800, 3), kWhen));
    ASSERT_FALSE(desk.make(change(0, Kind::Move, 12400, 3, 2), kWhen));
    auto state = std::make_unique<RaceState>();
    CrossingLog log;
    ASSERT_FALSE(desk.rescore(*state, &log));
    EXPECT_EQ(state->LapCount[2], 11);  // Bob's crossing at 21400 is still missing
    EXPECT_EQ(state->LapCount[3], 12);
    EXPECT_EQ(state->RaceOver, 1);
    // Ann's 9 s lap, and the journal's crossings that counted no lap.
    EXPECT_EQ(suspectLaps(*state, 1).size(), 1u);
    EXPECT_TRUE(droppedCrossings(log, 3).empty());
    ASSERT_EQ(log.crossings.size(), desk.effective().size());
    EXPECT_EQ(log.crossings[9].lap, 4);  // Ann at 12000

    // The same record read from the folder, as recovery and Open Race read it.
    auto reread = std::make_unique<RaceState>();
    QStringList notes;
    ASSERT_FALSE(rescoreRaceFolder(dir.path(), *reread, {}, &notes));
    EXPECT_EQ(reread->LapTimes, state->LapTimes);
    EXPECT_TRUE(notes.isEmpty());
}

TEST(DeskRecovery, KilledWhileMarshallingTheRaceComesBackCorrected) {
    const QDir race(QStringLiteral(LAPDECK_RACES_DIR "/lap15_marshal"));
    const QDir data(race.filePath(QStringLiteral("data")));
    std::vector<FileToWrite> files;
    for (const QString& name : data.entryList(QDir::Files)) {
        files.push_back({name, test::fileBytes(data.filePath(name))});
    }
    files.push_back(
        {RaceArchive::kJournal, test::fileBytes(race.filePath(QStringLiteral("journal.txt")))});
    files.push_back({kCorrectionsFile, test::fileBytes(race.filePath(kCorrectionsFile))});
    test::TempFolder dir;
    RaceArchive archive(dir.path());
    ASSERT_TRUE(std::holds_alternative<QString>(archive.createRaceFolder(kWhen, files)));

    test::ScriptedPrompter organiser;
    auto recovered = std::make_unique<RaceState>();
    ASSERT_TRUE(offerRecovery(archive, organiser, *recovered));
    EXPECT_EQ(recovered->LapCount[1], 13);
    EXPECT_EQ(recovered->LapCount[2], 12);
    EXPECT_EQ(recovered->LapCount[3], 12);
    // The change that finds no crossing is told.
    ASSERT_EQ(organiser.prompts.size(), 2u);
    EXPECT_TRUE(organiser.prompts[1].text.contains(qs("change 10 finds no crossing")));
}

TEST(SuspectLaps, MarkedByTheFlagsMedian) {
    // Median of 3.0 s everywhere (the lap at position n / 2 + 1 once sorted).
    const struct {
        std::vector<float> laps;
        std::vector<SuspectLap> suspects;
    } cases[] = {
        {{3, 3, 1.4f, 3, 3}, {{3, LapSuspicion::DoubleCount, 0}}},
        {{3, 3, 1.5f, 3, 3}, {}},  // exactly half is not shorter
        // From the fourth lap on; 6.8 is within 15 % of 6, 7.0 is not, 5.3 is below 1.8.
        {{6, 3, 3, 6.8f, 3, 7.0f, 5.3f, 3, 3, 3, 3}, {{4, LapSuspicion::MissedCrossings, 2}}},
        {{3, 3, 3, 3, 5.5f, 9.2f, 10.3f, 3},
         {{5, LapSuspicion::MissedCrossings, 2},
          {6, LapSuspicion::MissedCrossings, 3},
          {7, LapSuspicion::MissedCrossings, 3}}},
    };
    for (const auto& c : cases) {
        const std::vector<SuspectLap> got = suspectLaps(c.laps);
        ASSERT_EQ(got.size(), c.suspects.size()) << c.laps.size();
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].lap, c.suspects[i].lap);
            EXPECT_EQ(got[i].kind, c.suspects[i].kind);
            EXPECT_EQ(got[i].parts, c.suspects[i].parts);
        }
    }
}

}  // namespace
}  // namespace lapdeck
