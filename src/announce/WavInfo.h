#pragma once
// What the sound cue needs to know of a WAV file before playing it: whether it is one,
// and how long it lasts.

#include <QByteArray>
#include <QString>
#include <optional>

struct WavInfo {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qint64 dataBytes = 0;
    qint64 durationMs() const;
};

// The RIFF/WAVE header of the bytes (the first few kilobytes of a file will do); no
// value when they are not a PCM or IEEE-float WAV file.
std::optional<WavInfo> parseWavHeader(const QByteArray &bytes);
std::optional<WavInfo> readWavInfo(const QString &path);
