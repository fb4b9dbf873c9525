#include "SerialPortSource.h"

#include "PortMap.h"

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
            *error = openFailure(m_port.error(), m_port.errorString());
        }
        return false;
    }
    const bool lineSet =
        m_port.setBaudRate(QSerialPort::Baud9600) && m_port.setDataBits(QSerialPort::Data8) &&
        m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!lineSet) {
        if (error != nullptr) {
            *error = openFailure(m_port.error(), m_port.errorString());
        }
        m_port.close();
        return false;
    }
    return true;
}

bool SerialPortSource::openNumber(const PortMap& ports, int number, QString* problem) {
    const QString port = QStringLiteral("Port ") + QString::number(number);
    const QString device = ports.device(number);
    if (device.isEmpty()) {
        close();
        if (problem != nullptr) {
            *problem = port + QStringLiteral(": ") + ports.describe(number);
        }
        return false;
    }
    QString reason;
    if (open(device, &reason)) {
        return true;
    }
    if (problem != nullptr) {
        // Qt's own words for this ("Permission error while locking the device") send
        // the user after the wrong cause.
        const bool inUse = m_port.error() == QSerialPort::PermissionError &&
                           (reason.contains(QStringLiteral("locking the device")) ||
                            reason.contains(QStringLiteral("busy"), Qt::CaseInsensitive));
        *problem = inUse ? port + QStringLiteral(" is in use by another program (") + device + u')'
                         : port + QStringLiteral(" (") + device + QStringLiteral("): ") + reason;
    }
    return false;
}

QString SerialPortSource::openFailure(QSerialPort::SerialPortError error,
                                      const QString& systemReason) {
    QString text =
        systemReason.isEmpty() ? QStringLiteral("the port cannot be opened") : systemReason;
#ifdef Q_OS_LINUX
    // Serial devices belong to the "dialout" group; a user outside it is refused.
    if (error == QSerialPort::PermissionError &&
        systemReason.contains(QStringLiteral("Permission denied"), Qt::CaseInsensitive)) {
        text += QStringLiteral(
            "\r\nOn Linux the serial ports belong to the \"dialout\" group: add your user "
            "to it (sudo usermod -aG dialout $USER), then log out and in again.");
    }
#else
    (void)error;
#endif
    return text;
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
