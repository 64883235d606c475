#include "deal/ChipCount.h"

#include "tournament/Ledger.h"

#include <algorithm>
#include <numeric>

namespace deal {

using tournament::grouped;

QString countCheck(qint64 counted, qint64 inPlay)
{
    if (counted < 0 || inPlay < 0)
        return QStringLiteral("A count cannot be negative.");
    // Both at least 0: the difference fits.
    const QString chips =
        QStringLiteral("the %1 %2 in play.").arg(grouped(inPlay), QLatin1String(inPlay == 1 ? "chip" : "chips"));
    if (counted == inPlay)
        return QStringLiteral("The counts add up to ") + chips;
    const qint64 off = counted < inPlay ? inPlay - counted : counted - inPlay;
    return QStringLiteral("Counted %1: %2 %3 ")
               .arg(grouped(counted), grouped(off), QLatin1String(counted < inPlay ? "short of" : "over"))
           + chips;
}

QString bigBlinds(qint64 stack, qint64 bigBlind)
{
    if (bigBlind <= 0 || stack < 0)
        return QStringLiteral("—");
    qint64 whole = stack / bigBlind;
    const qint64 rest = stack % bigBlind, up = bigBlind - rest;
    if (rest > up || (rest == up && whole % 2 == 1))
        ++whole;
    return grouped(whole) + QStringLiteral(" BB");
}

std::vector<Row> countRows(const QStringList &names, const std::vector<qint64> &stacks, qint64 bigBlind)
{
    std::vector<size_t> order(stacks.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return stacks[a] > stacks[b]; });
    std::vector<Row> rows;
    rows.reserve(order.size());
    for (size_t i : order)
        rows.push_back({names.value(qsizetype(i)), stacks[i], bigBlinds(stacks[i], bigBlind), rows.empty()});
    return rows;
}

} // namespace deal
