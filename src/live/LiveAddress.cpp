#include "LiveAddress.h"

#include <QNetworkInterface>

namespace lapdeck {
namespace {

bool isPrivate(const QHostAddress& a) {
    return a.isInSubnet(QHostAddress(QStringLiteral("10.0.0.0")), 8) ||
           a.isInSubnet(QHostAddress(QStringLiteral("172.16.0.0")), 12) ||
           a.isInSubnet(QHostAddress(QStringLiteral("192.168.0.0")), 16);
}

bool isVirtualBridge(const QString& name) {
    for (const char* prefix : {"docker", "veth", "virbr", "br-", "vmnet", "vboxnet", "lxc"}) {
        if (name.startsWith(QLatin1String(prefix))) {
            return true;
        }
    }
    return false;
}

// Higher is better; below zero is never shown.
int rank(const InterfaceAddress& a) {
    if (!a.up || a.address.protocol() != QAbstractSocket::IPv4Protocol || a.address.isLoopback() ||
        a.address.isLinkLocal()) {
        return -1;
    }
    return (isPrivate(a.address) ? 2 : 0) + (isVirtualBridge(a.interfaceName) ? 0 : 4);
}

}  // namespace

QHostAddress chooseLanAddress(const std::vector<InterfaceAddress>& addresses) {
    QHostAddress best(QHostAddress::LocalHost);
    int bestRank = -1;
    for (const InterfaceAddress& a : addresses) {
        if (const int r = rank(a); r > bestRank) {
            best = a.address;
            bestRank = r;
        }
    }
    return best;
}

std::vector<InterfaceAddress> systemAddresses() {
    std::vector<InterfaceAddress> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const bool up = i.flags().testFlag(QNetworkInterface::IsUp) &&
                        i.flags().testFlag(QNetworkInterface::IsRunning);
        const auto entries = i.addressEntries();
        for (const QNetworkAddressEntry& e : entries) {
            out.push_back({i.name(), e.ip(), up});
        }
    }
    return out;
}

QString liveUrl(const QHostAddress& address, uint16_t port) {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + address.toString() + u']'
                             : address.toString();
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}

}  // namespace lapdeck
