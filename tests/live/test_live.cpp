// Live results: the server on 127.0.0.1 over an engine race (what a phone gets after
// crossings, the day's results and their CSV, the meeting, what a stranger on the
// network cannot do); off until started, the choice file and the QR code.
#include <ctime>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "ConfigStore.h"
#include "DayResults.h"
#include "EngineHarness.h"
#include "LiveJson.h"
#include "LiveMeeting.h"
#include "LiveResults.h"
#include "LiveSettings.h"
#include "LiveSheet.h"
#include "MeetingPace.h"
#include "MeetingTestSupport.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"

namespace lapdeck::test {
namespace {

constexpr int kWaitMs = 5000;

QJsonObject parsed(const QByteArray& json) {
    return QJsonDocument::fromJson(json).object();
}

struct Reply {
    int status = 0;
    QByteArray head;
    QByteArray body;

    QByteArray header(const char* name) const {
        const QRegularExpression line(QStringLiteral("\r\n%1: ([^\r]*)").arg(QLatin1String(name)),
                                      QRegularExpression::CaseInsensitiveOption);
        return line.match(QString::fromLatin1(head + "\r\n")).captured(1).toLatin1();
    }
};

// One answer: up to its Content-Length, or to the close.
Reply readReply(QTcpSocket& socket) {
    Reply r;
    QByteArray data;
    for (bool more = true; more; more = socket.waitForReadyRead(kWaitMs)) {
        data += socket.readAll();
        const qsizetype end = data.indexOf("\r\n\r\n");
        r.head = data.left(end);
        r.body = end < 0 ? QByteArray() : data.mid(end + 4);
        const QByteArray length = r.header("Content-Length");
        if (!length.isEmpty() && r.body.size() >= length.toLongLong()) {
            break;
        }
    }
    r.status = r.head.split(' ').value(1).toInt();
    return r;
}

QByteArray get(const char* path, const char* method = "GET") {
    return QByteArray(method) + ' ' + path + " HTTP/1.1\r\nHost: lapdeck\r\n\r\n";
}

class LiveServerTest : public EngineTest {
protected:
    TempFolder dir;
    LiveResults live{state, dir.path()};
    quint16 port = 0;

    void serve(const LiveLimits& limits = {}) {
        live.setLimits(limits);
        ASSERT_FALSE(live.start(0, QHostAddress::LocalHost).has_value());
        port = live.port();
    }
    std::unique_ptr<QTcpSocket> connectToLive(const QByteArray& request = {}) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(socket->waitForConnected(kWaitMs));
        socket->write(request);
        return socket;
    }
    Reply ask(const QByteArray& request) { return readReply(*connectToLive(request)); }

    // A watching page: the data of the next pushed event but pings; empty when none came.
    struct Watcher {
        std::unique_ptr<QTcpSocket> socket;
        QByteArray buffer;
        QByteArray next() {
            for (;;) {
                buffer += socket->readAll();
                const qsizetype end = buffer.indexOf("\n\n");
                if (end < 0 && !socket->waitForReadyRead(kWaitMs)) {
                    return {};
                }
                const QByteArray event = buffer.left(end);
                buffer.remove(0, end < 0 ? 0 : end + 2);
                if (end >= 0 && event.contains("data: ") && !event.startsWith("event: ping")) {
                    return event.mid(event.indexOf("data: ") + 6);
                }
            }
        }
    };
    Watcher watch() { return {connectToLive(get("/events")), {}}; }

    // The rows as the race screen shows them ("name|laps|last lap|best|gap"), each
    // after the name on the flag it belongs to; and as a page got them.
    QString screenRows() const {
        QStringList out;
        for (int r = 1; r <= kFlags; ++r) {
            out << state.flagName(state.screen.row[r].flag).caption() + u'|' +
                       row(r).section(u'|', 0, 4);
        }
        return out.join(u'\n');
    }
    QString pageRows(const QJsonObject& json) const {
        QStringList out;
        for (const QJsonValue row : json[QStringLiteral("rows")].toArray()) {
            QStringList cells{u' ' +
                              state.RacerName[std::clamp(row[qs("flag")].toInt(), 0, kFlags)]};
            for (const char* key : {"name", "laps", "lastLap", "best", "gap"}) {
                cells << row[QLatin1String(key)].toString();
            }
            out << cells.join(u'|');
        }
        return out.join(u'\n');
    }
};

TEST_F(LiveServerTest, ShowsTheRaceScreenAndTheFlagOutAfterEveryCrossing) {
    host.names[2] = qs("<script>alert(1)</script>");
    configure(Format::LapRace, 3);
    ASSERT_NO_FATAL_FAILURE(serve());
    const Reply page = ask(get("/"));
    EXPECT_TRUE(page.status == 200 && page.body.contains("/live.js"));
    EXPECT_TRUE(page.header("Content-Security-Policy").contains("default-src 'self'"));
    const Reply script = ask(get("/live.js"));
    const Reply style = ask(get("/live.css"));
    EXPECT_EQ(script.header("Content-Type"), "text/javascript; charset=utf-8");
    EXPECT_EQ(style.header("Content-Type"), "text/css; charset=utf-8");
    EXPECT_LT(page.body.size() + script.body.size() + style.body.size(), 60 * 1024);
    // Names and texts go on the page as text only.
    for (const char* markup : {"innerHTML", "outerHTML", "insertAdjacentHTML", "document.write"}) {
        EXPECT_FALSE(script.body.contains(markup)) << markup;
    }
    Watcher watcher = watch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.watchers() == 1; }, kWaitMs));
    EXPECT_EQ(live.statusLine(),
              QStringLiteral("Live results: http://127.0.0.1:%1/ \u00B7 1 watching").arg(port));

    // Each step: crossings, a tick, and the flag out then. Other changes may be pushed
    // too (the clock): the step's comes in one of the next events.
    const std::pair<std::vector<Crossing>, const char*> steps[] = {
        {{}, "none"},
        {{{1000, 3}, {1500, 2}}, "green"},
        {{{4000, 2}, {4600, 3}}, "white"},
        {{{7000, 2}}, "checkered"},
        {{{7200, 3}, {8000, 1}}, "over"},
    };
    for (const auto& [crossings, flag] : steps) {
        if (!crossings.empty()) {
            run(crossings);
            tick();
        }
        live.publish();
        QJsonObject pushed;
        do {
            pushed = parsed(watcher.next());
        } while (!pushed.isEmpty() && pageRows(pushed) != screenRows());
        ASSERT_FALSE(pushed.isEmpty()) << "not pushed:\n" << screenRows().toStdString();
        EXPECT_EQ(pushed[qs("flag")].toString() + u'|' + pushed[qs("clock")].toString() + u'|' +
                      pushed[qs("title")].toString(),
                  qs(flag) + u'|' + state.screen.clock + u'|' + state.screen.raceFormat);
        EXPECT_EQ(pageRows(parsed(ask(get("/state.json")).body)), screenRows());
        if (crossings.empty()) {
            start();
        }
    }
    const Reply racer = ask(get("/racer/2.json"));
    EXPECT_EQ(racer.header("Content-Type"), "application/json; charset=utf-8");
    EXPECT_EQ(racer.header("X-Content-Type-Options") + racer.header("Cache-Control"),
              "nosniffno-store");
    EXPECT_EQ(QString::fromUtf8(racer.body),
              qs(R"({"best":"2.50 ","colour":"#ea0300","flag":2,"gap":"0.00","lapCount":3,)"
                 R"("lapList":[{"lap":"3","time":"3.00"},{"lap":"2","time":"2.50"},)"
                 R"({"lap":"1","time":"1.50"}],"laps":"3","lastLap":"3.00",)"
                 R"("name":" <script>alert(1)</script>"})"));

    // A tick without a crossing copies no lap, yet the clock moved on; a pause is shown.
    configure(Format::LapRace, 10);
    start();
    run({{1000, 1}});
    const LiveRace before = readLiveRace(state, {});
    tick();
    const LiveRace after = readLiveRace(state, before);
    EXPECT_EQ(after.laps[1].get(), before.laps[1].get());
    EXPECT_FALSE(after == before);
    engine.cmdStart_Click();
    live.publish();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return watcher.next().contains(R"("flag":"paused")"); }, kWaitMs));
    watcher.socket.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.watchers() == 0; }, kWaitMs));
}

TEST_F(LiveServerTest, AnswersOnlyReadsOfItsOwnPaths) {
    dir.write(qs("secret.txt"), "not for the pits");
    configure(Format::LapRace, 10);
    ASSERT_NO_FATAL_FAILURE(serve());
    const std::pair<QByteArray, int> requests[] = {
        {get("/", "POST"), 405},
        {"PUT /state.json HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}", 405},
        {get("/state.json", "DELETE"), 405},
        {get("/", "FOO"), 405},
        {get("/secret.txt"), 404},
        {get("/../secret.txt"), 404},
        {get("/%2e%2e/%2E%2E/etc/passwd"), 404},
        {get("/results/..%2f..%2fsecret.txt"), 404},
        {get("/racer/../state.json"), 404},
        {get("/racer/7.json"), 404},
        {get(("/" + QByteArray(3000, 'a')).constData()), 414},
    };
    for (const auto& [request, status] : requests) {
        const Reply reply = ask(request);
        EXPECT_EQ(reply.status, status) << request.left(60).toStdString();
        EXPECT_FALSE(reply.body.contains("not for the pits") || reply.body.contains("root:"));
        EXPECT_EQ(reply.header("Allow"), status == 405 ? "GET, HEAD" : "");
    }
    // HEAD: the length of what GET would send, and nothing else.
    const Reply head = ask(get("/state.json", "HEAD") + get("/state.json"));
    EXPECT_EQ(head.header("Content-Length").toInt(), ask(get("/state.json")).body.size());
    EXPECT_TRUE(head.status == 200 && head.body.startsWith("HTTP/1.1 200")) << "a body after HEAD";
}

TEST_F(LiveServerTest, KeepsItsLimitsOnASharedNetwork) {
    LiveLimits limits;
    limits.maxWatchers = 2;
    limits.maxConnections = 6;
    limits.maxHeadBytes = 2048;
    limits.idleMs = 300;
    limits.heartbeatMs = 100;
    configure(Format::LapRace, 10);
    ASSERT_NO_FATAL_FAILURE(serve(limits));

    // A head larger than allowed, sent in pieces as an attacker would (and no more than
    // that, so the answer is not lost to a reset).
    auto big = connectToLive("GET / HTTP/1.1\r\nHost: x\r\n");
    for (int sent = 0; sent <= limits.maxHeadBytes; sent += 100) {
        big->write("X-Pad: " + QByteArray(91, 'p') + "\r\n");
        big->waitForBytesWritten(kWaitMs);
    }
    EXPECT_EQ(readReply(*big).status, 431);
    // Idle connections, with nothing or half a request sent, are closed.
    auto half = connectToLive("GET /state.json HTTP/1.1\r\nHo");
    auto silent = connectToLive();
    for (QTcpSocket* socket : {big.get(), half.get(), silent.get()}) {
        EXPECT_TRUE(socket->state() == QAbstractSocket::UnconnectedState ||
                    socket->waitForDisconnected(kWaitMs));
    }

    // Two watchers; the third and a new page get the "full" page, until one leaves.
    Watcher first = watch();
    Watcher second = watch();
    EXPECT_FALSE(first.next().isEmpty() || second.next().isEmpty());
    const Reply third = ask(get("/events"));
    EXPECT_EQ(third.status, 503);
    EXPECT_TRUE(third.body.contains("Live results are full"));
    EXPECT_EQ(third.header("Retry-After"), "30");
    EXPECT_EQ(ask(get("/")).status, 503);
    EXPECT_EQ(ask(get("/state.json")).status, 200) << "the data stays readable";
    const std::clock_t cpu = std::clock();
    QTest::qWait(limits.idleMs * 2);
    EXPECT_LT(std::clock() - cpu, CLOCKS_PER_SEC / 10) << "the server spins while all is quiet";
    EXPECT_EQ(first.socket->state(), QAbstractSocket::ConnectedState) << "closed as idle";
    EXPECT_TRUE(first.socket->readAll().contains("event: ping\n"))
        << "a quiet race is not a lost one";
    second.socket.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.watchers() == 1; }, kWaitMs));
    EXPECT_EQ(ask(get("/")).status, 200);

    // Past the connection limit a connection is answered "full" at once.
    std::vector<std::unique_ptr<QTcpSocket>> open;
    for (int i = 0; i < limits.maxConnections; ++i) {
        open.push_back(connectToLive());
    }
    EXPECT_EQ(readReply(*open.back()).status, 503);
    live.stop();
    EXPECT_EQ(live.watchers(), 0) << "the one still watching is gone too";
}

TEST_F(LiveServerTest, ServesTheDaysFinishedRacesNewestFirstWithTheirCsv) {
    ConfigStore store(dir.path());
    ASSERT_FALSE(store.seedMissingFiles());
    RaceRecorder recorder(store);
    // Names a spreadsheet would split or run as a formula.
    state.RacerName = {qs(""),    qs("=HYPERLINK(1)"), qs("Smith, Bo"), qs("Cy"),
                       qs("Dee"), qs("Eve"),           qs("Flo")};
    const QDateTime day(QDate(2026, 12, 5), QTime(14, 0));
    // Minutes after 14:00, laps of flag 2 (every 3 s; the seeded format is 10 laps), end.
    const std::tuple<int, int, std::optional<RaceEnd>> races[] = {
        {0, 10, RaceEnd::Finished},        // served
        {10, 5, RaceEnd::Finished},        // aborted before the finish
        {20, 10, std::nullopt},            // Lapdeck stopped during it
        {30, 10, RaceEnd::Recovered},      // served
        {24 * 60, 10, RaceEnd::Finished},  // the next day
    };
    for (const auto& [minutes, laps, end] : races) {
        ASSERT_FALSE(recorder.raceStarting(state, day.addSecs(minutes * 60)));
        for (int lap = 1; lap <= laps; ++lap) {
            ASSERT_FALSE(recorder.reportRead(lap * 3000, QStringLiteral("2")));
        }
        if (end) {
            RaceArchive::markEnded(recorder.raceFolder(), *end);
        }
    }
    live.setResultsDay(day.date());
    ASSERT_NO_FATAL_FAILURE(serve());

    QByteArray list;
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return (list = ask(get("/results.json")).body) != "[]"; }, kWaitMs));
    EXPECT_EQ(list.count(R"("id")"), 2);
    EXPECT_TRUE(
        list.startsWith(R"([{"id":"2026-12-05_14-30-00","json":"/results/2026-12-05_14-30-00)"
                        R"(.json","lapsCsv":"/results/2026-12-05_14-30-00/laps.csv","started)"
                        R"(":"14:30","summaryCsv":"/results/2026-12-05_14-30-00/summary.csv")"
                        R"(,"title":"10 Lap Race"},{"id":"2026-12-05_14-00-00")"))
        << "newest first: " << list.data();
    const QJsonObject race = parsed(ask(get("/results/2026-12-05_14-00-00.json")).body);
    // The results tab's tables: the lap table's columns by flag, the summary's two head rows.
    EXPECT_EQ(race[qs("lapTable")][qs("columns")][0].toObject(),
              parsed(R"({"colour":"#00ff00","colourName":"Green","name":"Smith, Bo"})"));
    EXPECT_EQ(race[qs("lapTable")][qs("rows")].toArray().size(), 10);
    EXPECT_EQ(race[qs("summary")][qs("head")][1][0].toString() +
                  race[qs("summary")][qs("head")][0][2].toString(),
              qs("Pos Flag"));
    EXPECT_EQ(race[qs("summary")][qs("rows")].toArray().size(), 6);
    const Reply laps = ask(get("/results/2026-12-05_14-00-00/laps.csv"));
    EXPECT_EQ(laps.header("Content-Type"), "text/csv; charset=utf-8");
    // The CSV: one header row, times in seconds, names as text, no figures for too few laps.
    QStringList lines{
        qs("Lap,\"Smith, Bo (Green)\",'=HYPERLINK(1) (Yellow),Cy (Blue),Dee (White),"
           "Eve (Purple),Flo (Orange)")};
    for (int lap = 1; lap <= 10; ++lap) {
        lines << QStringLiteral("%1,3.00,,,,,").arg(lap);
    }
    EXPECT_EQ(crlfLines(laps.body), lines << QString());
    const QByteArray summary = ask(get("/results/2026-12-05_14-00-00/summary.csv")).body;
    EXPECT_EQ(crlfLines(summary).mid(1, 2),
              strings({"1,\"Smith, Bo\",Green,10,30.000,0.00,0.00,0.0,3.00,3.00,3.00,0,0",
                       "2,'=HYPERLINK(1),Yellow,,,,,,,,,,"}));
    EXPECT_EQ(ask(get("/results/2026-12-05_14-00-01.json")).status, 404);

    // Nothing changed: the races are not re-scored.
    DayResults results(dir.path());
    const auto kept = results.refresh(day.date())->byId.at(qs("2026-12-05_14-00-00"));
    EXPECT_EQ(results.refresh(day.date())->byId.at(qs("2026-12-05_14-00-00")), kept);
}

// What a value at a path ("heats/1/seats/0/name") of a JSON document reads as; arrays
// joined with '|'; "-" where the path leads nowhere.
QString at(const QJsonValue& root, const QString& path) {
    QJsonValue v = root;
    for (const QString& step : path.split(u'/')) {
        bool index = false;
        const int i = step.toInt(&index);
        v = index ? v.toArray().at(i) : v.toObject().value(step);
    }
    if (v.isArray()) {
        QStringList items;
        for (const QJsonValue item : v.toArray()) {
            items << item.toVariant().toString();
        }
        return items.join(u'|');
    }
    return v.isUndefined() ? qs("-") : v.toVariant().toString();
}

// Touring, Ann to Eve on three flags, one round, two mains with a bump-up: round 1
// heat 1 run (Ann and <script> 10 laps, Cy 9), heat 2 running, the mains waiting.
TEST(LiveMeeting, ShowsTheScheduleAndTheRankingsAsTheMeetingWindowHasThem) {
    Meeting m = touringMeeting(0, 1);
    for (const char* name : {"Ann", "<script>", "Cy", "Dee", "Eve"}) {
        ASSERT_FALSE(addEntry(m, qs(name), qs("Touring")));
    }
    m.mains = 2;
    m.bumpUps = 1;
    const std::vector<int> flags = flagsUpTo(3);
    auto run = [&](const char* folder) {
        const MeetingPlan plan = planMeeting(m, flags);
        const PlannedHeat* heat = plan.nextHeat();
        return std::get<int>(startHeat(m, heat->key, heat->namedSeats(), qs(folder)));
    };
    ASSERT_FALSE(finishHeat(m, run("/data/Races/2026-12-05 10-02-07"),
                            {{1, qs("Ann"), 10, 95100, 8000},
                             {2, qs("<script>"), 10, 96000, 8500},
                             {3, qs("Cy"), 9, 94000, 9000}}));
    run("/data/Races/2026-12-05 10-09-30");
    PerFlag<int32_t> colours{};
    colours[2] = 255;  // red
    const MeetingPlan plan = planMeeting(m, flags);
    // The waiting heats from 10:10, each after the last winner's 95 s and a 2-minute gap.
    const QDateTime next(QDate(2026, 12, 5), QTime(10, 10));
    const QJsonObject json = parsed(meetingJson(m, plan, plannedStarts(m, plan, next, 2), colours));

    const std::pair<const char*, const char*> expected[] = {
        {"name", "Club day"},
        {"date", "2026-12-05"},
        {"heats/0/title", "Touring round 1 heat 1"},
        {"heats/0/status", "Done"},
        {"heats/0/time", "10:02"},
        {"heats/0/seats/1/name", "<script>"},
        {"heats/0/seats/1/colour", "#ff0000"},
        {"heats/1/status", "Running"},
        {"heats/1/time", "10:09"},
        {"heats/1/seats/1/name", "Eve"},
        {"heats/1/seats/2", "-"},
        {"heats/2/title", "Touring B main"},
        {"heats/2/time", "10:10"},
        {"heats/2/seats/0/name", "Cy"},
        {"heats/3/title", "Touring A main"},
        {"heats/3/time", "10:13"},
        {"heats/3/seats/1/standIn", "-"},
        {"heats/3/seats/2/name", ""},
        {"heats/3/seats/2/standIn", "1st of the B main"},
        {"heats/4", "-"},
        {"classes/0/qualifying/header", "Place|Name|Points|Laps|Time|Round|Best lap|R1"},
        {"classes/0/qualifying/rows/0", "1|Ann|3|10|1:35.100|1|8.00|1"},
        {"classes/0/qualifying/rows/1", "2|<script>|2|10|1:36.000|1|8.50|2"},
        {"classes/0/qualifying/rows/4", "5|Eve|0|||||-"},
        {"classes/0/final/header", "Place|Name|Main|Laps|Time|Best lap"},
        {"classes/0/final/rows/1", "2|<script>|A|||"},
        {"classes/0/final/rows/2", "3|Cy|B|||"},
        {"classes/1", "-"},
    };
    for (const auto& [path, value] : expected) {
        EXPECT_EQ(at(json, qs(path)), qs(value)) << path;
    }
    m.mains = 0;  // the qualifying ranking is the result
    const QJsonObject unmained = parsed(meetingJson(m, planMeeting(m, flags), {}, colours));
    EXPECT_EQ(at(unmained, qs("classes/0/final")) + at(unmained, qs("heats/0/time")), qs("-"));
}

TEST_F(LiveServerTest, PushesTheMeetingWhenItChangesAndKeepsItWhileOff) {
    configure(Format::LapRace, 10);
    ASSERT_NO_FATAL_FAILURE(serve());
    Watcher watcher = watch();
    auto pushedVersion = [&watcher]() {
        return parsed(watcher.next())[qs("meetingVersion")].toInt(-1);
    };
    EXPECT_EQ(pushedVersion(), 0);
    // "meetingVersion /meeting.json" as a page finds them.
    auto served = [this]() {
        const int version = parsed(ask(get("/state.json")).body)[qs("meetingVersion")].toInt();
        return QByteArray::number(version) + ' ' + ask(get("/meeting.json")).body;
    };
    const QByteArray first = R"({"name":"Club day"})";
    const QByteArray second = R"({"heats":[],"name":"Club day"})";
    // What the window tells, one after another; the same twice is handed over once.
    const std::pair<QByteArray, QByteArray> steps[] = {
        {{}, "0 {}"}, {first, "1 " + first}, {first, "1 " + first}, {second, "2 " + second},
        {{}, "3 {}"}, {{}, "3 {}"},          {first, "4 " + first},
    };
    for (const auto& [told, expected] : steps) {
        live.setMeeting(told);
        QByteArray now;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (now = served()) == expected; }, kWaitMs))
            << now.data() << " for " << expected.data();
        if (&expected == &steps[1].second) {
            EXPECT_EQ(pushedVersion(), 1) << "not pushed";
        }
    }
    live.stop();
    live.setMeeting(second);
    ASSERT_FALSE(live.start(0, QHostAddress::LocalHost).has_value());
    port = live.port();
    EXPECT_TRUE(QTest::qWaitFor([&] { return served() == "1 " + second; }, kWaitMs))
        << served().data();
}

// The pit wall's sheet: the code module for module inside a light quiet zone of four,
// and the address in words.
TEST(LiveSheet, CarriesTheCodeInItsQuietZoneAndTheAddressInWords) {
    const QString url = qs("http://192.168.1.20:8642/");
    const QrMatrix code = qrMatrix(url.toUtf8()).value();
    const Printout sheet = liveSheet(url, code);
    const auto picture = std::find_if(sheet.lines.begin(), sheet.lines.end(),
                                      [](const PrintLine& l) { return l.picture.size > 0; });
    ASSERT_NE(picture, sheet.lines.end());
    const PrintModules& p = picture->picture;
    ASSERT_EQ(p.size, code.size + 8);
    ASSERT_EQ(p.dark.size(), static_cast<size_t>(p.size * p.size));
    int mismatches = 0;
    for (int i = 0; i < p.size * p.size; ++i) {
        mismatches += p.dark[static_cast<size_t>(i)] != code.isDark(i % p.size - 4, i / p.size - 4);
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_TRUE(std::any_of(sheet.lines.begin(), sheet.lines.end(), [&](const PrintLine& l) {
        return !l.items.empty() && l.items[0].text == url;
    }));
}

TEST(LiveResults, IsOffByDefaultAndATakenPortOffersTheNextFreeOne) {
    TempFolder dir;
    const QString file = dir.file(kLiveChoiceFile);
    EXPECT_EQ(loadLiveChoice(file).value, (LiveChoice{false, 8642}));
    ASSERT_FALSE(saveLiveChoice(file, {true, 8700}));
    EXPECT_EQ(dir.read(kLiveChoiceFile), QByteArray("#TRUE#,8700\r\n"));
    EXPECT_EQ(loadLiveChoice(file).value, (LiveChoice{true, 8700}));
    EXPECT_TRUE(parseLiveChoice("#TRUE#,0\r\n", kLiveChoiceFile).error.has_value());

    RaceState state;
    LiveResults live(state, dir.path());
    EXPECT_TRUE(live.statusLine().isEmpty() && !live.qrCode().has_value());
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    const auto problem = live.start(taken.serverPort(), QHostAddress::LocalHost);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->text,
              QStringLiteral("Port %1 is in use by another program.").arg(taken.serverPort()));
    EXPECT_FALSE(live.isRunning());
    ASSERT_GT(problem->freePort, taken.serverPort());
    ASSERT_FALSE(live.start(problem->freePort, QHostAddress::LocalHost).has_value());
    EXPECT_EQ(live.address(), QStringLiteral("http://127.0.0.1:%1/").arg(problem->freePort));

    // The address as a QR code: a finder pattern (a dark ring, a light ring, a dark
    // core) in three corners, not in the fourth.
    const auto qr = live.qrCode();
    ASSERT_TRUE(qr.has_value());
    auto finder = [&](int x0, int y0) {
        bool is = true;
        for (int i = 0; i < 49; ++i) {
            const int x = i % 7, y = i / 7;
            is = is && qr->isDark(x0 + x, y0 + y) == (std::min({x, y, 6 - x, 6 - y}) != 1);
        }
        return is;
    };
    const int last = qr->size - 7;
    EXPECT_TRUE(finder(0, 0) && finder(last, 0) && finder(0, last) && !finder(last, last));

    live.stop();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, problem->freePort);
    EXPECT_FALSE(socket.waitForConnected(kWaitMs)) << "nothing serves after stop";
}

}  // namespace
}  // namespace lapdeck::test
