// live_browser_check OUT_DIR: a race fed on a 10 ms tick, served on 127.0.0.1, watched by
// headless Chromium driven over its DevTools protocol. Checks that a crossing is on the
// page within 500 ms, that a racer named like markup shows as text, that a cut
// connection is marked and comes back by itself with the current race, and saves
// screenshots at 360 x 740 and 1280 x 800. Exit status 0 when every check held.
#include <algorithm>
#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>

#include "ConfigStore.h"
#include "EngineStubs.h"
#include "LiveResults.h"
#include "RaceArchive.h"
#include "RaceRecorder.h"

namespace lapdeck {
namespace {

int failures = 0;
void check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    failures += ok ? 0 : 1;
}

// Waits in the event loop, so the race and the server go on meanwhile.
bool waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// The DevTools protocol over a WebSocket, one page, flat sessions.
class Browser {
public:
    bool open(const QString& url) {
        connect();
        m_socket.open(QUrl(url));
        if (!waitUntil([&] { return m_socket.state() == QAbstractSocket::ConnectedState; },
                       10000)) {
            return false;
        }
        const QString target = call(QStringLiteral("Target.createTarget"),
                                    {{QStringLiteral("url"), QStringLiteral("about:blank")}},
                                    false)[QStringLiteral("targetId")]
                                   .toString();
        m_session = call(QStringLiteral("Target.attachToTarget"),
                         {{QStringLiteral("targetId"), target}, {QStringLiteral("flatten"), true}},
                         false)[QStringLiteral("sessionId")]
                        .toString();
        call(QStringLiteral("Page.enable"), {});
        return !m_session.isEmpty();
    }
    int send(const QString& method, const QJsonObject& params, bool inPage = true) {
        QJsonObject message{{QStringLiteral("id"), ++m_id},
                            {QStringLiteral("method"), method},
                            {QStringLiteral("params"), params}};
        if (inPage) {
            message.insert(QStringLiteral("sessionId"), m_session);
        }
        m_socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
        return m_id;
    }
    QJsonObject wait(int id, int ms = 10000) {
        waitUntil([&] { return m_replies.contains(id); }, ms);
        return m_replies.take(id);
    }
    QJsonObject call(const QString& method, const QJsonObject& params, bool inPage = true) {
        return wait(send(method, params, inPage));
    }
    QJsonValue eval(const QString& js) {
        return call(QStringLiteral("Runtime.evaluate"),
                    {{QStringLiteral("expression"), js},
                     {QStringLiteral("returnByValue"),
                      true}})[QStringLiteral("result")][QStringLiteral("value")];
    }
    bool waitFor(const QString& js, int ms) {
        return waitUntil([&] { return eval(js).toBool(); }, ms);
    }
    void size(int width, int height, bool mobile) {
        call(QStringLiteral("Emulation.setDeviceMetricsOverride"),
             {{QStringLiteral("width"), width},
              {QStringLiteral("height"), height},
              {QStringLiteral("deviceScaleFactor"), 1},
              {QStringLiteral("mobile"), mobile}});
    }
    bool screenshot(const QString& path) {
        const QByteArray png = QByteArray::fromBase64(
            call(QStringLiteral("Page.captureScreenshot"), {})[QStringLiteral("data")]
                .toString()
                .toLatin1());
        QFile file(path);
        return !png.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(png) == png.size();
    }
    bool dialogOpened() const { return m_dialog; }

private:
    void connect() {
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived, [this](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            if (message.contains(QStringLiteral("id"))) {
                m_replies.insert(message[QStringLiteral("id")].toInt(),
                                 message[QStringLiteral("result")].toObject());
            } else if (message[QStringLiteral("method")] ==
                       QStringLiteral("Page.javascriptDialogOpening")) {
                m_dialog = true;
            }
        });
    }

    QWebSocket m_socket;
    QString m_session;
    int m_id = 0;
    QHash<int, QJsonObject> m_replies;
    bool m_dialog = false;
};

// A finished race of today in the archive, for the results tab.
void recordFinishedRace(const QString& dataDir) {
    ConfigStore store(dataDir);
    store.seedMissingFiles();
    RaceRecorder recorder(store);
    RaceState recorded;
    recorded.RacerName = {QString(),
                          QStringLiteral("Ann"),
                          QStringLiteral("Bob"),
                          QStringLiteral("Cy"),
                          QStringLiteral("Dee"),
                          QStringLiteral("Eve"),
                          QStringLiteral("Flo")};
    recorder.raceStarting(recorded, QDateTime::currentDateTime().addSecs(-600));
    for (int lap = 1; lap <= 10; ++lap) {
        for (int f = 1; f <= 3; ++f) {
            recorder.reportRead(lap * (9000 + 400 * f) + f * 100, QString::number(f));
        }
    }
    recorder.raceEnded();
}

// A race of six cars on a 10 ms tick that takes its milliseconds from a clock, as the
// program runs it; flag 1 crosses when told, the others on their own rhythm.
struct FedRace {
    RaceState state;
    test::RecordingHost host;
    test::ScriptedPrompter prompter;
    test::ScriptedRandom random;
    test::QueuedReports port;
    RaceEngine engine{state, host, prompter, random};
    QElapsedTimer clock;
    qint64 ticked = 0;
    qint64 lastNs = 0;
    QTimer tick;
    std::vector<double> gapsMs;

    FedRace() {
        host.engine = &engine;
        const char* names[] = {"", "Ann", "<script>alert(1)</script>", "Cy", "Dee", "Eve", "Flo"};
        const int32_t colours[] = {0, 65535, 40960, 255, 16711680, 16777215, 36095};
        const char* colourNames[] = {"", "Yellow", "Green", "Red", "Blue", "White", "Orange"};
        for (int f = 1; f <= kFlags; ++f) {
            host.names[f] = QString::fromUtf8(names[f]);
            state.FlagColor[f] = state.live.swatchColour[f] = colours[f];
            state.LaneColorName[f] = QString::fromUtf8(colourNames[f]);
        }
        state.IsLapRace = state.live.optLapRace = true;
        state.RaceLaps = 500;
        engine.ReSet();
        engine.cmdStart_Click();
    }
    void run(LiveResults& live) {
        clock.start();
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [this, &live] {
            const qint64 now = clock.elapsed();
            for (int f = 2; f <= kFlags; ++f) {
                const qint64 every = 2500 + 350 * f;
                if (now / every != ticked / every) {
                    port.pending.push_back(QString::number(f));
                }
            }
            engine.Timer1_Timer(static_cast<int32_t>(now - ticked), port);
            live.publish();
            const qint64 nowNs = clock.nsecsElapsed();
            gapsMs.push_back(static_cast<double>(nowNs - lastNs) / 1e6);
            lastNs = nowNs;
            ticked = now;
        });
        tick.start(10);
    }
};

// --serve SECONDS: the race served on 127.0.0.1 with nobody driving a browser, for the
// load script; prints the port at once and the tick gaps at the end.
int serve(int seconds) {
    QTemporaryDir data;
    FedRace race;
    LiveResults live(race.state, data.path());
    if (live.start(0, QHostAddress::LocalHost)) {
        return 1;
    }
    std::printf("port=%d\n", live.port());
    std::fflush(stdout);
    race.run(live);
    waitUntil([] { return false; }, seconds * 1000);
    std::vector<double> gaps(race.gapsMs.begin() + 1, race.gapsMs.end());
    std::sort(gaps.begin(), gaps.end());
    std::printf("ticks=%zu\ntick_gap_p99_ms=%.2f\ntick_gap_max_ms=%.2f\nwatchers_at_end=%d\n",
                gaps.size(), gaps[gaps.size() * 99 / 100], gaps.back(), live.watchers());
    return 0;
}

int run(const QString& outDir) {
    QDir().mkpath(outDir);
    QTemporaryDir data;
    QTemporaryDir profile;
    recordFinishedRace(data.path());

    FedRace race;
    RaceState& state = race.state;
    test::QueuedReports& port = race.port;
    LiveResults live(state, data.path());
    if (const auto problem = live.start(0, QHostAddress::LocalHost)) {
        std::printf("FAIL live results: %s\n", qPrintable(problem->text));
        return 1;
    }
    const quint16 livePort = live.port();
    race.run(live);

    QProcess chromium;
    chromium.start(
        QStringLiteral("chromium"),
        {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
         QStringLiteral("--disable-gpu"), QStringLiteral("--disable-quic"),
         QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
         QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
         QStringLiteral("--user-data-dir=") + profile.path(),
         QStringLiteral("--remote-debugging-port=0"), QStringLiteral("about:blank")});
    QString devtools;
    waitUntil(
        [&] {
            const QString err = QString::fromUtf8(chromium.readAllStandardError());
            const qsizetype at = err.indexOf(QStringLiteral("ws://"));
            devtools = at < 0 ? devtools : err.mid(at).section(u'\n', 0, 0).trimmed();
            return !devtools.isEmpty() || chromium.state() == QProcess::NotRunning;
        },
        20000);
    Browser page;
    if (devtools.isEmpty() || !page.open(devtools)) {
        std::printf("FAIL chromium did not start\n");
        return 1;
    }

    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(livePort);
    page.size(360, 740, true);
    page.call(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}});
    check(page.waitFor(QStringLiteral("document.querySelectorAll('#rows tr').length === 6"), 10000),
          "the page shows the six rows");

    // Crossings of flag 1, each on the page within 500 ms.
    std::vector<qint64> latencies;
    for (int i = 0; i < 6; ++i) {
        waitUntil([] { return false; }, 2100);  // past the minimum lap time
        const QString expected = QString::number(std::max<int>(state.LapCount[1], 0) + 1);
        const int id = page.send(
            QStringLiteral("Runtime.evaluate"),
            {{QStringLiteral("expression"),
              QStringLiteral(
                  "new Promise(done => { const seen = () => { const c = document.querySelector("
                  "'#rows tr[data-flag=\"1\"] td.laps'); return c && c.textContent === '%1'; };"
                  " if (seen()) return done(true); new MutationObserver((m, o) => { if (seen())"
                  " { o.disconnect(); done(true); } }).observe(document.getElementById('rows'),"
                  " {childList: true, subtree: true, characterData: true}); })")
                  .arg(expected)},
             {QStringLiteral("awaitPromise"), true},
             {QStringLiteral("returnByValue"), true}});
        waitUntil([] { return false; }, 50);  // the observer is in place
        QElapsedTimer shown;
        shown.start();
        port.pending.push_back(QStringLiteral("1"));
        const bool seen =
            page.wait(id, 5000)[QStringLiteral("result")][QStringLiteral("value")].toBool();
        latencies.push_back(seen ? shown.elapsed() : 99999);
    }
    const qint64 worst = *std::max_element(latencies.begin(), latencies.end());
    std::printf("crossing to page: ");
    for (qint64 ms : latencies) {
        std::printf("%lld ", static_cast<long long>(ms));
    }
    std::printf("ms\n");
    check(worst < 500, "every crossing was on the page within 500 ms");

    // A racer named like markup is text, and no script of its ran.
    page.eval(
        QStringLiteral("document.querySelector('#rows tr[data-flag=\"2\"] td.name').click()"));
    check(page.waitFor(QStringLiteral("document.querySelectorAll('#followLaps li').length > 0"),
                       5000),
          "following a racer lists its laps");
    check(
        page.eval(QStringLiteral("document.getElementById('followName').textContent")).toString() ==
            QStringLiteral(" <script>alert(1)</script>"),
        "a name like markup shows as text");
    check(page.eval(QStringLiteral("document.scripts.length")).toInt() == 1 && !page.dialogOpened(),
          "no script of a name ran");
    check(page.screenshot(outDir + QStringLiteral("/live-360.png")), "screenshot 360 x 740");

    page.eval(QStringLiteral("document.getElementById('tabResults').click()"));
    page.waitFor(QStringLiteral("document.querySelectorAll('#raceList details').length > 0"),
                 10000);
    page.eval(QStringLiteral("document.querySelector('#raceList details').open = true"));
    check(page.waitFor(
              QStringLiteral("document.querySelectorAll('#raceList table.grid').length === 2"),
              10000),
          "the results tab shows a finished race's summary and lap table");
    page.screenshot(outDir + QStringLiteral("/live-results-360.png"));
    page.eval(QStringLiteral("document.getElementById('tabNow').click()"));

    page.size(1280, 800, false);
    waitUntil([] { return false; }, 300);
    check(page.screenshot(outDir + QStringLiteral("/live-1280.png")), "screenshot 1280 x 800");

    // The connection is cut: marked at once; the race goes on meanwhile; back by itself.
    live.stop();
    check(page.waitFor(QStringLiteral("!document.getElementById('lost').hidden"), 5000),
          "a cut connection is marked");
    page.screenshot(outDir + QStringLiteral("/live-lost-1280.png"));
    waitUntil([] { return false; }, 2100);
    port.pending.push_back(QStringLiteral("1"));
    waitUntil([] { return false; }, 100);
    const QString laps = QString::number(state.LapCount[1]);
    QElapsedTimer back;
    back.start();
    if (live.start(livePort, QHostAddress::LocalHost)) {
        std::printf("FAIL the port could not be taken again\n");
        return 1;
    }
    const bool returned = page.waitFor(
        QStringLiteral("document.getElementById('lost').hidden && document.querySelector("
                       "'#rows tr[data-flag=\"1\"] td.laps').textContent === '%1'")
            .arg(laps),
        15000);
    std::printf("back after the server returned: %lld ms\n",
                static_cast<long long>(back.elapsed()));
    check(returned, "the page came back by itself with the current race");

    chromium.kill();
    chromium.waitForFinished();
    std::printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace lapdeck

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--serve") {
        return lapdeck::serve(std::max(1, std::min(3600, QByteArray(argv[2]).toInt())));
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: live_browser_check OUT_DIR | --serve SECONDS\n");
        return 2;
    }
    return lapdeck::run(QString::fromLocal8Bit(argv[1]));
}
