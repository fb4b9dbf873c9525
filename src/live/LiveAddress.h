#pragma once

#include <cstdint>
#include <vector>

#include <QHostAddress>
#include <QString>

namespace lapdeck {

// An address of one of the PC's network interfaces.
struct InterfaceAddress {
    QString interfaceName;
    QHostAddress address;
    bool up = false;  // the interface is up and running
};

// The address phones in the pits can reach: an IPv4 address of a working
// interface, a private one (the club's Wi-Fi) before others, a real interface
// before the bridges of containers and virtual machines; 127.0.0.1 when the PC has
// no network at all.
QHostAddress chooseLanAddress(const std::vector<InterfaceAddress>& addresses);

// The PC's interfaces as the system lists them now.
std::vector<InterfaceAddress> systemAddresses();

// The page's address as people type it: "http://192.168.1.20:8642/".
QString liveUrl(const QHostAddress& address, uint16_t port);

}  // namespace lapdeck
