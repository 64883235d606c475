#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

#ifndef Q_OS_WIN

FileContents readRegularFile(const QString &path, qint64 bound, bool cutAtBound)
{
    FileContents c;
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    if (::stat(name.constData(), &before) != 0) {
        c.state =
            (errno == ENOENT || errno == ENOTDIR) && !somethingAt(path) ? FileState::Missing : FileState::Unreadable;
        return c;
    }
    c.state = FileState::Unreadable;
    if (!S_ISREG(before.st_mode))
        return c;
    // O_NONBLOCK: a FIFO put in the file's place since the look above cannot block the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return c;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return c;
    }
    if (st.st_size > bound && !cutAtBound) {
        ::close(fd);
        return c;
    }
    const qint64 want = std::min<qint64>(st.st_size, bound);
    c.bytes.resize(want);
    qint64 got = 0;
    bool failed = false;
    while (got < want) {
        const ssize_t n = ::read(fd, c.bytes.data() + got, size_t(want - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failed = true;
            break;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    if (failed)
        return c;
    c.bytes.resize(got);
    c.cut = st.st_size > bound;
    c.state = FileState::Regular;
    return c;
}

bool isRegularFile(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool somethingAt(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

#else

FileContents readRegularFile(const QString &path, qint64 bound, bool cutAtBound)
{
    FileContents c;
    const QFileInfo info(path);
    if (!info.exists()) {
        c.state = info.isSymLink() ? FileState::Unreadable : FileState::Missing;
        return c;
    }
    c.state = FileState::Unreadable;
    if (!info.isFile())
        return c;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || (f.size() > bound && !cutAtBound))
        return c;
    c.bytes = f.read(bound);
    c.cut = f.size() > bound;
    c.state = FileState::Regular;
    return c;
}

bool isRegularFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

bool somethingAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

#endif

void removeStaleTemporaries(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList({QStringLiteral(".chiplark-??????.tmp")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        QFile::remove(dir.filePath(name));
}

} // namespace platform
