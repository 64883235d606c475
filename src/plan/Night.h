#pragma once
// The night as the settings window holds it, read through the chip case: the structure the
// colour-ups follow, the starting stack and the average stack the finish is estimated from,
// the starting stack's chips and what the expected field pays.

#include "chips/ColourUp.h"
#include "plan/Plan.h"
#include "plan/PlanSetup.h"
#include "tournament/Ledger.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace plan {

struct Night {
    QString title;
    QString currency;
    std::vector<chips::Level> levels; // small, big and ante of each level
    std::vector<qint64> levelSeconds;
    qint64 breakEvery = 0; // 0: no break
    bool repeat = false;
    qint64 breakSeconds = 0;
    PlanSetup setup;
    std::optional<tournament::Setup> count; // with players counted
};

// The structure the colour-ups read: the levels, the breaks and, with players counted, the
// stacks on sale (rebuys and re-entries until their last rounds, the add-on at its break).
chips::Structure structureOf(const Night &night);
// The starting stack: the one typed, else the buy-in's chips of the count; 0: none.
qint64 startingStack(const Night &night);
// (players × stack + the chips of the rebuys, re-entries and add-ons expected) ÷ players, halves
// to even; a rebuy or re-entry of no chips set is a starting stack. 0 when players or stack are
// 0, or when the chips would not fit.
qint64 averageStack(const Night &night);
// The plan of the levels and breaks from `startsAt`.
Input planInput(const Night &night, const QDateTime &startsAt);
// "Starting stack 5,000: 8 × 25, 8 × 100, 2 × 500, 3 × 1,000 (21 chips)", in a mix the case
// holds for the whole expected field (the fewest chips when they do), then how many players the
// counted chips seat with the expected rebuys, re-entries and add-ons set aside. Empty without a
// stack.
QStringList stackLines(const Night &night);
// What the expected field pays: each place's amount (the pool as the count would make it from
// the players, rebuys, re-entries and add-ons expected); empty without a count or a field.
std::vector<qint64> expectedPayouts(const Night &night, qint64 *pool = nullptr);
} // namespace plan
