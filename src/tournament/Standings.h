#pragma once
// Who finished where, with the prize of each place, as the count stands.

#include "tournament/Ledger.h"
#include "tournament/Results.h"

#include <QStringList>
#include <vector>

namespace tournament {

// Every bust, and the last player once only one is left, 1st first; each line with the name
// of its buy-in (names hold them in the order of the buy-ins) and the prize its place takes:
// with a re-entry the same place can come twice, and only its later line is paid.
std::vector<Place> standings(const Ledger &ledger, const QStringList &names);
// "1st  Anna · Table 1, Seat 4 · £200": a place as the display and the page list it.
QString placeLine(const Place &place, const QString &currency);
// The buy-in sitting alone once one player is left (0: not known, or more than one left).
qint64 lastStanding(const Ledger &ledger);

} // namespace tournament
