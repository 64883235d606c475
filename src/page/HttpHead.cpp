#include "page/HttpHead.h"

#include <QList>

namespace platform {

namespace {

bool hasToken(const QByteArray &list, const QByteArray &token)
{
    for (const QByteArray &item : list.split(','))
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    return false;
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
    for (const QByteArray &line : lines)
        if (!line.endsWith('\r') && &line != &lines.last())
            return fail(HttpHead::State::Bad); // a bare line feed
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

    QByteArray connection, upgrade, contentLength, transferEncoding;
    bool lengthSeen = false;
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
        else if (name == "host")
            head.host = value;
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
    head.keepAlive = http11 && !hasToken(connection, "close");
    head.webSocket = http11 && hasToken(connection, "upgrade") && hasToken(upgrade, "websocket");
    head.state = HttpHead::State::Complete;
    return head;
}

QByteArray httpResponse(int status, const std::vector<std::pair<QByteArray, QByteArray>> &headers,
                        const QByteArray &body, bool close)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    for (const auto &[name, value] : headers)
        out += name + ": " + value + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (close)
        out += "Connection: close\r\n";
    out += "\r\n" + body;
    return out;
}

} // namespace platform
