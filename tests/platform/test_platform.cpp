#include "platform/Colour.h"
#include "platform/QtPlatform.h"

#include <QGuiApplication>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void colourLayout();
    void longTimeWithoutZone();
    void cursorCount();
};

void TestPlatform::colourLayout()
{
    QCOMPARE(platform::toQColor(33023), QColor(255, 128, 0));
    QCOMPARE(platform::fromQColor(QColor(255, 128, 0)), 33023);
    QCOMPARE(platform::fromQColor(QColor(255, 255, 255)), 16777215);
    QCOMPARE(platform::toQColor(65280), QColor(0, 255, 0));
}

void TestPlatform::longTimeWithoutZone()
{
    using platform::longTimeFormatWithoutZone;
    QCOMPARE(longTimeFormatWithoutZone(QStringLiteral("HH:mm:ss t")), QStringLiteral("HH:mm:ss"));
    QCOMPARE(longTimeFormatWithoutZone(QStringLiteral("h:mm:ss AP t")), QStringLiteral("h:mm:ss AP"));
    QCOMPARE(longTimeFormatWithoutZone(QStringLiteral("HH 'at' mm")), QStringLiteral("HH 'at' mm"));
    platform::QtTimeFormat f;
    const QString t = f.longTime(20 * 60);
    QVERIFY2(t.contains(QStringLiteral("20")), qPrintable(t));
    QVERIFY2(!t.contains(QStringLiteral("UTC")) && !t.contains(QStringLiteral("GMT")), qPrintable(t));
}

// Hidden while the count is below 0, as the desktop's own count works.
void TestPlatform::cursorCount()
{
    platform::QtCursor cursor;
    QCOMPARE(cursor.showCursor(false), -1);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    QCOMPARE(cursor.showCursor(false), -2);
    QCOMPARE(cursor.showCursor(true), -1);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(cursor.showCursor(true), 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(cursor.showCursor(true), 1);
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
