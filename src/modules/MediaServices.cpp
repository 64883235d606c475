#include "modules/MediaServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLibrary>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace platform {

namespace {

// Whether a window of the program has painted yet: after that, a module asked for is loaded
// at the event loop's next turn.
bool windowPainted = false;

// Waits for the first paint of a window, then for the event loop's next turn (the frame is
// on the screen by then).
class FirstPaintWatcher : public QObject {
public:
    explicit FirstPaintWatcher(std::function<void()> then) : then_(std::move(then))
    {
        QCoreApplication::instance()->installEventFilter(this);
        // A program whose window never paints (hidden, or no screen) still gets its sound.
        QTimer::singleShot(3000, this, [this] { fire(); });
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
            windowPainted = true;
            QTimer::singleShot(0, this, [this] { fire(); });
        }
        return false;
    }

private:
    void fire()
    {
        if (!then_)
            return;
        QCoreApplication::instance()->removeEventFilter(this);
        const std::function<void()> then = std::move(then_);
        then_ = nullptr;
        then();
    }

    std::function<void()> then_;
};

} // namespace

MediaLoader::MediaLoader(QString moduleFile) : moduleFile_(std::move(moduleFile)) {}

MediaLoader::~MediaLoader() = default;

void MediaLoader::loadAfterFirstPaint()
{
    if (tried_ || watcher_)
        return;
    if (windowPainted) {
        watcher_ = std::make_unique<QObject>();
        QTimer::singleShot(0, watcher_.get(), [this] { services(); });
        return;
    }
    watcher_ = std::make_unique<FirstPaintWatcher>([this] { services(); });
}

MediaServices *MediaLoader::services()
{
    if (tried_)
        return services_.get();
    tried_ = true;
    // The module stays loaded for the rest of the run: its threads may outlive any caller.
    QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(moduleFile_));
    module.setLoadHints(QLibrary::PreventUnloadHint);
    auto *create = reinterpret_cast<CreateMediaServices *>(module.resolve(CreateMediaServicesSymbol));
    if (create)
        services_.reset(create());
    else
        qWarning("Going on without %s: %s", qPrintable(moduleFile_), qPrintable(module.errorString()));
    const std::vector<std::function<void()>> waiting = std::exchange(waiting_, {});
    for (const std::function<void()> &done : waiting)
        done();
    return services_.get();
}

void MediaLoader::whenLoaded(std::function<void()> done)
{
    if (tried_) {
        done();
        return;
    }
    waiting_.push_back(std::move(done));
    loadAfterFirstPaint();
}

Sound *LateSound::loaded()
{
    MediaServices *media = loader_.services();
    return media ? media->sound : nullptr;
}

bool LateSound::play(const QString &path, int flags)
{
    Sound *sound = loaded();
    return sound && sound->play(path, flags);
}

void LateSound::prepare()
{
    loader_.whenLoaded([] {});
}

Speech *LateSpeech::engine()
{
    MediaServices *media = loader_.services();
    return media ? media->speech : nullptr;
}

bool LateSpeech::ready()
{
    if (!loader_.loaded())
        return false;
    Speech *speech = engine();
    return !speech || speech->ready();
}

void LateSpeech::whenReady(std::function<void()> done)
{
    loader_.whenLoaded([this, done = std::move(done)]() mutable {
        if (Speech *speech = engine())
            speech->whenReady(std::move(done));
        else
            done();
    });
}

bool LateSpeech::create()
{
    Speech *speech = engine();
    return speech && speech->create();
}

QString LateSpeech::currentVoiceName()
{
    Speech *speech = engine();
    return speech ? speech->currentVoiceName() : QString();
}

int LateSpeech::voiceCount()
{
    Speech *speech = engine();
    return speech ? speech->voiceCount() : 0;
}

QString LateSpeech::voiceName(int position)
{
    Speech *speech = engine();
    return speech ? speech->voiceName(position) : QString();
}

bool LateSpeech::selectVoice(int position)
{
    Speech *speech = engine();
    return speech && speech->selectVoice(position);
}

void LateSpeech::speak(const QString &text)
{
    if (Speech *speech = engine())
        speech->speak(text);
}

// A module not loaded has no engine to let go, unless someone is waiting to start one.
void LateSpeech::release()
{
    if (loader_.loaded()) {
        if (Speech *speech = engine())
            speech->release();
    } else if (loader_.awaited()) {
        loader_.whenLoaded([this] { release(); });
    }
}

ScreenSaver *LateScreenSaver::loaded()
{
    MediaServices *media = loader_.services();
    return media ? media->screenSaver : nullptr;
}

void LateScreenSaver::inhibit()
{
    if (ScreenSaver *screenSaver = loaded())
        screenSaver->inhibit();
}

void LateScreenSaver::release()
{
    // Nothing to give back when nothing was ever asked.
    if (!loader_.loaded())
        return;
    if (ScreenSaver *screenSaver = loaded())
        screenSaver->release();
}

ClockPublisher *LatePublisher::loaded() const
{
    if (!loader_.loaded())
        return nullptr;
    MediaServices *media = loader_.services();
    return media ? media->publisher : nullptr;
}

ClockPublisher *LatePublisher::load(QString *why)
{
    MediaServices *media = loader_.services();
    if (!media || !media->publisher) {
        if (why)
            *why = QStringLiteral("The network module could not be loaded.");
        return nullptr;
    }
    media->publisher->setActionHandler(handler_);
    media->publisher->setControlChanged(controlChanged_);
    media->publisher->setAddressFile(addressFile_);
    if (std::exchange(forgetKeptControl_, false))
        media->publisher->forgetKeptControl();
    return media->publisher;
}

bool LatePublisher::start(QString *why)
{
    ClockPublisher *p = load(why);
    return p && p->start(why);
}

void LatePublisher::setAddressFile(const QString &path)
{
    addressFile_ = path;
    if (ClockPublisher *p = loaded())
        p->setAddressFile(path);
}

bool LatePublisher::renewAddress(QString *why)
{
    ClockPublisher *p = load(why);
    return p && p->renewAddress(why);
}

QStringList LatePublisher::alsoReachable() const
{
    const ClockPublisher *p = loaded();
    return p ? p->alsoReachable() : QStringList();
}

bool LatePublisher::noNetwork() const
{
    const ClockPublisher *p = loaded();
    return p && p->noNetwork();
}

bool LatePublisher::addressMoved() const
{
    const ClockPublisher *p = loaded();
    return p && p->addressMoved();
}

void LatePublisher::forgetKeptControl()
{
    if (ClockPublisher *p = loaded())
        p->forgetKeptControl();
    else
        forgetKeptControl_ = true;
}

QString LatePublisher::addressNotKept() const
{
    const ClockPublisher *p = loaded();
    return p ? p->addressNotKept() : QString();
}

void LatePublisher::stop()
{
    if (ClockPublisher *p = loaded())
        p->stop();
}

bool LatePublisher::running() const
{
    const ClockPublisher *p = loaded();
    return p && p->running();
}

QString LatePublisher::address() const
{
    const ClockPublisher *p = loaded();
    return p ? p->address() : QString();
}

QString LatePublisher::pin() const
{
    // The PIN is the server's, made when the module is loaded.
    MediaServices *media = loader_.services();
    return media && media->publisher ? media->publisher->pin() : QString();
}

QImage LatePublisher::qrCode() const
{
    const ClockPublisher *p = loaded();
    return p ? p->qrCode() : QImage();
}

QString LatePublisher::controlLink() const
{
    const ClockPublisher *p = loaded();
    return p ? p->controlLink() : QString();
}

QImage LatePublisher::controlCode() const
{
    const ClockPublisher *p = loaded();
    return p ? p->controlCode() : QImage();
}

int LatePublisher::phonesWithControl() const
{
    const ClockPublisher *p = loaded();
    return p ? p->phonesWithControl() : 0;
}

void LatePublisher::revokeControl()
{
    if (ClockPublisher *p = loaded())
        p->revokeControl();
}

void LatePublisher::setControlChanged(std::function<void()> changed)
{
    controlChanged_ = std::move(changed);
    if (ClockPublisher *p = loaded())
        p->setControlChanged(controlChanged_);
}

void LatePublisher::publish(const DisplayState &state)
{
    if (ClockPublisher *p = loaded())
        p->publish(state);
}

void LatePublisher::setActionHandler(std::function<GameReply(const GameCommand &)> handler)
{
    handler_ = std::move(handler);
    if (ClockPublisher *p = loaded())
        p->setActionHandler(handler_);
}

} // namespace platform
