#pragma once
// The state of a running game, held by the settings window for the whole run.

#include <QString>
#include <QtGlobal>

struct GameState {
    qint64 gameSeconds = 0;
    qint32 currentRound = 0; // -1 while the break runs
    qint32 secondsLeft = 0;
    qint32 currentAnte = 0;
    qint16 breakSeconds = 0;
    // Written before every amount; kept up to date by the list rendering.
    QString currencySymbol;
    // The length of the level in play, for a level whose own length cannot be read.
    qint32 levelSeconds = 0;
    // The seconds the level or break in play has run.
    qint32 played = 0;
};
