#include "tournament/Results.h"

namespace tournament {

namespace {

// A text cell: a spreadsheet takes a cell that begins with = + - @ (or a tab or a carriage
// return before one) as a formula, so such a text is kept as text by a leading apostrophe.
// A cell holding a comma, a quote or a line end is quoted, its quotes doubled.
QString csvText(const QString &text)
{
    QString cell = text;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!cell.isEmpty() && formulaStarts.contains(cell.front()))
        cell.prepend(QLatin1Char('\''));
    if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\r'))
        || cell.contains(QLatin1Char('\n'))) {
        cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        cell = QLatin1Char('"') + cell + QLatin1Char('"');
    }
    return cell;
}

QString csvLine(const QStringList &cells)
{
    return cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString html(const QString &text)
{
    return text.toHtmlEscaped();
}

// One A4 sheet holds 48 places beside 40 levels: the places fill the left, the structure a
// column of its own on the right, the figures a band across the top. On a screen the same
// page reads at a normal size, the structure below the places on a narrow one.
const char *const PageStyle = R"(
.facts { list-style: none; margin: 0 0 0.8em; padding: 0; display: flex; flex-wrap: wrap; gap: 0.2em 1.4em; }
.facts li { white-space: nowrap; }
.facts span { color: #444; }
.facts b { font-variant-numeric: tabular-nums; }
.sheet { display: flex; flex-wrap: wrap; gap: 1em 2em; align-items: flex-start; }
.places { flex: 1 1 26rem; }
.structure { flex: 0 1 auto; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; padding: 0.12em 0.5em 0.12em 0; border-bottom: 1px solid #bbb; vertical-align: top; }
thead th { border-bottom: 1.5px solid #000; }
td.name { overflow-wrap: anywhere; }
td.place, td.seat, td.prize { white-space: nowrap; }
th.prize, td.prize { text-align: right; padding-right: 0; font-variant-numeric: tabular-nums; }
.structure ol { list-style: none; margin: 0; padding: 0; }
.structure li { white-space: nowrap; border-bottom: 1px solid #ddd; padding: 0.12em 0; }
@page { size: A4; margin: 12mm; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 7.5pt; line-height: 1.3; }
  h1 { font-size: 16pt; }
  .sheet { flex-wrap: nowrap; }
  .places { flex: 1 1 auto; }
  tr, li { break-inside: avoid; }
}
)";

} // namespace

QString entryName(const Place &place)
{
    if (!place.name.isEmpty())
        return place.name;
    if (place.entry == 0)
        return QStringLiteral("—");
    return QStringLiteral("Entry %1").arg(place.entry);
}

QString buyInsText(const Place &place)
{
    if (place.buyIns <= 0)
        return {};
    QString text = QString::number(place.buyIns);
    if (place.buyIns > 1)
        text += place.buyIns == 2 ? QStringLiteral(" (1 re-entry)")
                                  : QStringLiteral(" (%1 re-entries)").arg(place.buyIns - 1);
    if (place.rebuys > 0)
        text += place.rebuys == 1 ? QStringLiteral(" · 1 rebuy") : QStringLiteral(" · %1 rebuys").arg(place.rebuys);
    if (place.addOns > 0)
        text += place.addOns == 1 ? QStringLiteral(" · 1 add-on") : QStringLiteral(" · %1 add-ons").arg(place.addOns);
    return text;
}

QByteArray resultsCsv(const Results &results)
{
    // The bounties' columns only in a night that had them.
    const bool bounties = results.bounties > 0;
    QStringList head{QStringLiteral("Place"),   QStringLiteral("Name"),   QStringLiteral("Entry"),
                     QStringLiteral("Table"),   QStringLiteral("Seat"),   QStringLiteral("Prize"),
                     QStringLiteral("Buy-ins"), QStringLiteral("Rebuys"), QStringLiteral("Add-ons")};
    if (bounties)
        head << QStringLiteral("Knock-outs") << QStringLiteral("Bounties");
    QString out = csvLine(head);
    const auto known = [](qint64 v, bool is) { return is ? QString::number(v) : QString(); };
    for (const Place &p : results.places) {
        const bool seated = p.seat.valid();
        const bool bought = p.buyIns > 0;
        QStringList cells{QString::number(p.place),    csvText(p.name),
                          known(p.entry, p.entry > 0), known(p.seat.table, seated),
                          known(p.seat.seat, seated),  QString::number(p.prize),
                          known(p.buyIns, bought),     known(p.rebuys, bought),
                          known(p.addOns, bought)};
        if (bounties)
            cells << QString::number(p.knockouts) << QString::number(p.bounty);
        out += csvLine(cells);
    }
    out += QStringLiteral("\r\n");
    out += csvLine({QStringLiteral("Title"), csvText(results.title)});
    out += csvLine({QStringLiteral("Date"), csvText(results.when)});
    const std::pair<const char *, qint64> figures[] = {
        {"Entries", results.counts.entries},
        {"Re-entries", results.counts.reentries},
        {"Rebuys", results.counts.rebuys},
        {"Add-ons", results.counts.addOns},
        {"Money in", results.collected},
        {"House cut", results.cut},
        {"Added", results.added},
        {"Prize pool", results.pool},
    };
    for (const auto &[name, value] : figures)
        out += csvLine({QLatin1String(name), QString::number(value)});
    if (bounties)
        out += csvLine({QStringLiteral("Bounties"), QString::number(results.bounties)});
    if (!results.deal.isEmpty())
        out += csvLine({QStringLiteral("Deal"), csvText(results.deal)});
    return out.toUtf8();
}

// The printed pages' common look: the page, its title and the sections' heads.
const char *const PrintedStyle = R"(:root { color-scheme: light; }
* { box-sizing: border-box; }
body { margin: 2rem auto; max-width: 60rem; padding: 0 1rem; color: #000; background: #fff;
  font: 1rem/1.35 "Liberation Sans", Arial, Helvetica, sans-serif; }
header { border-bottom: 2px solid #000; margin-bottom: 0.6em; padding-bottom: 0.3em; }
h1 { font-size: 1.8em; margin: 0; line-height: 1.15; overflow-wrap: anywhere; }
h2 { font-size: 1em; margin: 0 0 0.3em; text-transform: uppercase; letter-spacing: 0.05em; }
.when { margin: 0.15em 0 0; color: #333; }
)";

QString printedPageHead(const QString &title, const char *style)
{
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n");
    // Nothing is ever loaded or run: the page stands alone, whatever its names hold.
    out += QStringLiteral("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                          "style-src 'unsafe-inline'\">\n");
    out += QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n");
    out += QStringLiteral("<title>%1</title>\n<style>%2%3</style>\n</head>\n<body>\n")
               .arg(html(title), QLatin1String(PrintedStyle), QLatin1String(style));
    return out;
}

QByteArray resultsHtml(const Results &results)
{
    const QString title = results.title.isEmpty() ? QStringLiteral("Results") : results.title;
    const QString pageTitle = results.title.isEmpty() ? title : title + QStringLiteral(" — results");
    const auto money = [&](qint64 amount) { return html(results.currency + grouped(amount)); };

    QString out = printedPageHead(pageTitle, PageStyle);

    out += QStringLiteral("<header>\n<h1>%1</h1>\n").arg(html(title));
    if (!results.when.isEmpty())
        out += QStringLiteral("<p class=\"when\">%1</p>\n").arg(html(results.when));
    out += QStringLiteral("</header>\n");

    const Counts &c = results.counts;
    const auto fact = [](const char *name, const QString &value) {
        return QStringLiteral("<li><span>%1</span> <b>%2</b></li>\n").arg(QLatin1String(name), value);
    };
    out += QStringLiteral("<ul class=\"facts\">\n");
    out += fact("Entries", grouped(c.entries));
    out += fact("Re-entries", grouped(c.reentries));
    out += fact("Rebuys", grouped(c.rebuys));
    out += fact("Add-ons", grouped(c.addOns));
    out += fact("Money in", money(results.collected));
    out += fact("House cut", money(results.cut));
    out += fact("Added", money(results.added));
    out += fact("Prize pool", money(results.pool) + (results.guaranteed ? QStringLiteral(" GTD") : QString()));
    const bool bounties = results.bounties > 0;
    if (bounties)
        out += fact("Bounties", money(results.bounties));
    if (!results.deal.isEmpty())
        out += fact("Deal", html(results.deal));
    out += QStringLiteral("</ul>\n<div class=\"sheet\">\n");

    // The buy-ins' column only when a player bought more than their entry.
    const bool more = std::any_of(results.places.begin(), results.places.end(),
                                  [](const Place &p) { return p.buyIns > 1 || p.rebuys > 0 || p.addOns > 0; });
    out += QStringLiteral("<section class=\"places\">\n<h2>Places</h2>\n<table>\n<thead><tr><th>Place</th>"
                          "<th>Name</th><th>Seat</th>%1<th class=\"prize\">Prize</th>%2</tr></thead>\n<tbody>\n")
               .arg(more ? QStringLiteral("<th>Buy-ins</th>") : QString(),
                    bounties ? QStringLiteral("<th class=\"prize\">KOs</th><th class=\"prize\">Bounties</th>")
                             : QString());
    for (const Place &p : results.places)
        out +=
            QStringLiteral("<tr><td class=\"place\">%1</td><td class=\"name\">%2</td><td class=\"seat\">%3</td>"
                           "%5<td class=\"prize\">%4</td>%6</tr>\n")
                .arg(ordinal(p.place), html(entryName(p)), html(p.seat.valid() ? tables::seatText(p.seat) : QString()),
                     p.prize > 0 ? money(p.prize) : QString(),
                     more ? QStringLiteral("<td class=\"buyins\">%1</td>").arg(html(buyInsText(p))) : QString(),
                     bounties ? QStringLiteral("<td class=\"prize\">%1</td><td class=\"prize\">%2</td>")
                                    .arg(grouped(p.knockouts), p.bounty > 0 ? money(p.bounty) : QString())
                              : QString());
    out += QStringLiteral("</tbody>\n</table>\n</section>\n");

    if (!results.structure.isEmpty()) {
        out += QStringLiteral("<section class=\"structure\">\n<h2>Structure</h2>\n<ol>\n");
        for (const QString &line : results.structure)
            out += QStringLiteral("<li>%1</li>\n").arg(html(line));
        out += QStringLiteral("</ol>\n</section>\n");
    }
    out += QStringLiteral("</div>\n</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace tournament
