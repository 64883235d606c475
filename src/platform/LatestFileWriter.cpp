#include "platform/LatestFileWriter.h"

#include "platform/RegularFile.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <utility>

namespace platform {

LatestFileWriter::LatestFileWriter(QString what, std::chrono::milliseconds gap, std::chrono::milliseconds retry,
                                   bool ownerOnly)
    : what_(std::move(what)), gap_(gap), retry_(retry), ownerOnly_(ownerOnly), thread_([this] { run(); })
{}

LatestFileWriter::~LatestFileWriter()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void LatestFileWriter::write(const QString &path, const QByteArray &bytes)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        write_ = Write{path, bytes};
        retrying_ = false;
    }
    wake_.notify_all();
}

void LatestFileWriter::remove(const QString &path)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        write_.reset(); // the file goes: no older state may follow it onto the disk
        remove_ = path;
    }
    wake_.notify_all();
}

void LatestFileWriter::finish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    ++finishing_;
    wake_.notify_all();
    // A write waiting to be tried again after a failure is not waited for.
    done_.wait(lock, [this] { return !busy_ && !remove_ && (!write_ || retrying_); });
    --finishing_;
}

int LatestFileWriter::written() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return written_;
}

void LatestFileWriter::setBeforeWrite(std::function<void(const QString &)> hook)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    beforeWrite_ = std::move(hook);
}

void LatestFileWriter::setReport(std::function<void(bool, const QString &)> report)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    report_ = std::move(report);
}

void LatestFileWriter::run()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || remove_ || write_; });
        if (remove_) {
            const QString path = *remove_;
            remove_.reset();
            failing_ = false; // nothing is to be kept any more
            busy_ = true;
            lock.unlock();
            if (isRegularFile(path))
                QFile::remove(path);
            lock.lock();
        } else if (write_) {
            // The gap since the last write unless someone waits for the file, and the retry
            // after a failure in any case, until the end.
            if (!stopping_ && (finishing_ == 0 || retrying_) && Clock::now() < due_) {
                wake_.wait_until(lock, due_, [this] {
                    return stopping_ || !write_ || (finishing_ > 0 && !retrying_) || remove_.has_value();
                });
                continue;
            }
            Write w = std::move(*write_);
            write_.reset();
            retrying_ = false;
            busy_ = true;
            const auto hook = beforeWrite_;
            lock.unlock();
            if (hook)
                hook(w.path);
            QString why;
            const bool done = writeNow(w, &why);
            lock.lock();
            due_ = Clock::now() + (done || why.isEmpty() ? gap_ : retry_);
            if (done) {
                ++written_;
                if (std::exchange(failing_, false))
                    tell(true, w.path, QString());
            } else if (!why.isEmpty()) {
                if (!std::exchange(failing_, true))
                    tell(false, w.path, why);
                // Tried again after the retry, unless something newer is asked meanwhile; no
                // one waits for a disk that stays full.
                if (!write_ && !remove_ && !stopping_) {
                    write_ = std::move(w);
                    retrying_ = true;
                }
            }
        } else {
            return; // stopping, with nothing left to do
        }
        busy_ = false;
        done_.notify_all();
    }
}

// Called with the lock held: the report must not ask anything of this writer.
void LatestFileWriter::tell(bool kept, const QString &path, const QString &why)
{
    QString what = what_;
    if (!what.isEmpty())
        what[0] = what[0].toUpper();
    const QString where = QDir::toNativeSeparators(path);
    const QString line = kept
                             ? QStringLiteral("%1 is kept again in %2.").arg(what, where)
                             : QStringLiteral("%1 is not kept in %2: %3. Chiplark keeps trying.").arg(what, where, why);
    if (report_)
        report_(kept, line);
    else
        std::fprintf(stderr, "Chiplark: %s\n", qPrintable(line));
}

bool LatestFileWriter::writeNow(const Write &w, QString *why) const
{
    // Only a regular file is ever replaced; anything else is left as it is, unreported.
    if (somethingAt(w.path) && !isRegularFile(w.path))
        return false;
    if (writeFileAtomically(w.path, w.bytes, {}, why, ownerOnly_))
        return true;
    if (why->isEmpty())
        *why = QStringLiteral("it could not be written");
    return false;
}

} // namespace platform
