// The real speech engine behind the settings window: ticking the speech box never freezes
// the window, neither while the engine is still starting, nor when unticking lets it go and
// ticking again starts it anew. Run by real_audio.sh, with a private audio server and speech
// server.

#include "media/QtSpeech.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QElapsedTimer>
#include <QtTest>

class TestSpeechEngine : public QObject {
    Q_OBJECT
private slots:
    void tickNeverFreezes();
};

void TestSpeechEngine::tickNeverFreezes()
{
    fake::Platform fakes;
    platform::QtSpeech speech; // starts in the background once the event loop runs
    platform::Services services = fakes.services();
    services.speech = &speech;
    frm_Chiplark frm(services);

    // A 50 ms timer, and the longest wait between two of its ticks.
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer beat;
    beat.setInterval(50);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    beat.start();

    frm.Check1->setValue(1); // the engine is still starting
    QVERIFY(!speech.ready());
    QTRY_VERIFY_WITH_TIMEOUT(frm.cmb_voices->count() > 0, 30000);
    const int first = frm.cmb_voices->count();
    qInfo("voices listed %lld ms after the tick; default %s", clock.elapsed(),
          qPrintable(frm.cmb_voices->currentText()));
    QCOMPARE(frm.cmb_voices->currentText(), QStringLiteral("English (Great Britain)"));

    frm.Check1->setValue(0); // the engine let go
    QVERIFY(!speech.ready());
    frm.Check1->setValue(1); // and started again
    QTRY_COMPARE_WITH_TIMEOUT(frm.cmb_voices->count(), 2 * first, 30000);
    QTest::qWait(300);
    qInfo("longest wait between two beats of a 50 ms timer: %lld ms", longest);
    QVERIFY2(longest <= 150, qPrintable(QStringLiteral("the timer waited %1 ms").arg(longest)));
    QVERIFY(fakes.messageBox.calls.empty());
}

QTEST_MAIN(TestSpeechEngine)
#include "test_speech_engine.moc"
