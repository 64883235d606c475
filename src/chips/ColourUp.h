#pragma once
// Which chips leave, and when: at every break, the chips no level still to come and no stack
// still on sale needs colour up; each chip is named once, at the first break after which it is
// no longer needed. The clock warns a level ahead; the setup shows the levels the chips cannot
// make and a chip that would leave where no break falls.

#include "chips/ChipCase.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace chips {

// The structure as the colour-ups read it.
struct Level {
    QString small;
    QString big;
    qint64 ante = 0;
};
// A stack on sale (rebuy, re-entry, add-on) until the end of round `untilRound` and the break
// after it; 0: for the whole game.
struct Sale {
    qint64 chips = 0;
    qint64 untilRound = 0;
};
struct Structure {
    std::vector<Level> levels;
    qint64 breakEvery = 0; // a break after this level (0: no break)
    bool repeat = false;   // ... and after every multiple of it, never after the last level
    std::vector<Sale> sales;
    // Whether a break follows level `level` (1-based).
    bool breakAfter(int level) const;
};

// The chips that leave at the break after level `afterLevel`.
struct ColourUp {
    int afterLevel = 0;
    std::vector<qint64> chips;
    bool operator==(const ColourUp &o) const { return afterLevel == o.afterLevel && chips == o.chips; }
};
// A chip no longer needed after level `freeAfter`, where no break falls: it leaves at the
// break after `leavesAfter` (0: never, no break follows).
struct Gap {
    qint64 chip = 0;
    int freeAfter = 0;
    int leavesAfter = 0;
    bool operator==(const Gap &o) const
    {
        return chip == o.chip && freeAfter == o.freeAfter && leavesAfter == o.leavesAfter;
    }
};

struct ChipPlan {
    std::vector<ColourUp> colourUps; // in the order of the breaks
    std::vector<int> unmakeable;     // the levels (1-based) the smallest chip in play cannot make
    std::vector<Gap> gaps;
    // The colour-up at the break after `level`, if any chip leaves there.
    const ColourUp *at(int level) const;
};
// The plan of a night from its start; with `before` the plan of the same night so far, `played`
// levels in (the break after the last of them included): the colour-ups of those levels stay as
// they were, their chips stay gone whatever the structure now says, and a chip still to leave
// leaves at a break still to come.
ChipPlan planChips(const ChipCase &chips, const Structure &structure, const ChipPlan &before = {}, int played = 0);

// The automatic structure rounded to the chips: each level's blinds to the nearest multiple of
// the smallest chip still in play at it (halves to the even multiple), never below one chip; a
// big blind never below its small blind. A level could do without a chip once its small blind is
// four of the next chip or more, its ante and the stacks still on sale paid by the chips left;
// the chip leaves at the first break after which no level needs it. Only the structure's breaks,
// antes and sales are read; amounts that are not numbers are left as they are.
void roundToChips(const ChipCase &chips, const Structure &structure, std::vector<QString> &small,
                  std::vector<QString> &big);

// The break the add-on is sold at: the first break after the rebuys' last round (rebuyUntil
// 0: the first break); none when no break comes.
std::optional<int> addOnBreak(const Structure &structure, qint64 rebuyUntil);

// "At the next break the 25s leave." (spoken and on the band a level ahead)
QString colourUpWarning(const std::vector<qint64> &chips);
// "Colour up: the 25s" (on the display and the page during the break)
QString colourUpLine(const std::vector<qint64> &chips);
// What the setup says about the plan, one line each: "Rounds 2, 3 and 5 cannot be made with the
// 25s." and "The 25s are not needed after round 6, but no break comes until round 8: a break
// after round 6 would let them leave."
QStringList planNotes(const ChipPlan &plan, const ChipCase &chips);

// The chip race at a table: the leftover small chips, worth `leftoverWorth` of chip `small`,
// are raced for `large` chips. bringOut: one large chip for every whole one the leftover makes,
// and one more for a remainder of half a chip or more.
qint64 raceChips(qint64 leftoverWorth, qint64 large);
extern const QString RaceRules; // "From seat 1, one chip per player …"

} // namespace chips
