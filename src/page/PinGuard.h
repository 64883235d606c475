#pragma once
// Who may have the control PIN checked, and when. Nothing is ever refused here: a PIN waits
// for its turn.
//  - An address that gave five wrong PINs within a minute waits until the first of them is a
//    minute old; the addresses of one IPv6 /64 (one household's, usually) count as one.
//  - The whole server checks at most a score of PINs a minute. A PIN is given its turn when
//    it is asked: the first moment its address is free and the minute has room, counting the
//    checks made and every turn already given. A turn given is never taken by a PIN asked
//    later, so the wait a phone is told holds, and an address slowed for its own guesses does
//    not hold up the others.
//  - An address has one PIN waiting at most, so the queue never holds more than the server
//    has connections.
// A phone paired by the one-time link, or holding a control key, is never checked here.

#include <QHash>
#include <QHostAddress>
#include <QString>
#include <deque>
#include <optional>
#include <vector>

namespace page {

class PinGuard {
public:
    static constexpr int MaxWrongPerAddress = 5;
    static constexpr qint64 SlowMs = 60000;
    static constexpr int MaxChecksPerMinute = 20;
    static constexpr qint64 MinuteMs = 60000;

    // A PIN from an address, asked at a moment (milliseconds on a steady clock), to be checked
    // at its turn under the id given. False when that address already has a PIN waiting.
    bool ask(quint64 id, const QHostAddress &from, qint64 nowMs);
    // The asker went away: its turn may be given again; no turn already given moves.
    void forget(quint64 id);
    // The asks whose turn has come, in the order of their turns; each counts against the minute.
    std::vector<quint64> due(qint64 nowMs);
    // The next turn given, and an ask's own.
    std::optional<qint64> nextDue() const;
    std::optional<qint64> turnOf(quint64 id) const;
    // What a check found.
    void checked(const QHostAddress &from, bool right, qint64 nowMs);

    // The same length and characters, compared in the same time whatever they hold.
    static bool samePin(const QString &a, const QString &b);
    // The key an address is counted under: itself for IPv4, its /64 for IPv6.
    static QString addressKey(const QHostAddress &address);
    // Addresses remembered for their wrong PINs (forgotten a minute after the last).
    int remembered() const { return int(wrong_.size()); }
    int waiting() const { return int(queue_.size()); }

private:
    struct Ask {
        quint64 id;
        QString key;
        qint64 at; // its turn
    };
    void prune(qint64 nowMs);
    qint64 addressFree(const QString &key) const;
    // The first moment from earliest at which one more check keeps every minute within the score.
    qint64 firstRoom(qint64 earliest) const;

    std::deque<Ask> queue_;                    // in the order of their turns
    QHash<QString, std::deque<qint64>> wrong_; // each address's wrong PINs within the last minute
    std::deque<qint64> checks_;                // the server's checks within the last minute
};

} // namespace page
