#include "blinds/BlindListBox.h"
#include "blinds/BlindSchedule.h"

#include <QtTest>

class TestSchedule : public QObject {
    Q_OBJECT
private slots:
    // A round's line in the list: the prefix before each blind, the time in whole minutes.
    void lineFormat()
    {
        const struct {
            int round;
            const char *prefix, *small, *big, *seconds, *line;
        } rows[] = {
            {1, "\u00A3", "25", "50", "1200", "Round 1: \u00A325/\u00A350 for 20 mins."},
            {2, "\u00A3", "28.75", "57.5", "1200", "Round 2: \u00A328.75/\u00A357.5 for 20 mins."}, // decimals
            {3, "", "25", "50", "900", "Round 3: 25/50 for 15 mins."},                              // no prefix
            {4, "EUR ", "100", "200", "90", "Round 4: EUR 100/EUR 200 for 2 mins."},                // long prefix
        };
        for (const auto &r : rows)
            QCOMPARE(blindLine(r.round, r.prefix, r.small, r.big, minutesText(QString(r.seconds))), QString(r.line));
    }

    void minutes_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("minutes");
        const char *const rows[][3] = {
            {"20 mins", "1200", "20"},
            {"90 s, half to even", "90", "2"},
            {"150 s, half to even", "150", "2"},
            {"30 s, half to zero", "30", "0"},
            {"89 s", "89", "1"},
            {"zero", "0", "0"},
            {"negative", "-90", "-2"},
            {"largest minutes", "1966020", "32767"},
            {"minutes too large", "1966050", "?"},
            {"seconds too large", "2147483648", "?"},
            {"not a number", "abc", "?"},
            {"empty", "", "?"},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]);
    }

    void minutes()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, minutes);
        QCOMPARE(minutesText(seconds), minutes);
    }

    // The list's lines follow the columns after a render; lines written by hand stand until then.
    void listFollowsColumns()
    {
        BlindColumn small, big, time;
        BlindListModel list(small, big, time);
        const auto insert = [&](const QString &s, const QString &b, const QString &t, int at = -1) {
            small.addItem(s, at);
            big.addItem(b, at);
            time.addItem(t, at);
        };
        QCOMPARE(list.listCount(), 0);
        list.render(QStringLiteral("$"));
        QCOMPARE(list.listCount(), 0);

        insert("25", "50", "600");
        insert("50", "100", "600");
        insert("75", "150", "600");
        list.render(QStringLiteral("$"));
        QCOMPARE(list.listCount(), 3);
        QCOMPARE(list.list(2), QStringLiteral("Round 3: $75/$150 for 10 mins."));
        // The line is the row's text only: no tooltip, no other role.
        QCOMPARE(list.data(list.index(2), Qt::DisplayRole).toString(), list.list(2));
        QVERIFY(!list.data(list.index(2), Qt::ToolTipRole).isValid());

        // Moving a row: round numbers stay 1, 2, 3 in row order.
        insert(small.list(2), big.list(2), time.list(2), 0);
        for (BlindColumn *column : {&small, &big, &time})
            column->removeItem(3);
        list.render(QString());
        QCOMPARE(list.list(0), QStringLiteral("Round 1: 75/150 for 10 mins."));
        QCOMPARE(list.list(1), QStringLiteral("Round 2: 25/50 for 10 mins."));

        // A line appended as typed keeps its text until the next render.
        insert("100", "200", "300");
        list.addItem(QStringLiteral("Round 4: 100/200 for 05 mins."));
        QCOMPARE(list.list(3), QStringLiteral("Round 4: 100/200 for 05 mins."));
        list.render(QString());
        QCOMPARE(list.list(3), QStringLiteral("Round 4: 100/200 for 5 mins."));
        QCOMPARE(list.list(4), QString());

        list.clear();
        QCOMPARE(list.listCount(), 0);
        QCOMPARE(small.listCount(), 4); // emptying the list leaves the columns alone
    }
};

QTEST_APPLESS_MAIN(TestSchedule)
#include "test_schedule.moc"
