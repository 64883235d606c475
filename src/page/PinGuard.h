#pragma once
// Who may try the control PIN, and how often. Five wrong PINs lock an address out for a
// minute; the addresses of one IPv6 /64 (one household's, usually) count as one address; and
// the whole server checks at most a score of wrong PINs a minute, after which every answer
// waits until the minute has room again, however many addresses the guesses come from.

#include <QHash>
#include <QHostAddress>
#include <QString>
#include <deque>

namespace platform {

class PinGuard {
public:
    static constexpr int MaxWrongPerAddress = 5;
    static constexpr qint64 LockOutMs = 60000;
    static constexpr int MaxWrongPerMinute = 20;
    static constexpr qint64 MinuteMs = 60000;

    enum class Verdict {
        Right,
        Wrong,
        Locked, // this address is locked out: nothing was checked
        Busy,   // too many wrong PINs on the whole server this minute: nothing was checked
    };

    // A PIN given from an address at a moment (milliseconds on a steady clock). trusted: the
    // connection already gave the right PIN, so its next ones are no guesses and do not wait
    // for the server's minute.
    Verdict check(const QHostAddress &from, const QString &given, const QString &pin, qint64 nowMs,
                  bool trusted = false);

    // The key an address is counted under.
    static QString addressKey(const QHostAddress &address);
    // Addresses remembered (they are forgotten a minute after their last wrong PIN).
    int remembered() const { return int(failures_.size()); }

private:
    void prune(qint64 nowMs);

    struct Failures {
        int count = 0;
        qint64 last = 0;
        qint64 lockedUntil = 0;
    };
    QHash<QString, Failures> failures_;
    std::deque<qint64> recentWrong_; // the server's wrong PINs within the last minute
};

} // namespace platform
