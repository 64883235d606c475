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

// Whether a break follows the level that has just ended: after level `every` alone, or with
// `repeat` after every multiple of it; never when `every` is 0 or less.
bool breakAfter(qint64 level, qint64 every, bool repeat);
