#include "media/SpeechWorker.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTextToSpeech>
#include <QThread>

#if defined(Q_OS_UNIX)
#include <clocale>
#include <locale.h>
#endif

namespace platform {

bool startSpeechServerIfLocaleUnusable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Only a server that the client would start itself: not one named by the environment.
    if (qEnvironmentVariableIsSet("SPEECHD_ADDRESS"))
        return false;
    locale_t own = newlocale(LC_ALL_MASK, "", locale_t(nullptr));
    if (own != locale_t(nullptr)) {
        freelocale(own);
        return false;
    }
    // Where the speech server's client library looks for it.
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = qEnvironmentVariable("XDG_CACHE_HOME", QDir::home().filePath(QStringLiteral(".cache")));
    const QString socket = QDir(runtime).filePath(QStringLiteral("speech-dispatcher/speechd.sock"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    QProcess server;
    server.setProcessEnvironment(env);
    server.setStandardOutputFile(QProcess::nullDevice());
    server.setStandardErrorFile(QProcess::nullDevice());
    // With --spawn the server puts itself in the background and this process returns once
    // it listens; a server already running makes it return at once.
    server.start(QStringLiteral("speech-dispatcher"),
                 {QStringLiteral("--spawn"), QStringLiteral("--communication-method"), QStringLiteral("unix_socket"),
                  QStringLiteral("--socket-path"), socket});
    if (!server.waitForFinished(10000)) {
        server.kill();
        server.waitForFinished(1000);
        return false;
    }
    return true;
#else
    return false;
#endif
}

SpeechWorker::SpeechWorker() : queue_([this](const QString &text) { sayNow(text); }) {}

SpeechWorker::~SpeechWorker() = default;

void SpeechWorker::start()
{
    startSpeechServerIfLocaleUnusable();
    watchdog_ = new QTimer(this);
    watchdog_->setSingleShot(true);
    // An engine that never says it has finished: give up on that sentence, go on.
    connect(watchdog_, &QTimer::timeout, this, [this] {
        if (engine_)
            engine_->stop();
        oneFinished();
    });

    // A speech server's voices first, then the engine that needs none.
    QStringList engines = QTextToSpeech::availableEngines();
    QStringList order;
    for (const char *preferred : {"speechd", "flite"})
        if (engines.removeAll(QString::fromLatin1(preferred)))
            order << QString::fromLatin1(preferred);
    order << engines;
    for (const QString &name : order) {
        // A speech server that is just ending (it leaves a while after its last client)
        // refuses the first connection: it is asked again before the next engine is tried.
        const int tries = name == QLatin1String("speechd") ? 3 : 1;
        bool used = false;
        for (int i = 0; i < tries && !used; ++i) {
            if (i > 0)
                QThread::msleep(700);
            used = useEngine(name);
        }
        if (!used)
            continue;
        QStringList names;
        for (const QVoice &v : voices_)
            names << v.name();
        emit started(true, name, names, engine_->voice().name());
        return;
    }
    emit started(false, QString(), {}, QString());
}

bool SpeechWorker::useEngine(const QString &name)
{
    auto engine = std::make_unique<QTextToSpeech>(name);
    if (engine->state() == QTextToSpeech::Error)
        return false;
    // The engine shows the voices of one language at a time: collect them all.
    QList<EngineVoice> all;
    QList<QVoice> found;
    for (const QLocale &locale : engine->availableLocales()) {
        engine->setLocale(locale);
        if (engine->locale() != locale)
            continue;
        for (const QVoice &v : engine->availableVoices()) {
            all << EngineVoice{v.name(), v.locale()};
            found << v;
        }
    }
    if (all.isEmpty())
        for (const QVoice &v : engine->availableVoices()) {
            all << EngineVoice{v.name(), v.locale()};
            found << v;
        }
    const VoiceCatalogue catalogue = catalogueVoices(all, QLocale::system());
    if (catalogue.voices.isEmpty())
        return false;
    voices_.clear();
    for (const EngineVoice &v : catalogue.voices)
        for (const QVoice &q : found)
            if (q.name() == v.name) {
                voices_ << q;
                break;
            }
    engine_ = std::move(engine);
    connect(engine_.get(), &QTextToSpeech::stateChanged, this, [this] { engineStateChanged(); });
    if (catalogue.defaultVoice >= 0)
        select(catalogue.defaultVoice);
    return true;
}

void SpeechWorker::select(int position)
{
    if (!engine_ || position < 0 || position >= voices_.size())
        return;
    const QVoice &voice = voices_[position];
    engine_->setLocale(voice.locale());
    engine_->setVoice(voice);
}

void SpeechWorker::say(const QString &text)
{
    if (engine_)
        queue_.add(text);
}

void SpeechWorker::sayNow(const QString &text)
{
    // Generously longer than any sentence takes to speak.
    watchdog_->start(5000 + 200 * int(text.size()));
    engine_->say(text);
}

void SpeechWorker::engineStateChanged()
{
    const QTextToSpeech::State state = engine_->state();
    if (queue_.speaking() && (state == QTextToSpeech::Ready || state == QTextToSpeech::Error)) {
        watchdog_->stop();
        oneFinished();
    }
}

void SpeechWorker::oneFinished()
{
    emit finishedOne();
    queue_.finished();
    if (leaving_ && !queue_.speaking())
        thread()->quit();
}

void SpeechWorker::leave()
{
    leaving_ = true;
    if (!queue_.speaking())
        thread()->quit();
}

} // namespace platform

// Compiled here, not with the library's other meta-objects, so only what uses the engine
// links Qt TextToSpeech.
#include "moc_SpeechWorker.cpp" // NOLINT(bugprone-suspicious-include)
