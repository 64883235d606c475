#include "platform/TextFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

// 0x80 to 0x9F; the five bytes Windows-1252 leaves undefined map to the same C1 code.
static const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

static int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

bool fitsWindows1252(const QString &text)
{
    for (QChar c : text)
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    return true;
}

QByteArray toWindows1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const int b = windows1252Byte(c.unicode());
        out.append(char(b < 0 ? '?' : b));
    }
    return out;
}

QString fromWindows1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b)));
    }
    return out;
}

DecodedText decodeText(const QByteArray &bytes)
{
    DecodedText d;
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF")) {
        d.bom = true;
        body.remove(0, 3);
    }
    bool ascii = true;
    for (char ch : body)
        if (static_cast<unsigned char>(ch) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii || d.bom) {
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf8.decode(body);
        if (!utf8.hasError()) {
            d.text = text;
            d.utf8 = true;
            return d;
        }
    }
    d.bom = false;
    d.text = fromWindows1252(bytes);
    return d;
}

QByteArray encodeText(const QString &text, bool wasUtf8, bool bom)
{
    if (!wasUtf8 && fitsWindows1252(text)) {
        // Windows-1252 bytes that happen to be valid UTF-8 ("Ã©") would read back as
        // other text; such a file is written as UTF-8.
        QByteArray bytes = toWindows1252(text);
        if (!decodeText(bytes).utf8)
            return bytes;
    }
    // A text that itself begins with a byte-order mark keeps it behind one of the file's.
    const bool mark = bom || text.startsWith(QChar(0xFEFF));
    return (mark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}

QString diskReason(const QString &errorString)
{
#ifndef Q_OS_WIN
    for (const int full : {ENOSPC, EDQUOT})
        if (errorString == QString::fromLocal8Bit(std::strerror(full)))
            return QStringLiteral("the disk is full");
#endif
    return errorString;
}

bool writeFileAtomically(const QString &path, const QByteArray &data, const std::function<void()> &beforeReplace,
                         QString *why, bool ownerOnly)
{
    const auto failed = [why](const QString &reason) {
        if (why)
            *why = diskReason(reason);
        return false;
    };
    const QFileInfo target(path);
    // The new text goes to a file of its own beside the target, which reaches the disk before
    // it takes the target's place; a replaced file keeps its permissions.
    QSaveFile file(target.absoluteFilePath());
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    // The save file would still take the target's place after a write or a flush that fell
    // short (a full disk): every byte must be in the temporary file first, else the target
    // stays as it is.
    const auto abandon = [&file, &failed](const QString &reason) {
        file.cancelWriting();
        file.commit(); // takes the temporary file away, leaves the target
        return failed(reason);
    };
    if (file.write(data) != data.size() || !file.flush() || file.error() != QFileDevice::NoError)
        return abandon(file.errorString());
#ifndef Q_OS_WIN
    // Some file systems only find the disk full when the data goes down to it.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return abandon(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    if (!target.exists()) {
        const auto ownerReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        file.setPermissions(ownerOnly ? QFileDevice::Permissions(ownerReadWrite)
                                      : ownerReadWrite | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    if (beforeReplace)
        beforeReplace();
    if (!file.commit())
        return failed(file.errorString());
#ifndef Q_OS_WIN
    // The rename itself reaches the disk only with its folder.
    const int folder = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
#endif
    return true;
}

} // namespace platform
