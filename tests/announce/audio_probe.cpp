// Speaks and plays through the real engines, for the sound tests and the latency benchmark.
//   audio_probe voices
//   audio_probe speak SECONDS TEXT [TEXT ...]   speak the texts back to back, run SECONDS
//   audio_probe play FILE FLAGS                  play the file, print how long play() took
//   audio_probe announce [N]                     N level changes 4 s apart, each with its time

#include "platform/QtSound.h"
#include "platform/QtSpeech.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == "voices") {
        platform::QtSpeech speech;
        if (!speech.create()) {
            std::printf("voices: 0\n");
            return 1;
        }
        std::printf("voices: %d, default %s\n", speech.voiceCount(), qPrintable(speech.currentVoiceName()));
        return 0;
    }
    if (command == "speak" && argc > 3) {
        platform::QtSpeech speech;
        if (!speech.create())
            return 1;
        for (int i = 3; i < argc; ++i)
            speech.speak(QString::fromLocal8Bit(argv[i]));
        QTimer::singleShot(int(std::atof(argv[2]) * 1000), &app, &QCoreApplication::quit);
        return app.exec();
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
        if (!speech.create())
            return 1;
        for (int i = 0; i < count; ++i)
            QTimer::singleShot(1000 + 4000 * i, &app, [&] {
                std::printf("announced at %lld\n", QDateTime::currentMSecsSinceEpoch());
                std::fflush(stdout);
                speech.speak(QStringLiteral("Blinds are now 100 and 200"));
            });
        QTimer::singleShot(1000 + 4000 * count + 1000, &app, &QCoreApplication::quit);
        return app.exec();
    }
    std::fprintf(stderr, "usage: audio_probe voices | speak SECONDS TEXT... | play FILE FLAGS | announce [N]\n");
    return 2;
}
