// live_load PORT [WATCHERS] [SECONDS]: WATCHERS (50) pages watching the live results on
// 127.0.0.1:PORT for SECONDS (60), each reading every pushed event, as scripts/measure.sh
// runs it beside a race. Loopback only and bounded in time; prints what was received.
#include <cstdio>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const int port = args.value(1).toInt(&ok);
    const int watchers = args.size() > 2 ? args[2].toInt() : 50;
    const int seconds = args.size() > 3 ? args[3].toInt() : 60;
    if (!ok || port < 1 || port > 65535 || watchers < 1 || watchers > 200 || seconds < 1 ||
        seconds > 3600) {
        std::fprintf(stderr, "usage: live_load PORT [WATCHERS 1-200] [SECONDS 1-3600]\n");
        return 2;
    }
    std::vector<std::unique_ptr<QTcpSocket>> pages;
    long long events = 0;
    long long bytes = 0;
    int refused = 0;
    for (int i = 0; i < watchers; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        QTcpSocket* s = socket.get();
        QObject::connect(s, &QTcpSocket::connected,
                         [s] { s->write("GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"); });
        QObject::connect(s, &QTcpSocket::readyRead, [s, &events, &bytes, &refused] {
            const QByteArray data = s->readAll();
            bytes += data.size();
            events += data.count("\n\n");
            refused += data.startsWith("HTTP/1.1 503") ? 1 : 0;
        });
        s->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        pages.push_back(std::move(socket));
    }
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    int connected = 0;
    for (const auto& page : pages) {
        connected += page->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    }
    std::printf(
        "watchers=%d\nstill_connected=%d\nrefused=%d\nevents=%lld\nbytes=%lld\nseconds=%.1f\n",
        watchers, connected, refused, events, bytes, clock.elapsed() / 1000.0);
    return connected == watchers ? 0 : 1;
}
