#include "plan/NightParts.h"

#include "tournament/Results.h"

#include <QtNumeric>

namespace plan {

namespace parts {

qint64 dividedToEven(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    const qint64 r = a % b;
    if (r > b - r || (r == b - r && q % 2 != 0))
        return q + 1;
    return q;
}

QString money(const Night &night, qint64 amount)
{
    return night.currency + tournament::grouped(amount);
}

QString counted(qint64 n, const char *one, const char *many)
{
    return tournament::grouped(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

std::array<Sold, 3> soldStacks(const Night &night, qint64 stack)
{
    const std::optional<tournament::Setup> &c = night.count;
    const qint64 rebuy = c && c->rebuyChips > 0 ? c->rebuyChips : stack;
    const qint64 reentry = c && c->reentryChipCount() > 0 ? c->reentryChipCount() : stack;
    return {{{std::max<qint64>(0, night.setup.rebuys), rebuy, "rebuy", "rebuys"},
             {std::max<qint64>(0, night.setup.reentries), reentry, "re-entry", "re-entries"},
             {std::max<qint64>(0, night.setup.addOns), c ? c->addOnChips : 0, "add-on", "add-ons"}}};
}

} // namespace parts

using namespace parts;

namespace {

// a × b + c, none when it does not fit.
std::optional<qint64> mulAdd(qint64 a, qint64 b, qint64 c)
{
    qint64 product = 0, sum = 0;
    if (qMulOverflow(a, b, &product) || qAddOverflow(product, c, &sum))
        return std::nullopt;
    return sum;
}

} // namespace

chips::Structure structureOf(const Night &night)
{
    chips::Structure s;
    s.levels = night.levels;
    s.breakEvery = night.breakEvery;
    s.repeat = night.repeat;
    if (!night.count)
        return s;
    const tournament::Setup &c = *night.count;
    if (c.rebuyChips > 0)
        s.sales.push_back({c.rebuyChips, c.rebuyLastRound});
    if (c.reentryChipCount() > 0)
        s.sales.push_back({c.reentryChipCount(), c.reentryUntil()});
    if (c.addOnChips > 0)
        if (const std::optional<int> at = chips::addOnBreak(s, c.rebuyLastRound))
            s.sales.push_back({c.addOnChips, *at});
    return s;
}

qint64 startingStack(const Night &night)
{
    if (night.setup.stack > 0)
        return night.setup.stack;
    return night.count ? night.count->buyInChips : 0;
}

qint64 averageStack(const Night &night)
{
    const qint64 players = night.setup.players;
    const qint64 stack = startingStack(night);
    if (players <= 0 || stack <= 0)
        return 0;
    std::optional<qint64> total = mulAdd(players, stack, 0);
    for (const Sold &sold : soldStacks(night, stack))
        if (total)
            total = mulAdd(sold.how, sold.chips, *total);
    return total ? dividedToEven(*total, players) : 0;
}

Input planInput(const Night &night, const QDateTime &startsAt)
{
    Input in;
    in.levelSeconds = night.levelSeconds;
    in.bigBlinds.reserve(night.levels.size());
    for (const chips::Level &l : night.levels)
        in.bigBlinds.push_back(l.big);
    in.breakEvery = night.breakEvery;
    in.repeat = night.repeat;
    in.breakSeconds = night.breakSeconds;
    in.startsAt = startsAt;
    in.averageStack = averageStack(night);
    return in;
}

QStringList stackLines(const Night &night)
{
    const chips::ChipCase &box = night.setup.chips;
    const qint64 amount = startingStack(night);
    if (box.empty() || amount <= 0)
        return {};
    qint64 players = std::max<qint64>(1, night.setup.players);
    const std::array<Sold, 3> sold = soldStacks(night, amount);
    // A mix for every stack the field takes; when none fits, the fewest chips each. Without the
    // players expected, the field is as many as the counted chips can seat.
    const auto fieldOf = [&](qint64 seats) {
        std::vector<chips::Demand> demands{{amount, seats}};
        for (const Sold &s : sold)
            demands.push_back({s.chips, s.how});
        std::optional<std::vector<chips::Stack>> field = chips::fieldStacks(box, demands);
        // Seats beyond those only with stacks of enough chips to play with.
        if (field && seats > 1 && field->front().chips() < chips::MinStackChips)
            field.reset();
        return field;
    };
    const bool anyCounted = std::any_of(box.begin(), box.end(), [](const chips::Chip &c) { return c.count > 0; });
    if (night.setup.players <= 0 && anyCounted && fieldOf(1)) {
        qint64 most = 1, fails = chips::MaxChipCount * chips::MaxChips + 1;
        while (fails - most > 1) {
            const qint64 mid = most + (fails - most) / 2;
            (fieldOf(mid) ? most : fails) = mid;
        }
        players = most;
    }
    const std::optional<std::vector<chips::Stack>> field = fieldOf(players);
    std::optional<chips::Stack> stack =
        field ? std::optional(field->front()) : chips::suggestStack(box, amount, players);
    if (!stack) {
        const bool alone = chips::suggestStack(box, amount).has_value();
        return {alone
                    ? QStringLiteral("The chips cannot make %1 stacks of %2.")
                          .arg(tournament::grouped(players), tournament::grouped(amount))
                    : QStringLiteral("The chips cannot make a starting stack of %1.").arg(tournament::grouped(amount))};
    }
    QStringList lines{
        QStringLiteral("Starting stack %1: %2 (%3 chips)")
            .arg(tournament::grouped(amount), chips::stackText(box, *stack), tournament::grouped(stack->chips()))};
    // The stacks the expected rebuys, re-entries and add-ons will take, kept back from the seats.
    std::vector<qint64> reserved(box.size(), 0);
    QStringList kept;
    for (size_t k = 0; k < sold.size(); ++k) {
        const Sold &s = sold[k];
        if (s.how <= 0 || s.chips <= 0)
            continue;
        const std::optional<chips::Stack> each =
            field ? std::optional((*field)[k + 1]) : chips::suggestStack(box, s.chips);
        if (!each)
            continue;
        for (size_t i = 0; i < reserved.size() && i < each->counts.size(); ++i)
            if (const std::optional<qint64> r = mulAdd(s.how, each->counts[i], reserved[i]))
                reserved[i] = *r;
        kept << counted(s.how, s.one, s.many);
    }
    if (const std::optional<qint64> seated = chips::playersSeated(box, *stack, reserved)) {
        QString line = QStringLiteral("The chips seat ") + counted(*seated, "player", "players");
        if (!kept.isEmpty()) {
            const QString last = kept.takeLast();
            line += QStringLiteral(", with ")
                    + (kept.isEmpty() ? last : kept.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last)
                    + QStringLiteral(" set aside");
        }
        if (*seated < night.setup.players)
            line += QStringLiteral(": %1 are expected").arg(tournament::grouped(night.setup.players));
        lines << line + QLatin1Char('.');
    }
    return lines;
}

std::vector<qint64> expectedPayouts(const Night &night, qint64 *pool)
{
    if (pool)
        *pool = 0;
    if (!night.count || night.setup.players <= 0)
        return {};
    const qint64 actions = night.setup.players + std::max<qint64>(0, night.setup.rebuys)
                           + std::max<qint64>(0, night.setup.reentries) + std::max<qint64>(0, night.setup.addOns);
    if (actions > tournament::MaxRecords)
        return {};
    // The count of the expected field, as the night's own records would make it: one table, so
    // no seat is drawn.
    tournament::Setup setup = *night.count;
    setup.layout = {};
    std::vector<tournament::Record> records;
    records.reserve(size_t(actions));
    const std::pair<tournament::Action, qint64> field[] = {{tournament::Action::Entry, night.setup.players},
                                                           {tournament::Action::Rebuy, night.setup.rebuys},
                                                           {tournament::Action::Reentry, night.setup.reentries},
                                                           {tournament::Action::AddOn, night.setup.addOns}};
    for (const auto &[action, how] : field)
        for (qint64 i = 0; i < how; ++i)
            records.emplace_back(action, 0);
    const std::optional<tournament::Ledger> ledger = tournament::Ledger::replay(setup, records);
    if (!ledger)
        return {};
    if (pool)
        *pool = ledger->pool();
    return ledger->payouts();
}

} // namespace plan
