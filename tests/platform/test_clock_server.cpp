// The clock's page on the network, with a real server on the loopback: the viewing token,
// the page's own routes, the WebSocket's origin, the PIN and its lock-outs, bad frames, the
// limits a home network needs (connections per address and in all, slow and idle
// connections, heads and bodies, Connection: close), the address kept between runs, the
// settings saved at exit under a flood, and a phone's pause and skip acting exactly as the
// display's keys.
#include "display/frm_Display.h"
#include "platform/ClockServer.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <QtTest>
#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::ClockServer;

namespace {

// A page's socket: the messages it got, opened from the page's own origin unless told.
struct Client {
    std::unique_ptr<QWebSocket> socket;
    QStringList messages;

    Client(const ClockServer &server, const QString &path, const QString &origin = QString())
    {
        const QString own = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
        socket = std::make_unique<QWebSocket>(origin.isEmpty() ? own : origin);
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived, [this](const QString &m) { messages << m; });
        socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(server.port()).arg(path)));
    }
    // Waits until the socket is open or closed again (up to 5 s); whether it is open.
    bool waitOpen()
    {
        (void)QTest::qWaitFor([&] { return socket->state() != QAbstractSocket::ConnectingState; }, 5000);
        return socket->state() == QAbstractSocket::ConnectedState;
    }
    bool waitClosed()
    {
        return QTest::qWaitFor([&] { return socket->state() == QAbstractSocket::UnconnectedState; }, 5000);
    }
    QJsonObject last() const { return QJsonDocument::fromJson(messages.last().toUtf8()).object(); }
    void send(const QString &action, const QString &pin)
    {
        socket->sendTextMessage(
            QString::fromUtf8(QJsonDocument(QJsonObject{{"action", action}, {"pin", pin}}).toJson()));
    }
};

QString pagePath(const ClockServer &s)
{
    return QStringLiteral("/%1/ws").arg(QString::fromLatin1(s.token()));
}

QString wrongPin(const QString &pin)
{
    return pin == QLatin1String("000000") ? QStringLiteral("000001") : QStringLiteral("000000");
}

// A connection of its own from any loopback address (127.x.y.z), speaking raw bytes.
struct Raw {
    QTcpSocket socket;
    QByteArray got;

    Raw(const ClockServer &server, const QString &from)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { got += socket.readAll(); });
        socket.bind(QHostAddress(from));
        socket.connectToHost(QHostAddress::LocalHost, server.port());
        (void)QTest::qWaitFor([&] { return socket.state() != QAbstractSocket::ConnectingState; }, 15000);
    }
    void send(const QByteArray &bytes) { socket.write(bytes), socket.flush(); }
    // A WebSocket handshake for the page, from the page's own origin; sent, not waited for.
    void webSocket(const ClockServer &server)
    {
        const QByteArray host = "127.0.0.1:" + QByteArray::number(server.port());
        send("GET /" + server.token() + "/ws HTTP/1.1\r\nHost: " + host + "\r\nOrigin: http://" + host
             + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
               "Sec-WebSocket-Version: 13\r\n\r\n");
    }
    // A text frame as a browser sends it (masked, here with a zero mask).
    void frame(const QByteArray &text)
    {
        send(QByteArray("\x81", 1) + char(0x80 | text.size()) + QByteArray(4, 0) + text);
    }
    bool cut()
    {
        return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 15000);
    }
    // The status of the next whole answer, or 0; the answer is taken off what was received.
    int answer()
    {
        int status = 0;
        (void)QTest::qWaitFor(
            [&] {
                const qsizetype end = got.indexOf("\r\n\r\n");
                if (end < 0)
                    return false;
                const QRegularExpressionMatch length = QRegularExpression(QStringLiteral("Content-Length: (\\d+)"))
                                                           .match(QString::fromLatin1(got.left(end)));
                const qsizetype whole = end + 4 + (length.hasMatch() ? length.captured(1).toLongLong() : 0);
                if (got.size() < whole)
                    return false;
                status = got.mid(9, 3).toInt();
                got.remove(0, whole);
                return true;
            },
            15000);
        return status;
    }
};

// A PIN given: from, right or not, when (seconds), by a connection let in already, the verdict.
struct PinStep {
    const char *from;
    bool right;
    double at;
    bool trusted;
    platform::PinGuard::Verdict verdict;
};

QByteArray get(const ClockServer &s, const QByteArray &more = QByteArray(), const QByteArray &version = "HTTP/1.1")
{
    return "GET /" + s.token() + "/ " + version + "\r\nHost: x\r\n" + more + "\r\n";
}

} // namespace

Q_DECLARE_METATYPE(std::vector<PinStep>)

class TestClockServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QT_QPA_PLATFORM", "offscreen"); }
    void tokenPinAndAddress();
    void onlyThePageWithTheToken();
    void pushesTheGame();
    void refusesForeignSockets();
    void ignoresBadFrames();
    void pinAndLockOut();
    void sixtyFourConnections();
    void connectionLimits();
    void slowAndIdleConnectionsCut();
    void requestLimits_data();
    void requestLimits();
    void pinGuard_data();
    void pinGuard();
    void wrongPinsAcrossAddresses();
    void addressKept();
    void savedAtExitUnderFlood();
    void remoteControlIsTheKeys();

private:
    int status(const ClockServer &s, const QByteArray &path, const QByteArray &method = "GET",
               QByteArray *body = nullptr)
    {
        QNetworkAccessManager net;
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(s.port()) + QString::fromLatin1(path)));
        std::unique_ptr<QNetworkReply> reply(net.sendCustomRequest(request, method));
        QSignalSpy done(reply.get(), &QNetworkReply::finished);
        if (!done.wait(5000))
            return -1;
        if (body)
            *body = reply->readAll();
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }
};

void TestClockServer::tokenPinAndAddress()
{
    ClockServer a, b;
    QVERIFY(!a.running());
    QVERIFY(a.address().isEmpty()); // nothing listens until asked
    QCOMPARE(a.token().size(), 32); // 128 bits, in hex
    QVERIFY(a.token() != b.token());
    QVERIFY(QRegularExpression(QStringLiteral("^\\d{6}$")).match(a.pin()).hasMatch());
    QString why;
    QVERIFY2(a.start(&why), qPrintable(why));
    QVERIFY2(b.start(&why), qPrintable(why));
    QVERIFY(a.port() >= ClockServer::FirstPort && a.port() < ClockServer::FirstPort + ClockServer::PortsTried);
    QVERIFY(b.port() != a.port()); // the next free port
    QVERIFY(a.address().startsWith(QStringLiteral("http://")));
    QVERIFY(a.address().endsWith(QStringLiteral(":%1/%2/").arg(a.port()).arg(QString::fromLatin1(a.token()))));
    const QImage code = a.qrCode();
    QVERIFY(code.width() >= 21 + 8 && code.width() == code.height());
    a.stop();
    QVERIFY(!a.running());
    QCOMPARE(status(b, "/" + b.token() + "/"), 200);
}

void TestClockServer::onlyThePageWithTheToken()
{
    ClockServer s;
    QVERIFY(s.start(nullptr));
    const QByteArray t = s.token();
    QByteArray page;
    QCOMPARE(status(s, "/" + t + "/", "GET", &page), 200);
    QVERIFY(page.contains("Waiting for the game to start"));
    QCOMPARE(status(s, "/" + t), 200);
    QCOMPARE(status(s, "/"), 403);
    QCOMPARE(status(s, "/index.html"), 403);
    QCOMPARE(status(s, "/" + QByteArray(32, 'a') + "/"), 403);
    QCOMPARE(status(s, "/" + t.left(31) + "/"), 403);
    QCOMPARE(status(s, "/../../etc/passwd"), 403);
    QCOMPARE(status(s, "/" + t + "/chiplark.ini"), 404);
    QCOMPARE(status(s, "/" + t + "/../" + t + "/x"), 404);
    QCOMPARE(status(s, "/" + t + "/", "POST"), 405);
}

void TestClockServer::pushesTheGame()
{
    ClockServer s;
    QVERIFY(s.start(nullptr));
    Client c(s, pagePath(s));
    QVERIFY(c.waitOpen());
    QTRY_COMPARE(c.messages.size(), 1);
    QCOMPARE(c.last().value("type").toString(), QStringLiteral("state"));
    QCOMPARE(c.last().value("shown").toBool(), false); // no game yet

    DisplayState state;
    state.shown = true;
    state.round = 3;
    state.secondsLeft = 754;
    state.smallBlind = "100";
    state.bigBlind = "200";
    state.currency = QStringLiteral("£");
    state.backColour = 0xff0000; // blue
    s.publish(state);            // how fast it arrives is measured by bench/page_bench.sh
    QTRY_COMPARE(c.messages.size(), 2);
    const QJsonObject m = c.last();
    QCOMPARE(m.value("round").toInt(), 3);
    QCOMPARE(m.value("secondsLeft").toInt(), 754);
    QCOMPARE(m.value("small").toString(), QStringLiteral("100"));
    QCOMPARE(m.value("currency").toString(), QStringLiteral("£"));
    QCOMPARE(m.value("colours").toObject().value("back").toString(), QStringLiteral("#0000ff"));
    // A page that connects later gets the game at once.
    Client late(s, pagePath(s));
    QVERIFY(late.waitOpen());
    QTRY_COMPARE(late.messages.size(), 1);
    QCOMPARE(late.last().value("round").toInt(), 3);
}

void TestClockServer::refusesForeignSockets()
{
    ClockServer s;
    QVERIFY(s.start(nullptr));
    // Closed by the server, never told the game.
    const auto refused = [&](const QString &path, const QString &origin) {
        Client c(s, path, origin);
        c.waitOpen();
        return c.waitClosed() && c.messages.isEmpty();
    };
    QVERIFY(refused(QStringLiteral("/ws"), QString()));
    QVERIFY(refused(QStringLiteral("/%1/ws").arg(QString(32, 'b')), QString()));
    QVERIFY(refused(pagePath(s), QStringLiteral("http://evil.example")));
    QVERIFY(refused(pagePath(s), QStringLiteral("http://127.0.0.1:1")));
    QCOMPARE(s.connectionCount(), 0);
    // A page opened by an IPv6 address: its Origin has the brackets, as its Host has.
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHostIPv6, s.port());
    if (!probe.waitForConnected(5000))
        QSKIP("no IPv6 loopback here");
    probe.abort();
    const QString v6 = QStringLiteral("[::1]:%1").arg(s.port());
    QWebSocket socket(QStringLiteral("http://") + v6);
    socket.open(QUrl(QStringLiteral("ws://") + v6 + pagePath(s)));
    QTRY_COMPARE(socket.state(), QAbstractSocket::ConnectedState);
}

void TestClockServer::ignoresBadFrames()
{
    ClockServer s;
    int actions = 0;
    s.setActionHandler([&](platform::RemoteAction) { ++actions; });
    QVERIFY(s.start(nullptr));
    Client c(s, pagePath(s));
    QVERIFY(c.waitOpen());
    QTRY_COMPARE(c.messages.size(), 1);
    const QString big = QString::fromUtf8(
        QJsonDocument(QJsonObject{{"action", "pause"}, {"pin", s.pin()}, {"pad", QString(5000, 'x')}}).toJson());
    const QString wide = QString::fromUtf8( // 3,000 characters, 6,000 bytes
        QJsonDocument(QJsonObject{{"action", "pause"}, {"pin", s.pin()}, {"pad", QString(3000, QChar(0xe9))}})
            .toJson());
    for (const QString &bad :
         {big, wide, QStringLiteral("{\"action\":"), QStringLiteral("[1,2]"), QStringLiteral("null"),
          QStringLiteral("{\"action\":\"escape\",\"pin\":\"%1\"}").arg(s.pin()),
          QStringLiteral("{\"action\":\"settings\",\"pin\":\"%1\"}").arg(s.pin())})
        c.socket->sendTextMessage(bad);
    c.socket->sendBinaryMessage(QByteArray("{\"action\":\"pause\"}"));
    QTest::qWait(300);
    QCOMPARE(actions, 0);
    QCOMPARE(c.messages.size(), 1); // not even an answer
    QCOMPARE(c.socket->state(), QAbstractSocket::ConnectedState);
    c.send("pause", s.pin()); // and the socket still works
    QTRY_COMPARE(actions, 1);
}

void TestClockServer::pinAndLockOut()
{
    ClockServer s;
    int actions = 0;
    s.setActionHandler([&](platform::RemoteAction) { ++actions; });
    QVERIFY(s.start(nullptr));
    Client c(s, pagePath(s));
    QVERIFY(c.waitOpen());
    c.send("pin", s.pin());
    QTRY_COMPARE(c.messages.size(), 2);
    QCOMPARE(c.last().value("ok").toBool(), true);
    c.send("next", wrongPin(s.pin()));
    QTRY_COMPARE(c.messages.size(), 3);
    QCOMPARE(c.last().value("ok").toBool(), false);
    QCOMPARE(actions, 0);
    for (int i = 0; i < platform::PinGuard::MaxWrongPerAddress - 1; ++i)
        c.send("pin", wrongPin(s.pin()));
    QTRY_COMPARE(c.messages.size(), 3 + platform::PinGuard::MaxWrongPerAddress - 1);
    QCOMPARE(c.last().value("locked").toBool(), true);
    // Locked out: the right PIN does nothing for a minute, from any socket of that address.
    Client other(s, pagePath(s));
    QVERIFY(other.waitOpen());
    other.send("pause", s.pin());
    QTRY_COMPARE(other.messages.size(), 2);
    QCOMPARE(other.last().value("ok").toBool(), false);
    QCOMPARE(other.last().value("locked").toBool(), true);
    QCOMPARE(actions, 0);
}

// Raw sockets from loopback addresses of their own, so the limit per address does not stand
// in the way of the limit of sockets.
void TestClockServer::sixtyFourConnections()
{
    ClockServer s;
    QVERIFY(s.start(nullptr));
    const auto from = [](int i) { return QStringLiteral("127.0.2.%1").arg(i + 1); };
    std::vector<std::unique_ptr<Raw>> sockets;
    for (int i = 0; i < ClockServer::MaxWebSockets; ++i) {
        sockets.push_back(std::make_unique<Raw>(s, from(i)));
        sockets.back()->webSocket(s);
    }
    QTRY_COMPARE(s.connectionCount(), ClockServer::MaxWebSockets);
    for (const auto &r : sockets)
        QVERIFY(r->got.startsWith("HTTP/1.1 101"));
    Raw extra(s, from(100));
    extra.webSocket(s);
    QCOMPARE(extra.answer(), 503);
    QVERIFY(extra.cut());
    // One goes, another may come.
    sockets.front()->socket.abort();
    QTRY_COMPARE(s.connectionCount(), ClockServer::MaxWebSockets - 1);
    Raw again(s, from(101));
    again.webSocket(s);
    QTRY_COMPARE(s.connectionCount(), ClockServer::MaxWebSockets);
}

// HTTP and WebSockets together: a few per address, and the whole server far below the
// descriptors a process has; over either limit a connection is cut at once.
void TestClockServer::connectionLimits()
{
    ClockServer s;
    QVERIFY(s.start(nullptr));
    std::vector<std::unique_ptr<Raw>> held;
    for (int i = 0; i < ClockServer::MaxPerAddress; ++i) {
        held.push_back(std::make_unique<Raw>(s, QStringLiteral("127.0.0.2")));
        if (i % 2)
            held.back()->webSocket(s);
    }
    QTRY_COMPARE(s.openConnections(), ClockServer::MaxPerAddress);
    Raw over(s, QStringLiteral("127.0.0.2"));
    QVERIFY(over.cut());
    Raw neighbour(s, QStringLiteral("127.0.0.3")); // another device is served meanwhile
    neighbour.send(get(s));
    QCOMPARE(neighbour.answer(), 200);

    for (int i = 0; s.openConnections() < ClockServer::MaxConnections && i < 2 * ClockServer::MaxConnections; ++i) {
        held.push_back(std::make_unique<Raw>(s, QStringLiteral("127.0.3.%1").arg(i / 4 + 1)));
        (void)QTest::qWaitFor([&] { return s.openConnections() > int(held.size()) - 1; }, 1000);
    }
    QCOMPARE(s.openConnections(), ClockServer::MaxConnections);
    Raw full(s, QStringLiteral("127.0.4.1"));
    QVERIFY(full.cut());
    // Every connection's count goes with it.
    held.clear();
    QTRY_COMPARE(s.openConnections(), 1); // the neighbour's, kept alive
}

// A request that does not arrive whole in time is answered 408 and closed; a connection that
// sends nothing, or nothing more after an answer, is closed.
void TestClockServer::slowAndIdleConnectionsCut()
{
    ClockServer s;
    QVERIFY(s.start(nullptr));
    Raw slow(s, QStringLiteral("127.0.0.5")), idle(s, QStringLiteral("127.0.0.6")),
        after(s, QStringLiteral("127.0.0.7"));
    slow.send("GET /" + s.token() + "/ HTTP/1.1\r\nHost: x\r\n");
    after.send(get(s));
    QCOMPARE(after.answer(), 200);
    QElapsedTimer waited;
    waited.start();
    QVERIFY(slow.cut());
    QCOMPARE(slow.answer(), 408);
    QVERIFY(idle.cut() && after.cut());
    QVERIFY(idle.got.isEmpty());
    QVERIFY(waited.elapsed() >= ClockServer::RequestMs / 2); // not cut before its time
    QTRY_COMPARE(s.openConnections(), 0);
}

void TestClockServer::requestLimits_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("staysOpen");
    const QByteArray page = "GET /TOKEN/ HTTP/1.1\r\nHost: x\r\n";
    QTest::newRow("keep-alive") << page + "\r\n" << 200 << true;
    QTest::newRow("Connection: close") << page + "Connection: close\r\n\r\n" << 200 << false;
    QTest::newRow("Connection: keep-alive, close") << page + "Connection: keep-alive, Close\r\n\r\n" << 200 << false;
    QTest::newRow("HTTP/1.0") << QByteArray("GET /TOKEN/ HTTP/1.0\r\n\r\n") << 200 << false;
    QTest::newRow("small body passed over")
        << QByteArray("POST /TOKEN/ HTTP/1.1\r\nContent-Length: 10\r\n\r\n0123456789") << 405 << true;
    QTest::newRow("body of a terabyte") << QByteArray("POST /TOKEN/ HTTP/1.1\r\nContent-Length: 1099511627776\r\n\r\n")
                                        << 413 << false;
    QTest::newRow("chunked body") << QByteArray("POST /TOKEN/ HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n") << 413
                                  << false;
    QTest::newRow("head without end") << page + "X-Pad: " + QByteArray(9000, 'a') << 431 << false;
    QTest::newRow("long path") << "GET /TOKEN/" + QByteArray(2000, 'a') + " HTTP/1.1\r\n\r\n" << 414 << false;
    QTest::newRow("two lengths") << QByteArray(
        "POST /TOKEN/ HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n")
                                 << 400 << false;
    QTest::newRow("not HTTP") << QByteArray("hello\r\n\r\n") << 400 << false;
    QTest::newRow("HTTP/2") << QByteArray("GET /TOKEN/ HTTP/2.0\r\n\r\n") << 505 << false;
    QTest::newRow("no token, kept alive") << QByteArray("GET /x HTTP/1.1\r\n\r\n") << 403 << true;
}

// Every answer leaves the connection as the request asked, or closed when the request was
// beyond what the page needs; a connection kept alive answers the next request.
void TestClockServer::requestLimits()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(bool, staysOpen);
    ClockServer s;
    QVERIFY(s.start(nullptr));
    Raw r(s, QStringLiteral("127.0.0.8"));
    r.send(request.replace("TOKEN", s.token()));
    QCOMPARE(r.answer(), status);
    if (!staysOpen) {
        QVERIFY(r.cut());
        return;
    }
    r.send(get(s));
    QCOMPARE(r.answer(), 200);
    QCOMPARE(r.socket.state(), QAbstractSocket::ConnectedState);
}

void TestClockServer::pinGuard_data()
{
    using V = platform::PinGuard::Verdict;
    using Step = PinStep;
    QTest::addColumn<std::vector<Step>>("steps");
    std::vector<Step> five{{"10.0.0.1", false, 0, false, V::Wrong},
                           {"10.0.0.1", false, 1, false, V::Wrong},
                           {"10.0.0.1", false, 2, false, V::Wrong},
                           {"10.0.0.1", false, 3, false, V::Wrong},
                           {"10.0.0.1", false, 4, false, V::Locked}};
    std::vector<Step> address = five;
    address.insert(address.end(), {{"10.0.0.1", true, 30, false, V::Locked},
                                   {"::ffff:10.0.0.1", true, 30, false, V::Locked}, // the same, mapped
                                   {"10.0.0.2", true, 30, false, V::Right},
                                   {"10.0.0.1", true, 64.5, false, V::Right}});
    QTest::newRow("five wrong lock an address out for a minute") << address;
    std::vector<Step> slash64;
    slash64.reserve(7);
    for (int i = 0; i < 5; ++i)
        slash64.push_back({i % 2 ? "2001:db8:1:2::a" : "2001:db8:1:2:ffff::1", false, double(i), false,
                           i == 4 ? V::Locked : V::Wrong});
    slash64.insert(slash64.end(), {{"2001:db8:1:2:1234::9", true, 10, false, V::Locked},
                                   {"2001:db8:1:3::1", true, 10, false, V::Right}});
    QTest::newRow("an IPv6 /64 is one address") << slash64;
    static const char *many[] = {"10.1.0.1", "10.1.0.2", "10.1.0.3", "10.1.0.4", "10.1.0.5",
                                 "10.1.0.6", "10.1.0.7", "10.1.0.8", "10.1.0.9", "10.1.0.10"};
    std::vector<Step> server;
    server.reserve(platform::PinGuard::MaxWrongPerMinute + 5);
    for (int i = 0; i < platform::PinGuard::MaxWrongPerMinute; ++i)
        server.push_back({many[i % 10], false, 1 + i * 0.1, false, V::Wrong});
    server.insert(server.end(), {{"10.2.0.1", true, 20, false, V::Busy},
                                 {"10.2.0.1", false, 20, false, V::Busy},
                                 {"10.2.0.2", true, 20, true, V::Right}, // a phone already let in
                                 {"10.2.0.1", true, 60.5, false, V::Busy},
                                 {"10.2.0.1", true, 61.05, false, V::Right}}); // the first has left the minute
    QTest::newRow("a score of wrong PINs a minute for the whole server") << server;
}

void TestClockServer::pinGuard()
{
    QFETCH(std::vector<PinStep>, steps);
    platform::PinGuard guard;
    for (const PinStep &step : steps) {
        const auto verdict = guard.check(QHostAddress(QString::fromLatin1(step.from)),
                                         step.right ? QStringLiteral("123456") : QStringLiteral("654321"),
                                         QStringLiteral("123456"), qint64(step.at * 1000), step.trusted);
        QVERIFY2(verdict == step.verdict, qPrintable(QStringLiteral("%1 at %2 s").arg(step.from).arg(step.at)));
    }
    // Addresses are forgotten a minute after their last wrong PIN.
    guard.check(QHostAddress(QStringLiteral("10.9.9.9")), QStringLiteral("123456"), QStringLiteral("123456"), 200000);
    QCOMPARE(guard.remembered(), 0);
}
// Guesses from many addresses are still a score a minute: then even the right PIN waits,
// except from a phone that was let in before.
void TestClockServer::wrongPinsAcrossAddresses()
{
    ClockServer s;
    int actions = 0;
    s.setActionHandler([&](platform::RemoteAction) { ++actions; });
    QVERIFY(s.start(nullptr));
    Client phone(s, pagePath(s));
    QVERIFY(phone.waitOpen());
    phone.send("pin", s.pin());
    QTRY_COMPARE(phone.messages.size(), 2);
    const QByteArray wrong = "{\"action\":\"pin\",\"pin\":\"" + wrongPin(s.pin()).toLatin1() + "\"}";
    std::vector<std::unique_ptr<Raw>> guessers;
    for (int i = 0; i * platform::PinGuard::MaxWrongPerAddress < platform::PinGuard::MaxWrongPerMinute; ++i) {
        guessers.push_back(std::make_unique<Raw>(s, QStringLiteral("127.0.5.%1").arg(i + 1)));
        guessers.back()->webSocket(s);
        QTRY_VERIFY(guessers.back()->got.startsWith("HTTP/1.1 101"));
        for (int n = 0; n < platform::PinGuard::MaxWrongPerAddress; ++n)
            guessers.back()->frame(wrong);
        QTRY_COMPARE(guessers.back()->got.count("\"type\":\"pin\""), platform::PinGuard::MaxWrongPerAddress);
    }
    Raw late(s, QStringLiteral("127.0.5.100"));
    late.webSocket(s);
    QTRY_VERIFY(late.got.startsWith("HTTP/1.1 101"));
    late.frame("{\"action\":\"pause\",\"pin\":\"" + s.pin().toLatin1() + "\"}");
    QTRY_VERIFY(late.got.contains("\"type\":\"pin\""));
    QVERIFY(late.got.contains("\"locked\":true") && late.got.contains("\"ok\":false"));
    QCOMPARE(actions, 0);
    phone.send("pause", s.pin());
    QTRY_COMPARE(actions, 1);
}

// The token, the port and the PIN outlast the server, off and on and from run to run, in a
// file only its owner reads; a new address tells the open pages and refuses the old one; a
// kept port that is taken gives another, and the dialog can say the address changed.
void TestClockServer::addressKept()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("chiplark-page.ini"));
    platform::PageAddress first;
    {
        ClockServer a;
        a.setAddressFile(file);
        QVERIFY(a.start(nullptr));
        first = {a.token(), a.pin(), a.port()};
        QCOMPARE(QFileInfo(file).permissions() & 0x0077, QFileDevice::Permissions()); // group and others: nothing
        a.stop();
        QVERIFY(a.start(nullptr));
        QCOMPARE((platform::PageAddress{a.token(), a.pin(), a.port()}), first);
        QVERIFY(!a.addressMoved());
    }
    ClockServer b;
    b.setAddressFile(file);
    QVERIFY(b.start(nullptr));
    QCOMPARE((platform::PageAddress{b.token(), b.pin(), b.port()}), first);
    Client page(b, pagePath(b));
    QVERIFY(page.waitOpen());
    QVERIFY(b.renewAddress(nullptr));
    QVERIFY(b.token() != first.token && b.port() == first.port);
    QVERIFY(page.waitClosed());
    QCOMPARE(page.last().value("type").toString(), QStringLiteral("moved"));
    QCOMPARE(status(b, "/" + first.token + "/"), 403);
    QCOMPARE(status(b, "/" + b.token() + "/"), 200);
    QFile kept(file);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(platform::parsePageAddress(kept.readAll()), (platform::PageAddress{b.token(), b.pin(), b.port()}));
    b.stop();

    QTcpServer squatter;
    QVERIFY(squatter.listen(QHostAddress::Any, first.port));
    ClockServer c;
    c.setAddressFile(file);
    QVERIFY(c.start(nullptr));
    QVERIFY(c.port() != first.port && c.addressMoved());
    QVERIFY(c.address().contains(QStringLiteral(":%1/").arg(c.port())));

    // Something at the path that is no file of ours is left alone.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    ClockServer d;
    d.setAddressFile(dir.filePath(QStringLiteral("folder.ini")));
    QVERIFY(d.start(nullptr));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.ini"))).isDir());
}

// 1,100 connections that never finish their request, from 200 addresses, against a process
// that may open 1,024 files: the settings are still saved when the window closes.
void TestClockServer::savedAtExitUnderFlood()
{
    constexpr int Connections = 1100;
    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_NOFILE, &limit) == 0);
    if (limit.rlim_max < Connections + 100)
        QSKIP("the hard limit of open files is too low for the flood");
    fake::Platform fakes;
    ClockServer server;
    platform::Services services = fakes.services();
    services.publisher = &server;
    auto frm = std::make_unique<frm_Chiplark>(services);
    frm->txt_Title->setText(QStringLiteral("Flood night"));
    QVERIFY(server.start(nullptr));
    int flooded[2], release[2];
    QVERIFY(pipe(flooded) == 0 && pipe(release) == 0);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) { // plain system calls only, from here to _exit
        rlimit all = limit;
        all.rlim_cur = all.rlim_max;
        setrlimit(RLIMIT_NOFILE, &all);
        const char partial[] = "GET /x HTTP/1.1\r\nHost: a\r\n";
        for (int i = 0; i < Connections; ++i) {
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in local{}, to{};
            local.sin_family = to.sin_family = AF_INET;
            local.sin_addr.s_addr = htonl(0x7f000800u + quint32(i % 200 + 1)); // 127.0.8.x
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            to.sin_port = htons(server.port());
            if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0
                || ::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0)
                _exit(2);
            (void)send(fd, partial, sizeof partial - 1, MSG_NOSIGNAL);
        }
        (void)write(flooded[1], "F", 1);
        char c;
        (void)read(release[0], &c, 1);
        _exit(0);
    }
    rlimit desktop = limit;
    desktop.rlim_cur = 1024;
    QVERIFY(setrlimit(RLIMIT_NOFILE, &desktop) == 0);
    const bool floodedAll = QTest::qWaitFor(
        [&] {
            pollfd p{flooded[0], POLLIN, 0};
            return poll(&p, 1, 0) == 1;
        },
        60000);
    const int held = server.openConnections();
    frm->close(); // the server ends, then the settings are written
    setrlimit(RLIMIT_NOFILE, &limit);
    (void)write(release[1], "R", 1);
    int exitStatus = 0;
    waitpid(child, &exitStatus, 0);
    for (int fd : {flooded[0], flooded[1], release[0], release[1]})
        close(fd);
    QVERIFY(floodedAll);
    QCOMPARE(WEXITSTATUS(exitStatus), 0);
    QVERIFY2(held > ClockServer::MaxConnections / 2 && held <= ClockServer::MaxConnections,
             qPrintable(QString::number(held)));
    QVERIFY(!server.running());
    QFile ini(QDir(fakes.files.folder).filePath(QStringLiteral("chiplark.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("Title=Flood night"));
}

void TestClockServer::remoteControlIsTheKeys()
{
    // Two windows with the same game: one driven by the display's keys, one by a phone.
    fake::Platform keysFakes, phoneFakes;
    ClockServer server;
    platform::Services phoneServices = phoneFakes.services();
    phoneServices.publisher = &server;
    frm_Chiplark keys(keysFakes.services());
    frm_Chiplark phone(phoneServices);
    QVERIFY(server.start(nullptr));
    phone.screenOptions.showPaused = true; // PAUSED on the phone-driven display only
    for (frm_Chiplark *f : {&keys, &phone}) {
        drive::setSchedule(*f, {"25/50/600", "50/100/600", "100/200/600"});
        f->txt_Break->setText("2");
        f->txt_breakTime->setText("5");
        f->opt_Break[0]->setChecked(true);
    }
    Client c(server, pagePath(server));
    QVERIFY(c.waitOpen());
    // Nothing happens while no game runs.
    c.send("next", server.pin());
    QTRY_COMPARE(c.messages.size(), 2);
    QVERIFY(!phone.displayWindow());

    keys.cmd_Start_Click();
    phone.cmd_Start_Click();
    const auto step = [&](int key, const QString &action) {
        keys.displayWindow()->Form_KeyDown(key, 0);
        const int before = c.messages.size();
        c.send(action, server.pin());
        // The answer to the PIN, then the game as it changed.
        QTRY_VERIFY(c.messages.size() >= before + 2);
        QCOMPARE(phone.displayState, keys.displayState);
        QCOMPARE(phone.tmr_rounds->isActive(), keys.tmr_rounds->isActive());
        QCOMPARE(phone.tmr_break->isActive(), keys.tmr_break->isActive());
        QCOMPARE(phone.displayWindow()->breakWasRunning, keys.displayWindow()->breakWasRunning);
        QCOMPARE(c.last().value("paused").toBool(), keys.displayState.paused);
        QCOMPARE(phone.displayWindow()->lbl_Paused->isVisibleTo(phone.displayWindow()), phone.displayState.paused);
        QVERIFY(!keys.displayWindow()->lbl_Paused->isVisibleTo(keys.displayWindow()));
    };
    step(DisplayKey::P, "pause"); // paused in a level
    QVERIFY(phone.displayState.paused && !phone.tmr_rounds->isActive());
    step(DisplayKey::P, "pause"); // running again
    QVERIFY(phone.tmr_rounds->isActive());
    step(DisplayKey::Space, "next"); // level 2
    step(DisplayKey::Space, "next"); // the break
    QVERIFY(phone.displayState.inBreak && phone.tmr_break->isActive());
    step(DisplayKey::P, "pause"); // paused in the break
    QVERIFY(!phone.tmr_break->isActive() && phone.displayWindow()->breakWasRunning);
    step(DisplayKey::Space, "next"); // skipped while paused: level 3, still paused
    QVERIFY(phone.displayState.paused && !phone.tmr_rounds->isActive() && !phone.tmr_break->isActive());
    step(DisplayKey::P, "pause"); // resumed: the countdown the pause remembered, as the key does
    QVERIFY(phone.tmr_rounds->isActive() != phone.tmr_break->isActive()); // never two at once
}

QTEST_MAIN(TestClockServer)
#include "test_clock_server.moc"
