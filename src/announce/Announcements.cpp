#include "announce/Announcements.h"

static QString blindsSentence(const Phrases &p, const QString &small, const QString &big, const QString &c)
{
    return p.BlindsAreNow + QLatin1Char(' ') + small + c + QLatin1Char(' ') + p.And + QLatin1Char(' ') + big + c;
}

QString startAnnouncement(const Phrases &p, const QString &small, const QString &big, const QString &currency)
{
    return p.Start + QStringLiteral("\r\n") + blindsSentence(p, small, big, currency);
}

QString levelAnnouncement(const Phrases &p, const QString &small, const QString &big, const QString &currency,
                          qint64 ante)
{
    if (ante <= 0)
        return blindsSentence(p, small, big, currency);
    return blindsSentence(p, small, big, currency) + QStringLiteral(".\r\n") + p.Ante + QLatin1Char(' ')
           + QString::number(ante) + currency;
}
