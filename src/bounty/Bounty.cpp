#include "bounty/Bounty.h"

#include "tournament/Ledger.h"

#include <QStringList>
#include <algorithm>
#include <numeric>

namespace bounty {

namespace {

bool refuse(QString *why, const QString &text)
{
    if (why)
        *why = text;
    return false;
}

std::optional<QString> wrongRules(const Rules &rules)
{
    if (rules.unit <= 0 || rules.share <= 0 || rules.share % rules.unit != 0)
        return QStringLiteral("The bounty in each buy-in must be a positive multiple of the bounty unit.");
    return std::nullopt;
}

// A buy-in or a rebuy after the end: the winner's own head goes back onto them.
void reopen(Book &b)
{
    if (b.winner == 0)
        return;
    b.head[size_t(b.winner - 1)] = b.own;
    b.won[size_t(b.winner - 1)] -= b.own;
    b.winner = 0;
    b.own = 0;
}

// Every head and every amount paid is a part of what was bought, so this is the one sum that
// can outgrow qint64.
bool buy(Book &b, const Rules &rules, QString *why)
{
    if (__builtin_add_overflow(b.bought, rules.share, &b.bought))
        return refuse(why, QStringLiteral("The bounties would be more than can be counted."));
    reopen(b);
    return true;
}

bool bust(Book &b, const Rules &rules, const Event &event, QString *why)
{
    const int known = int(b.in.size());
    const int p = event.player;
    if (p < 1 || p > known)
        return refuse(why, QStringLiteral("Player %1 is not known.").arg(p));
    if (!b.in[size_t(p - 1)])
        return refuse(why, QStringLiteral("Player %1 is not in: only a player in can be busted.").arg(p));
    if (event.by.empty())
        return refuse(why, QStringLiteral("A bust needs the player who knocked them out."));
    for (size_t i = 0; i < event.by.size(); ++i) {
        const int e = event.by[i];
        if (e == p)
            return refuse(why, QStringLiteral("Player %1 cannot knock themself out.").arg(e));
        if (e < 1 || e > known)
            return refuse(why, QStringLiteral("Player %1 is not known.").arg(e));
        if (!b.in[size_t(e - 1)])
            return refuse(why, QStringLiteral("Player %1 is not in: only a player in can knock another out.").arg(e));
        if (std::find(event.by.begin(), event.by.begin() + qptrdiff(i), e) != event.by.begin() + qptrdiff(i))
            return refuse(why, QStringLiteral("Player %1 is named twice for one bust.").arg(e));
    }
    // The head in units, split evenly, the odd units to the first eliminators given.
    const qint64 units = b.head[size_t(p - 1)] / rules.unit;
    const qint64 k = qint64(event.by.size());
    b.head[size_t(p - 1)] = 0;
    b.in[size_t(p - 1)] = false;
    for (qint64 i = 0; i < k; ++i) {
        const qint64 part = units / k + (i < units % k ? 1 : 0);
        const qint64 cash = rules.kind == Kind::Fixed ? part : part / 2;
        const size_t e = size_t(event.by[size_t(i)] - 1);
        b.won[e] += cash * rules.unit;
        b.head[e] += (part - cash) * rules.unit;
        ++b.knockouts[e];
        b.last.push_back({int(e + 1), cash * rules.unit, b.head[e]});
    }
    if (std::count(b.in.begin(), b.in.end(), true) == 1) {
        const size_t w = size_t(std::find(b.in.begin(), b.in.end(), true) - b.in.begin());
        b.winner = int(w + 1);
        b.own = b.head[w];
        b.won[w] += b.own;
        b.head[w] = 0;
    }
    return true;
}

} // namespace

qint64 Book::paid() const
{
    return std::accumulate(won.begin(), won.end(), qint64(0));
}

qint64 Book::inPlay() const
{
    qint64 sum = 0;
    for (size_t i = 0; i < head.size(); ++i)
        sum += in[i] ? head[i] : 0;
    return sum;
}

bool Book::operator==(const Book &o) const
{
    return head == o.head && in == o.in && won == o.won && knockouts == o.knockouts && bought == o.bought
           && winner == o.winner && own == o.own && last == o.last;
}

std::optional<Book> replay(const Rules &rules, const std::vector<Event> &events, QString *why)
{
    if (const std::optional<QString> wrong = wrongRules(rules)) {
        refuse(why, *wrong);
        return std::nullopt;
    }
    Book book;
    for (const Event &event : events)
        if (!apply(book, rules, event, why))
            return std::nullopt;
    return book;
}

bool apply(Book &book, const Rules &rules, const Event &event, QString *why)
{
    if (const std::optional<QString> wrong = wrongRules(rules))
        return refuse(why, *wrong);
    const int known = int(book.in.size());
    const int p = event.player;
    Book next = book;
    next.last.clear();
    switch (event.type) {
    case Event::BuyIn:
        if (p == known + 1) {
            next.head.push_back(0);
            next.in.push_back(false);
            next.won.push_back(0);
            next.knockouts.push_back(0);
        } else if (p < 1 || p > known) {
            return refuse(
                why, QStringLiteral("Player %1 is not known: the next to come in is player %2.").arg(p).arg(known + 1));
        } else if (book.in[size_t(p - 1)]) {
            return refuse(why, QStringLiteral("Player %1 is already in.").arg(p));
        }
        if (!buy(next, rules, why))
            return false;
        next.in[size_t(p - 1)] = true;
        next.head[size_t(p - 1)] = rules.share;
        break;
    case Event::Rebuy:
        if (p < 1 || p > known)
            return refuse(why, QStringLiteral("Player %1 is not known.").arg(p));
        if (!book.in[size_t(p - 1)])
            return refuse(why, QStringLiteral("Player %1 is not in: only a player in can rebuy.").arg(p));
        if (!buy(next, rules, why))
            return false;
        next.head[size_t(p - 1)] += rules.share;
        break;
    case Event::Bust:
        if (!bust(next, rules, event, why))
            return false;
        break;
    default: return refuse(why, QStringLiteral("The event is neither a buy-in, a rebuy nor a bust."));
    }
    book = std::move(next);
    return true;
}

QString bustText(const Book &after, const Rules &rules, const Event &bust, const std::function<QString(int)> &name,
                 const QString &currency)
{
    if (bust.type != Event::Bust || after.last.empty())
        return {};
    const auto money = [&](qint64 amount) { return currency + tournament::grouped(amount); };
    QStringList names;
    QStringList parts;
    for (const Paid &paid : after.last) {
        names << name(paid.player);
        QString part = money(paid.cash) + QStringLiteral(" to ") + name(paid.player);
        if (rules.kind == Kind::Progressive)
            part += QStringLiteral(", their bounty now ") + money(paid.headAfter);
        parts << part;
    }
    const QString last = names.takeLast();
    QString text = names.isEmpty()
                       ? last + QStringLiteral(" busts ")
                       : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last + QStringLiteral(" bust ");
    text += name(bust.player) + QStringLiteral(" — ") + parts.join(QStringLiteral("; "));
    if (after.winner != 0)
        text +=
            QStringLiteral("; ") + name(after.winner) + QStringLiteral(" wins their own bounty of ") + money(after.own);
    return text;
}

} // namespace bounty
