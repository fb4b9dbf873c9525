#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QString>

#include "ConfigError.h"

namespace lapdeck {

// Port numbers 1..16 with the device each one opens; element 0 unused.
using PortDevices = std::array<QString, 17>;

// A serial device the system reports.
struct DetectedPort {
    QString location;      // "/dev/ttyUSB0"
    QString stableName;    // its link under /dev/serial/by-id, empty when it has none
    QString serialNumber;  // of a USB adapter, empty when it has none
    QString maker;
    QString model;
};
using PortScanner = std::function<std::vector<DetectedPort>()>;

// Which device each port number 1..16 opens. A number given a device (by the user,
// or kept after it opened one) opens that; the other numbers take the detected
// devices nobody was given, USB adapters first, then the built-in lines no number
// has yet.
// The choices live in "LapdeckPorts.dat" in the data folder. Pseudo-terminals are
// never reported by the system, so a test or a user gives them to a number by path.
class PortMap {
public:
    static inline const QString kFileName = QStringLiteral("LapdeckPorts.dat");
    // A kept adapter without a /dev/serial/by-id link is found by its serial number.
    static inline const QString kSerialPrefix = QStringLiteral("serial:");

    explicit PortMap(QString dataDir, PortScanner scanner = {});

    // Reads the choices; a missing file is no error.
    std::optional<ConfigError> load();
    std::optional<ConfigError> save() const;

    // What the system reports now, with each device's /dev/serial/by-id link.
    static std::vector<DetectedPort> systemPorts();
    // Device paths in the order numbers take them: USB and ACM adapters first,
    // then the rest, each group by name; then the built-in lines ttyS0, ttyS1 ...
    // not listed yet.
    static PortDevices numberDevices(const QStringList& systemLocations);

    const PortDevices& chosen() const { return m_chosen; }
    void setChosen(const PortDevices& chosen) { m_chosen = chosen; }
    void choose(int number, const QString& device);

    // The device a port number 1..16 opens now, looked up afresh: a USB adapter may
    // be back under another name. Empty outside 1..16 and while the adapter the
    // number keeps is not plugged in.
    QString device(int number) const;
    // That device as the user reads it: its path, and the maker and model of a USB
    // adapter ("/dev/ttyUSB0, FTDI FT232R USB UART").
    QString describe(int number) const;
    // What the numbers would open with `chosen` as the choices, described.
    std::array<QString, 17> describeAll(const PortDevices& chosen) const;

    // After `number` opened its device: a number without a choice keeps a USB
    // adapter from now on, by its /dev/serial/by-id name or its serial number, so a
    // board plugged in later cannot take its number. True when the choices changed.
    bool keepOpened(int number);

    static QByteArray serialize(const PortDevices& chosen);
    static LoadResult<PortDevices> parse(const QByteArray& bytes, const QString& fileName);

private:
    QString m_path;
    PortScanner m_scanner;
    PortDevices m_chosen;
};

}  // namespace lapdeck
