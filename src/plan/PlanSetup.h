#pragma once
// The chip case and the plan as the host sets them up: one text per box, under the key it is
// kept by in the settings file ([Plan]). Every text empty is the default: no chip case and
// no plan, and nothing of them shows.

#include "chips/ChipCase.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace plan {

using PlanTexts = QHash<QString, QString>;
// The keys, in the order the settings file holds them: "Chips" (the case as caseText gives
// it), "RoundToChips" ("1": the automatic structure rounded to the chips), "Stack" (the
// starting stack; blank: the buy-in's chips), "Players", "Rebuys", "Reentries", "AddOns"
// (expected), "StartsAt" ("20:00"; blank: the time the plan is looked at).
extern const QStringList PlanKeys;

struct PlanSetup {
    chips::ChipCase chips;
    bool roundToChips = false;
    qint64 stack = 0; // 0: the buy-in's chips
    qint64 players = 0;
    qint64 rebuys = 0;
    qint64 reentries = 0;
    qint64 addOns = 0;
    std::optional<qint64> startsAt; // seconds after midnight
    bool on() const { return !chips.empty(); }
};
// A box that cannot be read: its key and why.
struct Problem {
    QString key;
    QString text;
};
// The setup the texts give; none, with the first box that cannot be read named in why and
// every one in `problems`, in the order of the keys.
std::optional<PlanSetup> parsePlanSetup(const PlanTexts &texts, QString *why, std::vector<Problem> *problems = nullptr);
// "20:00", "8:05" → seconds after midnight; none for anything else.
std::optional<qint64> parseTimeOfDay(const QString &text);

} // namespace plan
