#include "chips/ChipCase.h"

#include "tournament/Ledger.h"
#include "tournament/SetupTexts.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

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

std::optional<ChipCase> parseRows(const std::vector<ChipRow> &rows, QString *why)
{
    const auto fail = [why](const QString &text) -> std::optional<ChipCase> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    ChipCase chips;
    for (size_t i = 0; i < rows.size(); ++i) {
        const ChipRow &r = rows[i];
        const QString chip = QStringLiteral("Chip %1: ").arg(i + 1);
        if (r.value.trimmed().isEmpty() && r.colour.trimmed().isEmpty() && r.count.trimmed().isEmpty())
            continue;
        const std::optional<qint64> value = number(r.value, MaxChipValue, std::nullopt);
        if (!value || *value < 1)
            return fail(chip + QStringLiteral("the value must be a whole number from 1 to 1,000,000,000."));
        const std::optional<qint64> count = number(r.count, MaxChipCount, 0);
        if (!count)
            return fail(chip + QStringLiteral("how many must be a whole number up to 1,000,000."));
        const QString colour = r.colour.simplified();
        if (std::any_of(colour.begin(), colour.end(), [](QChar c) { return Separators.contains(c); }))
            return fail(chip + QStringLiteral("a colour cannot hold “/” or “;”."));
        if (std::any_of(chips.begin(), chips.end(), [&](const Chip &c) { return c.value == *value; }))
            return fail(chip + QStringLiteral("%1 is already in the case.").arg(tournament::grouped(*value)));
        if (int(chips.size()) == MaxChips)
            return fail(QStringLiteral("A case holds at most %1 kinds of chip.").arg(MaxChips));
        chips.push_back({*value, colour, *count});
    }
    std::sort(chips.begin(), chips.end(), [](const Chip &a, const Chip &b) { return a.value < b.value; });
    return chips;
}

QString caseText(const ChipCase &chips)
{
    QStringList parts;
    for (const Chip &c : chips)
        parts << QStringLiteral("%1/%2/%3").arg(c.value).arg(c.colour).arg(c.count);
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

bool makes(qint64 chip, const QString &amount)
{
    const std::optional<qint64> whole = wholeAmount(amount);
    return chip > 0 && whole && *whole % chip == 0;
}

void roundToChips(const ChipCase &chips, std::vector<QString> &small, std::vector<QString> &big)
{
    if (chips.empty())
        return;
    const qint64 chip = chips.front().value;
    // The nearest multiple, halves to the even one; at least one chip; none beyond 2^53 (the
    // automatic structure's amounts are 32-bit, so none is).
    const auto rounded = [chip](const QString &text) -> std::optional<qint64> {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0 || v > 9e15)
            return std::nullopt;
        const double n = std::nearbyint(v / double(chip));
        return std::max<qint64>(1, qint64(n)) * chip;
    };
    for (size_t i = 0; i < small.size() || i < big.size(); ++i) {
        const std::optional<qint64> s = i < small.size() ? rounded(small[i]) : std::nullopt;
        std::optional<qint64> b = i < big.size() ? rounded(big[i]) : std::nullopt;
        if (s && b && *b < *s)
            b = s;
        if (s)
            small[i] = QString::number(*s);
        if (b)
            big[i] = QString::number(*b);
    }
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

std::optional<Stack> suggestStack(const ChipCase &chips, qint64 amount, qint64 sets)
{
    if (chips.empty() || amount <= 0 || sets < 1)
        return std::nullopt;
    const size_t n = chips.size();
    // The chips a stack of this size can use, and how many of each one stack may take.
    size_t usable = 0;
    while (usable < n && chips[usable].value <= amount)
        ++usable;
    if (usable == 0)
        return std::nullopt;
    std::vector<qint64> cap(n, 0);
    for (size_t i = 0; i < usable; ++i)
        cap[i] = chips[i].count > 0 ? chips[i].count / sets : std::numeric_limits<qint64>::max();

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

} // namespace chips
