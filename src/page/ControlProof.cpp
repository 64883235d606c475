#include "page/ControlProof.h"

#include "page/PageAddress.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

namespace page::proof {

QByteArray randomCode()
{
    return newPageAddress(0).token;
}

QByteArray hmacHex(const QByteArray &secret, const QByteArray &message)
{
    return QMessageAuthenticationCode::hash(message, secret, QCryptographicHash::Sha256).toHex();
}

QByteArray ofKey(const QByteArray &key, const QByteArray &nonce)
{
    return hmacHex(key, nonce);
}

QByteArray ofLink(const QByteArray &link, const QByteArray &nonce)
{
    return hmacHex(link, "link " + nonce);
}

QByteArray linkKey(const QByteArray &link, const QByteArray &nonce)
{
    return hmacHex(link, "key " + nonce).left(32);
}

bool same(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char differ = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        differ |= static_cast<unsigned char>(a[i] ^ b[i]);
    return differ == 0;
}

} // namespace page::proof
