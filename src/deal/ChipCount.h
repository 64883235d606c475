#pragma once
// The chip count at a deal or a break: whether the stacks counted add up to the chips in play,
// and each player's stack as the TV page shows it.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

namespace deal {

// "The counts add up to the 100,000 chips in play.", "Counted 99,500: 500 short of the 100,000
// chips in play.", "Counted 101,000: 1,000 over the 100,000 chips in play."
QString countCheck(qint64 counted, qint64 inPlay);
// A stack in whole big blinds, halves to even: "32 BB"; "—" with no big blind.
QString bigBlinds(qint64 stack, qint64 bigBlind);

struct Row {
    QString name;
    qint64 chips = 0;
    QString bb;
    bool leader = false;
};
// Each player's line, the largest stack first (ties in seat order); the first is the chip leader.
// Names and stacks in seat order.
std::vector<Row> countRows(const QStringList &names, const std::vector<qint64> &stacks, qint64 bigBlind);

} // namespace deal
