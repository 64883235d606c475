#include "platform/ResultsFiles.h"

#include "platform/NewFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <utility>

namespace platform {

QString resultsFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("results"));
}

ResultsWritten writeResults(const QString &folder, const tournament::Results &results)
{
    const NewFilesWritten w = writeNewFiles(folder, QStringLiteral("chiplark-results-") + nameDate(results.date),
                                            {{QStringLiteral(".csv"), tournament::resultsCsv(results)},
                                             {QStringLiteral(".html"), tournament::resultsHtml(results)}},
                                            QStringLiteral("results"));
    ResultsWritten out;
    out.ok = w.ok;
    out.error = w.error;
    if (w.ok) {
        out.csvPath = w.paths.at(0);
        out.htmlPath = w.paths.at(1);
    }
    return out;
}

ResultsWriter::ResultsWriter(QString folder, QObject *parent)
    : QObject(parent), folder_(std::move(folder)), worker_(new QObject)
{
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

ResultsWriter::~ResultsWriter()
{
    // Queued behind every write asked, so each of them is done before the thread ends.
    QMetaObject::invokeMethod(
        worker_, [this] { thread_.quit(); }, Qt::QueuedConnection);
    thread_.wait();
}

void ResultsWriter::write(const tournament::Results &results)
{
    QMetaObject::invokeMethod(
        worker_,
        [this, results] {
            const ResultsWritten done = writeResults(folder_, results);
            // Told on this object's own thread; dropped if it is gone by then.
            QMetaObject::invokeMethod(
                this, [this, done] { emit written(done); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace platform
