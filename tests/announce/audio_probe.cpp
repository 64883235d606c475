// Speaks and plays through the real engines, for the sound tests and the latency benchmark.
//   audio_probe voices                            the voices offered, the default marked
//   audio_probe speak SECONDS TEXT [TEXT ...]     speak the texts back to back, wait until
//                                                 they are finished (at most SECONDS)
//   audio_probe game CURRENCY SILENCE             a game's start announcement (25/50), then
//                                                 after SILENCE seconds of quiet a level
//                                                 announcement (50/100), the texts as the
//                                                 program builds them
//   audio_probe count                             after a bust to seven players left, and in
//                                                 the money, the texts as the program builds them
//   audio_probe play FILE FLAGS                   play the file, print how long play() took
//   audio_probe announce [N]                      N level changes 4 s apart, each with its time

#include "announce/Announcements.h"
#include "announce/Phrases.h"
#include "media/QtSound.h"
#include "media/QtSpeech.h"
#include "tournament/Ledger.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

// Waits until the engine has finished the given number of texts, or the time is up.
void waitForFinished(QCoreApplication &app, platform::QtSpeech &speech, int count, int milliseconds)
{
    QElapsedTimer t;
    t.start();
    while (speech.finishedCount() < count && t.elapsed() < milliseconds) {
        app.processEvents();
        QThread::msleep(10);
    }
}

void pause(QCoreApplication &app, int milliseconds)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds) {
        app.processEvents();
        QThread::msleep(10);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == "voices") {
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create()) {
            std::printf("voices: 0\n");
            return 1;
        }
        std::printf("engine: %s\nvoices: %d, default %s\n", qPrintable(speech.engineName()), speech.voiceCount(),
                    qPrintable(speech.currentVoiceName()));
        for (int i = 0; i < speech.voiceCount(); ++i)
            std::printf("voice: %s\n", qPrintable(speech.voiceName(i)));
        return 0;
    }
    if (command == "speak" && argc > 3) {
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create())
            return 1;
        for (int i = 3; i < argc; ++i)
            speech.speak(QString::fromLocal8Bit(argv[i]));
        waitForFinished(app, speech, argc - 3, int(std::atof(argv[2]) * 1000));
        return speech.finishedCount() == argc - 3 ? 0 : 1;
    }
    if (command == "game" && argc > 3) {
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create())
            return 1;
        const QString currency = QString::fromUtf8(argv[2]);
        const Phrases phrases = defaultPhrases();
        const QString start = startAnnouncement(phrases, QStringLiteral("25"), QStringLiteral("50"), currency);
        const QString level = levelAnnouncement(phrases, QStringLiteral("50"), QStringLiteral("100"), currency, 0);
        std::printf("voice: %s\n", qPrintable(speech.currentVoiceName()));
        std::printf("start: %s\n", start.toUtf8().constData());
        std::fflush(stdout);
        speech.speak(start);
        waitForFinished(app, speech, 2, 30000); // the start phrase and the blinds: two lines
        pause(app, int(std::atof(argv[3]) * 1000));
        std::printf("level: %s\n", level.toUtf8().constData());
        std::fflush(stdout);
        speech.speak(level);
        waitForFinished(app, speech, 3, 30000);
        std::printf("finished: %d\n", speech.finishedCount());
        return speech.finishedCount() == 3 ? 0 : 1;
    }
    if (command == "count") {
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create())
            return 1;
        speech.speak(tournament::bustAnnouncement(7));
        speech.speak(tournament::InTheMoney);
        waitForFinished(app, speech, 2, 30000);
        std::printf("finished: %d\n", speech.finishedCount());
        return speech.finishedCount() == 2 ? 0 : 1;
    }
    if (command == "play" && argc > 3) {
        platform::QtSound sound;
        QElapsedTimer t;
        t.start();
        const bool played = sound.play(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
        std::printf("play returned after %lld ms (%s)\n", t.elapsed(), played ? "played" : "silence");
        std::fflush(stdout);
        QTimer::singleShot(std::atoi(argv[3]) == 3 ? 2500 : 300, &app, &QCoreApplication::quit);
        return app.exec();
    }
    if (command == "announce") {
        // Level changes 4 s apart in one running program; says when (wall clock, ms) each
        // announcement is handed to the engine.
        const int count = argc > 2 ? std::atoi(argv[2]) : 1;
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create())
            return 1;
        for (int i = 0; i < count; ++i)
            QTimer::singleShot(1000 + 4000 * i, &app, [&] {
                std::printf("announced at %lld\n", QDateTime::currentMSecsSinceEpoch());
                std::fflush(stdout);
                speech.speak(
                    levelAnnouncement(defaultPhrases(), QStringLiteral("100"), QStringLiteral("200"), QString(), 0));
            });
        QTimer::singleShot(1000 + 4000 * count + 1000, &app, &QCoreApplication::quit);
        return app.exec();
    }
    std::fprintf(stderr, "usage: audio_probe voices | speak SECONDS TEXT... | game CURRENCY SILENCE | play FILE FLAGS"
                         " | announce [N]\n");
    return 2;
}
