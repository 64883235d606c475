#include "season/Season.h"

#include "season/SeasonCsv.h"
#include "tournament/Ledger.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace season {

namespace {

constexpr qint64 Most = std::numeric_limits<qint64>::max();
constexpr qint64 MostNumber = 1000000000000000LL; // 10^15: the largest number a file may hold
constexpr qint64 MostLines = 100000;

// Sums and products that stop at the largest number rather than wrap.
qint64 plus(qint64 a, qint64 b)
{
    qint64 r = 0;
    return __builtin_add_overflow(a, b, &r) ? Most : r;
}

qint64 times(qint64 a, qint64 b)
{
    qint64 r = 0;
    return __builtin_mul_overflow(a, b, &r) ? Most : r;
}

// a ÷ b for a ≥ 0, b > 0, halves to even.
qint64 divided(qint64 a, qint64 b)
{
    const qint64 q = a / b, r = a % b;
    return r > b - r || (r == b - r && q % 2 == 1) ? q + 1 : q;
}

// The points of one place in a field before ties, attending and knock-outs.
qint64 placePoints(const Points &p, qint64 place, qint64 field)
{
    qint64 points = 0;
    switch (p.kind) {
    case Points::Kind::Linear: points = times(plus(field - place, 1), 100); break;
    case Points::Kind::Table:
        points = place >= 1 && place <= qint64(p.table.size()) ? p.table[size_t(place - 1)] : p.floor;
        break;
    case Points::Kind::Field: {
        if (place < 1 || field < 1)
            break;
        // nearbyint rounds halves to even in the default rounding mode.
        const double v = std::nearbyint(double(p.scale) * std::sqrt(double(field) / double(place)));
        points = v >= 9e18 ? Most : qint64(v);
        break;
    }
    }
    return std::max<qint64>(points, 0);
}

// The players of a season by their names' keys and the merges among them: every key leads to
// the key of the player it counts as.
class Players {
public:
    explicit Players(const std::vector<Line> &lines)
    {
        for (const Line &l : lines) {
            const QString key = nameKey(l.name);
            if (!spelling_.contains(key))
                spelling_.insert(key, l.name);
        }
    }
    bool has(const QString &key) const { return spelling_.contains(key); }
    QString spelling(const QString &key) const { return spelling_.value(key); }
    // The key `key` counts as, merges followed (the path shortened on the way).
    QString root(const QString &key)
    {
        QString r = key;
        for (auto it = parent_.constFind(r); it != parent_.constEnd(); it = parent_.constFind(r))
            r = it.value();
        for (QString k = key; k != r;) {
            QString &next = parent_[k];
            k = std::exchange(next, r);
        }
        return r;
    }
    std::optional<QString> merge(const Merge &m)
    {
        for (const QString &name : {m.from, m.into})
            if (!has(nameKey(name)))
                return QStringLiteral("The season has no player named \"%1\".").arg(name);
        const QString from = root(nameKey(m.from)), into = root(nameKey(m.into));
        if (from == into)
            return QStringLiteral("\"%1\" and \"%2\" are one player already.").arg(m.from, m.into);
        parent_.insert(from, into);
        return std::nullopt;
    }

private:
    QHash<QString, QString> spelling_; // as first written
    QHash<QString, QString> parent_;
};

Players playersOf(const std::vector<Line> &lines, const std::vector<Merge> &merges)
{
    Players players(lines);
    for (const Merge &m : merges)
        players.merge(m);
    return players;
}

// Why a line cannot be one of the season's; none when it can.
std::optional<QString> lineFault(const Line &l)
{
    if (nameKey(l.name).isEmpty())
        return QStringLiteral("A line of the night names no player.");
    if (l.place < 1 || l.field < l.place || l.field > MostNumber)
        return QStringLiteral("%1 has no place in the field.").arg(l.name);
    if (l.prize < 0 || l.prize > MostNumber || l.knockouts < 0 || l.knockouts > MostNumber || l.spend < -1
        || l.spend > MostNumber)
        return QStringLiteral("The line of %1 holds an amount out of range.").arg(l.name);
    return std::nullopt;
}

const char *const KindWords[] = {"table", "linear", "field"};
const char *const RuleWords[] = {"total", "best", "average"};

} // namespace

bool Line::operator==(const Line &o) const
{
    return date == o.date && title == o.title && name == o.name && place == o.place && field == o.field
           && prize == o.prize && knockouts == o.knockouts && spend == o.spend;
}

bool Points::operator==(const Points &o) const
{
    return kind == o.kind && table == o.table && floor == o.floor && scale == o.scale && attend == o.attend
           && knockout == o.knockout;
}

bool Standing::operator==(const Standing &o) const
{
    return rank == o.rank && name == o.name && nights == o.nights && total == o.total && best == o.best
           && average == o.average && ranked == o.ranked && wins == o.wins && cashes == o.cashes
           && knockouts == o.knockouts && winnings == o.winnings;
}

bool Season::operator==(const Season &o) const
{
    return name == o.name && points == o.points && rule == o.rule && lines_ == o.lines_ && merges_ == o.merges_;
}

QString nameKey(const QString &name)
{
    QString key = name.toCaseFolded();
    key.removeIf([](QChar c) { return c.isSpace(); });
    return key;
}

QString pointsText(qint64 hundredths)
{
    const bool negative = hundredths < 0;
    const quint64 v = negative ? 0 - quint64(hundredths) : quint64(hundredths);
    QString text = QString::number(v / 100);
    if (const quint64 cents = v % 100; cents != 0)
        text += cents % 10 == 0 ? QStringLiteral(".%1").arg(cents / 10)
                                : QStringLiteral(".%1").arg(cents, 2, 10, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + text : text;
}

std::vector<qint64> Points::preview(qint64 field) const
{
    std::vector<qint64> out;
    // A field larger than any season holds is previewed as far as a season goes.
    const qint64 places = std::min(field, MostLines);
    for (qint64 place = 1; place <= places; ++place)
        out.push_back(placePoints(*this, place, field));
    return out;
}

std::vector<qint64> Points::night(const std::vector<Line> &lines) const
{
    std::map<qint64, qint64> tied; // place → lines at it
    for (const Line &l : lines)
        ++tied[l.place];
    std::map<std::pair<qint64, qint64>, qint64> shares; // place and field → the points each tied line takes
    std::vector<qint64> out;
    for (const Line &l : lines) {
        auto [share, fresh] = shares.try_emplace({l.place, l.field}, 0);
        if (fresh) {
            const qint64 n = tied[l.place];
            qint64 sum = 0;
            for (qint64 i = 0; i < n; ++i)
                sum = plus(sum, placePoints(*this, plus(l.place, i), l.field));
            share->second = divided(sum, n);
        }
        const qint64 shared = share->second;
        out.push_back(
            std::max<qint64>(0, plus(plus(shared, attend), times(knockout, std::max<qint64>(l.knockouts, 0)))));
    }
    return out;
}

QString Points::formula() const
{
    QString text;
    switch (kind) {
    case Kind::Linear: text = QStringLiteral("Points = field − place + 1"); break;
    case Kind::Field: text = QStringLiteral("Points = %1 × √(field ÷ place)").arg(pointsText(scale)); break;
    case Kind::Table: {
        if (table.empty()) {
            text = QStringLiteral("Points = %1 for every place").arg(pointsText(floor));
            break;
        }
        QStringList places;
        for (const qint64 p : table)
            places << pointsText(p);
        text =
            QStringLiteral("Points by place: %1; below %2: %3")
                .arg(places.join(QStringLiteral(", ")), tournament::ordinal(qint64(table.size())), pointsText(floor));
        break;
    }
    }
    if (attend != 0)
        text += QStringLiteral(" + %1 for playing").arg(pointsText(attend));
    if (knockout != 0)
        text += QStringLiteral(" + %1 per knock-out").arg(pointsText(knockout));
    return text;
}

QString Rule::text() const
{
    const auto nights = [](int n) { return n == 1 ? QStringLiteral("1 night") : QStringLiteral("%1 nights").arg(n); };
    switch (kind) {
    case Kind::Total: return QStringLiteral("Total of all nights");
    case Kind::Best: return QStringLiteral("Best %1").arg(nights(best));
    case Kind::Average: return QStringLiteral("Average, at least %1").arg(nights(minNights));
    }
    return {};
}

std::optional<QString> Season::addNight(const std::vector<Line> &night)
{
    if (night.empty())
        return QStringLiteral("The night has no players.");
    const QString &date = night.front().date, &title = night.front().title;
    if (date.isEmpty())
        return QStringLiteral("The night has no date.");
    QSet<QString> names;
    for (const Line &l : night) {
        if (l.date != date || l.title != title)
            return QStringLiteral("The lines of a night are all of one date and title.");
        if (std::optional<QString> fault = lineFault(l))
            return fault;
        const QString key = nameKey(l.name);
        if (names.contains(key))
            return QStringLiteral("\"%1\" is on two lines of the night.").arg(l.name);
        names.insert(key);
    }
    if (lines_.size() + night.size() > size_t(MostLines))
        return QStringLiteral("The season holds as many lines as it can.");
    if (hasNight(date, title))
        return QStringLiteral("The season already holds the night of %1 \"%2\".").arg(date, title);
    lines_.insert(lines_.end(), night.begin(), night.end());
    return std::nullopt;
}

bool Season::hasNight(const QString &date, const QString &title) const
{
    return std::any_of(lines_.begin(), lines_.end(), [&](const Line &l) { return l.date == date && l.title == title; });
}

std::optional<QString> Season::merge(const QString &from, const QString &into)
{
    Players players = playersOf(lines_, merges_);
    if (std::optional<QString> refused = players.merge({from, into}))
        return refused;
    merges_.push_back({from, into});
    return std::nullopt;
}

bool Season::undoMerge()
{
    if (merges_.empty())
        return false;
    merges_.pop_back();
    return true;
}

QString Season::player(const QString &name) const
{
    Players players = playersOf(lines_, merges_);
    const QString key = players.root(nameKey(name));
    return players.has(key) ? players.spelling(key) : name;
}

std::vector<Standing> Season::standings() const
{
    Players players = playersOf(lines_, merges_);
    // Each night's lines with their points; a player with two lines of one night (two names
    // merged that both played it) counts the night once, by the line worth more.
    QHash<QPair<QString, QString>, std::vector<size_t>> nights;
    for (size_t i = 0; i < lines_.size(); ++i)
        nights[{lines_[i].date, lines_[i].title}].push_back(i);
    struct Played {
        qint64 points;
        size_t line;
    };
    QHash<QString, QHash<QPair<QString, QString>, Played>> played; // player → night → line
    for (auto it = nights.cbegin(); it != nights.cend(); ++it) {
        std::vector<Line> night;
        for (const size_t i : it.value())
            night.push_back(lines_[i]);
        const std::vector<qint64> points = this->points.night(night);
        for (size_t j = 0; j < night.size(); ++j) {
            const QString who = players.root(nameKey(night[j].name));
            auto &mine = played[who];
            const auto held = mine.constFind(it.key());
            if (held == mine.constEnd() || held->points < points[j])
                mine.insert(it.key(), {points[j], it.value()[j]});
        }
    }

    std::vector<Standing> out;
    for (auto it = played.cbegin(); it != played.cend(); ++it) {
        Standing s;
        s.name = players.spelling(it.key());
        std::vector<qint64> nightPoints;
        for (const Played &p : it.value()) {
            const Line &l = lines_[p.line];
            nightPoints.push_back(p.points);
            s.total = plus(s.total, p.points);
            s.wins += l.place == 1 ? 1 : 0;
            s.cashes += l.prize > 0 ? 1 : 0;
            s.knockouts = plus(s.knockouts, l.knockouts);
            s.winnings = plus(s.winnings, l.prize);
        }
        s.nights = qint64(nightPoints.size());
        std::sort(nightPoints.begin(), nightPoints.end(), std::greater<>());
        for (size_t i = 0; i < nightPoints.size() && qint64(i) < qint64(rule.best); ++i)
            s.best = plus(s.best, nightPoints[i]);
        s.average = s.nights > 0 ? divided(s.total, s.nights) : 0;
        s.ranked = rule.kind != Rule::Kind::Average || s.nights >= rule.minNights;
        out.push_back(s);
    }
    const auto value = [&](const Standing &s) {
        switch (rule.kind) {
        case Rule::Kind::Total: return s.total;
        case Rule::Kind::Best: return s.best;
        case Rule::Kind::Average: return s.average;
        }
        return s.total;
    };
    std::sort(out.begin(), out.end(), [&](const Standing &a, const Standing &b) {
        if (a.ranked != b.ranked)
            return a.ranked;
        if (value(a) != value(b))
            return value(a) > value(b);
        const QString ka = nameKey(a.name), kb = nameKey(b.name);
        return ka != kb ? ka < kb : a.name < b.name;
    });
    for (size_t i = 0; i < out.size(); ++i) {
        const bool tied = i > 0 && out[i].ranked == out[i - 1].ranked && value(out[i]) == value(out[i - 1]);
        out[i].rank = tied ? out[i - 1].rank : int(i + 1);
    }
    return out;
}

QByteArray Season::file() const
{
    using csv::line;
    using csv::text;
    const auto num = [](qint64 v) { return QString::number(v); };
    QStringList table;
    for (const qint64 p : points.table)
        table << num(p);
    QString out = line({QStringLiteral("Chiplark season"), text(name)});
    out += line({QStringLiteral("Points"), QLatin1String(KindWords[int(points.kind)]), table.join(QLatin1Char(';')),
                 num(points.floor), num(points.scale), num(points.attend), num(points.knockout)});
    out +=
        line({QStringLiteral("Rule"), QLatin1String(RuleWords[int(rule.kind)]), num(rule.best), num(rule.minNights)});
    for (const Merge &m : merges_)
        out += line({QStringLiteral("Merge"), text(m.from), text(m.into)});
    out += QStringLiteral("\r\n");
    out +=
        line({QStringLiteral("Date"), QStringLiteral("Title"), QStringLiteral("Name"), QStringLiteral("Place"),
              QStringLiteral("Field"), QStringLiteral("Prize"), QStringLiteral("Knock-outs"), QStringLiteral("Spend")});
    for (const Line &l : lines_)
        out += line({text(l.date), text(l.title), text(l.name), num(l.place), num(l.field), num(l.prize),
                     num(l.knockouts), l.spend < 0 ? QString() : num(l.spend)});
    return out.toUtf8();
}

std::optional<Season> Season::read(const QByteArray &bytes, QString *why)
{
    qint64 faultLine = 1;
    const auto refused = [&](const QString &reason) -> std::optional<Season> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const auto unread = [&](qint64 at) {
        return refused(QStringLiteral("Line %1 of the season file does not read.").arg(at));
    };
    // The name, the points, the rule and the header around the lines and merges.
    const std::optional<std::vector<csv::Record>> records = csv::records(bytes, 2 * MostLines + 5, &faultLine);
    if (!records && faultLine == 0)
        return refused(QStringLiteral("The season file is not UTF-8 text."));
    if (!records)
        return faultLine > 2 * MostLines
                   ? refused(QStringLiteral("The season file holds more lines than a season can."))
                   : unread(faultLine);
    const std::vector<csv::Record> &r = *records;
    if (r.empty() || r[0].cells.size() != 2 || r[0].cells[0] != QLatin1String("Chiplark season"))
        return refused(QStringLiteral("The file is not a Chiplark season."));

    Season s;
    s.name = csv::untext(r[0].cells[1]);
    if (r.size() < 4)
        return unread(r.back().line + 1);
    const auto word = [](const QString &cell, const char *const(&words)[3]) -> int {
        for (int i = 0; i < 3; ++i)
            if (cell == QLatin1String(words[i]))
                return i;
        return -1;
    };
    {
        const QStringList &c = r[1].cells;
        if (c.size() != 7 || c[0] != QLatin1String("Points") || word(c[1], KindWords) < 0)
            return unread(r[1].line);
        s.points.kind = Points::Kind(word(c[1], KindWords));
        s.points.table.clear();
        if (!c[2].isEmpty())
            for (const QString &p : c[2].split(QLatin1Char(';'))) {
                const std::optional<qint64> v = csv::number(p);
                if (!v || s.points.table.size() >= size_t(MostLines))
                    return unread(r[1].line);
                s.points.table.push_back(*v);
            }
        qint64 *const numbers[] = {&s.points.floor, &s.points.scale, &s.points.attend, &s.points.knockout};
        for (int i = 0; i < 4; ++i) {
            const std::optional<qint64> v = csv::number(c[3 + i]);
            if (!v)
                return unread(r[1].line);
            *numbers[i] = *v;
        }
    }
    {
        const QStringList &c = r[2].cells;
        const std::optional<qint64> best = c.size() == 4 ? csv::number(c[2]) : std::nullopt;
        const std::optional<qint64> least = c.size() == 4 ? csv::number(c[3]) : std::nullopt;
        if (c.size() != 4 || c[0] != QLatin1String("Rule") || word(c[1], RuleWords) < 0 || !best || !least
            || *best > MostLines || *least > MostLines)
            return unread(r[2].line);
        s.rule = {Rule::Kind(word(c[1], RuleWords)), int(*best), int(*least)};
    }
    size_t i = 3;
    std::vector<std::pair<Merge, qint64>> merges;
    for (; i < r.size() && r[i].cells.size() == 3 && r[i].cells[0] == QLatin1String("Merge"); ++i)
        merges.push_back({{csv::untext(r[i].cells[1]), csv::untext(r[i].cells[2])}, r[i].line});
    if (i >= r.size() || r[i].cells != QStringList{QString()})
        return unread(i < r.size() ? r[i].line : r.back().line + 1);
    ++i;
    static const QStringList header = {"Date", "Title", "Name", "Place", "Field", "Prize", "Knock-outs", "Spend"};
    if (i >= r.size() || r[i].cells != header)
        return unread(i < r.size() ? r[i].line : r.back().line + 1);
    ++i;
    if (r.size() - i > size_t(MostLines) || merges.size() > size_t(MostLines))
        return refused(QStringLiteral("The season file holds more lines than a season can."));

    QSet<QString> named; // date, title and name key of every line, one to a player and night
    for (; i < r.size(); ++i) {
        const QStringList &c = r[i].cells;
        if (c.size() != 8)
            return unread(r[i].line);
        Line l;
        l.date = csv::untext(c[0]);
        l.title = csv::untext(c[1]);
        l.name = csv::untext(c[2]);
        qint64 *const numbers[] = {&l.place, &l.field, &l.prize, &l.knockouts};
        for (int n = 0; n < 4; ++n) {
            const std::optional<qint64> v = csv::number(c[3 + n]);
            if (!v)
                return unread(r[i].line);
            *numbers[n] = *v;
        }
        if (!c[7].isEmpty()) {
            const std::optional<qint64> spend = csv::number(c[7]);
            if (!spend)
                return unread(r[i].line);
            l.spend = *spend;
        }
        if (l.date.isEmpty() || lineFault(l))
            return unread(r[i].line);
        // The key's parts kept apart by a character no text cell of the file can hold alone.
        const QString key = l.date + QChar(0) + l.title + QChar(0) + nameKey(l.name);
        if (named.contains(key))
            return refused(
                QStringLiteral("Line %1 of the season file names a player of that night again.").arg(r[i].line));
        named.insert(key);
        s.lines_.push_back(std::move(l));
    }
    Players players(s.lines_);
    for (const auto &[m, at] : merges) {
        if (players.merge(m))
            return refused(QStringLiteral("Line %1 of the season file merges names it cannot.").arg(at));
        s.merges_.push_back(m);
    }
    return s;
}

std::optional<std::vector<Line>> linesFromResults(const QByteArray &bytes, QString *why)
{
    const auto refused = [&](const QString &reason) -> std::optional<std::vector<Line>> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    static const QString notResults = QStringLiteral("The file is not the results of a night.");
    qint64 faultLine = 0;
    const std::optional<std::vector<csv::Record>> records = csv::records(bytes, MostLines + 20, &faultLine);
    static const QStringList header = {"Place", "Name",    "Entry",  "Table",  "Seat",
                                       "Prize", "Buy-ins", "Rebuys", "Add-ons"};
    if (!records || records->empty() || records->front().cells != header)
        return refused(notResults);
    const std::vector<csv::Record> &r = *records;

    std::vector<Line> lines;
    QSet<QString> names;
    size_t i = 1;
    for (; i < r.size() && r[i].cells != QStringList{QString()}; ++i) {
        const QStringList &c = r[i].cells;
        const std::optional<qint64> place = c.size() == 9 ? csv::number(c[0]) : std::nullopt;
        const std::optional<qint64> prize = c.size() == 9 ? csv::number(c[5]) : std::nullopt;
        if (!place || !prize || *place < 1)
            return refused(QStringLiteral("Line %1 of the results does not read.").arg(r[i].line));
        Line l;
        l.name = csv::untext(c[1]);
        if (nameKey(l.name).isEmpty())
            return refused(QStringLiteral("The results name no player at place %1.").arg(*place));
        if (names.contains(nameKey(l.name)))
            return refused(QStringLiteral("The results name %1 twice.").arg(l.name));
        names.insert(nameKey(l.name));
        l.place = *place;
        l.prize = *prize;
        lines.push_back(std::move(l));
    }
    if (lines.empty())
        return refused(QStringLiteral("The results have no places."));

    std::optional<QString> title, when;
    for (++i; i < r.size(); ++i) {
        const QStringList &c = r[i].cells;
        if (c.size() == 2 && c[0] == QLatin1String("Title"))
            title = csv::untext(c[1]);
        else if (c.size() == 2 && c[0] == QLatin1String("Date"))
            when = csv::untext(c[1]);
    }
    if (!title || !when)
        return refused(notResults);
    // "Thursday 10 December 2026, 23:41": the day is all a season keeps.
    const QLocale c = QLocale::c();
    const QDate day = c.toDateTime(*when, QStringLiteral("dddd d MMMM yyyy, HH:mm")).date();
    if (!day.isValid())
        return refused(QStringLiteral("The results' date \"%1\" does not read.").arg(*when));

    const qint64 field = qint64(lines.size());
    for (Line &l : lines) {
        if (l.place > field)
            return refused(
                QStringLiteral("The results place %1 beyond their %2 places.").arg(l.name, QString::number(field)));
        l.date = day.toString(QStringLiteral("yyyy-MM-dd"));
        l.title = *title;
        l.field = field;
        l.knockouts = 0;
        l.spend = -1;
    }
    return lines;
}

} // namespace season
