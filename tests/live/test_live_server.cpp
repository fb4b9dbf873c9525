// The live server on 127.0.0.1 over an engine race: what a phone gets after each
// crossing, the results and their CSV, and what a stranger on the network cannot do.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "ConfigStore.h"
#include "DayResults.h"
#include "EngineHarness.h"
#include "LiveJson.h"
#include "LiveResults.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"

namespace lapdeck::test {
namespace {

constexpr int kWaitMs = 5000;

struct Reply {
    int status = 0;
    QByteArray head;
    QByteArray body;
    bool closed = false;  // the server closed the connection

    QByteArray header(const char* name) const {
        for (const QByteArray& line : head.split('\n')) {
            const QByteArray l = line.trimmed();
            if (l.toLower().startsWith(QByteArray(name).toLower() + ':')) {
                return l.mid(l.indexOf(':') + 1).trimmed();
            }
        }
        return {};
    }
};

// Reads one answer: the head, then the body by its length or up to the close.
Reply readReply(QTcpSocket& socket) {
    Reply reply;
    QByteArray data;
    qsizetype end = -1;
    auto done = [&]() {
        end = data.indexOf("\r\n\r\n");
        if (end < 0) {
            return false;
        }
        const QByteArray head = data.left(end);
        const qsizetype at = head.toLower().indexOf("content-length:");
        const qsizetype length =
            at < 0 ? -1 : head.mid(at + 15).split('\r').first().trimmed().toLongLong();
        return length >= 0 && data.size() - end - 4 >= length;
    };
    while (!done()) {
        if (!socket.waitForReadyRead(kWaitMs)) {
            reply.closed = socket.state() != QAbstractSocket::ConnectedState;
            break;
        }
        data += socket.readAll();
    }
    data += socket.readAll();
    end = data.indexOf("\r\n\r\n");
    reply.head = data.left(end);
    reply.body = end < 0 ? QByteArray() : data.mid(end + 4);
    reply.status = reply.head.split(' ').value(1).toInt();
    return reply;
}

QJsonArray rowsOf(const QByteArray& state) {
    return QJsonDocument::fromJson(state).object()[QStringLiteral("rows")].toArray();
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
        const auto problem = live.start(0, QHostAddress::LocalHost);
        ASSERT_FALSE(problem.has_value()) << problem->text.toStdString();
        port = live.port();
    }
    std::unique_ptr<QTcpSocket> connectToLive() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(socket->waitForConnected(kWaitMs));
        return socket;
    }
    Reply ask(const QByteArray& request) {
        auto socket = connectToLive();
        socket->write(request);
        return readReply(*socket);
    }
    // The next pushed event's data on a watcher's connection.
    QByteArray nextEvent(QTcpSocket& stream, QByteArray& buffer) {
        for (;;) {
            const qsizetype end = buffer.indexOf("\n\n");
            if (end >= 0) {
                const QByteArray event = buffer.left(end);
                buffer.remove(0, end + 2);
                const qsizetype data = event.indexOf("data: ");
                if (data >= 0 && !event.startsWith("event: ping")) {
                    return event.mid(data + 6);
                }
                continue;
            }
            if (!stream.waitForReadyRead(kWaitMs)) {
                return {};
            }
            buffer += stream.readAll();
        }
    }
    std::unique_ptr<QTcpSocket> watch() {
        auto stream = connectToLive();
        stream->write(get("/events"));
        return stream;
    }
};

TEST_F(LiveServerTest, PushesEveryCrossingAndServesTheRaceAsTheScreenShowsIt) {
    host.names[2] = qs("<script>alert(1)</script>");
    configure(Format::LapRace, 10);
    ASSERT_NO_FATAL_FAILURE(serve());

    const Reply page = ask(get("/"));
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("<script src=\"/live.js\" defer></script>"));
    EXPECT_TRUE(page.header("Content-Security-Policy").contains("default-src 'self'"));

    auto stream = watch();
    QByteArray buffer;
    const QByteArray idle = nextEvent(*stream, buffer);
    ASSERT_FALSE(idle.isEmpty()) << buffer.toStdString();
    EXPECT_TRUE(buffer.isEmpty() || buffer.startsWith("data"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.watchers() == 1; }, kWaitMs));
    EXPECT_EQ(live.statusLine(),
              QStringLiteral("Live results: http://127.0.0.1:%1/ \u00B7 1 watching").arg(port));

    start();
    const std::vector<Crossing> crossings[] = {{{1000, 2}}, {{1500, 1}, {4000, 2}}, {{4600, 1}}};
    for (const auto& step : crossings) {
        run(step);
        live.publish();
        // Other changes may be pushed too (the clock, the results); the crossing comes
        // in one of the next events, and a page fetching the state then gets the same.
        const QJsonArray expected = rowsOf(stateJson(readLiveRace(state, {}), 0, 0));
        QByteArray event;
        do {
            event = nextEvent(*stream, buffer);
        } while (!event.isEmpty() && rowsOf(event) != expected);
        ASSERT_FALSE(event.isEmpty()) << "not pushed: " << row(1).toStdString();
        EXPECT_EQ(rowsOf(ask(get("/state.json")).body), expected);
    }

    const Reply racer = ask(get("/racer/2.json"));
    EXPECT_EQ(racer.header("Content-Type"), "application/json; charset=utf-8");
    EXPECT_EQ(racer.header("X-Content-Type-Options"), "nosniff");
    const QJsonObject json = QJsonDocument::fromJson(racer.body).object();
    EXPECT_EQ(json[QStringLiteral("name")].toString(), qs(" <script>alert(1)</script>"));
    EXPECT_EQ(json[QStringLiteral("lapList")].toArray().size(), 2);
    EXPECT_EQ(json[QStringLiteral("lapList")][0][QStringLiteral("time")].toString(), qs("3.00"));

    stream.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return live.watchers() == 0; }, kWaitMs));
}

TEST_F(LiveServerTest, AnswersOnlyReadsOfItsOwnPaths) {
    dir.write(qs("secret.txt"), "not for the pits");
    configure(Format::LapRace, 10);
    ASSERT_NO_FATAL_FAILURE(serve());
    const QByteArray state = ask(get("/state.json")).body;
    const std::pair<QByteArray, int> requests[] = {
        {get("/", "POST"), 405},
        {"PUT /state.json HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\n\r\n{}", 405},
        {get("/state.json", "DELETE"), 405},
        {get("/", "OPTIONS"), 405},
        {get("/", "FOO"), 405},
        {get("/secret.txt"), 404},
        {get("/../secret.txt"), 404},
        {get("/%2e%2e/%2E%2E/etc/passwd"), 404},
        {get("/live.js/../../secret.txt"), 404},
        {get("/results/..%2f..%2fsecret.txt"), 404},
        {get("/results/../Races/x/journal.txt"), 404},
        {get("//etc/passwd"), 404},
        {get("/racer/7.json"), 404},
        {get("/racer/../state.json"), 404},
        {get(("/" + QByteArray(3000, 'a')).constData()), 414},
    };
    for (const auto& [request, status] : requests) {
        const Reply reply = ask(request);
        EXPECT_EQ(reply.status, status) << request.left(60).toStdString();
        EXPECT_FALSE(reply.body.contains("not for the pits") || reply.body.contains("root:"));
        EXPECT_EQ(reply.header("Allow"), status == 405 ? "GET, HEAD" : "")
            << request.left(60).toStdString();
    }
    // HEAD: the length of what GET would send, and nothing else.
    auto socket = connectToLive();
    socket->write(get("/state.json", "HEAD") + get("/state.json"));
    const Reply head = readReply(*socket);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("Content-Length"), QByteArray::number(state.size()));
    EXPECT_TRUE(head.body.startsWith("HTTP/1.1 200")) << "no body before the next answer";
}

TEST_F(LiveServerTest, KeepsItsLimitsOnASharedNetwork) {
    LiveLimits limits;
    limits.maxWatchers = 2;
    limits.maxConnections = 6;
    limits.maxHeadBytes = 2048;
    limits.idleMs = 300;
    configure(Format::LapRace, 10);
    ASSERT_NO_FATAL_FAILURE(serve(limits));

    // A head larger than allowed, sent in pieces as an attacker would.
    auto big = connectToLive();
    big->write("GET / HTTP/1.1\r\nHost: x\r\n");
    for (int i = 0; i < 40 && big->state() == QAbstractSocket::ConnectedState; ++i) {
        big->write("X-Pad: " + QByteArray(100, 'p') + "\r\n");
        big->waitForBytesWritten(kWaitMs);
    }
    const Reply tooLarge = readReply(*big);
    EXPECT_EQ(tooLarge.status, 431);
    EXPECT_TRUE(tooLarge.closed || big->waitForDisconnected(kWaitMs));

    // Idle connections, with nothing or half a request sent, are closed.
    auto silent = connectToLive();
    auto half = connectToLive();
    half->write("GET /state.json HTTP/1.1\r\nHo");
    EXPECT_TRUE(silent->waitForDisconnected(kWaitMs));
    EXPECT_TRUE(half->waitForDisconnected(kWaitMs));

    // Two watchers; the third and a new page get the "full" page, until one leaves.
    QByteArray buffer;
    auto first = watch();
    auto second = watch();
    EXPECT_FALSE(nextEvent(*first, buffer).isEmpty());
    buffer.clear();
    EXPECT_FALSE(nextEvent(*second, buffer).isEmpty());
    const Reply third = ask(get("/events"));
    EXPECT_EQ(third.status, 503);
    EXPECT_TRUE(third.body.contains("Live results are full"));
    EXPECT_EQ(third.header("Retry-After"), "30");
    EXPECT_EQ(ask(get("/")).status, 503);
    EXPECT_EQ(ask(get("/state.json")).status, 200) << "the data stays readable";
    // Watchers are never closed as idle.
    QTest::qWait(limits.idleMs * 2);
    EXPECT_EQ(first->state(), QAbstractSocket::ConnectedState);
    second.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ask(get("/")).status == 200; }, kWaitMs));

    // Past the connection limit a connection is answered "full" and closed at once.
    std::vector<std::unique_ptr<QTcpSocket>> open;
    for (int i = 0; i < limits.maxConnections; ++i) {
        open.push_back(connectToLive());
    }
    const Reply refused = readReply(*open.back());
    EXPECT_EQ(refused.status, 503);
    EXPECT_TRUE(refused.body.contains("Live results are full"));
}

TEST_F(LiveServerTest, ServesTheDaysResultsWithTheirCsv) {
    ConfigStore store(dir.path());
    ASSERT_FALSE(store.seedMissingFiles());
    RaceRecorder recorder(store);
    state.RacerName = {qs(""), qs("Ann"), qs("Bob"), qs("Cy"), qs("Dee"), qs("Eve"), qs("Flo")};
    const QDateTime started(QDate(2026, 12, 5), QTime(16, 7, 42));
    ASSERT_FALSE(recorder.raceStarting(state, started));
    for (int lap = 1; lap <= 10; ++lap) {
        ASSERT_FALSE(recorder.reportRead(lap * 3000, QStringLiteral("2")));
    }
    ASSERT_FALSE(recorder.raceEnded());
    live.setResultsDay(started.date());
    ASSERT_NO_FATAL_FAILURE(serve());

    QJsonArray list;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            list = QJsonDocument::fromJson(ask(get("/results.json")).body).array();
            return !list.isEmpty();
        },
        kWaitMs));
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0][QStringLiteral("id")].toString(), qs("2026-12-05_16-07-42"));
    const auto race = DayResults(dir.path())
                          .refresh(started.date())
                          ->byId.at(list[0][QStringLiteral("id")].toString());
    const Reply laps = ask(get("/results/2026-12-05_16-07-42/laps.csv"));
    EXPECT_EQ(laps.header("Content-Type"), "text/csv; charset=utf-8");
    EXPECT_EQ(laps.body, race->lapsCsv);
    EXPECT_TRUE(laps.body.startsWith("Lap,Bob (")) << laps.body.toStdString();
    EXPECT_EQ(ask(get("/results/2026-12-05_16-07-42/summary.csv")).body, race->summaryCsv);
    EXPECT_EQ(ask(get("/results/2026-12-05_16-07-43.json")).status, 404);
}

TEST(LiveResults, IsOffUntilStartedAndATakenPortOffersTheNextFreeOne) {
    RaceState state;
    TempFolder dir;
    LiveResults live(state, dir.path());
    EXPECT_FALSE(live.isRunning());
    EXPECT_TRUE(live.statusLine().isEmpty());
    EXPECT_FALSE(live.qrCode().has_value());

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
    EXPECT_TRUE(live.qrCode().has_value());
    live.stop();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, problem->freePort);
    EXPECT_FALSE(socket.waitForConnected(kWaitMs)) << "nothing serves after stop";
}

}  // namespace
}  // namespace lapdeck::test
