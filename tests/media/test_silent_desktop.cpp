// A desktop whose screensaver service owns its name but never answers: starting a game
// costs no wait and the game clock loses no tick. Run by silent_desktop.sh on a private
// session bus with such a service.

#include "display/frm_Display.h"
#include "media/QtScreenSaver.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QElapsedTimer>
#include <QtTest>

class TestSilentDesktop : public QObject {
    Q_OBJECT
private slots:
    void startDoesNotWait()
    {
        fake::Platform fakes;
        platform::QtScreenSaver saver;
        platform::Services services = fakes.services();
        services.screenSaver = &saver;
        frm_Chiplark frm(services);
        frm.opt_Blinds[1]->setChecked(true);
        frm.txt_AutoTime->setText(QStringLiteral("10"));
        QElapsedTimer t;
        t.start();
        frm.cmd_Start_Click();
        const qint64 start = t.elapsed();
        QVERIFY(frm.displayWindow() && frm.displayWindow()->isVisible());
        QVERIFY2(start < 1500, qPrintable(QStringLiteral("Start took %1 ms").arg(start)));
        // Five seconds later the game timer shows five seconds: no tick was lost.
        QTest::qWait(5200);
        QVERIFY2(frm.gameState.gameSeconds >= 5, qPrintable(QStringLiteral("%1 s").arg(frm.gameState.gameSeconds)));
        // Leaving and ending cost no wait either, with the answer still outstanding.
        t.restart();
        frm.displayWindow()->Form_KeyDown(27, 0);
        frm.Form_Unload();
        QVERIFY2(t.elapsed() < 1500, qPrintable(QStringLiteral("Escape and exit took %1 ms").arg(t.elapsed())));
    }
};

QTEST_MAIN(TestSilentDesktop)
#include "test_silent_desktop.moc"
