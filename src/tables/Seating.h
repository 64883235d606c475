#pragma once
// Who sits where when the players need more than one table: the seat draw, the seat a bust
// frees, the moves that keep the tables even, the tables that break, and the final table's
// redraw. Plain values and calls, driven by the count; the same seed and the same calls give
// the same seats on every machine.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace tables {

constexpr int MaxTables = 4;
constexpr int MinSeats = 2;
constexpr int MaxSeats = 12;

// A seat, both numbers from 1; table 0 is no seat.
struct Seat {
    int table = 0;
    int seat = 0;
    bool valid() const { return table > 0 && seat > 0; }
    bool operator==(const Seat &o) const { return table == o.table && seat == o.seat; }
    bool operator!=(const Seat &o) const { return !(*this == o); }
    bool operator<(const Seat &o) const { return table != o.table ? table < o.table : seat < o.seat; }
};
// "Table 2, Seat 3"
QString seatText(Seat seat);

struct Layout {
    int tables = 1;
    int seats = 9;
    // The tables in the order they break; empty: the highest number first.
    std::vector<int> breakOrder;
    bool operator==(const Layout &o) const
    {
        return tables == o.tables && seats == o.seats && breakOrder == o.breakOrder;
    }
    bool operator!=(const Layout &o) const { return !(*this == o); }
};

// A small generator of its own: the draw must not change with the standard library.
class Draw {
public:
    explicit Draw(quint64 seed) : state_(seed) {}
    quint64 next();
    // 0 to n - 1, each as likely.
    int below(int n);

private:
    quint64 state_;
};

// A move the tables need: the player due for the big blind at `from.table` goes to `to`. The
// host tells which seat that was (from.seat is 0 until then).
struct Move {
    Seat from;
    Seat to;
};

// A table broken, and where each of its players went, seat by seat.
struct Broken {
    int table = 0;
    std::vector<Move> moves;
};

class Seating {
public:
    Seating(Layout layout, quint64 seed);
    const Layout &layout() const { return layout_; }

    // The entry (numbered from 1 in the order of the buy-ins) at a seat; 0: the seat is empty
    // or not at an open table.
    int at(Seat seat) const;
    std::optional<Seat> seatOf(int entry) const;
    int players(int table) const;
    int left() const;
    bool open(int table) const;
    int openTables() const;
    // One table is left.
    bool finalTable() const { return openTables() == 1; }

    // An entry or re-entry takes the next seat of the shuffled pool, at a table with the fewest
    // players; none when every seat is taken.
    std::optional<Seat> sit(int entry);
    // The player at `seat` is out: the entry, or 0 when the seat is empty (nothing changes).
    // When the players left fit at one table fewer, a table breaks (see broken()).
    int bust(Seat seat);
    // The move the tables need now: none while they differ by at most one, or once refused
    // until the next bust.
    std::optional<Move> suggestion() const;
    void refuse();
    // The player at `from` (which must be at the table the suggestion names) takes the
    // suggested seat; false when that does not fit the suggestion.
    bool move(Seat from);
    // The table the last call broke, with its moves; empty after any other call.
    const Broken &broken() const { return broken_; }
    // At the final table, every player to a seat drawn afresh; the moves made.
    std::vector<Move> redraw();
    bool redrawn() const { return redrawn_; }

private:
    int &cell(Seat seat);
    int cell(Seat seat) const;
    std::vector<Seat> freeSeats(int table) const;
    int nextToBreak() const;
    void breakTable(int table);

    Layout layout_;
    Draw draw_;
    std::vector<int> seats_;       // entry per seat, table by table
    std::vector<bool> open_;       // per table
    std::vector<Seat> pool_;       // every seat, shuffled once
    std::vector<int> freed_;       // per table: the seat a bust freed last (0: none)
    std::vector<int> brokenOrder_; // the tables broken, in order
    Broken broken_;
    int refusedAt_ = -1; // busts counted when a move was refused
    int busts_ = 0;
    bool redrawn_ = false;
};

} // namespace tables
