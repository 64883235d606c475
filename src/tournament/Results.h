#pragma once
// The night's results as they are kept: who finished where, with the prize each place took,
// and the figures of the evening, as a CSV for spreadsheets and a printable page.

#include "tables/Seating.h"
#include "tournament/Ledger.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace tournament {

// One line of the results: a player and where they finished, with what they bought. A bust a
// player re-entered from is no line of its own.
struct Place {
    qint64 place = 0;  // 1: the winner
    qint64 entry = 0;  // the player's number, from 1 in the order they came in; 0: not known
    QString name;      // empty: no name given
    tables::Seat seat; // the seat they had last; none without seats
    qint64 prize = 0;  // 0: not paid
    qint64 buyIns = 0; // the entry and its re-entries; 0: not known
    qint64 rebuys = 0;
    qint64 addOns = 0;
    qint64 knockouts = 0; // with bounties: the busts they had a part in
    qint64 bounty = 0;    // ... and the bounty money paid to them, their own head's too when they won
    bool operator==(const Place &o) const
    {
        return place == o.place && entry == o.entry && name == o.name && seat == o.seat && prize == o.prize
               && buyIns == o.buyIns && rebuys == o.rebuys && addOns == o.addOns && knockouts == o.knockouts
               && bounty == o.bounty;
    }
};

struct Results {
    QString title;         // the display's title
    QString date;          // "2026-12-10", the day the game ended, for the file's name
    QString when;          // "Thursday 10 December 2026, 23:41", as the page shows it
    QStringList structure; // the levels as the list shows them, then the break ("Break every 4 levels, 10 mins.")
    QString currency;      // written before every amount (may be empty)
    Counts counts;
    qint64 collected = 0; // the money in
    qint64 cut = 0;
    qint64 added = 0;
    qint64 pool = 0;
    bool guaranteed = false;
    qint64 bounties = 0;       // the bounty money in, apart from the pool (0: no bounties)
    QString deal;              // the deal made: "ICM: Ann £4,123 · Kim £3,383 · Ned £2,494"; empty: none
    std::vector<Place> places; // 1st first, every place
};

// "Entry 12", the name when there is one.
QString entryName(const Place &place);
// What a player bought: "1", "2 (1 re-entry)", "1 · 2 rebuys · 1 add-on"; empty when not known.
QString buyInsText(const Place &place);
// The results as a spreadsheet reads them, and as a page that prints on one sheet.
QByteArray resultsCsv(const Results &results);
QByteArray resultsHtml(const Results &results);
// The start of a printed page, up to its body: the title, the common style and the page's own.
QString printedPageHead(const QString &title, const char *style);

} // namespace tournament
