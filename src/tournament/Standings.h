#pragma once
// Who finished where, with the prize of each place, as the count stands.

#include "tournament/Ledger.h"
#include "tournament/Results.h"

#include <QStringList>
#include <vector>

namespace tournament {

// Every player out for good, and the last player once only one is left, 1st first; each line
// with the player's name, buy-ins and the prize their place takes. The busts a player re-entered
// from are no lines: the places run from 1 to the number of players.
std::vector<Place> standings(const Ledger &ledger);
// "1st  Anna · Table 1, Seat 4 · £200": a place as the display and the page list it.
QString placeLine(const Place &place, const QString &currency);
// The buy-in sitting alone once one player is left (0: not known, or more than one left).
qint64 lastStanding(const Ledger &ledger);

} // namespace tournament
