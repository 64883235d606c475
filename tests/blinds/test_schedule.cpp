#include "blinds/BlindListBox.h"
#include "blinds/BlindSchedule.h"

#include <QtTest>

class TestSchedule : public QObject {
    Q_OBJECT
private slots:
    void lineFormat_data();
    void lineFormat();
    void minutes_data();
    void minutes();
    void listFollowsColumns();
};

void TestSchedule::lineFormat_data()
{
    QTest::addColumn<int>("round");
    QTest::addColumn<QString>("small");
    QTest::addColumn<QString>("big");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("line");
    const QString pound(QChar(0x00A3));
    QTest::newRow("plain") << 1 << "25"
                           << "50"
                           << "1200" << pound << pound + "25/" + pound + "50";
    QTest::newRow("decimals") << 2 << "28.75"
                              << "57.5"
                              << "1200" << pound << pound + "28.75/" + pound + "57.5";
    QTest::newRow("no prefix") << 3 << "25"
                               << "50"
                               << "900"
                               << ""
                               << "25/50";
    QTest::newRow("long prefix") << 4 << "100"
                                 << "200"
                                 << "90"
                                 << "EUR "
                                 << "EUR 100/EUR 200";
}

void TestSchedule::lineFormat()
{
    QFETCH(int, round);
    QFETCH(QString, small);
    QFETCH(QString, big);
    QFETCH(QString, time);
    QFETCH(QString, prefix);
    QFETCH(QString, line);
    const QString minutes = minutesText(time);
    const QString expected = QStringLiteral("Round %1: %2 for %3 mins.").arg(round).arg(line, minutes);
    QCOMPARE(blindLine(round, prefix, small, big, minutes), expected);
}

void TestSchedule::minutes_data()
{
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("minutes");
    QTest::newRow("20 mins") << "1200"
                             << "20";
    QTest::newRow("90 s, half to even") << "90"
                                        << "2";
    QTest::newRow("150 s, half to even") << "150"
                                         << "2";
    QTest::newRow("30 s, half to zero") << "30"
                                        << "0";
    QTest::newRow("89 s") << "89"
                          << "1";
    QTest::newRow("zero") << "0"
                          << "0";
    QTest::newRow("negative") << "-90"
                              << "-2";
    QTest::newRow("largest minutes") << "1966020"
                                     << "32767";
    QTest::newRow("minutes too large") << "1966050"
                                       << "?";
    QTest::newRow("seconds too large") << "2147483648"
                                       << "?";
    QTest::newRow("not a number") << "abc"
                                  << "?";
    QTest::newRow("empty") << ""
                           << "?";
}

void TestSchedule::minutes()
{
    QFETCH(QString, seconds);
    QFETCH(QString, minutes);
    QCOMPARE(minutesText(seconds), minutes);
}

// The visible list is made from the columns: its lines follow them after a render,
// and lines written by hand stand until the next render.
void TestSchedule::listFollowsColumns()
{
    BlindColumn small, big, time;
    BlindListModel list(small, big, time);
    QCOMPARE(list.listCount(), 0);
    list.render(QStringLiteral("$"));
    QCOMPARE(list.listCount(), 0);

    for (int i = 0; i < 3; ++i) {
        small.addItem(QString::number(25 * (i + 1)));
        big.addItem(QString::number(50 * (i + 1)));
        time.addItem(QStringLiteral("600"));
    }
    list.render(QStringLiteral("$"));
    QCOMPARE(list.listCount(), 3);
    QCOMPARE(list.list(2), QStringLiteral("Round 3: $75/$150 for 10 mins."));

    // Moving a row: round numbers stay 1, 2, 3 in row order.
    small.addItem(small.list(2), 0);
    big.addItem(big.list(2), 0);
    time.addItem(time.list(2), 0);
    small.removeItem(3);
    big.removeItem(3);
    time.removeItem(3);
    list.render(QString());
    QCOMPARE(list.list(0), QStringLiteral("Round 1: 75/150 for 10 mins."));
    QCOMPARE(list.list(1), QStringLiteral("Round 2: 25/50 for 10 mins."));

    // A line appended as typed keeps its text until the next render.
    small.addItem(QStringLiteral("100"));
    big.addItem(QStringLiteral("200"));
    time.addItem(QStringLiteral("300"));
    list.addItem(QStringLiteral("Round 4: 100/200 for 05 mins."));
    QCOMPARE(list.list(3), QStringLiteral("Round 4: 100/200 for 05 mins."));
    list.render(QString());
    QCOMPARE(list.list(3), QStringLiteral("Round 4: 100/200 for 5 mins."));
    QCOMPARE(list.list(4), QString());

    list.clear();
    QCOMPARE(list.listCount(), 0);
    QCOMPARE(small.listCount(), 4); // emptying the list leaves the columns alone
}

QTEST_APPLESS_MAIN(TestSchedule)
#include "test_schedule.moc"
