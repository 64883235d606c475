// The night read through the chip case: the average stack the finish is estimated from, what
// the expected field pays, and the sheet's page.
#include "plan/Sheet.h"

#include <QtTest>
#include <array>

class TestSheet : public QObject {
    Q_OBJECT
    static plan::Night night(qint64 stack, qint64 players, qint64 rebuys, qint64 addOns)
    {
        plan::Night n;
        n.setup.stack = stack, n.setup.players = players, n.setup.rebuys = rebuys, n.setup.addOns = addOns;
        tournament::Setup count;
        count.buyIn = 20, count.buyInChips = 10000, count.rebuy = 10, count.rebuyChips = 5000;
        count.addOn = 10, count.addOnChips = 3, count.cut = 10, count.shares = {50000, 30000, 20000};
        n.count = count;
        return n;
    }

private slots:
    // (players × stack + rebuys × rebuy chips + add-ons × add-on chips) ÷ players.
    void averageStack()
    {
        // Stack, players, rebuys, add-ons, the average.
        const std::pair<const char *, std::array<qint64, 5>> rows[] = {
            {"the buy-in's chips", {0, 10, 0, 0, 10000}},
            {"with rebuys and add-ons", {4000, 10, 5, 10, 6503}},
            {"a half, up to even", {10, 4, 0, 2, 12}},
            {"a half, down to even", {10, 4, 0, 6, 14}},
            {"no players", {4000, 0, 5, 0, 0}},
            {"too many chips", {1, 3, std::numeric_limits<qint64>::max() / 4000, 0, 0}}};
        for (const auto &[name, r] : rows) {
            plan::Night n = night(r[0], r[1], r[2], r[3]);
            QVERIFY2(plan::averageStack(n) == r[4], name);
            n.count.reset();
            QVERIFY2((plan::averageStack(n) > 0) == (r[0] > 0 && r[1] > 0), name);
        }
    }

    void stackLines_data()
    {
        QTest::addColumn<qint64>("players");
        QTest::addColumn<qint64>("rebuys");
        QTest::addColumn<qint64>("reentries");
        QTest::addColumn<qint64>("addOns");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("rebuys and re-entries set aside as starting stacks")
            << qint64(10) << qint64(2) << qint64(1) << qint64(0)
            << QStringList{"Starting stack 5,000: 8 × 25, 8 × 100, 2 × 500, 3 × 1,000 (21 chips)",
                           "The chips seat 10 players, with 2 rebuys and 1 re-entry set aside."};
        QTest::newRow("a field the fewest chips cannot seat")
            << qint64(14) << qint64(2) << qint64(2) << qint64(0)
            << QStringList{"Starting stack 5,000: 8 × 25, 8 × 100, 4 × 500, 2 × 1,000 (22 chips)",
                           "The chips seat 14 players, with 2 rebuys and 2 re-entries set aside."};
        QTest::newRow("no players typed: as many as the case seats")
            << qint64(0) << qint64(2) << qint64(0) << qint64(12)
            << QStringList{"Starting stack 5,000: 4 × 25, 9 × 100, 6 × 500, 1 × 1,000 (20 chips)",
                           "The chips seat 16 players, with 2 rebuys and 12 add-ons set aside."};
    }

    // The case 25 × 300, 100 × 300, 500 × 100, 1,000 × 40, stacks of 5,000, no rebuy chips set:
    // each rebuy and re-entry a starting stack, each add-on 1,000.
    void stackLines()
    {
        QFETCH(qint64, players);
        QFETCH(qint64, rebuys);
        QFETCH(qint64, reentries);
        QFETCH(qint64, addOns);
        QFETCH(QStringList, lines);
        plan::Night n = night(5000, players, rebuys, addOns);
        n.count->buyInChips = 5000, n.count->rebuyChips = 0, n.count->addOnChips = 1000;
        n.setup.reentries = reentries;
        n.setup.chips = {{25, {}, 300}, {100, {}, 300}, {500, {}, 100}, {1000, {}, 40}};
        QCOMPARE(plan::stackLines(n), lines);
    }

    // 10 × 20 + 5 × 10 + 4 × 10 = 290 in, 10 % cut: 261 shared 50/30/20, the odd units to the first.
    void payoutsOfTheExpectedField()
    {
        qint64 pool = 0;
        QCOMPARE(plan::expectedPayouts(night(0, 10, 5, 4), &pool), (std::vector<qint64>{131, 78, 52}));
        QCOMPARE(pool, qint64(261));
        QVERIFY(plan::expectedPayouts(night(0, 0, 5, 4), &pool).empty());
        QCOMPARE(pool, qint64(0));
    }

    // The title is text, never markup; the page loads and runs nothing.
    void sheetPage()
    {
        plan::Night n = night(0, 10, 0, 0);
        n.title = QStringLiteral("<script>alert(1)</script> & \"friends\"");
        n.currency = QStringLiteral("£");
        n.setup.chips = {{25, QStringLiteral("<i>white</i>"), 0}, {100, QStringLiteral("red"), 0}};
        for (const char *blinds : {"25/50", "50/100", "100/200"})
            n.levels.push_back(
                {QString::fromLatin1(blinds).section('/', 0, 0), QString::fromLatin1(blinds).section('/', 1, 1), 0});
        n.levelSeconds = {1200, 1200, 1200}, n.breakEvery = 2, n.breakSeconds = 300;
        const QString page = QString::fromUtf8(plan::sheetHtml(n, QDateTime(QDate(2026, 12, 10), QTime(20, 0))));
        QVERIFY(
            page.contains(QStringLiteral("<h1>&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;friends&quot;</h1>")));
        QVERIFY(page.contains(QStringLiteral("&lt;i&gt;white&lt;/i&gt;")));
        QVERIFY(!page.contains(QStringLiteral("<script")) && !page.contains(QStringLiteral("<i>")));
        QVERIFY(page.contains(QStringLiteral("Thursday 10 December 2026, from 20:00")));
        QVERIFY(page.contains(QStringLiteral("default-src 'none'")));
        // Level 3 starts after two levels and the break.
        QVERIFY(page.contains(QStringLiteral("<tr><td>3</td><td class=\"n\">20:45</td>")));
        // 10 × £20 less 10 %: £180, half of it to the first.
        QVERIFY(page.contains(QStringLiteral("<td>1st</td><td class=\"n\">£90</td>")));
    }
};

QTEST_MAIN(TestSheet)
#include "test_sheet.moc"
