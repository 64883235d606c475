#include "blinds/BlindSchedule.h"

#include "text/TextNumber.h"

void BlindColumn::addItem(const QString &text, int index)
{
    if (index < 0 || index >= items_.size())
        items_.append(text);
    else
        items_.insert(index, text);
}

void BlindColumn::removeItem(int index)
{
    items_.removeAt(index);
}

QString ListLines::line(int index, const QStringList &small, const QStringList &big, const QStringList &time) const
{
    if (index < 0 || index >= count)
        return QString();
    const auto it = written.constFind(index);
    if (it != written.constEnd())
        return *it;
    if (index >= small.size() || index >= big.size() || index >= time.size())
        return QString();
    return blindLine(index + 1, prefix, small.at(index), big.at(index), minutesText(time.at(index)));
}

QString minutesText(QStringView seconds)
{
    const std::optional<qint32> s = toInt32(seconds);
    if (!s)
        return QStringLiteral("?");
    const std::optional<qint64> minutes = roundToWidth(double(*s) / 60.0, Width::Int16);
    return minutes ? QString::number(*minutes) : QStringLiteral("?");
}

QString blindLine(int round, const QString &prefix, const QString &small, const QString &big, const QString &minutes)
{
    QString line;
    line.reserve(24 + 2 * prefix.size() + small.size() + big.size() + minutes.size());
    line += QStringLiteral("Round ");
    line += QString::number(round);
    line += QStringLiteral(": ");
    line += prefix;
    line += small;
    line += QLatin1Char('/');
    line += prefix;
    line += big;
    line += QStringLiteral(" for ");
    line += minutes;
    line += QStringLiteral(" mins.");
    return line;
}
