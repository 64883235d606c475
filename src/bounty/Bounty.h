#pragma once
// Bounties: the part of each buy-in kept apart from the prize pool and paid to whoever knocks a
// player out, fixed (the whole head to the eliminator) or progressive (half now, half onto the
// eliminator's own head). The book is a pure function of the night's events, replayed from the
// start, so undoing an event is replaying the others. Plain values and calls.

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

namespace bounty {

enum class Kind { Fixed, Progressive };

// Amounts in whole currency units. share: the bounty money in each buy-in and rebuy; unit: the
// smallest amount paid (a bounty chip's value); the share is a positive multiple of the unit.
struct Rules {
    Kind kind = Kind::Fixed;
    qint64 share = 0;
    qint64 unit = 1;
};

// Players numbered from 1, as the count numbers them (in the order they came in). A buy-in is
// an entry (the next number) or a re-entry (a player who is out), each with a fresh head; a
// bust names its eliminators in seat order (a split pot: more than one). Add-ons buy no bounty.
struct Event {
    enum Type { BuyIn, Rebuy, Bust } type = BuyIn;
    int player = 0;
    std::vector<int> by;
};

// One eliminator's part of a bust: the cash paid and their head after it.
struct Paid {
    int player = 0;
    qint64 cash = 0;
    qint64 headAfter = 0;
    bool operator==(const Paid &o) const { return player == o.player && cash == o.cash && headAfter == o.headAfter; }
};

// The bounties after some events. Always: inPlay() + paid() == bought.
struct Book {
    std::vector<qint64> head;      // index player-1: the head on a player in play now (0 when out)
    std::vector<bool> in;          // in play now
    std::vector<qint64> won;       // bounty cash paid to each player so far (the winner's own head included)
    std::vector<qint64> knockouts; // busts each player had a part in
    qint64 bought = 0;             // share × (buy-ins + rebuys)
    int winner = 0;                // set once a bust leaves one player in
    qint64 own = 0;                // the winner's own head, paid to them then
    std::vector<Paid> last;        // what the last event paid (a bust: one per eliminator, in the given order)
    qint64 paid() const;           // all cash paid
    qint64 inPlay() const;         // the heads of players in play
    bool operator==(const Book &o) const;
    bool operator!=(const Book &o) const { return !(*this == o); }
};

// The book after each event in turn; none with *why set when one could not have happened.
std::optional<Book> replay(const Rules &rules, const std::vector<Event> &events, QString *why = nullptr);
// One more event on a book; false with *why when refused (the book unchanged). A buy-in or a
// rebuy after the winner was paid opens the game again: their own head goes back onto them.
bool apply(Book &book, const Rules &rules, const Event &event, QString *why = nullptr);
// What the room is told of a bust, from the book after it: "Ann busts Ned — £10 to Ann",
// "Ann and Kim bust Ned — £4 to Ann, their bounty now £14; £3 to Kim, their bounty now £14",
// the last bust ending "; Ann wins their own bounty of £20". Empty for an event not a bust.
QString bustText(const Book &after, const Rules &rules, const Event &bust, const std::function<QString(int)> &name,
                 const QString &currency);

} // namespace bounty
