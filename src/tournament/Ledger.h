#pragma once
// The tournament's count: the players, each with their name, buy-ins and finish; entries,
// re-entries, rebuys, add-ons and busts, the money and chips they bring, the prize pool and its
// payouts. Plain values and calls: the
// display, the settings and the page only show it and send it actions.

#include "bounty/Bounty.h"
#include "tables/Seating.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace tournament {

// What the host set up for the evening. Amounts are whole currency units; chips whole chips.
struct Setup {
    qint64 buyIn = 0;
    qint64 buyInChips = 0;
    std::optional<qint64> reentry; // none: as the buy-in
    std::optional<qint64> reentryChips;
    qint64 rebuy = 0;
    qint64 rebuyChips = 0;
    qint64 rebuyLastRound = 0;              // the last round a rebuy is taken without asking; 0: no limit
    std::optional<qint64> reentryLastRound; // the same for a re-entry; none: as the rebuys
    // Late registration: the last round an entry is taken without asking (0: entries never
    // close); the chips an entry's stack is short by for every round started after the first;
    // and whether the payouts lock by themselves when registration closes.
    qint64 entryLastRound = 0;
    qint64 lateLess = 0;
    bool lockAtClose = false;
    qint64 addOn = 0;
    qint64 addOnChips = 0;
    qint64 cut = 0; // a percentage of the money in (0 to 100), or with cutFixed an amount
    bool cutFixed = false;
    qint64 added = 0;     // put in by the house
    qint64 guarantee = 0; // the pool is at least this
    qint64 unit = 1;      // each place but the first is rounded down to it
    // Shares in thousandths of a percent (16.5 % is 16500), summing to 100000; empty: the
    // table by the number of buy-ins.
    std::vector<qint32> shares;
    bool speak = false; // busts and the money announced
    // The tables the players sit at; with one table no seat is drawn unless seated (the names
    // were typed before the start, and a bust then names its player).
    tables::Layout layout;
    bool seated = false;
    // The seat draw's seed, chosen when the game starts.
    quint64 seed = 0;
    // Bounties: the part of every buy-in and rebuy that is bounty money (0: none), kept apart from
    // the prize pool; the smallest amount a bounty pays (1, or the bounty chip's value); and
    // whether half of each bounty goes onto the eliminator's own head.
    qint64 bounty = 0;
    qint64 bountyUnit = 1;
    bool progressive = false;

    qint64 reentryAmount() const { return reentry.value_or(buyIn); }
    qint64 reentryChipCount() const { return reentryChips.value_or(buyInChips); }
    qint64 reentryUntil() const { return reentryLastRound.value_or(rebuyLastRound); }
    // Bounties are paid to a player: who is who is known by their seats.
    bool seats() const { return layout.tables > 1 || seated || bounty > 0; }
    bounty::Rules bountyRules() const
    {
        return {progressive ? bounty::Kind::Progressive : bounty::Kind::Fixed, bounty, bountyUnit};
    }
    // The stack an entry gets in a round (the last round's after the close), never below nothing.
    qint64 entryStack(qint64 round) const;
    bool operator==(const Setup &o) const;
    bool operator!=(const Setup &o) const { return !(*this == o); }
};

// Move: a player moved to even the tables; Redraw: the final table's seats drawn afresh;
// Rename: a player given a name (or another one); Deal: the money left shared by the players in.
enum class Action { Entry, Reentry, Rebuy, AddOn, Bust, LockPayouts, Move, Redraw, Rename, Deal };
QString actionName(Action action);

// One action as recorded: when (milliseconds since the epoch), for a lock the amounts announced
// then, and with seats the seat: drawn for a buy-in, freed by a bust, left by a move. The
// player it is for (numbered from 1 in the order they came in): a re-entry's, a rename's, a
// rebuy's or an add-on's when said; and the name an entry or a rename gives.
struct Record {
    Record(Action a = Action::Entry, qint64 time = 0, std::vector<qint64> amounts = {}, tables::Seat at = {},
           int who = 0, QString called = {}, qint64 shortBy = 0, std::vector<int> busters = {})
        : action(a), at(time), locked(std::move(amounts)), seat(at), player(who), name(std::move(called)),
          less(shortBy), by(std::move(busters))
    {}
    Action action = Action::Entry;
    qint64 at = 0;
    std::vector<qint64> locked;
    tables::Seat seat;
    int player = 0;
    QString name;
    qint64 less = 0; // a late entry: the chips its stack was short by
    // A bust's eliminators, in seat order, with bounties; a deal's players, each with their share
    // in locked, its way in name ("ICM"), and whether the night ended with it.
    std::vector<int> by;
    bool ends = false;
    bool operator==(const Record &o) const
    {
        return action == o.action && at == o.at && locked == o.locked && seat == o.seat && player == o.player
               && name == o.name && less == o.less && by == o.by && ends == o.ends;
    }
    bool operator!=(const Record &o) const { return !(*this == o); }
};

// A bust as the count keeps it: the player (0: not known, at one table without seats), the seat
// it freed, and whether the player came back from it with a re-entry (then it is no place).
struct Finish {
    int player = 0;
    tables::Seat seat;
    bool reentered = false;
    bool operator==(const Finish &o) const { return player == o.player && seat == o.seat && reentered == o.reentered; }
};

// A player of the night, from their entry: the name given (empty: "Entry 7" until named), the
// buy-ins (the entry and its re-entries), the rebuys and add-ons said to be theirs, and whether
// they are out (busted, and not back).
struct Player {
    QString name;
    qint64 buyIns = 0;
    qint64 rebuys = 0;
    qint64 addOns = 0;
    bool out = false;
    bool operator==(const Player &o) const
    {
        return name == o.name && buyIns == o.buyIns && rebuys == o.rebuys && addOns == o.addOns && out == o.out;
    }
};

struct Counts {
    qint64 entries = 0;
    qint64 reentries = 0;
    qint64 rebuys = 0;
    qint64 addOns = 0;
    qint64 busts = 0;
    qint64 buyIns() const { return entries + reentries; }
    qint64 left() const { return entries + reentries - busts; }
};

// The deal the players in made: each one's share of the money left, and what is left to play for,
// paid to the winner.
struct Deal {
    QString method;
    std::vector<int> players;
    std::vector<qint64> shares;
    qint64 playFor = 0;
    bool ends = false; // the night ended with it: the players in are placed by their shares
};

// The most places paid, and the most actions one game records.
constexpr int MaxPlaces = 200;
constexpr int MaxRecords = 100000;

// The shares paid by the number of buy-ins (entries and re-entries).
std::vector<qint32> tableShares(qint64 buyIns);
// "50/30/20", "26/16.5/12": shares as the host types them; none when they are not whole or
// decimal percentages above 0 (at most three decimals) summing to exactly 100.
std::optional<std::vector<qint32>> parseShares(const QString &text);
QString sharesText(const std::vector<qint32> &shares);
// The pool split by the shares: every place but the first rounded down to the unit, the rest
// to the first, so the amounts sum to the pool exactly.
std::vector<qint64> splitPool(qint64 pool, const std::vector<qint32> &shares, qint64 unit);
// "14,286"
QString grouped(qint64 value);
// "1st", "2nd", "23rd", "111th"
QString ordinal(qint64 place);
// "Seven", "Twenty-one", "One hundred and five"
QString numberWords(qint64 n);

class Ledger {
public:
    enum class Verdict {
        Done,    // recorded
        Refused, // not possible now (text says why)
        Confirm, // allowed only when confirmed (text asks)
    };
    struct Outcome {
        Outcome(Verdict v = Verdict::Done, QString t = {}, bool money = false)
            : verdict(v), text(std::move(t)), inTheMoney(money)
        {}
        Verdict verdict = Verdict::Done;
        QString text;
        bool inTheMoney = false;         // this bust brought the players left to the places paid
        int player = 0;                  // who it was for: the new player, the one out, moved, back
        tables::Seat seat;               // the seat a buy-in drew
        tables::Broken broken;           // the table a bust broke
        std::vector<tables::Move> moves; // the seats a redraw dealt
        QString bounty;                  // a bust's bounties paid: "Ann busts Ned — £5 to Ann, …"
    };

    explicit Ledger(Setup setup = {});
    const Setup &setup() const { return setup_; }

    // round: the level in play (in a break, the one played before it); seat: with seats, the
    // seat a bust frees or a move leaves; player: whose re-entry (0: the last out), rebuy,
    // add-on or new name; name: an entry's or a rename's. Asked first (Confirm): a rebuy or
    // re-entry after its last round, and the bust that ends the game when a fixed house cut
    // takes all the money in, leaving the prize pool empty.
    // by: a bust's eliminators (players), asked for with bounties.
    Outcome act(Action action, int round, qint64 at, bool confirmed = false, tables::Seat seat = {}, int player = 0,
                const QString &name = {}, std::vector<int> by = {});
    // The players in, in seat order (with seats; else none).
    std::vector<int> inPlay() const;
    // What the places still to be decided pay, 1st first: a deal shares their sum.
    std::vector<qint64> prizesLeft() const;
    // The deal of the players in (2 to 9): their shares, in the order of inPlay(), summing to at
    // most the money left; the rest is played for. With ends the night ends with it (nothing may
    // then be left to play for).
    Outcome makeDeal(const QString &method, const std::vector<qint64> &shares, bool ends, qint64 at);
    const std::optional<Deal> &deal() const { return deal_; }
    // A player's prize at a place: a deal's share (the winner's with what was played for), else
    // the place's payout.
    qint64 prizeOf(int player, qint64 place) const;
    // "ICM: Ann £4,123 · Kim £3,383 · Ned £2,494; £100 played for"
    QString dealText(const QString &currency) const;
    // Takes back the last action: "Undone: Bust — 8 players left". seen: the number of records
    // the asker saw; when others came since, nothing is undone and the last one is named instead.
    Outcome undo(std::optional<qint64> seen = std::nullopt);
    // The ledger the records make, each one taken as confirmed; none when one of them could
    // not have been recorded.
    static std::optional<Ledger> replay(const Setup &setup, const std::vector<Record> &records);

    const Counts &counts() const { return counts_; }
    const std::vector<Record> &records() const { return records_; }
    // The money in, before the cut, bounties included.
    qint64 collected() const { return money(counts_).value_or(0); }
    // The bounty money in, kept apart from the prize pool.
    qint64 bountyMoney() const { return bountyMoney(counts_).value_or(0); }
    // The bounties as they stand: each head, and what each player has been paid; none without.
    const std::optional<bounty::Book> &bounties() const { return book_; }
    qint64 cut() const;
    // The collected money less the bounties and the cut, plus the added money; or the guarantee
    // when higher. The cut is taken from the money for the prizes.
    qint64 pool() const;
    bool guaranteed() const;
    qint64 chipsInPlay() const { return chips(counts_).value_or(0); }
    // Chips in play ÷ players left, halves to even; none with nobody left.
    std::optional<qint64> averageStack() const;
    std::vector<qint32> shares() const;
    // What each place is paid now: the locked amounts once locked, else the pool split; a place
    // whose share rounds to nothing is not paid, and no more places than players are paid:
    // the shares beyond them go to the places paid, in proportion.
    std::vector<qint64> payouts() const;
    // The places the shares name, paid or not ("6 places typed, 5 can be paid").
    qint64 placesTyped() const { return qint64(shares().size()); }
    bool locked() const { return !locked_.empty(); }
    // The money in the pool beyond the locked amounts, come in since the lock; 0 when unlocked.
    qint64 unshared() const;
    // The seats, with more than one table.
    const std::optional<tables::Seating> &seating() const { return seating_; }
    // The busts, in order, and each one's place as it stands (0: re-entered from): the players
    // still in hold the best places, the last bust the next one.
    const std::vector<Finish> &finishes() const { return finishes_; }
    std::vector<qint64> places() const;
    // The players, numbered from 1 in the order they came in; a player's name, or "Entry 7".
    const std::vector<Player> &players() const { return players_; }
    QString playerName(int player) const;
    // The players out, the last out first: those a re-entry may be for.
    std::vector<int> out() const;
    // An action as the host reads it, with its player when known and named or seated: "Bust
    // of Ned", "Entry: Ann", "Lock payouts"; index into records().
    QString actionText(size_t index) const;
    // The seat refused moves wait for; kept only while the count runs.
    void refuseMove();
    bool rebuysOpen(qint64 round) const { return setup_.rebuyLastRound <= 0 || round <= setup_.rebuyLastRound; }
    bool reentriesOpen(qint64 round) const { return setup_.reentryUntil() <= 0 || round <= setup_.reentryUntil(); }
    bool entriesOpen(qint64 round) const { return setup_.entryLastRound <= 0 || round <= setup_.entryLastRound; }
    // Registration closing as a round begins: the payouts locked when the setup says so, and
    // what the room is told ("Registration closed — 23 entries, 5 places paid"). Empty when
    // nothing closes at this round.
    QString closeRegistration(int round, qint64 at);
    // The currency the questions name amounts in ("£").
    void setCurrency(const QString &symbol) { currency_ = symbol; }

private:
    std::optional<qint64> money(const Counts &c) const;
    std::optional<qint64> chips(const Counts &c) const;
    std::optional<qint64> bountyMoney(const Counts &c) const;
    // The bounties' part of an action: none when fine (the book in next), else why not.
    std::optional<QString> bountyPart(Action action, int player, Record &record, bounty::Book &next) const;
    // The collected money less the cut plus the added money; the largest number when it would
    // not fit.
    qint64 netPool() const;
    QString leftText() const;
    void recount();
    // The seat part of an action, once the count allows it: none when done, else why not.
    std::optional<QString> seat(Action action, tables::Seat seat, Record &record, Outcome &done);
    // Who an action is for, once the count allows it: none when fine, else why not.
    std::optional<QString> who(Action action, Record &record) const;
    void apply(const Record &record, const Outcome &done);

    Setup setup_;
    Counts counts_;
    std::vector<Record> records_;
    std::vector<qint64> locked_;
    std::optional<tables::Seating> seating_;
    std::vector<Finish> finishes_;
    std::vector<Player> players_;
    std::vector<int> whom_; // the player each record was for (0: none, or not known)
    qint64 less_ = 0;       // the chips late entries were short by
    // While records are replayed: the next entry's shortfall as it was recorded.
    std::optional<qint64> replayLess_;
    QString currency_;
    std::optional<bounty::Book> book_;
    std::optional<Deal> deal_;
};

// The players' band and what goes with it, for the display and the page.
struct Band {
    QString players;     // "Players 7 / 10"
    QString average;     // "Average stack 14,286 (36 BB)"
    QString pool;        // "Prize pool £400 GTD"
    QStringList payouts; // "1st £200", "2nd £120"
    QString rounding;    // "rounded to £5"
    QString locked;      // "Payouts locked"
    QString unshared;    // "£38 not in the payouts — unlock to share it"
    // "Rebuys until round 4", "Rebuys until round 4, re-entries until round 6"; late
    // registration first: "Late registration until round 3 (stack 8,000), rebuys until round 4"
    QString rebuysUntil;
    QString folded;        // "6 places typed, 5 can be paid"
    QString bounties;      // "Bounties £100", beside the pool
    QString lines() const; // the band's two lines, CR LF between them; parts without text left out
    bool operator==(const Band &o) const;
};
// round: the level in play (in a break, the one before it); bigBlind: of the level in play (in
// a break, of the next level), 0 when not known.
Band band(const Ledger &ledger, int round, qint64 bigBlind, const QString &currency);
// "7 players left", "1 player left"
QString playersLeft(qint64 n);
// Spoken after a bust: "Seven players left"; with the player's name, "Ned is out. Seven players
// left."
QString bustAnnouncement(qint64 left, const QString &name = {});
extern const QString InTheMoney; // "We are in the money"

} // namespace tournament
