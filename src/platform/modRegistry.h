#pragma once
// Settings-file access: one value read or written per call, as the program has always done.

#include <QString>

namespace modRegistry {

// Remembers the file that ReadIniVal reads.
void SetIniPath(const QString &path);
// The value, at most 254 characters; empty when the file, section or key is missing.
QString ReadIniVal(const QString &section, const QString &key);
// Writes one value; the file is replaced whole. The result is always 0.
qint16 WriteIniVal(const QString &file, const QString &value, const QString &section, const QString &key);

} // namespace modRegistry

QString GetIniVal(const QString &file, const QString &section, const QString &key);
