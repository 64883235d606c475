// Speaks and plays through the real engines, for the sound tests and the latency benchmark.
//   audio_probe voices                        the voices offered, the default marked
//   audio_probe speak SECONDS TEXT...         the texts back to back, until finished (at most SECONDS)
//   audio_probe game CURRENCY SILENCE         a game's start announcement (25/50), then after SILENCE
//                                             seconds of quiet a level announcement (50/100)
//   audio_probe count | seats | chips         a bust to seven players left and in the money; a seat
//                                             drawn, a move and a table breaking; the colour-up
//                                             warning a level ahead of the break
//   audio_probe texts CURRENCY                the lines of a game's start announcement, not spoken
//   audio_probe play FILE FLAGS               play the file, print how long play() took
//   audio_probe announce [N]                  N level changes 4 s apart, each with its time
// The texts are built as the program builds them; the commands that speak them print the voice,
// each line the engine is given ("say: ...") and how many lines it finished.

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
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <climits>
#include <cstdio>

namespace {

// Lets events run until the engine has finished the given number of lines, or the time is up.
void waitFor(platform::QtSpeech &speech, int count, int milliseconds)
{
    QElapsedTimer t;
    t.start();
    while (speech.finishedCount() < count && t.elapsed() < milliseconds) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

// The lines of the texts, as the engine is given them.
QStringList linesOf(const QStringList &texts)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n]+"));
    QStringList lines;
    for (const QString &text : texts)
        for (const QString &line : text.split(lineBreak))
            if (!line.trimmed().isEmpty())
                lines << line.trimmed();
    return lines;
}

// A command's texts in the order spoken, in parts with a silence between them; none for a
// command that speaks no texts of the program's.
QList<QStringList> textsOf(const QString &command, const QString &currency)
{
    const Phrases phrases = defaultPhrases();
    if (command == "game" || command == "texts")
        return {{startAnnouncement(phrases, QStringLiteral("25"), QStringLiteral("50"), currency)},
                {levelAnnouncement(phrases, QStringLiteral("50"), QStringLiteral("100"), currency, 0)}};
    if (command == "count")
        return {{tournament::bustAnnouncement(7, QStringLiteral("Anna")), tournament::InTheMoney}};
    if (command == "seats") {
        QStringList said{tables::spokenSeat(12, QString(), {2, 3}), tables::moveCall({{1, 0}, {2, 4}})};
        for (const QString &line : tables::breakCalls({2, {{{2, 3}, {1, 5}}}}, [](tables::Seat) { return "Anna"; }))
            said << tables::spoken(line);
        return {said};
    }
    if (command == "chips")
        return {{chips::colourUpWarning({25})}};
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QList<QStringList> parts = textsOf(command, argc > 2 ? QString::fromUtf8(argv[2]) : QString());
    if (command == "texts") {
        for (const QString &line : linesOf(parts.first()))
            std::printf("say: %s\n", line.toUtf8().constData());
        return 0;
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
    if (parts.isEmpty() && command != "voices" && command != "announce" && !(command == "speak" && argc > 3)) {
        std::fprintf(stderr, "usage: audio_probe voices | speak SECONDS TEXT... | game CURRENCY SILENCE | count"
                             " | seats | chips | texts CURRENCY | play FILE FLAGS | announce [N]\n");
        return 2;
    }
    platform::QtSpeech speech;
    if (!speech.waitUntilReady(30000) || !speech.create()) {
        std::printf("no speech engine\n");
        return 1;
    }
    if (command == "voices") {
        std::printf("engine: %s\nvoices: %d, default %s\n", qPrintable(speech.engineName()), speech.voiceCount(),
                    qPrintable(speech.currentVoiceName()));
        for (int i = 0; i < speech.voiceCount(); ++i)
            std::printf("voice: %s\n", qPrintable(speech.voiceName(i)));
        return 0;
    }
    if (command == "speak") {
        for (int i = 3; i < argc; ++i)
            speech.speak(QString::fromLocal8Bit(argv[i]));
        waitFor(speech, argc - 3, int(std::atof(argv[2]) * 1000));
        return speech.finishedCount() == argc - 3 ? 0 : 1;
    }
    if (command == "announce") {
        // Level changes 4 s apart in one running program; says when (wall clock, ms) each
        // announcement is handed to the engine.
        const int count = argc > 2 ? std::atoi(argv[2]) : 1;
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
    std::printf("voice: %s\n", qPrintable(speech.currentVoiceName()));
    int lines = 0;
    for (int part = 0; part < parts.size(); ++part) {
        if (part > 0)
            waitFor(speech, INT_MAX, int(std::atof(argc > 3 ? argv[3] : "0") * 1000));
        for (const QString &line : linesOf(parts[part]))
            std::printf("say: %s\n", line.toUtf8().constData());
        std::fflush(stdout);
        for (const QString &text : parts[part])
            speech.speak(text);
        lines += int(linesOf(parts[part]).size());
        waitFor(speech, lines, 30000);
    }
    std::printf("finished: %d\n", speech.finishedCount());
    return speech.finishedCount() == lines ? 0 : 1;
}
