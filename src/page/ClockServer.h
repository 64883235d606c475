#pragma once
// The clock on the local network: one page, and a WebSocket that pushes the game to it as it
// changes. A small HTTP/1.1 server of its own on Qt Network, with Qt WebSockets for the
// socket, so that every connection is bounded.
//
// Rules for a shared network: the address carries a random viewing token (128 bits), and
// any request without it is refused (403); only the page's own routes exist; a WebSocket must
// come from the page itself (its Origin), at most 64 at once; a message over 4 kB (but a list
// of names from a page with control, up to 64 kB), one that is not a JSON object, an unknown
// action or one with a malformed seat or list is ignored. Nothing a client sends reaches the
// settings.
//
// Control: a page pairs once, by the one-time link shown in the settings window or by the
// six-digit PIN (checked in turn, see PinGuard), and holds a control key of its own. Each
// socket is given a nonce, and a page proves its key (or the link) by an HMAC of it (see
// ControlProof): after pairing the key never travels, and a message seen on the network
// proves nothing on another socket. The key is bound to the socket that proved it last;
// actions carry neither PIN nor key. Keys live while the page is served, or until revoked,
// 16 at most (a 17th lets the phone paired first go, and tells it why); they are kept beside
// the address, owner-only, while it is served, so a program that dies mid-game honours them
// again at its next start. Each socket may act a few times a second; a burst beyond that is
// refused, not queued.
//
// Room: the caps count the sockets that watch, not those with control. When every watching
// socket is taken, a new one lets go the oldest watching socket of the address that holds the
// most, so guests cannot keep the host's phone out, and a phone with control never counts
// against its address.
//
// Rules for a home network: an address holds at most a few connections and the server a
// hundred or so; a request must arrive whole within seconds and an idle connection is
// closed; heads and bodies are small; Connection: close and HTTP/1.0 end the connection
// after the answer. The token, the port and the PIN are kept in a file, so a TV left on the
// page finds the clock again after a restart. When the server is full, the oldest connection
// that has not yet made a whole request gives way to a new one. The game is pushed once per
// pass of the event loop, the latest state only, and a socket still sending the last push is
// given the newest once it has: a burst never queues stale states. A socket whose bytes the
// system has refused for longer than a bound, or that misses two pings, is closed.

#include "clock/DisplayState.h"
#include "page/HttpHead.h"
#include "page/PageAddress.h"
#include "page/PinGuard.h"
#include "platform/LatestFileWriter.h"
#include "platform/Platform.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <vector>

class QTcpServer;
class QTimer;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace page {

struct PageMessage;

class ClockServer : public QObject, public platform::ClockPublisher {
    Q_OBJECT
public:
    ClockServer();
    ~ClockServer() override;

    bool start(QString *why) override;
    void stop() override;
    bool running() const override { return tcp_ != nullptr; }
    QString address() const override;
    QString pin() const override { return kept_.pin; }
    QImage qrCode() const override;
    QString controlLink() const override;
    QImage controlCode() const override;
    int phonesWithControl() const override { return int(keys_.size()); }
    void revokeControl() override;
    void setControlChanged(std::function<void()> changed) override { controlChanged_ = std::move(changed); }
    void publish(const DisplayState &state) override;
    void setActionHandler(std::function<GameReply(const GameCommand &)> handler) override
    {
        handler_ = std::move(handler);
    }
    void setAddressFile(const QString &path) override;
    bool renewAddress(QString *why) override;
    QStringList alsoReachable() const override { return others_; }
    bool noNetwork() const override { return noNetwork_; }
    bool addressMoved() const override { return moved_; }
    QString addressNotKept() const override { return addressNotKept_; }
    void forgetKeptControl() override;

    // The port tried first (unless one is kept); the next ones are taken when it is in use.
    static constexpr quint16 FirstPort = 8642;
    static constexpr int PortsTried = 20;
    static constexpr int MaxWebSockets = 64;              // watching; those with control come on top
    static constexpr int MaxPerAddress = 8;               // HTTP and WebSocket together
    static constexpr int MaxConnections = 128;            // the whole server, far below any descriptor limit
    static constexpr int RequestMs = 5000;                // a request, from its first byte, arrives whole within
    static constexpr int IdleMs = 10000;                  // a connection waiting for a request is closed after
    static constexpr qint64 MaxUnsentBytes = 1024 * 1024; // a socket's bytes not yet taken by the system
    static constexpr int StuckMs = 15000;                 // nor any of them, for this long: closed
    static constexpr int PingMs = 30000;                  // a socket is pinged, and closed after two missed
    static constexpr int MaxKeys = MaxControlKeys;        // the oldest gives way, told
    static constexpr int MaxTaps = 10;                    // actions in a burst from one socket,
    static constexpr int TapMs = 250;                     // then one each this often

    quint16 port() const { return running() ? kept_.port : 0; }
    QByteArray token() const { return kept_.token; }
    // WebSockets open now (and those watching), and connections of any kind.
    int connectionCount() const { return int(clients_.size()); }
    int watchingCount() const;
    int openConnections() const { return open_; }
    // Where the keys are kept: beside the address file.
    QString keysFile() const;
    // For tests: the steady clock the PIN's turns and the taps are counted on, and how often
    // sockets are pinged.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
    void setPingInterval(int ms);

private:
    void acceptConnections();
    void track(QTcpSocket *socket, const QString &key);
    void serve(QTcpSocket *socket);
    void answer(QTcpSocket *socket, int status, bool close, const QByteArray &body = QByteArray(),
                const QByteArray &type = QByteArray(), qint64 length = -1);
    // The request is a WebSocket for the page: true when it was handed on.
    bool upgrade(QTcpSocket *socket, const HttpHead &head);
    void acceptWebSockets();
    void dispose(QWebSocket *socket);
    void received(QWebSocket *client, const QString &message);
    struct Phone; // see ServerParts.h
    Phone *phoneOf(const QWebSocket *socket);
    void drop(QWebSocket *socket);
    void send(Phone &phone, const QByteArray &message);
    void push();
    void pushTo(Phone &phone);
    void makeRoom();
    void cutIfStuck(Phone &phone, bool atOnce = false);
    void pair(Phone &phone, const PageMessage &message);
    void givePinTurns();
    void trust(Phone &phone, const QByteArray &key, bool tellKey);
    void refuse(Phone &phone, const char *why);
    void takeControl(Phone &phone, const char *why);
    void act(Phone &phone, const PageMessage &message);
    void pingAll();
    void evictOldestRequest();
    qint64 now() const;
    void loadAddress();
    void keepAddress();
    // The keys of a run that died, once per run; and the keys as they stand, on disk.
    void loadKeys();
    void keepKeys();
    void findNetwork();

    QTcpServer *tcp_ = nullptr;
    QWebSocketServer *sockets_ = nullptr;
    PageAddress kept_;
    QString addressFile_;
    bool addressLoaded_ = false;
    bool addressFileReadable_ = true;
    QByteArray addressOnDisk_; // what the file holds, as read or last asked to be written
    QString addressNotKept_;   // why the last write failed; empty once it is kept
    std::unique_ptr<platform::LatestFileWriter> addressWriter_; // the file, written on a thread of its own
    bool moved_ = false;
    QString host_;
    QStringList others_;
    bool noNetwork_ = false;
    QByteArray lastState_;
    std::optional<DisplayState> unsent_; // published and not yet put into words
    bool pushing_ = false;               // a push is asked for the next pass of the event loop
    std::vector<std::unique_ptr<Phone>> clients_;
    std::vector<QPointer<QWebSocket>> disposed_;
    std::function<GameReply(const GameCommand &)> handler_;
    QHash<QString, int> perAddress_;
    int open_ = 0;
    quint64 accepted_ = 0; // connections so far: their order
    PinGuard guard_;
    QTimer *pinTurn_ = nullptr;
    QTimer *ping_ = nullptr;
    struct Key {
        QByteArray key;
        quint64 phone = 0; // the socket it is bound to, 0: none now
    };
    std::vector<Key> keys_; // oldest first
    // The keys given by a run that died, until they are proved again.
    std::vector<QByteArray> keptKeys_;
    bool keysLoaded_ = false;
    platform::LatestFileWriter keysWriter_{QStringLiteral("the phones' control keys"),
                                           platform::LatestFileWriter::DefaultGap,
                                           platform::LatestFileWriter::DefaultRetry, true};
    QByteArray link_; // the one-time control link's code
    std::function<void()> controlChanged_;
    std::function<qint64()> clock_;
};

} // namespace page
