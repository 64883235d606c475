#include "platform/QtSpeech.h"

#include <QTextToSpeech>

namespace platform {

QtSpeech::QtSpeech() : queue_([this](const QString &text) { say(text); })
{
    watchdog_.setSingleShot(true);
    // An engine that never says it has finished: give up on that sentence, go on.
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        if (engine_)
            engine_->stop();
        queue_.finished();
    });
}

QtSpeech::~QtSpeech() = default;

bool QtSpeech::create()
{
    if (engine_)
        return true;
    // A speech server's voices first, then the engine that needs none.
    QStringList engines = QTextToSpeech::availableEngines();
    QStringList order;
    for (const char *preferred : {"speechd", "flite"})
        if (engines.removeAll(QString::fromLatin1(preferred)))
            order << QString::fromLatin1(preferred);
    order << engines;
    for (const QString &name : order) {
        auto engine = std::make_unique<QTextToSpeech>(name);
        if (engine->state() == QTextToSpeech::Error || engine->availableVoices().isEmpty())
            continue;
        engine_ = std::move(engine);
        connect(engine_.get(), &QTextToSpeech::stateChanged, this, [this] { engineStateChanged(); });
        return true;
    }
    return false;
}

QString QtSpeech::currentVoiceName()
{
    return engine_ ? engine_->voice().name() : QString();
}

int QtSpeech::voiceCount()
{
    return engine_ ? int(engine_->availableVoices().size()) : 0;
}

QString QtSpeech::voiceName(int position)
{
    if (!engine_)
        return QString();
    const auto voices = engine_->availableVoices();
    return position >= 0 && position < voices.size() ? voices[position].name() : QString();
}

bool QtSpeech::selectVoice(int position)
{
    if (!engine_)
        return false;
    const auto voices = engine_->availableVoices();
    if (position < 0 || position >= voices.size())
        return false;
    engine_->setVoice(voices[position]);
    return true;
}

void QtSpeech::speak(const QString &text)
{
    if (engine_)
        queue_.add(text);
}

void QtSpeech::say(const QString &text)
{
    // Generously longer than any sentence takes to speak.
    watchdog_.start(5000 + 200 * int(text.size()));
    engine_->say(text);
}

void QtSpeech::engineStateChanged()
{
    const QTextToSpeech::State state = engine_->state();
    if (queue_.speaking() && (state == QTextToSpeech::Ready || state == QTextToSpeech::Error)) {
        watchdog_.stop();
        queue_.finished();
    }
}

} // namespace platform
