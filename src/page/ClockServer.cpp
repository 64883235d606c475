#include "page/ClockServer.h"

#include "chips/ColourUp.h"
#include "page/ControlProof.h"
#include "page/HttpHead.h"
#include "page/NetworkAddress.h"
#include "platform/Colour.h"
#include "platform/OffThread.h"
#include "platform/RegularFile.h"
#include "platform/TextFile.h"
#include "tournament/SavedGame.h"
#include "tournament/SetupTexts.h"
#include "tournament/Standings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <qrencode.h>
#include <utility>

// Resources are registered outside any namespace.
static void initPageResource()
{
    Q_INIT_RESOURCE(page);
}

namespace platform {

namespace {

using proof::randomCode;

QString colourName(qint32 colour)
{
    return toQColor(colour).name();
}

QByteArray page()
{
    initPageResource();
    QFile f(QStringLiteral(":/page/clock.html"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A steady clock for the PIN's minutes and the taps.
qint64 steadyMs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

QByteArray compact(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// The address a connection is counted under: one phone, one TV, one computer.
QString hostKey(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

QImage qrImage(const QString &text)
{
    if (text.isEmpty())
        return QImage();
    QRcode *code = QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return QImage();
    constexpr int quiet = 4;
    const int size = code->width + 2 * quiet;
    QImage image(size, size, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x)
            if (code->data[y * code->width + x] & 1)
                image.setPixel(x + quiet, y + quiet, 1);
    QRcode_free(code);
    return image;
}

// What the server keeps of an HTTP connection while it waits for, reads and answers requests.
class Connection : public QObject {
public:
    static constexpr char Name[] = "chiplark-http-connection";
    Connection(QTcpSocket *socket, quint64 order) : QObject(socket), order(order)
    {
        setObjectName(QLatin1String(Name));
        deadline.setSingleShot(true);
        deadline.start(ClockServer::IdleMs);
    }
    QTimer deadline;
    quint64 order;          // accepted after every connection with a smaller one
    bool inRequest = false; // bytes of a request have come
    qint64 bodyLeft = 0;    // bytes of a body still to pass over
    bool ending = false;    // the last answer is written; the connection closes
};

// A connection's place in the counts per address and in all, given back once: when it closes,
// or when it becomes a phone with control, which counts against neither.
class Counted : public QObject {
public:
    static constexpr char Name[] = "chiplark-counted";
    Counted(QTcpSocket *socket, std::function<void()> release) : QObject(socket), release_(std::move(release))
    {
        setObjectName(QLatin1String(Name));
    }
    ~Counted() override { release(); } // with its socket
    Counted(const Counted &) = delete;
    Counted &operator=(const Counted &) = delete;
    void release()
    {
        if (release_)
            std::exchange(release_, nullptr)();
    }

private:
    std::function<void()> release_;
};

Counted *countedOf(QTcpSocket *socket)
{
    return static_cast<Counted *>(
        socket->findChild<QObject *>(QLatin1String(Counted::Name), Qt::FindDirectChildrenOnly));
}

Connection *connectionOf(QTcpSocket *socket)
{
    // Found by name: the class has no meta-object of its own to be told apart by.
    return static_cast<Connection *>(
        socket->findChild<QObject *>(QLatin1String(Connection::Name), Qt::FindDirectChildrenOnly));
}

// A TV reloading an address that was renewed reads why it no longer works.
bool looksLikeToken(const QByteArray &part)
{
    static const QRegularExpression token(QStringLiteral("^[0-9a-f]{32}$"));
    return token.match(QLatin1String(part)).hasMatch();
}

QByteArray movedText()
{
    return QStringLiteral("This clock's address has changed \u2014 open the new one shown on the host's screen\n")
        .toUtf8();
}

constexpr qint64 MaxUnsentAnswerBytes = 256 * 1024; // answers waiting for a reader that does not read
constexpr int ClosingGraceMs = 2000;                // for the last answer to leave, before the line is cut
constexpr qint64 PageAddressBytes = 4096;

// The size of a value as it is sent.
qsizetype jsonBytes(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact).size();
}

// The seats, the names and the results, each within a size of its own, so that a push stays
// far below what a slow reader is allowed to fall behind by. The names are sent whole while
// they are short; a long list (or one past the first MaxNames) keeps only those the seats and
// the results show, the others empty, and says so. The results list the best places that
// fit; resultsCount says how many there are.
void addSeating(QJsonObject &o, const DisplayState &s)
{
    const int tableCount = std::clamp(s.tables, 0, tables::MaxTables);
    QJsonArray seatMap;
    QSet<int> seated;
    for (int t = 0; t < std::min<int>(tableCount, int(s.seatMap.size())); ++t) {
        QJsonArray row;
        for (int seat = 0; seat < std::min<int>(tables::MaxSeats, int(s.seatMap[t].size())); ++seat) {
            row.append(s.seatMap[t][seat]);
            seated.insert(s.seatMap[t][seat]);
        }
        seatMap.append(row);
    }
    QJsonArray results;
    qsizetype resultsBytes = 0;
    for (const tournament::Place &p : s.results) {
        const QJsonObject place{{QStringLiteral("place"), double(p.place)},
                                {QStringLiteral("entry"), double(p.entry)},
                                {QStringLiteral("name"), p.name},
                                {QStringLiteral("table"), p.seat.table},
                                {QStringLiteral("seat"), p.seat.seat},
                                {QStringLiteral("prize"), double(p.prize)},
                                {QStringLiteral("line"), tournament::placeLine(p, s.currency)}};
        resultsBytes += jsonBytes(place) + 1;
        if (resultsBytes > ClockServer::MaxResultsBytes)
            break;
        results.append(place);
        seated.insert(int(p.entry));
    }
    QJsonArray names = QJsonArray::fromStringList(s.names.mid(0, ClockServer::MaxNames));
    const bool partial = s.names.size() > ClockServer::MaxNames
                         || QJsonDocument(names).toJson(QJsonDocument::Compact).size() > ClockServer::MaxNamesBytes;
    if (partial)
        for (qsizetype i = 0; i < names.size(); ++i)
            if (!seated.contains(int(i + 1)))
                names[i] = QString();
    o.insert(QStringLiteral("tables"), tableCount);
    o.insert(QStringLiteral("seats"), std::clamp(s.seats, 0, tables::MaxSeats));
    o.insert(QStringLiteral("seatMap"), seatMap);
    o.insert(QStringLiteral("seatCalls"), QJsonArray::fromStringList(s.seatCalls.mid(0, ClockServer::MaxSeatCalls)));
    o.insert(QStringLiteral("move"), s.move);
    o.insert(QStringLiteral("moveFrom"), s.move.isEmpty() ? 0 : s.moveFrom);
    o.insert(QStringLiteral("redrawOffered"), s.redrawOffered);
    o.insert(QStringLiteral("names"), names);
    o.insert(QStringLiteral("nameCount"), int(s.names.size()));
    o.insert(QStringLiteral("namesPartial"), partial);
    o.insert(QStringLiteral("results"), results);
    o.insert(QStringLiteral("resultsCount"), double(s.results.size()));
}

// With a chip case: the colour-up said ahead and the one in the break, the add-on, the next
// break, the night's plan (the row in play marked), the case's chips and the chip race.
void addChips(QJsonObject &o, const DisplayState &s)
{
    // The plan from a row before the one in play, as many rows as a push holds.
    qsizetype first = 0;
    for (qsizetype i = 0; i < qsizetype(s.plan.size()); ++i)
        if (s.plan[size_t(i)].now)
            first = std::max<qsizetype>(0, i - 1);
    QJsonArray plan;
    for (qsizetype i = first; i < std::min<qsizetype>(qsizetype(s.plan.size()), first + ClockServer::MaxPlanRows);
         ++i) {
        const PlanRow &r = s.plan[size_t(i)];
        plan.append(QJsonObject{{QStringLiteral("level"), r.level},
                                {QStringLiteral("at"), r.at},
                                {QStringLiteral("blinds"), r.blinds},
                                {QStringLiteral("now"), r.now}});
    }
    QJsonArray values;
    for (const chips::Chip &c : s.chipValues)
        values.append(QJsonObject{{QStringLiteral("value"), double(c.value)}, {QStringLiteral("colour"), c.colour}});
    QJsonArray leaving;
    for (const qint64 chip : s.raceLeaving)
        leaving.append(double(chip));
    o.insert(QStringLiteral("chips"),
             QJsonObject{{QStringLiteral("warning"), s.chipWarning},
                         {QStringLiteral("colourUp"), s.colourUp},
                         {QStringLiteral("addOnNow"), s.addOnNow},
                         {QStringLiteral("nextBreak"), s.nextBreak},
                         {QStringLiteral("summary"), s.planSummary},
                         {QStringLiteral("plan"), plan},
                         {QStringLiteral("values"), values},
                         {QStringLiteral("race"), QJsonObject{{QStringLiteral("leaving"), leaving},
                                                              {QStringLiteral("to"), double(s.raceTo)},
                                                              {QStringLiteral("rules"), chips::RaceRules}}}});
}

// A whole number from low to high, or none.
std::optional<qint64> wholeIn(const QJsonValue &v, double low, double high)
{
    if (!v.isDouble() || v.toDouble() < low || v.toDouble() > high || v.toDouble() != double(qint64(v.toDouble())))
        return std::nullopt;
    return qint64(v.toDouble());
}

// A control as the game takes it: the count the phone saw (when it says, a whole number), a
// bust's or a move's seat ("table" and "seat", both or, for a bust, neither), and the names
// (strings, trimmed and cut to the length the game keeps, MaxNames at most). None when a seat
// or the names are malformed.
std::optional<GameCommand> pageCommand(GameCommand::Kind kind, const QJsonObject &o)
{
    GameCommand c(kind, o.value(QStringLiteral("confirm")).toBool(), wholeIn(o.value(QStringLiteral("seen")), 0, 1e15));
    if (kind == GameCommand::Bust || kind == GameCommand::Move) {
        const bool given = o.contains(QStringLiteral("table")) || o.contains(QStringLiteral("seat"));
        const std::optional<qint64> table = wholeIn(o.value(QStringLiteral("table")), 1, tables::MaxTables);
        const std::optional<qint64> seat = wholeIn(o.value(QStringLiteral("seat")), 1, tables::MaxSeats);
        if ((given || kind == GameCommand::Move) && (!table || !seat))
            return std::nullopt;
        if (table && seat)
            c.seat = {int(*table), int(*seat)};
    }
    if (kind == GameCommand::Names) {
        const QJsonValue value = o.value(QStringLiteral("names"));
        const QJsonArray list = value.toArray();
        if (!value.isArray() || list.size() > ClockServer::MaxNames)
            return std::nullopt;
        for (const auto &name : list) {
            if (!name.isString())
                return std::nullopt;
            c.names << tournament::keptName(name.toString());
        }
    }
    return c;
}

} // namespace

// What the server keeps of an open page's socket.
struct ClockServer::Phone {
    std::unique_ptr<QWebSocket> socket;
    QPointer<QTcpSocket> tcp; // under the socket: what it has not sent yet
    quint64 id = 0;
    int missedPings = 0;
    QByteArray key;                  // the control key bound to it; empty: it watches
    QByteArray nonce;                // what it proves a key or the link against, once
    bool behind = false;             // still sending a push: the newest follows once it is sent
    qint64 stuckSince = -1;          // since when the system has taken none of its bytes
    QString pinAsked;                // a PIN waiting for its turn
    qint64 credit = MaxTaps * TapMs; // milliseconds of taps in hand: a tap costs TapMs
    qint64 tapsAt = 0;
    qint64 refusedAt = -1; // when it was last told it taps too fast
    bool letGo = false;    // too far behind: being cut
    QString address;       // what it is counted under when room is made
};

ClockServer::ClockServer() : kept_(newPageAddress(0)), link_(randomCode())
{
    lastState_ = stateMessage(DisplayState{});
    pinTurn_ = new QTimer(this);
    pinTurn_->setSingleShot(true);
    connect(pinTurn_, &QTimer::timeout, this, &ClockServer::givePinTurns);
    ping_ = new QTimer(this);
    ping_->setInterval(PingMs);
    connect(ping_, &QTimer::timeout, this, &ClockServer::pingAll);
}

qint64 ClockServer::now() const
{
    return clock_ ? clock_() : steadyMs();
}

void ClockServer::setPingInterval(int ms)
{
    ping_->setInterval(ms);
}

ClockServer::~ClockServer()
{
    // The sockets go first, told nothing of it: their signals would reach a server half gone.
    stop();
}

void ClockServer::setAddressFile(const QString &path)
{
    if (path == addressFile_)
        return;
    addressFile_ = path;
    addressLoaded_ = false;
}

// The address kept from an earlier run, once; a file that is there but cannot be read is
// left alone, and a new address is used without being kept.
void ClockServer::loadAddress()
{
    if (addressLoaded_ || addressFile_.isEmpty())
        return;
    addressLoaded_ = true;
    FileContents file;
    runOffThread([&] { file = readRegularFile(addressFile_, PageAddressBytes, false); });
    addressFileReadable_ = file.state != FileState::Unreadable;
    if (file.state == FileState::Regular) {
        addressOnDisk_ = file.bytes;
        if (const std::optional<PageAddress> kept = parsePageAddress(file.bytes))
            kept_ = *kept;
    }
}

// The file is written away from the window's thread; a write that fails is said in the
// options (the address will not stay the same) and tried again until it is kept.
void ClockServer::keepAddress()
{
    if (addressFile_.isEmpty() || !addressFileReadable_)
        return;
    const QByteArray text = formatPageAddress(kept_);
    if (text == addressOnDisk_)
        return;
    addressOnDisk_ = text;
    if (!addressWriter_) {
        addressWriter_ = std::make_unique<LatestFileWriter>(
            QStringLiteral("the page's address"), std::chrono::milliseconds(0), LatestFileWriter::DefaultRetry, true);
        addressWriter_->setReport([this](bool kept, const QString &line) {
            std::fprintf(stderr, "Chiplark: %s\n", qPrintable(line));
            QMetaObject::invokeMethod(
                this,
                [this, kept, line] {
                    addressNotKept_ = kept ? QString() : line;
                    if (controlChanged_)
                        controlChanged_();
                },
                Qt::QueuedConnection);
        });
    }
    addressWriter_->write(addressFile_, text);
}

bool ClockServer::start(QString *why)
{
    if (running())
        return true;
    loadAddress();
    auto tcp = std::make_unique<QTcpServer>();
    const quint16 keptPort = kept_.port;
    std::vector<quint16> ports;
    if (keptPort != 0)
        ports.push_back(keptPort);
    for (int i = 0; i < PortsTried; ++i)
        if (quint16(FirstPort + i) != keptPort)
            ports.push_back(quint16(FirstPort + i));
    bool listening = false;
    for (quint16 port : ports)
        if ((listening = tcp->listen(QHostAddress::Any, port)))
            break;
    if (!listening) {
        if (why)
            *why = QStringLiteral("No free port from %1 to %2: %3")
                       .arg(FirstPort)
                       .arg(FirstPort + PortsTried - 1)
                       .arg(tcp->errorString());
        return false;
    }
    kept_.port = tcp->serverPort();
    moved_ = keptPort != 0 && kept_.port != keptPort;
    tcp_ = tcp.release();
    connect(tcp_, &QTcpServer::newConnection, this, &ClockServer::acceptConnections);
    sockets_ = new QWebSocketServer(QStringLiteral("Chiplark"), QWebSocketServer::NonSecureMode, this);
    sockets_->setMaxPendingConnections(MaxWebSockets);
    connect(sockets_, &QWebSocketServer::newConnection, this, &ClockServer::acceptWebSockets);
    findNetwork();
    keepAddress();
    loadKeys();
    ping_->start();
    return true;
}

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

// Where phones and TVs reach this computer: the interface with the default route first.
void ClockServer::findNetwork()
{
    const AddressChoice reach = currentAddressChoice();
    host_ = reach.host;
    noNetwork_ = reach.noNetwork;
    others_.clear();
    for (const QString &other : reach.others)
        others_ << QStringLiteral("http://%1:%2/%3/").arg(other).arg(kept_.port).arg(QString::fromLatin1(kept_.token));
}

void ClockServer::stop()
{
    ping_->stop();
    pinTurn_->stop();
    for (const auto &phone : clients_) {
        guard_.forget(phone->id);
        phone->socket->disconnect(this);
        phone->socket->abort();
    }
    clients_.clear();
    // Control ends with serving: a phone pairs again when the page is served again.
    const bool hadKeys = !keys_.empty();
    const bool keptKeys = hadKeys || !keptKeys_.empty();
    keys_.clear();
    keptKeys_.clear();
    if (keptKeys)
        keepKeys();
    if (hadKeys && controlChanged_)
        controlChanged_();
    // Sockets already let go of end now, while the connections under them still exist.
    for (const QPointer<QWebSocket> &gone : disposed_)
        delete gone.data();
    disposed_.clear();
    delete sockets_; // with any socket still in its handshake
    sockets_ = nullptr;
    delete tcp_; // nothing listens any more, and every connection it accepted is gone
    tcp_ = nullptr;
}

bool ClockServer::renewAddress(QString *why)
{
    kept_ = newPageAddress(kept_.port);
    addressLoaded_ = true; // the kept one is no longer wanted
    addressFileReadable_ = true;
    moved_ = false;
    if (!running())
        return start(why);
    // The new address is kept before any page learns the old one is gone.
    findNetwork();
    keepAddress();
    // Open pages learn that their address is gone, and say so; nothing asked of the old
    // address is answered any more.
    const QString moved = QStringLiteral("{\"type\":\"moved\"}");
    std::vector<std::unique_ptr<Phone>> leaving = std::move(clients_);
    clients_.clear();
    keys_.clear();
    keptKeys_.clear();
    keepKeys();
    link_ = randomCode();
    for (auto &phone : leaving) {
        guard_.forget(phone->id);
        QWebSocket *client = phone->socket.release();
        client->disconnect(this);
        client->sendTextMessage(moved);
        client->flush();
        client->close(QWebSocketProtocol::CloseCodeGoingAway);
        dispose(client);
    }
    if (controlChanged_)
        controlChanged_();
    for (QTcpSocket *socket : tcp_->findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly))
        if (connectionOf(socket))
            socket->abort();
    return true;
}

QString ClockServer::address() const
{
    if (!running())
        return QString();
    return QStringLiteral("http://%1:%2/%3/").arg(host_).arg(kept_.port).arg(QString::fromLatin1(kept_.token));
}

QImage ClockServer::qrCode() const
{
    return qrImage(address());
}

QString ClockServer::controlLink() const
{
    return running() ? address() + QStringLiteral("#control=") + QString::fromLatin1(link_) : QString();
}

QImage ClockServer::controlCode() const
{
    return qrImage(controlLink());
}

// Every phone loses control, and the link shown so far is void.
void ClockServer::revokeControl()
{
    keys_.clear();
    keptKeys_.clear();
    keepKeys();
    link_ = randomCode();
    const QByteArray revoked = compact({{QStringLiteral("type"), QStringLiteral("paired")},
                                        {QStringLiteral("ok"), false},
                                        {QStringLiteral("why"), QStringLiteral("revoked")}});
    for (const auto &phone : clients_)
        if (!std::exchange(phone->key, QByteArray()).isEmpty())
            send(*phone, revoked);
    if (controlChanged_)
        controlChanged_();
}

QByteArray ClockServer::stateMessage(const DisplayState &s)
{
    QJsonObject colours{{QStringLiteral("back"), colourName(s.backColour)},
                        {QStringLiteral("text"), colourName(s.textColour)},
                        {QStringLiteral("ante"), colourName(s.anteColour)},
                        {QStringLiteral("title"), colourName(s.titleColour)}};
    QJsonObject o{{QStringLiteral("type"), QStringLiteral("state")},
                  {QStringLiteral("shown"), s.shown},
                  {QStringLiteral("paused"), s.paused},
                  {QStringLiteral("inBreak"), s.inBreak},
                  {QStringLiteral("round"), s.round},
                  {QStringLiteral("secondsLeft"), s.secondsLeft},
                  {QStringLiteral("levelSeconds"), s.levelSeconds},
                  {QStringLiteral("gameSeconds"), double(s.gameSeconds)},
                  {QStringLiteral("small"), s.smallBlind},
                  {QStringLiteral("big"), s.bigBlind},
                  {QStringLiteral("ante"), s.anteAmount},
                  {QStringLiteral("currency"), s.currency},
                  {QStringLiteral("next"), s.nextLevel},
                  {QStringLiteral("lastLevel"), s.lastLevel},
                  {QStringLiteral("backQuestion"), s.backQuestion},
                  {QStringLiteral("breakNext"), s.breakNext},
                  {QStringLiteral("title"), s.gameTitle},
                  {QStringLiteral("blindsText"), s.blinds.text},
                  {QStringLiteral("anteText"), s.ante.visible ? s.ante.text : QString()},
                  {QStringLiteral("colours"), colours}};
    // The count, only while the game counts players.
    if (s.counting) {
        const tournament::Band &b = s.bandParts;
        o.insert(QStringLiteral("count"),
                 QJsonObject{{QStringLiteral("players"), b.players},
                             {QStringLiteral("average"), b.average},
                             {QStringLiteral("pool"), b.pool},
                             {QStringLiteral("payouts"), QJsonArray::fromStringList(b.payouts)},
                             {QStringLiteral("rounding"), b.rounding},
                             {QStringLiteral("rebuysUntil"), b.rebuysUntil},
                             {QStringLiteral("locked"), s.payoutsLocked},
                             {QStringLiteral("lockNote"), b.locked},
                             {QStringLiteral("unshared"), b.unshared},
                             {QStringLiteral("records"), double(s.records)},
                             {QStringLiteral("recent"), QJsonArray::fromStringList(s.recent)}});
    }
    // The tables, the seats and the names, only in a game that has them.
    if (s.tables > 0 || !s.names.isEmpty())
        addSeating(o, s);
    if (s.chipCase)
        addChips(o, s);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// Put into words once per pass of the event loop, however many states came in it, and only
// while a page is open.
void ClockServer::publish(const DisplayState &state)
{
    unsent_ = state;
    if (clients_.empty() || std::exchange(pushing_, true))
        return;
    QMetaObject::invokeMethod(this, &ClockServer::push, Qt::QueuedConnection);
}

void ClockServer::push()
{
    pushing_ = false;
    if (clients_.empty() || !unsent_)
        return;
    lastState_ = stateMessage(*std::exchange(unsent_, std::nullopt));
    // A socket dropped while sending leaves the list: go over a copy of who was there.
    std::vector<Phone *> phones;
    for (const auto &phone : clients_)
        phones.push_back(phone.get());
    for (Phone *phone : phones)
        pushTo(*phone);
}

// The latest state, unless the last push is still on its way: then it follows once that is.
void ClockServer::pushTo(Phone &phone)
{
    phone.behind = phone.tcp && phone.tcp->bytesToWrite() > 0;
    if (phone.behind)
        return cutIfStuck(phone);
    send(phone, lastState_);
}

ClockServer::Phone *ClockServer::phoneOf(const QWebSocket *socket)
{
    for (const auto &phone : clients_)
        if (phone->socket.get() == socket)
            return phone.get();
    return nullptr;
}

// A reader the system takes nothing from for a long while (a phone asleep with its socket
// open, or one that never reads) is let go rather than held in memory; one that reads slowly
// stays, however much one pass of the event loop gave it.
void ClockServer::send(Phone &phone, const QByteArray &message)
{
    if (phone.letGo)
        return;
    if (phone.tcp && phone.tcp->bytesToWrite() + message.size() > MaxUnsentBytes)
        return cutIfStuck(phone, true); // beyond any reader
    phone.socket->sendTextMessage(QString::fromUtf8(message));
}

void ClockServer::cutIfStuck(Phone &phone, bool atOnce)
{
    const qint64 at = now();
    if (phone.stuckSince < 0)
        phone.stuckSince = at;
    if (phone.letGo || (!atOnce && at - phone.stuckSince < StuckMs))
        return;
    // Cut once the caller is done with it: its disconnected() takes it off the list.
    phone.letGo = true;
    QMetaObject::invokeMethod(phone.socket.get(), &QWebSocket::abort, Qt::QueuedConnection);
}

// Every watching socket is taken: the oldest of the address holding the most gives way. A
// phone with control is never let go for room.
void ClockServer::makeRoom()
{
    if (watchingCount() < MaxWebSockets)
        return;
    QHash<QString, int> held;
    for (const auto &phone : clients_)
        if (phone->key.isEmpty() && !phone->letGo)
            ++held[phone->address];
    Phone *oldest = nullptr;
    for (const auto &phone : clients_)
        if (phone->key.isEmpty() && !phone->letGo && (!oldest || held[phone->address] > held[oldest->address]))
            oldest = phone.get(); // the first of the busiest, as the list is in order of arrival
    if (!oldest)
        return;
    QWebSocket *socket = oldest->socket.get();
    socket->close(QWebSocketProtocol::CloseCodeGoingAway);
    drop(socket);
}

int ClockServer::watchingCount() const
{
    return int(std::count_if(clients_.begin(), clients_.end(),
                             [](const auto &phone) { return phone->key.isEmpty() && !phone->letGo; }));
}

void ClockServer::drop(QWebSocket *socket)
{
    for (auto it = clients_.begin(); it != clients_.end(); ++it)
        if ((*it)->socket.get() == socket) {
            guard_.forget((*it)->id);
            for (Key &k : keys_)
                if (k.phone == (*it)->id)
                    k.phone = 0;
            dispose((*it)->socket.release());
            clients_.erase(it);
            return;
        }
}

// Browsers answer pings by themselves; a phone gone without closing (out of range, its
// battery flat) misses two and frees its place.
void ClockServer::pingAll()
{
    std::vector<QWebSocket *> gone;
    for (const auto &phone : clients_) {
        if (phone->missedPings >= 2) {
            gone.push_back(phone->socket.get());
            continue;
        }
        ++phone->missedPings;
        phone->socket->ping();
    }
    for (QWebSocket *socket : gone)
        socket->abort();
}

void ClockServer::acceptConnections()
{
    while (tcp_ && tcp_->hasPendingConnections()) {
        QTcpSocket *socket = tcp_->nextPendingConnection();
        const QString key = hostKey(socket->peerAddress());
        // A full server makes room by cutting the request that has waited longest to arrive.
        if (open_ >= MaxConnections && perAddress_.value(key) < MaxPerAddress)
            evictOldestRequest();
        // Over a limit the connection is cut at once: it holds nothing and learns nothing.
        if (open_ >= MaxConnections || perAddress_.value(key) >= MaxPerAddress) {
            socket->abort();
            delete socket;
            continue;
        }
        track(socket, key);
    }
}

// The connection accepted first among those still waiting for, or reading, a request: slow
// requests give way to new ones, so a TV gets in however many are held open. Pages already
// answered and sockets are never cut here.
void ClockServer::evictOldestRequest()
{
    QTcpSocket *oldest = nullptr;
    quint64 order = 0;
    for (QTcpSocket *socket : tcp_->findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly)) {
        const Connection *c = connectionOf(socket);
        if (c && !c->ending && (!oldest || c->order < order)) {
            oldest = socket;
            order = c->order;
        }
    }
    if (!oldest)
        return;
    oldest->abort();
    delete oldest; // counted off now, not at the next turn of the event loop
}

void ClockServer::track(QTcpSocket *socket, const QString &key)
{
    ++open_;
    ++perAddress_[key];
    // Counted until its descriptor is closed (or the socket is gone, whichever comes first),
    // also after it has become a WebSocket, unless that is given control.
    auto *counted = new Counted(socket, [this, key] {
        --open_;
        if (--perAddress_[key] <= 0)
            perAddress_.remove(key);
    });
    connect(socket, &QAbstractSocket::disconnected, counted, &Counted::release);
    socket->setReadBufferSize(HttpHead::MaxHeadBytes + HttpHead::MaxBodyBytes);
    auto *c = new Connection(socket, ++accepted_);
    connect(&c->deadline, &QTimer::timeout, socket, [this, socket, c] {
        if (c->ending || !c->inRequest) {
            socket->abort(); // idle, or an answer nobody reads
            return;
        }
        answer(socket, 408, true);
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { serve(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

// Reads what has come on a connection: requests are answered in turn, bodies passed over.
void ClockServer::serve(QTcpSocket *socket)
{
    Connection *c = connectionOf(socket);
    if (!c)
        return;
    if (c->ending) {
        socket->skip(socket->bytesAvailable());
        if (socket->bytesToWrite() == 0)
            socket->disconnectFromHost();
        return;
    }
    while (socket->bytesAvailable() > 0 && socket->bytesToWrite() < MaxUnsentAnswerBytes) {
        if (!c->inRequest) {
            c->inRequest = true;
            c->deadline.start(RequestMs);
        }
        if (c->bodyLeft > 0) {
            c->bodyLeft -= socket->skip(std::min(c->bodyLeft, socket->bytesAvailable()));
            if (c->bodyLeft > 0)
                return;
            c->inRequest = false;
            c->deadline.start(IdleMs);
            continue;
        }
        const HttpHead head = parseHttpHead(socket->peek(HttpHead::MaxHeadBytes));
        if (head.state == HttpHead::State::Incomplete)
            return;
        if (head.state != HttpHead::State::Complete) {
            answer(socket, head.errorStatus(), true);
            return;
        }
        const QList<QByteArray> parts = head.target.split('?').first().split('/');
        const bool tokenGiven = parts.size() >= 2 && proof::same(parts[1], kept_.token);
        if (head.webSocket && tokenGiven && parts.size() == 3 && parts[2] == "ws") {
            if (upgrade(socket, head))
                return;
            socket->skip(head.length);
            answer(socket, 403, true);
            return;
        }
        socket->skip(head.length);
        c->bodyLeft = head.bodyLength;
        const bool isPage = parts.size() == 2 || (parts.size() == 3 && parts[2].isEmpty());
        // A refused request ends its connection: only the page keeps one open.
        if (!tokenGiven) {
            answer(socket, 403, true, looksLikeToken(parts.value(1)) ? movedText() : QByteArrayLiteral("Forbidden\n"),
                   "text/plain; charset=utf-8");
            return;
        }
        if (!isPage) {
            answer(socket, 404, true, QByteArrayLiteral("Not found\n"));
            return;
        }
        if (head.method != "GET" && head.method != "HEAD") {
            answer(socket, 405, true, QByteArrayLiteral("Method not allowed\n"));
            return;
        }
        const bool close = !head.keepAlive || head.webSocket;
        const QByteArray body = page();
        // A HEAD is told the length its GET would have.
        answer(socket, 200, close, head.method == "GET" ? body : QByteArray(), "text/html; charset=utf-8", body.size());
        if (close)
            return;
        if (c->bodyLeft == 0) {
            c->inRequest = false;
            c->deadline.start(IdleMs);
        }
    }
}

void ClockServer::answer(QTcpSocket *socket, int status, bool close, const QByteArray &body, const QByteArray &type,
                         qint64 length)
{
    std::vector<std::pair<QByteArray, QByteArray>> headers{
        {"Content-Type", type.isEmpty() ? QByteArrayLiteral("text/plain") : type},
        {"Cache-Control", "no-store"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"}};
    if (status == 200)
        headers.emplace_back("Content-Security-Policy",
                             "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                             "connect-src 'self'");
    if (status == 405)
        headers.emplace_back("Allow", "GET, HEAD");
    socket->write(httpResponse(status, headers, body, close, length));
    if (!close)
        return;
    Connection *c = connectionOf(socket);
    c->ending = true;
    c->deadline.start(ClosingGraceMs);
    socket->skip(socket->bytesAvailable());
    socket->disconnectFromHost(); // once the answer has left
}

// A WebSocket for the page, from the page itself (its Origin is the address it was served
// from, IPv6 brackets and all) is handed to the WebSocket server, which answers the
// handshake from the bytes still unread.
bool ClockServer::upgrade(QTcpSocket *socket, const HttpHead &head)
{
    const bool ownOrigin = !head.host.isEmpty() && head.origin.compare("http://" + head.host, Qt::CaseInsensitive) == 0;
    if (!ownOrigin)
        return false;
    delete connectionOf(socket); // no longer a request: never cut to make room
    QObject::disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    QObject::disconnect(socket, &QTcpSocket::bytesWritten, this, nullptr);
    socket->setReadBufferSize(0); // the socket's frames are bounded from here
    sockets_->handleConnection(socket);
    return true;
}

// Deleted once its own signal handling is over, or when the server stops.
void ClockServer::dispose(QWebSocket *socket)
{
    socket->setParent(this);
    socket->deleteLater();
    // Those already deleted leave the list, so it holds only sockets still going.
    disposed_.erase(std::remove_if(disposed_.begin(), disposed_.end(),
                                   [](const QPointer<QWebSocket> &gone) { return gone.isNull(); }),
                    disposed_.end());
    disposed_.push_back(socket);
}

void ClockServer::acceptWebSockets()
{
    while (sockets_ && sockets_->hasPendingConnections()) {
        std::unique_ptr<QWebSocket> client(sockets_->nextPendingConnection());
        if (!client)
            continue;
        // An address renewed during the handshake.
        const QByteArray wanted = '/' + kept_.token + QByteArrayLiteral("/ws");
        if (!proof::same(client->requestUrl().path(QUrl::FullyEncoded).toLatin1(), wanted)) {
            client->close(QWebSocketProtocol::CloseCodePolicyViolated);
            dispose(client.release());
            continue;
        }
        makeRoom();
        QWebSocket *raw = client.get();
        raw->setMaxAllowedIncomingFrameSize(16 * MaxMessageBytes);
        raw->setMaxAllowedIncomingMessageSize(16 * MaxMessageBytes);
        auto phone = std::make_unique<Phone>();
        phone->socket = std::move(client);
        // The connection under it is still the listening server's child: found by its peer.
        for (QTcpSocket *tcp : tcp_->findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly))
            if (!connectionOf(tcp) && tcp->peerPort() == raw->peerPort() && tcp->peerAddress() == raw->peerAddress())
                phone->tcp = tcp;
        phone->id = ++accepted_;
        phone->tapsAt = now();
        phone->address = hostKey(raw->peerAddress());
        phone->nonce = randomCode();
        connect(raw, &QWebSocket::textMessageReceived, this,
                [this, raw](const QString &message) { received(raw, message); });
        connect(raw, &QWebSocket::pong, this, [this, raw] {
            if (Phone *p = phoneOf(raw))
                p->missedPings = 0;
        });
        connect(raw, &QWebSocket::disconnected, this, [this, raw] { drop(raw); });
        if (phone->tcp)
            connect(phone->tcp, &QTcpSocket::bytesWritten, this, [this, raw] {
                if (Phone *p = phoneOf(raw)) {
                    p->stuckSince = -1;
                    if (p->behind && p->tcp && p->tcp->bytesToWrite() == 0)
                        pushTo(*p);
                }
            });
        clients_.push_back(std::move(phone));
        Phone &added = *clients_.back();
        send(added, compact({{QStringLiteral("type"), QStringLiteral("hello")},
                             {QStringLiteral("nonce"), QString::fromLatin1(added.nonce)}}));
        if (unsent_)
            lastState_ = stateMessage(*std::exchange(unsent_, std::nullopt));
        send(added, lastState_);
    }
}

void ClockServer::received(QWebSocket *client, const QString &message)
{
    Phone *phone = phoneOf(client);
    const QByteArray bytes = message.toUtf8();
    // Only a list of names from a page with control may be longer.
    const bool large = bytes.size() > MaxMessageBytes;
    if (!phone || (large && (phone->key.isEmpty() || bytes.size() > MaxNamesMessageBytes)))
        return;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (!doc.isObject())
        return;
    const QJsonObject o = doc.object();
    const QString action = o.value(QStringLiteral("action")).toString();
    if (large && action != QLatin1String("names"))
        return;
    if (action == QLatin1String("pair"))
        pair(*phone, o);
    else
        act(*phone, action, o);
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

// A page asks for control: by proving a key it holds or the one-time link, each against the
// socket's nonce (used once), or by the PIN.
void ClockServer::pair(Phone &phone, const QJsonObject &o)
{
    const QByteArray keyProof = o.value(QStringLiteral("proof")).toString().toLatin1();
    const QByteArray linkProof = o.value(QStringLiteral("link")).toString().toLatin1();
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
    const QString pin = o.value(QStringLiteral("pin")).toString();
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
            if (other->id == id) {
                other->key.clear();
                refuse(*other, why);
            }
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
void ClockServer::act(Phone &phone, const QString &action, const QJsonObject &o)
{
    // The page's controls, by the names it sends.
    static const std::pair<const char *, GameCommand::Kind> controls[] = {
        {"pause", GameCommand::PauseResume}, {"next", GameCommand::NextLevel},
        {"back", GameCommand::Back},         {"minus", GameCommand::MinuteLess},
        {"plus", GameCommand::MinuteMore},   {"entry", GameCommand::Entry},
        {"reentry", GameCommand::Reentry},   {"rebuy", GameCommand::Rebuy},
        {"addon", GameCommand::AddOn},       {"bust", GameCommand::Bust},
        {"undo", GameCommand::Undo},         {"lock", GameCommand::LockPayouts},
        {"move", GameCommand::Move},         {"refusemove", GameCommand::RefuseMove},
        {"redraw", GameCommand::Redraw},     {"drawseats", GameCommand::DrawSeats},
        {"names", GameCommand::Names}};
    const auto *control = std::find_if(std::begin(controls), std::end(controls),
                                       [&](const auto &c) { return action == QLatin1String(c.first); });
    if (control == std::end(controls))
        return;
    if (phone.key.isEmpty()) {
        send(phone, compact({{QStringLiteral("type"), QStringLiteral("paired")},
                             {QStringLiteral("ok"), false},
                             {QStringLiteral("why"), QStringLiteral("none")}}));
        return;
    }
    // The seat and the names, as the command takes them; a malformed one is ignored.
    const std::optional<GameCommand> command = pageCommand(control->second, o);
    if (!command)
        return;
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
    const GameReply done = handler_(*command);
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

} // namespace platform

// Compiled here, not with the library's other meta-objects, so only what serves the page
// links Qt WebSockets.
#include "moc_ClockServer.cpp" // NOLINT(bugprone-suspicious-include)
