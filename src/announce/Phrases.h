#pragma once
// The seven announcement phrases, named after their keys in the settings file.

#include <QString>

struct Phrases {
    QString Start;
    QString BlindsAreNow;
    QString And;
    QString BlindsSoon;
    QString BreakSoon;
    QString Break;
    QString Ante;
};

// What the phrases say until the organiser rewrites them.
Phrases defaultPhrases();
