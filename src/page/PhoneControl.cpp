#include "page/PageMessages.h"
#include "page/ServerParts.h"

#include "platform/OffThread.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace page {

using platform::FileContents;
using platform::FileState;
using platform::readRegularFile;
using platform::runOffThread;
using proof::randomCode;

QString ClockServer::keysFile() const
{
    return addressFile_.isEmpty() ? QString()
                                  : QFileInfo(addressFile_).dir().filePath(QStringLiteral("chiplark-page-control.txt"));
}

// Read at the first start only: later in the run the file holds this run's keys, which the
// server has.
void ClockServer::loadKeys()
{
    if (std::exchange(keysLoaded_, true) || keysFile().isEmpty())
        return;
    const QString path = keysFile();
    FileContents file;
    runOffThread([&] { file = readRegularFile(path, 80 * MaxKeys, false); });
    if (file.state != FileState::Regular)
        return;
    for (const QByteArray &line : file.bytes.split('\n'))
        if (int(keptKeys_.size()) < MaxKeys && looksLikeToken(line))
            keptKeys_.push_back(line);
}

// The keys a crashed game's phones had are never honoured, and their file goes (unless this
// run's own keys are in it).
void ClockServer::forgetKeptControl()
{
    keysLoaded_ = true;
    keptKeys_.clear();
    if (keys_.empty())
        keepKeys();
}

// Written on the writer's thread; with no key left, the file goes.
void ClockServer::keepKeys()
{
    if (keysFile().isEmpty())
        return;
    QByteArray text;
    for (const Key &k : keys_)
        text += k.key + '\n';
    for (const QByteArray &k : keptKeys_)
        text += k + '\n';
    if (text.isEmpty())
        keysWriter_.remove(keysFile());
    else
        keysWriter_.write(keysFile(), text);
}

// Every phone loses control, and the link shown so far is void.
void ClockServer::revokeControl()
{
    keys_.clear();
    keptKeys_.clear();
    keepKeys();
    link_ = randomCode();
    for (const auto &phone : clients_)
        if (!phone->key.isEmpty())
            takeControl(*phone, "revoked");
    if (controlChanged_)
        controlChanged_();
}

// What a page sends, read as the page's messages are (see PageMessages): a long one only from
// a page with control.
void ClockServer::received(QWebSocket *client, const QString &message)
{
    Phone *phone = phoneOf(client);
    if (!phone)
        return;
    const PageMessage m = readPageMessage(message.toUtf8(), !phone->key.isEmpty());
    if (m.kind == PageMessage::Kind::Pair)
        pair(*phone, m);
    else if (m.kind == PageMessage::Kind::Control)
        act(*phone, m);
}

void ClockServer::refuse(Phone &phone, const char *why)
{
    QJsonObject refused{{QStringLiteral("type"), QStringLiteral("paired")},
                        {QStringLiteral("ok"), false},
                        {QStringLiteral("why"), QLatin1String(why)}};
    // A proof that failed used the socket's nonce: another comes with the answer.
    if (phone.nonce.isEmpty()) {
        phone.nonce = randomCode();
        refused.insert(QStringLiteral("nonce"), QString::fromLatin1(phone.nonce));
    }
    send(phone, compact(refused));
}

// The phone no longer holds its key, and is told why.
void ClockServer::takeControl(Phone &phone, const char *why)
{
    phone.key.clear();
    refuse(phone, why);
}

// A page asks for control: by proving a key it holds or the one-time link, each against the
// socket's nonce (used once), or by the PIN.
void ClockServer::pair(Phone &phone, const PageMessage &m)
{
    const QByteArray &keyProof = m.keyProof;
    const QByteArray &linkProof = m.linkProof;
    if (!keyProof.isEmpty() || !linkProof.isEmpty()) {
        const QByteArray nonce = std::exchange(phone.nonce, QByteArray());
        if (nonce.isEmpty())
            return refuse(phone, linkProof.isEmpty() ? "key" : "link");
        if (!linkProof.isEmpty()) {
            if (!proof::same(linkProof, proof::ofLink(link_, nonce)))
                return refuse(phone, "link");
            const QByteArray key = proof::linkKey(std::exchange(link_, randomCode()), nonce); // used once
            return trust(phone, key, false);
        }
        for (const Key &k : keys_)
            if (proof::same(keyProof, proof::ofKey(k.key, nonce)))
                return trust(phone, QByteArray(k.key), false);
        // A key a run that died gave, proved again: it is this run's from now on.
        for (auto kept = keptKeys_.begin(); kept != keptKeys_.end(); ++kept)
            if (proof::same(keyProof, proof::ofKey(*kept, nonce))) {
                const QByteArray key = *kept;
                keptKeys_.erase(kept);
                return trust(phone, key, false);
            }
        return refuse(phone, "key");
    }
    const QString &pin = m.pin;
    if (pin.isEmpty())
        return refuse(phone, "key"); // a key sent as it is is never taken
    // One PIN at a time from an address: a second waits for the first's answer.
    const bool asked = phone.pinAsked.isEmpty() && guard_.ask(phone.id, phone.socket->peerAddress(), now());
    if (!asked && phone.pinAsked.isEmpty())
        return refuse(phone, "busy");
    phone.pinAsked = pin.left(16);
    givePinTurns();
    if (!phone.pinAsked.isEmpty())
        if (const std::optional<qint64> at = guard_.turnOf(phone.id))
            send(phone, compact({{QStringLiteral("type"), QStringLiteral("pairing")},
                                 {QStringLiteral("wait"), std::ceil(double(*at - now()) / 1000)}}));
}

// The PINs whose turn has come are checked; the timer waits for the next.
void ClockServer::givePinTurns()
{
    const qint64 at = now();
    for (const quint64 id : guard_.due(at)) {
        const auto it = std::find_if(clients_.begin(), clients_.end(), [id](const auto &p) { return p->id == id; });
        if (it == clients_.end())
            continue;
        Phone &phone = **it;
        const bool right = PinGuard::samePin(std::exchange(phone.pinAsked, QString()), kept_.pin);
        guard_.checked(phone.socket->peerAddress(), right, at);
        if (right)
            trust(phone, randomCode(), true);
        else
            refuse(phone, "pin");
    }
    if (const std::optional<qint64> next = guard_.nextDue())
        pinTurn_->start(int(std::clamp<qint64>(*next - now(), 0, 2 * PinGuard::MinuteMs)));
}

// The phone holds the key from now on, and so does no other socket. A key given by the PIN is
// told the phone; one proved, or taken from the link, it has already.
void ClockServer::trust(Phone &phone, const QByteArray &key, bool tellKey)
{
    auto it = std::find_if(keys_.begin(), keys_.end(), [&](const Key &k) { return proof::same(k.key, key); });
    const auto letGo = [this](quint64 id, const char *why) {
        for (const auto &other : clients_)
            if (other->id == id)
                takeControl(*other, why);
    };
    if (it == keys_.end()) {
        if (int(keys_.size()) >= MaxKeys) {
            letGo(keys_.front().phone, "full");
            keys_.erase(keys_.begin());
        }
        keys_.push_back({key, 0});
        it = keys_.end() - 1;
        keepKeys();
    }
    if (it->phone != 0 && it->phone != phone.id)
        letGo(it->phone, "elsewhere");
    it->phone = phone.id;
    phone.key = key;
    phone.pinAsked.clear();
    guard_.forget(phone.id);
    // A phone with control no longer counts against its address or the server's room.
    if (phone.tcp)
        if (Counted *counted = countedOf(phone.tcp))
            counted->release();
    QJsonObject paired{{QStringLiteral("type"), QStringLiteral("paired")}, {QStringLiteral("ok"), true}};
    if (tellKey)
        paired.insert(QStringLiteral("key"), QString::fromLatin1(key));
    send(phone, compact(paired));
    if (controlChanged_)
        controlChanged_();
}

// A control from a paired page, within its taps.
void ClockServer::act(Phone &phone, const PageMessage &m)
{
    if (phone.key.isEmpty()) {
        send(phone, compact({{QStringLiteral("type"), QStringLiteral("paired")},
                             {QStringLiteral("ok"), false},
                             {QStringLiteral("why"), QStringLiteral("none")}}));
        return;
    }
    // A malformed seat or list of names is ignored.
    if (!m.command)
        return;
    const QString &action = m.action;
    const auto reply = [this, action](Phone &to, const GameReply &done) {
        send(to, compact({{QStringLiteral("type"), QStringLiteral("done")},
                          {QStringLiteral("action"), action},
                          {QStringLiteral("done"), done.done},
                          {QStringLiteral("confirm"), done.confirm},
                          {QStringLiteral("seen"), double(done.seen)},
                          {QStringLiteral("text"), done.text}}));
    };
    // A hand taps a few times a second; a burst beyond that is refused, and said so once a
    // second at most.
    const qint64 at = now();
    phone.credit = std::min<qint64>(MaxTaps * TapMs, phone.credit + (at - phone.tapsAt));
    phone.tapsAt = at;
    if (phone.credit < TapMs) {
        if (phone.refusedAt < 0 || at - phone.refusedAt >= 1000) {
            phone.refusedAt = at;
            reply(phone, {false, false, QStringLiteral("Too many taps at once: wait a moment, then tap again."), 0});
        }
        return;
    }
    phone.credit -= TapMs;
    if (!handler_)
        return;
    const GameReply done = handler_(*m.command);
    // The phone that sent it hears what came of it once every page has the state it made (the
    // push asked for by the action goes first), so its next question counts from that.
    if (done.text.isEmpty())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, socket = phone.socket.get(), reply, done] {
            if (Phone *still = phoneOf(socket))
                reply(*still, done);
        },
        Qt::QueuedConnection);
}

} // namespace page
