#include "clock/GameRules.h"

#include <algorithm>

std::vector<std::array<QString, 3>> GameRules::levels() const
{
    std::vector<std::array<QString, 3>> rows;
    const qsizetype n = std::min({small.size(), big.size(), time.size()});
    rows.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i)
        rows.push_back({small.at(i), big.at(i), time.at(i)});
    return rows;
}
