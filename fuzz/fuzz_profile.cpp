// Random bytes as a settings file: reading must never crash, a file read and written
// again must come back byte for byte, and a value written must read back as written.

#include "platform/ProfileFile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    platform::ProfileFile file = platform::ProfileFile::fromBytes(bytes);
    if (file.toBytes() != bytes)
        std::abort();

    static const char *sections[] = {"Speech", "Blinds", "Config", "Breaks", "Ante"};
    static const char *keys[] = {"Break", "Title", "Currency", "AutoSmall"};
    const QString section = QString::fromLatin1(sections[size % 5]);
    const QString key = QString::fromLatin1(keys[size % 4]);
    (void)file.value(section, key);

    // The last few bytes, as a one-line value of any character.
    QString value;
    for (size_t i = size > 8 ? size - 8 : 0; i < size; ++i)
        value += QChar(data[i] < 32 ? u'x' : char16_t(data[i]) * 37u);
    value = value.trimmed();
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        value.chop(1);
    file.setValue(section, key, value);
    const platform::ProfileFile again = platform::ProfileFile::fromBytes(file.toBytes());
    if (again.value(section, key) != value)
        std::abort();
    return 0;
}
