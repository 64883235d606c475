#include "platform/SheetFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <utility>

namespace platform {

QString sheetsFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sheets"));
}

NewFilesWritten writeSheet(const QString &folder, const QString &date, const QByteArray &page)
{
    return writeNewFiles(folder, QStringLiteral("chiplark-sheet-") + nameDate(date), {{QStringLiteral(".html"), page}},
                         QStringLiteral("sheet"));
}

SheetWriter::SheetWriter(QString folder, QObject *parent)
    : QObject(parent), folder_(std::move(folder)), worker_(new QObject)
{
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

SheetWriter::~SheetWriter()
{
    // Queued behind every write asked, so each of them is done before the thread ends.
    QMetaObject::invokeMethod(
        worker_, [this] { thread_.quit(); }, Qt::QueuedConnection);
    thread_.wait();
}

void SheetWriter::write(const QString &date, const QByteArray &page)
{
    QMetaObject::invokeMethod(
        worker_,
        [this, date, page] {
            const NewFilesWritten done = writeSheet(folder_, date, page);
            // Told on this object's own thread; dropped if it is gone by then.
            QMetaObject::invokeMethod(
                this, [this, done] { emit written(done); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace platform
