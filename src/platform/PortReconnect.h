#pragma once

#include <QObject>
#include <QTimer>

namespace lapdeck {

class PortMap;
class SerialPortSource;

// Brings a lost lap unit back: after the port was closed on a vanished device, it
// tries the port number again once a second, each time looking up which device the
// number stands for (a USB adapter plugged back in may get another tty name). A
// timer, not a loop: nothing runs between the tries.
class PortReconnect : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollMs = 1000;

    PortReconnect(SerialPortSource& port, const PortMap& ports, QObject* parent = nullptr);

    void watchFor(int number);
    void stop();
    bool waiting() const { return m_timer.isActive(); }
    // One try at once; true when the port reads again.
    bool tryNow();
    // The time between tries: tests set it instead of waiting seconds.
    void setInterval(int ms) { m_timer.setInterval(ms); }

signals:
    // The device opened again; the port reads from it.
    void reopened();

private:
    SerialPortSource& m_port;
    const PortMap& m_ports;
    QTimer m_timer;
    int m_number = 0;
};

}  // namespace lapdeck
