// The deal's four columns over 2 to 9 players: each sums to the money, rounds down to the unit with
// the rest to the chip leader, and keeps to what its method promises; worked deals, refusals; the chip count.

#include "deal/ChipCount.h"
#include "deal/Deal.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <numeric>

using namespace deal;
using I = qint64;
using Shares = std::vector<qint64>;
Q_DECLARE_METATYPE(Ask)
Q_DECLARE_METATYPE(Shares)

class TestDeal : public QObject {
    Q_OBJECT
private slots:
    void columns_data()
    {
        QTest::addColumn<Ask>("ask");
        for (int n = 2; n <= 9; ++n) { // stacks equal two by two; unlike with some of 1 chip; all equal
            Ask pairs{{}, {}, 0, 5}, tiny{{}, {}, 30, 25}, equal{Shares(size_t(n), 777), {}};
            for (int i = 0; i < n + 2; ++i) {
                if (i < n - 1)
                    pairs.prizes.push_back(35 * (n + 3 - i)); // fewer places paid than players; tiny: more
                if (i < n) {
                    pairs.stacks.push_back(3000 * (1 + i / 2));
                    tiny.stacks.push_back(i % 3 == 1 ? 1 : 1000000007 - i);
                    equal.prizes.push_back(n * (2 * n - i)); // whole shares
                }
                tiny.prizes.push_back(25 * (40 - 3 * i));
            }
            QTest::addRow("%d pairs, unit 5", n) << pairs;
            QTest::addRow("%d tiny, unit 25, 30 played for", n) << tiny;
            QTest::addRow("%d equal", n) << equal;
        }
    }
    void columns()
    {
        QFETCH(Ask, ask);
        const size_t n = ask.stacks.size();
        const size_t leader = size_t(std::max_element(ask.stacks.begin(), ask.stacks.end()) - ask.stacks.begin());
        Shares paid(n, 0);
        std::copy_n(ask.prizes.begin(), std::min(n, ask.prizes.size()), paid.begin());
        paid[0] -= ask.playFor;
        const I money = std::accumulate(paid.begin(), paid.end(), I(0)), next = paid[n - 1];
        const auto [low, high] = std::minmax_element(paid.begin(), paid.end());
        const std::optional<Deal> d = make(ask);
        QVERIFY(d && d->money == money && size_t(d->leader) == leader && d->columns.size() == 4);
        QCOMPARE(d->columns[2].refused.isEmpty(), money >= I(n) * next);
        for (const Column &c : d->columns) {
            QCOMPARE(c.method, Method(&c - d->columns.data()));
            if (!c.refused.isEmpty())
                continue;
            QVERIFY(c.shares.size() == n && c.exact.size() == n);
            QCOMPARE(std::accumulate(c.shares.begin(), c.shares.end(), I(0)), money);
            QVERIFY(qAbs(std::accumulate(c.exact.begin(), c.exact.end(), 0.0) - money) < 1e-6 * money);
            for (size_t i = 0; i < n; ++i) {
                const double exact = c.exact[i];
                if (i == leader) // its share rounded down, and what the rounding left of everyone's
                    QVERIFY(c.shares[i] > exact - 1e-6 && c.shares[i] < exact + double(n * ask.unit));
                else // rounded down: an exact multiple of the unit stays whole
                    QCOMPARE(c.shares[i], ask.unit * I(std::floor(exact / ask.unit + 1e-9)));
                for (size_t j = 0; j < n; ++j) // equal stacks get alike, a larger one never less
                    QVERIFY(ask.stacks[i] > ask.stacks[j] || exact <= c.exact[j] + 1e-6);
                QVERIFY(c.method != Method::NextPrize || c.shares[i] >= next);
                QVERIFY(c.method != Method::Icm
                        || (exact > *low - 1e-6 && exact < *high + 1e-6 && c.shares[i] >= *low
                            && (i == leader || c.shares[i] <= *high)));
            }
        }
    }
    void answers_data() // the columns' shares (ICM's exact after them), or why there is no deal
    {
        QTest::addColumn<Ask>("ask");
        QTest::addColumn<QString>("answer");
        const Ask three{{60000, 30000, 10000}, {5000, 3000, 2000}}, played{three.stacks, three.prizes, 1000, 25};
        QTest::newRow("unit 1")
            << three << "3334 3333 3333/6000 3000 1000/4400 3200 2400/4125 3383 2492 (4123.81 3383.33 2492.86)";
        QTest::newRow("unit 25, 1,000 played for")
            << played << "3000 3000 3000/5400 2700 900/3800 2900 2300/3550 3075 2375 (3523.81 3083.33 2392.86)";
        QTest::newRow("next prize") << Ask{{5, 5}, {1000, 1000}, 500}
                                    << "750 750/750 750/The money left cannot pay each player the next prize of 1,000./"
                                       "750 750 (750.00 750.00)";
        QTest::newRow("next prize off the unit")
            << Ask{{1, 3}, {70, 30}, 0, 25} << "50 50/25 75/30 70/25 75 (40.00 60.00)";
        QTest::newRow("ten players") << Ask{Shares(10, 500), {100}} << "A deal needs 2 to 9 players left.";
        QTest::newRow("a zero stack") << Ask{{500, 0}, {100, 50}} << "A stack must be at least one chip.";
        QTest::newRow("more played for") << Ask{{5, 5}, {100}, 101}
                                         << "The amount played for is more than the first prize.";
        QTest::newRow("all played for") << Ask{{5, 5}, {100}, 100} << "Nothing is left to share.";
        QTest::newRow("too much") << Ask{{5, 5}, {std::numeric_limits<I>::max(), 1}}
                                  << "The chips or the prizes are too large to work out.";
    }
    void answers()
    {
        QFETCH(Ask, ask);
        QFETCH(QString, answer);
        QString said;
        const std::optional<Deal> d = make(ask, &said);
        for (size_t m = 0; d && m < 4; ++m) {
            const Column &c = d->columns[m];
            QStringList shares;
            for (I s : c.shares)
                shares << QString::number(s);
            said += (m ? "/" : "") + (c.refused.isEmpty() ? shares.join(' ') : c.refused);
        }
        for (size_t i = 0; d && i < ask.stacks.size(); ++i)
            said += (i ? " " : " (") + QString::number(d->columns[3].exact[i], 'f', 2);
        QCOMPARE(d ? said + ')' : said, answer);
    }
    void counts() // of 1,000 in play: the check and a stack in big blinds; the rows, the leader first
    {
        const std::tuple<I, I, QString> rows[] = {
            {1000, 4, "The counts add up to the 1,000 chips in play. 250 BB"},
            {1000, 0, "The counts add up to the 1,000 chips in play. —"},
            {995, 2, "Counted 995: 5 short of the 1,000 chips in play. 498 BB"},
            {1010, 20, "Counted 1,010: 10 over the 1,000 chips in play. 50 BB"},
            {299, 200, "Counted 299: 701 short of the 1,000 chips in play. 1 BB"}};
        for (const auto &[counted, bigBlind, text] : rows)
            QCOMPARE(countCheck(counted, 1000) + ' ' + bigBlinds(counted, bigBlind), text);
        QStringList seen;
        for (const Row &r : countRows({"Ann", "Bo", "Cy", "Di"}, {500, 900, 900, 100}, 100))
            seen << QStringLiteral("%1 %2 %3 %4").arg(r.name).arg(r.chips).arg(r.bb).arg(r.leader);
        QCOMPARE(seen, QStringList({"Bo 900 9 BB 1", "Cy 900 9 BB 0", "Ann 500 5 BB 0", "Di 100 1 BB 0"}));
    }
};

QTEST_GUILESS_MAIN(TestDeal)
#include "test_deal.moc"
