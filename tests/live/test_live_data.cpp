// What the live page shows, worked out without a network: the race as the screen
// shows it, the racer's laps, the CSV files, the QR code, the choice file and the
// day's finished races.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "ConfigStore.h"
#include "DayResults.h"
#include "EngineHarness.h"
#include "LiveJson.h"
#include "LiveRace.h"
#include "LiveSettings.h"
#include "QrMatrix.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"
#include "ResultCsv.h"

namespace lapdeck::test {
namespace {

QJsonObject parsed(const QByteArray& json) {
    return QJsonDocument::fromJson(json).object();
}

class LiveRaceTest : public EngineTest {
protected:
    LiveRace live;

    // Reads the race as the server would and checks it against the screen: every row's
    // texts in race order, and the flag each row belongs to.
    void read() {
        live = readLiveRace(state, live);
        const QJsonObject json = parsed(stateJson(live, 1, 1));
        const QJsonArray rows = json[QStringLiteral("rows")].toArray();
        ASSERT_EQ(rows.size(), kFlags);
        EXPECT_EQ(json[QStringLiteral("clock")].toString(), state.screen.clock);
        EXPECT_EQ(json[QStringLiteral("title")].toString(), state.screen.raceFormat);
        for (int r = 1; r <= kFlags; ++r) {
            const QJsonObject row = rows[r - 1].toObject();
            const QString shown = QStringList{row[QStringLiteral("name")].toString(),
                                              row[QStringLiteral("laps")].toString(),
                                              row[QStringLiteral("lastLap")].toString(),
                                              row[QStringLiteral("best")].toString(),
                                              row[QStringLiteral("gap")].toString()}
                                      .join(u'|');
            EXPECT_EQ(shown + u'|' + QString::number(state.screen.row[r].colour), this->row(r));
            const int flag = row[QStringLiteral("flag")].toInt();
            EXPECT_EQ(state.screen.row[r].name, u' ' + state.RacerName[flag]) << "row " << r;
        }
    }
    QString flag() { return parsed(stateJson(live, 1, 1))[QStringLiteral("flag")].toString(); }
};

TEST_F(LiveRaceTest, ShowsTheRaceScreenRowForRowWithTheFlagOut) {
    host.names[2] = qs("<script>alert(1)</script>");
    configure(Format::LapRace, 3);
    ASSERT_NO_FATAL_FAILURE(read());
    EXPECT_EQ(flag(), qs("none"));
    start();
    // Each step: crossings, then the flag out after the next tick.
    const std::pair<std::vector<Crossing>, const char*> steps[] = {
        {{{1000, 3}, {1500, 2}}, "green"},
        {{{4000, 2}, {4600, 3}}, "white"},
        {{{7000, 2}}, "checkered"},
        {{{7200, 3}, {8000, 1}}, "over"},
    };
    for (const auto& [crossings, expected] : steps) {
        run(crossings);
        tick();
        ASSERT_NO_FATAL_FAILURE(read());
        EXPECT_EQ(flag(), qs(expected));
    }
    EXPECT_EQ(live.rows[0].name, qs(" <script>alert(1)</script>")) << "the winner, as typed";

    configure(Format::LapRace, 10);
    start();
    run({{1000, 1}});
    engine.cmdStart_Click();
    ASSERT_NO_FATAL_FAILURE(read());
    EXPECT_EQ(flag(), qs("paused"));
}

TEST_F(LiveRaceTest, FollowsARacersLapsNewestFirstAndCopiesNoLapWhileNoneIsAdded) {
    configure(Format::LapRace, 10, 0);  // the run to the first crossing is lap "RT"
    start();
    run({{1000, 1}, {11500, 1}, {21300, 1}, {22000, 2}});
    ASSERT_NO_FATAL_FAILURE(read());
    const QJsonObject racer = parsed(racerJson(live, 1));
    EXPECT_EQ(racer[QStringLiteral("name")].toString(), qs(" Ann"));
    EXPECT_EQ(
        QJsonDocument(racer[QStringLiteral("lapList")].toArray()).toJson(QJsonDocument::Compact),
        QByteArray(R"([{"lap":"2","time":"9.80"},{"lap":"1","time":"10.50"},)"
                   R"({"lap":"RT","time":"1.00"}])"));
    EXPECT_TRUE(racerJson(live, 7).isEmpty());

    const LiveRace before = live;
    tick();
    live = readLiveRace(state, live);
    EXPECT_EQ(live.laps[1].get(), before.laps[1].get());
    EXPECT_FALSE(live == before) << "the clock moved on";
    run({{31000, 1}});
    live = readLiveRace(state, live);
    EXPECT_NE(live.laps[1].get(), before.laps[1].get());
    EXPECT_EQ(live.laps[1]->seconds.size(), 4u);
}

TEST_F(EngineTest, CsvHasOneHeaderRowAndTimesInSeconds) {
    host.names[1] = qs("Smith, \"Bo\"");
    host.names[2] = qs("=HYPERLINK(1)");
    state.LaneColorName = {qs(""),     qs("Yellow"), qs("Green"), qs("Red"),
                           qs("Blue"), qs("White"),  qs("Orange")};
    configure(Format::LapRace, 10);
    start();
    run({{1000, 1}, {1500, 2}, {11500, 1}, {12000, 2}, {21300, 1}, {62000, 1}, {70000, 2}});
    state.live.disabled[6] = true;
    engine.UpdateRaceScreen();

    Expected<LapTable> table = buildLapTable(state);
    ASSERT_TRUE(table.ok());
    EXPECT_EQ(
        crlfLines(lapTableCsv(table.value())),
        strings({"Lap,\"Smith, \"\"Bo\"\" (Yellow)\",'=HYPERLINK(1) (Green),Cy (Red),"
                 "Dee (Blue),Eve (White),Disabled (Orange)",
                 "1,1.00,1.50,,,,", "2,10.50,10.50,,,,", "3,9.80,58.00,,,,", "4,40.70,,,,,", ""}));

    SummaryStats stats;
    Expected<RaceSummary> summary = buildRaceSummary(state, stats, host.fixedNow);
    ASSERT_TRUE(summary.ok());
    const QStringList lines = crlfLines(summaryCsv(summary.value()));
    ASSERT_EQ(lines.size(), 8);  // header, six flags, the end
    EXPECT_EQ(lines[0], qs("Pos,Name,Flag Color,Total Laps,Total Time,Lag First,Lag Behind,"
                           "Best MPH,Best Lap,Avg Time,Med,Crash,Crh %"));
    EXPECT_TRUE(lines[1].startsWith(qs("1,\"Smith, \"\"Bo\"\"\",Yellow,4,62.000,0.00,0.00,")))
        << lines[1].toStdString();
    // Laps 1.00, 10.50, 9.80, 40.70: the average leaves out lap 1, one crash in four.
    EXPECT_TRUE(lines[1].endsWith(qs(",0.0,9.80,20.33,10.50,1,25"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(qs("2,'=HYPERLINK(1),Green,3,70.000,1Lap,1Lap,")))
        << lines[2].toStdString();
    EXPECT_EQ(lines[3], qs("3,Cy,Red,,,,,,,,,,")) << "too few laps: no statistics";
}

TEST(QrMatrix, HasTheThreeFinderPatternsOfAScannableCode) {
    const auto qr = qrMatrix("http://192.168.1.20:8642/");
    ASSERT_TRUE(qr.has_value());
    EXPECT_EQ(qr->size, 25);  // version 2 at level M
    // A finder: a dark 7x7 ring, a light ring inside, a dark 3x3 core.
    auto finder = [&](int x0, int y0) {
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int ring = std::min({x, y, 6 - x, 6 - y});
                if (qr->isDark(x0 + x, y0 + y) != (ring != 1)) {
                    return false;
                }
            }
        }
        return true;
    };
    EXPECT_TRUE(finder(0, 0));
    EXPECT_TRUE(finder(qr->size - 7, 0));
    EXPECT_TRUE(finder(0, qr->size - 7));
    EXPECT_FALSE(finder(qr->size - 7, qr->size - 7));
    EXPECT_FALSE(qrMatrix(QByteArray(4000, 'x')).has_value()) << "more than a code holds";
    EXPECT_FALSE(qrMatrix({}).has_value());
}

TEST(LiveChoice, IsOneLineInTheDataFolder) {
    TempFolder dir;
    const QString path = dir.file(kLiveChoiceFile);
    const LoadResult<LiveChoice> missing = loadLiveChoice(path);
    EXPECT_TRUE(missing.ok());
    EXPECT_EQ(missing.value, (LiveChoice{false, 8642}));

    ASSERT_FALSE(saveLiveChoice(path, {true, 8700}));
    EXPECT_EQ(dir.read(kLiveChoiceFile), QByteArray("#TRUE#,8700\r\n"));
    EXPECT_EQ(loadLiveChoice(path).value, (LiveChoice{true, 8700}));

    const std::tuple<const char*, LiveChoice, const char*> broken[] = {
        {"#TRUE#,70000\r\n", {true, 8642}, "70000 is not a port"},
        {"#TRUE#,0\r\n", {true, 8642}, "0 is not a port"},
        {"yes,8650\r\n", {false, 8650}, "field 1"},
        {"", {false, 8642}, "line 1"},
    };
    for (const auto& [bytes, value, why] : broken) {
        const LoadResult<LiveChoice> read = parseLiveChoice(bytes, kLiveChoiceFile);
        EXPECT_EQ(read.value, value) << bytes;
        ASSERT_TRUE(read.error.has_value()) << bytes;
        EXPECT_TRUE(read.error->message().contains(QLatin1String(why)))
            << read.error->message().toStdString();
    }
}

TEST(DayResults, ServesTheDaysFinishedRacesNewestFirstReadOnce) {
    TempFolder dir;
    ConfigStore store(dir.path());
    ASSERT_FALSE(store.seedMissingFiles());
    RaceRecorder recorder(store);
    RaceState state;  // the names on the flags are the state's
    state.RacerName = {qs(""), qs("Ann"), qs("Bob"), qs("Cy"), qs("Dee"), qs("Eve"), qs("Flo")};
    const QDateTime day(QDate(2026, 12, 5), QTime(14, 0));
    // The seeded race format is a 10 lap race; flag 1 laps every 3 s.
    auto record = [&](int minutes, int laps, std::optional<RaceEnd> end) {
        EXPECT_FALSE(recorder.raceStarting(state, day.addSecs(minutes * 60)));
        for (int lap = 1; lap <= laps; ++lap) {
            EXPECT_FALSE(recorder.reportRead(lap * 3000, QStringLiteral("1")));
        }
        if (end) {
            RaceArchive::markEnded(recorder.raceFolder(), *end);
        }
    };
    record(0, 10, RaceEnd::Finished);
    record(10, 5, RaceEnd::Finished);  // aborted before the finish
    record(20, 10, std::nullopt);      // Lapdeck stopped during it
    record(30, 10, RaceEnd::Recovered);
    record(24 * 60, 10, RaceEnd::Finished);  // the next day

    DayResults results(dir.path());
    const auto served = results.refresh(day.date());
    EXPECT_TRUE(served->problems.isEmpty()) << served->problems.join(u'\n').toStdString();
    const QJsonArray list = QJsonDocument::fromJson(served->listJson).array();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0][QStringLiteral("id")].toString(), qs("2026-12-05_14-30-00"));
    EXPECT_EQ(list[0][QStringLiteral("started")].toString(), qs("14:30"));
    EXPECT_EQ(list[1][QStringLiteral("id")].toString(), qs("2026-12-05_14-00-00"));
    EXPECT_EQ(list[1][QStringLiteral("title")].toString(), qs("10 Lap Race"));
    EXPECT_EQ(list[1][QStringLiteral("lapsCsv")].toString(),
              qs("/results/2026-12-05_14-00-00/laps.csv"));

    const auto& race = served->byId.at(qs("2026-12-05_14-00-00"));
    const QJsonObject json = parsed(race->json);
    EXPECT_EQ(json[QStringLiteral("lapTable")][QStringLiteral("rows")].toArray().size(), 10);
    EXPECT_EQ(json[QStringLiteral("summary")][QStringLiteral("rows")].toArray().size(), 6);
    const QStringList lapLines = crlfLines(race->lapsCsv);
    EXPECT_EQ(lapLines.size(), 12);
    EXPECT_EQ(lapLines[10].section(u',', 0, 1), qs("10,3.00"));
    EXPECT_TRUE(crlfLines(race->summaryCsv)[1].contains(qs(",10,30.000,")))
        << race->summaryCsv.toStdString();

    // Nothing changed: the races are not re-scored.
    EXPECT_EQ(results.refresh(day.date())->byId.at(qs("2026-12-05_14-00-00")), race);
}

}  // namespace
}  // namespace lapdeck::test
