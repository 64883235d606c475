#include "season/SeasonNight.h"

#include <QRegularExpression>

namespace season {

std::optional<std::vector<Line>> nightLines(const tournament::Results &results, const tournament::Setup &setup)
{
    std::vector<Line> lines;
    const qint64 field = qint64(results.places.size());
    for (const tournament::Place &p : results.places) {
        if (p.name.isEmpty())
            return std::nullopt;
        Line l;
        l.date = results.date;
        l.title = results.title;
        l.name = p.name;
        l.place = p.place;
        l.field = field;
        // What the player took home: the place's prize and the bounties paid to them.
        l.prize = p.prize;
        if (__builtin_add_overflow(p.prize, p.bounty, &l.prize))
            l.prize = p.prize;
        l.knockouts = p.knockouts;
        // The entry, its re-entries, rebuys and add-ons at the night's amounts; not known past 64 bits.
        qint64 spend = 0;
        const std::pair<qint64, qint64> bought[] = {{1, setup.buyIn},
                                                    {std::max<qint64>(p.buyIns - 1, 0), setup.reentryAmount()},
                                                    {p.rebuys, setup.rebuy},
                                                    {p.addOns, setup.addOn}};
        for (const auto &[count, each] : bought) {
            qint64 part = 0;
            if (spend < 0 || __builtin_mul_overflow(count, each, &part) || __builtin_add_overflow(spend, part, &spend))
                spend = -1;
        }
        l.spend = p.buyIns > 0 ? spend : -1;
        lines.push_back(l);
    }
    return lines;
}

View view(const Season &season, int rows)
{
    View v;
    v.title = season.name + QStringLiteral(" · ") + season.rule.text();
    const std::vector<Standing> standings = season.standings();
    for (size_t i = 0; i < standings.size() && int(i) < rows; ++i) {
        const Standing &s = standings[i];
        const bool shared =
            (i > 0 && standings[i - 1].rank == s.rank) || (i + 1 < standings.size() && standings[i + 1].rank == s.rank);
        const qint64 points = season.rule.kind == Rule::Kind::Best      ? s.best
                              : season.rule.kind == Rule::Kind::Average ? s.average
                                                                        : s.total;
        v.rows.push_back({(shared ? QStringLiteral("=") : QString()) + QString::number(s.rank), s.name,
                          pointsText(points), QString::number(s.nights)});
    }
    return v;
}

std::optional<qint64> parsePoints(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^(\\d{1,13})(?:\\.(\\d{1,2}))?$"));
    const QRegularExpressionMatch m = number.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QString cents = m.captured(2).leftJustified(2, QLatin1Char('0'));
    return m.captured(1).toLongLong() * 100 + cents.toLongLong();
}

std::optional<std::vector<qint64>> parsePointsTable(const QString &text)
{
    std::vector<qint64> table;
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > 200)
        return std::nullopt;
    for (const QString &part : parts) {
        const std::optional<qint64> p = parsePoints(part);
        if (!p)
            return std::nullopt;
        table.push_back(*p);
    }
    return table;
}

QString pointsTableText(const std::vector<qint64> &table)
{
    QStringList parts;
    for (const qint64 p : table)
        parts << pointsText(p);
    return parts.join(QStringLiteral(", "));
}

QString previewText(const Points &points, qint64 field)
{
    const std::vector<qint64> each = points.preview(field);
    QStringList parts;
    for (size_t i = 0; i < each.size() && i < 12; ++i)
        parts << pointsText(each[i]);
    if (each.size() > 12)
        parts << QStringLiteral("…");
    return QStringLiteral("For %1 players: ").arg(field) + parts.join(QStringLiteral(", "));
}

} // namespace season
