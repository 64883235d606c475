#include "chips/ColourUp.h"

#include "clock/ClockText.h"

#include <algorithm>
#include <limits>

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

bool madeBy(qint64 chip, const Level &level)
{
    const std::vector<QString> a = amounts(level);
    return std::all_of(a.begin(), a.end(), [chip](const QString &t) { return makes(chip, t); });
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

ChipPlan planChips(const ChipCase &chips, const Structure &s)
{
    ChipPlan plan;
    const int n = int(s.levels.size());
    const auto nextBreak = [&](int from) {
        for (int b = std::max(1, from); b < n; ++b)
            if (s.breakAfter(b))
                return b;
        return 0;
    };
    // For each chip but the largest: the last level that needs it, the levels it waits for a
    // break after, and the break it leaves at.
    int needed = 0; // a chip never leaves before a smaller one
    for (size_t j = 0; j + 1 < chips.size(); ++j) {
        const qint64 next = chips[j + 1].value;
        for (int i = n; i > needed; --i)
            if (!madeBy(next, s.levels[size_t(i - 1)])) {
                needed = i;
                break;
            }
        for (const Sale &sale : s.sales)
            if (!makes(next, QString::number(sale.chips)))
                needed = std::max<qint64>(needed,
                                          sale.untilRound > 0 ? std::min<qint64>(sale.untilRound + 1, Never) : Never);
        if (needed >= n)
            break;
        const int at = nextBreak(needed);
        if (needed >= 1 && !s.breakAfter(needed))
            plan.gaps.push_back({chips[j].value, needed, at});
        if (at == 0)
            break;
        if (plan.colourUps.empty() || plan.colourUps.back().afterLevel != at)
            plan.colourUps.push_back({at, {}});
        plan.colourUps.back().chips.push_back(chips[j].value);
    }
    // The levels the chips cannot make. A chip leaves only once every level after it is made
    // by the next one, so the smallest chip of the case decides for every level.
    if (!chips.empty())
        for (int i = 1; i <= n; ++i)
            if (!madeBy(chips.front().value, s.levels[size_t(i - 1)]))
                plan.unmakeable.push_back(i);
    return plan;
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
    // The unmakeable levels, by the chip in play at each.
    std::vector<std::pair<qint64, std::vector<int>>> byChip;
    for (int level : plan.unmakeable) {
        qint64 smallest = chips.front().value;
        for (const ColourUp &c : plan.colourUps)
            if (c.afterLevel < level)
                for (size_t j = 0; j + 1 < chips.size(); ++j)
                    if (std::find(c.chips.begin(), c.chips.end(), chips[j].value) != c.chips.end())
                        smallest = std::max(smallest, chips[j + 1].value);
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
