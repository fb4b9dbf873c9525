#pragma once

#include <array>
#include <optional>

#include <QString>

#include "ConfigError.h"

namespace lapdeck {

// Port numbers 1..16 with the device each one opens; element 0 unused.
using PortDevices = std::array<QString, 17>;

// Which device each port number 1..16 opens. A number the user gave a device to
// (kept in "LapdeckPorts.dat" in the data folder) opens that; otherwise the n-th
// port this system reports (USB adapters first), otherwise the n-th built-in
// serial line. Pseudo-terminals are never reported by the system, so a test or a
// user gives them to a number by path.
class PortMap {
public:
    static inline const QString kFileName = QStringLiteral("LapdeckPorts.dat");

    explicit PortMap(QString dataDir);

    // Reads the user's choices; a missing file is no error.
    std::optional<ConfigError> load();
    std::optional<ConfigError> save() const;

    // The detected devices by number (changes as adapters are plugged in).
    static PortDevices detectedDevices();
    // Detected devices in the order numbers take them: USB and ACM adapters first,
    // then the rest, each group by name; numbers beyond fall back to ttyS<n-1>.
    static PortDevices numberDevices(const QStringList& systemLocations);

    const PortDevices& chosen() const { return m_chosen; }
    void setChosen(const PortDevices& chosen) { m_chosen = chosen; }
    void choose(int number, const QString& device);

    // The device of a port number 1..16 (empty outside).
    QString device(int number) const;

    static QByteArray serialize(const PortDevices& chosen);
    static LoadResult<PortDevices> parse(const QByteArray& bytes, const QString& fileName);

private:
    QString m_path;
    PortDevices m_chosen;
};

}  // namespace lapdeck
