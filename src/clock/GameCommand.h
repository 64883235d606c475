#pragma once
// The host's controls, as the display's keys and the phones send them, and what came of one.

#include "tables/Seating.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

// A control of the host's, from a display key or a phone.
struct GameCommand {
    enum Kind {
        PauseResume,
        NextLevel,
        Back,
        MinuteLess,
        MinuteMore,
        Entry,
        Reentry,
        Rebuy,
        AddOn,
        Bust,
        Undo,
        LockPayouts,
        // With more than one table: the suggested move made (seat: the seat it left) or
        // refused, the final table's redraw, and the names' buy-ins seated at once.
        Move,
        RefuseMove,
        Redraw,
        DrawSeats,
        // The names typed, one a player, taken by the buy-ins in their order.
        Names,
        // A player given a name (names' first), or their own back ("Entry 7") when blank.
        Rename,
        // Chip counts (by: the players, chips: theirs); a deal offered on the counts (amount: kept
        // to play for), taken (player: the way, from 0; ends: the night ends with it) or dropped.
        ChipCounts,
        DealOffer,
        DealTake,
        DealCancel
    };
    GameCommand(Kind k = PauseResume, bool confirm = false, std::optional<qint64> seenAt = std::nullopt,
                tables::Seat at = {}, QStringList typed = {}, int who = 0, std::vector<int> busters = {})
        : kind(k), confirmed(confirm), seen(seenAt), seat(at), names(std::move(typed)), player(who),
          by(std::move(busters))
    {}
    Kind kind = PauseResume;
    // A second press, or a phone's "Record it": taken only while the count has not moved since
    // the question, that is while it still holds `seen` records.
    bool confirmed = false;
    // The number of records the sender saw; an Undo with a stale number is asked again.
    std::optional<qint64> seen;
    // A bust's seat, or the seat a move left.
    tables::Seat seat;
    QStringList names;
    // The player a re-entry is for (0: the last out), a rebuy or an add-on is for (0: not
    // said), or a rename names.
    int player = 0;
    // With bounties: the players who busted the one out (one, or two sharing the bounty).
    std::vector<int> by;
    std::vector<qint64> chips;
    qint64 amount = 0;
    bool ends = false;
};

// What came of a command: done, refused, or to be sent again confirmed; text says. `seen` is
// the number of records the question was asked at.
struct GameReply {
    bool done = true;
    bool confirm = false;
    QString text;
    qint64 seen = 0;
};
