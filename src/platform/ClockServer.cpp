#include "platform/ClockServer.h"

#include "platform/Colour.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <qrencode.h>

// Resources are registered outside any namespace.
static void initPageResource()
{
    Q_INIT_RESOURCE(page);
}

namespace platform {

namespace {

QByteArray randomToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
}

// The same length and bytes, compared in the same time whatever they hold.
bool sameToken(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char differ = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        differ |= static_cast<unsigned char>(a[i] ^ b[i]);
    return differ == 0;
}

QString colourName(qint32 colour)
{
    return toQColor(colour).name();
}

QByteArray page()
{
    initPageResource();
    QFile f(QStringLiteral(":/page/clock.html"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The host the phones and TVs of this network reach us by.
QString localAddress()
{
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning)
            || (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : i.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.ip().isLoopback())
                return e.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}

} // namespace

ClockServer::ClockServer() : token_(randomToken())
{
    pin_ = QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(1000000), 6, 10, QLatin1Char('0'));
    lastState_ = stateMessage(DisplayState{});
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &ClockServer::acceptWebSockets);
}

ClockServer::~ClockServer()
{
    // The sockets go first, told nothing of it: their signals would reach a server half gone.
    stop();
}

bool ClockServer::start(QString *why)
{
    if (running())
        return true;
    auto tcp = std::make_unique<QTcpServer>();
    for (int i = 0; i < PortsTried; ++i) {
        if (tcp->listen(QHostAddress::Any, quint16(FirstPort + i))) {
            port_ = tcp->serverPort();
            tcp_ = tcp.release();
            bind(tcp_); // ours from here
            return true;
        }
    }
    if (why)
        *why = QStringLiteral("No free port from %1 to %2: %3")
                   .arg(FirstPort)
                   .arg(FirstPort + PortsTried - 1)
                   .arg(tcp->errorString());
    return false;
}

void ClockServer::stop()
{
    delete tcp_; // nothing listens any more
    tcp_ = nullptr;
    port_ = 0;
    for (const auto &client : clients_) {
        client->disconnect(this);
        client->close();
    }
    clients_.clear();
}

QString ClockServer::address() const
{
    if (!running())
        return QString();
    return QStringLiteral("http://%1:%2/%3/").arg(localAddress()).arg(port_).arg(QString::fromLatin1(token_));
}

QImage ClockServer::qrCode() const
{
    const QByteArray text = address().toUtf8();
    if (text.isEmpty())
        return QImage();
    QRcode *code = QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return QImage();
    constexpr int quiet = 4;
    const int size = code->width + 2 * quiet;
    QImage image(size, size, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                image.setPixel(x + quiet, y + quiet, 1);
    QRcode_free(code);
    return image;
}

QByteArray ClockServer::stateMessage(const DisplayState &s)
{
    QJsonObject colours{{QStringLiteral("back"), colourName(s.backColour)},
                        {QStringLiteral("text"), colourName(s.textColour)},
                        {QStringLiteral("ante"), colourName(s.anteColour)},
                        {QStringLiteral("title"), colourName(s.titleColour)}};
    QJsonObject o{{QStringLiteral("type"), QStringLiteral("state")},
                  {QStringLiteral("shown"), s.shown},
                  {QStringLiteral("paused"), s.paused},
                  {QStringLiteral("inBreak"), s.inBreak},
                  {QStringLiteral("round"), s.round},
                  {QStringLiteral("secondsLeft"), s.secondsLeft},
                  {QStringLiteral("levelSeconds"), s.levelSeconds},
                  {QStringLiteral("gameSeconds"), double(s.gameSeconds)},
                  {QStringLiteral("small"), s.smallBlind},
                  {QStringLiteral("big"), s.bigBlind},
                  {QStringLiteral("ante"), s.anteAmount},
                  {QStringLiteral("currency"), s.currency},
                  {QStringLiteral("next"), s.nextLevel},
                  {QStringLiteral("lastLevel"), s.lastLevel},
                  {QStringLiteral("breakNext"), s.breakNext},
                  {QStringLiteral("title"), s.gameTitle},
                  {QStringLiteral("blindsText"), s.blinds.text},
                  {QStringLiteral("anteText"), s.ante.visible ? s.ante.text : QString()},
                  {QStringLiteral("colours"), colours}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void ClockServer::publish(const DisplayState &state)
{
    lastState_ = stateMessage(state);
    const QString text = QString::fromUtf8(lastState_);
    for (const auto &client : clients_)
        client->sendTextMessage(text);
}

bool ClockServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // "/<token>/" is the page; everything else without the token is refused.
    const QByteArray path = request.url().path(QUrl::FullyEncoded).toLatin1();
    const QList<QByteArray> parts = path.split('/');
    const bool tokenGiven = parts.size() >= 2 && sameToken(parts[1], token_);
    // A WebSocket is taken on (true) without an answer here, on the page's own path only;
    // the handshake and acceptWebSockets() check the rest. Any other upgrade is answered
    // and then dropped (false).
    const bool upgrade =
        request.value(QByteArrayLiteral("upgrade")).compare(QByteArrayLiteral("websocket"), Qt::CaseInsensitive) == 0;
    if (upgrade && tokenGiven && parts.size() == 3 && parts[2] == "ws")
        return true;
    const bool handled = !upgrade;
    QHttpServerResponder responder = makeResponder(request, socket);
    if (!tokenGiven) {
        responder.write(QByteArrayLiteral("Forbidden\n"), QByteArrayLiteral("text/plain"),
                        QHttpServerResponder::StatusCode::Forbidden);
        return handled;
    }
    const bool isPage = (parts.size() == 2 || (parts.size() == 3 && parts[2].isEmpty()));
    if (!isPage || request.method() != QHttpServerRequest::Method::Get) {
        responder.write(QByteArrayLiteral("Not found\n"), QByteArrayLiteral("text/plain"),
                        QHttpServerResponder::StatusCode::NotFound);
        return handled;
    }
    responder.write(page(),
                    {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/html; charset=utf-8")},
                     {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")},
                     {QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff")},
                     {QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer")},
                     {QByteArrayLiteral("Content-Security-Policy"),
                      QByteArrayLiteral("default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                                        "connect-src 'self'")}});
    return handled;
}

void ClockServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    makeResponder(request, socket)
        .write(QByteArrayLiteral("Forbidden\n"), QByteArrayLiteral("text/plain"),
               QHttpServerResponder::StatusCode::Forbidden);
}

// Deleted once its own signal handling is over, and with the server at the latest.
void ClockServer::dispose(QWebSocket *socket)
{
    socket->setParent(this);
    socket->deleteLater();
}

void ClockServer::acceptWebSockets()
{
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> client = nextPendingWebSocketConnection();
        if (!client)
            continue;
        const QUrl url = client->requestUrl();
        const QByteArray wanted = '/' + token_ + QByteArrayLiteral("/ws");
        // The page itself, on the address it was served from, and no one else.
        const QString origin = QStringLiteral("http://%1:%2").arg(url.host()).arg(url.port(80));
        const bool allowed = running() && sameToken(url.path(QUrl::FullyEncoded).toLatin1(), wanted)
                             && client->origin() == origin && int(clients_.size()) < MaxConnections;
        if (!allowed) {
            client->close(QWebSocketProtocol::CloseCodePolicyViolated);
            dispose(client.release());
            continue;
        }
        QWebSocket *raw = client.get();
        raw->setMaxAllowedIncomingMessageSize(16 * MaxMessageBytes);
        connect(raw, &QWebSocket::textMessageReceived, this,
                [this, raw](const QString &message) { received(raw, message); });
        connect(raw, &QWebSocket::disconnected, this, [this, raw] {
            for (auto it = clients_.begin(); it != clients_.end(); ++it)
                if (it->get() == raw) {
                    dispose(it->release());
                    clients_.erase(it);
                    break;
                }
        });
        clients_.push_back(std::move(client));
        raw->sendTextMessage(QString::fromUtf8(lastState_));
    }
}

bool ClockServer::checkPin(const QHostAddress &from, const QString &pin, bool *locked)
{
    Failures &f = failures_[from.toString()];
    *locked = f.lockedSince.isValid() && f.lockedSince.elapsed() < LockOutMs;
    if (*locked)
        return false;
    if (f.lockedSince.isValid()) { // the minute is over
        f.lockedSince.invalidate();
        f.count = 0;
    }
    if (pin.size() == pin_.size() && sameToken(pin.toLatin1(), pin_.toLatin1())) {
        f.count = 0;
        return true;
    }
    if (++f.count >= MaxWrongPins)
        f.lockedSince.start();
    *locked = f.lockedSince.isValid();
    return false;
}

void ClockServer::received(QWebSocket *client, const QString &message)
{
    if (message.size() > MaxMessageBytes)
        return;
    const QJsonDocument doc = QJsonDocument::fromJson(message.toUtf8());
    if (!doc.isObject())
        return;
    const QJsonObject o = doc.object();
    const QString action = o.value(QStringLiteral("action")).toString();
    if (action != QLatin1String("pin") && action != QLatin1String("pause") && action != QLatin1String("next"))
        return;
    bool locked = false;
    const bool ok = checkPin(client->peerAddress(), o.value(QStringLiteral("pin")).toString(), &locked);
    const QJsonObject reply{{QStringLiteral("type"), QStringLiteral("pin")},
                            {QStringLiteral("ok"), ok},
                            {QStringLiteral("locked"), locked}};
    client->sendTextMessage(QString::fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact)));
    if (!ok || action == QLatin1String("pin") || !handler_)
        return;
    handler_(action == QLatin1String("pause") ? RemoteAction::PauseResume : RemoteAction::NextLevel);
}

} // namespace platform

// Compiled here, not with the library's other meta-objects, so only what serves the page
// links Qt HttpServer.
#include "moc_ClockServer.cpp" // NOLINT(bugprone-suspicious-include)
