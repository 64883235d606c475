#include "plan/Sheet.h"

#include "tournament/Results.h"

#include <QLocale>
#include <QtNumeric>

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
    const qint64 rebuyChips = night.count ? night.count->rebuyChips : 0;
    const qint64 addOnChips = night.count ? night.count->addOnChips : 0;
    std::optional<qint64> total = mulAdd(players, stack, 0);
    if (total)
        total = mulAdd(night.setup.rebuys, rebuyChips, *total);
    if (total)
        total = mulAdd(night.setup.addOns, addOnChips, *total);
    return total ? dividedToEven(*total, players) : 0;
}

Input planInput(const Night &night, qint64 startsAt)
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
    const qint64 players = std::max<qint64>(1, night.setup.players);
    const std::optional<chips::Stack> stack = chips::suggestStack(box, amount, players);
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
    // The stacks the expected rebuys and add-ons will take, kept back from the seats.
    std::vector<qint64> reserved(box.size(), 0);
    const std::pair<qint64, qint64> sold[] = {{night.setup.rebuys, night.count ? night.count->rebuyChips : 0},
                                              {night.setup.addOns, night.count ? night.count->addOnChips : 0}};
    QStringList kept;
    for (const auto &[how, chipsEach] : sold) {
        if (how <= 0 || chipsEach <= 0)
            continue;
        const std::optional<chips::Stack> each = chips::suggestStack(box, chipsEach);
        if (!each)
            continue;
        for (size_t i = 0; i < reserved.size() && i < each->counts.size(); ++i)
            if (const std::optional<qint64> r = mulAdd(how, each->counts[i], reserved[i]))
                reserved[i] = *r;
    }
    if (night.setup.rebuys > 0)
        kept << QStringLiteral("%1 rebuys").arg(tournament::grouped(night.setup.rebuys));
    if (night.setup.addOns > 0)
        kept << QStringLiteral("%1 add-ons").arg(tournament::grouped(night.setup.addOns));
    if (const std::optional<qint64> seated = chips::playersSeated(box, *stack, reserved)) {
        QString line = *seated == 1 ? QStringLiteral("The chips seat 1 player")
                                    : QStringLiteral("The chips seat %1 players").arg(tournament::grouped(*seated));
        if (!kept.isEmpty())
            line += QStringLiteral(", with %1 set aside").arg(kept.join(QStringLiteral(" and ")));
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
    const qint64 actions =
        night.setup.players + std::max<qint64>(0, night.setup.rebuys) + std::max<qint64>(0, night.setup.addOns);
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

QByteArray sheetHtml(const Night &night, const QDate &day, qint64 startsAt)
{
    const QString title = night.title.trimmed().isEmpty() ? QStringLiteral("The night's sheet") : night.title;
    const Plan plan = makePlan(planInput(night, startsAt));
    const chips::Structure structure = structureOf(night);
    const chips::ChipPlan chipPlan = chips::planChips(night.setup.chips, structure);
    const std::optional<int> addOnAt = night.count && night.count->addOn > 0
                                           ? chips::addOnBreak(structure, night.count->rebuyLastRound)
                                           : std::nullopt;
    const QString dayText = QLocale::c().toString(day, QStringLiteral("dddd d MMMM yyyy"));

    QString out = tournament::printedPageHead(title, SheetStyle);
    out += QStringLiteral("<header>\n<h1>%1</h1>\n<p class=\"when\">%2, from %3</p>\n</header>\n")
               .arg(html(title), html(dayText), timeOfDay(startsAt));
    out += QStringLiteral("<div class=\"sheet\">\n<section class=\"levels\">\n<h2>Levels</h2>\n<table>\n"
                          "<thead><tr><th>Round</th><th class=\"n\">Starts</th><th class=\"n\">Blinds</th>"
                          "<th class=\"n\">Ante</th><th class=\"n\">Mins</th><th></th></tr></thead>\n<tbody>\n");
    int lastLevel = 0;
    for (const Row &row : plan.rows) {
        const QString starts = timeOfDay(startsAt + row.from);
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
               .arg(timeOfDay(startsAt + plan.totalSeconds));
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
        QStringList field{QStringLiteral("%1 players").arg(tournament::grouped(night.setup.players))};
        if (night.setup.rebuys > 0)
            field << QStringLiteral("%1 rebuys").arg(tournament::grouped(night.setup.rebuys));
        if (night.setup.addOns > 0)
            field << QStringLiteral("%1 add-ons").arg(tournament::grouped(night.setup.addOns));
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
