#include "PortReconnect.h"

#include "SerialPortSource.h"

namespace lapdeck {

PortReconnect::PortReconnect(SerialPortSource& port, const PortMap& ports, QObject* parent)
    : QObject(parent), m_port(port), m_ports(ports) {
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &PortReconnect::tryNow);
}

void PortReconnect::watchFor(int number) {
    m_number = number;
    m_timer.start();
}

void PortReconnect::stop() {
    m_timer.stop();
}

bool PortReconnect::tryNow() {
    if (!waiting()) {
        return m_port.isOpen();
    }
    if (!m_port.openNumber(m_ports, m_number, nullptr)) {
        return false;
    }
    m_timer.stop();
    emit reopened();
    return true;
}

}  // namespace lapdeck
