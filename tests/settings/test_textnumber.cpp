#include "settings/TextNumber.h"

#include <QtTest>

class TestTextNumber : public QObject {
    Q_OBJECT
private slots:
    void wholeNumbers_data();
    void wholeNumbers();
    void roundingDoubles();
};

void TestTextNumber::wholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width"); // 16 or 32
    QTest::addColumn<int>("error");
    QTest::addColumn<qlonglong>("value");

    const int ok = int(NumberError::None), empty = int(NumberError::Empty), nan = int(NumberError::NotANumber),
              range = int(NumberError::OutOfRange);
    QTest::newRow("16 max") << "32767" << 16 << ok << 32767LL;
    QTest::newRow("16 max+1") << "32768" << 16 << range << 0LL;
    QTest::newRow("16 min") << "-32768" << 16 << ok << -32768LL;
    QTest::newRow("16 min-1") << "-32769" << 16 << range << 0LL;
    QTest::newRow("32 max") << "2147483647" << 32 << ok << 2147483647LL;
    QTest::newRow("32 max+1") << "2147483648" << 32 << range << 0LL;
    QTest::newRow("32 min") << "-2147483648" << 32 << ok << -2147483648LL;
    QTest::newRow("huge") << "99999999999999999999999" << 32 << range << 0LL;
    QTest::newRow("leading zeros") << "025" << 16 << ok << 25LL;
    QTest::newRow("blanks") << "  12 " << 16 << ok << 12LL;
    QTest::newRow("half down to even") << "2.5" << 32 << ok << 2LL;
    QTest::newRow("half up to even") << "3.5" << 32 << ok << 4LL;
    QTest::newRow("above half") << "2.5000001" << 32 << ok << 3LL;
    QTest::newRow("below half") << "2.4999999" << 32 << ok << 2LL;
    QTest::newRow("negative half") << "-2.5" << 32 << ok << -2LL;
    QTest::newRow("point five") << ".5" << 32 << ok << 0LL;
    QTest::newRow("rounds past max") << "32767.5" << 16 << range << 0LL;
    QTest::newRow("rounds to max") << "32766.5" << 16 << ok << 32766LL;
    QTest::newRow("exponent") << "1e3" << 32 << ok << 1000LL;
    QTest::newRow("negative exponent half") << "25e-1" << 32 << ok << 2LL;
    QTest::newRow("exponent overflow") << "1e10" << 32 << range << 0LL;
    QTest::newRow("empty") << "" << 32 << empty << 0LL;
    QTest::newRow("blank only") << "   " << 32 << empty << 0LL;
    QTest::newRow("letters") << "abc" << 32 << nan << 0LL;
    QTest::newRow("trailing letter") << "20m" << 32 << nan << 0LL;
    QTest::newRow("sign only") << "-" << 32 << nan << 0LL;
    QTest::newRow("point only") << "." << 32 << nan << 0LL;
    QTest::newRow("two points") << "1.2.3" << 32 << nan << 0LL;
    QTest::newRow("bare exponent") << "1e" << 32 << nan << 0LL;
    QTest::newRow("inner blank") << "1 2" << 32 << nan << 0LL;
}

void TestTextNumber::wholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, error);
    QFETCH(qlonglong, value);
    const WholeNumber n = toWhole(text, width == 16 ? Width::Int16 : Width::Int32);
    QCOMPARE(int(n.error), error);
    if (n.ok())
        QCOMPARE(n.value, value);
    // The narrow helpers agree with the general one.
    if (width == 16)
        QCOMPARE(toInt16(text).has_value(), n.ok());
    else
        QCOMPARE(toInt32(text).has_value(), n.ok());
}

void TestTextNumber::roundingDoubles()
{
    QCOMPARE(roundToWidth(1.5, Width::Int16), std::optional<qint64>(2));
    QCOMPARE(roundToWidth(2.5, Width::Int16), std::optional<qint64>(2));
    QCOMPARE(roundToWidth(-0.5, Width::Int16), std::optional<qint64>(0));
    QCOMPARE(roundToWidth(-1.5, Width::Int16), std::optional<qint64>(-2));
    QCOMPARE(roundToWidth(1.4999, Width::Int16), std::optional<qint64>(1));
    QCOMPARE(roundToWidth(32767.4, Width::Int16), std::optional<qint64>(32767));
    QVERIFY(!roundToWidth(32767.5, Width::Int16));
    QVERIFY(!roundToWidth(-32768.6, Width::Int16));
    QCOMPARE(roundToWidth(2147483646.5, Width::Int32), std::optional<qint64>(2147483646));
    QVERIFY(!roundToWidth(2147483647.5, Width::Int32));
    QVERIFY(!roundToWidth(std::nan(""), Width::Int32));
    QCOMPARE(rangeText(0, 32767), QStringLiteral("0 to 32767"));
}

QTEST_APPLESS_MAIN(TestTextNumber)
#include "test_textnumber.moc"
