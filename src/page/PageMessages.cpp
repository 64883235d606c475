#include "page/PageMessages.h"

#include "chips/ColourUp.h"
#include "tables/Seating.h"
#include "tournament/SetupTexts.h"
#include "tournament/Standings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>
#include <iterator>
#include <utility>

namespace page {

namespace {

// A colour (blue*65536 + green*256 + red) as the page's style takes it: "#rrggbb".
QString colourName(qint32 colour)
{
    QString name = QStringLiteral("#");
    for (const int shift : {0, 8, 16})
        name += QStringLiteral("%1").arg((colour >> shift) & 0xFF, 2, 16, QLatin1Char('0'));
    return name;
}

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
        if (resultsBytes > MaxResultsBytes)
            break;
        results.append(place);
        seated.insert(int(p.entry));
    }
    QJsonArray names = QJsonArray::fromStringList(s.names.mid(0, MaxNames));
    const bool partial =
        s.names.size() > MaxNames || QJsonDocument(names).toJson(QJsonDocument::Compact).size() > MaxNamesBytes;
    if (partial)
        for (qsizetype i = 0; i < names.size(); ++i)
            if (!seated.contains(int(i + 1)))
                names[i] = QString();
    // The players' names: those seated, placed or out when the whole list is too long.
    QJsonArray out;
    for (const int p : s.out.mid(0, MaxNames)) {
        out.append(p);
        seated.insert(p);
    }
    QJsonArray players = QJsonArray::fromStringList(s.players.mid(0, MaxNames));
    if (s.players.size() > MaxNames || QJsonDocument(players).toJson(QJsonDocument::Compact).size() > MaxNamesBytes)
        for (qsizetype i = 0; i < players.size(); ++i)
            if (!seated.contains(int(i + 1)))
                players[i] = QString();
    o.insert(QStringLiteral("tables"), tableCount);
    o.insert(QStringLiteral("seats"), std::clamp(s.seats, 0, tables::MaxSeats));
    o.insert(QStringLiteral("seatMap"), seatMap);
    o.insert(QStringLiteral("seatCalls"), QJsonArray::fromStringList(s.seatCalls.mid(0, MaxSeatCalls)));
    o.insert(QStringLiteral("move"), s.move);
    o.insert(QStringLiteral("moveFrom"), s.move.isEmpty() ? 0 : s.moveFrom);
    o.insert(QStringLiteral("redrawOffered"), s.redrawOffered);
    o.insert(QStringLiteral("names"), names);
    o.insert(QStringLiteral("nameCount"), int(s.names.size()));
    o.insert(QStringLiteral("namesPartial"), partial);
    if (!s.players.isEmpty()) {
        o.insert(QStringLiteral("players"), players);
        o.insert(QStringLiteral("out"), out);
    }
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
    for (qsizetype i = first; i < std::min<qsizetype>(qsizetype(s.plan.size()), first + MaxPlanRows); ++i) {
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

} // namespace

QByteArray stateMessage(const DisplayState &s)
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
        const tournament::Band &b = s.band;
        QJsonObject count{{QStringLiteral("players"), b.players},
                          {QStringLiteral("average"), b.average},
                          {QStringLiteral("pool"), b.pool},
                          {QStringLiteral("payouts"), QJsonArray::fromStringList(b.payouts)},
                          {QStringLiteral("rounding"), b.rounding},
                          {QStringLiteral("rebuysUntil"), b.rebuysUntil},
                          {QStringLiteral("locked"), s.payoutsLocked},
                          {QStringLiteral("lockNote"), b.locked},
                          {QStringLiteral("unshared"), b.unshared},
                          {QStringLiteral("records"), double(s.records)},
                          {QStringLiteral("recent"), QJsonArray::fromStringList(s.recent)}};
        if (!b.folded.isEmpty())
            count.insert(QStringLiteral("folded"), b.folded);
        if (!b.bounties.isEmpty())
            count.insert(QStringLiteral("bounties"), b.bounties);
        // Chip counts typed, and a deal offered, only while there are.
        if (!s.chipCounts.empty()) {
            QJsonArray rows;
            for (const auto &row : s.chipCounts)
                rows.append(QJsonArray{row[0], row[1], row[2]});
            count.insert(QStringLiteral("chipCounts"), rows);
            count.insert(QStringLiteral("countCheck"), s.countCheck);
        }
        if (!s.dealWays.isEmpty()) {
            QJsonArray shares;
            for (const QStringList &way : s.dealShares)
                shares.append(QJsonArray::fromStringList(way));
            count.insert(QStringLiteral("deal"),
                         QJsonObject{{QStringLiteral("head"), s.dealHead},
                                     {QStringLiteral("names"), QJsonArray::fromStringList(s.dealNames)},
                                     {QStringLiteral("chips"), QJsonArray::fromStringList(s.dealChips)},
                                     {QStringLiteral("ways"), QJsonArray::fromStringList(s.dealWays)},
                                     {QStringLiteral("shares"), shares}});
        }
        o.insert(QStringLiteral("count"), count);
    }
    // The tables, the seats and the names, only in a game that has them.
    if (s.tables > 0 || !s.names.isEmpty())
        addSeating(o, s);
    if (s.chipCase)
        addChips(o, s);
    // A season's standings, only with a season.
    if (!s.season.rows.empty()) {
        QJsonArray rows;
        for (const auto &row : s.season.rows)
            rows.append(QJsonArray{row[0], row[1], row[2], row[3]});
        o.insert(QStringLiteral("season"), QJsonObject{{QStringLiteral("title"), s.season.title},
                                                       {QStringLiteral("rows"), rows},
                                                       {QStringLiteral("inBreaks"), s.seasonInBreaks}});
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A bust's or a move's seat is "table" and "seat", both or, for a bust, neither; the names are
// strings, trimmed and cut to the length the game keeps, MaxNames at most.
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
        // With bounties: who busted the player, by their numbers.
        if (kind == GameCommand::Bust && o.contains(QStringLiteral("by"))) {
            const QJsonArray by = o.value(QStringLiteral("by")).toArray();
            if (by.isEmpty() || by.size() > tables::MaxTables * tables::MaxSeats)
                return std::nullopt;
            for (const auto &p : by) {
                const std::optional<qint64> player = wholeIn(p, 1, tournament::MaxRecords);
                if (!player)
                    return std::nullopt;
                c.by.push_back(int(*player));
            }
        }
    }
    // Whose re-entry, rebuy or add-on (none: the last out, or not said); who a new name is for.
    const bool whose = kind == GameCommand::Reentry || kind == GameCommand::Rebuy || kind == GameCommand::AddOn;
    if (whose || kind == GameCommand::Rename) {
        const std::optional<qint64> player = wholeIn(o.value(QStringLiteral("player")), 1, tournament::MaxRecords);
        if ((o.contains(QStringLiteral("player")) || kind == GameCommand::Rename) && !player)
            return std::nullopt;
        c.player = int(player.value_or(0));
    }
    // Chip counts: the players and their chips, one each; a deal's amount kept to play for; the
    // way a deal is taken, and whether the night ends with it.
    if (kind == GameCommand::ChipCounts || kind == GameCommand::DealOffer) {
        const QJsonArray by = o.value(QStringLiteral("by")).toArray();
        const QJsonArray chips = o.value(QStringLiteral("chips")).toArray();
        if (by.size() != chips.size() || by.size() > tables::MaxTables * tables::MaxSeats
            || (kind == GameCommand::ChipCounts && by.isEmpty()))
            return std::nullopt;
        for (qsizetype i = 0; i < by.size(); ++i) {
            const std::optional<qint64> player = wholeIn(by.at(i), 1, tournament::MaxRecords);
            const std::optional<qint64> count = wholeIn(chips.at(i), 1, 1e15);
            if (!player || !count)
                return std::nullopt;
            c.by.push_back(int(*player));
            c.chips.push_back(*count);
        }
        if (kind == GameCommand::DealOffer) {
            const std::optional<qint64> playFor = wholeIn(o.value(QStringLiteral("playFor")), 0, 1e15);
            if (o.contains(QStringLiteral("playFor")) && !playFor)
                return std::nullopt;
            c.amount = playFor.value_or(0);
        }
    }
    if (kind == GameCommand::DealTake) {
        const std::optional<qint64> way = wholeIn(o.value(QStringLiteral("way")), 0, 3);
        if (!way)
            return std::nullopt;
        c.player = int(*way);
        c.ends = o.value(QStringLiteral("ends")).toBool();
    }
    if (kind == GameCommand::Rename) {
        const QJsonValue name = o.value(QStringLiteral("name"));
        if (!name.isString())
            return std::nullopt;
        c.names << tournament::keptName(name.toString());
    }
    if (kind == GameCommand::Names) {
        const QJsonValue value = o.value(QStringLiteral("names"));
        const QJsonArray list = value.toArray();
        if (!value.isArray() || list.size() > MaxNames)
            return std::nullopt;
        for (const auto &name : list) {
            if (!name.isString())
                return std::nullopt;
            c.names << tournament::keptName(name.toString());
        }
    }
    return c;
}

PageMessage readPageMessage(const QByteArray &bytes, bool withControl)
{
    // Only a list of names from a page with control may be longer.
    const bool large = bytes.size() > MaxMessageBytes;
    if (large && (!withControl || bytes.size() > MaxNamesMessageBytes))
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (!doc.isObject())
        return {};
    const QJsonObject o = doc.object();
    PageMessage m;
    m.action = o.value(QStringLiteral("action")).toString();
    if (large && m.action != QLatin1String("names"))
        return {};
    if (m.action == QLatin1String("pair")) {
        m.kind = PageMessage::Kind::Pair;
        m.keyProof = o.value(QStringLiteral("proof")).toString().toLatin1();
        m.linkProof = o.value(QStringLiteral("link")).toString().toLatin1();
        m.pin = o.value(QStringLiteral("pin")).toString();
        return m;
    }
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
        {"names", GameCommand::Names},       {"rename", GameCommand::Rename},
        {"counts", GameCommand::ChipCounts}, {"deal", GameCommand::DealOffer},
        {"dealtake", GameCommand::DealTake}, {"nodeal", GameCommand::DealCancel}};
    const auto *control = std::find_if(std::begin(controls), std::end(controls),
                                       [&](const auto &c) { return m.action == QLatin1String(c.first); });
    if (control == std::end(controls))
        return {};
    m.kind = PageMessage::Kind::Control;
    // The seat and the names, as the command takes them.
    m.command = pageCommand(control->second, o);
    return m;
}

} // namespace page
