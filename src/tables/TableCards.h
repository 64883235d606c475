#pragma once
// The table cards: a printed sheet for each open table, its number large and every seat with
// the name of the player in it, for the table itself.

#include "tables/SeatCalls.h"
#include "tables/Seating.h"

#include <QByteArray>
#include <QString>

namespace tables {

// title: the display's title (may be empty); when: "Thursday 10 December 2026, 21:04".
QByteArray tableCardsHtml(const Seating &seating, const NameAt &nameAt, const QString &title, const QString &when);

} // namespace tables
