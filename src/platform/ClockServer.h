#pragma once
// The clock on the local network, on Qt HttpServer and Qt WebSockets: one page, and a
// WebSocket that pushes the game to it as it changes.
//
// Rules for a shared network: the address carries a random viewing token (128 bits), and
// any request without it is refused (403); only the page's own routes exist; a WebSocket must
// come from the page itself (its Origin), at most 64 at once; a message over 4 kB, one that
// is not a JSON object, or an unknown action is ignored. The only controls are pause/resume
// and the next level, each with the six-digit PIN; five wrong PINs lock the address out for
// a minute. Nothing a client sends reaches the settings.

#include "display/DisplayState.h"
#include "platform/Platform.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <memory>
#include <vector>

class QTcpServer;
class QWebSocket;

namespace platform {

class ClockServer : public QAbstractHttpServer, public ClockPublisher {
    Q_OBJECT
public:
    ClockServer();
    ~ClockServer() override;

    bool start(QString *why) override;
    void stop() override;
    bool running() const override { return port_ != 0; }
    QString address() const override;
    QString pin() const override { return pin_; }
    QImage qrCode() const override;
    void publish(const DisplayState &state) override;
    void setActionHandler(std::function<void(RemoteAction)> handler) override { handler_ = std::move(handler); }

    // The port tried first; the next ones are taken when it is in use.
    static constexpr quint16 FirstPort = 8642;
    static constexpr int PortsTried = 20;
    static constexpr int MaxConnections = 64;
    static constexpr int MaxMessageBytes = 4096;
    static constexpr int MaxWrongPins = 5;
    static constexpr int LockOutMs = 60000;

    quint16 port() const { return port_; }
    QByteArray token() const { return token_; }
    int connectionCount() const { return int(clients_.size()); }
    // The state as the page receives it.
    static QByteArray stateMessage(const DisplayState &state);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    void acceptWebSockets();
    void dispose(QWebSocket *socket);
    void received(QWebSocket *client, const QString &message);
    // Whether the PIN is right; counts wrong ones and locks the address out.
    bool checkPin(const QHostAddress &from, const QString &pin, bool *locked);

    QTcpServer *tcp_ = nullptr;
    QByteArray token_;
    QString pin_;
    quint16 port_ = 0;
    QByteArray lastState_;
    std::vector<std::unique_ptr<QWebSocket>> clients_;
    std::function<void(RemoteAction)> handler_;
    struct Failures {
        int count = 0;
        QElapsedTimer lockedSince;
    };
    QHash<QString, Failures> failures_;
};

} // namespace platform
