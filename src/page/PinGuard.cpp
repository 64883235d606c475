#include "page/PinGuard.h"

#include <algorithm>

namespace page {

bool PinGuard::samePin(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    ushort differ = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        differ |= ushort(a[i].unicode() ^ b[i].unicode());
    return differ == 0;
}

QString PinGuard::addressKey(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4); // IPv4 also when mapped into IPv6
    if (isV4)
        return QHostAddress(v4).toString();
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return address.toString();
    const Q_IPV6ADDR ip = address.toIPv6Address();
    QString key;
    for (int i = 0; i < 8; ++i)
        key += QString::asprintf("%02x", ip[i]);
    return key + QStringLiteral("::/64");
}

void PinGuard::prune(qint64 nowMs)
{
    while (!checks_.empty() && nowMs - checks_.front() >= MinuteMs)
        checks_.pop_front();
    for (auto it = wrong_.begin(); it != wrong_.end();) {
        while (!it->empty() && nowMs - it->front() >= SlowMs)
            it->pop_front();
        it = it->empty() ? wrong_.erase(it) : std::next(it);
    }
}

// An address with its fill of wrong PINs waits until the first of them is a minute old.
qint64 PinGuard::addressFree(const QString &key) const
{
    const auto it = wrong_.constFind(key);
    if (it == wrong_.cend() || int(it->size()) < MaxWrongPerAddress)
        return 0;
    return (*it)[it->size() - MaxWrongPerAddress] + SlowMs;
}

// Checks made and turns given, with one more at t: within a score in every minute holding t.
// Candidates are the earliest moment and each moment a minute after a check or a turn, when
// one leaves the minute; a later candidate only brings more turns into it.
qint64 PinGuard::firstRoom(qint64 earliest) const
{
    std::vector<qint64> taken(checks_.begin(), checks_.end());
    for (const Ask &a : queue_)
        taken.push_back(a.at);
    std::sort(taken.begin(), taken.end());
    const auto fits = [&](qint64 t) {
        // Every minute [w, w + 1 min) holding t starts at t - 1 min + 1 or at a taken moment.
        std::vector<qint64> starts{t - MinuteMs + 1};
        for (const qint64 at : taken)
            if (at > t - MinuteMs && at <= t)
                starts.push_back(at);
        for (const qint64 w : starts) {
            const auto inside = std::lower_bound(taken.begin(), taken.end(), w + MinuteMs)
                                - std::lower_bound(taken.begin(), taken.end(), w);
            if (inside + 1 > MaxChecksPerMinute)
                return false;
        }
        return true;
    };
    std::vector<qint64> candidates{earliest};
    for (const qint64 at : taken)
        if (at + MinuteMs > earliest)
            candidates.push_back(at + MinuteMs);
    std::sort(candidates.begin(), candidates.end());
    for (const qint64 t : candidates)
        if (fits(t))
            return t;
    return candidates.back(); // not reached: a minute after the last, the minute is empty
}

bool PinGuard::ask(quint64 id, const QHostAddress &from, qint64 nowMs)
{
    prune(nowMs);
    const QString key = addressKey(from);
    if (std::any_of(queue_.begin(), queue_.end(), [&](const Ask &a) { return a.key == key || a.id == id; }))
        return false;
    const qint64 at = firstRoom(std::max(nowMs, addressFree(key)));
    queue_.insert(std::upper_bound(queue_.begin(), queue_.end(), at, [](qint64 t, const Ask &a) { return t < a.at; }),
                  Ask{id, key, at});
    return true;
}

void PinGuard::forget(quint64 id)
{
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [id](const Ask &a) { return a.id == id; }), queue_.end());
}

std::vector<quint64> PinGuard::due(qint64 nowMs)
{
    std::vector<quint64> ready;
    while (!queue_.empty() && queue_.front().at <= nowMs) {
        ready.push_back(queue_.front().id);
        checks_.push_back(queue_.front().at); // counted at its turn, as it was given
        queue_.pop_front();
    }
    prune(nowMs);
    return ready;
}

std::optional<qint64> PinGuard::turnOf(quint64 id) const
{
    for (const Ask &a : queue_)
        if (a.id == id)
            return a.at;
    return std::nullopt;
}

std::optional<qint64> PinGuard::nextDue() const
{
    return queue_.empty() ? std::nullopt : std::optional<qint64>(queue_.front().at);
}

void PinGuard::checked(const QHostAddress &from, bool right, qint64 nowMs)
{
    const QString key = addressKey(from);
    if (right)
        wrong_.remove(key);
    else
        wrong_[key].push_back(nowMs);
}

} // namespace page
