#pragma once
// Settings-file access: one value read or written per call, as the program has always done.
// A reading or a writing can be opened around a run of calls: the file is then read once
// for all the reads, and replaced once for all the writes.

#include <QString>

namespace modRegistry {

// A settings file larger than this is not the program's: it is never read or replaced.
constexpr qint64 MaxSettingsBytes = 1024 * 1024;

enum class FileAccess {
    Missing,    // no file yet: the values read as empty, a save makes it
    Readable,   // read
    Unreadable, // there, but not to be read (not a regular file, no permission, I/O error,
                // too large): the values read as empty and it is never written
};

// Remembers the file that ReadIniVal reads.
void SetIniPath(const QString &path);
// The value up to its first NUL, at most 254 characters; empty when the file, section or
// key is missing.
QString ReadIniVal(const QString &section, const QString &key);
// Writes one value; the file is replaced whole. The result is always 0.
qint16 WriteIniVal(const QString &file, const QString &value, const QString &section, const QString &key);

// Reads the file once; ReadIniVal and GetIniVal serve every value of that file from this
// reading until CloseReading.
FileAccess OpenReading(const QString &path);
void CloseReading();

// Reads the file once; WriteIniVal calls for that file then change a copy in memory, and
// CommitWriting replaces the file with it in one step. Nothing is written when the file
// cannot be read. CommitWriting is false when the file could not be replaced, with the
// reason in why.
FileAccess OpenWriting(const QString &path);
bool CommitWriting(QString *why = nullptr);

} // namespace modRegistry

QString GetIniVal(const QString &file, const QString &section, const QString &key);
