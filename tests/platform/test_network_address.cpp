// The address the page is shown at: the one on the router's network, whatever else the
// computer has (container bridges, VPNs, cables without a link), and the routing table's
// default routes it is found by.
#include "platform/NetworkAddress.h"

#include <QtTest>

using platform::InterfaceAddress;

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
    void choice_data();
    void choice();
    void defaultRoutes_data();
    void defaultRoutes();
};

void TestNetworkAddress::choice_data()
{
    QTest::addColumn<QList<InterfaceAddress>>("addresses");
    QTest::addColumn<QStringList>("defaultRoutes");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QStringList>("others");
    QTest::addColumn<bool>("noNetwork");

    QTest::newRow("container bridge listed before the Wi-Fi")
        << QList{lo, at("docker0", "172.17.0.1"), at("wlan0", "192.168.1.20"), at("wlan0", "fe80::1c2:3ff:fe45:6789")}
        << QStringList{"wlan0"} << "192.168.1.20" << QStringList{"172.17.0.1"} << false;
    QTest::newRow("VPN beside the cable")
        << QList{lo, at("tun0", "100.64.0.5"), at("eth0", "192.168.0.10")} << QStringList{"eth0"} << "192.168.0.10"
        << QStringList{"100.64.0.5"} << false;
    QTest::newRow("best default route before the private ranges' order")
        << QList{at("eth0", "192.168.1.20"), at("wlan0", "10.0.0.5")} << QStringList{"wlan0", "eth0"} << "10.0.0.5"
        << QStringList{"192.168.1.20"} << false;
    QTest::newRow("no default route: 10/8 before a container bridge")
        << QList{lo, at("docker0", "172.17.0.1"), at("eth0", "10.0.0.5")} << QStringList{} << "10.0.0.5"
        << QStringList{"172.17.0.1"} << false;
    QTest::newRow("no default route: 192.168/16 before 10/8")
        << QList{at("eth0", "10.0.0.5"), at("wlan0", "192.168.1.20")} << QStringList{} << "192.168.1.20"
        << QStringList{"10.0.0.5"} << false;
    QTest::newRow("no default route: 172.16/12 ends at 172.31")
        << QList{at("eth1", "172.32.0.9"), at("wwan0", "37.120.4.9"), at("br0", "172.31.255.1")} << QStringList{}
        << "172.31.255.1" << QStringList{"37.120.4.9", "172.32.0.9"} << false;
    QTest::newRow("no private address connected: a connected one before an empty bridge")
        << QList{lo, at("docker0", "172.17.0.1", Up), at("tun0", "100.64.0.5")} << QStringList{} << "100.64.0.5"
        << QStringList{"172.17.0.1"} << false;
    QTest::newRow("interface down ignored") << QList{at("wlan0", "192.168.1.20", Down), at("eth0", "10.0.0.5")}
                                            << QStringList{} << "10.0.0.5" << QStringList{} << false;
    QTest::newRow("default route on an interface that is down")
        << QList{lo, at("eth0", "192.168.1.20", Down), at("wlan0", "10.0.0.7")} << QStringList{"eth0"} << "10.0.0.7"
        << QStringList{} << false;
    QTest::newRow("default route on an unplugged cable: the next default route")
        << QList{at("eth0", "192.168.1.20", Up), at("br0", "10.10.0.1"), at("wlan0", "172.20.10.2")}
        << QStringList{"eth0", "wlan0"} << "172.20.10.2" << QStringList{"10.10.0.1", "192.168.1.20"} << false;
    QTest::newRow("default route on an interface with IPv6 only")
        << QList{at("wg0", "2001:db8::9"), at("eth0", "10.0.0.5")} << QStringList{"wg0"} << "10.0.0.5" << QStringList{}
        << false;
    QTest::newRow("link-local address beside the router's")
        << QList{at("eth0", "169.254.3.4"), at("eth0", "192.168.1.20"), at("eth1", "169.254.9.9")}
        << QStringList{"eth0"} << "192.168.1.20" << QStringList{} << false;
    QTest::newRow("link-local after any other address")
        << QList{lo, at("eth0", "169.254.10.20"), at("eth1", "203.0.113.5", Up)} << QStringList{} << "203.0.113.5"
        << QStringList{} << false;
    QTest::newRow("link-local only") << QList{lo, lo6, at("eth0", "169.254.10.20")} << QStringList{"eth0"}
                                     << "169.254.10.20" << QStringList{} << false;
    QTest::newRow("an address on two interfaces listed once")
        << QList{at("eth0", "192.168.1.20"), at("br0", "10.0.0.1"), at("br1", "10.0.0.1"), at("br2", "192.168.1.20")}
        << QStringList{"eth0"} << "192.168.1.20" << QStringList{"10.0.0.1"} << false;
    QTest::newRow("only the loopback") << QList{lo, lo6, at("eth0", "192.168.1.20", Down)} << QStringList{"eth0"}
                                       << "127.0.0.1" << QStringList{} << true;
    QTest::newRow("nothing at all") << QList<InterfaceAddress>{} << QStringList{} << "127.0.0.1" << QStringList{}
                                    << true;
}

void TestNetworkAddress::choice()
{
    QFETCH(QList<InterfaceAddress>, addresses);
    QFETCH(QStringList, defaultRoutes);
    const platform::AddressChoice c = platform::chooseAddress(addresses, defaultRoutes);
    QTEST(c.host, "host");
    QTEST(c.others, "others");
    QTEST(c.noNetwork, "noNetwork");
}

void TestNetworkAddress::defaultRoutes_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("interfaces");

    const QByteArray header = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT"
                              "                                                       \n";
    // A laptop on the cable and the Wi-Fi at once, with Docker running: the Wi-Fi's default
    // route listed first but with the worse metric.
    QTest::newRow("two default routes, best metric first")
        << header
               + "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0    \n"
                 "wlan0\t0001A8C0\t00000000\t0001\t0\t0\t600\t00FFFFFF\t0\t0\t0    \n"
                 "eth0\t00000000\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0    \n"
                 "eth0\t0000000A\t00000000\t0001\t0\t0\t100\t000000FF\t0\t0\t0    \n"
                 "docker0\t000011AC\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0    \n"
        << QStringList{"eth0", "wlan0"};
    QTest::newRow("equal metrics in the table's order")
        << header
               + "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
                 "eth0\t00000000\t0100000A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
        << QStringList{"wlan0", "eth0"};
    QTest::newRow("an interface with two default routes, once")
        << header
               + "eth0\t00000000\t0100000A\t0003\t0\t0\t200\t00000000\t0\t0\t0\n"
                 "wlan0\t00000000\t0101A8C0\t0003\t0\t0\t150\t00000000\t0\t0\t0\n"
                 "eth0\t00000000\t0200000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        << QStringList{"eth0", "wlan0"};
    // The kernel prints the metric signed: 4294967295 comes out as -1, the worst of all.
    QTest::newRow("metric above 2^31") << header
                                              + "tun0\t00000000\t00000000\t0001\t0\t0\t-1\t00000000\t0\t0\t0\n"
                                                "eth0\t00000000\t0100000A\t0003\t0\t0\t1024\t00000000\t0\t0\t0\n"
                                       << QStringList{"eth0", "tun0"};
    // A VPN covering everything with two halves (0/1 and 128/1) leaves the default route alone.
    QTest::newRow("not default routes") << header
                                               + "tun0\t00000000\t0100080A\t0003\t0\t0\t0\t00000080\t0\t0\t0\n"
                                                 "tun0\t00000080\t0100080A\t0003\t0\t0\t0\t00000080\t0\t0\t0\n"
                                                 "eth1\t00000000\t0100000A\t0002\t0\t0\t0\t00000000\t0\t0\t0\n"
                                                 "*\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n"
                                                 "eth2\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n"
                                                 "eth0\t00000000\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                                        << QStringList{"eth0"};
    QTest::newRow("malformed lines") << header
                                            + "\n"
                                              "eth9\t00000000\t0100000A\t0003\t0\t0\t100\n"
                                              "eth8\tdefault\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                                              "eth7\t00000000\t0100000A\tUP\t0\t0\t100\t00000000\t0\t0\t0\n"
                                              "eth6\t00000000\t0100000A\t0003\t0\t0\tlow\t00000000\t0\t0\t0\n"
                                              "eth5\t00000000\t0100000A\t0003\t0\t0\t100\tzero\t0\t0\t0\n"
                                              "\x01\x02\xff garbage \t\t\n"
                                              "eth0 00000000 0100000A 0003 0 0 100 00000000 0 0 0"
                                     << QStringList{"eth0"};
    QTest::newRow("header only") << header << QStringList{};
    QTest::newRow("empty") << QByteArray() << QStringList{};
}

void TestNetworkAddress::defaultRoutes()
{
    QFETCH(QByteArray, table);
    QTEST(platform::defaultRouteInterfaces(table), "interfaces");
}

QTEST_GUILESS_MAIN(TestNetworkAddress)
#include "test_network_address.moc"
