#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace lapdeck {

class SerialPortSource;

// Brings a lost lap unit back: after the port was closed on a vanished device, it
// tries to open the same device name again once a second (a USB adapter plugged
// back in usually gets its old name). A timer, not a loop: nothing runs between
// the tries.
class PortReconnect : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollMs = 1000;

    explicit PortReconnect(SerialPortSource& port, QObject* parent = nullptr);

    void watchFor(const QString& device);
    void stop();
    bool waiting() const { return m_timer.isActive(); }

signals:
    // The device opened again; the port reads from it.
    void reopened();

private:
    void poll();

    SerialPortSource& m_port;
    QTimer m_timer;
    QString m_device;
};

}  // namespace lapdeck
