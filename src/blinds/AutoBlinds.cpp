#include "blinds/AutoBlinds.h"

#include "text/TextNumber.h"

namespace {

constexpr qint64 Int32Max = 2147483647;
constexpr qint64 MaxMinutes = Int32Max / 60; // the round length in seconds must fit 32 bits

bool read(const QString &text, Width width, const QString &box, qint64 high, qint64 *out, QString *error)
{
    const WholeNumber n = toWhole(text, width);
    if (!n.ok() || n.value < 0) { // the boxes' ranges start at 0
        *error = boxRangeMessage(box, 0, high);
        return false;
    }
    *out = n.value;
    return true;
}

bool fits32(qint64 v)
{
    return v >= -Int32Max - 1 && v <= Int32Max;
}

} // namespace

QString decimalText(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(value, 'g', 15);
}

AutoBlindResult buildAutoRows(const AutoBlindInputs &in)
{
    AutoBlindResult r;
    qint64 big = 0, small = 0, minutes = 0, rounds = 0;
    if (!read(in.big, Width::Int32, QStringLiteral("Big Blind"), Int32Max, &big, &r.error)
        || !read(in.small, Width::Int32, QStringLiteral("Small Blind"), Int32Max, &small, &r.error)
        || !read(in.minutes, Width::Int32, QStringLiteral("mins per round"), MaxMinutes, &minutes, &r.error)
        || !read(in.rounds, Width::Int16, QStringLiteral("rounds"), 32767, &rounds, &r.error))
        return r;
    if (!fits32(minutes * 60)) {
        r.error = boxRangeMessage(QStringLiteral("mins per round"), 0, MaxMinutes);
        return r;
    }
    const QString time = QString::number(minutes * 60);

    qint64 step = 0;
    if (rounds > 1) {
        switch (in.rule) {
        case IncreaseRule::Factor:
            if (!read(in.factor, Width::Int32, QStringLiteral("Increase by a factor of"), Int32Max, &step, &r.error))
                return r;
            break;
        case IncreaseRule::Value:
            if (!read(in.value, Width::Int32, QStringLiteral("Increase by the value of"), Int32Max, &step, &r.error))
                return r;
            break;
        case IncreaseRule::Percentage:
            if (!read(in.percentage, Width::Int32, QStringLiteral("Increase by percentage"), Int32Max, &step, &r.error))
                return r;
            break;
        case IncreaseRule::None: break;
        }
    }

    const int count = in.rule == IncreaseRule::None ? 1 : int(std::max<qint64>(1, rounds));
    r.small.reserve(count);
    r.big.reserve(count);
    r.time.reserve(count);
    r.small << in.small;
    r.big << in.big;
    r.time << time;

    // One blind of the next round: its text and the running amount it leaves.
    const auto next = [&](qint64 &running, QString &text) {
        switch (in.rule) {
        case IncreaseRule::Factor:
        case IncreaseRule::Value: {
            const qint64 v = in.rule == IncreaseRule::Factor ? step * running : step + running;
            if (!fits32(v))
                return false;
            running = v;
            text = QString::number(v);
            return true;
        }
        case IncreaseRule::Percentage: {
            const double x = double(running) / 100.0 * double(step) + double(running);
            const std::optional<qint64> rounded = roundToWidth(x, Width::Int32);
            if (!rounded)
                return false;
            running = *rounded;
            text = decimalText(x);
            return true;
        }
        case IncreaseRule::None: break;
        }
        return false;
    };

    for (int round = 2; round <= count; ++round) {
        QString smallText, bigText;
        const bool smallFits = next(small, smallText);
        if (!smallFits || !next(big, bigText)) {
            r.error =
                QStringLiteral("With these settings the %1 blind of round %2 would be larger than %3. "
                               "The box \"rounds\" can hold at most %4 here; or lower the blinds or the increase.")
                    .arg(smallFits ? QStringLiteral("big") : QStringLiteral("small"))
                    .arg(round)
                    .arg(Int32Max)
                    .arg(round - 1);
            r.small.clear();
            r.big.clear();
            r.time.clear();
            return r;
        }
        r.small << smallText;
        r.big << bigText;
        r.time << time;
    }
    r.ok = true;
    return r;
}
