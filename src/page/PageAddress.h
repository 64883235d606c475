#pragma once
// The page's address as the host's TVs know it: the viewing token, the port and the control
// PIN, kept in a file beside the settings so that the same address serves evening after
// evening, until the host asks for a new one.

#include <QByteArray>
#include <QString>
#include <optional>

namespace page {

struct PageAddress {
    QByteArray token; // 128 random bits, in hex
    QString pin;      // six digits
    quint16 port = 0;
    bool operator==(const PageAddress &o) const { return token == o.token && pin == o.pin && port == o.port; }
    bool operator!=(const PageAddress &o) const { return !(*this == o); }
};

// A new token and PIN, from the system's random source.
PageAddress newPageAddress(quint16 port);
// The file's text; nothing when it does not hold a whole, well-formed address.
std::optional<PageAddress> parsePageAddress(const QByteArray &text);
QByteArray formatPageAddress(const PageAddress &address);

} // namespace page
