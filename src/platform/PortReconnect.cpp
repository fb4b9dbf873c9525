#include "PortReconnect.h"

#include "SerialPortSource.h"

namespace lapdeck {

PortReconnect::PortReconnect(SerialPortSource& port, QObject* parent)
    : QObject(parent), m_port(port) {
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &PortReconnect::poll);
}

void PortReconnect::watchFor(const QString& device) {
    m_device = device;
    m_timer.start();
}

void PortReconnect::stop() {
    m_timer.stop();
}

void PortReconnect::poll() {
    if (m_port.open(m_device, nullptr)) {
        m_timer.stop();
        emit reopened();
    }
}

}  // namespace lapdeck
