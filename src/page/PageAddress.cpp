#include "page/PageAddress.h"

#include "platform/ProfileFile.h"

#include <QList>
#include <QRandomGenerator>
#include <cstring>

namespace page {

using platform::ProfileFile;

namespace {

bool allOf(const QByteArray &s, const char *allowed)
{
    for (char c : s)
        if (!std::strchr(allowed, c))
            return false;
    return true;
}

} // namespace

PageAddress newPageAddress(quint16 port)
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    PageAddress a;
    a.token = QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
    a.pin = QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(1000000), 6, 10, QLatin1Char('0'));
    a.port = port;
    return a;
}

std::optional<PageAddress> parsePageAddress(const QByteArray &text)
{
    // Read as the settings file is read.
    const ProfileFile file = ProfileFile::fromBytes(text);
    const auto value = [&](const char *key) {
        return file.value(QStringLiteral("Page"), QString::fromLatin1(key)).value_or(QString()).toLatin1();
    };
    const QByteArray token = value("Token"), pin = value("PIN"), port = value("Port");
    bool number = false;
    const uint portNumber = port.toUInt(&number);
    if (token.size() != 32 || !allOf(token, "0123456789abcdef") || pin.size() != 6 || !allOf(pin, "0123456789")
        || !number || portNumber < 1024 || portNumber > 65535)
        return std::nullopt;
    return PageAddress{token, QString::fromLatin1(pin), quint16(portNumber)};
}

QByteArray formatPageAddress(const PageAddress &a)
{
    return "[Page]\nToken=" + a.token + "\nPort=" + QByteArray::number(a.port) + "\nPIN=" + a.pin.toLatin1() + '\n';
}

} // namespace page
