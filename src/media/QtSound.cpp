#include "media/QtSound.h"

#include "announce/WavInfo.h"

#include <QSemaphore>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace platform {

// Lives on the sound thread; plays one file at a time and says when it has ended.
class SoundWorker : public QObject {
public:
    void play(const QString &path, qint64 durationMs, std::shared_ptr<QSemaphore> ended)
    {
        if (!effect_) {
            effect_ = new QSoundEffect(this);
            // Some outputs never say that a sound has ended: it has once its length has
            // passed since it began.
            end_ = new QTimer(this);
            end_->setSingleShot(true);
            connect(end_, &QTimer::timeout, this, [this] { release(); });
            connect(effect_, &QSoundEffect::playingChanged, this, [this] {
                if (!effect_->isPlaying())
                    release();
                else
                    end_->start(int(durationMs_) + 60);
            });
            connect(effect_, &QSoundEffect::statusChanged, this, [this] {
                if (effect_->status() == QSoundEffect::Error)
                    release();
            });
        }
        release();
        effect_->stop(); // may say the earlier sound ended: not the new one
        ended_ = std::move(ended);
        durationMs_ = durationMs;
        effect_->setSource(QUrl::fromLocalFile(path));
        effect_->play();
    }

private:
    void release()
    {
        if (end_)
            end_->stop();
        if (ended_)
            ended_->release();
        ended_.reset();
    }

    QSoundEffect *effect_ = nullptr;
    QTimer *end_ = nullptr;
    qint64 durationMs_ = 0;
    std::shared_ptr<QSemaphore> ended_;
};

QtSound::QtSound()
{
    worker_ = new SoundWorker;
    worker_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

QtSound::~QtSound()
{
    thread_.quit();
    thread_.wait(2000);
}

bool QtSound::play(const QString &path, int flags)
{
    // Only a WAV file that can be read is played: anything else is silence.
    const std::optional<WavInfo> info = readWavInfo(path);
    if (!info)
        return false;
    auto ended = std::make_shared<QSemaphore>();
    const qint64 duration = std::min<qint64>(info->durationMs(), 10 * 60 * 1000);
    QMetaObject::invokeMethod(
        worker_, [worker = worker_, path, duration, ended] { worker->play(path, duration, ended); },
        Qt::QueuedConnection);
    if (flags == Sync)
        ended->tryAcquire(1, int(duration) + MarginMs);
    return true;
}

} // namespace platform
