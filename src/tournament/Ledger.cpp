#include "tournament/Ledger.h"

#include "tables/SeatCalls.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

namespace tournament {

namespace {

// a / b, halves to the even neighbour; a >= 0, b > 0.
qint64 divideToEven(__int128 a, __int128 b)
{
    __int128 q = a / b;
    const __int128 twice = (a % b) * 2;
    if (twice > b || (twice == b && q % 2 != 0))
        ++q;
    return qint64(q);
}

std::optional<qint64> sumOfProducts(std::initializer_list<std::pair<qint64, qint64>> terms)
{
    qint64 sum = 0;
    for (const auto &[count, each] : terms) {
        qint64 product = 0;
        if (__builtin_mul_overflow(count, each, &product) || __builtin_add_overflow(sum, product, &sum))
            return std::nullopt;
    }
    return sum;
}

// A lock without amounts is the unlock.
QString recordName(const Record &r)
{
    if (r.action == Action::LockPayouts && r.locked.empty())
        return QStringLiteral("Unlock payouts");
    return actionName(r.action);
}

// Whether the amounts, each above nothing, sum to the total.
bool sumsTo(const std::vector<qint64> &amounts, qint64 total)
{
    qint64 sum = 0;
    for (const qint64 a : amounts)
        if (a <= 0 || __builtin_add_overflow(sum, a, &sum))
            return false;
    return sum == total;
}

} // namespace

bool Setup::operator==(const Setup &o) const
{
    return buyIn == o.buyIn && buyInChips == o.buyInChips && reentry == o.reentry && reentryChips == o.reentryChips
           && rebuy == o.rebuy && rebuyChips == o.rebuyChips && rebuyLastRound == o.rebuyLastRound && addOn == o.addOn
           && addOnChips == o.addOnChips && cut == o.cut && cutFixed == o.cutFixed && added == o.added
           && guarantee == o.guarantee && unit == o.unit && shares == o.shares && speak == o.speak
           && reentryLastRound == o.reentryLastRound && layout == o.layout && seated == o.seated && seed == o.seed
           && entryLastRound == o.entryLastRound && lateLess == o.lateLess && lockAtClose == o.lockAtClose
           && bounty == o.bounty && bountyUnit == o.bountyUnit && progressive == o.progressive;
}

qint64 Setup::entryStack(qint64 round) const
{
    const qint64 started = std::max<qint64>(0, (entryLastRound > 0 ? std::min(round, entryLastRound) : round) - 1);
    qint64 less = 0;
    if (__builtin_mul_overflow(started, lateLess, &less) || less >= buyInChips)
        return 0;
    return buyInChips - less;
}

std::optional<qint64> Ledger::money(const Counts &c) const
{
    const Setup &s = setup_;
    return sumOfProducts(
        {{c.entries, s.buyIn}, {c.reentries, s.reentryAmount()}, {c.rebuys, s.rebuy}, {c.addOns, s.addOn}});
}

std::optional<qint64> Ledger::chips(const Counts &c) const
{
    const Setup &s = setup_;
    const std::optional<qint64> full = sumOfProducts({{c.entries, s.buyInChips},
                                                      {c.reentries, s.reentryChipCount()},
                                                      {c.rebuys, s.rebuyChips},
                                                      {c.addOns, s.addOnChips}});
    if (!full)
        return std::nullopt;
    return *full - less_;
}

std::optional<qint64> Ledger::bountyMoney(const Counts &c) const
{
    return sumOfProducts({{c.entries, setup_.bounty}, {c.reentries, setup_.bounty}, {c.rebuys, setup_.bounty}});
}

qint64 Ledger::cut() const
{
    const qint64 in = collected() - bountyMoney();
    if (setup_.cutFixed)
        return std::clamp<qint64>(setup_.cut, 0, in);
    return divideToEven(__int128(in) * std::clamp<qint64>(setup_.cut, 0, 100), 100);
}

qint64 Ledger::netPool() const
{
    qint64 net = 0;
    if (__builtin_add_overflow(collected() - bountyMoney() - cut(), std::max<qint64>(0, setup_.added), &net))
        return std::numeric_limits<qint64>::max();
    return net;
}

qint64 Ledger::pool() const
{
    return std::max(netPool(), setup_.guarantee);
}

bool Ledger::guaranteed() const
{
    return netPool() < setup_.guarantee;
}

std::optional<qint64> Ledger::averageStack() const
{
    if (counts_.left() <= 0)
        return std::nullopt;
    return divideToEven(chipsInPlay(), counts_.left());
}

std::vector<qint32> Ledger::shares() const
{
    return setup_.shares.empty() ? tableShares(counts_.buyIns()) : setup_.shares;
}

std::vector<qint64> Ledger::payouts() const
{
    if (locked())
        return locked_;
    std::vector<qint32> paid = shares();
    // No more places than players can finish: the shares beyond go to the places paid, in
    // proportion (the rounding's rest to the first).
    const size_t finishers = size_t(std::max<qint64>(1, counts_.entries));
    if (paid.size() > finishers) {
        paid.resize(finishers);
        const qint64 kept = std::accumulate(paid.begin(), paid.end(), qint64(0));
        qint64 given = 0;
        for (size_t i = 1; i < paid.size(); ++i)
            given += paid[i] = qint32(qint64(paid[i]) * 100000 / kept);
        paid[0] = qint32(100000 - given);
    }
    std::vector<qint64> amounts = splitPool(pool(), paid, setup_.unit);
    amounts.erase(std::remove(amounts.begin(), amounts.end(), 0), amounts.end());
    return amounts;
}

qint64 Ledger::unshared() const
{
    if (!locked())
        return 0;
    // The locked amounts summed to the pool when they were announced (a replayed lock is held to
    // the same), and only money coming in follows a lock: the sum fits, and never passes the pool.
    return pool() - std::accumulate(locked_.begin(), locked_.end(), qint64(0));
}

QString Ledger::leftText() const
{
    return playersLeft(counts_.left());
}

Ledger::Ledger(Setup setup) : setup_(std::move(setup))
{
    if (setup_.seats())
        seating_.emplace(setup_.layout, setup_.seed);
    if (setup_.bounty > 0)
        book_.emplace();
}

std::optional<QString> Ledger::bountyPart(Action action, int player, Record &record, bounty::Book &next) const
{
    bounty::Event event;
    event.player = player;
    switch (action) {
    case Action::Entry:
    case Action::Reentry: event.type = bounty::Event::BuyIn; break;
    case Action::Rebuy:
        if (player <= 0)
            return QStringLiteral("Whose rebuy? Its bounty goes on their head.");
        event.type = bounty::Event::Rebuy;
        break;
    case Action::Bust: {
        if (record.by.empty())
            return QStringLiteral("Who busted %1? A bounty is paid to them.").arg(playerName(player));
        // The odd units of a shared bounty go to the first in seat order.
        const auto order = [this](int p) {
            const std::optional<tables::Seat> s = seating_ ? seating_->seatOf(p) : std::nullopt;
            return s ? std::make_pair(s->table, s->seat) : std::make_pair(0, p);
        };
        std::stable_sort(record.by.begin(), record.by.end(), [&](int a, int b) { return order(a) < order(b); });
        event.type = bounty::Event::Bust;
        event.by = record.by;
        break;
    }
    default: return std::nullopt;
    }
    QString why;
    if (!bounty::apply(next, setup_.bountyRules(), event, &why))
        return why;
    return std::nullopt;
}

QString Ledger::playerName(int player) const
{
    if (player < 1 || player > int(players_.size()))
        return {};
    const QString &name = players_[size_t(player - 1)].name;
    return name.isEmpty() ? QStringLiteral("Entry %1").arg(player) : name;
}

std::vector<int> Ledger::out() const
{
    std::vector<int> out;
    for (auto f = finishes_.rbegin(); f != finishes_.rend(); ++f)
        if (!f->reentered && f->player > 0)
            out.push_back(f->player);
    return out;
}

QString Ledger::actionText(size_t index) const
{
    if (index >= records_.size())
        return {};
    const Record &r = records_[index];
    const int p = index < whom_.size() ? whom_[index] : 0;
    const bool named = p > 0 && !players_[size_t(p - 1)].name.isEmpty();
    // An entry by its name alone ("Entry: Ann"); any other action of a player named or seated.
    if (r.action == Action::Entry)
        return named ? QStringLiteral("Entry: ") + playerName(p) : recordName(r);
    const bool known = p > 0 && (seating_ || named);
    return recordName(r) + (known && r.action != Action::Rename ? QStringLiteral(" of ") + playerName(p) : QString());
}

std::vector<qint64> Ledger::places() const
{
    std::vector<qint64> places(finishes_.size(), 0);
    qint64 place = counts_.left();
    for (size_t i = finishes_.size(); i-- > 0;)
        if (!finishes_[i].reentered)
            places[i] = ++place;
    return places;
}

std::optional<QString> Ledger::who(Action action, Record &record) const
{
    const int count = int(players_.size());
    const int p = record.player;
    switch (action) {
    case Action::Entry: record.player = 0; return std::nullopt;
    case Action::Reentry: {
        if (p == 0) {
            // The last out: the latest bust nobody came back from.
            const auto last =
                std::find_if(finishes_.rbegin(), finishes_.rend(), [](const Finish &f) { return !f.reentered; });
            if (last == finishes_.rend())
                return QStringLiteral("No busted player to re-enter.");
            record.player = last->player;
            return std::nullopt;
        }
        if (p > count)
            return QStringLiteral("No such player.");
        if (!players_[size_t(p - 1)].out)
            return playerName(p) + QStringLiteral(" is still in the game.");
        return std::nullopt;
    }
    case Action::Rebuy:
    case Action::AddOn:
        if (p > count || (p > 0 && players_[size_t(p - 1)].out))
            return p > count ? QStringLiteral("No such player.") : playerName(p) + QStringLiteral(" is out.");
        return std::nullopt;
    case Action::Rename:
        if (p < 1 || p > count)
            return QStringLiteral("No such player.");
        return std::nullopt;
    default: record.player = 0; return std::nullopt;
    }
}

void Ledger::apply(const Record &record, const Outcome &done)
{
    const auto player = [this](int p) -> Player * { return p > 0 ? &players_[size_t(p - 1)] : nullptr; };
    switch (record.action) {
    case Action::Entry:
        players_.push_back({record.name, 1, 0, 0, false});
        less_ += record.less;
        break;
    case Action::Reentry: {
        const auto from = std::find_if(finishes_.rbegin(), finishes_.rend(),
                                       [&](const Finish &f) { return !f.reentered && f.player == record.player; });
        if (from != finishes_.rend())
            from->reentered = true;
        if (Player *back = player(record.player)) {
            ++back->buyIns;
            back->out = false;
        }
        break;
    }
    case Action::Rebuy:
        if (Player *buyer = player(record.player))
            ++buyer->rebuys;
        break;
    case Action::AddOn:
        if (Player *buyer = player(record.player))
            ++buyer->addOns;
        break;
    case Action::Bust:
        finishes_.push_back({done.player, record.seat, false});
        if (Player *gone = player(done.player))
            gone->out = true;
        break;
    case Action::Rename: player(record.player)->name = record.name; break;
    default: break;
    }
}

std::vector<int> Ledger::inPlay() const
{
    std::vector<int> in;
    if (!seating_)
        return in;
    const tables::Layout &l = seating_->layout();
    for (int t = 1; t <= l.tables; ++t)
        for (int s = 1; s <= l.seats; ++s)
            if (const int p = seating_->at({t, s}))
                in.push_back(p);
    return in;
}

std::vector<qint64> Ledger::prizesLeft() const
{
    std::vector<qint64> prizes = payouts();
    prizes.resize(size_t(std::max<qint64>(0, counts_.left())), 0);
    return prizes;
}

Ledger::Outcome Ledger::makeDeal(const QString &method, const std::vector<qint64> &shares, bool ends, qint64 at)
{
    const auto refuse = [](const QString &why) { return Outcome{Verdict::Refused, why, false}; };
    const std::vector<int> in = inPlay();
    if (deal_)
        return refuse(QStringLiteral("A deal is made already: Backspace takes it back."));
    if (!seating_ || in.size() < 2 || in.size() > 9 || qint64(in.size()) != counts_.left())
        return refuse(QStringLiteral("A deal is made by 2 to 9 players in their seats."));
    if (shares.size() != in.size() || records_.size() >= size_t(MaxRecords))
        return refuse(QStringLiteral("A deal needs a share for every player in."));
    const std::vector<qint64> prizes = prizesLeft();
    qint64 left = 0, shared = 0;
    for (const qint64 p : prizes)
        left += p; // the payouts sum to the pool: no overflow
    for (const qint64 s : shares)
        if (s < 0 || __builtin_add_overflow(shared, s, &shared))
            return refuse(QStringLiteral("The shares are more than the money left."));
    if (shared > left)
        return refuse(QStringLiteral("The shares are more than the money left."));
    if (ends && shared != left)
        return refuse(QStringLiteral("A deal that ends the night shares all the money left."));
    Record record{Action::Deal, at, shares};
    record.by = in;
    record.name = method;
    record.ends = ends;
    deal_ = Deal{method, in, shares, left - shared, ends};
    // The night ended with it: each player in keeps their own bounty.
    if (ends && book_)
        for (const int p : in) {
            book_->won[size_t(p - 1)] += book_->head[size_t(p - 1)];
            book_->head[size_t(p - 1)] = 0;
        }
    records_.push_back(std::move(record));
    whom_.push_back(0);
    Outcome done{Verdict::Done, QStringLiteral("Deal — ") + dealText(currency_), false};
    return done;
}

qint64 Ledger::prizeOf(int player, qint64 place) const
{
    if (deal_) {
        const auto it = std::find(deal_->players.begin(), deal_->players.end(), player);
        if (player > 0 && it != deal_->players.end())
            return deal_->shares[size_t(it - deal_->players.begin())] + (place == 1 ? deal_->playFor : 0);
    }
    const std::vector<qint64> paid = payouts();
    return place >= 1 && place <= qint64(paid.size()) ? paid[size_t(place - 1)] : 0;
}

QString Ledger::dealText(const QString &currency) const
{
    if (!deal_)
        return {};
    QStringList shares;
    for (size_t i = 0; i < deal_->players.size(); ++i)
        shares << playerName(deal_->players[i]) + QLatin1Char(' ') + currency + grouped(deal_->shares[i]);
    QString text = deal_->method + QStringLiteral(": ") + shares.join(QStringLiteral(" · "));
    if (deal_->playFor > 0)
        text += QStringLiteral("; %1%2 played for").arg(currency, grouped(deal_->playFor));
    return text;
}

QString Ledger::closeRegistration(int round, qint64 at)
{
    if (setup_.entryLastRound <= 0 || round <= setup_.entryLastRound)
        return {};
    if (setup_.lockAtClose && !locked() && counts_.buyIns() > 0)
        act(Action::LockPayouts, round, at);
    const qint64 in = counts_.buyIns();
    if (in == 0)
        return QStringLiteral("Registration closed");
    const qint64 paid = qint64(payouts().size());
    return QStringLiteral("Registration closed — %1 %2, %3 %4 paid")
        .arg(grouped(in), in == 1 ? QStringLiteral("entry") : QStringLiteral("entries"), grouped(paid),
             paid == 1 ? QStringLiteral("place") : QStringLiteral("places"));
}

void Ledger::refuseMove()
{
    if (seating_)
        seating_->refuse();
}

std::optional<QString> Ledger::seat(Action action, tables::Seat seat, Record &record, Outcome &done)
{
    using tables::seatText;
    tables::Seating &s = *seating_;
    switch (action) {
    case Action::Entry:
    case Action::Reentry: {
        done.player = action == Action::Entry ? int(players_.size()) + 1 : record.player;
        const std::optional<tables::Seat> drawn = s.sit(done.player);
        if (!drawn)
            return QStringLiteral("Every seat at the tables is taken.");
        record.seat = done.seat = *drawn;
        return std::nullopt;
    }
    case Action::Bust: {
        if (s.at(seat) == 0)
            return seat.valid() ? seatText(seat) + QStringLiteral(" is empty.")
                                : QStringLiteral("Name the seat of the player who is out.");
        done.player = s.bust(seat);
        record.seat = seat;
        done.broken = s.broken();
        return std::nullopt;
    }
    case Action::Move: {
        const std::optional<tables::Move> m = s.suggestion();
        if (!m)
            return QStringLiteral("The tables need no move now.");
        done.player = s.at(seat);
        if (!s.move(seat))
            return seat.table == m->from.table ? seatText(seat) + QStringLiteral(" is empty.")
                                               : QStringLiteral("The move is from Table %1.").arg(m->from.table);
        record.seat = seat;
        done.seat = m->to;
        return std::nullopt;
    }
    case Action::Redraw:
        if (!s.finalTable())
            return QStringLiteral("The seats are drawn afresh only at the final table.");
        done.moves = s.redraw();
        return std::nullopt;
    default: return std::nullopt;
    }
}

Ledger::Outcome Ledger::act(Action action, int round, qint64 at, bool confirmed, tables::Seat seat, int player,
                            const QString &name, std::vector<int> by)
{
    const auto refuse = [](const QString &why) { return Outcome{Verdict::Refused, why, false}; };
    if (records_.size() >= size_t(MaxRecords))
        return refuse(QStringLiteral("This game holds as many actions as can be kept."));
    Counts next = counts_;
    Record record{action,
                  at,
                  {},
                  {},
                  std::max(0, player),
                  action == Action::Entry || action == Action::Rename ? name : QString()};
    if (action == Action::Bust && book_)
        record.by = std::move(by);
    const bool buys =
        action == Action::Entry || action == Action::Reentry || action == Action::Rebuy || action == Action::AddOn;
    if (deal_ && buys)
        return refuse(QStringLiteral("The deal is made: nobody buys in now."));
    if (deal_ && deal_->ends && action != Action::Rename)
        return refuse(QStringLiteral("The night ended with the deal."));
    switch (action) {
    case Action::Deal: return refuse(QStringLiteral("A deal is made with its shares."));
    case Action::Rename:
        if (const std::optional<QString> why = who(action, record))
            return refuse(*why);
        {
            const QString was = playerName(record.player);
            records_.push_back(record);
            whom_.push_back(record.player);
            apply(record, {});
            Outcome done{Verdict::Done,
                         QStringLiteral("Renamed: ") + was + QStringLiteral(" is now ") + playerName(record.player)};
            done.player = record.player;
            return done;
        }
    case Action::Move:
    case Action::Redraw:
        if (!seating_)
            return refuse(QStringLiteral("The players sit at one table."));
        break;
    case Action::Entry:
        ++next.entries;
        if (replayLess_)
            record.less = *replayLess_;
        else if (round > 0)
            record.less = setup_.buyInChips - setup_.entryStack(round);
        if (record.less < 0 || record.less > setup_.buyInChips)
            return refuse(QStringLiteral("The late stack would be less than nothing."));
        break;
    case Action::Reentry:
        if (counts_.busts - counts_.reentries <= 0)
            return refuse(QStringLiteral("No busted player to re-enter."));
        if (const std::optional<QString> why = who(action, record))
            return refuse(*why);
        ++next.reentries;
        break;
    case Action::Rebuy:
    case Action::AddOn:
        if (counts_.left() <= 0)
            return refuse(QStringLiteral("No player is in the game."));
        if (const std::optional<QString> why = who(action, record))
            return refuse(*why);
        ++(action == Action::Rebuy ? next.rebuys : next.addOns);
        break;
    case Action::Bust:
        if (counts_.left() <= 1)
            return refuse(counts_.left() == 1 ? QStringLiteral("Only one player is left: no bust to record.")
                                              : QStringLiteral("No player is in the game."));
        ++next.busts;
        break;
    case Action::LockPayouts:
        if (locked())
            break;
        if (counts_.buyIns() == 0)
            return refuse(QStringLiteral("Nobody has bought in yet: there are no payouts to lock."));
        record.locked = payouts();
        if (record.locked.empty())
            return refuse(QStringLiteral("The prize pool is empty: there are no payouts to lock."));
        break;
    }
    Setup plain = setup_;
    plain.layout = {};
    Ledger trial(plain);
    trial.counts_ = next;
    if (!money(next) || !chips(next) || !bountyMoney(next) || trial.netPool() == std::numeric_limits<qint64>::max())
        return refuse(QStringLiteral("The money or the chips would be more than can be counted."));
    if (action == Action::Entry && !entriesOpen(round) && !confirmed)
        return {
            Verdict::Confirm,
            QStringLiteral("Registration closed after round %1: record this entry anyway?").arg(setup_.entryLastRound),
            false};
    const bool late =
        (action == Action::Rebuy && !rebuysOpen(round)) || (action == Action::Reentry && !reentriesOpen(round));
    if (late && !confirmed)
        return {Verdict::Confirm,
                QStringLiteral("%1 ended after round %2: record this one anyway?")
                    .arg(action == Action::Rebuy ? QStringLiteral("Rebuys") : QStringLiteral("Re-entries"))
                    .arg(action == Action::Rebuy ? setup_.rebuyLastRound : setup_.reentryUntil()),
                false};
    // A fixed cut for the evening may be more than the first buy-ins: it matters only when the
    // game ends, with the last bust, and the money in is still all the house's.
    const bool endsEmpty =
        action == Action::Bust && next.left() == 1 && setup_.cutFixed && trial.collected() > 0 && trial.pool() == 0;
    if (endsEmpty && !confirmed) {
        const qint64 in = trial.collected();
        return {Verdict::Confirm,
                QStringLiteral("The house cut of %1%2 %3 the %1%4 in: the prize pool stays empty. "
                               "Record it anyway?")
                    .arg(currency_, grouped(setup_.cut),
                         setup_.cut > in ? QStringLiteral("is more than") : QStringLiteral("takes all of"),
                         grouped(in)),
                false};
    }

    const qint64 paidBefore = qint64(payouts().size());
    const qint64 leftBefore = counts_.left();
    Outcome done{Verdict::Done, {}, false};
    if (action != Action::Reentry && action != Action::Rebuy && action != Action::AddOn)
        record.player = 0;
    if (action == Action::Entry)
        done.player = int(players_.size()) + 1;
    else if (action == Action::Reentry)
        done.player = record.player;
    // The bounties first: a refusal leaves the seats as they were.
    std::optional<bounty::Book> book = book_;
    if (book) {
        const int busted = action == Action::Bust && seating_ ? seating_->at(seat) : 0;
        const int whose = action == Action::Bust ? busted : action == Action::Rebuy ? record.player : done.player;
        if (action != Action::Bust || busted > 0)
            if (const std::optional<QString> why = bountyPart(action, whose, record, *book))
                return refuse(*why);
    }
    if (seating_) {
        if (const std::optional<QString> why = this->seat(action, seat, record, done))
            return refuse(*why);
    }
    apply(record, done);
    whom_.push_back(done.player > 0 ? done.player : record.player);
    if (book && action == Action::Bust)
        done.bounty = bounty::bustText(
            *book, setup_.bountyRules(), {bounty::Event::Bust, done.player, record.by},
            [this](int p) { return playerName(p); }, currency_);
    book_ = std::move(book);
    records_.push_back(std::move(record));
    counts_ = next;
    if (action == Action::LockPayouts)
        locked_ = records_.back().locked;
    if (action == Action::LockPayouts)
        done.text = locked() ? QStringLiteral("Payouts locked: they stay as announced")
                             : QStringLiteral("Payouts unlocked: they follow the entries again");
    else if (action == Action::Move)
        done.text = QStringLiteral("Moved: ") + playerName(done.player) + QStringLiteral(", ") + tables::seatShort(seat)
                    + QStringLiteral(" → ") + tables::seatShort(done.seat);
    else if (action == Action::Bust && done.player > 0)
        done.text = playerName(done.player) + QStringLiteral(" is out — %1 left").arg(grouped(counts_.left()));
    else if (action == Action::Reentry && done.player > 0)
        done.text = playerName(done.player) + QStringLiteral(" re-enters — ") + leftText();
    else if (action == Action::Entry && !records_.back().name.isEmpty())
        done.text = QStringLiteral("Entry: ") + records_.back().name + QStringLiteral(" — ") + leftText();
    else if (action == Action::Redraw)
        done.text = QStringLiteral("Final table: the seats are drawn afresh");
    else
        done.text = actionName(action) + QStringLiteral(" — ") + leftText();
    if (action == Action::Entry && records_.back().less > 0)
        done.text += QStringLiteral(" · late stack ") + grouped(setup_.buyInChips - records_.back().less);
    const qint64 paid = qint64(payouts().size());
    done.inTheMoney = action == Action::Bust && leftBefore > paidBefore && counts_.left() <= paid;
    return done;
}

Ledger::Outcome Ledger::undo(std::optional<qint64> seen)
{
    if (records_.empty())
        return {Verdict::Refused, QStringLiteral("Nothing to undo."), false};
    // Another action came (or went) since the asker looked: it may not be the one meant.
    if (seen && *seen != qint64(records_.size()))
        return {Verdict::Confirm,
                QStringLiteral("The last action is now ") + actionText(records_.size() - 1)
                    + QStringLiteral(" — undo that?"),
                false};
    const QString last = actionText(records_.size() - 1);
    std::vector<Record> earlier(records_.begin(), records_.end() - 1);
    // The seats and places follow the records from the start: the same seed deals them again.
    std::optional<Ledger> before = replay(setup_, earlier);
    if (!before)
        return {Verdict::Refused, QStringLiteral("Nothing to undo."), false};
    const QString currency = currency_;
    *this = std::move(*before);
    currency_ = currency;
    return {Verdict::Done, QStringLiteral("Undone: ") + last + QStringLiteral(" — ") + leftText(), false};
}

void Ledger::recount()
{
    counts_ = Counts{};
    locked_.clear();
    for (const Record &r : records_) {
        switch (r.action) {
        case Action::Entry: ++counts_.entries; break;
        case Action::Reentry: ++counts_.reentries; break;
        case Action::Rebuy: ++counts_.rebuys; break;
        case Action::AddOn: ++counts_.addOns; break;
        case Action::Bust: ++counts_.busts; break;
        case Action::LockPayouts: locked_ = r.locked; break;
        case Action::Move:
        case Action::Redraw:
        case Action::Rename:
        case Action::Deal: break;
        }
    }
}

std::optional<Ledger> Ledger::replay(const Setup &setup, const std::vector<Record> &records)
{
    Ledger ledger(setup);
    for (const Record &r : records) {
        if (r.action == Action::LockPayouts) {
            // The amounts are kept as they were announced: a lock holds the places paid then,
            // none of them nothing, summing to the pool then.
            if (r.locked.empty() == !ledger.locked() || r.locked.size() > size_t(MaxPlaces))
                return std::nullopt;
            if (!r.locked.empty() && (ledger.counts().buyIns() == 0 || !sumsTo(r.locked, ledger.pool())))
                return std::nullopt;
            ledger.records_.push_back(r);
            ledger.recount();
            continue;
        }
        if (r.action == Action::Deal) {
            // A deal is taken as it was made: its players must be those in, its shares fit.
            const Outcome o = ledger.makeDeal(r.name, r.locked, r.ends, r.at);
            if (o.verdict != Verdict::Done || ledger.records_.back() != r)
                return std::nullopt;
            continue;
        }
        ledger.replayLess_ = r.less;
        const Outcome o = ledger.act(r.action, 0, r.at, true, r.seat, r.player, r.name, r.by);
        ledger.replayLess_.reset();
        // A buy-in's seat is drawn again: a file whose seats the draw does not give is not this game.
        // A re-entry kept without its player (an older file) is the last out's.
        Record expected = r;
        if (o.verdict == Verdict::Done && r.action == Action::Reentry && r.player == 0)
            expected.player = ledger.records_.back().player;
        if (o.verdict != Verdict::Done || ledger.records_.back() != expected)
            return std::nullopt;
    }
    return ledger;
}

bool Band::operator==(const Band &o) const
{
    return players == o.players && average == o.average && pool == o.pool && payouts == o.payouts
           && rounding == o.rounding && locked == o.locked && unshared == o.unshared && rebuysUntil == o.rebuysUntil
           && folded == o.folded && bounties == o.bounties;
}

QString Band::lines() const
{
    const auto join = [](const QStringList &parts) {
        QStringList shown;
        for (const QString &p : parts)
            if (!p.isEmpty())
                shown << p;
        return shown.join(QStringLiteral(" · "));
    };
    // The first five places, and how many more are paid: a line a room can read.
    constexpr int Shown = 5;
    QStringList places = payouts.mid(0, Shown);
    if (payouts.size() > Shown)
        places << QStringLiteral("%1 more paid").arg(payouts.size() - Shown);
    QString second = join(places);
    if (!second.isEmpty() && !rounding.isEmpty())
        second += QStringLiteral(" (") + rounding + QLatin1Char(')');
    const QString first = join({players, average, pool, bounties});
    const QString rest = join({second, folded, locked, unshared, rebuysUntil});
    return rest.isEmpty() ? first : first + QStringLiteral("\r\n") + rest;
}

Band band(const Ledger &ledger, int round, qint64 bigBlind, const QString &currency)
{
    Band b;
    const Counts &c = ledger.counts();
    if (c.buyIns() > 0)
        b.players = QStringLiteral("Players %1 / %2").arg(grouped(c.left()), grouped(c.buyIns()));
    const std::optional<qint64> average = ledger.averageStack();
    if (average && *average > 0) {
        b.average = QStringLiteral("Average stack ") + grouped(*average);
        if (bigBlind > 0)
            b.average += QStringLiteral(" (%1 BB)").arg(grouped(divideToEven(*average, bigBlind)));
    }
    const qint64 pool = ledger.pool();
    if (pool > 0) {
        b.pool = QStringLiteral("Prize pool ") + currency + grouped(pool);
        if (ledger.guaranteed())
            b.pool += QStringLiteral(" GTD");

        const std::vector<qint64> amounts = ledger.payouts();
        for (size_t i = 0; i < amounts.size(); ++i)
            b.payouts << ordinal(qint64(i) + 1) + QLatin1Char(' ') + currency + grouped(amounts[i]);
        // After a deal, the shares of the players in, and what they play on for.
        if (const std::optional<Deal> &deal = ledger.deal()) {
            b.payouts.clear();
            for (size_t i = 0; i < deal->players.size(); ++i)
                b.payouts << ledger.playerName(deal->players[i]) + QLatin1Char(' ') + currency
                                 + grouped(deal->shares[i]);
            if (deal->playFor > 0)
                b.payouts << QStringLiteral("%1%2 played for").arg(currency, grouped(deal->playFor));
        }
        if (ledger.setup().unit > 1)
            b.rounding = QStringLiteral("rounded to ") + currency + grouped(ledger.setup().unit);
        // More places typed than the players can finish in: the band says how many are paid.
        const qint64 typed = ledger.placesTyped();
        if (!ledger.locked() && !ledger.setup().shares.empty() && typed > c.entries)
            b.folded = QStringLiteral("%1 places typed, %2 can be paid").arg(typed).arg(c.entries);
    }
    if (ledger.bountyMoney() > 0)
        b.bounties = QStringLiteral("Bounties ") + currency + grouped(ledger.bountyMoney());
    if (ledger.locked())
        b.locked = QStringLiteral("Payouts locked");
    if (ledger.unshared() > 0)
        b.unshared = currency + grouped(ledger.unshared()) + QStringLiteral(" not in the payouts — unlock to share it");
    // Through the break that follows the last round, as the ledger takes them, once a player is in;
    // the re-entries named apart only when their last round is another.
    const qint64 rebuysLast = ledger.setup().rebuyLastRound;
    const qint64 reentriesLast = ledger.setup().reentryUntil();
    QStringList until;
    const Setup &setup = ledger.setup();
    if (setup.entryLastRound > 0 && ledger.entriesOpen(round)) {
        until << QStringLiteral("Late registration until round %1").arg(setup.entryLastRound);
        if (setup.lateLess > 0)
            until.back() += QStringLiteral(" (stack %1)").arg(grouped(setup.entryStack(round)));
    }
    if (rebuysLast > 0 && ledger.rebuysOpen(round))
        until << QStringLiteral("Rebuys until round %1").arg(rebuysLast);
    if (reentriesLast != rebuysLast && (ledger.rebuysOpen(round) || reentriesLast > 0) && ledger.reentriesOpen(round))
        until << (reentriesLast > 0 ? QStringLiteral("re-entries until round %1").arg(reentriesLast)
                                    : QStringLiteral("re-entries with no limit"));
    if (c.buyIns() > 0 && !until.isEmpty()) {
        b.rebuysUntil = until.join(QStringLiteral(", "));
        b.rebuysUntil[0] = b.rebuysUntil[0].toUpper();
        b.rebuysUntil.replace(QStringLiteral(", Rebuys"), QStringLiteral(", rebuys"));
    }
    return b;
}

} // namespace tournament
