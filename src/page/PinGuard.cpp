#include "page/PinGuard.h"

namespace platform {

namespace {

// The same length and characters, compared in the same time whatever they hold.
bool samePin(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    ushort differ = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        differ |= ushort(a[i].unicode() ^ b[i].unicode());
    return differ == 0;
}

} // namespace

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
    while (!recentWrong_.empty() && nowMs - recentWrong_.front() >= MinuteMs)
        recentWrong_.pop_front();
    for (auto it = failures_.begin(); it != failures_.end();) {
        if (nowMs >= it->lockedUntil && nowMs - it->last >= LockOutMs)
            it = failures_.erase(it);
        else
            ++it;
    }
}

PinGuard::Verdict PinGuard::check(const QHostAddress &from, const QString &given, const QString &pin, qint64 nowMs,
                                  bool trusted)
{
    prune(nowMs);
    const QString key = addressKey(from);
    auto it = failures_.find(key);
    if (it != failures_.end() && nowMs < it->lockedUntil)
        return Verdict::Locked;
    if (!trusted && int(recentWrong_.size()) >= MaxWrongPerMinute)
        return Verdict::Busy;
    if (samePin(given, pin)) {
        if (it != failures_.end())
            failures_.erase(it);
        return Verdict::Right;
    }
    recentWrong_.push_back(nowMs);
    Failures &f = failures_[key]; // an address whose lock-out is over was forgotten above
    f.last = nowMs;
    if (++f.count >= MaxWrongPerAddress)
        f.lockedUntil = nowMs + LockOutMs;
    return f.lockedUntil > nowMs ? Verdict::Locked : Verdict::Wrong;
}

} // namespace platform
