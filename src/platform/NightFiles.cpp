#include "platform/NightFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <utility>

namespace platform {

QString resultsFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("results"));
}

QString sheetsFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sheets"));
}

NewFilesWritten writeResults(const QString &folder, const tournament::Results &results)
{
    return writeNewFiles(folder, QStringLiteral("chiplark-results-") + nameDate(results.date),
                         {{QStringLiteral(".csv"), tournament::resultsCsv(results)},
                          {QStringLiteral(".html"), tournament::resultsHtml(results)}},
                         QStringLiteral("results"));
}

NewFilesWritten writeSheet(const QString &folder, const QString &date, const QByteArray &page)
{
    return writePage(folder, QStringLiteral("sheet"), QStringLiteral("sheet"), date, page);
}

NewFilesWritten writePage(const QString &folder, const QString &kind, const QString &what, const QString &date,
                          const QByteArray &page)
{
    return writeNewFiles(folder, QStringLiteral("chiplark-%1-").arg(kind) + nameDate(date),
                         {{QStringLiteral(".html"), page}}, what);
}

NightFilesWriter::NightFilesWriter(QString folder, QObject *parent)
    : QObject(parent), folder_(std::move(folder)), worker_(new QObject)
{
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

NightFilesWriter::~NightFilesWriter()
{
    // Queued behind every write asked, so each of them is done before the thread ends.
    QMetaObject::invokeMethod(
        worker_, [this] { thread_.quit(); }, Qt::QueuedConnection);
    thread_.wait();
}

void NightFilesWriter::write(const tournament::Results &results)
{
    write([results](const QString &folder) { return writeResults(folder, results); });
}

void NightFilesWriter::write(const QString &date, const QByteArray &page)
{
    write([date, page](const QString &folder) { return writeSheet(folder, date, page); });
}

void NightFilesWriter::writeCards(const QString &date, const QByteArray &page)
{
    write([date, page](const QString &folder) {
        return writePage(folder, QStringLiteral("tables"), QStringLiteral("table cards"), date, page);
    });
}

void NightFilesWriter::post(std::function<std::function<void()>()> work)
{
    QMetaObject::invokeMethod(
        worker_,
        [this, work = std::move(work)] {
            std::function<void()> then = work();
            QMetaObject::invokeMethod(this, std::move(then), Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void NightFilesWriter::write(std::function<NewFilesWritten(const QString &folder)> files)
{
    QMetaObject::invokeMethod(
        worker_,
        [this, files = std::move(files)] {
            const NewFilesWritten done = files(folder_);
            // Told on this object's own thread; dropped if it is gone by then.
            QMetaObject::invokeMethod(
                this, [this, done] { emit written(done); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace platform
