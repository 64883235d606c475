#include "page/ServerParts.h"

#include <QFile>
#include <QTcpServer>
#include <QWebSocketServer>
#include <algorithm>

// Resources are registered outside any namespace.
static void initPageResource()
{
    Q_INIT_RESOURCE(page);
}

namespace page {

namespace {

QByteArray pageHtml()
{
    initPageResource();
    QFile f(QStringLiteral(":/page/clock.html"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray movedText()
{
    return QStringLiteral("This clock's address has changed \u2014 open the new one shown on the host's screen\n")
        .toUtf8();
}

constexpr qint64 MaxUnsentAnswerBytes = 256 * 1024; // answers waiting for a reader that does not read
constexpr int ClosingGraceMs = 2000;                // for the last answer to leave, before the line is cut

} // namespace

void ClockServer::acceptConnections()
{
    while (tcp_ && tcp_->hasPendingConnections()) {
        QTcpSocket *socket = tcp_->nextPendingConnection();
        const QString key = hostKey(socket->peerAddress());
        // A full server makes room by cutting the request that has waited longest to arrive.
        if (open_ >= MaxConnections && perAddress_.value(key) < MaxPerAddress)
            evictOldestRequest();
        // Over a limit the connection is cut at once: it holds nothing and learns nothing.
        if (open_ >= MaxConnections || perAddress_.value(key) >= MaxPerAddress) {
            socket->abort();
            delete socket;
            continue;
        }
        track(socket, key);
    }
}

// The connection accepted first among those still waiting for, or reading, a request: slow
// requests give way to new ones, so a TV gets in however many are held open. Pages already
// answered and sockets are never cut here.
void ClockServer::evictOldestRequest()
{
    QTcpSocket *oldest = nullptr;
    quint64 order = 0;
    for (QTcpSocket *socket : tcp_->findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly)) {
        const Connection *c = connectionOf(socket);
        if (c && !c->ending && (!oldest || c->order < order)) {
            oldest = socket;
            order = c->order;
        }
    }
    if (!oldest)
        return;
    oldest->abort();
    delete oldest; // counted off now, not at the next turn of the event loop
}

void ClockServer::track(QTcpSocket *socket, const QString &key)
{
    ++open_;
    ++perAddress_[key];
    // Counted until its descriptor is closed (or the socket is gone, whichever comes first),
    // also after it has become a WebSocket, unless that is given control.
    auto *counted = new Counted(socket, [this, key] {
        --open_;
        if (--perAddress_[key] <= 0)
            perAddress_.remove(key);
    });
    connect(socket, &QAbstractSocket::disconnected, counted, &Counted::release);
    socket->setReadBufferSize(HttpHead::MaxHeadBytes + HttpHead::MaxBodyBytes);
    auto *c = new Connection(socket, ++accepted_);
    connect(&c->deadline, &QTimer::timeout, socket, [this, socket, c] {
        if (c->ending || !c->inRequest) {
            socket->abort(); // idle, or an answer nobody reads
            return;
        }
        answer(socket, 408, true);
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { serve(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

// Reads what has come on a connection: requests are answered in turn, bodies passed over.
void ClockServer::serve(QTcpSocket *socket)
{
    Connection *c = connectionOf(socket);
    if (!c)
        return;
    if (c->ending) {
        socket->skip(socket->bytesAvailable());
        if (socket->bytesToWrite() == 0)
            socket->disconnectFromHost();
        return;
    }
    while (socket->bytesAvailable() > 0 && socket->bytesToWrite() < MaxUnsentAnswerBytes) {
        if (!c->inRequest) {
            c->inRequest = true;
            c->deadline.start(RequestMs);
        }
        if (c->bodyLeft > 0) {
            c->bodyLeft -= socket->skip(std::min(c->bodyLeft, socket->bytesAvailable()));
            if (c->bodyLeft > 0)
                return;
            c->inRequest = false;
            c->deadline.start(IdleMs);
            continue;
        }
        const HttpHead head = parseHttpHead(socket->peek(HttpHead::MaxHeadBytes));
        if (head.state == HttpHead::State::Incomplete)
            return;
        if (head.state != HttpHead::State::Complete) {
            answer(socket, head.errorStatus(), true);
            return;
        }
        const QList<QByteArray> parts = head.target.split('?').first().split('/');
        const bool tokenGiven = parts.size() >= 2 && proof::same(parts[1], kept_.token);
        if (head.webSocket && tokenGiven && parts.size() == 3 && parts[2] == "ws") {
            if (upgrade(socket, head))
                return;
            socket->skip(head.length);
            answer(socket, 403, true);
            return;
        }
        socket->skip(head.length);
        c->bodyLeft = head.bodyLength;
        const bool isPage = parts.size() == 2 || (parts.size() == 3 && parts[2].isEmpty());
        // A refused request ends its connection: only the page keeps one open.
        if (!tokenGiven) {
            answer(socket, 403, true, looksLikeToken(parts.value(1)) ? movedText() : QByteArrayLiteral("Forbidden\n"),
                   "text/plain; charset=utf-8");
            return;
        }
        if (!isPage) {
            answer(socket, 404, true, QByteArrayLiteral("Not found\n"));
            return;
        }
        if (head.method != "GET" && head.method != "HEAD") {
            answer(socket, 405, true, QByteArrayLiteral("Method not allowed\n"));
            return;
        }
        const bool close = !head.keepAlive || head.webSocket;
        const QByteArray body = pageHtml();
        // A HEAD is told the length its GET would have.
        answer(socket, 200, close, head.method == "GET" ? body : QByteArray(), "text/html; charset=utf-8", body.size());
        if (close)
            return;
        if (c->bodyLeft == 0) {
            c->inRequest = false;
            c->deadline.start(IdleMs);
        }
    }
}

void ClockServer::answer(QTcpSocket *socket, int status, bool close, const QByteArray &body, const QByteArray &type,
                         qint64 length)
{
    std::vector<std::pair<QByteArray, QByteArray>> headers{
        {"Content-Type", type.isEmpty() ? QByteArrayLiteral("text/plain") : type},
        {"Cache-Control", "no-store"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"}};
    if (status == 200)
        headers.emplace_back("Content-Security-Policy",
                             "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                             "connect-src 'self'");
    if (status == 405)
        headers.emplace_back("Allow", "GET, HEAD");
    socket->write(httpResponse(status, headers, body, close, length));
    if (!close)
        return;
    Connection *c = connectionOf(socket);
    c->ending = true;
    c->deadline.start(ClosingGraceMs);
    socket->skip(socket->bytesAvailable());
    socket->disconnectFromHost(); // once the answer has left
}

// A WebSocket for the page, from the page itself (its Origin is the address it was served
// from, IPv6 brackets and all) is handed to the WebSocket server, which answers the
// handshake from the bytes still unread.
bool ClockServer::upgrade(QTcpSocket *socket, const HttpHead &head)
{
    const bool ownOrigin = !head.host.isEmpty() && head.origin.compare("http://" + head.host, Qt::CaseInsensitive) == 0;
    if (!ownOrigin)
        return false;
    delete connectionOf(socket); // no longer a request: never cut to make room
    QObject::disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    QObject::disconnect(socket, &QTcpSocket::bytesWritten, this, nullptr);
    socket->setReadBufferSize(0); // the socket's frames are bounded from here
    sockets_->handleConnection(socket);
    return true;
}

} // namespace page
