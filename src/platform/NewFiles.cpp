#include "platform/NewFiles.h"

#include "platform/RegularFile.h"
#include "platform/TextFile.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <sys/stat.h>
#endif

namespace platform {

namespace {

constexpr int MaxFilesADay = 999;

QString failure(const QString &what, const QString &folder, const QString &why)
{
    QString sentence =
        QStringLiteral("The %1 could not be written to %2: %3")
            .arg(what, QDir::toNativeSeparators(folder), why.isEmpty() ? QStringLiteral("unknown error") : why);
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

enum class Claim { Claimed, Taken, Failed };

// Makes an empty file at the name, only if nothing at all stands there (the system checks and
// makes at once, so no link is followed and nothing else is opened); the file is later
// replaced whole.
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

QString nameDate(const QString &date)
{
    QString out;
    for (const QChar c : date)
        if (c.isDigit() || c == QLatin1Char('-'))
            out += c;
    return out.isEmpty() ? QDate::currentDate().toString(Qt::ISODate) : out;
}

NewFilesWritten writeNewFiles(const QString &folder, const QString &stem, const std::vector<NewFile> &files,
                              const QString &what)
{
    NewFilesWritten out;
    const QString where = QFileInfo(folder).absoluteFilePath();
    QString why;
    if (!makeFolder(where, &why)) {
        out.error = failure(what, where, why);
        return out;
    }
    const QDir dir(where);
    for (int n = 1; n <= MaxFilesADay; ++n) {
        const QString name = n == 1 ? stem : stem + QStringLiteral("-%1").arg(n);
        QStringList paths;
        for (const NewFile &f : files)
            paths << dir.filePath(name + f.suffix);
        if (std::any_of(paths.begin(), paths.end(), [](const QString &p) { return somethingAt(p); }))
            continue;
        QStringList claimed;
        Claim c = Claim::Claimed;
        for (const QString &path : paths) {
            c = claim(path, &why);
            if (c != Claim::Claimed)
                break;
            claimed << path;
        }
        if (c != Claim::Claimed) {
            removeOwn(claimed);
            if (c == Claim::Taken)
                continue;
            out.error = failure(what, where, why);
            return out;
        }
        for (size_t i = 0; i < files.size(); ++i)
            if (!writeFileAtomically(paths[qsizetype(i)], files[i].bytes, {}, &why)) {
                removeOwn(paths);
                out.error = failure(what, where, why);
                return out;
            }
        out.ok = true;
        out.paths = paths;
        return out;
    }
    out.error = failure(what, where,
                        QStringLiteral("there are already %1 %2 files of %3")
                            .arg(QString::number(MaxFilesADay), what, stem.section(QLatin1Char('-'), -3)));
    return out;
}

} // namespace platform
