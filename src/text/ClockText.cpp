#include "text/ClockText.h"

QString countdownText(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    const qint64 m = seconds / 60;
    const qint64 r = seconds % 60;
    if (m == 0)
        return QStringLiteral("%1 seconds").arg(r);
    return QStringLiteral("%1 %2 and %3 seconds")
        .arg(m)
        .arg(m == 1 ? QStringLiteral("minute") : QStringLiteral("minutes"))
        .arg(r);
}

QString blindsText(const QString &currency, const QString &small, const QString &big)
{
    return currency + small + QStringLiteral(" / ") + currency + big;
}

QString roundText(qint64 round)
{
    return QStringLiteral("Current Round: Round ") + QString::number(round) + QLatin1Char('.');
}

QString anteText(const QString &currency, qint64 ante)
{
    return QStringLiteral("Ante: ") + currency + QString::number(ante);
}

bool breakAfter(qint64 level, qint64 every, bool repeat)
{
    if (every <= 0 || level <= 0)
        return false;
    return repeat ? level % every == 0 : level == every;
}
