#include "bounty/Bounty.h"

#include <QtTest>

using namespace bounty;

namespace {

// "progressive 15/5: in 1 2; rebuy 2; bust 1 by 2": the kind, share and unit, then buy-ins (entries and
// re-entries), rebuys and busts in turn.
std::pair<Rules, std::vector<Event>> night(const QString &text)
{
    const QStringList r = text.section(':', 0, 0).split(QRegularExpression("[ /]"));
    const Rules rules{r[0] == "fixed" ? Kind::Fixed : Kind::Progressive, r[1].toLongLong(), r[2].toLongLong()};
    std::vector<Event> out;
    for (const QString &step : text.section(':', 1).split(';')) {
        const QStringList w = step.split(' ', Qt::SkipEmptyParts);
        for (int i = 1; i < w.size(); ++i)
            if (w[0] != "bust")
                out.push_back({w[0] == "in" ? Event::BuyIn : Event::Rebuy, w[i].toInt(), {}});
            else if (i == 1)
                out.push_back({Event::Bust, w[1].toInt(), {}});
            else if (i > 2)
                out.back().by.push_back(w[i].toInt());
    }
    return {rules, out};
}

// Nights to the end: each player's cash won/knock-outs | the winner and their own head paid at the end.
const char *const Nights[][2] = {
    // Heads 3 units: 2's split 2u (to 3, given first) / 1u (to 1); 1 rebuys (30) and 3 takes it, then wins and is
    // paid their own 15; 2 re-enters (the 15 goes back onto 3), takes 3's 15 and wins their own 15.
    {"fixed 15/5: in 1 2 3; bust 2 by 3 1; rebuy 1; bust 1 by 3; in 2; bust 3 by 2", "5/1 30/1 40/2 | 2 15"},
    // 3's 10: 5 to 1 (head 15); 2 rebuys (20); 1's 15 split 8/7: 4 to 2 (head 24), 3 to 4 (head 14); 3 back
    // fresh (10) takes 12 of 2's 24 (head 22), then 7 of 4's 14 (head 29) and wins it.
    {"progressive 10/1: in 1 2 3 4; bust 3 by 1; rebuy 2; bust 1 by 2 4; in 3; bust 2 by 3; bust 4 by 3",
     "5/1 4/1 48/2 3/1 | 3 29"},
    // Heads 3u: 4's gives 1 £5 (head 5u); 1's split 3u/2u: 2 £5 (head 25), 3 £5 (head 20); 2 rebuys (40);
    // 4 back (15) takes £10 of 3's 20 (head 25), £20 of 2's 40 (head 45) and wins it.
    {"progressive 15/5: in 1 2 3 4; bust 4 by 1; bust 1 by 2 3; rebuy 2; in 4; bust 3 by 4; bust 2 by 4",
     "5/1 5/1 5/1 75/2 | 4 45"},
};

// The last event of each night (the rest played first): what the room is told, or why it is refused.
const char *const Busts[][2] = {
    {"progressive 10/1: in 1 2 3; bust 3 by 1", "Ann busts Ned — £5 to Ann, their bounty now £15"},
    {"progressive 10/1: in 1 2 3 4; bust 4 by 3; bust 3 by 1 2", // Ned's 15 split 8/7
     "Ann and Kim bust Ned — £4 to Ann, their bounty now £14; £3 to Kim, their bounty now £14"},
    {"fixed 10/1: in 1 2 3 4; bust 4 by 2 1 3", "Kim, Ann and Ned bust Bea — £4 to Kim; £3 to Ann; £3 to Ned"},
    {"fixed 10/1: in 1 2 3; bust 3 by 1", "Ann busts Ned — £10 to Ann"},
    {"fixed 1000/5: in 1 2; rebuy 2; bust 2 by 1",
     "Ann busts Kim — £2,000 to Ann; Ann wins their own bounty of £1,000"},
    {"fixed 10/1: in 1 2 3; bust 3 by 1; bust 3 by 2", "Player 3 is not in: only a player in can be busted."},
    {"fixed 10/1: in 1 2; bust 2 by 2", "Player 2 cannot knock themself out."},
    {"fixed 10/1: in 1 2; bust 2", "A bust needs the player who knocked them out."},
    {"progressive 12/5: in 1", "The bounty in each buy-in must be a positive multiple of the bounty unit."},
    {"fixed 4611686018427387904/1: in 1 2", "The bounties would be more than can be counted."},
};

template <size_t N>
void rows(const char *const (&table)[N][2])
{
    QTest::addColumn<QString>("expected");
    for (const auto &row : table)
        QTest::newRow(row[0]) << QString(row[1]);
}

} // namespace

class TestBounty : public QObject {
    Q_OBJECT
private slots:
    void nights_data() { rows(Nights); }
    // After every event the heads in play and the cash paid add up to what was bought, and the events
    // so far replayed from the start (as an undo does) give the same book.
    void nights()
    {
        QFETCH(QString, expected);
        const auto [rules, events] = night(QTest::currentDataTag());
        Book book;
        qint64 buys = 0;
        for (size_t k = 0; k < events.size(); ++k) {
            QVERIFY(apply(book, rules, events[k]));
            buys += events[k].type == Event::Bust ? 0 : 1;
            QCOMPARE(book.inPlay() + book.paid(), buys * rules.share);
            QCOMPARE(book.bought, buys * rules.share);
            QVERIFY(replay(rules, {events.begin(), events.begin() + qptrdiff(k) + 1}) == book);
        }
        QCOMPARE(book.head, std::vector<qint64>(book.head.size(), 0));
        QStringList got;
        for (size_t i = 0; i < book.won.size(); ++i)
            got << QString("%1/%2").arg(book.won[i]).arg(book.knockouts[i]);
        QCOMPARE(got.join(' ') + QString(" | %1 %2").arg(book.winner).arg(book.own), expected);
    }

    void busts_data() { rows(Busts); }
    // A refused event leaves the book as it was, and a replay through it fails too.
    void busts()
    {
        QFETCH(QString, expected);
        const auto [rules, events] = night(QTest::currentDataTag());
        QString why;
        const std::optional<Book> before = replay(rules, {events.begin(), events.end() - 1}, &why);
        Book book = before.value_or(Book());
        const bool done = before && apply(book, rules, events.back(), &why);
        const auto name = [](int p) { return QStringList{"Ann", "Kim", "Ned", "Bea"}.value(p - 1); };
        QCOMPARE(done ? bustText(book, rules, events.back(), name, "£") : why, expected);
        QVERIFY(done || !before || (book == *before && !replay(rules, events)));
    }
};

QTEST_GUILESS_MAIN(TestBounty)
#include "test_bounty.moc"
