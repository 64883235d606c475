#include "page/HttpHead.h"

#include <QList>

namespace page {

namespace {

bool hasToken(const QByteArray &list, const QByteArray &token)
{
    for (const QByteArray &item : list.split(','))
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A WebSocket key: 16 bytes in base64, so 22 characters and two '=' of padding.
bool isSocketKey(const QByteArray &key)
{
    if (key.size() != 24 || !key.endsWith("=="))
        return false;
    for (qsizetype i = 0; i < 22; ++i) {
        const char c = key[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/'))
            return false;
    }
    // The last character before the padding carries 2 bits only; the 4 it leaves are zero.
    return QByteArray::fromBase64(key).size() == 16 && QByteArray::fromBase64(key).toBase64() == key;
}

const char *reason(int status)
{
    switch (status) {
    case 101: return "Switching Protocols";
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Content Too Large";
    case 414: return "URI Too Long";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
    }
}

} // namespace

int HttpHead::errorStatus() const
{
    switch (state) {
    case State::Incomplete:
    case State::Complete: return 0;
    case State::Bad: return 400;
    case State::HeadTooLarge: return 431;
    case State::TargetTooLong: return 414;
    case State::BodyTooLarge: return 413;
    case State::BadVersion: return 505;
    }
    return 400;
}

HttpHead parseHttpHead(const QByteArray &bytes)
{
    HttpHead head;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0 || end + 4 > HttpHead::MaxHeadBytes) {
        // A request line that is already too long says so before the head is whole.
        const qsizetype lineEnd = bytes.indexOf("\r\n");
        if ((lineEnd < 0 ? bytes.size() : lineEnd) > HttpHead::MaxTargetBytes + 32)
            head.state = HttpHead::State::TargetTooLong;
        else if (end >= 0 || bytes.size() >= HttpHead::MaxHeadBytes)
            head.state = HttpHead::State::HeadTooLarge;
        return head;
    }
    head.length = int(end + 4);
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    const auto fail = [&](HttpHead::State state) {
        head.state = state;
        return head;
    };
    for (const QByteArray &line : lines) {
        if (!line.endsWith('\r') && &line != &lines.last())
            return fail(HttpHead::State::Bad); // a bare line feed
        // A carriage return or a NUL inside a line: read one way here and another elsewhere.
        const QByteArray inside = line.endsWith('\r') ? line.chopped(1) : line;
        if (inside.contains('\r') || inside.contains('\0'))
            return fail(HttpHead::State::Bad);
    }
    const QList<QByteArray> request = lines.first().trimmed().split(' ');
    if (request.size() != 3 || request[0].isEmpty() || request[1].isEmpty())
        return fail(HttpHead::State::Bad);
    head.method = request[0];
    head.target = request[1];
    if (head.target.size() > HttpHead::MaxTargetBytes)
        return fail(HttpHead::State::TargetTooLong);
    if (!head.target.startsWith('/'))
        return fail(HttpHead::State::Bad);
    const QByteArray &version = request[2];
    if (version != "HTTP/1.1" && version != "HTTP/1.0")
        return fail(version.startsWith("HTTP/") ? HttpHead::State::BadVersion : HttpHead::State::Bad);
    const bool http11 = version == "HTTP/1.1";

    QByteArray connection, upgrade, contentLength, transferEncoding, socketKey, socketVersion;
    bool lengthSeen = false;
    int hosts = 0, socketKeys = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].chopped(lines[i].endsWith('\r') ? 1 : 0);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || line.left(colon).contains(' ') || line.startsWith('\t'))
            return fail(HttpHead::State::Bad);
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "connection")
            connection += ',' + value;
        else if (name == "upgrade")
            upgrade = value;
        else if (name == "host") {
            head.host = value;
            ++hosts;
        } else if (name == "sec-websocket-key") {
            socketKey = value;
            ++socketKeys;
        } else if (name == "sec-websocket-version")
            socketVersion = value;
        else if (name == "origin")
            head.origin = value;
        else if (name == "transfer-encoding")
            transferEncoding = value;
        else if (name == "content-length") {
            if (lengthSeen && value != contentLength)
                return fail(HttpHead::State::Bad);
            lengthSeen = true;
            contentLength = value;
        }
    }
    if (!transferEncoding.isEmpty())
        return fail(HttpHead::State::BodyTooLarge); // nothing here takes a body in chunks
    if (lengthSeen) {
        bool number = !contentLength.isEmpty() && contentLength.size() <= 18;
        for (char c : contentLength)
            number = number && c >= '0' && c <= '9';
        if (!number)
            return fail(HttpHead::State::Bad);
        head.bodyLength = contentLength.toLongLong();
        if (head.bodyLength > HttpHead::MaxBodyBytes)
            return fail(HttpHead::State::BodyTooLarge);
    }
    // HTTP/1.1 names exactly one host; two would let the origin check read one and a proxy
    // another.
    if (hosts > 1 || (http11 && hosts == 0))
        return fail(HttpHead::State::Bad);
    head.keepAlive = http11 && !hasToken(connection, "close");
    head.webSocket = http11 && hasToken(connection, "upgrade") && hasToken(upgrade, "websocket");
    if (head.webSocket && (socketKeys != 1 || !isSocketKey(socketKey) || socketVersion != "13"))
        return fail(HttpHead::State::Bad);
    head.state = HttpHead::State::Complete;
    return head;
}

QByteArray httpResponse(int status, const std::vector<std::pair<QByteArray, QByteArray>> &headers,
                        const QByteArray &body, bool close, qint64 length)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    for (const auto &[name, value] : headers)
        out += name + ": " + value + "\r\n";
    out += "Content-Length: " + QByteArray::number(length < 0 ? body.size() : length) + "\r\n";
    if (close)
        out += "Connection: close\r\n";
    out += "\r\n" + body;
    return out;
}

} // namespace page
