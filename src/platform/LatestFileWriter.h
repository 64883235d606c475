#pragma once
// A file kept up to date by a thread of its own, so that whoever asks never waits for the
// disk: a slow disk (a USB stick) delays the file, never the clock.
//
// It keeps one file, and the latest request wins: a write replaces one still waiting, a
// remove cancels a write not yet begun, and a write asked after a remove follows it. Each is
// done after the one in progress, so a remove is never overtaken by an older write. Writes
// come at most one per gap (the latest bytes always follow once it has passed), each
// replaced whole with writeFileAtomically, and only where nothing or a regular file stands;
// a remove takes away only a regular file. A write that fails is tried again (after the
// retry, or at once when finished or stopped) until a newer one replaces it; the host is
// told when the file stops being kept and again when it is kept once more (by default on
// stderr).

#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {

class LatestFileWriter {
public:
    static constexpr std::chrono::milliseconds DefaultGap{250};
    static constexpr std::chrono::milliseconds DefaultRetry{5000};

    // what: the file's contents in the report, "The game in progress is not kept in <path>:
    // <why>. Chiplark keeps trying." ownerOnly: a new file only its owner may read.
    explicit LatestFileWriter(QString what, std::chrono::milliseconds gap = DefaultGap,
                              std::chrono::milliseconds retry = DefaultRetry, bool ownerOnly = false);
    // Does everything asked first.
    ~LatestFileWriter();
    LatestFileWriter(const LatestFileWriter &) = delete;
    LatestFileWriter &operator=(const LatestFileWriter &) = delete;

    // Both return at once; the work is done on the writer's thread.
    void write(const QString &path, const QByteArray &bytes);
    void remove(const QString &path);
    // Waits until everything asked so far is done, the last write without waiting for its gap
    // (a write that failed is tried once, then left to its retry).
    void finish();

    // The writes that reached the disk.
    int written() const;

    // For tests: run on the writer's thread before each write (it may block to stand for a
    // slow disk).
    void setBeforeWrite(std::function<void(const QString &path)> hook);
    // Where the host is told, instead of stderr: called on the writer's thread, with kept
    // false when a write fails after the file was kept (or at the first), and true when one
    // succeeds again.
    void setReport(std::function<void(bool kept, const QString &line)> report);

private:
    struct Write {
        QString path;
        QByteArray bytes;
    };
    void run();
    // The write itself, outside the lock: false when nothing was written, with the reason
    // when it failed (none when the file was left alone as it is not a regular file).
    bool writeNow(const Write &w, QString *why) const;

    void tell(bool kept, const QString &path, const QString &why);

    const QString what_;
    const std::chrono::milliseconds gap_;
    const std::chrono::milliseconds retry_;
    const bool ownerOnly_;
    mutable std::mutex mutex_;
    std::condition_variable wake_; // something to do, or to stop
    std::condition_variable done_; // a request was done
    // Waiting: at most a remove and then a write, done in that order.
    std::optional<QString> remove_;
    std::optional<Write> write_;
    bool busy_ = false; // a request is being done outside the lock
    int finishing_ = 0; // callers of finish(): no gap is waited for
    bool stopping_ = false;
    bool retrying_ = false; // the write waiting is one that failed
    bool failing_ = false;  // the last write failed, and the host was told
    int written_ = 0;
    std::chrono::steady_clock::time_point due_ = std::chrono::steady_clock::time_point::min();
    std::function<void(const QString &)> beforeWrite_;
    std::function<void(bool, const QString &)> report_;
    std::thread thread_; // last: started once everything above is set
};

} // namespace platform
