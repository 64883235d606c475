#include "page/PinGuard.h"

#include <algorithm>

namespace platform {

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

qint64 PinGuard::serverFree(qint64 nowMs) const
{
    if (int(checks_.size()) < MaxChecksPerMinute)
        return nowMs;
    return checks_[checks_.size() - MaxChecksPerMinute] + MinuteMs;
}

bool PinGuard::ask(quint64 id, const QHostAddress &from, qint64 nowMs)
{
    prune(nowMs);
    const QString key = addressKey(from);
    if (std::any_of(queue_.begin(), queue_.end(), [&](const Ask &a) { return a.key == key || a.id == id; }))
        return false;
    queue_.push_back({id, key});
    return true;
}

void PinGuard::forget(quint64 id)
{
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [id](const Ask &a) { return a.id == id; }), queue_.end());
}

std::vector<quint64> PinGuard::due(qint64 nowMs)
{
    prune(nowMs);
    std::vector<quint64> ready;
    for (auto it = queue_.begin(); it != queue_.end() && serverFree(nowMs) <= nowMs;) {
        if (addressFree(it->key) > nowMs) {
            ++it;
            continue;
        }
        ready.push_back(it->id);
        checks_.push_back(nowMs);
        it = queue_.erase(it);
    }
    return ready;
}

std::optional<qint64> PinGuard::turnOf(quint64 id, qint64 nowMs) const
{
    // The server's minute makes room one check at a time; every ask ahead that is free to go
    // takes one of them first.
    int ahead = 0;
    for (const Ask &a : queue_) {
        const qint64 own = addressFree(a.key);
        if (a.id == id) {
            // Past the minute's score, each check waits for one made a minute before it; the
            // asks ahead take the first of those.
            const int made = int(checks_.size());
            const int slot = made + ahead - MaxChecksPerMinute;
            qint64 server = nowMs;
            if (slot >= 0)
                server = made > 0 ? checks_[slot % made] + MinuteMs * (slot / made + 1)
                                  : nowMs + MinuteMs * (slot / MaxChecksPerMinute + 1);
            return std::max({nowMs, own, server});
        }
        if (own <= nowMs)
            ++ahead;
    }
    return std::nullopt;
}

std::optional<qint64> PinGuard::nextDue(qint64 nowMs) const
{
    std::optional<qint64> next;
    for (const Ask &a : queue_) {
        const qint64 at = std::max({nowMs, addressFree(a.key), serverFree(nowMs)});
        next = next ? std::min(*next, at) : at;
    }
    return next;
}

void PinGuard::checked(const QHostAddress &from, bool right, qint64 nowMs)
{
    const QString key = addressKey(from);
    if (right)
        wrong_.remove(key);
    else
        wrong_[key].push_back(nowMs);
}

} // namespace platform
