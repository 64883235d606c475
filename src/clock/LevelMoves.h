#pragma once
// Moving the clock by hand: back to the start of what is in play (or to the level before),
// and a minute more or less on the countdown. Plain calls on the game's figures.

#include <QString>
#include <QtGlobal>
#include <optional>

// Within this many seconds of a level's start, Back goes to the level before.
constexpr qint64 BackGraceSeconds = 10;

struct BackMove {
    bool previous = false; // play `row` from its start; otherwise restart what is in play
    int row = 0;           // 0-based row of the level to play
};
// currentRound: -1 in the break; listIndex: the row in play (in the break, the one before
// it); played: the seconds the level or break in play has run (a minute added or taken
// changes nothing of it). Never goes into the break.
BackMove backMove(qint32 currentRound, int listIndex, qint64 played);
// What Back will do, asked before it is done: "Back to Round 7?", "Restart the break?",
// "Restart Round 8?".
QString backQuestion(qint32 currentRound, int listIndex, qint64 played);

// The countdown a minute on or back (delta in seconds): never below 1 s, never beyond what
// the countdown can hold.
qint32 shiftedSeconds(qint32 secondsLeft, qint64 delta);

// The ante's rule as the settings window holds it; a box that cannot be read is none.
struct AnteRule {
    bool on = false;
    std::optional<qint64> round;
    std::optional<qint64> amount;
    bool raise = false;
    std::optional<qint64> factor;
};
// The ante of a round played from the game's start with the rule unchanged, as the level
// changes compute it step by step.
qint32 anteForRound(const AnteRule &rule, qint32 round);
