#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QDate>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include "LiveLimits.h"
#include "LiveRace.h"
#include "QrMatrix.h"

namespace lapdeck {

class DayResults;
class LiveHttpServer;

// Why the server did not start, and the port to offer instead when it was taken.
struct LiveStartProblem {
    QString text;           // "Port 8642 is in use by another program."
    uint16_t freePort = 0;  // the next port that is free, 0 when none was found or it does not help
};

// Live results for the pits, as the main window uses them: off until started; the
// address and QR code to show; the watcher count for the status line. It reads the
// race state every 50 ms while it serves (and at once on publish()) and hands what
// changed to the server's own thread, so the race tick never waits for a watcher.
class LiveResults : public QObject {
    Q_OBJECT

public:
    // `state` is the program's one race state; `dataDir` holds the race archive.
    LiveResults(const RaceState& state, QString dataDir, QObject* parent = nullptr);
    ~LiveResults() override;

    // Serves on `port` of every interface (0: a free port the system picks). Stops
    // what was served before.
    std::optional<LiveStartProblem> start(uint16_t port,
                                          const QHostAddress& bind = QHostAddress::Any);
    void stop();

    bool isRunning() const { return m_server != nullptr; }
    uint16_t port() const { return m_port; }
    // The page's address as people type it: the PC's LAN address when it has one.
    QString address() const;
    int watchers() const { return m_watchers; }
    // "Live results: http://192.168.1.20:8642/ · 3 watching"; empty when off.
    QString statusLine() const;
    // The QR code of address(); nothing when off.
    std::optional<QrMatrix> qrCode() const;

    // Reads the race state now and sends it on if anything changed. Cheap when
    // nothing did; the program may call it after every screen refresh.
    void publish();
    // Reads the day's finished races again (a race was closed or a result saved;
    // publish() notices those by itself).
    void refreshResults();
    // The meeting open in the meeting window as /meeting.json serves it (see
    // LiveMeeting.h); empty when none is open. Pushed only when it changed; kept
    // while the server is off, so a start serves it at once.
    void setMeeting(const QByteArray& json);

    // For tests and the load measurement; takes effect at the next start.
    void setLimits(const LiveLimits& limits) { m_limits = limits; }
    // The day whose races are served; today when not set.
    void setResultsDay(const QDate& day) { m_day = day; }

    // The first free port after `port` (trying up to 100), 0 when none is free.
    static uint16_t nextFreePort(uint16_t port, const QHostAddress& bind = QHostAddress::Any);

signals:
    void watchersChanged(int watchers);
    // Started or stopped.
    void runningChanged(bool running);

private:
    const RaceState& m_state;
    LiveLimits m_limits;
    QDate m_day;
    QThread m_thread;
    QObject* m_anchor = nullptr;  // lives in m_thread; runs what must happen there
    LiveHttpServer* m_server = nullptr;
    QHostAddress m_bind;
    uint16_t m_port = 0;
    int m_watchers = 0;
    LiveRace m_last;
    QByteArray m_meeting;
    QTimer m_poll;
    QThreadPool m_pool;  // re-scores the day's races, one job at a time
    std::shared_ptr<DayResults> m_dayResults;
};

}  // namespace lapdeck
