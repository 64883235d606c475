#include "blinds/AutoBlinds.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QtTest>

class TestAutoBlinds : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void edgeRows();
    void refusals_data();
    void refusals();
    void showMeReplacesOrKeepsSchedule();

private:
    static AutoBlindInputs defaults(IncreaseRule rule)
    {
        AutoBlindInputs in;
        in.small = "25";
        in.big = "50";
        in.rounds = "15";
        in.minutes = "20";
        in.rule = rule;
        in.factor = "2";
        in.value = "15";
        in.percentage = "15";
        return in;
    }
};

void TestAutoBlinds::rules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QStringList>("first4");
    QTest::addColumn<QString>("row15");
    QTest::newRow("factor 2") << 0 << QStringList{"25/50", "50/100", "100/200", "200/400"} << "409600/819200";
    QTest::newRow("value 15") << 1 << QStringList{"25/50", "40/65", "55/80", "70/95"} << "235/260";
    QTest::newRow("percentage 15") << 2 << QStringList{"25/50", "28.75/57.5", "33.35/66.7", "37.95/77.05"}
                                   << "182.85/358.8";
}

void TestAutoBlinds::rules()
{
    QFETCH(int, rule);
    QFETCH(QStringList, first4);
    QFETCH(QString, row15);
    const AutoBlindResult r = buildAutoRows(defaults(IncreaseRule(rule)));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.small.size(), 15);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(r.small[i] + "/" + r.big[i], first4[i]);
    QCOMPARE(r.small[14] + "/" + r.big[14], row15);
    QCOMPARE(r.time, QStringList(15, QStringLiteral("1200")));
}

void TestAutoBlinds::edgeRows()
{
    AutoBlindInputs in = defaults(IncreaseRule::Percentage);
    in.percentage = "10";
    in.rounds = "5";
    QCOMPARE(buildAutoRows(in).small, (QStringList{"25", "27.5", "30.8", "34.1", "37.4"}));

    in.percentage = "0";
    QCOMPARE(buildAutoRows(in).big, QStringList(5, QStringLiteral("50")));

    in = defaults(IncreaseRule::Factor);
    in.factor = "0";
    in.small = "025"; // row 1 verbatim, later rows from the number
    in.rounds = "3";
    in.minutes = "0";
    AutoBlindResult r = buildAutoRows(in);
    QCOMPARE(r.small, (QStringList{"025", "0", "0"}));
    QCOMPARE(r.time, QStringList(3, QStringLiteral("0")));
    in.factor = "3";
    QCOMPARE(buildAutoRows(in).small, (QStringList{"025", "75", "225"}));

    // Round counts of 1 or less, and no rule at all, give the starting blinds only;
    // the increase boxes are then not even read.
    for (const char *rounds : {"0", "1"}) {
        in = defaults(IncreaseRule::Factor);
        in.rounds = rounds;
        in.factor.clear();
        r = buildAutoRows(in);
        QVERIFY(r.ok);
        QCOMPARE(r.small, QStringList{"25"});
    }
    in = defaults(IncreaseRule::None);
    QCOMPARE(buildAutoRows(in).small, QStringList{"25"});

    QCOMPARE(decimalText(12.5), QStringLiteral("12.5"));
    QCOMPARE(decimalText(15.0), QStringLiteral("15"));
    QCOMPARE(decimalText(29.0 / 100.0 * 15.0 + 29.0), QStringLiteral("33.35"));
    QCOMPARE(decimalText(2147483647.5), QStringLiteral("2147483647.5"));
}

void TestAutoBlinds::refusals_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty small") << "small"
                                 << ""
                                 << "\"Small Blind\" must hold a whole number from 0 to 2147483647";
    QTest::newRow("big too large") << "big"
                                   << "2147483648"
                                   << "\"Big Blind\" must hold a whole number from 0 to 2147483647";
    QTest::newRow("rounds beyond 16 bits") << "rounds"
                                           << "32768"
                                           << "\"rounds\" must hold a whole number from 0 to 32767";
    QTest::newRow("minutes overflow seconds") << "minutes"
                                              << "35791395"
                                              << "\"mins per round\" must hold a whole number from 0 to 35791394";
    QTest::newRow("letters in factor") << "factor"
                                       << "x"
                                       << "\"Increase by a factor of\"";
    QTest::newRow("factor overflows") << "factor"
                                      << "1000"
                                      << "small blind of round 4 would be larger than 2147483647";
    QTest::newRow("value overflows") << "value"
                                     << "2147483600"
                                     << "big blind of round 2";
    QTest::newRow("percentage overflows") << "percentage"
                                          << "2147483647"
                                          << "small blind of round 3";
}

void TestAutoBlinds::refusals()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    AutoBlindInputs in = defaults(box == "value"        ? IncreaseRule::Value
                                  : box == "percentage" ? IncreaseRule::Percentage
                                                        : IncreaseRule::Factor);
    if (box == "small")
        in.small = text;
    if (box == "big")
        in.big = text;
    if (box == "rounds")
        in.rounds = text;
    if (box == "minutes")
        in.minutes = text;
    if (box == "factor")
        in.factor = text;
    if (box == "value")
        in.value = text;
    if (box == "percentage")
        in.percentage = text;
    const AutoBlindResult r = buildAutoRows(in);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(message), qPrintable(r.error));
    QVERIFY(r.small.isEmpty() && r.big.isEmpty() && r.time.isEmpty());
}

void TestAutoBlinds::showMeReplacesOrKeepsSchedule()
{
    fake::Platform fakes;
    frm_Chiplark frm(fakes.services());
    frm.lst_Small.addItem("1");
    frm.lst_Big.addItem("2");
    frm.lst_Time.addItem("60");
    frm.regenList();

    frm.txt_AutoRounds->setText("40"); // doubling 25 forty times leaves 32 bits
    frm.Command1->click();
    QCOMPARE(fakes.messageBox.calls.size(), size_t(1));
    QCOMPARE(fakes.messageBox.calls[0].title, QStringLiteral("Error"));
    QCOMPARE(fakes.messageBox.calls[0].icon, platform::Icon::Warning);
    QVERIFY(fakes.messageBox.calls[0].text.contains("\"rounds\" can hold at most 26"));
    QCOMPARE(frm.lst_Small.items(), QStringList{"1"});
    QCOMPARE(frm.lst_Blinds->list(0), QStringLiteral("Round 1: \u00A31/\u00A32 for 1 mins."));

    // A custom schedule is replaced without a question, with the current prefix.
    frm.txt_AutoRounds->setText("26");
    frm.txt_currency->setText("$");
    frm.Command1->click();
    QCOMPARE(fakes.messageBox.calls.size(), size_t(1));
    QCOMPARE(frm.lst_Blinds->listCount(), 26);
    QCOMPARE(frm.lst_Big.listCount(), 26);
    QCOMPARE(frm.lst_Blinds->list(25), QStringLiteral("Round 26: $838860800/$1677721600 for 20 mins."));
}

QTEST_MAIN(TestAutoBlinds)
#include "test_autoblinds.moc"
