#include "PortMap.h"

#include <algorithm>

#include <QDir>
#include <QSerialPortInfo>

#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"

namespace lapdeck {

PortMap::PortMap(QString dataDir) : m_path(QDir(dataDir).filePath(kFileName)) {}

std::optional<ConfigError> PortMap::load() {
    if (!DataFile::exists(m_path)) {
        m_chosen = {};
        return std::nullopt;
    }
    const LoadResult<QByteArray> bytes = DataFile::read(m_path);
    if (!bytes.ok()) {
        return bytes.error;
    }
    LoadResult<PortDevices> parsed = parse(bytes.value, kFileName);
    m_chosen = parsed.value;
    return parsed.error;
}

std::optional<ConfigError> PortMap::save() const {
    return DataFile::write(m_path, serialize(m_chosen));
}

QByteArray PortMap::serialize(const PortDevices& chosen) {
    FieldWriter writer;
    for (int n = 1; n <= 16; ++n) {
        if (!chosen[static_cast<size_t>(n)].isEmpty()) {
            writer.number(n).text(chosen[static_cast<size_t>(n)]).endLine();
        }
    }
    return writer.bytes();
}

LoadResult<PortDevices> PortMap::parse(const QByteArray& bytes, const QString& fileName) {
    LoadResult<PortDevices> result;
    FieldReader reader(fileName, bytes);
    while (!reader.atEnd()) {
        const std::optional<int16_t> number = reader.readInt16();
        const std::optional<QString> device = reader.readText();
        if (!number || !device) {
            break;
        }
        if (*number < 1 || *number > 16) {
            reader.failLastField(QStringLiteral("port number outside 1 to 16"));
            continue;
        }
        result.value[static_cast<size_t>(*number)] = device->trimmed();
    }
    result.error = reader.error();
    return result;
}

PortDevices PortMap::numberDevices(const QStringList& systemLocations) {
    QStringList adapters;
    QStringList others;
    for (const QString& location : systemLocations) {
        const bool adapter = location.contains(QStringLiteral("ttyUSB")) ||
                             location.contains(QStringLiteral("ttyACM"));
        (adapter ? adapters : others).append(location);
    }
    // Natural order, so ttyS2 comes before ttyS10.
    auto natural = [](const QString& a, const QString& b) {
        if (a.size() != b.size()) {
            return a.size() < b.size();
        }
        return a < b;
    };
    std::sort(adapters.begin(), adapters.end(), natural);
    std::sort(others.begin(), others.end(), natural);
    const QStringList ordered = adapters + others;
    PortDevices devices;
    for (int n = 1; n <= 16; ++n) {
        devices[static_cast<size_t>(n)] =
            n <= ordered.size() ? ordered[n - 1]
                                : QStringLiteral("/dev/ttyS") + QString::number(n - 1);
    }
    return devices;
}

PortDevices PortMap::detectedDevices() {
    QStringList locations;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        locations.append(info.systemLocation());
    }
    return numberDevices(locations);
}

void PortMap::choose(int number, const QString& device) {
    if (number >= 1 && number <= 16) {
        m_chosen[static_cast<size_t>(number)] = device.trimmed();
    }
}

QString PortMap::device(int number) const {
    if (number < 1 || number > 16) {
        return {};
    }
    const QString& chosen = m_chosen[static_cast<size_t>(number)];
    if (!chosen.isEmpty()) {
        return chosen;
    }
    return detectedDevices()[static_cast<size_t>(number)];
}

}  // namespace lapdeck
