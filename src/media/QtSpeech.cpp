#include "media/QtSpeech.h"

#include "media/SpeechWorker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace platform {

QtSpeech::QtSpeech() = default;

QtSpeech::~QtSpeech()
{
    if (!thread_)
        return;
    thread_->quit();
    // A speech server that hangs must not hang the program's end: a thread still held up
    // after this long is left to end with the process.
    if (thread_->wait(3000))
        delete thread_;
}

void QtSpeech::start()
{
    if (thread_)
        return;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("speech"));
    worker_ = new SpeechWorker;
    worker_->moveToThread(thread_);
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SpeechWorker::started, this, &QtSpeech::started);
    connect(worker_, &SpeechWorker::finishedOne, this, [this] { ++finished_; });
    thread_->start();
    QMetaObject::invokeMethod(worker_, &SpeechWorker::start, Qt::QueuedConnection);
}

void QtSpeech::started(bool ok, const QString &engine, const QStringList &names, const QString &current)
{
    ready_ = true;
    ok_ = ok;
    engineName_ = engine;
    names_ = names;
    current_ = current;
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (auto &done : waiting)
        done();
}

void QtSpeech::whenReady(std::function<void()> done)
{
    if (ready_) {
        done();
        return;
    }
    waiting_.push_back(std::move(done));
    start();
}

bool QtSpeech::waitUntilReady(int milliseconds)
{
    if (ready_)
        return true;
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    whenReady([waiting] {
        if (waiting)
            waiting->quit();
    });
    loop.exec();
    return ready_;
}

bool QtSpeech::create()
{
    start();
    return ready_ && ok_ && !names_.isEmpty();
}

QString QtSpeech::currentVoiceName()
{
    return current_;
}

int QtSpeech::voiceCount()
{
    return int(names_.size());
}

QString QtSpeech::voiceName(int position)
{
    return position >= 0 && position < names_.size() ? names_[position] : QString();
}

bool QtSpeech::selectVoice(int position)
{
    if (position < 0 || position >= names_.size())
        return false;
    current_ = names_[position];
    QMetaObject::invokeMethod(
        worker_, [w = worker_, position] { w->select(position); }, Qt::QueuedConnection);
    return true;
}

void QtSpeech::speak(const QString &text)
{
    start();
    QMetaObject::invokeMethod(
        worker_, [w = worker_, text] { w->say(text); }, Qt::QueuedConnection);
}

} // namespace platform

// Compiled here, not with the library's other meta-objects, so only what uses the engine
// links Qt TextToSpeech.
#include "moc_QtSpeech.cpp" // NOLINT(bugprone-suspicious-include)
