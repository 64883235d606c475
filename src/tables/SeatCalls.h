#pragma once
// What the room is told about the seats: the seat a buy-in drew, the move the tables need, a
// table breaking, on the display and by voice; and the host's two keys that name a seat.

#include "tables/Seating.h"

#include <QString>
#include <QStringList>

namespace tables {

// "Entry 12 → Table 2, Seat 3"; with a name, "Anna → Table 2, Seat 3".
QString seatCall(qint64 entry, const QString &name, Seat seat);
// Spoken: "Entry 12, Table 2, Seat 3".
QString spokenSeat(qint64 entry, const QString &name, Seat seat);
// "Table 1, the big blind moves to Table 2, Seat 4"
QString moveCall(const Move &move);
// "Table 2 breaks", then one line per player: "Table 2, Seat 3 goes to Table 1, Seat 5".
QStringList breakCalls(const Broken &broken);
// "Final table: Table 1, Seat 4 goes to Seat 2" … one line per player.
QStringList redrawCalls(const std::vector<Move> &moves);

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
    Step begin(const QString &what, const std::vector<int> &tables, int seats, int table = 0);
    // A key's code: '0' to '9', 13 for Enter, 27 for Escape; anything else cancels.
    Step key(int code);
    bool active() const { return active_; }
    void cancel() { active_ = false; }

private:
    Step prompt() const;

    QString what_;
    std::vector<int> tables_;
    int seats_ = 0;
    int table_ = 0;
    int first_ = 0; // a seat's first digit, waiting for a second
    bool active_ = false;
};

} // namespace tables
