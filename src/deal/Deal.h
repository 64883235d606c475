#pragma once
// A deal among the players left: the prize money still to be paid, shared out four ways side by
// side. Every column sums exactly to the money shared, so the host can read any of them out.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace deal {

enum class Method { Even, ChipChop, NextPrize, Icm }; // in the order the columns show

struct Ask {
    std::vector<qint64> stacks; // each player left's chips, in seat order; 2 to 9 players, each > 0
    std::vector<qint64> prizes; // the places still to be paid, best first, whole currency units; places
                                // beyond them pay 0, and prizes beyond the players left do not count
    qint64 playFor = 0;         // kept back to play on for, taken off the first prize (0: none)
    qint64 unit = 1;            // each share is rounded down to it
};

struct Column {
    Method method = Method::Even;
    std::vector<qint64> shares; // whole currency units, one per player, summing to the money shared
    std::vector<double> exact;  // before rounding (ICM: the Malmuth–Harville expectation)
    QString refused;            // not empty: this method cannot be offered, and why (shares then empty)
};

struct Deal {
    qint64 money = 0; // the prizes' sum less playFor
    qint64 playFor = 0;
    int leader = 0;              // the largest stack; a tie: the first in seat order
    std::vector<Column> columns; // the four methods, in Method order
};

// The deal, or none with the reason in *why, a sentence.
std::optional<Deal> make(const Ask &ask, QString *why = nullptr);
// "Even", "Chip chop", "Chip chop + next prize", "ICM"
QString methodName(Method m);

} // namespace deal
