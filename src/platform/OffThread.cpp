#include "platform/OffThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <thread>

namespace platform {

void runOffThread(const std::function<void()> &work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        work();
        return;
    }
    QEventLoop loop;
    std::thread worker([&] {
        work();
        // Queued: the loop below takes it once it runs, even if the work was done before.
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // Typing and clicks wait for the work to be done; they are not lost.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
}

} // namespace platform
