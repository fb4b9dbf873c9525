#include "PortMap.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#include "DataFile.h"
#include "FieldReader.h"
#include "FieldWriter.h"

namespace lapdeck {
namespace {

constexpr int kPorts = 16;

QString canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

// USB and ACM adapters first, then the rest, each group in natural order (ttyS2
// before ttyS10).
QStringList orderedLocations(const QStringList& locations) {
    QStringList adapters;
    QStringList others;
    for (const QString& location : locations) {
        const bool adapter = location.contains(QStringLiteral("ttyUSB")) ||
                             location.contains(QStringLiteral("ttyACM"));
        (adapter ? adapters : others).append(location);
    }
    auto natural = [](const QString& a, const QString& b) {
        if (a.size() != b.size()) {
            return a.size() < b.size();
        }
        return a < b;
    };
    std::sort(adapters.begin(), adapters.end(), natural);
    std::sort(others.begin(), others.end(), natural);
    return adapters + others;
}

QString builtInLine(int number) {
    return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
}

// Whether a choice names this detected device, by any of its names.
bool choiceNames(const QString& choice, const DetectedPort& port) {
    if (choice.isEmpty()) {
        return false;
    }
    if (choice == port.location || (!port.stableName.isEmpty() && choice == port.stableName) ||
        (!port.serialNumber.isEmpty() && choice == PortMap::kSerialPrefix + port.serialNumber)) {
        return true;
    }
    const QString target = canonical(choice);
    return !target.isEmpty() && target == canonical(port.location);
}

const DetectedPort* findByLocation(const std::vector<DetectedPort>& ports, const QString& device) {
    for (const DetectedPort& port : ports) {
        if (port.location == device) {
            return &port;
        }
    }
    const QString target = canonical(device);
    for (const DetectedPort& port : ports) {
        if (!target.isEmpty() && target == canonical(port.location)) {
            return &port;
        }
    }
    return nullptr;
}

// Numbers without a choice take the detected devices no number was given, in
// order, then the built-in lines ttyS0, ttyS1 ... that no number has yet.
PortDevices automatic(const std::vector<DetectedPort>& ports, const PortDevices& chosen) {
    QStringList free;
    for (const DetectedPort& port : ports) {
        const bool taken = std::any_of(chosen.begin() + 1, chosen.end(),
                                       [&port](const QString& c) { return choiceNames(c, port); });
        if (!taken) {
            free.append(port.location);
        }
    }
    QStringList used = free;
    for (const QString& c : chosen) {
        if (!c.isEmpty()) {
            used.append(c);
            used.append(canonical(c));
        }
    }
    const QStringList ordered = orderedLocations(free);
    PortDevices devices;
    qsizetype next = 0;
    int line = 0;
    for (int n = 1; n <= kPorts; ++n) {
        if (!chosen[static_cast<size_t>(n)].isEmpty()) {
            continue;
        }
        if (next < ordered.size()) {
            devices[static_cast<size_t>(n)] = ordered[next++];
            continue;
        }
        while (used.contains(builtInLine(line + 1))) {
            ++line;
        }
        devices[static_cast<size_t>(n)] = builtInLine(++line);
    }
    return devices;
}

// A USB adapter kept by its udev name (/dev/serial/by-id/...) rather than a path
// the user typed: its link is there only while it is plugged in.
bool keptByUdevName(const QString& choice) {
    return choice.startsWith(QStringLiteral("/dev/serial/"));
}

// Empty for a kept USB adapter that is not plugged in: nothing to open.
QString resolve(int number, const std::vector<DetectedPort>& ports, const PortDevices& chosen) {
    const QString& choice = chosen[static_cast<size_t>(number)];
    if (choice.isEmpty()) {
        return automatic(ports, chosen)[static_cast<size_t>(number)];
    }
    if (choice.startsWith(PortMap::kSerialPrefix)) {
        for (const DetectedPort& port : ports) {
            if (choiceNames(choice, port)) {
                return port.location;
            }
        }
        return {};
    }
    if (keptByUdevName(choice) && !QFileInfo::exists(choice)) {
        return {};
    }
    return choice;
}

QString describeDevice(const QString& device, const QString& choice,
                       const std::vector<DetectedPort>& ports) {
    if (device.isEmpty()) {
        return (choice.startsWith(PortMap::kSerialPrefix)
                    ? QStringLiteral("USB adapter with serial number ") +
                          choice.mid(PortMap::kSerialPrefix.size())
                    : QStringLiteral("USB adapter ") + QFileInfo(choice).fileName()) +
               QStringLiteral(", not plugged in");
    }
    if (const DetectedPort* port = findByLocation(ports, device)) {
        QStringList details;
        for (const QString& part : {port->maker, port->model}) {
            if (!part.trimmed().isEmpty() && !details.contains(part.trimmed())) {
                details.append(part.trimmed());
            }
        }
        QString about = details.join(QLatin1Char(' '));
        if (about.isEmpty() && device.contains(QStringLiteral("ttyS"))) {
            about = QStringLiteral("built-in serial line");
        }
        return about.isEmpty() ? device : device + QStringLiteral(", ") + about;
    }
    if (!QFileInfo::exists(device)) {
        return device + QStringLiteral(", no such device");
    }
    if (device.contains(QStringLiteral("ttyS"))) {
        return device + QStringLiteral(", built-in serial line");
    }
    return device;
}

}  // namespace

PortMap::PortMap(QString dataDir, PortScanner scanner)
    : m_path(QDir(dataDir).filePath(kFileName)),
      m_scanner(scanner ? std::move(scanner) : PortScanner(&PortMap::systemPorts)) {}

std::optional<ConfigError> PortMap::load() {
    LoadResult<PortDevices> loaded = DataFile::load(
        m_path, [](const QByteArray& bytes, const QString&) { return parse(bytes, kFileName); },
        PortDevices{}, DataFile::Missing::GivesDefault);
    m_chosen = loaded.value;
    return loaded.error;
}

std::optional<ConfigError> PortMap::save() const {
    return DataFile::write(m_path, serialize(m_chosen));
}

QByteArray PortMap::serialize(const PortDevices& chosen) {
    FieldWriter writer;
    for (int n = 1; n <= kPorts; ++n) {
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
        if (*number < 1 || *number > kPorts) {
            reader.failLastField(QStringLiteral("port number outside 1 to 16"));
            continue;
        }
        result.value[static_cast<size_t>(*number)] = device->trimmed();
    }
    result.error = reader.error();
    return result;
}

PortDevices PortMap::numberDevices(const QStringList& systemLocations) {
    std::vector<DetectedPort> ports;
    for (const QString& location : systemLocations) {
        ports.push_back({location, {}, {}, {}, {}});
    }
    return automatic(ports, {});
}

std::vector<DetectedPort> PortMap::systemPorts() {
    // udev names each USB adapter under /dev/serial/by-id after its maker, model
    // and serial number; that name survives replugging and other adapters.
    QHash<QString, QString> stableNames;
    const QFileInfoList links =
        QDir(QStringLiteral("/dev/serial/by-id"))
            .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& link : links) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty()) {
            stableNames.insert(target, link.absoluteFilePath());
        }
    }
    std::vector<DetectedPort> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        DetectedPort port;
        port.location = info.systemLocation();
        port.stableName = stableNames.value(canonical(port.location));
        port.serialNumber = info.serialNumber();
        port.maker = info.manufacturer();
        port.model = info.description();
        ports.push_back(port);
    }
    return ports;
}

void PortMap::choose(int number, const QString& device) {
    if (number >= 1 && number <= kPorts) {
        m_chosen[static_cast<size_t>(number)] = device.trimmed();
    }
}

QString PortMap::device(int number) const {
    if (number < 1 || number > kPorts) {
        return {};
    }
    return resolve(number, m_scanner(), m_chosen);
}

QString PortMap::describe(int number) const {
    if (number < 1 || number > kPorts) {
        return {};
    }
    return describeAll(m_chosen)[static_cast<size_t>(number)];
}

std::array<QString, 17> PortMap::describeAll(const PortDevices& chosen) const {
    const std::vector<DetectedPort> ports = m_scanner();
    std::array<QString, 17> texts;
    for (int n = 1; n <= kPorts; ++n) {
        texts[static_cast<size_t>(n)] =
            describeDevice(resolve(n, ports, chosen), chosen[static_cast<size_t>(n)], ports);
    }
    return texts;
}

bool PortMap::keepOpened(int number) {
    if (number < 1 || number > kPorts || !m_chosen[static_cast<size_t>(number)].isEmpty()) {
        return false;
    }
    const std::vector<DetectedPort> ports = m_scanner();
    const QString device = automatic(ports, m_chosen)[static_cast<size_t>(number)];
    const DetectedPort* port = findByLocation(ports, device);
    // A built-in line has no name but its path and never moves; left automatic, its
    // number goes to the lap counter's adapter when one is plugged in later.
    if (port == nullptr || (port->stableName.isEmpty() && port->serialNumber.isEmpty())) {
        return false;
    }
    m_chosen[static_cast<size_t>(number)] =
        port->stableName.isEmpty() ? kSerialPrefix + port->serialNumber : port->stableName;
    return true;
}

}  // namespace lapdeck
