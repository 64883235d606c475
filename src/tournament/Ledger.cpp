#include "tournament/Ledger.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

namespace tournament {

namespace {

constexpr qint32 Whole = 100000; // 100 % in thousandths of a percent

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

std::vector<qint32> percent(std::initializer_list<double> values)
{
    std::vector<qint32> shares;
    for (const double v : values)
        shares.push_back(qint32(std::lround(v * 1000)));
    return shares;
}

} // namespace

bool Setup::operator==(const Setup &o) const
{
    return buyIn == o.buyIn && buyInChips == o.buyInChips && reentry == o.reentry && reentryChips == o.reentryChips
           && rebuy == o.rebuy && rebuyChips == o.rebuyChips && rebuyLastRound == o.rebuyLastRound && addOn == o.addOn
           && addOnChips == o.addOnChips && cut == o.cut && cutFixed == o.cutFixed && added == o.added
           && guarantee == o.guarantee && unit == o.unit && shares == o.shares && speak == o.speak
           && reentryLastRound == o.reentryLastRound && layout == o.layout && seed == o.seed;
}

QString actionName(Action action)
{
    switch (action) {
    case Action::Entry: return QStringLiteral("Entry");
    case Action::Reentry: return QStringLiteral("Re-entry");
    case Action::Rebuy: return QStringLiteral("Rebuy");
    case Action::AddOn: return QStringLiteral("Add-on");
    case Action::Bust: return QStringLiteral("Bust");
    case Action::LockPayouts: return QStringLiteral("Lock payouts");
    case Action::Move: return QStringLiteral("Move");
    case Action::Redraw: return QStringLiteral("Seat redraw");
    }
    return {};
}

std::vector<qint32> tableShares(qint64 buyIns)
{
    struct Row {
        qint64 upTo;
        std::vector<qint32> shares;
    };
    static const std::array<Row, 8> table{{
        {5, percent({100})},
        {7, percent({60, 40})},
        {12, percent({50, 30, 20})},
        {18, percent({40, 30, 20, 10})},
        {27, percent({40, 23, 16, 12, 9})},
        {36, percent({33, 20, 15, 11, 8, 7, 6})},
        {50, percent({29, 18, 13, 10, 8, 7, 6, 5, 4})},
        {66, percent({26, 16.5, 12, 9.5, 8, 6.5, 5, 4, 3.5, 3, 3, 3})},
    }};
    for (const Row &row : table)
        if (buyIns <= row.upTo)
            return row.shares;
    // Beyond the table: one place in five, at least 13, with shares falling as 1/(place + ½);
    // each place but the first rounded down to a thousandth of a percent, the rest to the first.
    const int places = int(std::min<qint64>(MaxPlaces, std::max<qint64>(13, buyIns / 5)));
    double total = 0;
    for (int i = 1; i <= places; ++i)
        total += 1.0 / (i + 0.5);
    std::vector<qint32> shares(size_t(places), 0);
    qint32 rest = Whole;
    for (int i = 2; i <= places; ++i) {
        shares[size_t(i - 1)] = qint32(std::floor(Whole / ((i + 0.5) * total)));
        rest -= shares[size_t(i - 1)];
    }
    shares[0] = rest;
    return shares;
}

std::optional<std::vector<qint32>> parseShares(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d{1,3})(?:\\.(\\d{1,3}))?\\s*$"));
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() > MaxPlaces)
        return std::nullopt;
    std::vector<qint32> shares;
    qint64 sum = 0;
    for (const QString &part : parts) {
        const QRegularExpressionMatch m = number.match(part);
        if (!m.hasMatch())
            return std::nullopt;
        const QString fraction = (m.captured(2) + QStringLiteral("000")).left(3);
        const qint32 share = m.captured(1).toInt() * 1000 + fraction.toInt();
        if (share <= 0)
            return std::nullopt;
        shares.push_back(share);
        sum += share;
    }
    if (sum != Whole)
        return std::nullopt;
    return shares;
}

QString sharesText(const std::vector<qint32> &shares)
{
    QStringList parts;
    for (const qint32 s : shares) {
        QString t = QString::number(s / 1000);
        if (s % 1000 != 0) {
            QString fraction = QStringLiteral("%1").arg(s % 1000, 3, 10, QLatin1Char('0'));
            while (fraction.endsWith(QLatin1Char('0')))
                fraction.chop(1);
            t += QLatin1Char('.') + fraction;
        }
        parts << t;
    }
    return parts.join(QLatin1Char('/'));
}

std::vector<qint64> splitPool(qint64 pool, const std::vector<qint32> &shares, qint64 unit)
{
    if (shares.empty())
        return {pool};
    const qint64 step = std::max<qint64>(1, unit);
    std::vector<qint64> amounts(shares.size(), 0);
    qint64 rest = pool;
    for (size_t i = 1; i < shares.size(); ++i) {
        const qint64 exact = qint64(__int128(pool) * shares[i] / Whole);
        amounts[i] = exact / step * step;
        rest -= amounts[i];
    }
    amounts[0] = rest;
    return amounts;
}

QString grouped(qint64 value)
{
    QString digits = QString::number(value < 0 ? -(value + 1) + 1ULL : quint64(value));
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString ordinal(qint64 place)
{
    const qint64 tens = place % 100;
    const char *suffix = "th";
    if (tens < 11 || tens > 13) {
        switch (place % 10) {
        case 1: suffix = "st"; break;
        case 2: suffix = "nd"; break;
        case 3: suffix = "rd"; break;
        default: break;
        }
    }
    return QString::number(place) + QLatin1String(suffix);
}

QString numberWords(qint64 n)
{
    static const char *const small[] = {
        "zero", "one",    "two",    "three",    "four",     "five",    "six",     "seven",     "eight",    "nine",
        "ten",  "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char *const tens[] = {"",      "",      "twenty",  "thirty", "forty",
                                       "fifty", "sixty", "seventy", "eighty", "ninety"};
    if (n < 0 || n > 999999)
        return grouped(n);
    const auto below100 = [&](qint64 v) {
        if (v < 20)
            return QString::fromLatin1(small[v]);
        QString t = QString::fromLatin1(tens[v / 10]);
        if (v % 10 != 0)
            t += QLatin1Char('-') + QString::fromLatin1(small[v % 10]);
        return t;
    };
    const auto below1000 = [&](qint64 v) {
        if (v < 100)
            return below100(v);
        QString t = QString::fromLatin1(small[v / 100]) + QStringLiteral(" hundred");
        if (v % 100 != 0)
            t += QStringLiteral(" and ") + below100(v % 100);
        return t;
    };
    QString words;
    if (n >= 1000) {
        words = below1000(n / 1000) + QStringLiteral(" thousand");
        if (n % 1000 != 0)
            words += (n % 1000 < 100 ? QStringLiteral(" and ") : QStringLiteral(" ")) + below1000(n % 1000);
    } else {
        words = below1000(n);
    }
    words[0] = words[0].toUpper();
    return words;
}

QString playersLeft(qint64 n)
{
    return grouped(n) + (n == 1 ? QStringLiteral(" player left") : QStringLiteral(" players left"));
}

QString bustAnnouncement(qint64 left)
{
    return numberWords(left) + (left == 1 ? QStringLiteral(" player left") : QStringLiteral(" players left"));
}

const QString InTheMoney = QStringLiteral("We are in the money");

std::optional<qint64> Ledger::money(const Counts &c) const
{
    const Setup &s = setup_;
    return sumOfProducts(
        {{c.entries, s.buyIn}, {c.reentries, s.reentryAmount()}, {c.rebuys, s.rebuy}, {c.addOns, s.addOn}});
}

std::optional<qint64> Ledger::chips(const Counts &c) const
{
    const Setup &s = setup_;
    return sumOfProducts({{c.entries, s.buyInChips},
                          {c.reentries, s.reentryChipCount()},
                          {c.rebuys, s.rebuyChips},
                          {c.addOns, s.addOnChips}});
}

qint64 Ledger::cut() const
{
    const qint64 in = collected();
    if (setup_.cutFixed)
        return std::clamp<qint64>(setup_.cut, 0, in);
    return divideToEven(__int128(in) * std::clamp<qint64>(setup_.cut, 0, 100), 100);
}

qint64 Ledger::netPool() const
{
    qint64 net = 0;
    if (__builtin_add_overflow(collected() - cut(), std::max<qint64>(0, setup_.added), &net))
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
    std::vector<qint64> amounts = splitPool(pool(), shares(), setup_.unit);
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
    if (setup_.layout.tables > 1)
        seating_.emplace(setup_.layout, setup_.seed);
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
        const std::optional<tables::Seat> drawn = s.sit(int(counts_.buyIns() + 1));
        if (!drawn)
            return QStringLiteral("Every seat at the tables is taken.");
        record.seat = done.seat = *drawn;
        return std::nullopt;
    }
    case Action::Bust: {
        if (s.at(seat) == 0)
            return seat.valid() ? seatText(seat) + QStringLiteral(" is empty.")
                                : QStringLiteral("Name the seat of the player who is out.");
        const qint64 place = counts_.left();
        finishes_.push_back({place, s.bust(seat), seat});
        record.seat = seat;
        done.broken = s.broken();
        return std::nullopt;
    }
    case Action::Move: {
        const std::optional<tables::Move> m = s.suggestion();
        if (!m)
            return QStringLiteral("The tables need no move now.");
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

Ledger::Outcome Ledger::act(Action action, int round, qint64 at, bool confirmed, tables::Seat seat)
{
    const auto refuse = [](const QString &why) { return Outcome{Verdict::Refused, why, false}; };
    if (records_.size() >= size_t(MaxRecords))
        return refuse(QStringLiteral("This game holds as many actions as can be kept."));
    Counts next = counts_;
    Record record{action, at, {}, {}};
    switch (action) {
    case Action::Move:
    case Action::Redraw:
        if (!seating_)
            return refuse(QStringLiteral("The players sit at one table."));
        break;
    case Action::Entry: ++next.entries; break;
    case Action::Reentry:
        if (counts_.busts - counts_.reentries <= 0)
            return refuse(QStringLiteral("No busted player to re-enter."));
        ++next.reentries;
        break;
    case Action::Rebuy:
    case Action::AddOn:
        if (counts_.left() <= 0)
            return refuse(QStringLiteral("No player is in the game."));
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
    if (!money(next) || !chips(next) || trial.netPool() == std::numeric_limits<qint64>::max())
        return refuse(QStringLiteral("The money or the chips would be more than can be counted."));
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
    if (seating_) {
        if (const std::optional<QString> why = this->seat(action, seat, record, done))
            return refuse(*why);
    } else if (action == Action::Bust) {
        finishes_.push_back({leftBefore, 0, {}});
    }
    records_.push_back(std::move(record));
    counts_ = next;
    if (action == Action::LockPayouts)
        locked_ = records_.back().locked;
    if (action == Action::LockPayouts)
        done.text = locked() ? QStringLiteral("Payouts locked: they stay as announced")
                             : QStringLiteral("Payouts unlocked: they follow the entries again");
    else if (action == Action::Move)
        done.text =
            QStringLiteral("Moved: ") + tables::seatText(seat) + QStringLiteral(" to ") + tables::seatText(done.seat);
    else if (action == Action::Redraw)
        done.text = QStringLiteral("Final table: the seats are drawn afresh");
    else
        done.text = actionName(action) + QStringLiteral(" — ") + leftText();
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
                QStringLiteral("The last action is now ") + recordName(records_.back())
                    + QStringLiteral(" — undo that?"),
                false};
    const Record last = records_.back();
    std::vector<Record> earlier(records_.begin(), records_.end() - 1);
    // The seats and places follow the records from the start: the same seed deals them again.
    std::optional<Ledger> before = replay(setup_, earlier);
    if (!before)
        return {Verdict::Refused, QStringLiteral("Nothing to undo."), false};
    const QString currency = currency_;
    *this = std::move(*before);
    currency_ = currency;
    return {Verdict::Done, QStringLiteral("Undone: ") + recordName(last) + QStringLiteral(" — ") + leftText(), false};
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
        case Action::Redraw: break;
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
        const Outcome o = ledger.act(r.action, 0, r.at, true, r.seat);
        // A buy-in's seat is drawn again: a file whose seats the draw does not give is not this game.
        if (o.verdict != Verdict::Done || ledger.records_.back() != r)
            return std::nullopt;
    }
    return ledger;
}

bool Band::operator==(const Band &o) const
{
    return players == o.players && average == o.average && pool == o.pool && payouts == o.payouts
           && rounding == o.rounding && locked == o.locked && unshared == o.unshared && rebuysUntil == o.rebuysUntil;
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
    const QString first = join({players, average, pool});
    const QString rest = join({second, locked, unshared, rebuysUntil});
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
        if (ledger.setup().unit > 1)
            b.rounding = QStringLiteral("rounded to ") + currency + grouped(ledger.setup().unit);
    }
    if (ledger.locked())
        b.locked = QStringLiteral("Payouts locked");
    if (ledger.unshared() > 0)
        b.unshared = currency + grouped(ledger.unshared()) + QStringLiteral(" not in the payouts — unlock to share it");
    // Through the break that follows the last round, as the ledger takes them, once a player is in;
    // the re-entries named apart only when their last round is another.
    const qint64 rebuysLast = ledger.setup().rebuyLastRound;
    const qint64 reentriesLast = ledger.setup().reentryUntil();
    QStringList until;
    if (rebuysLast > 0 && ledger.rebuysOpen(round))
        until << QStringLiteral("Rebuys until round %1").arg(rebuysLast);
    if (reentriesLast != rebuysLast && (ledger.rebuysOpen(round) || reentriesLast > 0) && ledger.reentriesOpen(round))
        until << (reentriesLast > 0 ? QStringLiteral("re-entries until round %1").arg(reentriesLast)
                                    : QStringLiteral("re-entries with no limit"));
    if (c.buyIns() > 0 && !until.isEmpty()) {
        b.rebuysUntil = until.join(QStringLiteral(", "));
        b.rebuysUntil[0] = b.rebuysUntil[0].toUpper();
    }
    return b;
}

} // namespace tournament
