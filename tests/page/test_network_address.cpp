// The address the page is shown at: the one on the router's network, whatever else the
// computer has (container bridges, VPNs, cables without a link), and the routing table's
// default routes it is found by.
#include "page/NetworkAddress.h"

#include <QtTest>

using page::InterfaceAddress;

Q_DECLARE_METATYPE(QList<InterfaceAddress>)

namespace {

enum State { Down, Up, Running, Loopback };

InterfaceAddress at(const char *interface, const char *ip, State state = Running)
{
    return {QString::fromLatin1(interface), QHostAddress(QString::fromLatin1(ip)), state != Down,
            state == Running || state == Loopback, state == Loopback};
}

const InterfaceAddress lo = at("lo", "127.0.0.1", Loopback);
const InterfaceAddress lo6 = at("lo", "::1", Loopback);

} // namespace

class TestNetworkAddress : public QObject {
    Q_OBJECT
private slots:
    void choice_data()
    {
        QTest::addColumn<QList<InterfaceAddress>>("addresses");
        QTest::addColumn<QStringList>("defaultRoutes");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<bool>("noNetwork");
        const auto row = [](const char *name, const QList<InterfaceAddress> &addresses, const QStringList &routes,
                            const char *host, const QStringList &others, bool noNetwork = false) {
            QTest::newRow(name) << addresses << routes << QString::fromLatin1(host) << others << noNetwork;
        };
        row("container bridge listed before the Wi-Fi",
            {lo, at("docker0", "172.17.0.1"), at("wlan0", "192.168.1.20"), at("wlan0", "fe80::1c2:3ff:fe45:6789")},
            {"wlan0"}, "192.168.1.20", {"172.17.0.1"});
        row("VPN beside the cable", {lo, at("tun0", "100.64.0.5"), at("eth0", "192.168.0.10")}, {"eth0"},
            "192.168.0.10", {"100.64.0.5"});
        row("best default route before the private ranges' order",
            {at("eth0", "192.168.1.20"), at("wlan0", "10.0.0.5")}, {"wlan0", "eth0"}, "10.0.0.5", {"192.168.1.20"});
        row("no default route: 10/8 before a container bridge",
            {lo, at("docker0", "172.17.0.1"), at("eth0", "10.0.0.5")}, {}, "10.0.0.5", {"172.17.0.1"});
        row("no default route: 192.168/16 before 10/8", {at("eth0", "10.0.0.5"), at("wlan0", "192.168.1.20")}, {},
            "192.168.1.20", {"10.0.0.5"});
        row("no default route: 172.16/12 ends at 172.31",
            {at("eth1", "172.32.0.9"), at("wwan0", "37.120.4.9"), at("br0", "172.31.255.1")}, {}, "172.31.255.1",
            {"37.120.4.9", "172.32.0.9"});
        row("no private address connected: a connected one before an empty bridge",
            {lo, at("docker0", "172.17.0.1", Up), at("tun0", "100.64.0.5")}, {}, "100.64.0.5", {"172.17.0.1"});
        row("interface down ignored", {at("wlan0", "192.168.1.20", Down), at("eth0", "10.0.0.5")}, {}, "10.0.0.5", {});
        row("default route on an interface that is down",
            {lo, at("eth0", "192.168.1.20", Down), at("wlan0", "10.0.0.7")}, {"eth0"}, "10.0.0.7", {});
        row("default route on an unplugged cable: the next default route",
            {at("eth0", "192.168.1.20", Up), at("br0", "10.10.0.1"), at("wlan0", "172.20.10.2")}, {"eth0", "wlan0"},
            "172.20.10.2", {"10.10.0.1", "192.168.1.20"});
        row("default route on an interface with IPv6 only", {at("wg0", "2001:db8::9"), at("eth0", "10.0.0.5")}, {"wg0"},
            "10.0.0.5", {});
        row("link-local address beside the router's",
            {at("eth0", "169.254.3.4"), at("eth0", "192.168.1.20"), at("eth1", "169.254.9.9")}, {"eth0"},
            "192.168.1.20", {});
        row("link-local after any other address", {lo, at("eth0", "169.254.10.20"), at("eth1", "203.0.113.5", Up)}, {},
            "203.0.113.5", {});
        row("link-local only", {lo, lo6, at("eth0", "169.254.10.20")}, {"eth0"}, "169.254.10.20", {});
        row("an address on two interfaces listed once",
            {at("eth0", "192.168.1.20"), at("br0", "10.0.0.1"), at("br1", "10.0.0.1"), at("br2", "192.168.1.20")},
            {"eth0"}, "192.168.1.20", {"10.0.0.1"});
        row("only the loopback", {lo, lo6, at("eth0", "192.168.1.20", Down)}, {"eth0"}, "127.0.0.1", {}, true);
        row("nothing at all", {}, {}, "127.0.0.1", {}, true);
    }

    void choice()
    {
        QFETCH(QList<InterfaceAddress>, addresses);
        QFETCH(QStringList, defaultRoutes);
        const page::AddressChoice c = page::chooseAddress(addresses, defaultRoutes);
        QTEST(c.host, "host");
        QTEST(c.others, "others");
        QTEST(c.noNetwork, "noNetwork");
    }

    void defaultRoutes_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("interfaces");

        const QByteArray header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT"
                                  "                                                       \n";
        const auto row = [&](const char *name, const char *routes, const QStringList &interfaces) {
            QTest::newRow(name) << header + routes << interfaces;
        };
        // A laptop on the cable and the Wi-Fi at once, with Docker running: the Wi-Fi's default
        // route listed first but with the worse metric.
        row("two default routes, best metric first",
            "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0    \n"
            "wlan0\t0001A8C0\t00000000\t0001\t0\t0\t600\t00FFFFFF\t0\t0\t0    \n"
            "eth0\t00000000\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0    \n"
            "eth0\t0000000A\t00000000\t0001\t0\t0\t100\t000000FF\t0\t0\t0    \n"
            "docker0\t000011AC\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0    \n",
            {"eth0", "wlan0"});
        row("equal metrics in the table's order",
            "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
            "eth0\t00000000\t0100000A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n",
            {"wlan0", "eth0"});
        row("an interface with two default routes, once",
            "eth0\t00000000\t0100000A\t0003\t0\t0\t200\t00000000\t0\t0\t0\n"
            "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t150\t00000000\t0\t0\t0\n"
            "eth0\t00000000\t0200000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n",
            {"eth0", "wlan0"});
        // The kernel prints the metric signed: 4294967295 comes out as -1, the worst of all.
        row("metric above 2^31",
            "tun0\t00000000\t00000000\t0001\t0\t0\t-1\t00000000\t0\t0\t0\n"
            "eth0\t00000000\t0100000A\t0003\t0\t0\t1024\t00000000\t0\t0\t0\n",
            {"eth0", "tun0"});
        // A VPN covering everything with two halves (0/1 and 128/1) leaves the default route alone.
        row("not default routes",
            "tun0\t00000000\t0100080A\t0003\t0\t0\t0\t00000080\t0\t0\t0\n"
            "tun0\t00000080\t0100080A\t0003\t0\t0\t0\t00000080\t0\t0\t0\n"
            "eth1\t00000000\t0100000A\t0002\t0\t0\t0\t00000000\t0\t0\t0\n"
            "*\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n"
            "eth2\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n"
            "eth0\t00000000\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n",
            {"eth0"});
        row("malformed lines",
            "\n"
            "eth9\t00000000\t0100000A\t0003\t0\t0\t100\n"
            "eth8\tdefault\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
            "eth7\t00000000\t0100000A\tUP\t0\t0\t100\t00000000\t0\t0\t0\n"
            "eth6\t00000000\t0100000A\t0003\t0\t0\tlow\t00000000\t0\t0\t0\n"
            "eth5\t00000000\t0100000A\t0003\t0\t0\t100\tzero\t0\t0\t0\n"
            "\x01\x02\xff garbage \t\t\n"
            "eth0 00000000 0100000A 0003 0 0 100 00000000 0 0 0",
            {"eth0"});
        row("header only", "", {});
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }

    void defaultRoutes()
    {
        QFETCH(QByteArray, table);
        QTEST(page::defaultRouteInterfaces(table), "interfaces");
    }
};

QTEST_GUILESS_MAIN(TestNetworkAddress)
#include "test_network_address.moc"
