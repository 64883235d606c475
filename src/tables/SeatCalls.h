#pragma once
// What the room is told about the seats: the seat a buy-in drew, the move the tables need, a
// table breaking, on the display and by voice; and the host's two keys that name a seat.

#include "tables/Seating.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace tables {

// "Entry 12 → Table 2, Seat 3"; with a name, "Anna → Table 2, Seat 3".
QString seatCall(qint64 entry, const QString &name, Seat seat);
// Spoken: "Entry 12, Table 2, Seat 3".
QString spokenSeat(qint64 entry, const QString &name, Seat seat);
// "Table 1, the big blind moves to Table 2, Seat 4"
QString moveCall(const Move &move);
// Who sits at a seat, by name ("Quinn", "Entry 7").
using NameAt = std::function<QString(Seat)>;
// "Table 2 Seat 3", the short form a line of moves uses.
QString seatShort(Seat seat);
// "Quinn, Table 2 Seat 2 → Table 1 Seat 9": a player who moved, named at the seat they took.
QString movedCall(const Move &move, const NameAt &nameAt);
// "Table 2 breaks", then one line per player: "Quinn, Table 2 Seat 3 → Table 1 Seat 5".
QStringList breakCalls(const Broken &broken, const NameAt &nameAt);
// One line per player of the final table's redraw: "Quinn, Table 1 Seat 4 → Seat 2".
QStringList redrawCalls(const std::vector<Move> &moves, const NameAt &nameAt);
// The seat map, a line per open table: "Table 1: 1 Ann · 3 Bob · 5 Entry 7", each seat with
// its player held together by no-break spaces.
QStringList seatMapLines(const Seating &seating, const NameAt &nameAt);
// A line as it is spoken: the arrow read as "to".
QString spoken(const QString &line);
// The players whose seat an undo changed, each with where they go back to: "Quinn, Table 1
// Seat 9 → Table 2 Seat 2"; a player back in the game, "Ned → Table 2 Seat 2". names: each
// player's name, by number from 1.
QStringList seatsBack(const Seating &before, const Seating &after, const std::function<QString(int)> &name);

// The host names a seat with the display's keys: the table's digit (skipped when one table is
// open), then the seat's number (with ten seats or more, 1 waits for a second digit or Enter).
class SeatInput {
public:
    struct Step {
        bool done = false;      // seat holds the seat named
        bool cancelled = false; // Escape, or a key that names nothing
        Seat seat;
        QString prompt; // what to show while the input goes on, or why it stopped
    };
    // what: "Bust", "Move"; tables: the open tables' numbers; table: the table asked for, or 0.
    // Once a night has had more than one table (all: their number) its digit is always asked
    // for, the final table's too, and a broken table's is refused.
    Step begin(const QString &what, const std::vector<int> &tables, int seats, int table = 0, int all = 1);
    // A key's code: '0' to '9', 13 for Enter, 27 for Escape; anything else cancels.
    Step key(int code);
    bool active() const { return active_; }
    // A seat's first digit waits for a second (Enter then names the one-digit seat).
    bool waiting() const { return active_ && first_ != 0; }
    void cancel() { active_ = false; }

private:
    Step prompt() const;

    QString what_;
    std::vector<int> tables_;
    int all_ = 1;
    QString refused_; // why the last table's digit was not taken
    int seats_ = 0;
    int table_ = 0;
    int first_ = 0; // a seat's first digit, waiting for a second
    bool active_ = false;
};

} // namespace tables
