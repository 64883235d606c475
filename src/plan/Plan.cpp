#include "plan/Plan.h"

#include "chips/ChipCase.h"
#include "text/ClockText.h"
#include "tournament/Ledger.h"

namespace plan {

namespace {

QString counted(qint64 n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

Plan makePlan(const Input &in)
{
    Plan p;
    p.startsAt = in.startsAt;
    const int n = int(in.levelSeconds.size());
    qint64 t = 0;
    for (int i = 1; i <= n; ++i) {
        const qint64 length = std::max<qint64>(0, in.levelSeconds[size_t(i - 1)]);
        p.rows.push_back({i, t, length});
        if (!p.finishLevel && in.averageStack > 0 && size_t(i) <= in.bigBlinds.size()) {
            const std::optional<qint64> big = chips::wholeAmount(in.bigBlinds[size_t(i - 1)]);
            if (big && *big >= in.averageStack) {
                p.finishLevel = i;
                p.finishAt = t;
            }
        }
        t += length;
        if (i < n && breakAfter(i, in.breakEvery, in.repeat)) {
            p.rows.push_back({0, t, std::max<qint64>(0, in.breakSeconds)});
            t += std::max<qint64>(0, in.breakSeconds);
            ++p.breaks;
        }
    }
    p.totalSeconds = t;
    p.averageStack = in.averageStack;
    return p;
}

QString timeOfDay(const QDateTime &at)
{
    return at.toString(QStringLiteral("HH:mm"));
}

QDateTime startOn(const QDate &day, qint64 secondsAfterMidnight)
{
    return QDateTime(day, QTime::fromMSecsSinceStartOfDay(int(secondsAfterMidnight % (24 * 3600) * 1000)));
}

QString lengthText(qint64 seconds)
{
    // To the nearest minute, halves to the even one.
    const qint64 minutes = seconds / 60 + ((seconds % 60 > 30 || (seconds % 60 == 30 && (seconds / 60) % 2)) ? 1 : 0);
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    if (minutes % 60 == 0)
        return QStringLiteral("%1 h").arg(minutes / 60);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString minutesToGo(qint64 seconds)
{
    const qint64 s = std::max<qint64>(0, seconds);
    const qint64 minutes = s / 60 + (s % 60 != 0 ? 1 : 0);
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString planSummary(const Plan &p)
{
    qint64 levels = 0;
    for (const Row &r : p.rows)
        levels += r.level > 0 ? 1 : 0;
    QString s = counted(levels, "level", "levels");
    if (p.breaks > 0)
        s += QStringLiteral(" and ") + counted(p.breaks, "break", "breaks");
    s += QStringLiteral(": %1, %2 to %3")
             .arg(lengthText(p.totalSeconds), timeOfDay(p.startsAt), timeOfDay(p.startsAt.addSecs(p.totalSeconds)));
    if (p.finishLevel)
        s += QStringLiteral("; ends around %1 (round %2)")
                 .arg(timeOfDay(p.startsAt.addSecs(*p.finishAt)))
                 .arg(*p.finishLevel);
    else if (p.averageStack > 0)
        s += QStringLiteral("; the big blind never reaches the average stack of %1")
                 .arg(tournament::grouped(p.averageStack));
    return s;
}

QString nextBreakText(qint64 secondsToBreak)
{
    return QStringLiteral("Next break in ") + minutesToGo(secondsToBreak);
}

std::optional<qint64> secondsToBreak(const Plan &p, int level, qint64 secondsLeft)
{
    size_t i = 0;
    while (i < p.rows.size() && p.rows[i].level != level)
        ++i;
    if (i == p.rows.size())
        return std::nullopt;
    qint64 t = std::max<qint64>(0, secondsLeft);
    for (++i; i < p.rows.size(); ++i) {
        if (p.rows[i].level == 0)
            return t;
        t += p.rows[i].seconds;
    }
    return std::nullopt;
}

QString addOnNow(const QString &currency, qint64 amount, qint64 chips)
{
    return QStringLiteral("Add-on now: %1%2 for %3 chips")
        .arg(currency, tournament::grouped(amount), tournament::grouped(chips));
}

} // namespace plan
