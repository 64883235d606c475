#pragma once
// A night of the clock as a season takes it, a season as the display and the page show it, and
// its points as the host types them.

#include "season/Season.h"
#include "tournament/Results.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace season {

// One line per player of the night's results, with what each one spent by the setup's amounts;
// none when a place has no name (a season keeps players by name).
std::optional<std::vector<Line>> nightLines(const tournament::Results &results, const tournament::Setup &setup);

// The standings, short: "Thursday League 2027 · Best 4 nights", then the first rows as rank,
// name, points under the rule and nights ("=2" for a shared rank).
struct View {
    QString title;
    std::vector<std::array<QString, 4>> rows;
    bool operator==(const View &o) const { return title == o.title && rows == o.rows; }
    bool operator!=(const View &o) const { return !(*this == o); }
};
View view(const Season &season, int rows);

// Points as the host types them: "12.5" is 1250 hundredths; at most two decimals, from 0 to
// 10^13. A table of them between commas ("10, 7, 5"), at most 200. None when they do not read.
std::optional<qint64> parsePoints(const QString &text);
std::optional<std::vector<qint64>> parsePointsTable(const QString &text);
QString pointsTableText(const std::vector<qint64> &table);
// "For 9 players: 9, 8, 7, 6, 5, 4, 3, 2, 1" (the first twelve places, then "…").
QString previewText(const Points &points, qint64 field);

} // namespace season
