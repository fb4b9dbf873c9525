#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>

#include "RaceHost.h"

namespace lapdeck {

class PortMap;

// The lap counter's serial line: 9600 baud, 8 data bits, no parity, 1 stop bit,
// read only. Reads arrive in chunks ("12" may be two crossings), so every byte
// read is one report.
class SerialPortSource : public QObject, public ReportSource {
    Q_OBJECT

public:
    explicit SerialPortSource(QObject* parent = nullptr);
    ~SerialPortSource() override;

    // Opens `device` (a name or a full path). On failure the port stays closed and
    // `error` tells why (openFailure).
    bool open(const QString& device, QString* error);
    // Opens the device port `number` of `ports` stands for now. On failure the port
    // stays closed and `problem` is the line the user reads: "Port 1 is in use by
    // another program (/dev/ttyUSB0)", "Port 1: USB adapter with serial number XYZ1,
    // not plugged in", "Port 1 (/dev/ttyS0): Permission denied ...".
    bool openNumber(const PortMap& ports, int number, QString* problem);
    // The system's reason for a failed open, and for a port this user may not open
    // what fixes that.
    static QString openFailure(QSerialPort::SerialPortError error, const QString& systemReason);
    void close();
    bool isOpen() const { return m_port.isOpen(); }
    QString device() const { return m_port.portName(); }

    bool hasInput() override;
    QString read() override;

signals:
    // The device went away or failed while open; the port has been closed.
    void lost(const QString& reason);

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    QByteArray m_pending;
    qsizetype m_next = 0;
};

}  // namespace lapdeck
