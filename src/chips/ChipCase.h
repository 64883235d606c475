#pragma once
// The host's chip case: the denominations owned, with their colours and how many of each, and
// what they can make: which amounts the chips in play can pay, a starting stack in the fewest
// chips with enough small ones, and the stacks the whole expected field takes.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace chips {

struct Chip {
    qint64 value = 0; // whole chips' worth, at least 1
    QString colour;   // may be empty
    qint64 count = 0; // how many the case holds; 0: not counted (as many as needed)
    bool operator==(const Chip &o) const { return value == o.value && colour == o.colour && count == o.count; }
};

// The chips of the case, smallest first, each value once. Empty: no chip case.
using ChipCase = std::vector<Chip>;

constexpr int MaxChips = 8;
constexpr qint64 MaxChipValue = 1000000000;
constexpr qint64 MaxChipCount = 1000000;

// One row as the host types it: the value, the colour and the count.
struct ChipRow {
    QString value;
    QString colour;
    QString count;
};
// What is wrong with one box: its row (0-based; -1 the case as a whole), its column (0 the
// value, 1 the colour, 2 how many) and why.
struct RowProblem {
    int row = -1;
    int column = 0;
    QString text;
};
// The case the rows give (rows left blank are skipped; sorted by value); none, with why set to
// the first problem ("Chip 3: the value must be …") and every problem in `problems`.
std::optional<ChipCase> parseRows(const std::vector<ChipRow> &rows, QString *why,
                                  std::vector<RowProblem> *problems = nullptr);
// The case as the settings file keeps it: "25/white/300;100/red/200;1000/black/0", and back;
// a text that cannot be read gives no case.
QString caseText(const ChipCase &chips);
std::optional<ChipCase> parseCaseText(const QString &text);

// "25s", "the 25s", "the 25s and the 100s", "the 25s, the 100s and the 500s".
QString chipsNamed(const std::vector<qint64> &values);

// An amount as the schedule holds it ("150", "28.75", "040"): the whole number it is; none for
// a fraction, a negative or a text that is not a number.
std::optional<qint64> wholeAmount(const QString &text);
// Which amounts a set of chips pays, as many of each as it takes ("25" with 10s and 25s: yes;
// "15": no). 0 is always paid; a text that is not a whole amount never is.
class Payer {
public:
    explicit Payer(std::vector<qint64> chips);
    bool pays(qint64 amount) const;
    bool pays(const QString &amount) const;

private:
    std::vector<qint64> chips_; // in units, smallest first
    qint64 unit_ = 0;           // what every chip is a multiple of
    // The least amount (in units) paid in each remainder after the smallest chip; empty when the
    // smallest chip is too many units for it, and only the multiples of one chip are taken.
    std::vector<qint64> least_;
};
// The values of the chips from the `from`th (0-based) on: the chips in play once the smaller
// ones have left.
std::vector<qint64> valuesFrom(const ChipCase &chips, size_t from);

// A stack made of the case's chips: how many of each chip (in the order of the case).
struct Stack {
    std::vector<qint64> counts;
    qint64 chips() const;
    qint64 worth(const ChipCase &chips) const;
    bool operator==(const Stack &o) const { return counts == o.counts; }
};
constexpr qint64 MinStackChips = 20;
// The stack in the fewest chips with enough small ones: each chip but the largest at least
// enough to change one of the next; the rest in the largest chips that fit; then, while it
// has fewer than 20 chips, one of the smallest chip that can be changed goes for the chips one
// step smaller. `sets`: how many such stacks the case must hold (counted chips only). None when
// the chips cannot make the amount within the counts.
std::optional<Stack> suggestStack(const ChipCase &chips, qint64 amount, qint64 sets = 1);
// "8 × 25, 8 × 100, 2 × 500, 3 × 1000"
QString stackText(const ChipCase &chips, const Stack &stack);

// How many players the counted chips seat with `stack` each, after `reserved` chips of each
// kind are set aside (the expected rebuys, re-entries and add-ons); none when no chip is counted.
std::optional<qint64> playersSeated(const ChipCase &chips, const Stack &stack, const std::vector<qint64> &reserved);

// What the night hands out of the case: `stacks` stacks of `amount` each.
struct Demand {
    qint64 amount = 0;
    qint64 stacks = 0;
};
// A mix for every demand (in its order) that the counted chips hold all together: each in its
// fewest chips when they fit so, else each within an even share of every counted chip; none when
// neither fits. A demand of no stacks or no amount gets an empty stack.
std::optional<std::vector<Stack>> fieldStacks(const ChipCase &chips, const std::vector<Demand> &demands);

} // namespace chips
