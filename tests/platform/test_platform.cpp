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
        // Past one day the hours go on in the same form.
        using platform::hoursBeyondOneDay;
        QCOMPARE(hoursBeyondOneDay(QStringLiteral("HH:mm:ss"), 25), QStringLiteral("'25':mm:ss"));
        QCOMPARE(hoursBeyondOneDay(QStringLiteral("h:mm:ss AP"), 7), QStringLiteral("'7':mm:ss"));
        QCOMPARE(hoursBeyondOneDay(QStringLiteral("HH 'h' mm"), 30), QStringLiteral("'30' 'h' mm"));
        if (QLocale::system().name() == QLatin1String("C")) { // the tests run with LC_ALL=C; no zone shown
            QCOMPARE(f.longTime(32767), QStringLiteral("09:06:07"));
            QCOMPARE(f.longTime(32768), QStringLiteral("09:06:08"));
            QCOMPARE(f.longTime(86461), QStringLiteral("24:01:01"));
            QCOMPARE(f.longTime(90061), QStringLiteral("25:01:01"));
        }
    }

    // The application's one override cursor, step by step: h hides, s shows (the display count,
    // hidden below 0), b and d begin and end a wait. Hidden wins over busy; whatever the order
    // the reasons end in, nothing is left over once they have.
    void cursorSteps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shapes"); // after each step: - none, B blank, W busy
        const char *const rows[][3] = {
            {"display count", "h h s s s h h s", "B B B - - - B -"},
            {"game started while the voices are listed", "b h d s", "W B B -"},
            {"game left before the voices come", "b h s d", "W B W -"},
            {"waits overlapping", "b b d h d s", "W W W B B -"},
            {"hidden first", "h b s d", "B B W -"},
        };
        for (const auto &row : rows)
            QTest::addRow("%s", row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
    }
    void cursorSteps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shapes);
        platform::QtCursor cursor;
        const QStringList step = steps.split(QLatin1Char(' '));
        const QStringList want = shapes.split(QLatin1Char(' '));
        QCOMPARE(step.size(), want.size());
        for (int i = 0; i < step.size(); ++i) {
            const QChar c = step[i][0];
            if (c == QLatin1Char('h') || c == QLatin1Char('s'))
                cursor.showCursor(c == QLatin1Char('s'));
            else
                cursor.busy(c == QLatin1Char('b'));
            const QCursor *shown = QGuiApplication::overrideCursor();
            const QString got = !shown                              ? QStringLiteral("-")
                                : shown->shape() == Qt::BlankCursor ? QStringLiteral("B")
                                : shown->shape() == Qt::BusyCursor  ? QStringLiteral("W")
                                                                    : QString::number(shown->shape());
            QVERIFY2(got == want[i], qPrintable(QStringLiteral("step %1 (%2): %3").arg(i + 1).arg(step[i], got)));
        }
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
