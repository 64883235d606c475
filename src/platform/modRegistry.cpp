#include "platform/modRegistry.h"

#include "platform/ProfileFile.h"

#include <optional>

namespace modRegistry {

namespace {

QString iniPath;

// The profile functions read into a buffer of 255 characters, NUL included.
constexpr int MaxValueLength = 254;

struct Open {
    QString path;
    FileAccess access = FileAccess::Missing;
    platform::ProfileFile profile;
};
std::optional<Open> reading;
std::optional<Open> writing;

Open openFile(const QString &path)
{
    Open o;
    o.path = path;
    const std::optional<platform::ProfileFile> p = platform::ProfileFile::load(path, MaxSettingsBytes);
    if (!p) {
        o.access = FileAccess::Unreadable;
        return o;
    }
    o.profile = *p;
    o.access = platform::ProfileFile::exists(path) ? FileAccess::Readable : FileAccess::Missing;
    return o;
}

} // namespace

void SetIniPath(const QString &path)
{
    iniPath = path;
}

QString ReadIniVal(const QString &section, const QString &key)
{
    std::optional<QString> found;
    if (reading && reading->path == iniPath)
        found = reading->profile.value(section, key);
    else if (const std::optional<platform::ProfileFile> p = platform::ProfileFile::load(iniPath, MaxSettingsBytes))
        found = p->value(section, key);
    QString v = found.value_or(QString());
    const qsizetype nul = v.indexOf(QChar(0));
    if (nul >= 0)
        v.truncate(nul);
    if (v.size() > MaxValueLength) {
        qsizetype cut = MaxValueLength;
        if (v[cut - 1].isHighSurrogate())
            --cut;
        v.truncate(cut);
    }
    return v;
}

qint16 WriteIniVal(const QString &file, const QString &value, const QString &section, const QString &key)
{
    if (writing && writing->path == file) {
        if (writing->access != FileAccess::Unreadable)
            writing->profile.setValue(section, key, value);
        return 0;
    }
    std::optional<platform::ProfileFile> p = platform::ProfileFile::load(file, MaxSettingsBytes);
    if (!p)
        return 0; // a file that cannot be read is never replaced
    p->setValue(section, key, value);
    p->save(file);
    return 0;
}

FileAccess OpenReading(const QString &path)
{
    reading = openFile(path);
    return reading->access;
}

void CloseReading()
{
    reading.reset();
}

FileAccess OpenWriting(const QString &path)
{
    writing = openFile(path);
    return writing->access;
}

bool CommitWriting(QString *why)
{
    if (!writing)
        return false;
    const Open done = std::move(*writing);
    writing.reset();
    return done.access != FileAccess::Unreadable && done.profile.save(done.path, why);
}

} // namespace modRegistry

QString GetIniVal(const QString &file, const QString &section, const QString &key)
{
    modRegistry::SetIniPath(file);
    return modRegistry::ReadIniVal(section, key);
}
