#include "plan/Sheet.h"

#include "tournament/Results.h"

#include <QLocale>
#include <QtNumeric>
#include <array>

namespace plan {

namespace {

// a ÷ b for a ≥ 0, b > 0, halves to the even quotient.
qint64 dividedToEven(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    const qint64 r = a % b;
    if (r > b - r || (r == b - r && q % 2 != 0))
        return q + 1;
    return q;
}

// a × b + c, none when it does not fit.
std::optional<qint64> mulAdd(qint64 a, qint64 b, qint64 c)
{
    qint64 product = 0, sum = 0;
    if (qMulOverflow(a, b, &product) || qAddOverflow(product, c, &sum))
        return std::nullopt;
    return sum;
}

QString html(const QString &text)
{
    return text.toHtmlEscaped();
}

QString money(const Night &night, qint64 amount)
{
    return night.currency + tournament::grouped(amount);
}

// "1 rebuy", "12 add-ons"
QString counted(qint64 n, const char *one, const char *many)
{
    return tournament::grouped(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// The stacks the expected field takes beyond a seat each: the rebuys (of the rebuy's chips,
// else a starting stack), the re-entries (of the re-entry's chips, else a starting stack) and
// the add-ons (of the add-on's chips; none without them).
struct Sold {
    qint64 how = 0;
    qint64 chips = 0;
    const char *one = nullptr;
    const char *many = nullptr;
};
std::array<Sold, 3> soldStacks(const Night &night, qint64 stack)
{
    const std::optional<tournament::Setup> &c = night.count;
    const qint64 rebuy = c && c->rebuyChips > 0 ? c->rebuyChips : stack;
    const qint64 reentry = c && c->reentryChipCount() > 0 ? c->reentryChipCount() : stack;
    return {{{std::max<qint64>(0, night.setup.rebuys), rebuy, "rebuy", "rebuys"},
             {std::max<qint64>(0, night.setup.reentries), reentry, "re-entry", "re-entries"},
             {std::max<qint64>(0, night.setup.addOns), c ? c->addOnChips : 0, "add-on", "add-ons"}}};
}

// One A4 sheet: the levels down the left, everything else in a column on the right; on a
// screen the same page reads at a normal size.
const char *const SheetStyle = R"(
.sheet { display: flex; flex-wrap: wrap; gap: 1em 2em; align-items: flex-start; }
.levels { flex: 1 1 24rem; }
.side { flex: 0 1 18rem; }
.side section { margin-bottom: 1em; }
.side p { margin: 0 0 0.3em; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; padding: 0.1em 0.6em 0.1em 0; border-bottom: 1px solid #bbb; vertical-align: top; }
thead th { border-bottom: 1.5px solid #000; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
tr.break td { background: #eee; font-weight: bold; }
td.mark { color: #b00; font-weight: bold; }
@page { size: A4; margin: 12mm; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 7.5pt; line-height: 1.25; }
  h1 { font-size: 16pt; }
  .sheet { flex-wrap: nowrap; }
  tr.break td { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  tr, p { break-inside: avoid; }
}
)";

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

QByteArray sheetHtml(const Night &night, const QDateTime &startsAt)
{
    const QString title = night.title.trimmed().isEmpty() ? QStringLiteral("The night's sheet") : night.title;
    const Plan plan = makePlan(planInput(night, startsAt));
    const chips::Structure structure = structureOf(night);
    const chips::ChipPlan chipPlan = chips::planChips(night.setup.chips, structure);
    const std::optional<int> addOnAt = night.count && night.count->addOn > 0
                                           ? chips::addOnBreak(structure, night.count->rebuyLastRound)
                                           : std::nullopt;
    const QString dayText = QLocale::c().toString(startsAt.date(), QStringLiteral("dddd d MMMM yyyy"));

    QString out = tournament::printedPageHead(title, SheetStyle);
    out += QStringLiteral("<header>\n<h1>%1</h1>\n<p class=\"when\">%2, from %3</p>\n</header>\n")
               .arg(html(title), html(dayText), timeOfDay(startsAt));
    out += QStringLiteral("<div class=\"sheet\">\n<section class=\"levels\">\n<h2>Levels</h2>\n<table>\n"
                          "<thead><tr><th>Round</th><th class=\"n\">Starts</th><th class=\"n\">Blinds</th>"
                          "<th class=\"n\">Ante</th><th class=\"n\">Mins</th><th></th></tr></thead>\n<tbody>\n");
    int lastLevel = 0;
    for (const Row &row : plan.rows) {
        const QString starts = timeOfDay(startsAt.addSecs(row.from));
        const QString minutes = QString::number(dividedToEven(row.seconds, 60));
        if (row.level > 0) {
            if (size_t(row.level) > night.levels.size()) // more lengths than levels: a night half made
                continue;
            lastLevel = row.level;
            const chips::Level &l = night.levels[size_t(row.level - 1)];
            const bool unmakeable = std::find(chipPlan.unmakeable.begin(), chipPlan.unmakeable.end(), row.level)
                                    != chipPlan.unmakeable.end();
            out += QStringLiteral("<tr><td>%1</td><td class=\"n\">%2</td><td class=\"n\">%3 / %4</td>"
                                  "<td class=\"n\">%5</td><td class=\"n\">%6</td><td class=\"mark\">%7</td></tr>\n")
                       .arg(QString::number(row.level), starts, html(l.small), html(l.big),
                            l.ante > 0 ? tournament::grouped(l.ante) : QString(), minutes,
                            unmakeable ? QStringLiteral("\u2717") : QString());
            continue;
        }
        QStringList says;
        if (const chips::ColourUp *up = chipPlan.at(lastLevel))
            says << chips::colourUpLine(up->chips);
        if (addOnAt && *addOnAt == lastLevel)
            says << addOnNow(night.currency, night.count->addOn, night.count->addOnChips);
        out += QStringLiteral("<tr class=\"break\"><td>Break</td><td class=\"n\">%1</td><td colspan=\"2\">%2</td>"
                              "<td class=\"n\">%3</td><td></td></tr>\n")
                   .arg(starts, html(says.join(QStringLiteral("; "))), minutes);
    }
    out += QStringLiteral("<tr><td>End</td><td class=\"n\">%1</td><td colspan=\"4\"></td></tr>\n")
               .arg(timeOfDay(startsAt.addSecs(plan.totalSeconds)));
    out += QStringLiteral("</tbody>\n</table>\n</section>\n<div class=\"side\">\n");

    out += QStringLiteral("<section>\n<h2>The night</h2>\n<p>%1</p>\n").arg(html(planSummary(plan)));
    for (const QString &line : stackLines(night))
        out += QStringLiteral("<p>%1</p>\n").arg(html(line));
    for (const QString &line : chips::planNotes(chipPlan, night.setup.chips))
        out += QStringLiteral("<p>%1</p>\n").arg(html(line));
    out += QStringLiteral("</section>\n");

    if (!chipPlan.colourUps.empty()) {
        out += QStringLiteral("<section>\n<h2>Colour-ups</h2>\n");
        for (const chips::ColourUp &up : chipPlan.colourUps)
            out += QStringLiteral("<p>After round %1: %2</p>\n")
                       .arg(QString::number(up.afterLevel), html(chips::colourUpLine(up.chips)));
        out += QStringLiteral("</section>\n");
    }

    if (!night.setup.chips.empty()) {
        out += QStringLiteral("<section>\n<h2>Chips</h2>\n<table>\n<tbody>\n");
        for (const chips::Chip &c : night.setup.chips)
            out += QStringLiteral("<tr><td class=\"n\">%1</td><td>%2</td><td class=\"n\">%3</td></tr>\n")
                       .arg(tournament::grouped(c.value), html(c.colour),
                            c.count > 0 ? QStringLiteral("× ") + tournament::grouped(c.count) : QString());
        out += QStringLiteral("</tbody>\n</table>\n</section>\n");
    }

    qint64 pool = 0;
    const std::vector<qint64> payouts = expectedPayouts(night, &pool);
    if (!payouts.empty()) {
        QStringList field{counted(night.setup.players, "player", "players")};
        for (const Sold &sold : soldStacks(night, startingStack(night)))
            if (sold.how > 0)
                field << counted(sold.how, sold.one, sold.many);
        out += QStringLiteral("<section>\n<h2>Payouts</h2>\n<p>Prize pool %1 with %2 expected</p>\n<table>\n<tbody>\n")
                   .arg(html(money(night, pool)), field.join(QStringLiteral(", ")));
        for (size_t i = 0; i < payouts.size(); ++i)
            if (payouts[i] > 0)
                out += QStringLiteral("<tr><td>%1</td><td class=\"n\">%2</td></tr>\n")
                           .arg(tournament::ordinal(qint64(i) + 1), html(money(night, payouts[i])));
        out += QStringLiteral("</tbody>\n</table>\n</section>\n");
    }
    out += QStringLiteral("</div>\n</div>\n</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace plan
