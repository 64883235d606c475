#pragma once
// A season: the nights a home game played, one line per player per night, kept in a file beside
// the program that the host can copy to move the league; the points each finish earns, the rule
// that turns nights into standings, and the names merged across nights. Plain values and calls.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace season {

// One player's night: where they finished in a field of so many players (people, not buy-ins),
// with the prize, the players they knocked out and what they spent. Amounts in whole currency
// units; -1: not known.
struct Line {
    QString date;  // "2027-01-07"
    QString title; // the night's title
    QString name;
    qint64 place = 0; // 1: the winner
    qint64 field = 0;
    qint64 prize = 0;
    qint64 knockouts = 0;
    qint64 spend = -1;
    bool operator==(const Line &o) const;
};

// How a night's finishes are scored. Points are kept in hundredths (12.5 points is 1250) so that
// averaged ties and square roots add up the same on every machine; never negative.
struct Points {
    enum class Kind {
        Table,  // fixed points by place, and a floor for every place below the table
        Linear, // field − place + 1
        Field,  // scale × √(field ÷ place), rounded to hundredths, halves to even
    };
    Kind kind = Kind::Linear;
    std::vector<qint64> table{1000, 700, 500, 300, 200, 100}; // Table: 1st, 2nd, ... (hundredths)
    qint64 floor = 0;                                         // Table: the places below it (hundredths)
    qint64 scale = 1000; // Field: the points of a win in a field of one (hundredths)
    qint64 attend = 0;   // for every night played (hundredths)
    qint64 knockout = 0; // for every knock-out (hundredths)
    bool operator==(const Points &o) const;

    // The points for each place of a field with nobody tied, 1st first (for the live preview).
    std::vector<qint64> preview(qint64 field) const;
    // The points of every line of one night: the places a tie spans share their points evenly
    // (rounded to hundredths, halves to even), then attending and knock-outs added.
    std::vector<qint64> night(const std::vector<Line> &lines) const;
    // The formula written out: "Points = field − place + 1", "Points = 10 × √(field ÷ place)".
    QString formula() const;
};

// Which nights count: all of them, the best N, or the average once a player has played a
// minimum of nights (below it they rank after those who have).
struct Rule {
    enum class Kind { Total, Best, Average };
    Kind kind = Kind::Total;
    int best = 4;      // Best: how many nights count
    int minNights = 3; // Average: the nights needed to rank by it
    bool operator==(const Rule &o) const { return kind == o.kind && best == o.best && minNights == o.minNights; }
    QString text() const; // "Total of all nights", "Best 4 nights", "Average, at least 3 nights"
};

// A name merged into another: every line of `from` (matched as names are) counts as `into`.
struct Merge {
    QString from;
    QString into;
    bool operator==(const Merge &o) const { return from == o.from && into == o.into; }
};

// One player's line in the standings; the points in hundredths.
struct Standing {
    int rank = 0; // shared by players tied under the rule
    QString name; // as first written
    qint64 nights = 0;
    qint64 total = 0;
    qint64 best = 0;    // the best N nights' points
    qint64 average = 0; // the total ÷ nights, halves to even
    bool ranked = true; // Average: played the minimum of nights
    qint64 wins = 0;
    qint64 cashes = 0;
    qint64 knockouts = 0;
    qint64 winnings = 0;
    bool operator==(const Standing &o) const;
};

// Names are the same player when they match ignoring case and spaces ("Ann Lee", "annlee").
QString nameKey(const QString &name);
// 1250 as "12.5", 1000 as "10", 1233 as "12.33".
QString pointsText(qint64 hundredths);

class Season {
public:
    QString name; // "Thursday League 2027"
    Points points;
    Rule rule;

    const std::vector<Line> &lines() const { return lines_; }
    const std::vector<Merge> &merges() const { return merges_; }

    // A night's lines added, one per person; refused (with the reason) when the season already
    // holds a night of that date and title, when the lines are empty, or when a name is on two
    // of them.
    std::optional<QString> addNight(const std::vector<Line> &night);
    bool hasNight(const QString &date, const QString &title) const;
    // One spelling merged into another; refused when either is not a player of the season, or
    // they are one already. undoMerge takes back the last merge (false when there is none).
    std::optional<QString> merge(const QString &from, const QString &into);
    bool undoMerge();
    // The name a line counts under, merges followed.
    QString player(const QString &name) const;

    // The standings under the rule: best first, ties sharing a rank.
    std::vector<Standing> standings() const;

    // The season file: UTF-8 CSV, read back as written. none: not a season file (the reason in
    // `why` when given).
    QByteArray file() const;
    static std::optional<Season> read(const QByteArray &bytes, QString *why = nullptr);

    bool operator==(const Season &o) const;

private:
    std::vector<Line> lines_;
    std::vector<Merge> merges_;
};

// The lines of a night from one of this program's results files (CSV): one per named place, the
// field the number of places. none when the file is not such results or names a player twice.
std::optional<std::vector<Line>> linesFromResults(const QByteArray &csv, QString *why = nullptr);

// The standings as a page that prints on one A4 sheet, and as a CSV (Rank, Name, Nights,
// Points, Wins, Cashes, KOs, Winnings) with the points of the rule.
QByteArray standingsHtml(const Season &season, const QString &currency);
QByteArray standingsCsv(const Season &season);

} // namespace season
