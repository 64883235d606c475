#pragma once
// What is spoken at the start of a game and at every change of level. In spoken texts the
// currency symbol follows the amount ("25£"), as a listener hears it.

#include "announce/Phrases.h"

// Start, a line break, then the first level's blinds.
QString startAnnouncement(const Phrases &p, const QString &small, const QString &big, const QString &currency);
// The blinds, and with an ante in force a full stop, a line break and the ante sentence.
QString levelAnnouncement(const Phrases &p, const QString &small, const QString &big, const QString &currency,
                          qint64 ante);
