#include "page/ClockServer.h"

#include "page/NetworkAddress.h"
#include "page/PageMessages.h"
#include "page/ServerParts.h"
#include "platform/OffThread.h"
#include "platform/RegularFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTcpServer>
#include <QWebSocketServer>
#include <algorithm>
#include <cstdio>
#include <qrencode.h>

namespace page {

using platform::FileContents;
using platform::FileState;
using platform::readRegularFile;
using platform::runOffThread;
using proof::randomCode;

namespace {

// A steady clock for the PIN's minutes and the taps.
qint64 steadyMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

QImage qrImage(const QString &text)
{
    if (text.isEmpty())
        return QImage();
    QRcode *code = QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
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

constexpr qint64 PageAddressBytes = 4096;

} // namespace

ClockServer::ClockServer() : kept_(newPageAddress(0)), link_(randomCode())
{
    lastState_ = stateMessage(DisplayState{});
    pinTurn_ = new QTimer(this);
    pinTurn_->setSingleShot(true);
    connect(pinTurn_, &QTimer::timeout, this, &ClockServer::givePinTurns);
    ping_ = new QTimer(this);
    ping_->setInterval(PingMs);
    connect(ping_, &QTimer::timeout, this, &ClockServer::pingAll);
}

qint64 ClockServer::now() const
{
    return clock_ ? clock_() : steadyMs();
}

void ClockServer::setPingInterval(int ms)
{
    ping_->setInterval(ms);
}

ClockServer::~ClockServer()
{
    // The sockets go first, told nothing of it: their signals would reach a server half gone.
    stop();
}

void ClockServer::setAddressFile(const QString &path)
{
    if (path == addressFile_)
        return;
    addressFile_ = path;
    addressLoaded_ = false;
}

// The address kept from an earlier run, once; a file that is there but cannot be read is
// left alone, and a new address is used without being kept.
void ClockServer::loadAddress()
{
    if (addressLoaded_ || addressFile_.isEmpty())
        return;
    addressLoaded_ = true;
    FileContents file;
    runOffThread([&] { file = readRegularFile(addressFile_, PageAddressBytes, false); });
    addressFileReadable_ = file.state != FileState::Unreadable;
    if (file.state == FileState::Regular) {
        addressOnDisk_ = file.bytes;
        if (const std::optional<PageAddress> kept = parsePageAddress(file.bytes))
            kept_ = *kept;
    }
}

// The file is written away from the window's thread; a write that fails is said in the
// options (the address will not stay the same) and tried again until it is kept.
void ClockServer::keepAddress()
{
    if (addressFile_.isEmpty() || !addressFileReadable_)
        return;
    const QByteArray text = formatPageAddress(kept_);
    if (text == addressOnDisk_)
        return;
    addressOnDisk_ = text;
    if (!addressWriter_) {
        addressWriter_ = std::make_unique<platform::LatestFileWriter>(QStringLiteral("the page's address"),
                                                                      std::chrono::milliseconds(0),
                                                                      platform::LatestFileWriter::DefaultRetry, true);
        addressWriter_->setReport([this](bool kept, const QString &line) {
            std::fprintf(stderr, "Chiplark: %s\n", qPrintable(line));
            QMetaObject::invokeMethod(
                this,
                [this, kept, line] {
                    addressNotKept_ = kept ? QString() : line;
                    if (controlChanged_)
                        controlChanged_();
                },
                Qt::QueuedConnection);
        });
    }
    addressWriter_->write(addressFile_, text);
}

bool ClockServer::start(QString *why)
{
    if (running())
        return true;
    loadAddress();
    auto tcp = std::make_unique<QTcpServer>();
    const quint16 keptPort = kept_.port;
    std::vector<quint16> ports;
    if (keptPort != 0)
        ports.push_back(keptPort);
    for (int i = 0; i < PortsTried; ++i)
        if (quint16(FirstPort + i) != keptPort)
            ports.push_back(quint16(FirstPort + i));
    bool listening = false;
    for (quint16 port : ports)
        if ((listening = tcp->listen(QHostAddress::Any, port)))
            break;
    if (!listening) {
        if (why)
            *why = QStringLiteral("No free port from %1 to %2: %3")
                       .arg(FirstPort)
                       .arg(FirstPort + PortsTried - 1)
                       .arg(tcp->errorString());
        return false;
    }
    kept_.port = tcp->serverPort();
    moved_ = keptPort != 0 && kept_.port != keptPort;
    tcp_ = tcp.release();
    connect(tcp_, &QTcpServer::newConnection, this, &ClockServer::acceptConnections);
    sockets_ = new QWebSocketServer(QStringLiteral("Chiplark"), QWebSocketServer::NonSecureMode, this);
    sockets_->setMaxPendingConnections(MaxWebSockets);
    connect(sockets_, &QWebSocketServer::newConnection, this, &ClockServer::acceptWebSockets);
    findNetwork();
    keepAddress();
    loadKeys();
    ping_->start();
    return true;
}

// Where phones and TVs reach this computer: the interface with the default route first.
void ClockServer::findNetwork()
{
    const AddressChoice reach = currentAddressChoice();
    host_ = reach.host;
    noNetwork_ = reach.noNetwork;
    others_.clear();
    for (const QString &other : reach.others)
        others_ << QStringLiteral("http://%1:%2/%3/").arg(other).arg(kept_.port).arg(QString::fromLatin1(kept_.token));
}

void ClockServer::stop()
{
    ping_->stop();
    pinTurn_->stop();
    for (const auto &phone : clients_) {
        guard_.forget(phone->id);
        phone->socket->disconnect(this);
        phone->socket->abort();
    }
    clients_.clear();
    // Control ends with serving: a phone pairs again when the page is served again.
    const bool hadKeys = !keys_.empty();
    const bool keptKeys = hadKeys || !keptKeys_.empty();
    keys_.clear();
    keptKeys_.clear();
    if (keptKeys)
        keepKeys();
    if (hadKeys && controlChanged_)
        controlChanged_();
    // Sockets already let go of end now, while the connections under them still exist.
    for (const QPointer<QWebSocket> &gone : disposed_)
        delete gone.data();
    disposed_.clear();
    delete sockets_; // with any socket still in its handshake
    sockets_ = nullptr;
    delete tcp_; // nothing listens any more, and every connection it accepted is gone
    tcp_ = nullptr;
}

bool ClockServer::renewAddress(QString *why)
{
    kept_ = newPageAddress(kept_.port);
    addressLoaded_ = true; // the kept one is no longer wanted
    addressFileReadable_ = true;
    moved_ = false;
    if (!running())
        return start(why);
    // The new address is kept before any page learns the old one is gone.
    findNetwork();
    keepAddress();
    // Open pages learn that their address is gone, and say so; nothing asked of the old
    // address is answered any more.
    const QString moved = QStringLiteral("{\"type\":\"moved\"}");
    std::vector<std::unique_ptr<Phone>> leaving = std::move(clients_);
    clients_.clear();
    keys_.clear();
    keptKeys_.clear();
    keepKeys();
    link_ = randomCode();
    for (auto &phone : leaving) {
        guard_.forget(phone->id);
        QWebSocket *client = phone->socket.release();
        client->disconnect(this);
        client->sendTextMessage(moved);
        client->flush();
        client->close(QWebSocketProtocol::CloseCodeGoingAway);
        dispose(client);
    }
    if (controlChanged_)
        controlChanged_();
    for (QTcpSocket *socket : tcp_->findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly))
        if (connectionOf(socket))
            socket->abort();
    return true;
}

QString ClockServer::address() const
{
    if (!running())
        return QString();
    return QStringLiteral("http://%1:%2/%3/").arg(host_).arg(kept_.port).arg(QString::fromLatin1(kept_.token));
}

QImage ClockServer::qrCode() const
{
    return qrImage(address());
}

QString ClockServer::controlLink() const
{
    return running() ? address() + QStringLiteral("#control=") + QString::fromLatin1(link_) : QString();
}

QImage ClockServer::controlCode() const
{
    return qrImage(controlLink());
}

// Put into words once per pass of the event loop, however many states came in it, and only
// while a page is open.
void ClockServer::publish(const DisplayState &state)
{
    unsent_ = state;
    if (clients_.empty() || std::exchange(pushing_, true))
        return;
    QMetaObject::invokeMethod(this, &ClockServer::push, Qt::QueuedConnection);
}

void ClockServer::push()
{
    pushing_ = false;
    if (clients_.empty() || !unsent_)
        return;
    lastState_ = stateMessage(*std::exchange(unsent_, std::nullopt));
    // A socket dropped while sending leaves the list: go over a copy of who was there.
    std::vector<Phone *> phones;
    for (const auto &phone : clients_)
        phones.push_back(phone.get());
    for (Phone *phone : phones)
        pushTo(*phone);
}

// The latest state, unless the last push is still on its way: then it follows once that is.
void ClockServer::pushTo(Phone &phone)
{
    phone.behind = phone.tcp && phone.tcp->bytesToWrite() > 0;
    if (phone.behind)
        return cutIfStuck(phone);
    send(phone, lastState_);
}

ClockServer::Phone *ClockServer::phoneOf(const QWebSocket *socket)
{
    for (const auto &phone : clients_)
        if (phone->socket.get() == socket)
            return phone.get();
    return nullptr;
}

// A reader the system takes nothing from for a long while (a phone asleep with its socket
// open, or one that never reads) is let go rather than held in memory; one that reads slowly
// stays, however much one pass of the event loop gave it.
void ClockServer::send(Phone &phone, const QByteArray &message)
{
    if (phone.letGo)
        return;
    if (phone.tcp && phone.tcp->bytesToWrite() + message.size() > MaxUnsentBytes)
        return cutIfStuck(phone, true); // beyond any reader
    phone.socket->sendTextMessage(QString::fromUtf8(message));
}

void ClockServer::cutIfStuck(Phone &phone, bool atOnce)
{
    const qint64 at = now();
    if (phone.stuckSince < 0)
        phone.stuckSince = at;
    if (phone.letGo || (!atOnce && at - phone.stuckSince < StuckMs))
        return;
    // Cut once the caller is done with it: its disconnected() takes it off the list.
    phone.letGo = true;
    QMetaObject::invokeMethod(phone.socket.get(), &QWebSocket::abort, Qt::QueuedConnection);
}

// Every watching socket is taken: the oldest of the address holding the most gives way. A
// phone with control is never let go for room.
void ClockServer::makeRoom()
{
    if (watchingCount() < MaxWebSockets)
        return;
    QHash<QString, int> held;
    for (const auto &phone : clients_)
        if (phone->key.isEmpty() && !phone->letGo)
            ++held[phone->address];
    Phone *oldest = nullptr;
    for (const auto &phone : clients_)
        if (phone->key.isEmpty() && !phone->letGo && (!oldest || held[phone->address] > held[oldest->address]))
            oldest = phone.get(); // the first of the busiest, as the list is in order of arrival
    if (!oldest)
        return;
    QWebSocket *socket = oldest->socket.get();
    socket->close(QWebSocketProtocol::CloseCodeGoingAway);
    drop(socket);
}

int ClockServer::watchingCount() const
{
    return int(std::count_if(clients_.begin(), clients_.end(),
                             [](const auto &phone) { return phone->key.isEmpty() && !phone->letGo; }));
}

void ClockServer::drop(QWebSocket *socket)
{
    for (auto it = clients_.begin(); it != clients_.end(); ++it)
        if ((*it)->socket.get() == socket) {
            guard_.forget((*it)->id);
            for (Key &k : keys_)
                if (k.phone == (*it)->id)
                    k.phone = 0;
            dispose((*it)->socket.release());
            clients_.erase(it);
            return;
        }
}

// Browsers answer pings by themselves; a phone gone without closing (out of range, its
// battery flat) misses two and frees its place.
void ClockServer::pingAll()
{
    std::vector<QWebSocket *> gone;
    for (const auto &phone : clients_) {
        if (phone->missedPings >= 2) {
            gone.push_back(phone->socket.get());
            continue;
        }
        ++phone->missedPings;
        phone->socket->ping();
    }
    for (QWebSocket *socket : gone)
        socket->abort();
}

// Deleted once its own signal handling is over, or when the server stops.
void ClockServer::dispose(QWebSocket *socket)
{
    socket->setParent(this);
    socket->deleteLater();
    // Those already deleted leave the list, so it holds only sockets still going.
    disposed_.erase(std::remove_if(disposed_.begin(), disposed_.end(),
                                   [](const QPointer<QWebSocket> &gone) { return gone.isNull(); }),
                    disposed_.end());
    disposed_.push_back(socket);
}

void ClockServer::acceptWebSockets()
{
    while (sockets_ && sockets_->hasPendingConnections()) {
        std::unique_ptr<QWebSocket> client(sockets_->nextPendingConnection());
        if (!client)
            continue;
        // An address renewed during the handshake.
        const QByteArray wanted = '/' + kept_.token + QByteArrayLiteral("/ws");
        if (!proof::same(client->requestUrl().path(QUrl::FullyEncoded).toLatin1(), wanted)) {
            client->close(QWebSocketProtocol::CloseCodePolicyViolated);
            dispose(client.release());
            continue;
        }
        makeRoom();
        QWebSocket *raw = client.get();
        raw->setMaxAllowedIncomingFrameSize(16 * MaxMessageBytes);
        raw->setMaxAllowedIncomingMessageSize(16 * MaxMessageBytes);
        auto phone = std::make_unique<Phone>();
        phone->socket = std::move(client);
        // The connection under it is still the listening server's child: found by its peer.
        for (QTcpSocket *tcp : tcp_->findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly))
            if (!connectionOf(tcp) && tcp->peerPort() == raw->peerPort() && tcp->peerAddress() == raw->peerAddress())
                phone->tcp = tcp;
        phone->id = ++accepted_;
        phone->tapsAt = now();
        phone->address = hostKey(raw->peerAddress());
        phone->nonce = randomCode();
        connect(raw, &QWebSocket::textMessageReceived, this,
                [this, raw](const QString &message) { received(raw, message); });
        connect(raw, &QWebSocket::pong, this, [this, raw] {
            if (Phone *p = phoneOf(raw))
                p->missedPings = 0;
        });
        connect(raw, &QWebSocket::disconnected, this, [this, raw] { drop(raw); });
        if (phone->tcp)
            connect(phone->tcp, &QTcpSocket::bytesWritten, this, [this, raw] {
                if (Phone *p = phoneOf(raw)) {
                    p->stuckSince = -1;
                    if (p->behind && p->tcp && p->tcp->bytesToWrite() == 0)
                        pushTo(*p);
                }
            });
        clients_.push_back(std::move(phone));
        Phone &added = *clients_.back();
        send(added, compact({{QStringLiteral("type"), QStringLiteral("hello")},
                             {QStringLiteral("nonce"), QString::fromLatin1(added.nonce)}}));
        if (unsent_)
            lastState_ = stateMessage(*std::exchange(unsent_, std::nullopt));
        send(added, lastState_);
    }
}

} // namespace page

// Compiled here, not with the library's other meta-objects, so only what serves the page
// links Qt WebSockets.
#include "moc_ClockServer.cpp" // NOLINT(bugprone-suspicious-include)
