#include "season/Season.h"

#include "season/SeasonCsv.h"
#include "tournament/Ledger.h"
#include "tournament/Results.h"

namespace season {

namespace {

QString html(const QString &text)
{
    return text.toHtmlEscaped();
}

qint64 ruleValue(const Rule &rule, const Standing &s)
{
    switch (rule.kind) {
    case Rule::Kind::Total: return s.total;
    case Rule::Kind::Best: return s.best;
    case Rule::Kind::Average: return s.average;
    }
    return s.total;
}

// One A4 sheet holds some 60 players: a line of eleven narrow columns, the names taking what
// is left. On a screen the same page reads at a normal size.
const char *const PageStyle = R"(
.rule { margin: 0 0 0.8em; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: right; padding: 0.12em 0 0.12em 0.7em; border-bottom: 1px solid #bbb; white-space: nowrap;
  font-variant-numeric: tabular-nums; }
th:first-child, td:first-child { padding-left: 0; }
th.name, td.name { text-align: left; white-space: normal; overflow-wrap: anywhere; width: 100%; }
thead th { border-bottom: 1.5px solid #000; }
.points { font-weight: bold; }
tr.unranked td { color: #555; }
.note { margin: 0.5em 0 0; color: #333; }
@page { size: A4; margin: 12mm; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 7.5pt; line-height: 1.3; }
  h1 { font-size: 16pt; }
  tr { break-inside: avoid; }
}
)";

} // namespace

QByteArray standingsHtml(const Season &season, const QString &currency)
{
    const QString title = season.name.isEmpty() ? QStringLiteral("Season") : season.name;
    const std::vector<Standing> standings = season.standings();
    const Rule &rule = season.rule;

    QString out = tournament::printedPageHead(title + QStringLiteral(" — standings"), PageStyle);
    out += QStringLiteral("<header>\n<h1>%1</h1>\n</header>\n").arg(html(title));
    out += QStringLiteral("<p class=\"rule\">%1 · %2</p>\n").arg(html(rule.text()), html(season.points.formula()));
    out += QStringLiteral("<table>\n<thead><tr><th>Rank</th><th class=\"name\">Name</th><th>Nights</th>"
                          "<th class=\"points\">Points</th><th>Total</th><th>Best %1</th><th>Average</th><th>Wins</th>"
                          "<th>Cashes</th><th>KOs</th><th>Winnings</th></tr></thead>\n<tbody>\n")
               .arg(rule.best);
    using tournament::grouped;
    for (const Standing &s : standings)
        out += QStringLiteral("<tr%1><td>%2</td><td class=\"name\">%3</td><td>%4</td><td class=\"points\">%5</td>"
                              "<td>%6</td><td>%7</td><td>%8</td><td>%9</td><td>%10</td><td>%11</td><td>%12</td></tr>\n")
                   .arg(s.ranked ? QString() : QStringLiteral(" class=\"unranked\""), QString::number(s.rank),
                        html(s.name), grouped(s.nights), pointsText(ruleValue(rule, s)), pointsText(s.total),
                        pointsText(s.best), pointsText(s.average), grouped(s.wins), grouped(s.cashes),
                        grouped(s.knockouts), html(currency + grouped(s.winnings)));
    out += QStringLiteral("</tbody>\n</table>\n");
    if (std::any_of(standings.begin(), standings.end(), [](const Standing &s) { return !s.ranked; }))
        out += QStringLiteral("<p class=\"note\">In grey: fewer than %1 nights played, ranked after the others.</p>\n")
                   .arg(rule.minNights);
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

QByteArray standingsCsv(const Season &season)
{
    QString out = csv::line({QStringLiteral("Rank"), QStringLiteral("Name"), QStringLiteral("Nights"),
                             QStringLiteral("Points"), QStringLiteral("Wins"), QStringLiteral("Cashes"),
                             QStringLiteral("KOs"), QStringLiteral("Winnings")});
    for (const Standing &s : season.standings())
        out += csv::line({QString::number(s.rank), csv::text(s.name), QString::number(s.nights),
                          pointsText(ruleValue(season.rule, s)), QString::number(s.wins), QString::number(s.cashes),
                          QString::number(s.knockouts), QString::number(s.winnings)});
    return out.toUtf8();
}

} // namespace season
