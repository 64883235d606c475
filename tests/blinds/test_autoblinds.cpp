#include "blinds/AutoBlinds.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QtTest>

Q_DECLARE_METATYPE(AutoBlindInputs)

// The automatic boxes as the window starts, with one box's text changed.
static AutoBlindInputs with(QString AutoBlindInputs::*box, const QString &text,
                            IncreaseRule rule = IncreaseRule::Factor)
{
    AutoBlindInputs in{"25", "50", "15", "20", rule, "2", "15", "15"};
    in.*box = text;
    return in;
}

class TestAutoBlinds : public WindowTest {
    Q_OBJECT
private slots:
    void rows_data()
    {
        QTest::addColumn<AutoBlindInputs>("in");
        QTest::addColumn<int>("seconds");  // every round's
        QTest::addColumn<QString>("rows"); // "small/big" of every round
        using I = AutoBlindInputs;
        using R = IncreaseRule;
        QTest::newRow("factor 2") << with(&I::factor, "2") << 1200
                                  << "25/50 50/100 100/200 200/400 400/800 800/1600 1600/3200 3200/6400 6400/12800 "
                                     "12800/25600 25600/51200 51200/102400 102400/204800 204800/409600 409600/819200";
        QTest::newRow("value 15") << with(&I::value, "15", R::Value) << 1200
                                  << "25/50 40/65 55/80 70/95 85/110 100/125 115/140 130/155 145/170 160/185 175/200 "
                                     "190/215 205/230 220/245 235/260";
        QTest::newRow("percentage 15") << with(&I::percentage, "15", R::Percentage) << 1200
                                       << "25/50 28.75/57.5 33.35/66.7 37.95/77.05 43.7/88.55 50.6/102.35 58.65/117.3 "
                                          "67.85/134.55 78.2/155.25 89.7/178.25 103.5/204.7 119.6/235.75 138/271.4 "
                                          "158.7/311.65 182.85/358.8";
        // Each increase is on the previous blind rounded to a whole number.
        QTest::newRow("percentage 10") << I{"25", "50", "5", "20", R::Percentage, "2", "15", "10"} << 1200
                                       << "25/50 27.5/55 30.8/60.5 34.1/66 37.4/72.6";
        QTest::newRow("percentage 0") << I{"25", "50", "5", "20", R::Percentage, "2", "15", "0"} << 1200
                                      << "25/50 25/50 25/50 25/50 25/50";
        // Row 1 is the box's text verbatim, later rows are made from its number.
        QTest::newRow("factor 0") << I{"025", "50", "3", "0", R::Factor, "0", "15", "15"} << 0 << "025/50 0/0 0/0";
        QTest::newRow("factor 3") << I{"025", "50", "3", "0", R::Factor, "3", "15", "15"} << 0
                                  << "025/50 75/150 225/450";
        // One round or none, or no rule, give the starting blinds only: the increase box is not even read.
        QTest::newRow("no rounds") << I{"25", "50", "0", "20", R::Factor, "", "15", "15"} << 1200 << "25/50";
        QTest::newRow("one round") << I{"25", "50", "1", "20", R::Factor, "", "15", "15"} << 1200 << "25/50";
        QTest::newRow("no rule") << I{"25", "50", "15", "20", R::None, "2", "15", "15"} << 1200 << "25/50";
    }

    // "Show me" builds every round from the first blinds by the chosen rule.
    void rows()
    {
        QFETCH(AutoBlindInputs, in);
        QFETCH(int, seconds);
        QFETCH(QString, rows);
        const AutoBlindResult r = buildAutoRows(in);
        QVERIFY2(r.ok, qPrintable(r.error));
        QStringList got;
        for (int i = 0; i < r.small.size(); ++i)
            got << r.small[i] + "/" + r.big.value(i);
        QCOMPARE(got.join(' '), rows);
        QCOMPARE(r.time, QStringList(r.small.size(), QString::number(seconds)));
    }

    // The rows above show every digit of a blind that fits in 32 bits.
    void decimals() { QCOMPARE(decimalText(2147483647.5), QStringLiteral("2147483647.5")); }

    void refusals_data()
    {
        QTest::addColumn<AutoBlindInputs>("in");
        QTest::addColumn<QString>("message");
        using I = AutoBlindInputs;
        const QString whole = QStringLiteral("\" must hold a whole number from 0 to ");
        QTest::newRow("empty small") << with(&I::small, "") << "\"Small Blind" + whole + "2147483647";
        QTest::newRow("big too large") << with(&I::big, "2147483648") << "\"Big Blind" + whole + "2147483647";
        QTest::newRow("rounds beyond 16 bits") << with(&I::rounds, "32768") << "\"rounds" + whole + "32767";
        QTest::newRow("minutes overflow seconds")
            << with(&I::minutes, "35791395") << "\"mins per round" + whole + "35791394";
        QTest::newRow("letters in factor") << with(&I::factor, "x") << "\"Increase by a factor of\"";
        QTest::newRow("factor overflows")
            << with(&I::factor, "1000") << "small blind of round 4 would be larger than 2147483647";
        QTest::newRow("value overflows") << with(&I::value, "2147483600", IncreaseRule::Value)
                                         << "big blind of round 2";
        QTest::newRow("percentage overflows")
            << with(&I::percentage, "2147483647", IncreaseRule::Percentage) << "small blind of round 3";
    }

    // A box that cannot be read, or blinds that would overflow, refuse the whole schedule.
    void refusals()
    {
        QFETCH(AutoBlindInputs, in);
        QFETCH(QString, message);
        const AutoBlindResult r = buildAutoRows(in);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(message), qPrintable(r.error));
        QVERIFY(r.small.isEmpty() && r.big.isEmpty() && r.time.isEmpty());
    }

    // Too many rounds warn and keep the schedule; otherwise it is replaced without a question.
    void showMeReplacesOrKeepsSchedule()
    {
        drive::setSchedule(*frm, {"1/2/60"});
        frm->txt_AutoRounds->setText("40"); // doubling 25 forty times leaves 32 bits
        frm->Command1->click();
        QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
        QCOMPARE(fakes->messageBox.calls[0].title, QStringLiteral("Error"));
        QCOMPARE(fakes->messageBox.calls[0].icon, platform::Icon::Warning);
        QVERIFY(fakes->messageBox.calls[0].text.contains("\"rounds\" can hold at most 26"));
        QCOMPARE(frm->lst_Small.items(), QStringList{"1"});
        QCOMPARE(frm->lst_Blinds->list(0), QStringLiteral("Round 1: \u00A31/\u00A32 for 1 mins."));

        frm->txt_AutoRounds->setText("26");
        frm->txt_currency->setText("$");
        frm->Command1->click();
        QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
        QCOMPARE(frm->lst_Blinds->listCount(), 26);
        QCOMPARE(frm->lst_Big.listCount(), 26);
        QCOMPARE(frm->lst_Blinds->list(25), QStringLiteral("Round 26: $838860800/$1677721600 for 20 mins."));
    }
};

QTEST_MAIN(TestAutoBlinds)
#include "test_autoblinds.moc"
