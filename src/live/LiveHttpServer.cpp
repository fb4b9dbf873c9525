#include "LiveHttpServer.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include "LiveJson.h"
#include "LiveMeeting.h"

namespace lapdeck {

// Sees every connection before Qt's HTTP server does, so the limits come first.
class LiveTcpServer : public QTcpServer {
public:
    explicit LiveTcpServer(LiveHttpServer& owner) : m_owner(owner) {}

protected:
    void incomingConnection(qintptr handle) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(handle)) {
            delete socket;
            return;
        }
        if (m_owner.admit(socket)) {
            addPendingConnection(socket);
        }
    }

private:
    LiveHttpServer& m_owner;
};

namespace {

// A refused connection that does not close by itself is cut after this.
constexpr qint64 kClosingGraceMs = 2000;

const QByteArray kHtml = "text/html; charset=utf-8";
const QByteArray kJson = "application/json; charset=utf-8";
const QByteArray kCsv = "text/csv; charset=utf-8";

QByteArray errorPage(const char* title, const char* text) {
    return QByteArray(
               "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\">"
               "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
               "<title>") +
           title + "</title></head><body style=\"font:1.3em sans-serif;margin:1em\"><h1>" + title +
           "</h1><p>" + text + "</p></body></html>";
}

// An answer written before Qt's HTTP server has a request to answer.
QByteArray rawResponse(const char* status, const QByteArray& page) {
    return QByteArray("HTTP/1.1 ") + status +
           "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(page.size()) + "\r\nRetry-After: 30\r\nConnection: close\r\n\r\n" +
           page;
}

const QByteArray kFullPage =
    errorPage("Live results are full",
              "So many phones are watching that Lapdeck takes no more, to keep the race "
              "timing first. Try again in a minute, or ask someone to close theirs.");
const QByteArray kNotFoundPage = errorPage(
    "Not here", "Lapdeck's live results have no such page. <a href=\"/\">Live results</a>");
const QByteArray kMethodPage =
    errorPage("Read only", "Lapdeck's live results can only be read, not changed.");
const QByteArray kTooLargePage =
    errorPage("Request too large", "That request is larger than Lapdeck answers.");

QByteArray resource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

LiveHttpServer::LiveHttpServer(const LiveLimits& limits, QObject* parent)
    : QAbstractHttpServer(parent),
      m_limits(limits),
      m_sweepTimer(this),
      m_heartbeatTimer(this),
      m_page(resource(QStringLiteral(":/live/index.html"))),
      m_script(resource(QStringLiteral(":/live/live.js"))),
      m_style(resource(QStringLiteral(":/live/live.css"))) {
    m_clock.start();
    m_sweepTimer.setInterval(std::max(20, std::min(1000, m_limits.idleMs / 4)));
    connect(&m_sweepTimer, &QTimer::timeout, this, &LiveHttpServer::sweep);
    m_heartbeatTimer.setInterval(m_limits.heartbeatMs);
    connect(&m_heartbeatTimer, &QTimer::timeout, this, &LiveHttpServer::heartbeat);
    m_results = std::make_shared<const ServedResults>(ServedResults{"[]", {}, {}});
    m_meetingJson = kNoMeetingJson;
    refreshStateEvent();
}

LiveHttpServer::~LiveHttpServer() {
    // Closes every connection while this object can still hear of it.
    qDeleteAll(findChildren<QTcpServer*>(Qt::FindDirectChildrenOnly));
}

quint16 LiveHttpServer::listenOn(const QHostAddress& address, quint16 port,
                                 QAbstractSocket::SocketError* error, QString* errorText) {
    auto tcp = std::make_unique<LiveTcpServer>(*this);
    tcp->setListenBacklogSize(256);
    if (!tcp->listen(address, port)) {
        *error = tcp->serverError();
        *errorText = tcp->errorString();
        return 0;
    }
    const quint16 bound = tcp->serverPort();
    bind(tcp.release());
    m_sweepTimer.start();
    m_heartbeatTimer.start();
    return bound;
}

// ---------------------------------------------------------------- connections

bool LiveHttpServer::admit(QTcpSocket* socket) {
    if (static_cast<int>(m_connections.size()) >= m_limits.maxConnections) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->write(rawResponse("503 Service Unavailable", kFullPage));
        socket->disconnectFromHost();
        return false;
    }
    m_connections[socket] = Connection{socket, m_clock.elapsed(), 0, false, false};
    // Connected before Qt's HTTP server connects its own: counts the bytes first.
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket]() { received(socket); });
    connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket]() {
        Connection& c = m_connections[socket];
        if (!c.closing) {
            c.lastActive = m_clock.elapsed();
        }
    });
    connect(socket, &QObject::destroyed, this, [this, socket]() { forget(socket); });
    return true;
}

void LiveHttpServer::received(QTcpSocket* socket) {
    Connection& c = m_connections[socket];
    if (c.watcher || c.closing) {
        // Nothing more is read from a watcher or a connection being closed.
        if (socket->isTransactionStarted()) {
            socket->commitTransaction();
        }
        socket->readAll();
        return;
    }
    c.lastActive = m_clock.elapsed();
    c.headBytes += socket->bytesAvailable();
    if (c.headBytes > m_limits.maxHeadBytes) {
        refuse(socket, rawResponse("431 Request Header Fields Too Large", kTooLargePage));
    }
}

void LiveHttpServer::refuse(QTcpSocket* socket, const QByteArray& response) {
    Connection& c = m_connections[socket];
    c.closing = true;
    c.lastActive = m_clock.elapsed();
    // Qt's HTTP server reads no more of it.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    if (socket->isTransactionStarted()) {
        socket->commitTransaction();
    }
    socket->readAll();
    socket->write(response);
    socket->disconnectFromHost();
}

void LiveHttpServer::forget(QTcpSocket* socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end()) {
        return;
    }
    const bool watcher = it->second.watcher;
    m_connections.erase(it);
    if (watcher) {
        emit watchersChanged(--m_watcherCount);
    }
}

void LiveHttpServer::sweep() {
    const qint64 now = m_clock.elapsed();
    std::vector<QTcpSocket*> idle;
    for (const auto& [key, c] : m_connections) {
        if (!c.socket) {
            idle.push_back(key);
        } else if (c.closing && now - c.lastActive > kClosingGraceMs) {
            idle.push_back(key);  // its answer had time to leave
        } else if (!c.watcher && now - c.lastActive > m_limits.idleMs) {
            idle.push_back(key);
        }
    }
    for (QTcpSocket* key : idle) {
        if (QPointer<QTcpSocket> socket = m_connections[key].socket) {
            socket->abort();
            socket->deleteLater();
        } else {
            m_connections.erase(key);
        }
    }
}

// ---------------------------------------------------------------- watchers

void LiveHttpServer::startWatching(const QHttpServerRequest& request, QTcpSocket* socket) {
    if (m_watcherCount >= m_limits.maxWatchers) {
        reply(request, socket, Status::ServiceUnavailable, kHtml, kFullPage);
        return;
    }
    Connection& c = m_connections[socket];
    c.watcher = true;
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader("Content-Type", "text/event-stream; charset=utf-8");
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    // A page that lost its connection tries again after two seconds.
    responder.writeBody("retry: 2000\n\n" + m_stateEvent);
    emit watchersChanged(++m_watcherCount);
}

void LiveHttpServer::push(const QByteArray& event) {
    std::vector<QTcpSocket*> slow;
    for (const auto& [key, c] : m_connections) {
        if (!c.watcher || !c.socket) {
            continue;
        }
        if (c.socket->bytesToWrite() > m_limits.maxBacklogBytes) {
            slow.push_back(key);
            continue;
        }
        c.socket->write(event);
    }
    for (QTcpSocket* key : slow) {
        if (QPointer<QTcpSocket> socket = m_connections[key].socket) {
            socket->abort();
            socket->deleteLater();
        }
    }
}

void LiveHttpServer::heartbeat() {
    // A named event, so a page can tell a quiet race from a lost connection.
    push("event: ping\ndata: \n\n");
}

void LiveHttpServer::setRace(const LiveRace& race) {
    m_race = race;
    ++m_version;
    m_racerJson = {};
    refreshStateEvent();
    push(m_stateEvent);
}

void LiveHttpServer::setResults(std::shared_ptr<const ServedResults> results) {
    m_results = std::move(results);
    ++m_resultsVersion;
    refreshStateEvent();
    push(m_stateEvent);
}

void LiveHttpServer::setMeeting(const QByteArray& json) {
    m_meetingJson = json;
    ++m_meetingVersion;
    refreshStateEvent();
    push(m_stateEvent);
}

void LiveHttpServer::refreshStateEvent() {
    m_stateJson = stateJson(m_race, m_version, m_resultsVersion, m_meetingVersion);
    m_stateEvent = "data: " + m_stateJson + "\n\n";
}

QByteArray LiveHttpServer::racer(int flag) {
    QByteArray& json = m_racerJson[static_cast<size_t>(flag)];
    if (json.isEmpty()) {
        json = racerJson(m_race, flag);
    }
    return json;
}

// ---------------------------------------------------------------- requests

void LiveHttpServer::reply(const QHttpServerRequest& request, QTcpSocket* socket, Status status,
                           const QByteArray& type, const QByteArray& body) {
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(status);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("X-Frame-Options", "DENY");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    if (type == kHtml) {
        responder.writeHeader("Content-Security-Policy",
                              "default-src 'self'; style-src 'self' 'unsafe-inline'; img-src "
                              "'self' data:; object-src 'none'; "
                              "base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
    }
    if (type == kCsv) {
        responder.writeHeader("Content-Disposition", "attachment");
    }
    const bool ok = status == Status::Ok || status == Status::NotFound;
    if (status == Status::MethodNotAllowed) {
        responder.writeHeader("Allow", "GET, HEAD");
    }
    if (status == Status::ServiceUnavailable) {
        responder.writeHeader("Retry-After", "30");
    }
    if (!ok) {
        responder.writeHeader("Connection", "close");
    }
    const bool head = request.method() == QHttpServerRequest::Method::Head;
    responder.writeBody(head ? QByteArray() : body);
    if (!ok) {
        m_connections[socket].closing = true;
        m_connections[socket].lastActive = m_clock.elapsed();
        socket->disconnectFromHost();
    }
}

bool LiveHttpServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    Connection& c = m_connections[socket];
    c.headBytes = 0;
    c.lastActive = m_clock.elapsed();

    const auto method = request.method();
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        reply(request, socket, Status::MethodNotAllowed, kHtml, kMethodPage);
        return true;
    }
    const QUrl& url = request.url();
    if (url.path(QUrl::FullyEncoded).size() + url.query(QUrl::FullyEncoded).size() >
        m_limits.maxTargetBytes) {
        reply(request, socket, Status::UriTooLong, kHtml, kTooLargePage);
        return true;
    }
    // Paths are matched whole against Lapdeck's own; none is ever read from a disk.
    const QString path = url.path();
    const bool full = m_watcherCount >= m_limits.maxWatchers;
    if (path == u"/" || path == u"/index.html") {
        reply(request, socket, full ? Status::ServiceUnavailable : Status::Ok, kHtml,
              full ? kFullPage : m_page);
    } else if (path == u"/live.js") {
        reply(request, socket, Status::Ok, "text/javascript; charset=utf-8", m_script);
    } else if (path == u"/live.css") {
        reply(request, socket, Status::Ok, "text/css; charset=utf-8", m_style);
    } else if (path == u"/state.json") {
        reply(request, socket, Status::Ok, kJson, m_stateJson);
    } else if (path == u"/events") {
        if (method == QHttpServerRequest::Method::Get) {
            startWatching(request, socket);
        } else {
            reply(request, socket, Status::Ok, "text/event-stream; charset=utf-8", {});
        }
    } else if (path == u"/results.json") {
        reply(request, socket, Status::Ok, kJson, m_results->listJson);
    } else if (path == u"/meeting.json") {
        reply(request, socket, Status::Ok, kJson, m_meetingJson);
    } else {
        static const QRegularExpression racerPath(QStringLiteral("^/racer/([1-6])\\.json$"));
        static const QRegularExpression resultPath(
            QStringLiteral("^/results/([A-Za-z0-9_-]+)(\\.json|/laps\\.csv|/summary\\.csv)$"));
        if (const auto m = racerPath.match(path); m.hasMatch()) {
            reply(request, socket, Status::Ok, kJson, racer(m.captured(1).toInt()));
            return true;
        }
        if (const auto m = resultPath.match(path); m.hasMatch()) {
            const auto it = m_results->byId.find(m.captured(1));
            if (it != m_results->byId.end()) {
                const ServedRace& race = *it->second;
                const QString part = m.captured(2);
                if (part == u".json") {
                    reply(request, socket, Status::Ok, kJson, race.json);
                } else {
                    reply(request, socket, Status::Ok, kCsv,
                          part == u"/laps.csv" ? race.lapsCsv : race.summaryCsv);
                }
                return true;
            }
        }
        reply(request, socket, Status::NotFound, kHtml, kNotFoundPage);
    }
    return true;
}

void LiveHttpServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    reply(request, socket, Status::NotFound, kHtml, kNotFoundPage);
}

}  // namespace lapdeck
