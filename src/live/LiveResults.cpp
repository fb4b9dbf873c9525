#include "LiveResults.h"

#include <QTcpServer>

#include "DayResults.h"
#include "LiveAddress.h"
#include "LiveHttpServer.h"
#include "LiveMeeting.h"

namespace lapdeck {
namespace {

constexpr int kPollMs = 50;
constexpr int kPortsTried = 100;

LiveStartProblem startProblem(QAbstractSocket::SocketError error, uint16_t port,
                              const QHostAddress& bind, const QString& reason) {
    switch (error) {
        case QAbstractSocket::AddressInUseError:
            return {QStringLiteral("Port %1 is in use by another program.").arg(port),
                    LiveResults::nextFreePort(port, bind)};
        case QAbstractSocket::SocketAccessError:
            return {QStringLiteral("Port %1 needs administrator rights; ports from 1024 on do not.")
                        .arg(port),
                    LiveResults::nextFreePort(std::max<uint16_t>(port, 1023), bind)};
        case QAbstractSocket::SocketAddressNotAvailableError:
            return {QStringLiteral("This PC has no address %1.").arg(bind.toString()), 0};
        default:
            break;
    }
    return {QStringLiteral("Live results cannot start on port %1: %2").arg(port).arg(reason), 0};
}

}  // namespace

LiveResults::LiveResults(const RaceState& state, QString dataDir, QObject* parent)
    : QObject(parent),
      m_state(state),
      m_meeting(kNoMeetingJson),
      m_dayResults(std::make_shared<DayResults>(std::move(dataDir))) {
    m_thread.setObjectName(QStringLiteral("live results"));
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &LiveResults::publish);
    m_pool.setMaxThreadCount(1);
}

LiveResults::~LiveResults() {
    stop();
    m_pool.waitForDone();
}

std::optional<LiveStartProblem> LiveResults::start(uint16_t port, const QHostAddress& bind) {
    stop();
    m_thread.start();
    m_anchor = new QObject;
    m_anchor->moveToThread(&m_thread);
    // Made in its thread, so everything Qt's HTTP server holds lives there too.
    const LiveLimits limits = m_limits;
    uint16_t bound = 0;
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    QString reason;
    QMetaObject::invokeMethod(
        m_anchor,
        [&]() {
            m_server = new LiveHttpServer(limits);
            bound = m_server->listenOn(bind, port, &error, &reason);
        },
        Qt::BlockingQueuedConnection);
    if (bound == 0) {
        stop();
        return startProblem(error, port, bind, reason);
    }
    connect(m_server, &LiveHttpServer::watchersChanged, this, [this](int watchers) {
        m_watchers = watchers;
        emit watchersChanged(watchers);
    });
    m_bind = bind;
    m_port = bound;
    m_last = LiveRace{};
    publish();
    refreshResults();
    if (m_meeting != kNoMeetingJson) {
        QMetaObject::invokeMethod(
            m_server, [server = m_server, json = m_meeting]() { server->setMeeting(json); });
    }
    m_poll.start();
    emit runningChanged(true);
    return std::nullopt;
}

void LiveResults::stop() {
    m_poll.stop();
    const bool wasRunning = m_port != 0;  // a server that failed to listen never ran
    if (m_server != nullptr) {
        QMetaObject::invokeMethod(
            m_anchor, [server = m_server]() { delete server; }, Qt::BlockingQueuedConnection);
        m_server = nullptr;
    }
    m_thread.quit();
    m_thread.wait();
    delete m_anchor;
    m_anchor = nullptr;
    m_port = 0;
    if (m_watchers != 0) {
        m_watchers = 0;
        emit watchersChanged(0);
    }
    if (wasRunning) {
        emit runningChanged(false);
    }
}

QString LiveResults::address() const {
    if (!isRunning()) {
        return {};
    }
    const bool everywhere = m_bind == QHostAddress::Any || m_bind == QHostAddress::AnyIPv4 ||
                            m_bind == QHostAddress::AnyIPv6;
    return liveUrl(everywhere ? chooseLanAddress(systemAddresses()) : m_bind, m_port);
}

QString LiveResults::statusLine() const {
    if (!isRunning()) {
        return {};
    }
    return QStringLiteral("Live results: %1 \u00B7 %2 watching").arg(address()).arg(m_watchers);
}

std::optional<QrMatrix> LiveResults::qrCode() const {
    if (!isRunning()) {
        return std::nullopt;
    }
    return qrMatrix(address().toUtf8());
}

void LiveResults::publish() {
    if (m_server == nullptr) {
        return;
    }
    LiveRace race = readLiveRace(m_state, m_last);
    if (race == m_last) {
        return;
    }
    const bool closedOrSaved = race.archiveMark != m_last.archiveMark;
    m_last = race;
    QMetaObject::invokeMethod(
        m_server, [server = m_server, race = std::move(race)]() { server->setRace(race); });
    if (closedOrSaved) {
        refreshResults();
    }
}

void LiveResults::refreshResults() {
    if (m_server == nullptr) {
        return;
    }
    const QDate day = m_day.isValid() ? m_day : QDate::currentDate();
    m_pool.start([this, day, results = m_dayResults]() {
        auto served = results->refresh(day);
        // Through this object: the server may have stopped meanwhile.
        QMetaObject::invokeMethod(this, [this, served = std::move(served)]() {
            if (m_server != nullptr) {
                QMetaObject::invokeMethod(
                    m_server, [server = m_server, served]() { server->setResults(served); });
            }
        });
    });
}

void LiveResults::setMeeting(const QByteArray& json) {
    const QByteArray served = json.isEmpty() ? kNoMeetingJson : json;
    if (served == m_meeting) {
        return;
    }
    m_meeting = served;
    if (m_server != nullptr) {
        QMetaObject::invokeMethod(m_server,
                                  [server = m_server, served]() { server->setMeeting(served); });
    }
}

uint16_t LiveResults::nextFreePort(uint16_t port, const QHostAddress& bind) {
    for (int p = port + 1; p <= std::min(65535, port + kPortsTried); ++p) {
        QTcpServer probe;
        if (probe.listen(bind, static_cast<quint16>(p))) {
            return static_cast<uint16_t>(p);
        }
    }
    return 0;
}

}  // namespace lapdeck
