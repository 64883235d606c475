#pragma once
// One picture of the game as the players see it: the display's six texts and whether each
// shows, its four colours, whether it is up and paused, and the game's figures. The clock
// writes it; the display window renders it; anything else that shows the game reads it.
// A plain value: no widgets.

#include "chips/ChipCase.h"
#include "season/SeasonNight.h"
#include "tournament/Ledger.h"
#include "tournament/Results.h"

#include <QMetaType>
#include <QString>
#include <QtGlobal>
#include <array>

struct DisplayText {
    QString text;
    bool visible = true;

    bool operator==(const DisplayText &o) const { return text == o.text && visible == o.visible; }
    bool operator!=(const DisplayText &o) const { return !(*this == o); }
};

// A level or a break of the night's plan, with the time of day it starts ("20:40").
struct PlanRow {
    int level = 0; // 1-based; 0: a break
    QString at;
    QString blinds; // "£25 / £50"; empty for a break
    bool now = false;

    bool operator==(const PlanRow &o) const
    {
        return level == o.level && at == o.at && blinds == o.blinds && now == o.now;
    }
};

struct DisplayState {
    // The six texts, exactly as the display shows them (line breaks as CR LF). Until a game
    // writes them they hold the display's design text.
    DisplayText title{QStringLiteral("Label1")};
    DisplayText currentRound{QStringLiteral("Label1")};
    DisplayText nextRound{QStringLiteral("Label1")};
    DisplayText elapsed{QStringLiteral("Label1")};
    DisplayText blinds{QStringLiteral("Label1")};
    DisplayText ante{QStringLiteral("Label1")};

    // Colours as blue*65536 + green*256 + red.
    qint32 backColour = 0;
    qint32 textColour = 0;
    qint32 anteColour = 0;
    qint32 titleColour = 0;

    bool shown = false;  // the display is up (a game runs or stands paused)
    bool paused = false; // the countdown stands still

    // The game's figures.
    bool inBreak = false;
    int round = 0;          // the level in play (during a break: the one played before it)
    int secondsLeft = 0;    // to the next change
    int levelSeconds = 0;   // the length of the level in play
    qint64 gameSeconds = 0; // since the start
    QString smallBlind;     // of the level in play, as the schedule holds them
    QString bigBlind;
    qint32 anteAmount = 0;  // 0: no ante
    QString currency;       // the symbol shown with amounts (may be empty)
    QString nextLevel;      // "small/big for N mins." of the next level, or empty
    bool lastLevel = false; // no level follows the one in play
    QString backQuestion;   // what Back will do now ("Restart the break?")
    bool breakNext = false; // the break follows the level in play
    QString gameTitle;

    // While the game counts players: the band at the bottom (hidden otherwise; its lines are
    // band.lines()), whether the payouts are locked, and the last ten actions, newest first
    // ("21:04 Bust").
    bool counting = false;
    tournament::Band band;
    bool payoutsLocked = false;
    qint64 records = 0; // the number of actions recorded (a phone's Undo names it)
    QStringList recent;

    // With more than one table: the tables and their seats, the buy-in at each seat (0: empty;
    // a broken table has none), the seats drawn last (newest first, "Entry 12 → Table 2,
    // Seat 3"), the move the tables need, and whether the final table's redraw is offered.
    int tables = 0;
    int seats = 0;
    QList<QList<int>> seatMap;
    QStringList seatCalls;
    QString move;
    int moveFrom = 0; // the table the move is from (0: none)
    bool redrawOffered = false;
    // The names typed, for the buy-ins to come; and each player's name by number from 1 (empty:
    // not named, "Entry 7"), with the players out, the last out first.
    QStringList names;
    QStringList players;
    QList<int> out;
    // Once one player is left, with tables or names: every place, 1st first.
    std::vector<tournament::Place> results;
    // With a season: its standings, shown under the results, and on the page in the breaks too
    // when asked for.
    season::View season;
    bool seasonInBreaks = false;
    // Chip counts typed (at a break, or for a deal), until the next level: each player in as
    // name, chips and big blinds, the chip leader first; and how they add up against the chips
    // in play ("Counted 99,500: 500 short of the 100,000 chips in play.").
    std::vector<std::array<QString, 3>> chipCounts;
    QString countCheck;
    // A deal offered (none of it otherwise): "£10,000 left · £100 played for"; the players' names
    // and chips in seat order; each way's name and the shares it pays them ("£4,123"), or why it
    // is not offered.
    QString dealHead;
    QStringList dealNames;
    QStringList dealChips;
    QStringList dealWays;
    std::vector<QStringList> dealShares;

    // With a chip case (none of it otherwise): the chips that leave at the next break, said a
    // level ahead ("At the next break the 25s leave."), the colour-up during that break
    // ("Colour up: the 25s"), the add-on sold at this break, the time to the next break while
    // breaks repeat, and the night's plan with the time of day of each level and the end
    // expected. The line over the band (chipLine) carries the first four. In the colour-up's
    // break, the chip race: the chips that leave, raced for the smallest chip that stays.
    bool chipCase = false;
    QString chipLine;
    QString chipWarning;
    QString colourUp;
    QString addOnNow;
    QString nextBreak;
    QString planSummary;
    std::vector<PlanRow> plan;
    chips::ChipCase chipValues;
    std::vector<qint64> raceLeaving;
    qint64 raceTo = 0;

    bool operator==(const DisplayState &o) const;
    bool operator!=(const DisplayState &o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(DisplayState)
