// Colours, the clock's time of day and the mouse pointer, as the desktop gives them.
#include "platform/Colour.h"
#include "platform/QtPlatform.h"

#include <QGuiApplication>
#include <QLocale>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    // Colours are stored as blue*65536 + green*256 + red.
    void colourLayout()
    {
        QCOMPARE(platform::toQColor(33023), QColor(255, 128, 0));
        QCOMPARE(platform::fromQColor(QColor(255, 128, 0)), 33023);
        QCOMPARE(platform::fromQColor(QColor(255, 255, 255)), 16777215);
        QCOMPARE(platform::toQColor(65280), QColor(0, 255, 0));
    }

    void longTimeWithoutZone()
    {
        using platform::longTimeFormatWithoutZone;
        QCOMPARE(longTimeFormatWithoutZone(QStringLiteral("HH:mm:ss t")), QStringLiteral("HH:mm:ss"));
        QCOMPARE(longTimeFormatWithoutZone(QStringLiteral("h:mm:ss AP t")), QStringLiteral("h:mm:ss AP"));
        QCOMPARE(longTimeFormatWithoutZone(QStringLiteral("HH 'at' mm")), QStringLiteral("HH 'at' mm"));
        platform::QtTimeFormat f;
        const QString t = f.longTime(20 * 60);
        QVERIFY2(t.contains(QStringLiteral("20")), qPrintable(t));
        QVERIFY2(!t.contains(QStringLiteral("UTC")) && !t.contains(QStringLiteral("GMT")), qPrintable(t));
        // Past one day the hours go on in the same form.
        using platform::hoursBeyondOneDay;
        QCOMPARE(hoursBeyondOneDay(QStringLiteral("HH:mm:ss"), 25), QStringLiteral("'25':mm:ss"));
        QCOMPARE(hoursBeyondOneDay(QStringLiteral("h:mm:ss AP"), 7), QStringLiteral("'7':mm:ss"));
        QCOMPARE(hoursBeyondOneDay(QStringLiteral("HH 'h' mm"), 30), QStringLiteral("'30' 'h' mm"));
        if (QLocale::system().name() == QLatin1String("C")) { // the tests run with LC_ALL=C
            QCOMPARE(f.longTime(32767), QStringLiteral("09:06:07"));
            QCOMPARE(f.longTime(32768), QStringLiteral("09:06:08"));
            QCOMPARE(f.longTime(90061), QStringLiteral("25:01:01"));
        }
    }

    // Hidden while the count is below 0, as the desktop's own count works.
    void cursorCount()
    {
        platform::QtCursor cursor;
        for (const auto &[show, count] : {std::pair{false, -1}, {false, -2}, {true, -1}, {true, 0}, {true, 1}}) {
            QCOMPARE(cursor.showCursor(show), count);
            const QCursor *shown = QGuiApplication::overrideCursor(); // blank below 0, none from 0 on
            const int shape = shown ? int(shown->shape()) : -1;
            QVERIFY2(shape == (count < 0 ? int(Qt::BlankCursor) : -1),
                     qPrintable(QStringLiteral("count %1, cursor shape %2").arg(count).arg(shape)));
        }
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
