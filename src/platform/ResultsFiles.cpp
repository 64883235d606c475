#include "platform/ResultsFiles.h"

#include "platform/RegularFile.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

#ifndef Q_OS_WIN
#include <cerrno>
#include <sys/stat.h>
#endif

namespace platform {

namespace {

constexpr int MaxFilesADay = 999;

QString failure(const QString &folder, const QString &why)
{
    QString sentence =
        QStringLiteral("The results could not be written to %1: %2")
            .arg(QDir::toNativeSeparators(folder), why.isEmpty() ? QStringLiteral("unknown error") : why);
    if (!sentence.endsWith(QLatin1Char('.')))
        sentence += QLatin1Char('.');
    return sentence;
}

// The folder, made when it is missing (with the folders above it); a link to a folder will do.
bool makeFolder(const QString &path, QString *why)
{
    if (QFileInfo(path).isDir())
        return true;
    if (somethingAt(path)) { // a file, a FIFO, a dangling link...
        *why = QStringLiteral("it is not a folder");
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath()); // when it fails, the folder's own mkdir says why
#ifndef Q_OS_WIN
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return true;
    const int error = errno;
    if (QFileInfo(path).isDir()) // made meanwhile by someone else
        return true;
    *why = qt_error_string(error);
#else
    if (QDir().mkdir(path) || QFileInfo(path).isDir())
        return true;
    *why = QStringLiteral("the folder could not be made");
#endif
    return false;
}

// The day in the file's name, in digits and dashes only: no other folder can be named.
QString nameDate(const QString &date)
{
    QString out;
    for (const QChar c : date)
        if (c.isDigit() || c == QLatin1Char('-'))
            out += c;
    return out.isEmpty() ? QDate::currentDate().toString(Qt::ISODate) : out;
}

enum class Claim { Claimed, Taken, Failed };

// Makes an empty file at the name, only if nothing at all stands there (the system checks and
// makes at once, so no link is followed and nothing else is opened); the file is later
// replaced whole by the results.
Claim claim(const QString &path, QString *why)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Claim::Claimed;
    if (somethingAt(path))
        return Claim::Taken;
    *why = file.errorString();
    return Claim::Failed;
}

// Takes away what this write left at the names: never anything but a regular file.
void removeOwn(const QStringList &paths)
{
    for (const QString &path : paths)
        if (isRegularFile(path) && !QFileInfo(path).isSymLink())
            QFile::remove(path);
}

} // namespace

QString resultsFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("results"));
}

ResultsWritten writeResults(const QString &folder, const tournament::Results &results)
{
    ResultsWritten out;
    const QString where = QFileInfo(folder).absoluteFilePath();
    QString why;
    if (!makeFolder(where, &why)) {
        out.error = failure(where, why);
        return out;
    }
    const QDir dir(where);
    const QString stem = QStringLiteral("chiplark-results-") + nameDate(results.date);
    for (int n = 1; n <= MaxFilesADay; ++n) {
        const QString name = n == 1 ? stem : stem + QStringLiteral("-%1").arg(n);
        const QString csv = dir.filePath(name + QStringLiteral(".csv"));
        const QString html = dir.filePath(name + QStringLiteral(".html"));
        if (somethingAt(csv) || somethingAt(html))
            continue;
        const Claim first = claim(csv, &why);
        if (first == Claim::Taken)
            continue;
        if (first == Claim::Failed) {
            out.error = failure(where, why);
            return out;
        }
        const Claim second = claim(html, &why);
        if (second != Claim::Claimed) {
            removeOwn({csv});
            if (second == Claim::Taken)
                continue;
            out.error = failure(where, why);
            return out;
        }
        if (!writeFileAtomically(csv, tournament::resultsCsv(results), {}, &why)
            || !writeFileAtomically(html, tournament::resultsHtml(results), {}, &why)) {
            removeOwn({csv, html});
            out.error = failure(where, why);
            return out;
        }
        out.ok = true;
        out.csvPath = csv;
        out.htmlPath = html;
        return out;
    }
    out.error = failure(
        where,
        QStringLiteral("there are already %1 results files of %2").arg(MaxFilesADay).arg(nameDate(results.date)));
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
