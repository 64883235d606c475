#include "clock/LevelMoves.h"

#include <algorithm>
#include <limits>

BackMove backMove(qint32 currentRound, int listIndex, qint64 played)
{
    const bool early = played < BackGraceSeconds;
    if (currentRound == -1)
        return early ? BackMove{true, listIndex} : BackMove{};
    if (early && currentRound > 1)
        return {true, int(currentRound) - 2};
    return {};
}

QString backQuestion(qint32 currentRound, int listIndex, qint64 played)
{
    const BackMove move = backMove(currentRound, listIndex, played);
    if (move.previous)
        return QStringLiteral("Back to Round %1?").arg(move.row + 1);
    return currentRound == -1 ? QStringLiteral("Restart the break?")
                              : QStringLiteral("Restart Round %1?").arg(currentRound);
}

qint32 shiftedSeconds(qint32 secondsLeft, qint64 delta)
{
    const qint64 shifted = std::max<qint64>(0, secondsLeft) + delta;
    return qint32(std::clamp<qint64>(shifted, 1, std::numeric_limits<qint32>::max()));
}

qint32 anteForRound(const AnteRule &rule, qint32 round)
{
    qint64 ante = rule.on && rule.round == 1 ? rule.amount.value_or(0) : 0;
    if (!rule.on)
        return 0;
    for (qint32 r = 2; r <= round; ++r) {
        if (rule.round == r)
            ante = rule.amount.value_or(ante);
        if (rule.round && rule.raise && r > *rule.round) {
            // The ante stays as it is when the next one would not fit.
            qint64 product = ante;
            const bool fits = !rule.factor || !__builtin_mul_overflow(*rule.factor, ante, &product);
            if (fits && product >= std::numeric_limits<qint32>::min() && product <= std::numeric_limits<qint32>::max())
                ante = product;
        }
    }
    return qint32(ante);
}
