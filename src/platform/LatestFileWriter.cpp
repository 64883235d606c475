#include "platform/LatestFileWriter.h"

#include "platform/RegularFile.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <utility>

namespace platform {

LatestFileWriter::LatestFileWriter(QString what, std::chrono::milliseconds gap)
    : what_(std::move(what)), gap_(gap), thread_([this] { run(); })
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
    done_.wait(lock, [this] { return !busy_ && !remove_ && !write_; });
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

void LatestFileWriter::setReport(std::function<void(const QString &)> report)
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
            busy_ = true;
            lock.unlock();
            if (isRegularFile(path))
                QFile::remove(path);
            lock.lock();
        } else if (write_) {
            // The gap since the last write, unless someone waits for the file (or it is the end).
            const Clock::time_point due = lastWrite_ + gap_;
            if (finishing_ == 0 && !stopping_ && Clock::now() < due) {
                wake_.wait_until(lock, due, [this] { return stopping_ || finishing_ > 0 || !write_; });
                continue;
            }
            const Write w = std::move(*write_);
            write_.reset();
            busy_ = true;
            const auto hook = beforeWrite_;
            lock.unlock();
            if (hook)
                hook(w.path);
            QString why;
            const bool done = writeNow(w, &why);
            lock.lock();
            lastWrite_ = Clock::now();
            if (done)
                ++written_;
            else if (!why.isEmpty() && !std::exchange(reported_, true)) {
                const QString line = QStringLiteral("Chiplark: %1 is not kept in %2: %3")
                                         .arg(what_, QDir::toNativeSeparators(w.path), why);
                if (report_)
                    report_(line);
                else
                    std::fprintf(stderr, "%s\n", qPrintable(line));
            }
        } else {
            return; // stopping, with nothing left to do
        }
        busy_ = false;
        done_.notify_all();
    }
}

bool LatestFileWriter::writeNow(const Write &w, QString *why)
{
    // Only a regular file is ever replaced; anything else is left as it is, unreported.
    if (somethingAt(w.path) && !isRegularFile(w.path))
        return false;
    if (writeFileAtomically(w.path, w.bytes, {}, why))
        return true;
    if (why->isEmpty())
        *why = QStringLiteral("it could not be written");
    return false;
}

} // namespace platform
