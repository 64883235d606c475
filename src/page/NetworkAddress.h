#pragma once
// Which of the computer's addresses a phone or a TV on the same network can open the page
// at: the one on the way to the router, not the first one the system happens to list (a
// container bridge or a VPN often comes first).

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

namespace page {

// One address of one network interface, with the interface's state.
struct InterfaceAddress {
    QString interface;
    QHostAddress ip;
    bool up = false;      // switched on
    bool running = false; // ... and connected (a cable, an access point, a port on a bridge)
    bool loopback = false;
};

struct AddressChoice {
    QString host;           // the IPv4 address to show and to put into the QR code
    QStringList others;     // the other IPv4 addresses the page can be reached at, in numeric order
    bool noNetwork = false; // nothing but the loopback: the host is 127.0.0.1, of use on this computer only
};

// The interfaces that hold a default route, best metric first (the order the kernel tries
// them in), from the text of Linux's /proc/net/route. Lines that are not routes are skipped.
QStringList defaultRouteInterfaces(const QByteArray &procNetRoute);

// The host is, of the IPv4 addresses on interfaces that are up:
//  1. the address of the first interface holding a default route that is connected;
//  2. else a private address (192.168/16, then 10/8, then 172.16/12) of a connected interface;
//  3. else any other address, one of a connected interface first;
//  4. else a link-local address (169.254/16);
//  5. else 127.0.0.1, and noNetwork.
// The others are the remaining addresses of those interfaces, link-local ones left out.
AddressChoice chooseAddress(const QList<InterfaceAddress> &addresses, const QStringList &defaultRouteInterfaces);

// The choice on this computer, from its interfaces and its routing table (none known where
// there is no /proc/net/route).
AddressChoice currentAddressChoice();

} // namespace page
