#include "platform/modRegistry.h"

#include "platform/ProfileFile.h"

namespace modRegistry {

static QString iniPath;

// The profile functions read into a buffer of 255 characters, NUL included.
static constexpr int MaxValueLength = 254;

void SetIniPath(const QString &path)
{
    iniPath = path;
}

QString ReadIniVal(const QString &section, const QString &key)
{
    QString v = platform::ProfileFile::load(iniPath).value(section, key).value_or(QString());
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
    platform::ProfileFile p = platform::ProfileFile::load(file);
    p.setValue(section, key, value);
    p.save(file);
    return 0;
}

} // namespace modRegistry

QString GetIniVal(const QString &file, const QString &section, const QString &key)
{
    modRegistry::SetIniPath(file);
    return modRegistry::ReadIniVal(section, key);
}
