#include <QDir>
#include <QFile>

#include "HeatRace.h"
#include "MeetingFile.h"
#include "MeetingTestSupport.h"
#include "MeetingText.h"
#include "RaceArchive.h"

namespace lapdeck::test {
namespace {

const QString kTouring = QStringLiteral("Touring");

// Every kind of line: a drawn round 1, a withdrawn entry, a replaced run, its
// re-run and a heat still running.
Meeting recordedMeeting() {
    Meeting m = touringMeeting(0, 2);
    m.ranking = RankingRule::Points;
    m.countedRounds = 1;
    m.roundOne = RoundOneOrder::Drawn;
    m.drawSeed = 3141592653u;
    m.mains = 2;
    m.bumpUps = 1;
    EXPECT_FALSE(addClass(m, MeetingClass{qs("Buggy"), RaceLength{true, 5}}));
    for (const char* e : {"Ann|Touring", "Bob|Touring", "Cy|Touring", "Ann|Buggy"}) {
        EXPECT_FALSE(addEntry(m, qs(e).section(u'|', 0, 0), qs(e).section(u'|', 1)));
    }
    EXPECT_FALSE(withdrawEntry(m, qs("Cy"), kTouring));
    const std::vector<Seat> seats{{1, qs("Ann")}, {2, qs("Bob")}};
    const HeatKey heat{kTouring, 1, 1};
    for (int32_t bobTime : {61000, 59000}) {
        const int id = std::get<int>(startHeat(m, heat, seats, qs("/races/a")));
        EXPECT_FALSE(
            finishHeat(m, id, {{1, qs("Ann"), 9, 60000, 5600}, {2, qs("Bob"), 10, bobTime, 5500}}));
        if (bobTime == 61000) {
            EXPECT_FALSE(rerunHeat(m, heat));
        }
    }
    EXPECT_TRUE(std::holds_alternative<int>(
        startHeat(m, HeatKey{qs("Buggy"), 0, 1}, {{3, qs("Ann")}}, {})));
    return m;
}

const QStringList kFile = strings({
    "\"Lapdeck meeting\",1",
    "\"Name\",\"Club day\"",
    "\"Date\",\"2026-12-05\"",
    "\"Rounds\",2",
    "\"Ranking\",\"Points\",1",
    "\"Round one\",\"Drawn\",3141592653",
    "\"Mains\",2,1",
    "\"Class\",\"Touring\",\"Laps\",10",
    "\"Class\",\"Buggy\",\"Minutes\",5",
    "\"Entry\",\"Ann\",\"Touring\",#FALSE#",
    "\"Entry\",\"Bob\",\"Touring\",#FALSE#",
    "\"Entry\",\"Cy\",\"Touring\",#TRUE#",
    "\"Entry\",\"Ann\",\"Buggy\",#FALSE#",
    "\"Run\",1,\"Touring\",1,1,\"Replaced\",\"/races/a\"",
    "\"Seat\",1,1,\"Ann\"",
    "\"Seat\",1,2,\"Bob\"",
    "\"Result\",1,2,\"Bob\",10,61000,5500",
    "\"Result\",1,1,\"Ann\",9,60000,5600",  //
    "\"Run\",2,\"Touring\",1,1,\"Done\",\"/races/a\"",
    "\"Seat\",2,1,\"Ann\"",
    "\"Seat\",2,2,\"Bob\"",
    "\"Result\",2,2,\"Bob\",10,59000,5500",
    "\"Result\",2,1,\"Ann\",9,60000,5600",  //
    "\"Run\",3,\"Buggy\",0,1,\"Running\",\"\"",
    "\"Seat\",3,3,\"Ann\"",
    "",
});

TEST(MeetingFile, WrittenInTheDataFolderStyleAndReadBackWhole) {
    const Meeting m = recordedMeeting();
    EXPECT_EQ(crlfLines(MeetingFile::serialize(m)), kFile);
    TempFolder dir;
    const QString path = MeetingFile::pathFor(dir.path(), m);
    EXPECT_EQ(path, dir.file(qs("Meetings/2026-12-05 Club day.meeting")));
    EXPECT_FALSE(MeetingFile::save(path, m));
    EXPECT_EQ(MeetingFile::list(dir.path()), QStringList{path});
    const auto loaded = MeetingFile::load(path);
    ASSERT_TRUE(std::holds_alternative<Meeting>(loaded)) << std::get<QString>(loaded).toStdString();
    EXPECT_EQ(std::get<Meeting>(loaded), m);
    Meeting empty;  // a new meeting: its heading lines only
    empty.name = qs("New");
    empty.date = m.date;
    EXPECT_EQ(std::get<Meeting>(MeetingFile::parse(MeetingFile::serialize(empty), qs("m"))), empty);
}

TEST(MeetingFile, ADamagedFileIsRefusedWithTheLineAndTheReason) {
    const struct {
        int line;  // 1-based line replaced, or 0: the file cut after three lines
        const char* text;
        const char* message;
    } cases[] = {
        {0, "", "m: the file ends before its heading lines do"},
        {4, "\"Rounds\",9", "m, line 4, field 2: 9 is not between 1 and 6"},
        {4, "\"Rounds\",2,3", "m, line 4, field 3: there are more fields than this line has"},
        {4, "\"Heat\",2", "m, line 4, field 1: \"Heat\" is not one of \"Lapdeck meeting\""},
        {8, "\"Class\",\"Touring\",\"Laps\",16",
         "m: Touring: 16 laps is not offered by Race Format."},
        {8, "\"Entry\",\"Dee\",\"Touring\",#FALSE#",
         "m, line 9, field 1: \"Class\" is out of place: a meeting file holds the heading lines, "
         "the classes, the entries, then the runs, in that order"},
        {10, "\"Entry\",\"Dee\",\"Trucks\",#FALSE#",
         "m: \"Dee\" is entered in the class \"Trucks\", which the meeting does not have."},
        {15, "\"Seat\",7,1,\"Ann\"",
         "m, line 15, field 2: it names another run than the run "
         "above it (1)"},
        {17, "\"Result\",1,3,\"Cy\",10,61000,5500",
         "m: Run 1 (Touring round 1 heat 1) has a result for \"Cy\", who was not in it."},
        {17, "\"Result\",1,2,\"Bob\",8,61000,5500",
         "m: Run 1 (Touring round 1 heat 1): the results are not in finishing order."},
        {19, "\"Run\",2,\"Touring\",1,1,\"Running\",\"\"",
         "m: Run 2 (Touring round 1 heat 1) is running but has a result."},
    };
    for (const auto& c : cases) {
        QStringList lines = kFile;
        if (c.line == 0) {
            lines = lines.mid(0, 3);
        } else {
            lines[c.line - 1] = qs(c.text);
        }
        const auto parsed = MeetingFile::parse(lines.join(qs("\r\n")).toUtf8(), qs("m"));
        ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << c.text;
        EXPECT_TRUE(std::get<QString>(parsed).startsWith(qs(c.message)))
            << std::get<QString>(parsed).toStdString();
    }
    TempFolder dir;
    const auto missing = MeetingFile::load(dir.file(qs("gone.meeting")));
    EXPECT_TRUE(std::get<QString>(missing).endsWith(qs("cannot be read: the file does not exist")));

    // Whatever the damage: a meeting that holds together, or a message; never a crash.
    std::mt19937 rng(21);
    const QByteArray good = kFile.join(qs("\r\n")).toUtf8();
    for (int i = 0; i < 400; ++i) {
        const auto parsed = MeetingFile::parse(mutated(good, rng, "\",\r\n#0123456789-"), qs("m"));
        if (const Meeting* m = std::get_if<Meeting>(&parsed)) {
            EXPECT_FALSE(checkMeeting(*m));
            EXPECT_EQ(std::get<Meeting>(MeetingFile::parse(MeetingFile::serialize(*m), qs("m"))),
                      *m);
        } else {
            EXPECT_TRUE(std::get<QString>(parsed).startsWith(qs("m")));
        }
    }
}

// A racer's name over 200 characters: typed, it is refused; read, its entry is left
// out with the line named and the rest loads; on a seat it refuses the file.
TEST(MeetingFile, ARacersNameOfMoreThan200CharactersIsRefused) {
    for (const qsizetype length : {200, 201, 4 << 20}) {
        SCOPED_TRACE(length);
        const bool refused = length > 200;
        const QString name(length, u'x');
        const QString tooLong =
            qs("the racer's name has %1 characters and a name may be at most 200").arg(length);
        Meeting typed = touringMeeting(0, 1);
        EXPECT_EQ(addEntry(typed, name, kTouring).has_value(), refused);
        QStringList lines = kFile;
        lines[11] = qs("\"Entry\",\"%1\",\"Touring\",#TRUE#").arg(name);
        QStringList leftOut;
        const auto parsed = MeetingFile::parse(lines.join(qs("\r\n")).toUtf8(), qs("m"), &leftOut);
        EXPECT_EQ(std::get<Meeting>(parsed).entries.size(), refused ? 3u : 4u);
        EXPECT_EQ(leftOut.join(u'|'), refused ? qs("m, line 12, field 2: ") + tooLong +
                                                    qs(", so this entry was left out")
                                              : QString());
        lines = kFile;
        lines[24] = qs("\"Seat\",3,3,\"%1\"").arg(name);
        const auto seated = MeetingFile::parse(lines.join(qs("\r\n")).toUtf8(), qs("m"));
        const QString* message = std::get_if<QString>(&seated);
        EXPECT_EQ(message && message->startsWith(qs("m, line 25, field 4: ") + tooLong), refused);
    }
}

TEST(HeatRace, LoadingPutsTheNamesOnTheFlagsAndTheClassFormatInForce) {
    Meeting m = touringMeeting(3, 1);
    ASSERT_FALSE(addClass(m, MeetingClass{qs("Buggy"), RaceLength{true, 5}}));
    ASSERT_FALSE(addEntry(m, qs("D"), qs("Buggy")));
    const MeetingPlan plan = planMeeting(m, flagsUpTo(5));
    PerFlag<bool> disabled{};
    disabled[6] = true;
    const PerFlag<QString> current{{{}, qs("x"), qs("x"), qs("x"), qs("x"), qs("x"), qs("Zed")}};
    RaceFormat format = defaultRaceFormat();
    format.demo = true;
    const struct {
        size_t heat;
        QStringList names;
        RaceOption option;
        QString length;
    } cases[] = {
        {0, strings({"A", "B", "C", "Empty", "Empty", "Zed"}), RaceOption::LapRace, qs("10")},
        {1, strings({"D", "Empty", "Empty", "Empty", "Empty", "Zed"}), RaceOption::TimedRace,
         qs("5")}};
    for (const auto& c : cases) {
        const auto load = loadHeat(m, plan.heats[c.heat], disabled, current, format);
        ASSERT_TRUE(std::holds_alternative<HeatLoad>(load))
            << std::get<QString>(load).toStdString();
        const HeatLoad& l = std::get<HeatLoad>(load);
        EXPECT_EQ(QStringList(l.racerNames.begin() + 1, l.racerNames.end()), c.names);
        EXPECT_EQ(l.raceFormat.option(), c.option);
        EXPECT_EQ(
            c.option == RaceOption::LapRace ? l.raceFormat.lapsText() : l.raceFormat.minutesText(),
            c.length);
        EXPECT_TRUE(l.raceFormat.demo);
    }
    disabled[2] = true;  // B's flag, disabled since the plan was made
    EXPECT_EQ(std::get<QString>(loadHeat(m, plan.heats[0], disabled, current, format)),
              qs("B is planned on flag 2, which is disabled in the settings."));
}

TEST(HeatRace, AResultFromARaceFolderCountsAsTheRaceWasScored) {
    // The hand-checked race of the replay tests: Ann 3 laps at 8.100, Bob 3 laps at
    // 9.700 (best 3.70), Cy 2 laps at 6.000, on flags 1 to 3.
    TempFolder race;
    const QDir source(qs(LAPDECK_RACES_DIR "/lap3_crash/data"));
    for (const QString& name : source.entryList(QDir::Files)) {
        ASSERT_TRUE(QFile::copy(source.filePath(name), race.file(name)));
    }
    EXPECT_TRUE(std::get<QString>(resultFromRaceFolder(race.path(), {{1, qs("Ann")}}))
                    .startsWith(race.file(RaceArchive::kJournal) + qs(": ")));  // no journal
    ASSERT_TRUE(QFile::copy(qs(LAPDECK_RACES_DIR "/lap3_crash/journal.txt"),
                            race.file(RaceArchive::kJournal)));

    Meeting m = touringMeeting(0, 1);
    for (const char* name : {"Cy", "Bob", "Ann"}) {
        ASSERT_FALSE(addEntry(m, qs(name), kTouring));
    }
    m.mains = 1;
    const MeetingPlan plan = planMeeting(m, flagsUpTo(5));
    // Entry order put Cy on flag 1; she raced on flag 3 and still counts.
    EXPECT_EQ(seatsText(plan.heats[0]), qs("Cy1 Bob2 Ann3"));
    const std::vector<Seat> seats = plan.heats[0].namedSeats();
    const int id = std::get<int>(startHeat(m, plan.heats[0].key, seats, race.path()));
    const auto results = resultFromRaceFolder(race.path(), seats);
    ASSERT_TRUE(std::holds_alternative<std::vector<RacerResult>>(results))
        << std::get<QString>(results).toStdString();
    ASSERT_FALSE(finishHeat(m, id, std::get<std::vector<RacerResult>>(results)));
    EXPECT_EQ(m.runs[0].results, std::vector<RacerResult>({{1, qs("Ann"), 3, 8100, 3500},
                                                           {2, qs("Bob"), 3, 9700, 3700},
                                                           {3, qs("Cy"), 2, 6000, 3500}}));
    EXPECT_EQ(std::get<QString>(resultFromRaceFolder(race.path(), {{4, qs("Dee")}})),
              qs("Dee is on no flag of that race."));

    // The printable and CSV forms.
    EXPECT_EQ(
        crlfLines(plainText(roundResultsTable(m, kTouring, 1)).toUtf8()),
        strings({"Touring round 1", "", "Place  Name  Heat  Flag  Laps  Time      Best lap  Points",
                 "1      Ann   1     1     3     0:08.100  3.50      3",
                 "2      Bob   1     2     3     0:09.700  3.70      2",
                 "3      Cy    1     3     2     0:06.000  3.50      1", ""}));
    const MeetingPlan after = planMeeting(m, flagsUpTo(5));
    EXPECT_EQ(crlfLines(csvText(heatListTable(after))),
              strings({"Heat,Flag 1,Flag 2,Flag 3,Flag 4,Flag 5,Flag 6,Status",
                       "Touring round 1 heat 1,Ann,Bob,Cy,,,,Done",
                       "Touring A main,,Ann,Bob,Cy,,,Waiting", ""}));
}

}  // namespace
}  // namespace lapdeck::test
