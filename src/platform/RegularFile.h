#pragma once
// Reading files that a hostile folder may hold: only regular files are opened (also behind
// symbolic links), so nothing blocks in open() on a FIFO or reads without end from a
// device, and no read grows past a bound.

#include <QByteArray>
#include <QString>

namespace platform {

enum class FileState {
    Missing,    // nothing at the path
    Regular,    // a regular file that could be read
    Unreadable, // something is there that cannot or must not be read
};

struct FileContents {
    FileState state = FileState::Missing;
    QByteArray bytes;
    bool cut = false; // only the first bytes up to the bound were read
};

// Reads a regular file. Anything else (a folder, a FIFO, a device, a socket, a file without
// read permission, one that fails to read, a dangling link) is Unreadable, as is a file over the bound
// when cutting is not allowed; with cutting allowed its first bytes up to the bound are read.
FileContents readRegularFile(const QString &path, qint64 bound, bool cutAtBound);

// True for a regular file, following links; never opens the file.
bool isRegularFile(const QString &path);

// True when anything at all stands at the path, a dangling link included.
bool somethingAt(const QString &path);

// Takes away the temporary files that an interrupted save of this program left in the folder.
void removeStaleTemporaries(const QString &folder);

} // namespace platform
