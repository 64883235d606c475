#include "announce/WavInfo.h"

#include <QFile>
#include <QtEndian>

qint64 WavInfo::durationMs() const
{
    const qint64 bytesPerSecond = qint64(sampleRate) * channels * (bitsPerSample / 8);
    return bytesPerSecond > 0 ? dataBytes * 1000 / bytesPerSecond : 0;
}

std::optional<WavInfo> parseWavHeader(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    WavInfo info;
    bool format = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (id == "fmt ") {
            if (size < 16 || at + 8 + 16 > bytes.size())
                return std::nullopt;
            const quint16 tag = u16(at + 8);
            if (tag != 1 && tag != 3 && tag != 0xFFFE) // PCM, float, extensible
                return std::nullopt;
            info.channels = u16(at + 10);
            info.sampleRate = int(u32(at + 12));
            info.bitsPerSample = u16(at + 22);
            format = info.channels > 0 && info.sampleRate > 0 && info.bitsPerSample >= 8;
        } else if (id == "data") {
            if (!format)
                return std::nullopt;
            info.dataBytes = size;
            return info;
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return std::nullopt;
}

std::optional<WavInfo> readWavInfo(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<WavInfo> info = parseWavHeader(f.read(64 * 1024));
    // A data chunk that claims more than the file holds lasts only as long as the file.
    if (info)
        info->dataBytes = std::min<qint64>(info->dataBytes, f.size());
    return info;
}
