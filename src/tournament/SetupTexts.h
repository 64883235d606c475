#pragma once
// The tournament's setup as the host types it: one text per box, under the key it is kept
// by in the settings file ([Tournament]). Every text empty is the default: nothing counted.

#include "tournament/Ledger.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace tournament {

struct SetupKey {
    const char *key;
    const char *caption; // as the box is named in messages
    enum Kind { Switch, Amount, Chips, Round, Cut, Unit, Shares, Tables, Seats, BreakOrder } kind;
    qint64 Setup::*value = nullptr;                // where a number goes
    std::optional<qint64> Setup::*maybe = nullptr; // ... or a number that may be left blank
};
// Every key, in the order the settings file holds them.
extern const std::array<SetupKey, 27> SetupKeys;

// Keys of the switches: "1" on, anything else off.
extern const QString CountKey;
extern const QString SpeakKey;
extern const QString CutFixedKey;
extern const QString OpenAfterCloseKey; // "1": the payouts are not locked when registration closes
extern const QString ProgressiveKey;    // "1": half of each bounty goes onto the eliminator's head

using SetupTexts = QHash<QString, QString>;

bool switchedOn(const SetupTexts &texts, const QString &key);
// The setup the texts give; none, with the first box that cannot be read named in why.
std::optional<Setup> parseSetup(const SetupTexts &texts, QString *why);
// Every box that cannot be read, in the order of the keys: its key and what is wrong.
struct SetupProblem {
    QString key;
    QString why;
};
std::vector<SetupProblem> setupProblems(const SetupTexts &texts);
// Names longer than a player's name may be are cut: what the host is told of it
// ("2 names are cut to 40 characters: Bartholomew Fitzgerald-Ashworth…"), empty when none is.
QString namesCut(const QStringList &typed);
// A name as the game keeps it, however it was typed: no control characters (a NUL pasted in,
// a tab), runs of spaces made one, and at most MaxNameChars, never cut inside a character.
QString keptName(const QString &typed);
// What the host is asked before the setup is taken: a house cut of 100 %, with no added money
// or guarantee, leaves the prizes nothing. Empty when there is nothing to ask.
QString setupQuestion(const Setup &setup);
// An amount of money or chips: blank is 0; digits only, up to the largest 64-bit number.
std::optional<qint64> parseAmount(const QString &text);
// The order the tables break in: their numbers, each once, between commas or spaces ("3, 1");
// empty: the highest number first. None when a number is not one of the tables.
std::optional<std::vector<int>> parseBreakOrder(const QString &text, int tables);

} // namespace tournament
