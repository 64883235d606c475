#pragma once
// The texts the clock puts on the players' display.

#include <QString>

// "12 minutes and 0 seconds", "1 minute and 5 seconds", "45 seconds".
QString countdownText(qint64 seconds);
// "£25 / £50"
QString blindsText(const QString &currency, const QString &small, const QString &big);
// "Current Round: Round 4."
QString roundText(qint64 round);
// "Ante: £25"
QString anteText(const QString &currency, qint64 ante);
