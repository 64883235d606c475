#pragma once
// What the night's model and its sheet both use: within the plan's own files only.

#include "plan/Night.h"

#include <QString>
#include <array>

namespace plan::parts {

// a ÷ b for a ≥ 0, b > 0, halves to the even quotient.
qint64 dividedToEven(qint64 a, qint64 b);
QString money(const Night &night, qint64 amount);
// "1 rebuy", "12 add-ons"
QString counted(qint64 n, const char *one, const char *many);
// The stacks the expected field takes beyond a seat each: the rebuys (of the rebuy's chips,
// else a starting stack), the re-entries (of the re-entry's chips, else a starting stack) and
// the add-ons (of the add-on's chips; none without them).
struct Sold {
    qint64 how = 0;
    qint64 chips = 0;
    const char *one = nullptr;
    const char *many = nullptr;
};
std::array<Sold, 3> soldStacks(const Night &night, qint64 stack);

} // namespace plan::parts
