#include "SerialPortSource.h"

namespace lapdeck {

SerialPortSource::SerialPortSource(QObject* parent) : QObject(parent) {
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortSource::onError);
}

SerialPortSource::~SerialPortSource() {
    close();
}

bool SerialPortSource::open(const QString& device, QString* error) {
    close();
    m_port.setPortName(device);
    if (!m_port.open(QIODevice::ReadOnly)) {
        if (error != nullptr) {
            *error = m_port.errorString();
        }
        return false;
    }
    const bool lineSet =
        m_port.setBaudRate(QSerialPort::Baud9600) && m_port.setDataBits(QSerialPort::Data8) &&
        m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!lineSet) {
        if (error != nullptr) {
            *error = m_port.errorString();
        }
        m_port.close();
        return false;
    }
    return true;
}

void SerialPortSource::close() {
    if (m_port.isOpen()) {
        m_port.close();
    }
    m_pending.clear();
    m_next = 0;
}

bool SerialPortSource::hasInput() {
    if (m_next < m_pending.size()) {
        return true;
    }
    if (!m_port.isOpen() || m_port.bytesAvailable() <= 0) {
        return false;
    }
    m_pending = m_port.readAll();
    m_next = 0;
    return !m_pending.isEmpty();
}

QString SerialPortSource::read() {
    if (!hasInput()) {
        return {};
    }
    return QString(QLatin1Char(m_pending.at(m_next++)));
}

void SerialPortSource::onError(QSerialPort::SerialPortError error) {
    // A vanished device reports ReadError endlessly at full CPU until closed.
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
        const QString reason = m_port.errorString();
        close();
        emit lost(reason);
    }
}

}  // namespace lapdeck
