// The count's tables and texts: the payouts' shares and their split, the names of the actions,
// and the numbers and places in words.

#include "tournament/Ledger.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace tournament {

namespace {

constexpr qint32 Whole = 100000; // 100 % in thousandths of a percent

std::vector<qint32> percent(std::initializer_list<double> values)
{
    std::vector<qint32> shares;
    for (const double v : values)
        shares.push_back(qint32(std::lround(v * 1000)));
    return shares;
}

} // namespace

QString actionName(Action action)
{
    switch (action) {
    case Action::Entry: return QStringLiteral("Entry");
    case Action::Reentry: return QStringLiteral("Re-entry");
    case Action::Rebuy: return QStringLiteral("Rebuy");
    case Action::AddOn: return QStringLiteral("Add-on");
    case Action::Bust: return QStringLiteral("Bust");
    case Action::LockPayouts: return QStringLiteral("Lock payouts");
    case Action::Move: return QStringLiteral("Move");
    case Action::Redraw: return QStringLiteral("Seat redraw");
    case Action::Rename: return QStringLiteral("Name");
    case Action::Deal: return QStringLiteral("Deal");
    }
    return {};
}

std::vector<qint32> tableShares(qint64 buyIns)
{
    struct Row {
        qint64 upTo;
        std::vector<qint32> shares;
    };
    static const std::array<Row, 8> table{{
        {5, percent({100})},
        {7, percent({60, 40})},
        {12, percent({50, 30, 20})},
        {18, percent({40, 30, 20, 10})},
        {27, percent({40, 23, 16, 12, 9})},
        {36, percent({33, 20, 15, 11, 8, 7, 6})},
        {50, percent({29, 18, 13, 10, 8, 7, 6, 5, 4})},
        {66, percent({26, 16.5, 12, 9.5, 8, 6.5, 5, 4, 3.5, 3, 3, 3})},
    }};
    for (const Row &row : table)
        if (buyIns <= row.upTo)
            return row.shares;
    // Beyond the table: one place in five, at least 13, with shares falling as 1/(place + ½);
    // each place but the first rounded down to a thousandth of a percent, the rest to the first.
    const int places = int(std::min<qint64>(MaxPlaces, std::max<qint64>(13, buyIns / 5)));
    double total = 0;
    for (int i = 1; i <= places; ++i)
        total += 1.0 / (i + 0.5);
    std::vector<qint32> shares(size_t(places), 0);
    qint32 rest = Whole;
    for (int i = 2; i <= places; ++i) {
        shares[size_t(i - 1)] = qint32(std::floor(Whole / ((i + 0.5) * total)));
        rest -= shares[size_t(i - 1)];
    }
    shares[0] = rest;
    return shares;
}

std::optional<std::vector<qint32>> parseShares(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d{1,3})(?:\\.(\\d{1,3}))?\\s*$"));
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() > MaxPlaces)
        return std::nullopt;
    std::vector<qint32> shares;
    qint64 sum = 0;
    for (const QString &part : parts) {
        const QRegularExpressionMatch m = number.match(part);
        if (!m.hasMatch())
            return std::nullopt;
        const QString fraction = (m.captured(2) + QStringLiteral("000")).left(3);
        const qint32 share = m.captured(1).toInt() * 1000 + fraction.toInt();
        if (share <= 0)
            return std::nullopt;
        shares.push_back(share);
        sum += share;
    }
    if (sum != Whole)
        return std::nullopt;
    return shares;
}

QString sharesText(const std::vector<qint32> &shares)
{
    QStringList parts;
    for (const qint32 s : shares) {
        QString t = QString::number(s / 1000);
        if (s % 1000 != 0) {
            QString fraction = QStringLiteral("%1").arg(s % 1000, 3, 10, QLatin1Char('0'));
            while (fraction.endsWith(QLatin1Char('0')))
                fraction.chop(1);
            t += QLatin1Char('.') + fraction;
        }
        parts << t;
    }
    return parts.join(QLatin1Char('/'));
}

std::vector<qint64> splitPool(qint64 pool, const std::vector<qint32> &shares, qint64 unit)
{
    if (shares.empty())
        return {pool};
    const qint64 step = std::max<qint64>(1, unit);
    std::vector<qint64> amounts(shares.size(), 0);
    qint64 rest = pool;
    for (size_t i = 1; i < shares.size(); ++i) {
        const qint64 exact = qint64(__int128(pool) * shares[i] / Whole);
        amounts[i] = exact / step * step;
        rest -= amounts[i];
    }
    amounts[0] = rest;
    return amounts;
}

QString grouped(qint64 value)
{
    QString digits = QString::number(value < 0 ? -(value + 1) + 1ULL : quint64(value));
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString ordinal(qint64 place)
{
    const qint64 tens = place % 100;
    const char *suffix = "th";
    if (tens < 11 || tens > 13) {
        switch (place % 10) {
        case 1: suffix = "st"; break;
        case 2: suffix = "nd"; break;
        case 3: suffix = "rd"; break;
        default: break;
        }
    }
    return QString::number(place) + QLatin1String(suffix);
}

QString numberWords(qint64 n)
{
    static const char *const small[] = {
        "zero", "one",    "two",    "three",    "four",     "five",    "six",     "seven",     "eight",    "nine",
        "ten",  "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char *const tens[] = {"",      "",      "twenty",  "thirty", "forty",
                                       "fifty", "sixty", "seventy", "eighty", "ninety"};
    if (n < 0 || n > 999999)
        return grouped(n);
    const auto below100 = [&](qint64 v) {
        if (v < 20)
            return QString::fromLatin1(small[v]);
        QString t = QString::fromLatin1(tens[v / 10]);
        if (v % 10 != 0)
            t += QLatin1Char('-') + QString::fromLatin1(small[v % 10]);
        return t;
    };
    const auto below1000 = [&](qint64 v) {
        if (v < 100)
            return below100(v);
        QString t = QString::fromLatin1(small[v / 100]) + QStringLiteral(" hundred");
        if (v % 100 != 0)
            t += QStringLiteral(" and ") + below100(v % 100);
        return t;
    };
    QString words;
    if (n >= 1000) {
        words = below1000(n / 1000) + QStringLiteral(" thousand");
        if (n % 1000 != 0)
            words += (n % 1000 < 100 ? QStringLiteral(" and ") : QStringLiteral(" ")) + below1000(n % 1000);
    } else {
        words = below1000(n);
    }
    words[0] = words[0].toUpper();
    return words;
}

QString playersLeft(qint64 n)
{
    return grouped(n) + (n == 1 ? QStringLiteral(" player left") : QStringLiteral(" players left"));
}

QString bustAnnouncement(qint64 left, const QString &name)
{
    const QString count =
        numberWords(left) + (left == 1 ? QStringLiteral(" player left") : QStringLiteral(" players left"));
    return name.isEmpty() ? count : name + QStringLiteral(" is out. ") + count;
}

const QString InTheMoney = QStringLiteral("We are in the money");

} // namespace tournament
