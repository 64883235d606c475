#include "media/QtSpeech.h"

#include "media/SpeechWorker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace platform {

QtSpeech::QtSpeech() = default;

QtSpeech::~QtSpeech()
{
    std::vector<QPointer<QThread>> threads = std::move(leaving_);
    threads.emplace_back(thread_);
    // A speech server that hangs must not hang the program's end: a thread still held up
    // after this long is left to end with the process.
    QDeadlineTimer deadline(3000);
    for (const QPointer<QThread> &thread : threads) {
        if (!thread)
            continue;
        thread->quit();
        if (thread->wait(deadline))
            delete thread;
    }
}

void QtSpeech::start()
{
    releaseWhenReady_ = false;
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
    if (std::exchange(releaseWhenReady_, false))
        release();
}

// The engine's thread says what is queued, then ends, closing the engine and its connection:
// a speech server started for it leaves a few seconds later. One still starting is let go
// once it has started, after those waiting for it have been answered.
void QtSpeech::release()
{
    if (!thread_)
        return;
    if (!ready_) {
        releaseWhenReady_ = true;
        return;
    }
    disconnect(worker_, nullptr, this, nullptr);
    QThread *thread = std::exchange(thread_, nullptr);
    SpeechWorker *worker = std::exchange(worker_, nullptr);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    leaving_.erase(
        std::remove_if(leaving_.begin(), leaving_.end(), [](const QPointer<QThread> &t) { return t.isNull(); }),
        leaving_.end());
    leaving_.emplace_back(thread);
    QMetaObject::invokeMethod(worker, &SpeechWorker::leave, Qt::QueuedConnection);
    ready_ = false;
    ok_ = false;
    engineName_.clear();
    names_.clear();
    current_.clear();
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
