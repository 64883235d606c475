#pragma once
// The head of an HTTP/1.x request as the clock's page server reads it: the request line and
// the headers, bounded, checked, and what they say about the body and the connection.

#include <QByteArray>
#include <utility>
#include <vector>

namespace page {

struct HttpHead {
    // Nothing the page needs comes near these.
    static constexpr int MaxHeadBytes = 8192;
    static constexpr int MaxTargetBytes = 1024;
    static constexpr qint64 MaxBodyBytes = 4096;

    enum class State {
        Incomplete,    // the blank line after the headers has not arrived yet
        Complete,      // a request to answer
        Bad,           // 400: not a request this server reads, or not one the rules allow
        HeadTooLarge,  // 431
        TargetTooLong, // 414
        BodyTooLarge,  // 413: a body over the bound, or one sent in chunks
        BadVersion,    // 505
    };
    State state = State::Incomplete;
    int length = 0; // the head's bytes, up to and with the blank line
    QByteArray method;
    QByteArray target;
    bool keepAlive = false; // the connection stays open after the answer
    bool webSocket = false; // asks to become a WebSocket
    qint64 bodyLength = 0;
    QByteArray host;
    QByteArray origin;

    // The status that answers a head that is not Complete (0 while Incomplete).
    int errorStatus() const;
};

// Reads the head from the bytes received so far on a connection.
HttpHead parseHttpHead(const QByteArray &bytes);

// A whole answer. close: the connection ends after it (and says so). length: the length the
// headers give when it is not the body's own (a HEAD gives the GET's).
QByteArray httpResponse(int status, const std::vector<std::pair<QByteArray, QByteArray>> &headers,
                        const QByteArray &body, bool close, qint64 length = -1);

} // namespace page
