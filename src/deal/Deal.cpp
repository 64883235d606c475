#include "deal/Deal.h"

#include "tournament/Ledger.h"

#include <algorithm>
#include <cmath>

namespace deal {

namespace {

using Wide = __int128;

std::optional<Deal> refuse(QString *why, const char *text)
{
    if (why)
        *why = QString::fromUtf8(text);
    return std::nullopt;
}

// num / den rounded down to the unit; num >= 0, den > 0, and the quotient no more than a qint64.
qint64 downTo(Wide num, Wide den, qint64 unit)
{
    return qint64(num / (den * unit)) * unit;
}

// The column from each share rounded down: what the rounding left goes to the chip leader.
Column settle(Method method, std::vector<qint64> shares, const std::vector<long double> &exact, qint64 money,
              int leader)
{
    Wide sum = 0;
    for (qint64 s : shares)
        sum += s;
    shares[size_t(leader)] += qint64(money - sum);
    return {method, std::move(shares), std::vector<double>(exact.begin(), exact.end()), {}};
}

// Malmuth–Harville: of the players not yet placed, each takes the best place still open in
// proportion to their chips. `reach` is the chance that exactly the players in a set are still
// unplaced; a set reaches only smaller ones, so counting down visits each before it is used.
std::vector<long double> icm(const std::vector<qint64> &stacks, const std::vector<qint64> &paid)
{
    const int n = int(stacks.size()), all = (1 << n) - 1;
    std::vector<long double> reach(size_t(all) + 1, 0), expect(size_t(n), 0);
    reach[size_t(all)] = 1;
    for (int left = all; left > 0; --left) {
        long double chips = 0;
        int placed = n;
        for (int i = 0; i < n; ++i) {
            if (left >> i & 1) {
                chips += stacks[size_t(i)];
                --placed;
            }
        }
        for (int i = 0; i < n; ++i) {
            if (left >> i & 1) {
                const long double p = reach[size_t(left)] * stacks[size_t(i)] / chips;
                expect[size_t(i)] += p * paid[size_t(placed)];
                reach[size_t(left & ~(1 << i))] += p;
            }
        }
    }
    return expect;
}

} // namespace

std::optional<Deal> make(const Ask &ask, QString *why)
{
    const size_t n = ask.stacks.size();
    if (n < 2 || n > 9)
        return refuse(why, "A deal needs 2 to 9 players left.");
    if (std::any_of(ask.stacks.begin(), ask.stacks.end(), [](qint64 s) { return s <= 0; }))
        return refuse(why, "A stack must be at least one chip.");
    if (ask.unit < 1)
        return refuse(why, "The payout unit must be at least 1.");
    if (ask.playFor < 0)
        return refuse(why, "The amount played for cannot be negative.");
    std::vector<qint64> paid(n, 0); // what each place among those left pays
    std::copy_n(ask.prizes.begin(), std::min(n, ask.prizes.size()), paid.begin());
    if (std::any_of(paid.begin(), paid.end(), [](qint64 p) { return p < 0; }))
        return refuse(why, "A prize cannot be negative.");
    if (ask.playFor > paid[0])
        return refuse(why, "The amount played for is more than the first prize.");
    paid[0] -= ask.playFor;
    qint64 chips = 0, money = 0;
    for (size_t i = 0; i < n; ++i) {
        if (__builtin_add_overflow(chips, ask.stacks[i], &chips) || __builtin_add_overflow(money, paid[i], &money))
            return refuse(why, "The chips or the prizes are too large to work out.");
    }
    if (money == 0)
        return refuse(why, "Nothing is left to share.");

    Deal d;
    d.money = money;
    d.playFor = ask.playFor;
    d.leader = int(std::max_element(ask.stacks.begin(), ask.stacks.end()) - ask.stacks.begin());
    const qint64 unit = ask.unit;
    std::vector<qint64> shares(n);
    std::vector<long double> exact(n);

    for (size_t i = 0; i < n; ++i) {
        shares[i] = downTo(money, Wide(n), unit);
        exact[i] = (long double)money / n;
    }
    d.columns.push_back(settle(Method::Even, shares, exact, money, d.leader));

    for (size_t i = 0; i < n; ++i) {
        shares[i] = downTo(Wide(money) * ask.stacks[i], chips, unit);
        exact[i] = (long double)money * ask.stacks[i] / chips;
    }
    d.columns.push_back(settle(Method::ChipChop, shares, exact, money, d.leader));

    // Everyone is sure of the prize of the last place left; the rest goes by chips.
    const qint64 next = paid[n - 1];
    if (Wide(next) * Wide(n) > money) {
        const QString cannot = QStringLiteral("The money left cannot pay each player the next prize of %1.");
        d.columns.push_back({Method::NextPrize, {}, {}, cannot.arg(tournament::grouped(next))});
    } else {
        const qint64 rest = money - next * qint64(n);
        for (size_t i = 0; i < n; ++i) {
            // next + rest·stack/chips, rounded down to the unit but never below the next prize
            shares[i] = std::max(next, downTo(Wide(next) * chips + Wide(rest) * ask.stacks[i], chips, unit));
            exact[i] = next + (long double)rest * ask.stacks[i] / chips;
        }
        d.columns.push_back(settle(Method::NextPrize, shares, exact, money, d.leader));
    }

    exact = icm(ask.stacks, paid);
    const qint64 most = money / unit; // whole units: no share is more than the money
    for (size_t i = 0; i < n; ++i) {
        // Worked out in floating point: 2999.9999999 stands for 3000, not 2999.
        const long double v = exact[i] / unit, units = std::floor(v + 1e-9L + v * 1e-15L);
        shares[i] = qint64(std::clamp<long double>(units, 0, most)) * unit;
    }
    d.columns.push_back(settle(Method::Icm, shares, exact, money, d.leader));
    return d;
}

QString methodName(Method m)
{
    switch (m) {
    case Method::Even: return QStringLiteral("Even");
    case Method::ChipChop: return QStringLiteral("Chip chop");
    case Method::NextPrize: return QStringLiteral("Chip chop + next prize");
    case Method::Icm: return QStringLiteral("ICM");
    }
    return {};
}

} // namespace deal
