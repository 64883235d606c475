// The clock's page on the network, with a real server on the loopback: the viewing token,
// the page's own routes, the WebSocket's origin, pairing and its control keys, the PIN's turns,
// what a page sends reaching the game, the limits a home network needs, the address kept between runs, the settings
// saved at exit under a flood, and a phone's pause and skip acting exactly as the display's keys.
#include "display/frm_Display.h"
#include "page/ClockServer.h"
#include "page/ControlProof.h"
#include "page/PageMessages.h"
#include "runner/GameRunner.h"
#include "settings/frm_Chiplark.h"
#include "settings/frm_MoreOptions.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

using page::ClockServer;
using page::PinGuard;
constexpr int MaxWrong = PinGuard::MaxWrongPerAddress;

namespace {

// The PIN with one digit changed: a PIN wrong in any one place is refused.
QString wrongPin(const QString &pin, int at = 0)
{
    QString wrong = pin;
    wrong[at] = QChar('0' + (pin[at].digitValue() + 1) % 10);
    return wrong;
}

// A page's socket, on the page's own path from its own origin unless told, and the messages it got.
struct Client {
    QWebSocket socket;
    QStringList messages;

    Client(const ClockServer &server, const QString &path = {}, const QString &origin = {})
        : socket(origin.isEmpty() ? QStringLiteral("http://127.0.0.1:%1").arg(server.port()) : origin)
    {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString &m) { messages << m; });
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(server.port())
                         + (path.isEmpty() ? "/" + server.token() + "/ws" : path)));
    }
    // Waits (up to 5 s) until the socket is open and was told the game, or is closed; whether it was told.
    bool waitOpen()
    {
        (void)QTest::qWaitFor([&] { return told() || socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
        return socket.state() == QAbstractSocket::ConnectedState && told();
    }
    bool told() const { return !messages.filter(QStringLiteral("\"type\":\"state\"")).isEmpty(); }
    bool waitClosed()
    {
        return QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
    }
    QJsonObject last() const { return QJsonDocument::fromJson(messages.last().toUtf8()).object(); }
    QJsonObject sent; // the last message, as a sniffer saw it
    void send(const QJsonObject &message)
    {
        sent = message;
        socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
    }
    void act(const QString &action) { send({{"action", action}}); }
    // The socket's nonce, as the server said it.
    QByteArray nonce() const
    {
        const QStringList given = messages.filter(QStringLiteral("\"nonce\""));
        return given.isEmpty() ? QByteArray()
                               : QJsonDocument::fromJson(given.last().toUtf8())["nonce"].toString().toLatin1();
    }
    // Asks for control as the page does (the PIN; a key or the link proved against the nonce;
    // "sent": a key sent as it is) and waits for the answer: the key held, or why not.
    QString pair(const QString &how, const QString &value)
    {
        const qsizetype before = messages.size();
        const QByteArray v = value.toLatin1();
        if (how == "link")
            send({{"action", "pair"}, {"link", QString(page::proof::ofLink(v, nonce()))}});
        else if (how == "key")
            send({{"action", "pair"}, {"proof", QString(page::proof::ofKey(v, nonce()))}});
        else
            send({{"action", "pair"}, {how == "sent" ? "key" : how, value}});
        if (!QTest::qWaitFor([&] { return messages.size() > before && last().value("type") == "paired"; }, 5000))
            return QStringLiteral("no answer");
        if (!last().value("ok").toBool())
            return "refused: " + last().value("why").toString();
        return how == "link"  ? QString(page::proof::linkKey(v, nonce()))
               : how == "key" ? value
                              : last().value("key").toString();
    }
};

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
    int answer(QByteArray *body = nullptr)
    {
        int status = 0;
        (void)QTest::qWaitFor(
            [&] {
                const qsizetype end = got.indexOf("\r\n\r\n");
                const QRegularExpressionMatch length = QRegularExpression(QStringLiteral("Content-Length: (\\d+)"))
                                                           .match(QString::fromLatin1(got.left(end)));
                const qsizetype size = length.hasMatch() ? length.captured(1).toLongLong() : 0;
                if (end < 0 || got.size() < end + 4 + size)
                    return false;
                status = got.mid(9, 3).toInt();
                if (body)
                    *body = got.mid(end + 4, size);
                got.remove(0, end + 4 + size);
                return true;
            },
            15000);
        return status;
    }
};

QByteArray get(const QByteArray &path)
{
    return "GET " + path + " HTTP/1.1\r\nHost: x\r\n\r\n";
}

// The status of one request on a connection of its own; its body in *body.
int status(const ClockServer &s, const QByteArray &path, QByteArray *body = nullptr)
{
    Raw r(s, QStringLiteral("127.0.0.1"));
    r.send(get(path));
    return r.answer(body);
}

// A PIN asked: from, right or not, when (seconds), and when it was checked ("busy": refused
// because the address already had one waiting).
struct PinStep {
    QString from;
    bool right;
    double at;
    QString checked;
};

// The link's code in a control link.
QString linkCode(const ClockServer &server)
{
    return server.controlLink().section(QStringLiteral("#control="), 1);
}

} // namespace

Q_DECLARE_METATYPE(std::vector<PinStep>)

class TestClockServer : public QObject {
    Q_OBJECT
    std::unique_ptr<ClockServer> s;    // each test's own, started
    int actions = 0;                   // the pauses and skips it passed on
    GameCommand command;               // the last one, as the game got it
    std::vector<GameCommand> commands; // each, in order

private slots:
    void init()
    {
        actions = 0;
        commands.clear();
        s = std::make_unique<ClockServer>();
        s->setActionHandler([this](const GameCommand &c) {
            ++actions;
            command = c;
            commands.push_back(c);
            // A question, so the phone hears the count it was asked at.
            return c.kind == GameCommand::Undo ? GameReply{false, true, "Undo that?", 9} : GameReply{};
        });
        QVERIFY(s->start(nullptr));
    }

    void tokenPinAndAddress()
    {
        ClockServer a;
        QVERIFY(!a.running());
        QVERIFY(a.address().isEmpty()); // nothing listens until asked
        QVERIFY(a.token() != s->token());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{6}$")).match(a.pin()).hasMatch());
        QString why;
        QVERIFY2(a.start(&why), qPrintable(why));
        QVERIFY(a.port() >= ClockServer::FirstPort && a.port() < ClockServer::FirstPort + ClockServer::PortsTried);
        QVERIFY(a.port() != s->port()); // the next free port
        QVERIFY(a.address().startsWith(QStringLiteral("http://")));
        QVERIFY(a.address().endsWith(QStringLiteral(":%1/%2/").arg(a.port()).arg(QString::fromLatin1(a.token()))));
        const QImage code = a.qrCode();
        QVERIFY(code.width() >= 21 + 8 && code.width() == code.height());
        // A finder pattern's dark corner, inside a light quiet zone four modules wide.
        QVERIFY(code.pixelIndex(4, 4) == 1 && code.pixelIndex(3, 3) == 0 && code.pixelIndex(10, 10) == 1);
        a.stop();
        QVERIFY(!a.running());
        QByteArray page;
        QCOMPARE(status(*s, "/" + s->token() + "/", &page), 200);
        QVERIFY(page.contains("Waiting for the game to start"));
        // A HEAD is told the GET's length, and nothing follows.
        Raw head(*s, QStringLiteral("127.0.0.1"));
        head.send("HEAD /" + s->token() + "/ HTTP/1.1\r\nHost: x\r\n\r\n");
        QTRY_VERIFY(head.got.endsWith("\r\n\r\n"));
        QVERIFY(head.got.contains("Content-Length: " + QByteArray::number(page.size()) + "\r\n"));
    }

    void pushesTheGame()
    {
        Client c(*s);
        QVERIFY(c.waitOpen());
        QCOMPARE(c.messages.last().toUtf8(), page::stateMessage(DisplayState{})); // no game yet
        DisplayState state;
        state.shown = true;
        state.round = 3;
        state.gameTitle = "Friday";
        s->publish(state);                  // how fast it arrives is measured by bench/page_bench.sh
        QTRY_COMPARE(c.messages.size(), 3); // the nonce, the game, the game now
        QCOMPARE(c.messages.last().toUtf8(), page::stateMessage(state));
        Client late(*s); // a page that connects later gets the game at once
        QVERIFY(late.waitOpen());
        QCOMPARE(late.messages.size(), 2);
        QCOMPARE(late.last().value("round").toInt(), 3);
        // Published while no page is open (a game paused), it is still what the next page gets.
        for (Client *gone : {&c, &late}) {
            gone->socket.close();
            QVERIFY(gone->waitClosed());
        }
        QTRY_COMPARE(s->connectionCount(), 0);
        state.round = 4;
        s->publish(state);
        Client after(*s);
        QVERIFY(after.waitOpen());
        QCOMPARE(after.last().value("round").toInt(), 4);
    }

    void refusesForeignSockets()
    {
        // Closed by the server, never told the game.
        const auto refused = [&](const QString &path, const QString &origin) {
            Client c(*s, path, origin);
            return !c.waitOpen() && c.waitClosed() && c.messages.isEmpty();
        };
        QVERIFY(refused(QStringLiteral("/ws"), QString()));
        QVERIFY(refused(QStringLiteral("/%1/ws").arg(QString(32, 'b')), QString()));
        QVERIFY(refused(QString(), QStringLiteral("http://evil.example")));
        QVERIFY(refused(QString(), QStringLiteral("http://127.0.0.1:1")));
        QCOMPARE(s->connectionCount(), 0);
        // A page opened by an IPv6 address: its Origin has the brackets, as its Host has.
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHostIPv6, s->port());
        if (!probe.waitForConnected(5000))
            QSKIP("no IPv6 loopback here");
        const QString v6 = QStringLiteral("[::1]:%1").arg(s->port());
        QWebSocket socket(QStringLiteral("http://") + v6);
        socket.open(QUrl(QStringLiteral("ws://") + v6 + "/" + s->token() + "/ws"));
        QTRY_COMPARE(socket.state(), QAbstractSocket::ConnectedState);
    }

    // What a page sends reaches the game as read (see test_page_messages): without control a
    // long message is not even read and an action is answered so; with control a binary frame
    // is passed over, and the game's answer names the count the question was asked at.
    void commandsReachTheGame()
    {
        Client c(*s);
        QVERIFY(c.waitOpen());
        const QString names = QString::fromUtf8(
            QJsonDocument({{"action", "names"}, {"names", QJsonArray::fromStringList(QStringList(400, "Anna Berg"))}})
                .toJson());
        c.socket.sendTextMessage(names);
        c.act("pause");
        QTRY_VERIFY(c.last().value("why") == "none");
        QCOMPARE(c.messages.size(), 3); // the nonce, the game, and no control
        QCOMPARE(c.pair("pin", s->pin()).size(), 32);
        c.socket.sendBinaryMessage(QByteArray("{\"action\":\"pause\"}"));
        c.socket.sendTextMessage(names);
        c.socket.sendTextMessage(R"({"action":"undo","confirm":true,"seen":3})");
        QTRY_COMPARE(c.last().value("type").toString(), QStringLiteral("done"));
        QCOMPARE(commands.size(), size_t(2));
        QCOMPARE(commands[0].names, QStringList(400, "Anna Berg"));
        QVERIFY(commands[1].kind == GameCommand::Undo && commands[1].confirmed && commands[1].seen == 3);
        QCOMPARE(c.last().value("action").toString(), QStringLiteral("undo"));
        QCOMPARE(c.last().value("seen").toInt(), 9);
    }

    // Control is given by the PIN or the one-time link, as a key bound to the socket that
    // presented it last; nothing else on the network can act with it. Each step: a socket (A,
    // B, C), what it does, and what comes of it.
    void pairing_data()
    {
        QTest::addColumn<QStringList>("steps");
        const auto row = [](const char *name, const char *steps) {
            QTest::newRow(name) << QString::fromLatin1(steps).split(QLatin1Char(';'));
        };
        row("by the PIN", "A act none; A pin given; A act done");
        row("a wrong PIN", "A wrong pin; A act none; A pin given; A act done");
        row("by the link, once", "A link given; A act done; B oldlink link; B act none; B link given");
        row("a reload presents its key", "A pin given; A reopen -; A act none; A key given; A act done");
        row("a replay from another socket", "A pin given; B act none; C act none; A act done");
        row("a proof replayed elsewhere", "A pin given; A reopen -; A key given; B replay key; A act done; B act none");
        row("a key sent as it is", "A pin given; B sent key; B act none; A act done");
        row("a key presented elsewhere moves", "A link given; B key given; A told elsewhere; A act none; B act done");
        row("a made-up key", "A forged key; A act none");
        row("revoked", "A pin given; B link given; - revoke -; A told revoked; B told revoked; A act none; A key key; "
                       "A oldlink link; A link given");
        row("serving off and on", "A pin given; - restart -; A reopen -; A key key; A act none");
    }
    void pairing()
    {
        QFETCH(QStringList, steps);
        std::map<QString, std::unique_ptr<Client>> sockets;
        QString key, oldLink;
        const auto open = [&](const QString &name) {
            sockets[name] = std::make_unique<Client>(*s);
            return sockets[name]->waitOpen();
        };
        for (const QString &step : steps) {
            const QStringList part = step.trimmed().split(QLatin1Char(' '));
            const QString &who = part[0], &what = part[1], &expected = part[2];
            if (what == "revoke" || what == "restart") {
                if (what == "revoke")
                    s->revokeControl();
                else
                    s->stop();
                QVERIFY(s->running() || s->start(nullptr));
                QCOMPARE(s->phonesWithControl(), 0);
                continue;
            }
            if (!sockets.count(who) || what == "reopen")
                QVERIFY(open(who));
            Client &c = *sockets[who];
            QString got = "-";
            if (what == "act") {
                const int before = actions;
                const qsizetype seen = c.messages.size();
                c.act("undo"); // answered either way: done, or control refused
                QTRY_VERIFY(c.messages.size() > seen);
                got = actions > before ? "done" : "none";
                QCOMPARE(got == "none", c.last().value("why") == "none");
            } else if (what == "told") {
                QTRY_VERIFY(c.last().value("type") == "paired" && !c.last().value("ok").toBool());
                got = c.last().value("why").toString();
            } else if (what != "reopen") {
                const QString link = linkCode(*s);
                const QString answer = what == "pin"       ? c.pair("pin", s->pin())
                                       : what == "wrong"   ? c.pair("pin", wrongPin(s->pin()))
                                       : what == "link"    ? c.pair("link", link)
                                       : what == "oldlink" ? c.pair("link", oldLink)
                                       : what == "key"     ? c.pair("key", key)
                                       : what == "sent"    ? c.pair("sent", key)
                                       : what == "replay"  ? c.pair("proof", sockets["A"]->sent["proof"].toString())
                                                           : c.pair("key", QString(32, 'a'));
                if (what == "link" && answer.size() == 32) {
                    oldLink = link;
                    QVERIFY(linkCode(*s) != link); // a new one for the next phone
                }
                got = answer.size() == 32 ? "given" : answer.section(QStringLiteral(": "), 1);
                if (got == "given")
                    key = answer;
            }
            QVERIFY2(got == expected, qPrintable(step + " gave " + got));
        }
    }

    // The dialog counts the phones with control, shows the one-time code on demand (a new one
    // once it is used) and takes control back from all.
    void dialogControl()
    {
        frm_MoreOptions dialog(MoreOptions{true}, s.get(), nullptr);
        dialog.show();
        QCOMPARE(dialog.lbl_Control->text(), QStringLiteral("Phones with control: 0"));
        QVERIFY(!dialog.cmd_Revoke->isEnabled() && !dialog.lbl_ControlQR->isVisible());
        dialog.cmd_ControlCode->click();
        QVERIFY(dialog.lbl_ControlQR->isVisible());
        const QImage first = dialog.lbl_ControlQR->pixmap().toImage();
        Client phone(*s);
        QVERIFY(phone.waitOpen());
        QCOMPARE(phone.pair("link", linkCode(*s)).size(), 32);
        QCOMPARE(dialog.lbl_Control->text(), QStringLiteral("Phones with control: 1"));
        QVERIFY(dialog.lbl_ControlQR->pixmap().toImage() != first);
        dialog.cmd_Revoke->click();
        QCOMPARE(dialog.lbl_Control->text(), QStringLiteral("Phones with control: 0"));
        QVERIFY(!dialog.cmd_Revoke->isEnabled());
        QTRY_COMPARE(phone.last().value("why").toString(), QStringLiteral("revoked"));
    }

    // A burst from one socket is refused beyond a hand's few taps a second, and said so once
    // a second; taps at a hand's pace are all taken.
    void tapsPerSocket_data()
    {
        QTest::addColumn<int>("apartMs");
        QTest::addColumn<int>("taken");
        QTest::addColumn<int>("toldOff");
        QTest::newRow("20 at once") << 0 << ClockServer::MaxTaps << 1;
        QTest::newRow("20 a quarter of a second apart") << ClockServer::TapMs << 20 << 0;
        QTest::newRow("20 a tenth of a second apart") << 100 << 17 << 1;
        QTest::newRow("20 a second apart") << 1000 << 20 << 0;
    }
    void tapsPerSocket()
    {
        QFETCH(int, apartMs);
        qint64 clock = 0;
        s->setClock([&] { return clock; });
        Client c(*s);
        QVERIFY(c.waitOpen());
        QCOMPARE(c.pair("pin", s->pin()).size(), 32);
        int pongs = 0;
        QObject::connect(&c.socket, &QWebSocket::pong, [&] { ++pongs; });
        for (int i = 0; i < 20; ++i, clock += apartMs) {
            c.act("pause");
            c.socket.ping(); // answered once the tap before it was taken or refused
            QTRY_COMPARE(pongs, i + 1);
        }
        QTEST(actions, "taken");
        QTEST(int(c.messages.filter(QStringLiteral("Too many taps")).size()), "toldOff");
    }

    // HTTP and WebSockets together: a few per address, and the whole server far below the
    // descriptors a process has. A full server lets a new device in by cutting the request that
    // has waited longest, so twenty addresses holding slow requests cannot keep a TV out.
    void connectionLimits()
    {
        std::vector<std::unique_ptr<Raw>> held;
        for (int i = 0; i < ClockServer::MaxPerAddress; ++i) {
            held.push_back(std::make_unique<Raw>(*s, QStringLiteral("127.0.0.2")));
            if (i % 2)
                held.back()->webSocket(*s);
        }
        QTRY_COMPARE(s->openConnections(), ClockServer::MaxPerAddress);
        Raw ninth(*s, QStringLiteral("127.0.0.2"));
        ninth.send(get("/" + s->token() + "/"));
        QVERIFY(ninth.cut() && ninth.got.isEmpty()); // cut at once, not served until idle
        std::vector<std::unique_ptr<Raw>> slow;
        for (int i = 0; i < 20 * (ClockServer::MaxPerAddress - 1); ++i) {
            slow.push_back(std::make_unique<Raw>(*s, QStringLiteral("127.0.3.%1").arg(i % 20 + 1)));
            slow.back()->send("GET /" + s->token() + "/ HTTP/1.1\r\nHost: x\r\n");
        }
        QTRY_COMPARE(s->openConnections(), ClockServer::MaxConnections);
        // The room was made by cutting the oldest requests: the first ones held, then slow ones.
        const auto cut = [](const std::vector<std::unique_ptr<Raw>> &v) {
            return std::count_if(v.begin(), v.end(),
                                 [](const auto &r) { return r->socket.state() == QAbstractSocket::UnconnectedState; });
        };
        QTRY_COMPARE(cut(held) + cut(slow), held.size() + slow.size() - ClockServer::MaxConnections);
        QVERIFY(held.front()->socket.state() == QAbstractSocket::UnconnectedState
                && slow.back()->socket.state() == QAbstractSocket::ConnectedState);
        for (int tv = 1; tv <= 10; ++tv) {
            Raw r(*s, QStringLiteral("127.0.4.%1").arg(tv));
            r.send(get("/" + s->token() + "/"));
            QCOMPARE(r.answer(), 200);
        }
        QCOMPARE(s->connectionCount(), ClockServer::MaxPerAddress / 2); // sockets are never cut for room
        held.clear(), slow.clear();                                     // every connection's count goes with it
        QTRY_COMPARE(s->openConnections(), 0);
    }

    // A socket that lets the pushes pile up unread, or misses two pings, is let go; a page
    // that reads and answers stays; one that reads late is given the newest state then.
    void socketsLetGo_data()
    {
        QTest::addColumn<int>("reads"); // 0 never, 1 late, 2 always
        QTest::newRow("never reads") << 0;
        QTest::newRow("reads late") << 1;
        QTest::newRow("never answers a ping") << 2;
    }
    void socketsLetGo()
    {
        QFETCH(int, reads);
        qint64 clock = 0;
        s->setClock([&] { return clock; });
        Client page(*s);
        QVERIFY(page.waitOpen());
        Raw r(*s, QStringLiteral("127.0.0.9"));
        r.webSocket(*s);
        QTRY_COMPARE(s->connectionCount(), 2);
        DisplayState big;
        big.shown = true;
        big.gameTitle = QString(4000, 'x');
        if (reads == 2) {
            s->setPingInterval(50);
        } else {
            QObject::disconnect(&r.socket, &QTcpSocket::readyRead, nullptr, nullptr);
            r.socket.setReadBufferSize(1024); // what the kernel holds fills, then the server's side
        }
        // Each push a tenth of a second on: cut once the system has taken nothing for a while.
        for (int i = 0; i < (reads == 1 ? 3000 : reads ? 0 : 100000) && s->connectionCount() == 2; ++i) {
            s->publish(big);
            QCoreApplication::processEvents();
            clock += reads ? 0 : 100;
        }
        if (reads == 1) {
            big.gameTitle = QStringLiteral("last");
            s->publish(big);
            QObject::connect(&r.socket, &QTcpSocket::readyRead, [&r] { r.got += r.socket.readAll(); });
            r.socket.setReadBufferSize(0);
            r.got += r.socket.readAll();
            QTRY_VERIFY_WITH_TIMEOUT(r.got.right(200).contains("\"title\":\"last\""), 30000);
            return;
        }
        QVERIFY(reads || clock >= ClockServer::StuckMs);
        QTRY_COMPARE(s->connectionCount(), 1);
        QVERIFY(!reads || r.cut()); // one that does not read does not see its end either
        QCOMPARE(page.socket.state(), QAbstractSocket::ConnectedState);
    }

    // A request that does not arrive whole in time is answered 408 and closed; a connection
    // that sends nothing, or nothing more after an answer, is closed.
    void slowAndIdleConnectionsCut()
    {
        Raw slow(*s, QStringLiteral("127.0.0.5")), idle(*s, QStringLiteral("127.0.0.6")),
            after(*s, QStringLiteral("127.0.0.7"));
        slow.send("GET /" + s->token() + "/ HTTP/1.1\r\nHost: x\r\n");
        after.send(get("/" + s->token() + "/"));
        QCOMPARE(after.answer(), 200);
        QElapsedTimer waited;
        waited.start();
        QVERIFY(slow.cut());
        QCOMPARE(slow.answer(), 408);
        QVERIFY(idle.cut() && after.cut());
        QVERIFY(idle.got.isEmpty());
        QVERIFY(waited.elapsed() >= ClockServer::RequestMs / 2); // not cut before its time
        QTRY_COMPARE(s->openConnections(), 0);
    }

    void requestLimits_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("staysOpen");
        const auto row = [](const char *name, const QByteArray &request, int status, bool staysOpen) {
            QTest::newRow(name) << request << status << staysOpen;
        };
        const QByteArray page = "GET /TOKEN/ HTTP/1.1\r\nHost: x\r\n";
        const QByteArray post = "POST /TOKEN/ HTTP/1.1\r\nHost: x\r\n";
        const QByteArray socket = "GET /TOKEN/ws HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n";
        // Only the page's own routes, under the token.
        row("the page, kept alive", get("/TOKEN/"), 200, true);
        row("the page without its slash", get("/TOKEN"), 200, true);
        // Anything else is refused, and the connection ends with the answer.
        row("no token", get("/"), 403, false);
        row("a file without the token", get("/index.html"), 403, false);
        row("another token", get("/" + QByteArray(32, 'a') + "/"), 403, false);
        row("the token cut short", get("/SHORT/"), 403, false);
        row("out of the folder", get("/../../etc/passwd"), 403, false);
        row("a file beside the page", get("/TOKEN/chiplark.ini"), 404, false);
        row("back into the token", get("/TOKEN/../TOKEN/x"), 404, false);
        row("POST", post + "\r\n", 405, false);
        // What the page needs and no more.
        row("Connection: close", page + "Connection: close\r\n\r\n", 200, false);
        row("Connection: keep-alive, close", page + "Connection: keep-alive, Close\r\n\r\n", 200, false);
        row("HTTP/1.0", "GET /TOKEN/ HTTP/1.0\r\n\r\n", 200, false);
        row("small body passed over", post + "Content-Length: 10\r\n\r\n0123456789" + get("/TOKEN/"), 405, false);
        row("body of a terabyte", post + "Content-Length: 1099511627776\r\n\r\n", 413, false);
        row("chunked body", post + "Transfer-Encoding: chunked\r\n\r\n", 413, false);
        row("head without end", page + "X-Pad: " + QByteArray(9000, 'a'), 431, false);
        row("long path", "GET /TOKEN/" + QByteArray(2000, 'a') + " HTTP/1.1\r\n\r\n", 414, false);
        row("two lengths", post + "Content-Length: 1\r\nContent-Length: 2\r\n\r\n", 400, false);
        row("not HTTP", "hello\r\n\r\n", 400, false);
        row("HTTP/2", "GET /TOKEN/ HTTP/2.0\r\n\r\n", 505, false);
        // Refused where the rules say refuse.
        row("no Host", "GET /TOKEN/ HTTP/1.1\r\n\r\n", 400, false);
        row("two Hosts", page + "Host: y\r\n\r\n", 400, false);
        row("a carriage return inside a field", page + "X-A: a\rb\r\n\r\n", 400, false);
        row("a NUL inside a field", page + QByteArray("X-A: a\0b\r\n\r\n", 13), 400, false);
        row("a carriage return in the request line", "GET /TOKEN/\r HTTP/1.1\r\nHost: x\r\n\r\n", 400, false);
        row("a socket key too short", socket + "Sec-WebSocket-Key: c2hvcnQ=\r\nSec-WebSocket-Version: 13\r\n\r\n", 400,
            false);
        row("a socket key not base64",
            socket + "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ!=\r\nSec-WebSocket-Version: 13\r\n\r\n", 400, false);
        row("two socket keys",
            socket
                + "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Key: "
                  "dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n",
            400, false);
        row("socket version 8",
            socket + "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 8\r\n\r\n", 400, false);
    }

    // Every answer leaves the connection as the request asked, or closed when the request was
    // beyond what the page needs; a connection kept alive answers the next request.
    void requestLimits()
    {
        QFETCH(QByteArray, request);
        QFETCH(bool, staysOpen);
        Raw r(*s, QStringLiteral("127.0.0.8"));
        r.send(request.replace("SHORT", s->token().left(31)).replace("TOKEN", s->token()));
        QTEST(r.answer(), "status");
        if (!staysOpen) {
            QVERIFY(r.cut());
            return;
        }
        r.send(get("/" + s->token() + "/"));
        QCOMPARE(r.answer(), 200);
        QCOMPARE(r.socket.state(), QAbstractSocket::ConnectedState);
    }

    void pinGuard_data()
    {
        QTest::addColumn<std::vector<PinStep>>("steps");
        // Five wrong PINs a second apart, from the two addresses in turn, each checked at once.
        const auto fiveWrong = [](const char *a, const char *b) {
            std::vector<PinStep> steps;
            steps.reserve(MaxWrong + 4);
            for (int i = 0; i < MaxWrong; ++i)
                steps.push_back({i % 2 ? b : a, false, double(i), QString::number(i)});
            return steps;
        };
        std::vector<PinStep> address = fiveWrong("10.0.0.1", "10.0.0.1");
        address.insert(address.end(), {{"10.0.0.1", true, 30, "60"}, // slowed: the first wrong one a minute old
                                       {"::ffff:10.0.0.1", true, 31, "busy"}, // the same address, mapped
                                       {"10.0.0.2", true, 32, "32"},          // not held up by it
                                       {"10.0.0.1", false, 70, "70"}});
        QTest::newRow("five wrong slow an address for a minute") << address;
        std::vector<PinStep> slash64 = fiveWrong("2001:db8:1:2:ffff::1", "2001:db8:1:2::a");
        slash64.insert(slash64.end(), {{"2001:db8:1:2:1234::9", true, 10, "60"}, {"2001:db8:1:3::1", true, 10, "10"}});
        QTest::newRow("an IPv6 /64 is one address") << slash64;
        std::vector<PinStep> server;
        server.reserve(PinGuard::MaxChecksPerMinute + 3);
        for (int i = 0; i < PinGuard::MaxChecksPerMinute; ++i)
            server.push_back({QStringLiteral("10.1.0.%1").arg(i + 1), false, i * 0.5, QString::number(i * 0.5)});
        server.insert(server.end(), {{"10.2.0.1", true, 20, "60"}, // in turn, as the minute makes room
                                     {"10.2.0.2", false, 21, "60.5"},
                                     {"10.2.0.3", true, 22, "61"}});
        QTest::newRow("a score of checks a minute, in turn") << server;
    }

    // The guard's turns, run on its own clock: each ask is checked when its turn comes.
    void pinGuard()
    {
        QFETCH(std::vector<PinStep>, steps);
        PinGuard guard;
        std::map<quint64, QString> checked;
        qint64 now = 0;
        const auto run = [&](qint64 until) {
            for (std::optional<qint64> at; (at = guard.nextDue()) && *at <= until; now = *at)
                for (quint64 id : guard.due(*at)) {
                    checked[id] = QString::number(double(*at) / 1000);
                    guard.checked(QHostAddress(steps[id].from), steps[id].right, *at);
                }
        };
        for (quint64 id = 0; id < steps.size(); ++id) {
            run(qint64(steps[id].at * 1000));
            now = qint64(steps[id].at * 1000);
            if (!guard.ask(id, QHostAddress(steps[id].from), now))
                checked[id] = QStringLiteral("busy");
            run(now);
        }
        run(1000000);
        for (quint64 id = 0; id < steps.size(); ++id)
            QVERIFY2(
                checked[id] == steps[id].checked,
                qPrintable(QStringLiteral("%1 at %2 s: %3").arg(steps[id].from).arg(steps[id].at).arg(checked[id])));
        QCOMPARE(guard.waiting(), 0);
        guard.due(10000000); // a minute after the last wrong PIN, no address is remembered
        QCOMPARE(guard.remembered(), 0);
    }

    // A guest on the home network, one way each (a pairing seen and sent again: see pairing):
    // sockets taken from eight addresses, PINs guessed from twenty, a burst from twenty phones, a seventeenth
    // phone paired. The host's phone keeps or gets control each time, and no page is cut.
    void closedToGuests_data()
    {
        QTest::addColumn<QString>("attack");
        for (const char *a : {"crowd", "guesses", "burst", "seventeenth"})
            QTest::newRow(a) << QString::fromLatin1(a);
    }
    void closedToGuests()
    {
        QFETCH(QString, attack);
        qint64 clock = 0;
        if (attack == "guesses")
            s->setClock([&] { return clock; });
        auto host = std::make_unique<Client>(*s);
        QVERIFY(host->waitOpen());
        const QString key = host->pair("pin", s->pin());
        QCOMPARE(key.size(), 32);
        const auto reopenHost = [&] {
            const int open = s->connectionCount();
            host->socket.close();
            QTRY_COMPARE(s->connectionCount(), open - 1);
            host = std::make_unique<Client>(*s);
            QVERIFY(host->waitOpen());
            QCOMPARE(host->pair("key", key), key);
        };
        const auto hostActs = [&] {
            const int before = actions;
            host->act("pause");
            QTRY_COMPARE(actions, before + 1);
        };
        // A raw socket from an address of its own; each frame it sends is answered at once.
        std::vector<std::unique_ptr<Raw>> guests;
        const auto guest = [&](const QString &from) {
            guests.push_back(std::make_unique<Raw>(*s, from));
            guests.back()->webSocket(*s);
            QTRY_VERIFY(guests.back()->got.contains("\"type\":\"state\""));
        };
        if (attack == "crowd") {
            for (int a = 1; a <= 8; ++a)
                for (int i = 0; i < ClockServer::MaxPerAddress; ++i)
                    guest(QStringLiteral("127.0.7.%1").arg(a));
            QTRY_COMPARE(s->watchingCount(), ClockServer::MaxWebSockets);
            reopenHost(); // the phone comes back from sleep: in, and in control; the oldest guest gives way
            QCOMPARE(s->watchingCount(), ClockServer::MaxWebSockets - 1);
            QTRY_COMPARE(
                std::count_if(guests.begin(), guests.end(),
                              [](const auto &g) { return g->socket.state() == QAbstractSocket::UnconnectedState; }),
                1);
            QCOMPARE(guests.front()->socket.state(), QAbstractSocket::UnconnectedState);
        } else if (attack == "guesses") {
            const QByteArray wrong = "{\"action\":\"pair\",\"pin\":\"" + wrongPin(s->pin()).toLatin1() + "\"}";
            for (int i = 1; i <= 20; ++i)
                guest(QStringLiteral("127.0.5.%1").arg(i));
            // Every guesser sends a wrong PIN each second (as fast as it may), and each is answered.
            const auto guessFor = [&](qint64 seconds, const std::function<bool()> &until) {
                for (qint64 end = clock + seconds * 1000; clock < end && !until(); clock += 1000)
                    for (const auto &g : guests) {
                        const qsizetype answers = g->got.count("\"type\":\"pair");
                        g->frame(wrong);
                        QTRY_VERIFY(g->got.count("\"type\":\"pair") > answers);
                    }
            };
            guessFor(30, [] { return false; });
            reopenHost(); // a phone holding its key is never held up
            Client phone(*s);
            QVERIFY(phone.waitOpen());
            qint64 answeredAt = -1;
            QObject::connect(&phone.socket, &QWebSocket::textMessageReceived, [&](const QString &m) {
                if (m.contains(QStringLiteral("\"paired\"")))
                    answeredAt = clock;
            });
            phone.send({{"action", "pair"}, {"pin", s->pin()}});
            QTRY_COMPARE(phone.last().value("type").toString(), QStringLiteral("pairing"));
            const qint64 asked = clock, wait = phone.last().value("wait").toInt();
            QVERIFY2(wait > 0 && wait <= 120, qPrintable(QString::number(wait))); // the manual's two minutes
            guessFor(200, [&] { return phone.last().value("type") == "paired"; });
            QVERIFY(phone.last().value("ok").toBool());
            QVERIFY2(answeredAt - asked <= wait * 1000, qPrintable(QString::number(answeredAt - asked)));
        } else if (attack == "burst") {
            std::vector<std::unique_ptr<Client>> phones;
            for (int i = 0; i < 19; ++i) {
                phones.push_back(std::make_unique<Client>(*s));
                QVERIFY(phones.back()->waitOpen());
                QCOMPARE(phones.back()->pair("pin", s->pin()).size(), 32);
            }
            phones.push_back(std::move(host));
            // The game: a push for every action taken and every second.
            DisplayState state;
            state.shown = true;
            state.gameTitle = QString(2000, 'x');
            s->setActionHandler([&](const GameCommand &) {
                ++state.round;
                s->publish(state);
                return GameReply{};
            });
            QTimer tick;
            QObject::connect(&tick, &QTimer::timeout, [&] { ++state.gameSeconds, s->publish(state); });
            tick.start(1000);
            Client tv(*s); // how long it waits between two pushes is measured by bench_burst
            QVERIFY(tv.waitOpen());
            for (int i = 0; i < 500; ++i)
                for (const auto &p : phones)
                    p->act("pause");
            int pongs = 0;
            for (const auto &p : phones) {
                QObject::connect(&p->socket, &QWebSocket::pong, [&] { ++pongs; });
                p->socket.ping(); // answered once its burst is taken or refused
            }
            QTRY_COMPARE_WITH_TIMEOUT(pongs, int(phones.size()), 60000);
            // The TV sees the last state, and a push each second, across the burst.
            const qint64 until = state.gameSeconds + 2;
            QTRY_VERIFY_WITH_TIMEOUT(tv.last().value("gameSeconds").toInteger() >= until, 10000);
            QTRY_COMPARE(tv.messages.last().toUtf8(), page::stateMessage(state));
            QCOMPARE(s->connectionCount(), int(phones.size()) + 1);
            return;
        } else {
            std::vector<std::unique_ptr<Client>> phones;
            for (int i = 1; i < ClockServer::MaxKeys; ++i) {
                phones.push_back(std::make_unique<Client>(*s));
                QVERIFY(phones.back()->waitOpen());
                QCOMPARE(phones.back()->pair("pin", s->pin()).size(), 32);
            }
            Client seventeenth(*s);
            QVERIFY(seventeenth.waitOpen());
            QCOMPARE(seventeenth.pair("pin", s->pin()).size(), 32);
            // The phone paired first is told why, and the dialog says the cap.
            QTRY_COMPARE(host->last().value("why").toString(), QStringLiteral("full"));
            frm_MoreOptions dialog(MoreOptions{true}, s.get(), nullptr);
            QVERIFY(dialog.lbl_Control->text().contains(QStringLiteral("16, the most")));
            QCOMPARE(host->pair("key", key), QStringLiteral("refused: key")); // taken back by the PIN only
            QCOMPARE(host->pair("pin", s->pin()).size(), 32);
        }
        hostActs();
    }

    // The token, the port and the PIN outlast the server, off and on and from run to run, in a
    // file only its owner reads; a new address tells the open pages and refuses the old one; a
    // kept port that is taken gives another, and the dialog can say the address changed.
    void addressKept()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("chiplark-page.ini"));
        const auto kept = [](const ClockServer &c) { return page::PageAddress{c.token(), c.pin(), c.port()}; };
        page::PageAddress first;
        {
            ClockServer a;
            a.setAddressFile(file);
            QVERIFY(a.start(nullptr));
            first = kept(a);
            QTRY_VERIFY(QFileInfo::exists(file)); // written on a thread of its own
            QCOMPARE(QFileInfo(file).permissions() & 0x0077, QFileDevice::Permissions()); // group and others: nothing
            a.stop();
            QVERIFY(a.start(nullptr));
            QCOMPARE(kept(a), first);
            QVERIFY(!a.addressMoved());
        }
        ClockServer b;
        b.setAddressFile(file);
        QVERIFY(b.start(nullptr));
        QCOMPARE(kept(b), first);
        Client page(b);
        QVERIFY(page.waitOpen());
        QVERIFY(b.renewAddress(nullptr));
        QVERIFY(b.token() != first.token && b.port() == first.port);
        QVERIFY(page.waitClosed());
        QCOMPARE(page.last().value("type").toString(), QStringLiteral("moved"));
        QCOMPARE(status(b, "/" + first.token + "/"), 403);
        QCOMPARE(status(b, "/" + b.token() + "/"), 200);
        const auto saved = [&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? page::parsePageAddress(f.readAll()) : std::nullopt;
        };
        QTRY_COMPARE(saved(), std::optional(kept(b)));
        b.stop();

        // A crashed game not taken up again: its phones' kept keys go.
        const QString keys = dir.filePath(QStringLiteral("chiplark-page-control.txt"));
        QFile k(keys);
        QVERIFY(k.open(QIODevice::WriteOnly) && k.write(QByteArray(64, 'a') + '\n') == 65);
        k.close();
        b.forgetKeptControl();
        QTRY_VERIFY(!QFileInfo::exists(keys));

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
    void savedAtExitUnderFlood()
    {
        constexpr int Connections = 1100;
        rlimit limit{};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &limit) == 0);
        if (limit.rlim_max < Connections + 100)
            QSKIP("the hard limit of open files is too low for the flood");
        fake::Platform fakes;
        platform::Services services = fakes.services();
        services.publisher = s.get();
        auto frm = std::make_unique<frm_Chiplark>(services);
        frm->txt_Title->setText(QStringLiteral("Flood night"));
        int flooded[2], release[2];
        QVERIFY(pipe(flooded) == 0 && pipe(release) == 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {      // plain system calls only, from here to _exit
            close(release[1]); // so that the read below ends also when the test ends early
            const rlimit all{limit.rlim_max, limit.rlim_max};
            setrlimit(RLIMIT_NOFILE, &all);
            const char partial[] = "GET /x HTTP/1.1\r\nHost: a\r\n";
            for (int i = 0; i < Connections; ++i) {
                const int fd = socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in local{}, to{};
                local.sin_family = to.sin_family = AF_INET;
                local.sin_addr.s_addr = htonl(0x7f000800u + quint32(i % 200 + 1)); // 127.0.8.x
                to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                to.sin_port = htons(s->port());
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
        const rlimit desktop{1024, limit.rlim_max};
        QVERIFY(setrlimit(RLIMIT_NOFILE, &desktop) == 0);
        pollfd done{flooded[0], POLLIN, 0};
        const bool floodedAll = QTest::qWaitFor([&] { return poll(&done, 1, 0) == 1; }, 60000);
        const int held = s->openConnections();
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
        QVERIFY(!s->running());
        QFile ini(QDir(fakes.files.folder).filePath(QStringLiteral("chiplark.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("Title=Flood night"));
    }

    // Two windows with the same game: one driven by the display's keys, one by a phone.
    void remoteControlIsTheKeys()
    {
        // Two games on their runners, one keyed, one driven from the phone through the server.
        struct Side {
            fake::Platform fakes;
            GameRunner runner;
            QTimer rounds, breaks;
        } keys, phone;
        platform::Services phoneServices = phone.fakes.services();
        phoneServices.publisher = s.get();
        keys.runner.connectServices(keys.fakes.services(), &keys.rounds, &keys.breaks);
        phone.runner.connectServices(phoneServices, &phone.rounds, &phone.breaks);
        GameRules rules;
        std::tie(rules.small, rules.big, rules.time) = std::tuple(
            QStringList{"25", "50", "100"}, QStringList{"50", "100", "200"}, QStringList{"600", "600", "600"});
        std::tie(rules.lines.count, rules.breakOn, rules.breakEvery, rules.breakMinutes) =
            std::tuple(3, true, "2", "5");
        for (Side *side : {&keys, &phone}) {
            side->rounds.setInterval(1000), side->breaks.setInterval(1000);
            side->runner.game.setRules(rules);
        }
        Game &key = keys.runner.game, &tapped = phone.runner.game;
        qint64 clock = 0; // a tap a second: a hand's pace
        s->setClock([&] { return clock += 1000; });
        Client c(*s);
        QVERIFY(c.waitOpen());
        QCOMPARE(c.pair("pin", s->pin()).size(), 32);
        c.act("next"); // nothing happens while no game runs
        c.socket.ping();
        QVERIFY(QSignalSpy(&c.socket, &QWebSocket::pong).wait(5000));
        QVERIFY(!tapped.started());

        key.start({});
        tapped.start({});
        const auto step = [&](int code, const QString &action) {
            key.key(code, 0);
            c.act(action);
            QTRY_VERIFY(tapped.view() == key.view());
            // The game as it changed, pushed once the pass that changed it is over.
            QTRY_COMPARE(c.messages.last().toUtf8(), page::stateMessage(tapped.view()));
            QCOMPARE(phone.rounds.isActive(), keys.rounds.isActive());
            QCOMPARE(phone.breaks.isActive(), keys.breaks.isActive());
            QCOMPARE(tapped.breakWasRunning, key.breakWasRunning);
            QCOMPARE(c.last().value("paused").toBool(), key.view().paused);
        };
        step(DisplayKey::P, "pause"); // paused in a level
        QVERIFY(tapped.view().paused && !phone.rounds.isActive());
        step(DisplayKey::P, "pause"); // running again
        QVERIFY(phone.rounds.isActive());
        step(DisplayKey::Space, "next"); // level 2
        step(DisplayKey::Space, "next"); // the break
        QVERIFY(tapped.view().inBreak && phone.breaks.isActive());
        step(DisplayKey::P, "pause"); // paused in the break
        QVERIFY(!phone.breaks.isActive() && tapped.breakWasRunning);
        step(DisplayKey::Space, "next"); // skipped while paused: level 3, still paused
        QVERIFY(tapped.view().paused && !phone.rounds.isActive() && !phone.breaks.isActive());
        step(DisplayKey::P, "pause"); // resumed: the countdown the pause remembered, as the key does
        QVERIFY(phone.rounds.isActive() != phone.breaks.isActive()); // never two at once
    }
};

QTEST_MAIN(TestClockServer)
#include "test_clock_server.moc"
