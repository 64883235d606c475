#pragma once
// What the page server's own files share, and nothing else includes: a page's socket as the
// server keeps it, and what it keeps of an HTTP connection.

#include "page/ClockServer.h"
#include "page/ControlProof.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <functional>
#include <memory>
#include <utility>

namespace page {

// What the server keeps of an open page's socket.
struct ClockServer::Phone {
    std::unique_ptr<QWebSocket> socket;
    QPointer<QTcpSocket> tcp; // under the socket: what it has not sent yet
    quint64 id = 0;
    int missedPings = 0;
    QByteArray key;                  // the control key bound to it; empty: it watches
    QByteArray nonce;                // what it proves a key or the link against, once
    bool behind = false;             // still sending a push: the newest follows once it is sent
    qint64 stuckSince = -1;          // since when the system has taken none of its bytes
    QString pinAsked;                // a PIN waiting for its turn
    qint64 credit = MaxTaps * TapMs; // milliseconds of taps in hand: a tap costs TapMs
    qint64 tapsAt = 0;
    qint64 refusedAt = -1; // when it was last told it taps too fast
    bool letGo = false;    // too far behind: being cut
    QString address;       // what it is counted under when room is made
};

// What the server keeps of an HTTP connection while it waits for, reads and answers requests.
class Connection : public QObject {
public:
    static constexpr char Name[] = "chiplark-http-connection";
    Connection(QTcpSocket *socket, quint64 order) : QObject(socket), order(order)
    {
        setObjectName(QLatin1String(Name));
        deadline.setSingleShot(true);
        deadline.start(ClockServer::IdleMs);
    }
    QTimer deadline;
    quint64 order;          // accepted after every connection with a smaller one
    bool inRequest = false; // bytes of a request have come
    qint64 bodyLeft = 0;    // bytes of a body still to pass over
    bool ending = false;    // the last answer is written; the connection closes
};

// A connection's place in the counts per address and in all, given back once: when it closes,
// or when it becomes a phone with control, which counts against neither.
class Counted : public QObject {
public:
    static constexpr char Name[] = "chiplark-counted";
    Counted(QTcpSocket *socket, std::function<void()> release) : QObject(socket), release_(std::move(release))
    {
        setObjectName(QLatin1String(Name));
    }
    ~Counted() override { release(); } // with its socket
    Counted(const Counted &) = delete;
    Counted &operator=(const Counted &) = delete;
    void release()
    {
        if (release_)
            std::exchange(release_, nullptr)();
    }

private:
    std::function<void()> release_;
};

inline Counted *countedOf(QTcpSocket *socket)
{
    return static_cast<Counted *>(
        socket->findChild<QObject *>(QLatin1String(Counted::Name), Qt::FindDirectChildrenOnly));
}

inline Connection *connectionOf(QTcpSocket *socket)
{
    // Found by name: the class has no meta-object of its own to be told apart by.
    return static_cast<Connection *>(
        socket->findChild<QObject *>(QLatin1String(Connection::Name), Qt::FindDirectChildrenOnly));
}

// The address a connection is counted under: one phone, one TV, one computer.
inline QString hostKey(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

// A viewing token or a control key: 32 hex digits. A TV reloading an address that was renewed
// reads why it no longer works.
inline bool looksLikeToken(const QByteArray &part)
{
    static const QRegularExpression token(QStringLiteral("^[0-9a-f]{32}$"));
    return token.match(QLatin1String(part)).hasMatch();
}

inline QByteArray compact(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace page
