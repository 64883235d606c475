#include "text/TextNumber.h"

#include <QtTest>

class TestTextNumber : public QObject {
    Q_OBJECT
private slots:
    void wholeNumbers_data()
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
        // Halves of a double go to the even neighbour; a result outside the width, or no number, is refused.
        QTest::newRow("one and a half") << "1.5" << 16 << ok << 2LL;
        QTest::newRow("16 half down to even") << "2.5" << 16 << ok << 2LL;
        QTest::newRow("negative half to zero") << "-0.5" << 16 << ok << 0LL;
        QTest::newRow("negative half to even") << "-1.5" << 16 << ok << -2LL;
        QTest::newRow("just below half") << "1.4999" << 16 << ok << 1LL;
        QTest::newRow("16 max plus a fraction") << "32767.4" << 16 << ok << 32767LL;
        QTest::newRow("rounds below min") << "-32768.6" << 16 << range << 0LL;
        QTest::newRow("32 rounds to max-1") << "2147483646.5" << 32 << ok << 2147483646LL;
        QTest::newRow("32 rounds past max") << "2147483647.5" << 32 << range << 0LL;
        QTest::newRow("not a number") << "nan" << 32 << nan << 0LL;
    }

    // A box's text read as a whole number of its width, or refused with the reason; a double
    // of the same value rounds to the same number.
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(int, error);
        QFETCH(qlonglong, value);
        const Width w = width == 16 ? Width::Int16 : Width::Int32;
        const WholeNumber n = toWhole(text, w);
        QCOMPARE(int(n.error), error);
        if (n.ok())
            QCOMPARE(n.value, value);
        // The narrow helpers agree with the general one.
        QCOMPARE(width == 16 ? toInt16(text).has_value() : toInt32(text).has_value(), n.ok());
        bool isDouble = false;
        if (const double d = text.toDouble(&isDouble); isDouble)
            QCOMPARE(roundToWidth(d, w), n.ok() ? value : std::optional<qint64>());
    }
};

QTEST_APPLESS_MAIN(TestTextNumber)
#include "test_textnumber.moc"
