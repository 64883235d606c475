#pragma once
// The automatic blind builder: a whole schedule from the first blinds, a number of rounds,
// the minutes per round and one rule for raising the blinds.

#include <QString>
#include <QStringList>

enum class IncreaseRule { None = -1, Factor = 0, Value = 1, Percentage = 2 };

// The texts of the automatic-structure boxes, as they stand.
struct AutoBlindInputs {
    QString small;
    QString big;
    QString rounds;
    QString minutes;
    IncreaseRule rule = IncreaseRule::Factor;
    QString factor;
    QString value;
    QString percentage;
};

struct AutoBlindResult {
    bool ok = false;
    QString error; // names the box and what it allows, when not ok
    QStringList small;
    QStringList big;
    QStringList time;
};

// Builds every row before anything is handed back, so a refusal leaves nothing half-made.
AutoBlindResult buildAutoRows(const AutoBlindInputs &in);

// The shortest decimal text of at most 15 significant digits, with "." as the point:
// 12.5, 15, 33.35.
QString decimalText(double value);
