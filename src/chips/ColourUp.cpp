#include "chips/ColourUp.h"

#include "text/ClockText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace chips {

namespace {

constexpr int Never = std::numeric_limits<int>::max();

// "Round 5", "Rounds 2, 3 and 5"
QString roundsNamed(const std::vector<int> &rounds)
{
    QStringList n;
    for (int r : rounds)
        n << QString::number(r);
    if (n.size() == 1)
        return QStringLiteral("Round ") + n.front();
    const QString last = n.takeLast();
    return QStringLiteral("Rounds ") + n.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// The amounts a level asks the players to put in.
std::vector<QString> amounts(const Level &level)
{
    std::vector<QString> a{level.small, level.big};
    if (level.ante > 0)
        a.push_back(QString::number(level.ante));
    return a;
}

bool madeBy(const Payer &chips, const Level &level)
{
    const std::vector<QString> a = amounts(level);
    return std::all_of(a.begin(), a.end(), [&chips](const QString &t) { return chips.pays(t); });
}

void drop(std::vector<qint64> &values, const std::vector<qint64> &leaving)
{
    values.erase(
        std::remove_if(values.begin(), values.end(),
                       [&](qint64 v) { return std::find(leaving.begin(), leaving.end(), v) != leaving.end(); }),
        values.end());
}

// The chips in play at each level (1-based; [0] unused): the case less the chips that left at a
// break before it.
std::vector<std::vector<qint64>> inPlay(const ChipCase &chips, const std::vector<ColourUp> &colourUps, int levels)
{
    std::vector<std::vector<qint64>> at(size_t(std::max(0, levels)) + 1);
    std::vector<qint64> values = valuesFrom(chips, 0);
    size_t k = 0;
    for (int i = 1; i <= levels; ++i) {
        for (; k < colourUps.size() && colourUps[k].afterLevel < i; ++k)
            drop(values, colourUps[k].chips);
        at[size_t(i)] = values;
    }
    return at;
}

} // namespace

bool Structure::breakAfter(int level) const
{
    return level >= 1 && level < int(levels.size()) && ::breakAfter(level, breakEvery, repeat);
}

const ColourUp *ChipPlan::at(int level) const
{
    for (const ColourUp &c : colourUps)
        if (c.afterLevel == level)
            return &c;
    return nullptr;
}

ChipPlan planChips(const ChipCase &chips, const Structure &s, const ChipPlan &before, int played)
{
    ChipPlan plan;
    const int n = int(s.levels.size());
    // The colour-ups of the levels played stay, and their chips stay gone.
    std::vector<qint64> gone;
    for (const ColourUp &c : before.colourUps)
        if (played > 0 && c.afterLevel <= played) {
            plan.colourUps.push_back(c);
            gone.insert(gone.end(), c.chips.begin(), c.chips.end());
        }
    ChipCase left;
    for (const Chip &c : chips)
        if (std::find(gone.begin(), gone.end(), c.value) == gone.end())
            left.push_back(c);
    const auto nextBreak = [&](int from) {
        for (int b = std::max({1, from, played + 1}); b < n; ++b)
            if (s.breakAfter(b))
                return b;
        return 0;
    };
    // For each chip but the largest: the last level that needs it, the levels it waits for a
    // break after, and the break it leaves at.
    int needed = 0; // a chip never leaves before a smaller one
    for (size_t j = 0; j + 1 < left.size(); ++j) {
        const Payer next(valuesFrom(left, j + 1));
        for (int i = n; i > needed; --i)
            if (!madeBy(next, s.levels[size_t(i - 1)])) {
                needed = i;
                break;
            }
        for (const Sale &sale : s.sales)
            if (!next.pays(sale.chips))
                needed = std::max<qint64>(needed,
                                          sale.untilRound > 0 ? std::min<qint64>(sale.untilRound + 1, Never) : Never);
        if (needed >= n)
            break;
        const int at = nextBreak(needed);
        if (needed >= 1 && !s.breakAfter(needed))
            plan.gaps.push_back({left[j].value, needed, at});
        if (at == 0)
            break;
        if (plan.colourUps.empty() || plan.colourUps.back().afterLevel != at)
            plan.colourUps.push_back({at, {}});
        plan.colourUps.back().chips.push_back(left[j].value);
    }
    // The levels the chips in play at them cannot pay.
    const std::vector<std::vector<qint64>> play = inPlay(chips, plan.colourUps, n);
    std::optional<Payer> payer;
    for (int i = 1; i <= n; ++i) {
        if (i == 1 || play[size_t(i)] != play[size_t(i - 1)])
            payer.emplace(play[size_t(i)]);
        if (!madeBy(*payer, s.levels[size_t(i - 1)]))
            plan.unmakeable.push_back(i);
    }
    return plan;
}

void roundToChips(const ChipCase &chips, const Structure &s, std::vector<QString> &small, std::vector<QString> &big)
{
    if (chips.empty())
        return;
    const size_t n = std::max(small.size(), big.size());
    const auto number = [](const std::vector<QString> &list, size_t i) -> std::optional<double> {
        bool ok = false;
        const double v = i < list.size() ? list[i].trimmed().toDouble(&ok) : 0;
        // None beyond 2^53: the automatic structure's amounts are 32-bit, so none is.
        if (!ok || !std::isfinite(v) || v < 0 || v > 9e15)
            return std::nullopt;
        return v;
    };
    std::vector<Payer> payers;
    for (size_t j = 0; j < chips.size(); ++j)
        payers.emplace_back(valuesFrom(chips, j));
    // The largest chip each level could have as its smallest.
    std::vector<size_t> could(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const std::optional<double> blind = number(small, i);
        if (!blind)
            continue;
        size_t j = 0;
        while (j + 1 < chips.size() && double(chips[j + 1].value) * 4 <= *blind)
            ++j;
        const int level = int(i) + 1;
        const qint64 ante = i < s.levels.size() ? s.levels[i].ante : 0;
        const auto paid = [&](const Payer &p) {
            return p.pays(ante) && std::all_of(s.sales.begin(), s.sales.end(), [&](const Sale &sale) {
                       return (sale.untilRound > 0 && level > sale.untilRound + 1) || p.pays(sale.chips);
                   });
        };
        while (j > 0 && !paid(payers[j]))
            --j;
        could[i] = j;
    }
    // At each break the chip in play becomes the smallest a level still to come needs; a chip
    // gone never comes back.
    std::vector<size_t> later(n + 1, chips.size() - 1);
    for (size_t i = n; i-- > 0;)
        later[i] = std::min(later[i + 1], could[i]);
    size_t smallest = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && s.breakAfter(int(i)))
            smallest = std::max(smallest, later[i]);
        const qint64 chip = chips[smallest].value;
        const auto rounded = [&](const std::vector<QString> &list) -> std::optional<qint64> {
            const std::optional<double> v = number(list, i);
            if (!v)
                return std::nullopt;
            return std::max<qint64>(1, qint64(std::nearbyint(*v / double(chip)))) * chip;
        };
        const std::optional<qint64> sb = rounded(small);
        std::optional<qint64> bb = rounded(big);
        if (sb && bb && *bb < *sb)
            bb = sb;
        if (sb)
            small[i] = QString::number(*sb);
        if (bb)
            big[i] = QString::number(*bb);
    }
}

std::optional<int> addOnBreak(const Structure &structure, qint64 rebuyUntil)
{
    for (qint64 b = std::max<qint64>(1, rebuyUntil); b < qint64(structure.levels.size()); ++b)
        if (structure.breakAfter(int(b)))
            return int(b);
    return std::nullopt;
}

QString colourUpWarning(const std::vector<qint64> &chips)
{
    return QStringLiteral("At the next break %1 leave.").arg(chipsNamed(chips));
}

QString colourUpLine(const std::vector<qint64> &chips)
{
    return QStringLiteral("Colour up: ") + chipsNamed(chips);
}

QStringList planNotes(const ChipPlan &plan, const ChipCase &chips)
{
    QStringList notes;
    if (chips.empty())
        return notes;
    // The unmakeable levels, by the smallest chip in play at each.
    const std::vector<std::vector<qint64>> play =
        inPlay(chips, plan.colourUps, plan.unmakeable.empty() ? 0 : plan.unmakeable.back());
    std::vector<std::pair<qint64, std::vector<int>>> byChip;
    for (int level : plan.unmakeable) {
        const std::vector<qint64> &here = play[size_t(level)];
        const qint64 smallest = here.empty() ? chips.front().value : here.front();
        if (byChip.empty() || byChip.back().first != smallest)
            byChip.push_back({smallest, {}});
        byChip.back().second.push_back(level);
    }
    for (const auto &[chip, rounds] : byChip)
        notes << QStringLiteral("%1 cannot be made with %2.").arg(roundsNamed(rounds), chipsNamed({chip}));
    for (const Gap &g : plan.gaps) {
        QString when = g.leavesAfter > 0 ? QStringLiteral("no break comes until after round %1").arg(g.leavesAfter)
                                         : QStringLiteral("no break follows");
        QString name = chipsNamed({g.chip});
        name[0] = name[0].toUpper();
        notes << QStringLiteral("%1 are not needed after round %2, but %3: a break after round %2 would let them "
                                "leave.")
                     .arg(name)
                     .arg(g.freeAfter)
                     .arg(when);
    }
    return notes;
}

qint64 raceChips(qint64 leftoverWorth, qint64 large)
{
    if (leftoverWorth <= 0 || large <= 0)
        return 0;
    const qint64 rest = leftoverWorth % large;
    return leftoverWorth / large + (rest >= large - rest ? 1 : 0);
}

const QString RaceRules = QStringLiteral(
    "From seat 1, one chip per player in turn until the chips run out; nobody is raced out of the game.");

} // namespace chips
