#pragma once
// Text files in the character set of the older Windows files (Windows-1252), with UTF-8
// wherever Windows-1252 cannot hold the text, and files replaced whole, never half-written.

#include <QByteArray>
#include <QString>
#include <functional>

namespace platform {

struct DecodedText {
    QString text;
    bool utf8 = false; // the bytes were UTF-8 holding non-ASCII text
    bool bom = false;  // ... and began with a byte-order mark
};

// Valid UTF-8 holding non-ASCII text reads as UTF-8; anything else as Windows-1252.
DecodedText decodeText(const QByteArray &bytes);

bool fitsWindows1252(const QString &text);
QByteArray toWindows1252(const QString &text); // characters it cannot hold become '?'
QString fromWindows1252(const QByteArray &bytes);

// Encodes as the file was (UTF-8 stays UTF-8), else Windows-1252 when it holds every
// character, else UTF-8.
QByteArray encodeText(const QString &text, bool wasUtf8, bool bom);

// Writes a temporary file beside the target, flushes it to the disk, renames it over the
// target and flushes the folder, so a crash or a full disk leaves the old file or the new
// one. A write, a flush or a sync that falls short leaves the target as it was.
// beforeReplace runs between the two steps (an exception from it leaves the old file).
// why: the reason when it fails. ownerOnly: a new file only its owner can read (else a new
// file is readable by all, and a replaced one keeps its permissions).
// A full disk told as such ("the disk is full"); any other reason as it is.
QString diskReason(const QString &errorString);

bool writeFileAtomically(const QString &path, const QByteArray &data, const std::function<void()> &beforeReplace = {},
                         QString *why = nullptr, bool ownerOnly = false);

} // namespace platform
