#include "text/TextNumber.h"

#include <cmath>

qint64 widthMin(Width w)
{
    return w == Width::Int16 ? -32768 : -2147483647LL - 1;
}

qint64 widthMax(Width w)
{
    return w == Width::Int16 ? 32767 : 2147483647LL;
}

QString rangeText(qint64 low, qint64 high)
{
    return QString::number(low) + QStringLiteral(" to ") + QString::number(high);
}

QString boxRangeMessage(const QString &box, qint64 low, qint64 high)
{
    return QStringLiteral("The box \"%1\" must hold a whole number from %2.").arg(box, rangeText(low, high));
}

WholeNumber toWhole(QStringView text, Width width)
{
    WholeNumber r;
    text = text.trimmed();
    if (text.isEmpty()) {
        r.error = NumberError::Empty;
        return r;
    }
    qsizetype i = 0;
    bool negative = false;
    if (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    // Collect the significant digits and where the decimal point falls among them.
    QString digits;
    qsizetype pointAt = -1;
    bool sawDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            sawDigit = true;
            digits += c;
        } else if (c == QLatin1Char('.') && pointAt < 0) {
            pointAt = digits.size();
        } else {
            break;
        }
    }
    if (!sawDigit) {
        r.error = NumberError::NotANumber;
        return r;
    }
    if (pointAt < 0)
        pointAt = digits.size();
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            expNegative = text[i] == QLatin1Char('-');
            ++i;
        }
        qint64 exponent = 0;
        bool expDigit = false;
        for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
            expDigit = true;
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i].unicode() - '0');
        }
        if (!expDigit) {
            r.error = NumberError::NotANumber;
            return r;
        }
        pointAt += expNegative ? -exponent : exponent;
    }
    if (i != text.size()) {
        r.error = NumberError::NotANumber;
        return r;
    }

    // Whole part: digits before the point (zeros where the point lies beyond them).
    const qint64 limit = negative ? -widthMin(width) : widthMax(width);
    qint64 whole = 0;
    for (qint64 k = 0; k < pointAt; ++k) {
        const int d = k < digits.size() ? digits[k].unicode() - '0' : 0;
        whole = whole * 10 + d;
        if (whole > limit) {
            r.error = NumberError::OutOfRange;
            return r;
        }
    }
    // Fraction: compare with one half, exactly.
    int firstFraction = 0;
    bool restNonZero = false;
    for (qint64 k = std::max<qint64>(pointAt, 0); k < digits.size(); ++k) {
        const int d = digits[k].unicode() - '0';
        if (k == pointAt)
            firstFraction = d;
        else if (d != 0)
            restNonZero = true;
    }
    if (pointAt < 0) {
        // Every digit lies at least one place after the point: below one half.
        firstFraction = 0;
    }
    const bool roundUp = firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 == 1));
    if (roundUp)
        ++whole;
    if (whole > limit) {
        r.error = NumberError::OutOfRange;
        return r;
    }
    r.value = negative ? -whole : whole;
    return r;
}

std::optional<qint64> wholeValue(QStringView text, Width width)
{
    const WholeNumber n = toWhole(text, width);
    return n.ok() ? std::optional<qint64>(n.value) : std::nullopt;
}

std::optional<qint32> toInt32(QStringView text)
{
    const WholeNumber n = toWhole(text, Width::Int32);
    return n.ok() ? std::optional<qint32>(qint32(n.value)) : std::nullopt;
}

std::optional<qint16> toInt16(QStringView text)
{
    const WholeNumber n = toWhole(text, Width::Int16);
    return n.ok() ? std::optional<qint16>(qint16(n.value)) : std::nullopt;
}

std::optional<qint64> roundToWidth(double value, Width width)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        r = 2.0 * std::round(value / 2.0);
    if (r < double(widthMin(width)) || r > double(widthMax(width)))
        return std::nullopt;
    return qint64(r);
}
