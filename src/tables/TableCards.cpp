#include "tables/TableCards.h"

#include "tournament/Results.h"

namespace tables {

namespace {

// A sheet a table: the number large at the top, then a row a seat, big enough to read from
// across the table; on a screen the cards follow one another.
const char *const CardStyle = R"(
.card { margin: 0 0 2rem; }
.card h2 { font-size: 2.4em; text-transform: none; letter-spacing: 0; margin: 0.2em 0 0.3em; }
table { border-collapse: collapse; width: 100%; font-size: 1.6em; }
th, td { text-align: left; padding: 0.25em 0.5em 0.25em 0; border-bottom: 1px solid #999; }
th { width: 5em; white-space: nowrap; }
td { overflow-wrap: anywhere; }
td.empty { color: #777; }
@page { size: A4; margin: 15mm; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 14pt; }
  .card { margin: 0; break-after: page; }
  .card:last-child { break-after: auto; }
}
)";

QString html(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

QByteArray tableCardsHtml(const Seating &seating, const NameAt &nameAt, const QString &title, const QString &when)
{
    const QString name = title.isEmpty() ? QStringLiteral("Tables") : title + QStringLiteral(" — tables");
    QString out = tournament::printedPageHead(name, CardStyle);
    const Layout &l = seating.layout();
    for (int t = 1; t <= l.tables; ++t) {
        if (!seating.open(t))
            continue;
        out += QStringLiteral("<section class=\"card\">\n<header>\n<h1>%1</h1>\n").arg(html(title));
        if (!when.isEmpty())
            out += QStringLiteral("<p class=\"when\">%1</p>\n").arg(html(when));
        out += QStringLiteral("</header>\n<h2>Table %1</h2>\n<table>\n<tbody>\n").arg(t);
        for (int seat = 1; seat <= l.seats; ++seat) {
            const bool taken = seating.at({t, seat}) != 0;
            out += QStringLiteral("<tr><th>Seat %1</th><td%2>%3</td></tr>\n")
                       .arg(seat)
                       .arg(taken ? QString() : QStringLiteral(" class=\"empty\""),
                            taken ? html(nameAt({t, seat})) : QStringLiteral("empty"));
        }
        out += QStringLiteral("</tbody>\n</table>\n</section>\n");
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace tables
