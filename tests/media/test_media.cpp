// Each module is loaded when its service is first needed, the screen keeping after the first
// window has painted; each holds its own service and no other; without a module the program
// goes on silent, as it does without a speech engine.
#include "modules/MediaServices.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

using namespace platform;

class TestMedia : public QObject {
    Q_OBJECT
private slots:
    void loadsOnlyAfterTheFirstPaint()
    {
        MediaLoader loader(QStringLiteral(CHIPLARK_SPEECH_PATH));
        LateSpeech speech(loader);
        loader.loadAfterFirstPaint();
        int told = 0;
        speech.whenReady([&] { ++told; });
        QTest::qWait(200);
        QVERIFY2(!loader.loaded() && !speech.ready() && told == 0, "loaded before any window painted");

        QWidget window;
        window.resize(200, 100);
        window.show();
        QTRY_VERIFY(loader.loaded());
        QVERIFY2(loader.services(), "the module did not load");
        // The engine then starts as it always did (how long it takes is the speech server's
        // business); the waiting list is told exactly when the engine counts as ready.
        QCOMPARE(told == 1, speech.ready());
        QTest::qWait(500);
        QCOMPARE(told == 1, speech.ready());
        QVERIFY(told <= 1);

        // Once a window has painted, a module asked for comes at the loop's next turn, with
        // no further paint.
        MediaLoader later(QStringLiteral(CHIPLARK_SOUND_PATH));
        LateSound sound(later);
        sound.prepare();
        QVERIFY(!later.loaded());
        QCoreApplication::processEvents();
        QVERIFY(later.loaded() && later.services() && later.services()->sound);
    }

    void eachModuleHoldsItsOwnService_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("held");
        QTest::newRow("speech") << QStringLiteral(CHIPLARK_SPEECH_PATH) << 0;
        QTest::newRow("sound") << QStringLiteral(CHIPLARK_SOUND_PATH) << 1;
        QTest::newRow("screen") << QStringLiteral(CHIPLARK_SCREEN_PATH) << 2;
        QTest::newRow("page") << QStringLiteral(CHIPLARK_PAGE_PATH) << 3;
    }

    void eachModuleHoldsItsOwnService()
    {
        QFETCH(QString, path);
        QFETCH(int, held);
        MediaLoader loader(path);
        const MediaServices *media = loader.services();
        QVERIFY(media);
        const bool services[] = {media->speech != nullptr, media->sound != nullptr, media->screenSaver != nullptr,
                                 media->publisher != nullptr};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(services[i], i == held);
    }

    void loadsAtOnceWhenNeededFirst()
    {
        MediaLoader soundModule(QStringLiteral(CHIPLARK_SOUND_PATH));
        MediaLoader screenModule(QStringLiteral(CHIPLARK_SCREEN_PATH));
        LateSound sound(soundModule);
        LateScreenSaver saver(screenModule);
        saver.release(); // nothing asked yet: nothing loaded to give back
        QVERIFY(!screenModule.loaded());
        QVERIFY(!sound.play(QStringLiteral("/nonexistent/cue.wav"), Sound::Async));
        QVERIFY(soundModule.loaded() && soundModule.services() && !screenModule.loaded());
    }

    void thePageComesFromTheModule()
    {
        MediaLoader loader(QStringLiteral(CHIPLARK_PAGE_PATH));
        LatePublisher publisher(loader);
        int actions = 0;
        publisher.setActionHandler([&](const GameCommand &) {
            ++actions;
            return GameReply{};
        });
        // Asking costs nothing until the page is turned on.
        QVERIFY(!publisher.running() && publisher.address().isEmpty() && !loader.loaded());
        QString why;
        QVERIFY2(publisher.start(&why), qPrintable(why));
        QVERIFY(loader.loaded() && publisher.running() && !publisher.pin().isEmpty() && !publisher.qrCode().isNull());
        QVERIFY(publisher.address().startsWith(QStringLiteral("http://")));
        publisher.stop();
        QVERIFY(!publisher.running());
    }

    void withoutTheModuleEverythingIsSilent()
    {
        MediaLoader loader(QStringLiteral("no-such-module.so"));
        LateSpeech speech(loader);
        LateSound sound(loader);
        LateScreenSaver saver(loader);
        int told = 0;
        speech.whenReady([&] { ++told; });
        QVERIFY(!speech.ready());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Going on without no-such-module.so")));
        QVERIFY(!speech.create());
        QVERIFY(told == 1 && speech.ready());
        QVERIFY(speech.voiceCount() == 0 && speech.voiceName(0).isEmpty() && !speech.selectVoice(0));
        speech.speak(QStringLiteral("Blinds are now 25 and 50"));
        QVERIFY(!sound.play(QStringLiteral("/nonexistent/cue.wav"), Sound::Sync));
        saver.inhibit();
        saver.release();
        LatePublisher publisher(loader);
        QString why;
        QVERIFY(!publisher.start(&why) && !why.isEmpty() && !publisher.running());
        speech.whenReady([&] { ++told; });
        QCOMPARE(told, 2);
    }
};

QTEST_MAIN(TestMedia)
#include "test_media.moc"
