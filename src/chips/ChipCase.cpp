#include "chips/ChipCase.h"

#include "tournament/Ledger.h"
#include "tournament/SetupTexts.h"

#include <QRegularExpression>
#include <QtNumeric>
#include <algorithm>
#include <limits>
#include <numeric>
#include <queue>

namespace chips {

namespace {

const QString Separators = QStringLiteral("/;");

// A count or value as typed: digits only, within `most`; blank is `blank`.
std::optional<qint64> number(const QString &text, qint64 most, std::optional<qint64> blank)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return blank;
    const std::optional<qint64> v = tournament::parseAmount(t);
    if (!v || *v > most)
        return std::nullopt;
    return v;
}

} // namespace

std::optional<ChipCase> parseRows(const std::vector<ChipRow> &rows, QString *why, std::vector<RowProblem> *problems)
{
    std::vector<RowProblem> found;
    std::vector<qint64> values;
    ChipCase chips;
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChipRow &r = rows[i];
        const int row = int(i);
        const QString chip = QStringLiteral("Chip %1: ").arg(i + 1);
        if (r.value.trimmed().isEmpty() && r.colour.trimmed().isEmpty() && r.count.trimmed().isEmpty())
            continue;
        const std::optional<qint64> value = number(r.value, MaxChipValue, std::nullopt);
        if (!value || *value < 1)
            found.push_back(
                {row, 0, chip + QStringLiteral("the value must be a whole number from 1 to 1,000,000,000.")});
        else if (std::find(values.begin(), values.end(), *value) != values.end())
            found.push_back({row, 0, chip + tournament::grouped(*value) + QStringLiteral(" is already in the case.")});
        else
            values.push_back(*value);
        const QString colour = r.colour.simplified();
        if (std::any_of(colour.begin(), colour.end(), [](QChar c) { return Separators.contains(c); }))
            found.push_back({row, 1, chip + QStringLiteral("a colour cannot hold “/” or “;”.")});
        const std::optional<qint64> count = number(r.count, MaxChipCount, 0);
        if (!count)
            found.push_back({row, 2, chip + QStringLiteral("how many must be a whole number up to 1,000,000.")});
        if (found.empty())
            chips.push_back({*value, colour, *count});
    }
    if (int(chips.size()) > MaxChips)
        found.push_back({-1, 0, QStringLiteral("A case holds at most %1 kinds of chip.").arg(MaxChips)});
    if (problems)
        *problems = found;
    if (!found.empty()) {
        if (why)
            *why = found.front().text;
        return std::nullopt;
    }
    std::sort(chips.begin(), chips.end(), [](const Chip &a, const Chip &b) { return a.value < b.value; });
    return chips;
}

QString caseText(const ChipCase &chips)
{
    QStringList parts;
    for (const Chip &c : chips)
        // Joined, not substituted: a colour may hold "%1".
        parts << QString::number(c.value) + QLatin1Char('/') + c.colour + QLatin1Char('/') + QString::number(c.count);
    return parts.join(QLatin1Char(';'));
}

std::optional<ChipCase> parseCaseText(const QString &text)
{
    std::vector<ChipRow> rows;
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList f = part.split(QLatin1Char('/'));
        if (f.size() != 3 || f[0].trimmed().isEmpty())
            return std::nullopt;
        rows.push_back({f[0], f[1], f[2]});
    }
    if (int(rows.size()) > MaxChips)
        return std::nullopt;
    return parseRows(rows, nullptr);
}

QString chipsNamed(const std::vector<qint64> &values)
{
    QStringList names;
    for (qint64 v : values)
        names << QStringLiteral("the %1s").arg(tournament::grouped(v));
    if (names.size() < 2)
        return names.value(0);
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

std::optional<qint64> wholeAmount(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,18})(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QString fraction = m.captured(2);
    if (std::any_of(fraction.begin(), fraction.end(), [](QChar c) { return c != QLatin1Char('0'); }))
        return std::nullopt;
    return m.captured(1).toLongLong();
}

Payer::Payer(std::vector<qint64> chips)
{
    chips.erase(std::remove_if(chips.begin(), chips.end(), [](qint64 v) { return v <= 0; }), chips.end());
    std::sort(chips.begin(), chips.end());
    chips.erase(std::unique(chips.begin(), chips.end()), chips.end());
    if (chips.empty())
        return;
    unit_ = chips.front();
    for (qint64 v : chips)
        unit_ = std::gcd(unit_, v);
    for (qint64 &v : chips)
        v /= unit_;
    chips_ = std::move(chips);
    // The least amount in each remainder after the smallest chip, by the shortest paths over the
    // remainders: an amount is paid when it is at least the least of its remainder.
    constexpr qint64 MostRemainders = 1 << 16;
    const qint64 m = chips_.front();
    if (m > MostRemainders)
        return;
    constexpr qint64 None = std::numeric_limits<qint64>::max();
    least_.assign(size_t(m), None);
    least_[0] = 0;
    using Node = std::pair<qint64, qint64>; // amount, remainder
    std::priority_queue<Node, std::vector<Node>, std::greater<>> next;
    next.push({0, 0});
    while (!next.empty()) {
        const auto [amount, r] = next.top();
        next.pop();
        if (amount != least_[size_t(r)])
            continue;
        for (size_t i = 1; i < chips_.size(); ++i) {
            const qint64 to = amount + chips_[i];
            const qint64 tr = to % m;
            if (to < least_[size_t(tr)]) {
                least_[size_t(tr)] = to;
                next.push({to, tr});
            }
        }
    }
}

bool Payer::pays(qint64 amount) const
{
    if (amount == 0)
        return true;
    if (amount < 0 || chips_.empty() || amount % unit_ != 0)
        return false;
    const qint64 units = amount / unit_;
    if (!least_.empty())
        return least_[size_t(units % chips_.front())] <= units;
    // Chips far apart from what they share: only what one kind of chip pays alone.
    return std::any_of(chips_.begin(), chips_.end(), [units](qint64 v) { return units % v == 0; });
}

bool Payer::pays(const QString &amount) const
{
    const std::optional<qint64> whole = wholeAmount(amount);
    return whole && pays(*whole);
}

std::vector<qint64> valuesFrom(const ChipCase &chips, size_t from)
{
    std::vector<qint64> values;
    for (size_t i = from; i < chips.size(); ++i)
        values.push_back(chips[i].value);
    return values;
}

qint64 Stack::chips() const
{
    qint64 n = 0;
    for (qint64 c : counts)
        n += c;
    return n;
}

qint64 Stack::worth(const ChipCase &chips) const
{
    qint64 w = 0;
    for (size_t i = 0; i < counts.size() && i < chips.size(); ++i)
        w += counts[i] * chips[i].value;
    return w;
}

namespace {

// The stack of suggestStack with at most cap[i] of each chip.
std::optional<Stack> stackWithin(const ChipCase &chips, qint64 amount, std::vector<qint64> cap)
{
    const size_t n = chips.size();
    // The chips a stack of this size can use.
    size_t usable = 0;
    while (usable < n && chips[usable].value <= amount)
        ++usable;
    if (usable == 0 || amount <= 0)
        return std::nullopt;
    for (size_t i = usable; i < n; ++i)
        cap[i] = 0;

    Stack s{std::vector<qint64>(n, 0)};
    std::vector<qint64> least(n, 0);
    qint64 left = amount;
    // Enough of each chip to change one of the next, as far as the amount goes.
    for (size_t i = 0; i + 1 < usable; ++i) {
        const qint64 change = (chips[i + 1].value + chips[i].value - 1) / chips[i].value;
        least[i] = std::min({change, cap[i], left / chips[i].value});
        s.counts[i] = least[i];
        left -= least[i] * chips[i].value;
    }
    // The rest in the largest chips that fit.
    for (size_t i = usable; i-- > 0;) {
        const qint64 take = std::min(left / chips[i].value, cap[i] - s.counts[i]);
        s.counts[i] += take;
        left -= take * chips[i].value;
    }
    if (left != 0)
        return std::nullopt;
    // Too few chips to play with: the smallest chip that can be changed goes for the next
    // smaller ones, keeping what each needs to change the next while it can.
    for (bool keep : {true, false}) {
        while (s.chips() < MinStackChips) {
            bool changed = false;
            for (size_t i = 1; i < usable && !changed; ++i) {
                const qint64 per = chips[i].value / chips[i - 1].value;
                if (s.counts[i] <= (keep ? least[i] : 0) || chips[i].value % chips[i - 1].value != 0
                    || s.counts[i - 1] > cap[i - 1] - per)
                    continue;
                --s.counts[i];
                s.counts[i - 1] += per;
                changed = true;
            }
            if (!changed)
                break;
        }
    }
    return s;
}

// How many of each chip one of `sets` stacks may take out of `left`.
std::vector<qint64> shareOf(const ChipCase &chips, const std::vector<qint64> &left, qint64 sets)
{
    std::vector<qint64> cap(chips.size(), std::numeric_limits<qint64>::max());
    for (size_t i = 0; i < chips.size(); ++i)
        if (chips[i].count > 0)
            cap[i] = left[i] / sets;
    return cap;
}

} // namespace

std::optional<Stack> suggestStack(const ChipCase &chips, qint64 amount, qint64 sets)
{
    if (chips.empty() || amount <= 0 || sets < 1)
        return std::nullopt;
    std::vector<qint64> counts;
    for (const Chip &c : chips)
        counts.push_back(c.count);
    return stackWithin(chips, amount, shareOf(chips, counts, sets));
}

QString stackText(const ChipCase &chips, const Stack &stack)
{
    QStringList parts;
    for (size_t i = 0; i < stack.counts.size() && i < chips.size(); ++i)
        if (stack.counts[i] > 0)
            parts << QStringLiteral("%1 × %2").arg(stack.counts[i]).arg(tournament::grouped(chips[i].value));
    return parts.join(QStringLiteral(", "));
}

std::optional<qint64> playersSeated(const ChipCase &chips, const Stack &stack, const std::vector<qint64> &reserved)
{
    std::optional<qint64> seats;
    for (size_t i = 0; i < chips.size() && i < stack.counts.size(); ++i) {
        if (chips[i].count <= 0 || stack.counts[i] <= 0)
            continue;
        const qint64 free = std::max<qint64>(0, chips[i].count - (i < reserved.size() ? reserved[i] : 0));
        const qint64 here = free / stack.counts[i];
        seats = seats ? std::min(*seats, here) : here;
    }
    return seats;
}

std::optional<std::vector<Stack>> fieldStacks(const ChipCase &chips, const std::vector<Demand> &demands)
{
    qint64 all = 0;
    for (const Demand &d : demands)
        if (d.amount > 0 && d.stacks > 0 && qAddOverflow(all, d.stacks, &all))
            return std::nullopt;
    // Each mix taken out of what the case still holds, in the order given: `sets` the stacks
    // each demand's chips are shared among (0: its own stacks).
    const auto take = [&](const std::vector<Demand> &order, const std::vector<qint64> &sets) {
        std::vector<qint64> left;
        for (const Chip &c : chips)
            left.push_back(c.count);
        std::vector<Stack> mix;
        for (size_t k = 0; k < order.size(); ++k) {
            const Demand &d = order[k];
            if (d.amount <= 0 || d.stacks <= 0) {
                mix.push_back({std::vector<qint64>(chips.size(), 0)});
                continue;
            }
            const std::optional<Stack> s =
                stackWithin(chips, d.amount, shareOf(chips, left, sets[k] > 0 ? sets[k] : d.stacks));
            if (!s)
                return std::optional<std::vector<Stack>>();
            for (size_t i = 0; i < chips.size(); ++i) {
                qint64 used = 0;
                if (chips[i].count > 0 && (qMulOverflow(s->counts[i], d.stacks, &used) || used > left[i]))
                    return std::optional<std::vector<Stack>>();
                left[i] -= used;
            }
            mix.push_back(*s);
        }
        return std::optional(mix);
    };
    const std::vector<qint64> fewest(demands.size(), 1);
    // Each in its fewest chips; then the others so and the first shared out of what they leave;
    // then each within an even share of every counted chip.
    std::vector<Demand> firstLast(demands.begin() + (demands.empty() ? 0 : 1), demands.end());
    if (!demands.empty())
        firstLast.push_back(demands.front());
    std::vector<qint64> othersFewest(demands.size(), 1);
    if (!othersFewest.empty())
        othersFewest.back() = 0;
    if (std::optional<std::vector<Stack>> mix = take(demands, fewest))
        return mix;
    if (std::optional<std::vector<Stack>> mix = take(firstLast, othersFewest)) {
        std::rotate(mix->rbegin(), mix->rbegin() + 1, mix->rend());
        return mix;
    }
    return take(demands, std::vector<qint64>(demands.size(), all));
}

} // namespace chips
