// The clock's page on the network, with a real server on the loopback: the viewing token,
// the page's own routes, the WebSocket's origin, the PIN and its lock-out, bad frames, the
// connection limit, and a phone's pause and skip acting exactly as the display's keys.
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
#include <QWebSocket>
#include <QtTest>
#include <memory>

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

} // namespace

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
    QCOMPARE(status(s, "/" + t + "/", "POST"), 404);
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
    for (const QString &bad : {big, QStringLiteral("{\"action\":"), QStringLiteral("[1,2]"), QStringLiteral("null"),
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
    for (int i = 0; i < ClockServer::MaxWrongPins - 1; ++i)
        c.send("pin", wrongPin(s.pin()));
    QTRY_COMPARE(c.messages.size(), 3 + ClockServer::MaxWrongPins - 1);
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

void TestClockServer::sixtyFourConnections()
{
    ClockServer s;
    QVERIFY(s.start(nullptr));
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < ClockServer::MaxConnections; ++i) {
        clients.push_back(std::make_unique<Client>(s, pagePath(s)));
        QVERIFY(clients.back()->waitOpen());
    }
    QTRY_COMPARE(s.connectionCount(), ClockServer::MaxConnections);
    Client extra(s, pagePath(s));
    extra.waitOpen();
    QVERIFY(extra.waitClosed());
    QCOMPARE(s.connectionCount(), ClockServer::MaxConnections);
    // One goes, another may come.
    clients.front()->socket->close();
    QTRY_COMPARE(s.connectionCount(), ClockServer::MaxConnections - 1);
    Client again(s, pagePath(s));
    QVERIFY(again.waitOpen());
    QTRY_COMPARE(s.connectionCount(), ClockServer::MaxConnections);
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
