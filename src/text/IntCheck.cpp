#include "text/IntCheck.h"

#include <QString>

void IntCheck(qint16 &KeyAscii)
{
    if (KeyAscii == 8)
        return;
    if (KeyAscii > '9' || KeyAscii < '0')
        KeyAscii = 0;
}

QString TextTypeCheck(const QString &text, const QString &ignore)
{
    qint16 digit = 0, letter = 0, other = 0;
    for (QChar c : text) {
        if (ignore.contains(c, Qt::CaseInsensitive))
            continue;
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            digit = 1;
        else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'))
            letter = 2;
        else
            other = 3;
    }
    switch (digit + letter + other) {
    case 0: return QStringLiteral("Empty");
    case 1: return QStringLiteral("Number");
    case 2: return QStringLiteral("Letter");
    default: return QStringLiteral("Mixed");
    }
}
