#pragma once
// The host's controls, as the display's keys and the phones send them, and what came of one.

#include <QString>
#include <QtGlobal>
#include <optional>

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
        LockPayouts
    };
    Kind kind = PauseResume;
    // A second press, or a phone's "Record it": taken only while the count has not moved since
    // the question, that is while it still holds `seen` records.
    bool confirmed = false;
    // The number of records the sender saw; an Undo with a stale number is asked again.
    std::optional<qint64> seen;
};

// What came of a command: done, refused, or to be sent again confirmed; text says. `seen` is
// the number of records the question was asked at.
struct GameReply {
    bool done = true;
    bool confirm = false;
    QString text;
    qint64 seen = 0;
};
