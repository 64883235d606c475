#pragma once
// What the game is played with, handed over by whoever sets it up: at the start and again
// whenever one of them changes. The game keeps its own copy and asks no one.

#include "announce/Phrases.h"
#include "blinds/BlindSchedule.h"
#include "clock/LevelMoves.h"
#include "plan/PlanSetup.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <functional>
#include <vector>

struct GameRules {
    // The schedule: the three columns, and the visible list's lines made from them (the
    // number of levels is the number of lines; a row a column does not have reads as empty).
    QStringList small, big, time;
    ListLines lines;

    // The break: on, "every" and its length in minutes as typed, and whether it repeats.
    bool breakOn = false;
    QString breakEvery, breakMinutes;
    bool repeatBreak = false;
    AnteRule ante;
    // The chip case and the plan (no chips: none of it shows).
    plan::PlanSetup plan;

    // What is announced: speech on, the phrases, and the sound played at a change (empty: none).
    bool speechOn = false;
    Phrases phrases = defaultPhrases();
    QString sound;
    // The game timer's text: the seconds as a time of day in the user's long format.
    std::function<QString(qint64)> longTime = [](qint64 seconds) { return QString::number(seconds); };

    // The display's title and colours (background, text, ante, title).
    QString title;
    std::array<qint32, 4> colours{};

    int levelCount() const { return lines.count; }
    QString levelLine(int row) const { return lines.line(row, small, big, time); }
    QString smallBlind(int row) const { return small.value(row); }
    QString bigBlind(int row) const { return big.value(row); }
    QString levelTime(int row) const { return time.value(row); }
    // The rows of the three columns as they stand, for the kept game.
    std::vector<std::array<QString, 3>> levels() const;
};
