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
//   audio_probe seats                             a seat drawn, a move and a table breaking
//   audio_probe chips                             the colour-up warning a level ahead of the break
//   audio_probe play FILE FLAGS                   play the file, print how long play() took
//   audio_probe announce [N]                      N level changes 4 s apart, each with its time
//   audio_probe texts CURRENCY                    the lines of a game's start announcement, as the
//                                                 engine is given them, without speaking
//   audio_probe render VOICE FILE LINE...         the lines spoken by espeak-ng itself, no speech
//                                                 server, into a WAV file, half a second apart
//   audio_probe lag                               until SIGTERM: how late a 10 ms sleep wakes at
//                                                 worst, in ms
// The commands that speak print each line the engine is given ("say: ...").

#include "announce/Announcements.h"
#include "announce/Phrases.h"
#include "chips/ColourUp.h"
#include "media/QtSound.h"
#include "media/QtSpeech.h"
#include "tables/SeatCalls.h"
#include "tournament/Ledger.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

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

// Says the text, after printing its lines as the engine is given them, one at a time.
void say(platform::QtSpeech &speech, const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n]+"));
    for (const QString &line : text.split(lineBreak))
        if (!line.trimmed().isEmpty())
            std::printf("say: %s\n", line.trimmed().toUtf8().constData());
    std::fflush(stdout);
    speech.speak(text);
}

// espeak-ng's own rendering of the lines, at the speech server's normal rate (170 words a
// minute), as a 16-bit mono WAV file.
std::vector<short> rendered;
int keep(short *wav, int count, void *)
{
    if (wav)
        rendered.insert(rendered.end(), wav, wav + count);
    return 0;
}
bool render(const char *voice, const QString &file, const QStringList &lines)
{
    QLibrary espeak(QStringLiteral("espeak-ng"), 1);
    using Initialize = int (*)(int, int, const char *, int);
    using SetCallback = void (*)(int (*)(short *, int, void *));
    using SetVoice = int (*)(const char *);
    using SetParameter = int (*)(int, int, int);
    using Synth = int (*)(const void *, size_t, unsigned, int, unsigned, unsigned, unsigned *, void *);
    using Synchronize = int (*)();
    auto initialize = reinterpret_cast<Initialize>(espeak.resolve("espeak_Initialize"));
    auto setCallback = reinterpret_cast<SetCallback>(espeak.resolve("espeak_SetSynthCallback"));
    auto setVoice = reinterpret_cast<SetVoice>(espeak.resolve("espeak_SetVoiceByName"));
    auto setParameter = reinterpret_cast<SetParameter>(espeak.resolve("espeak_SetParameter"));
    auto synth = reinterpret_cast<Synth>(espeak.resolve("espeak_Synth"));
    auto synchronize = reinterpret_cast<Synchronize>(espeak.resolve("espeak_Synchronize"));
    if (!initialize || !setCallback || !setVoice || !setParameter || !synth || !synchronize)
        return false;
    const int rate = initialize(2 /* synchronous */, 0, nullptr, 0x8000 /* don't exit on errors */);
    if (rate <= 0 || setVoice(voice) != 0 || setParameter(1 /* rate */, 170, 0) != 0)
        return false;
    setCallback(keep);
    rendered.assign(rate * 3 / 10, 0);
    for (const QString &line : lines) {
        const QByteArray text = line.toUtf8();
        if (synth(text.constData(), size_t(text.size()) + 1, 0, 1 /* characters */, 0, 1 /* UTF-8 */, nullptr, nullptr)
                != 0
            || synchronize() != 0)
            return false;
        rendered.insert(rendered.end(), rate / 2, 0);
    }
    auto le = [](quint32 v, int bytes) {
        QByteArray b;
        for (int i = 0; i < bytes; ++i)
            b += char(v >> (8 * i));
        return b;
    };
    const quint32 size = quint32(rendered.size() * 2);
    QFile out(file);
    return out.open(QIODevice::WriteOnly)
           && out.write("RIFF" + le(36 + size, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(rate, 4)
                        + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" + le(size, 4))
                  > 0
           && out.write(reinterpret_cast<const char *>(rendered.data()), size) == size;
}

std::atomic<bool> stopped{false};

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
        say(speech, start);
        waitForFinished(app, speech, 2, 30000); // the start phrase and the blinds: two lines
        pause(app, int(std::atof(argv[3]) * 1000));
        say(speech, level);
        waitForFinished(app, speech, 3, 30000);
        std::printf("finished: %d\n", speech.finishedCount());
        return speech.finishedCount() == 3 ? 0 : 1;
    }
    if (command == "count") {
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create())
            return 1;
        std::printf("voice: %s\n", qPrintable(speech.currentVoiceName()));
        say(speech, tournament::bustAnnouncement(7));
        say(speech, tournament::InTheMoney);
        waitForFinished(app, speech, 2, 30000);
        std::printf("finished: %d\n", speech.finishedCount());
        return speech.finishedCount() == 2 ? 0 : 1;
    }
    if (command == "seats") {
        // A seat drawn, a move and a table breaking, as the program says them.
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create())
            return 1;
        std::printf("voice: %s\n", qPrintable(speech.currentVoiceName()));
        say(speech, tables::spokenSeat(12, QString(), {2, 3}));
        say(speech, tables::moveCall({{1, 0}, {2, 4}}));
        const QStringList broken = tables::breakCalls({2, {{{2, 3}, {1, 5}}}});
        for (const QString &line : broken)
            say(speech, line);
        waitForFinished(app, speech, 4, 30000);
        std::printf("finished: %d\n", speech.finishedCount());
        return speech.finishedCount() == 4 ? 0 : 1;
    }
    if (command == "chips") {
        // The colour-up warning, a level ahead of the break.
        platform::QtSpeech speech;
        if (!speech.waitUntilReady(30000) || !speech.create())
            return 1;
        std::printf("voice: %s\n", qPrintable(speech.currentVoiceName()));
        say(speech, chips::colourUpWarning({25}));
        waitForFinished(app, speech, 1, 30000);
        std::printf("finished: %d\n", speech.finishedCount());
        return speech.finishedCount() == 1 ? 0 : 1;
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
    if (command == "texts" && argc > 2) {
        const QString start =
            startAnnouncement(defaultPhrases(), QStringLiteral("25"), QStringLiteral("50"), QString::fromUtf8(argv[2]));
        for (const QString &line : start.split(QStringLiteral("\r\n")))
            std::printf("say: %s\n", line.toUtf8().constData());
        return 0;
    }
    if (command == "render" && argc > 4) {
        QStringList lines;
        for (int i = 4; i < argc; ++i)
            lines << QString::fromUtf8(argv[i]);
        return render(argv[2], QString::fromLocal8Bit(argv[3]), lines) ? 0 : 1;
    }
    if (command == "lag") {
        std::signal(SIGTERM, [](int) { stopped = true; });
        std::printf("watching\n");
        std::fflush(stdout);
        using namespace std::chrono;
        long long longest = 0;
        auto last = steady_clock::now();
        while (!stopped) {
            std::this_thread::sleep_for(milliseconds(10));
            const auto now = steady_clock::now();
            longest = std::max<long long>(longest, duration_cast<milliseconds>(now - last).count() - 10);
            last = now;
        }
        std::printf("late: %lld\n", longest);
        return 0;
    }
    std::fprintf(stderr,
                 "usage: audio_probe voices | speak SECONDS TEXT... | game CURRENCY SILENCE | count"
                 " | seats | play FILE FLAGS | announce [N] | texts CURRENCY | render VOICE FILE LINE... | lag\n");
    return 2;
}
