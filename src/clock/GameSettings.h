#pragma once
// What the game reads from the settings window, asked at the moment a value is needed: the
// window's controls stay the only copy of the configuration. The window answers from its
// controls; a test answers from a table.

#include "announce/Phrases.h"
#include "clock/LevelMoves.h"
#include "plan/PlanSetup.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <vector>

namespace tournament {
struct SavedGame;
}

class GameSettings {
public:
    virtual ~GameSettings() = default;

    // The schedule: the rows of the visible list, and the three columns behind it (a row a
    // column does not have reads as empty).
    virtual int levelCount() const = 0;
    virtual QString levelLine(int row) const = 0;
    virtual QString smallBlind(int row) const = 0;
    virtual QString bigBlind(int row) const = 0;
    virtual QString levelTime(int row) const = 0;
    // The rows of the three columns as they stand, for the kept game.
    virtual std::vector<std::array<QString, 3>> levels() const = 0;
    // The list's selection: the level in play (in a break, the one before it).
    virtual int selectedRow() const = 0;
    virtual void selectRow(int row) = 0;

    // The break: on, "every" and its length in minutes as typed, and whether it repeats.
    virtual bool breakOn() const = 0;
    virtual QString breakEvery() const = 0;
    virtual QString breakMinutes() const = 0;
    virtual bool repeatBreak() const = 0;
    virtual AnteRule anteRule() const = 0;
    // The chip case and the plan (no chips: none of it shows).
    virtual plan::PlanSetup planSetup() const = 0;

    // What is announced: speech on, the phrases, and the sound to play at a change (empty:
    // none, or a file that is not there).
    virtual bool speechOn() const = 0;
    virtual Phrases phrases() const = 0;
    virtual QString soundToPlay() const = 0;
    // The game timer's text: the seconds as a time of day in the user's long format.
    virtual QString longTime(qint64 seconds) const = 0;

    // The display's title and colours (background, text, ante, title).
    virtual QString title() const = 0;
    virtual std::array<qint32, 4> colours() const = 0;

    // Every setting the game is played with, as (section, key, value), kept with the game;
    // and the kept game's settings and levels put back into the controls before it resumes.
    virtual std::vector<std::array<QString, 3>> snapshot() const = 0;
    virtual void restore(const tournament::SavedGame &game) = 0;
};
