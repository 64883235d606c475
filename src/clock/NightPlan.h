#pragma once
// The chip case and the night's plan in a game, as plain code the game drives with calls: the
// colour-ups, what is said of them once per game, and the times of the levels, as the display
// and the page show them.

#include "chips/ColourUp.h"
#include "clock/DisplayState.h"
#include "clock/GameRules.h"
#include "clock/GameState.h"
#include "plan/Plan.h"
#include "tournament/Ledger.h"

#include <QStringList>
#include <optional>
#include <vector>

class NightPlan {
public:
    // What of the game the plan reads: its rules, its figures, the count's setup (none: no
    // count) and the row in play (in a break, the one it follows).
    struct At {
        const GameRules &rules;
        const GameState &state;
        const tournament::Setup *count;
        int row;
    };

    bool on() const { return on_; }
    // A new game, or one taken up again: no colour-up made yet, nothing said.
    void forget();
    // Made again from the game as it stands; mid-game the colour-ups of the levels played stay.
    void make(const At &at);
    // The lines said once per game: the colour-up a level ahead (breakNext: the break follows
    // the level just begun), the add-on at its break.
    QStringList toSay(const At &at, bool atBreak, bool breakNext);
    // The chip case's part of what is shown, at the time nowMs (milliseconds since the epoch).
    void show(DisplayState &v, const At &at, qint64 nowMs);

private:
    bool on_ = false;
    chips::ChipCase chipCase_;
    chips::ChipPlan chipPlan_;
    std::optional<int> addOnAfter_; // the break the add-on is sold at
    plan::Plan plan_;
    std::vector<int> spoken_; // the breaks (after level k) warned of, and -k for the add-on's
    // Rebuilt when what they show changes, not at every tick: the minutes to the next break,
    // the minute the plan's times count from and the row in play.
    qint64 nextBreakMinutes_ = -1;
    qint64 planMinute_ = -1;
    int planRow_ = -1;
};
