#pragma once

#include <array>
#include <memory>
#include <unordered_map>

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTimer>

#include "DayResults.h"
#include "LiveLimits.h"
#include "LiveRace.h"

class QTcpSocket;

namespace lapdeck {

class LiveTcpServer;

// The live results server: Qt's HTTP server parses the requests; this class answers
// them from the race and results it was last given, pushes each change to the
// watchers as server-sent events, and keeps the limits Qt HTTP Server 6.4 does not
// have itself (the size of a request's head, idle connections, the number of
// connections and of watchers). It lives in a thread of its own, so nothing here
// ever waits on the race tick or holds it up. Read-only: only GET and HEAD of its
// own fixed paths are answered; no path is ever looked up as a file.
class LiveHttpServer : public QAbstractHttpServer {
    Q_OBJECT

public:
    explicit LiveHttpServer(const LiveLimits& limits, QObject* parent = nullptr);
    ~LiveHttpServer() override;

    // Listens on `address`:`port` (0: any free port). Returns the port, or 0 with
    // `error` set to the socket's error.
    quint16 listenOn(const QHostAddress& address, quint16 port, QAbstractSocket::SocketError* error,
                     QString* errorText);

    // Serialises the race once and pushes it to every watcher.
    void setRace(const LiveRace& race);
    void setResults(std::shared_ptr<const ServedResults> results);
    // The meeting as /meeting.json serves it, serialised by the caller.
    void setMeeting(const QByteArray& json);

    int watcherCount() const { return m_watcherCount; }

signals:
    void watchersChanged(int watchers);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    friend class LiveTcpServer;
    using Status = QHttpServerResponder::StatusCode;

    struct Connection {
        QPointer<QTcpSocket> socket;
        qint64 lastActive = 0;
        qint64 headBytes = 0;
        bool watcher = false;
        bool closing = false;
    };

    // Called by the TCP server for every new connection before Qt's HTTP server sees
    // it; false when the connection was turned away.
    bool admit(QTcpSocket* socket);
    void received(QTcpSocket* socket);
    void forget(QTcpSocket* socket);
    void sweep();
    void heartbeat();
    void push(const QByteArray& event);
    void refuse(QTcpSocket* socket, const QByteArray& response);
    void startWatching(const QHttpServerRequest& request, QTcpSocket* socket);
    void reply(const QHttpServerRequest& request, QTcpSocket* socket, Status status,
               const QByteArray& type, const QByteArray& body);
    void refreshStateEvent();
    QByteArray racer(int flag);

    LiveLimits m_limits;
    QElapsedTimer m_clock;
    QTimer m_sweepTimer;
    QTimer m_heartbeatTimer;
    std::unordered_map<QTcpSocket*, Connection> m_connections;
    int m_watcherCount = 0;

    LiveRace m_race;
    quint64 m_version = 0;
    quint64 m_resultsVersion = 0;
    quint64 m_meetingVersion = 0;
    QByteArray m_meetingJson;
    QByteArray m_stateJson;
    QByteArray m_stateEvent;
    std::array<QByteArray, kFlags + 1> m_racerJson;
    std::shared_ptr<const ServedResults> m_results;
    QByteArray m_page;
    QByteArray m_script;
    QByteArray m_style;
};

}  // namespace lapdeck
