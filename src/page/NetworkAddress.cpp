#include "page/NetworkAddress.h"

#include <QFile>
#include <QNetworkInterface>
#include <algorithm>
#include <utility>

namespace page {

namespace {

constexpr unsigned kRouteUp = 0x0001;     // RTF_UP
constexpr unsigned kRouteReject = 0x0200; // RTF_REJECT: an "unreachable" route, through no interface

// A routing table this long holds 8192 routes; a desktop's holds a handful.
constexpr qint64 kRouteTableLimit = 1 << 20;

// An IPv4 address another device might reach this one at: on an interface that is up, not
// the loopback, not 0.0.0.0.
bool usable(const InterfaceAddress &a)
{
    return a.up && !a.loopback && a.ip.protocol() == QAbstractSocket::IPv4Protocol && !a.ip.isLoopback()
           && a.ip.toIPv4Address() != 0;
}

// The private ranges, best first: 192.168/16 is what home routers hand out, so the phone
// in the guest's hand is most likely there; 10/8 is the usual office or school network;
// 172.16/12 is where Docker and other container tools put their bridges, which no phone
// can reach. -1 for an address in none of them.
int privateRank(quint32 ip)
{
    if ((ip >> 16) == 0xC0A8)
        return 0;
    if ((ip >> 24) == 10)
        return 1;
    if ((ip >> 20) == 0xAC1)
        return 2;
    return -1;
}

QList<const InterfaceAddress *> usableAddresses(const QList<InterfaceAddress> &addresses)
{
    QList<const InterfaceAddress *> out;
    for (const InterfaceAddress &a : addresses)
        if (usable(a))
            out << &a;
    return out;
}

QString hostOf(const QList<const InterfaceAddress *> &usable, const QStringList &defaultRouteInterfaces)
{
    // The interface the default route leaves by is the one on the router's network.
    for (const QString &name : defaultRouteInterfaces)
        for (const InterfaceAddress *a : usable)
            if (a->interface == name && a->running && !a->ip.isLinkLocal())
                return a->ip.toString();

    const InterfaceAddress *best = nullptr;
    int bestRank = 0;
    for (const InterfaceAddress *a : usable) {
        const int rank = privateRank(a->ip.toIPv4Address());
        if (a->running && rank >= 0 && (!best || rank < bestRank)) {
            best = a;
            bestRank = rank;
        }
    }
    if (best)
        return best->ip.toString();

    for (bool needRunning : {true, false})
        for (const InterfaceAddress *a : usable)
            if ((a->running || !needRunning) && !a->ip.isLinkLocal())
                return a->ip.toString();

    for (const InterfaceAddress *a : usable)
        if (a->ip.isLinkLocal())
            return a->ip.toString();
    return QString();
}

QByteArray readRouteTable()
{
    QFile file(QStringLiteral("/proc/net/route"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    // The file claims a size of 0: read until its end, or the limit.
    QByteArray text;
    while (text.size() < kRouteTableLimit) {
        const QByteArray chunk = file.read(kRouteTableLimit - text.size());
        if (chunk.isEmpty())
            break;
        text += chunk;
    }
    if (text.size() >= kRouteTableLimit)
        text.truncate(text.lastIndexOf('\n') + 1); // no half a route
    return text;
}

} // namespace

QStringList defaultRouteInterfaces(const QByteArray &procNetRoute)
{
    // Iface Destination Gateway Flags RefCnt Use Metric Mask ..., the addresses and the flags
    // in hex, the metric in decimal (the kernel prints it signed). The header fails the
    // hex, as does any other line that is not a route.
    QList<std::pair<quint32, QString>> routes;
    for (const QByteArray &line : procNetRoute.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 8 || f[0] == "*")
            continue;
        bool destinationOk = false, flagsOk = false, metricOk = false, maskOk = false;
        const uint destination = f[1].toUInt(&destinationOk, 16);
        const uint flags = f[3].toUInt(&flagsOk, 16);
        const int metric = f[6].toInt(&metricOk);
        const uint mask = f[7].toUInt(&maskOk, 16);
        if (!destinationOk || !flagsOk || !metricOk || !maskOk)
            continue;
        if (destination == 0 && mask == 0 && (flags & kRouteUp) && !(flags & kRouteReject))
            routes.append({quint32(metric), QString::fromLocal8Bit(f[0])});
    }
    std::stable_sort(routes.begin(), routes.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList names;
    for (const auto &route : routes)
        if (!names.contains(route.second))
            names << route.second;
    return names;
}

AddressChoice chooseAddress(const QList<InterfaceAddress> &addresses, const QStringList &defaultRouteInterfaces)
{
    const QList<const InterfaceAddress *> usable = usableAddresses(addresses);
    AddressChoice choice;
    choice.host = hostOf(usable, defaultRouteInterfaces);
    if (choice.host.isEmpty()) {
        choice.host = QStringLiteral("127.0.0.1");
        choice.noNetwork = true;
        return choice;
    }
    const quint32 host = QHostAddress(choice.host).toIPv4Address();
    QList<quint32> others;
    for (const InterfaceAddress *a : usable) {
        const quint32 ip = a->ip.toIPv4Address();
        if (ip != host && !a->ip.isLinkLocal())
            others << ip;
    }
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    for (quint32 ip : others)
        choice.others << QHostAddress(ip).toString();
    return choice;
}

AddressChoice currentAddressChoice()
{
    QList<InterfaceAddress> addresses;
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        for (const QNetworkAddressEntry &e : i.addressEntries())
            addresses.append({i.name(), e.ip(), flags.testFlag(QNetworkInterface::IsUp),
                              flags.testFlag(QNetworkInterface::IsRunning),
                              flags.testFlag(QNetworkInterface::IsLoopBack)});
    }
    return chooseAddress(addresses, defaultRouteInterfaces(readRouteTable()));
}

} // namespace page
