#include "plan/Sheet.h"

#include "plan/NightParts.h"
#include "tournament/Results.h"

#include <QLocale>

namespace plan {

using namespace parts;

namespace {

QString html(const QString &text)
{
    return text.toHtmlEscaped();
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
