#pragma once
// The night on the clock: when each level and break starts, how long the structure runs, and
// when the game is expected to end: where the big blind reaches the average stack of the
// expected field.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace plan {

struct Input {
    std::vector<qint64> levelSeconds; // the length of each level
    std::vector<QString> bigBlinds;   // each level's big blind as the schedule holds it
    qint64 breakEvery = 0;            // 0: no break
    bool repeat = false;
    qint64 breakSeconds = 0;
    QDateTime startsAt;      // when the game starts, in the time it is shown in
    qint64 averageStack = 0; // the expected field's chips ÷ its players; 0: no finish
};

struct Row {
    int level = 0;      // 1-based; 0: the break
    qint64 from = 0;    // seconds after the start
    qint64 seconds = 0; // its length
    bool operator==(const Row &o) const { return level == o.level && from == o.from && seconds == o.seconds; }
};

struct Plan {
    std::vector<Row> rows;   // the levels and breaks in order
    qint64 totalSeconds = 0; // the whole structure
    int breaks = 0;
    std::optional<int> finishLevel; // the first level whose big blind reaches the average stack
    std::optional<qint64> finishAt; // seconds after the start that level begins
    QDateTime startsAt;
    qint64 averageStack = 0;
};
Plan makePlan(const Input &input);

// "23:05", "00:20": the time of day on the clocks of the place `at` is in, so a night the
// clocks change reads as the room's clocks do.
QString timeOfDay(const QDateTime &at);
// The local time `secondsAfterMidnight` into `day` ("20:00" typed for tonight).
QDateTime startOn(const QDate &day, qint64 secondsAfterMidnight);
// "5 h 20 min", "45 min"
QString lengthText(qint64 seconds);
// "42 min", "1 h 05 min": a time still to run, rounded up to the minute.
QString minutesToGo(qint64 seconds);
// "15 levels and 3 breaks: 5 h 40 min", then with a finish "ends around 23:40 (round 11)".
QString planSummary(const Plan &plan);
// "Next break in 42 min", seconds to the next break from now; empty when no break is to come.
QString nextBreakText(qint64 secondsToBreak);
// The seconds to the next break: from the level in play (1-based) with `secondsLeft` on it;
// none when no break follows.
std::optional<qint64> secondsToBreak(const Plan &plan, int level, qint64 secondsLeft);
// "Add-on now: £10 for 15,000 chips"
QString addOnNow(const QString &currency, qint64 amount, qint64 chips);

} // namespace plan
