#pragma once
// The game in progress as it is kept on disk while it runs, so that a program that dies
// (a crash, a power cut, a kill) can offer to take the game up again where it was: the
// level, the countdown, the game time, the pause, the levels played, the settings and the ledger.

#include "tournament/Ledger.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace tournament {

struct SavedGame {
    // The clock.
    qint32 currentRound = 0; // -1 in the break
    qint32 listIndex = 0;    // the row of the level in play (in the break, the one before it)
    qint32 secondsLeft = 0;  // below zero once the last level has run out
    qint32 levelSeconds = 0;
    qint64 gameSeconds = 0; // at most 2^53
    qint32 played = 0;      // seconds the level or break in play has run
    qint32 currentAnte = 0;
    qint16 breakSeconds = 0;
    bool paused = false;
    bool breakWasRunning = false; // the break's countdown is the one that runs (paused: that ran)
    // The levels as they were played: small blind, big blind and seconds, as the list holds them.
    std::vector<std::array<QString, 3>> levels;
    // The settings the game was played with: section, key and value.
    std::vector<std::array<QString, 3>> settings;
    // The count, when the game counts players.
    bool counting = false;
    Setup setup;
    std::vector<Record> records;
    // The players' names, in the order of the buy-ins they go with.
    QStringList names;
    // With more than one table, who sits where as the records deal it (per table, the buy-in at
    // each seat, 0 empty; a broken table has none), for whoever reads the file.
    std::vector<std::vector<int>> seatMap;

    bool operator==(const SavedGame &o) const;
    bool operator!=(const SavedGame &o) const { return !(*this == o); }
};

// The file's name, beside the settings file; and the most it may hold.
extern const QString SavedGameFile;
constexpr qint64 SavedGameBytes = 16 * 1024 * 1024;
// The most settings kept with a game, and the longest text of each.
constexpr int SavedSettings = 256;
constexpr int SavedSettingChars = 4096;
// The longest name a player is given.
constexpr int MaxNameChars = 40;

// The settings a game is played with, within what the file is read back with: a longer text
// (a phrase pasted in) is kept cut short rather than the game not kept at all.
std::vector<std::array<QString, 3>> keptSettings(std::vector<std::array<QString, 3>> settings);
QByteArray formatSavedGame(const SavedGame &game);
// None when the bytes are not a game this program wrote, or one it could not have played.
std::optional<SavedGame> parseSavedGame(const QByteArray &bytes);
// The seats the ledger's records give, as the file keeps them.
std::vector<std::vector<int>> seatMapOf(const Ledger &ledger);
// "A game was left running: Round 5, 7 of 10 players, 12:34 left. Resume it?"
QString resumeQuestion(const SavedGame &game);
// A counted game left with Escape is kept until a new game is started:
// "A game with 14 players is kept. Start a new game and drop it?"
QString dropKeptQuestion(const SavedGame &game);
// "The game with 14 players is kept: it is offered again at the next start."
QString keptAtExit(const SavedGame &game);

} // namespace tournament
