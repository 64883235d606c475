#pragma once
// Which of an engine's voices the organiser is offered, in which order, and which one is
// chosen at first. A speech server can offer every language in dozens of variants
// ("English (Great Britain)+Adam"); the list keeps one entry per language voice.

#include <QList>
#include <QLocale>
#include <QString>

struct EngineVoice {
    QString name;
    QLocale locale;
};

struct VoiceCatalogue {
    // The voices offered, English first, then the system language's, then the rest, each
    // part by name.
    QList<EngineVoice> voices;
    // The voice chosen at first: English, in the system's region when the system speaks
    // English, else British English. -1 when the engine has no English voice.
    int defaultVoice = -1;
};

// A variant of a voice carries its variant's name after a plus sign.
bool isVoiceVariant(const QString &name);

VoiceCatalogue catalogueVoices(const QList<EngineVoice> &engineVoices, const QLocale &system);
