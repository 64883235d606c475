#include "tournament/SavedGame.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tournament {

const QString SavedGameFile = QStringLiteral("chiplark-game.json");

namespace {

// 2: the players' names are kept with the records that give them; in 1, the k-th name went with
// the k-th buy-in.
constexpr int Version = 2;
constexpr int MaxLevels = 100000;

const char *const ActionKeys[] = {"entry", "reentry", "rebuy",  "addon",  "bust",
                                  "lock",  "move",    "redraw", "rename", "deal"};

// 64-bit amounts as text: a JSON number holds 53 bits exactly.
QJsonValue amount(qint64 v)
{
    return QString::number(v);
}

QJsonValue maybe(const std::optional<qint64> &v)
{
    return v ? amount(*v) : QJsonValue();
}

// Reading: a value of the wrong kind or out of range makes the whole file unreadable.
struct Reader {
    bool ok = true;

    std::optional<qint64> number(const QJsonValue &v, qint64 low, qint64 high)
    {
        bool parsed = false;
        qint64 n = 0;
        if (v.isString())
            n = v.toString().toLongLong(&parsed);
        else if (v.isDouble() && std::abs(v.toDouble()) < 9007199254740992.0
                 && v.toDouble() == double(qint64(v.toDouble()))) {
            n = qint64(v.toDouble());
            parsed = true;
        }
        if (!parsed || n < low || n > high) {
            ok = false;
            return std::nullopt;
        }
        return n;
    }
    qint64 get(const QJsonObject &o, const char *key, qint64 low, qint64 high)
    {
        return number(o.value(QLatin1String(key)), low, high).value_or(0);
    }
    std::optional<qint64> optional(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isNull() || v.isUndefined())
            return std::nullopt;
        return number(v, 0, std::numeric_limits<qint64>::max());
    }
    bool flag(const QJsonObject &o, const char *key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isBool())
            ok = false;
        return v.toBool();
    }
};

constexpr qint64 Max64 = std::numeric_limits<qint64>::max();
constexpr qint64 Max32 = std::numeric_limits<qint32>::max();
constexpr qint64 Min32 = std::numeric_limits<qint32>::min();
constexpr qint64 MaxGameSeconds = qint64(1) << 53;

QJsonArray triples(const std::vector<std::array<QString, 3>> &rows)
{
    QJsonArray array;
    for (const auto &row : rows)
        array.append(QJsonArray{row[0], row[1], row[2]});
    return array;
}

// Rows of three texts, each at most chars long; none when one is not.
std::optional<std::vector<std::array<QString, 3>>> readTriples(const QJsonArray &array, qsizetype chars)
{
    std::vector<std::array<QString, 3>> rows;
    for (const auto &v : array) {
        const QJsonArray row = v.toArray();
        if (row.size() != 3)
            return std::nullopt;
        std::array<QString, 3> texts;
        for (int i = 0; i < 3; ++i) {
            if (!row[i].isString() || row[i].toString().size() > chars)
                return std::nullopt;
            texts[size_t(i)] = row[i].toString();
        }
        rows.push_back(texts);
    }
    return rows;
}

QJsonObject setupObject(const Setup &s)
{
    QJsonArray shares;
    for (const qint32 share : s.shares)
        shares.append(share);
    return {{QStringLiteral("buyIn"), amount(s.buyIn)},
            {QStringLiteral("buyInChips"), amount(s.buyInChips)},
            {QStringLiteral("reentry"), maybe(s.reentry)},
            {QStringLiteral("reentryChips"), maybe(s.reentryChips)},
            {QStringLiteral("rebuy"), amount(s.rebuy)},
            {QStringLiteral("rebuyChips"), amount(s.rebuyChips)},
            {QStringLiteral("rebuyLastRound"), double(s.rebuyLastRound)},
            {QStringLiteral("reentryLastRound"), maybe(s.reentryLastRound)},
            {QStringLiteral("addOn"), amount(s.addOn)},
            {QStringLiteral("addOnChips"), amount(s.addOnChips)},
            {QStringLiteral("cut"), amount(s.cut)},
            {QStringLiteral("cutFixed"), s.cutFixed},
            {QStringLiteral("added"), amount(s.added)},
            {QStringLiteral("guarantee"), amount(s.guarantee)},
            {QStringLiteral("unit"), amount(s.unit)},
            {QStringLiteral("shares"), shares},
            {QStringLiteral("speak"), s.speak}};
}

// The tables, only when there is more than one or the players are seated at one.
void putLayout(QJsonObject &o, const Setup &s)
{
    if (!s.seats())
        return;
    QJsonArray order;
    for (const int t : s.layout.breakOrder)
        order.append(t);
    o.insert(QStringLiteral("tables"), s.layout.tables);
    o.insert(QStringLiteral("seats"), s.layout.seats);
    o.insert(QStringLiteral("breakOrder"), order);
    o.insert(QStringLiteral("seed"), QString::number(s.seed));
}

Setup readSetup(Reader &r, const QJsonObject &o)
{
    Setup s;
    s.buyIn = r.get(o, "buyIn", 0, Max64);
    s.buyInChips = r.get(o, "buyInChips", 0, Max64);
    s.reentry = r.optional(o, "reentry");
    s.reentryChips = r.optional(o, "reentryChips");
    s.rebuy = r.get(o, "rebuy", 0, Max64);
    s.rebuyChips = r.get(o, "rebuyChips", 0, Max64);
    s.rebuyLastRound = r.get(o, "rebuyLastRound", 0, 32767);
    // Kept since re-entries have a last round of their own: an older file has none.
    s.reentryLastRound = r.optional(o, "reentryLastRound");
    if (s.reentryLastRound && *s.reentryLastRound > 32767)
        r.ok = false;
    s.addOn = r.get(o, "addOn", 0, Max64);
    s.addOnChips = r.get(o, "addOnChips", 0, Max64);
    s.cutFixed = r.flag(o, "cutFixed");
    s.cut = r.get(o, "cut", 0, s.cutFixed ? Max64 : 100);
    s.added = r.get(o, "added", 0, Max64);
    s.guarantee = r.get(o, "guarantee", 0, Max64);
    s.unit = r.get(o, "unit", 1, Max64);
    const QJsonArray shares = o.value(QStringLiteral("shares")).toArray();
    qint64 sum = 0;
    for (const auto &v : shares) {
        s.shares.push_back(qint32(r.number(v, 1, 100000).value_or(0)));
        sum += s.shares.back();
    }
    if (!s.shares.empty() && (sum != 100000 || s.shares.size() > size_t(MaxPlaces)))
        r.ok = false;
    s.speak = r.flag(o, "speak");
    if (o.contains(QStringLiteral("entryLastRound"))) {
        s.entryLastRound = r.get(o, "entryLastRound", 1, 32767);
        s.lateLess = r.get(o, "lateLess", 0, Max64);
        s.lockAtClose = r.flag(o, "lockAtClose");
    }
    if (o.contains(QStringLiteral("bounty"))) {
        s.bounty = r.get(o, "bounty", 1, Max64);
        s.bountyUnit = r.get(o, "bountyUnit", 1, s.bounty);
        s.progressive = r.flag(o, "progressive");
        // Bounties are paid by seat: a game with them always has its tables written.
        r.ok = r.ok && s.bountyUnit > 0 && s.bounty % s.bountyUnit == 0 && o.contains(QStringLiteral("tables"));
    }
    if (o.contains(QStringLiteral("tables"))) {
        s.layout.tables = int(r.get(o, "tables", 1, tables::MaxTables));
        s.seated = s.layout.tables == 1;
        s.layout.seats = int(r.get(o, "seats", tables::MinSeats, tables::MaxSeats));
        for (const auto &v : o.value(QStringLiteral("breakOrder")).toArray())
            s.layout.breakOrder.push_back(int(r.number(v, 1, s.layout.tables).value_or(0)));
        if (s.layout.breakOrder.size() > size_t(tables::MaxTables))
            r.ok = false;
        bool parsed = false;
        s.seed = o.value(QStringLiteral("seed")).toString().toULongLong(&parsed);
        r.ok = r.ok && parsed;
    }
    return s;
}

QString clockText(qint64 seconds)
{
    const qint64 s = std::max<qint64>(0, seconds);
    if (s < 3600)
        return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

bool SavedGame::operator==(const SavedGame &o) const
{
    return currentRound == o.currentRound && listIndex == o.listIndex && secondsLeft == o.secondsLeft
           && levelSeconds == o.levelSeconds && gameSeconds == o.gameSeconds && played == o.played
           && currentAnte == o.currentAnte && breakSeconds == o.breakSeconds && paused == o.paused
           && breakWasRunning == o.breakWasRunning && levels == o.levels && settings == o.settings
           && counting == o.counting && setup == o.setup && records == o.records && names == o.names
           && seatMap == o.seatMap;
}

std::vector<std::array<QString, 3>> keptSettings(std::vector<std::array<QString, 3>> settings)
{
    if (settings.size() > size_t(SavedSettings))
        settings.resize(size_t(SavedSettings));
    for (std::array<QString, 3> &setting : settings)
        for (QString &text : setting)
            text.truncate(SavedSettingChars);
    return settings;
}

QByteArray formatSavedGame(const SavedGame &g)
{
    QJsonArray records;
    for (const Record &r : g.records) {
        QJsonArray record{QLatin1String(ActionKeys[int(r.action)]), amount(r.at)};
        if (!r.locked.empty()) {
            QJsonArray locked;
            for (const qint64 a : r.locked)
                locked.append(amount(a));
            record.append(locked);
        }
        if (r.seat.valid())
            record.append(QJsonArray{r.seat.table, r.seat.seat});
        if (r.player > 0 || !r.name.isEmpty() || r.less > 0 || !r.by.empty() || r.ends) {
            QJsonObject who;
            if (r.player > 0)
                who.insert(QStringLiteral("player"), r.player);
            if (!r.name.isEmpty())
                who.insert(QStringLiteral("name"), r.name);
            if (r.less > 0)
                who.insert(QStringLiteral("less"), amount(r.less));
            if (!r.by.empty()) {
                QJsonArray by;
                for (const int p : r.by)
                    by.append(p);
                who.insert(QStringLiteral("by"), by);
            }
            if (r.ends)
                who.insert(QStringLiteral("ends"), true);
            record.append(who);
        }
        records.append(record);
    }
    QJsonObject setup = setupObject(g.setup);
    putLayout(setup, g.setup);
    // Late registration, only when entries close.
    if (g.setup.entryLastRound > 0) {
        setup.insert(QStringLiteral("entryLastRound"), double(g.setup.entryLastRound));
        setup.insert(QStringLiteral("lateLess"), amount(g.setup.lateLess));
        setup.insert(QStringLiteral("lockAtClose"), g.setup.lockAtClose);
    }
    // Bounties, only when there are any.
    if (g.setup.bounty > 0) {
        setup.insert(QStringLiteral("bounty"), amount(g.setup.bounty));
        setup.insert(QStringLiteral("bountyUnit"), amount(g.setup.bountyUnit));
        setup.insert(QStringLiteral("progressive"), g.setup.progressive);
    }
    QJsonObject o{{QStringLiteral("chiplarkGame"), Version},
                  {QStringLiteral("currentRound"), g.currentRound},
                  {QStringLiteral("listIndex"), g.listIndex},
                  {QStringLiteral("secondsLeft"), g.secondsLeft},
                  {QStringLiteral("levelSeconds"), g.levelSeconds},
                  {QStringLiteral("gameSeconds"), amount(g.gameSeconds)},
                  {QStringLiteral("played"), g.played},
                  {QStringLiteral("currentAnte"), g.currentAnte},
                  {QStringLiteral("breakSeconds"), g.breakSeconds},
                  {QStringLiteral("paused"), g.paused},
                  // The countdown a pause stopped: without a pause there is none to tell.
                  {QStringLiteral("breakWasRunning"), g.breakWasRunning},
                  {QStringLiteral("levels"), triples(g.levels)},
                  {QStringLiteral("settings"), triples(g.settings)},
                  {QStringLiteral("counting"), g.counting},
                  {QStringLiteral("setup"), setup},
                  {QStringLiteral("records"), records}};
    if (!g.names.isEmpty())
        o.insert(QStringLiteral("names"), QJsonArray::fromStringList(g.names));
    if (!g.seatMap.empty()) {
        QJsonArray map;
        for (const std::vector<int> &table : g.seatMap) {
            QJsonArray seats;
            for (const int entry : table)
                seats.append(entry);
            map.append(seats);
        }
        o.insert(QStringLiteral("seatMap"), map);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

std::optional<SavedGame> parseSavedGame(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    Reader r;
    const qint64 version = r.get(o, "chiplarkGame", 1, Version);
    if (!r.ok)
        return std::nullopt;
    SavedGame g;
    const QJsonArray levels = o.value(QStringLiteral("levels")).toArray();
    std::optional<std::vector<std::array<QString, 3>>> rows = readTriples(levels, std::numeric_limits<int>::max());
    if (levels.isEmpty() || levels.size() > MaxLevels || !rows)
        return std::nullopt;
    g.levels = std::move(*rows);
    // A file without settings was written before they were kept.
    const QJsonValue settings = o.value(QStringLiteral("settings"));
    rows = readTriples(settings.toArray(), SavedSettingChars);
    if ((!settings.isUndefined() && !settings.isArray()) || settings.toArray().size() > SavedSettings || !rows)
        return std::nullopt;
    g.settings = std::move(*rows);

    // The break, or a level of the list at its row, so none past the list; or round 0, before
    // the first level, where a list emptied during the game and filled again leaves it.
    g.currentRound = qint32(r.get(o, "currentRound", -1, Max32));
    g.listIndex = qint32(r.get(o, "listIndex", 0, qint64(g.levels.size()) - 1));
    const bool inBreak = g.currentRound == -1;
    if (!inBreak && g.listIndex != std::max(0, g.currentRound - 1))
        return std::nullopt;
    // The game time: text, or in older files a plain number.
    g.gameSeconds = r.get(o, "gameSeconds", 0, MaxGameSeconds);
    // Past the last level the countdown runs on below zero, never further than the game has run.
    g.secondsLeft = qint32(r.get(o, "secondsLeft", inBreak ? 0 : std::max(Min32, -g.gameSeconds - 1), Max32));
    g.levelSeconds = qint32(r.get(o, "levelSeconds", 0, Max32));
    g.played = qint32(r.get(o, "played", 0, std::min(g.gameSeconds, Max32)));
    g.currentAnte = qint32(r.get(o, "currentAnte", 0, Max32));
    g.breakSeconds = qint16(r.get(o, "breakSeconds", 0, 32767));
    g.paused = r.flag(o, "paused");
    g.breakWasRunning = r.flag(o, "breakWasRunning");
    g.counting = r.flag(o, "counting");
    g.setup = readSetup(r, o.value(QStringLiteral("setup")).toObject());
    const QJsonArray records = o.value(QStringLiteral("records")).toArray();
    if (records.size() > MaxRecords)
        return std::nullopt;
    for (const auto &v : records) {
        const QJsonArray a = v.toArray();
        Record record;
        const auto *key = std::find_if(std::begin(ActionKeys), std::end(ActionKeys),
                                       [&](const char *k) { return a.at(0).toString() == QLatin1String(k); });
        // The player and the name, last when there are any.
        const bool hasWho = a.size() >= 3 && a.last().isObject();
        const qsizetype size = a.size() - (hasWho ? 1 : 0);
        if (size < 2 || size > 3 || key == std::end(ActionKeys))
            return std::nullopt;
        record.action = Action(key - std::begin(ActionKeys));
        record.at = r.number(a.at(1), 0, Max64).value_or(0);
        if (hasWho) {
            const QJsonObject who = a.last().toObject();
            const QJsonValue name = who.value(QStringLiteral("name"));
            if (who.contains(QStringLiteral("player")))
                record.player = int(r.get(who, "player", 1, MaxRecords));
            if (who.contains(QStringLiteral("less")))
                record.less = r.get(who, "less", 1, Max64);
            const QJsonArray by = who.value(QStringLiteral("by")).toArray();
            if (by.size() > tables::MaxTables * tables::MaxSeats)
                return std::nullopt;
            for (const auto &p : by)
                record.by.push_back(int(r.number(p, 1, MaxRecords).value_or(0)));
            if (who.contains(QStringLiteral("ends")))
                record.ends = r.flag(who, "ends");
            if (!name.isUndefined() && (!name.isString() || name.toString().size() > MaxNameChars))
                return std::nullopt;
            record.name = name.toString();
        }
        if (record.action == Action::LockPayouts || record.action == Action::Deal) {
            for (const auto &amountValue : a.at(2).toArray())
                record.locked.push_back(r.number(amountValue, 0, Max64).value_or(0));
            // A lock without amounts is the unlock.
            if (size == 3 && record.locked.empty())
                return std::nullopt;
        } else if (size == 3) {
            // Any other action carries only a seat.
            const QJsonArray seat = a.at(2).toArray();
            if (seat.size() != 2)
                return std::nullopt;
            record.seat = {int(r.number(seat.at(0), 1, tables::MaxTables).value_or(0)),
                           int(r.number(seat.at(1), 1, tables::MaxSeats).value_or(0))};
        }
        g.records.push_back(record);
    }
    const QJsonValue names = o.value(QStringLiteral("names"));
    if (!names.isUndefined() && (!names.isArray() || names.toArray().size() > MaxRecords))
        return std::nullopt;
    for (const auto &v : names.toArray()) {
        if (!v.isString() || v.toString().size() > MaxNameChars)
            return std::nullopt;
        g.names << v.toString();
    }
    if (!r.ok)
        return std::nullopt;
    // An older file's names went with the buy-ins in their order: each entry's is now its own.
    if (version == 1) {
        qsizetype buyIn = 0;
        for (Record &record : g.records) {
            if (record.action == Action::Entry)
                record.name = g.names.value(buyIn);
            buyIn += record.action == Action::Entry || record.action == Action::Reentry ? 1 : 0;
        }
    }
    const std::optional<Ledger> ledger = Ledger::replay(g.setup, g.records);
    if (!ledger)
        return std::nullopt;
    // The seats written must be the ones the records deal (an older file numbered them by buy-in).
    g.seatMap = seatMapOf(*ledger);
    const QJsonValue map = o.value(QStringLiteral("seatMap"));
    if (!map.isUndefined() && version > 1) {
        std::vector<std::vector<int>> written;
        for (const auto &table : map.toArray()) {
            written.emplace_back();
            for (const auto &entry : table.toArray())
                written.back().push_back(entry.toInt(-1));
        }
        if (written != g.seatMap)
            return std::nullopt;
    }
    return g;
}

std::vector<std::vector<int>> seatMapOf(const Ledger &ledger)
{
    std::vector<std::vector<int>> map;
    const std::optional<tables::Seating> &s = ledger.seating();
    if (!s)
        return map;
    for (int t = 1; t <= s->layout().tables; ++t) {
        map.emplace_back();
        if (s->open(t))
            for (int seat = 1; seat <= s->layout().seats; ++seat)
                map.back().push_back(s->at({t, seat}));
    }
    return map;
}

namespace {

Counts countsOf(const SavedGame &g)
{
    const std::optional<Ledger> ledger = g.counting ? Ledger::replay(g.setup, g.records) : std::nullopt;
    return ledger ? ledger->counts() : Counts{};
}

QString players(const SavedGame &g)
{
    const qint64 n = countsOf(g).buyIns();
    return grouped(n) + (n == 1 ? QStringLiteral(" player") : QStringLiteral(" players"));
}

} // namespace

QString resumeQuestion(const SavedGame &g)
{
    QString where = g.currentRound == -1 ? QStringLiteral("the break") : QStringLiteral("Round %1").arg(g.currentRound);
    if (g.counting) {
        const Counts c = countsOf(g);
        where += QStringLiteral(", %1 of %2 players").arg(grouped(c.left()), grouped(c.buyIns()));
    }
    return QStringLiteral("A game was left running: %1, %2 left. Resume it?").arg(where, clockText(g.secondsLeft));
}

QString dropKeptQuestion(const SavedGame &g)
{
    return QStringLiteral("A game with %1 is kept. Start a new game and drop it?").arg(players(g));
}

QString keptAtExit(const SavedGame &g)
{
    return QStringLiteral("The game with %1 is kept: it is offered again at the next start.").arg(players(g));
}

} // namespace tournament
