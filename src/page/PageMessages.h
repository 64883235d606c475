#pragma once
// What the clock and its page say to each other over the page's socket: the state the page is
// pushed, and the page's own messages read (a pairing, or one of its controls). Plain code on
// Qt Core: no socket, no server.

#include "clock/DisplayState.h"
#include "clock/GameCommand.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace page {

// A message from a page: at most this size, but a list of names from a page with control,
// whose names are at most this many, each cut to the length the game keeps.
constexpr int MaxMessageBytes = 4096;
constexpr int MaxNamesMessageBytes = 16 * MaxMessageBytes;
constexpr int MaxNames = 400;
// What a push carries at most: the seats drawn last, the names and the results.
constexpr int MaxSeatCalls = 10;
constexpr int MaxNamesBytes = 8192;
constexpr int MaxResultsBytes = 12288;
// The night's plan: from the row before the one in play, this many rows at most.
constexpr int MaxPlanRows = 40;

// The state as the page receives it.
QByteArray stateMessage(const DisplayState &state);

// A control as the game takes it, from the page's message: the count the phone saw (when it
// says, a whole number), a bust's or a move's seat, and the names. None when a seat or the
// names are malformed.
std::optional<GameCommand> pageCommand(GameCommand::Kind kind, const QJsonObject &message);

// A page's message, read. Anything but a pairing or one of the page's controls is nothing.
struct PageMessage {
    enum class Kind { Nothing, Pair, Control };
    Kind kind = Kind::Nothing;
    // A pairing: a key or the link proved against the socket's nonce, or the PIN.
    QByteArray keyProof;
    QByteArray linkProof;
    QString pin;
    // A control: its name as the page sent it, and the command (none when malformed).
    QString action;
    std::optional<GameCommand> command;
};

// withControl: the page holds control, and may send a long list of names.
PageMessage readPageMessage(const QByteArray &bytes, bool withControl);

} // namespace page
