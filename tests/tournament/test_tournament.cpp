#include "clock/LevelMoves.h"
#include "season/SeasonNight.h"
#include "tournament/Ledger.h"
#include "tournament/SavedGame.h"
#include "tournament/SetupTexts.h"
#include "tournament/Standings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <numeric>

using namespace tournament;

namespace {

constexpr qint64 Max64 = std::numeric_limits<qint64>::max();
constexpr qint32 Max32 = std::numeric_limits<qint32>::max();

// The house game: £100 for 10,000 chips, rebuys the same through round 4, an £80 re-entry for 8,000, a £50
// add-on for 5,000, re-entries as long as rebuys; or a game named after how it differs from it.
Setup setupNamed(const QString &name = {})
{
    Setup s;
    s.buyInChips = 3;
    if (name == "freeroll of 3 chips")
        return s;
    s.buyIn = s.rebuy = 100;
    s.buyInChips = s.rebuyChips = name == "huge stack" ? Max64 / 2 + 1 : 10000;
    s.reentry = 80, s.reentryChips = 8000, s.addOn = 50, s.addOnChips = 5000;
    s.rebuyLastRound = name.contains("no rebuy limit") ? 0 : 4;
    s.buyIn = name == "huge buy-in" ? Max64 / 2 + 1 : name.contains("free entries") ? 0 : 100;
    static const QRegularExpression reentriesUntil(QStringLiteral("re-entries until round (\\d+)"));
    if (const QRegularExpressionMatch m = reentriesUntil.match(name); m.hasMatch())
        s.reentryLastRound = m.captured(1).toLongLong();
    static const QRegularExpression lateUntil(QStringLiteral("late registration until round (\\d+)"));
    if (const QRegularExpressionMatch m = lateUntil.match(name); m.hasMatch())
        s.entryLastRound = m.captured(1).toLongLong(), s.lockAtClose = !name.contains("open after");
    static const QRegularExpression lateLess(QStringLiteral("less (\\d+)"));
    if (const QRegularExpressionMatch m = lateLess.match(name); m.hasMatch())
        s.lateLess = m.captured(1).toLongLong();
    if (name.contains("re-entries with no limit"))
        s.reentryLastRound = 0;
    static const QRegularExpression fixedCut(QStringLiteral("fixed cut of (\\d+)"));
    if (const QRegularExpressionMatch m = fixedCut.match(name); m.hasMatch())
        s.cutFixed = true, s.cut = m.captured(1).toLongLong();
    s.added = name == "huge added money" ? Max64 - 150 : name.contains("£50 added") ? 50 : 0;
    if (name == "guaranteed in fives")
        s.guarantee = 1234, s.unit = 5;
    if (name == "in 250s")
        s.unit = 250;
    if (name == "six places typed")
        s.shares = {30000, 20000, 15000, 15000, 10000, 10000};
    return s;
}

// A row of numbers in, one out.
struct Case {
    const char *name;
    std::array<qint64, 4> in;
    qint64 out;
};

void expect(const char *row, const QString &got, const QString &expected)
{
    const QString why = QStringLiteral("%1: got \"%2\", not \"%3\"").arg(row, got, expected);
    QVERIFY2(got == expected, qPrintable(QString(why).replace("\r\n", "\\r\\n")));
}

template <size_t N, typename F>
void expect(const Case (&rows)[N], F f)
{
    for (const Case &c : rows)
        expect(c.name, QString::number(f(c.in)), QString::number(c.out));
}

// Plays a script: E entry, R re-entry, Y rebuy, A add-on, B bust, L lock or unlock, U undo; a number
// repeats the next letter. Gives the outcome of the last.
Ledger::Outcome play(Ledger &ledger, const QString &script, int round = 1, bool confirmed = false)
{
    static const QRegularExpression step(QStringLiteral("(\\d*)([ERYABLU])"));
    Ledger::Outcome last;
    for (const QRegularExpressionMatch &m : step.globalMatch(script))
        for (int i = 0; i < std::max(1, m.captured(1).toInt()); ++i)
            last = m.captured(2) == "U"
                       ? ledger.undo()
                       : ledger.act(Action(QStringLiteral("ERYABL").indexOf(m.captured(2))), round, 0, confirmed);
    return last;
}

// Entries/re-entries/rebuys/add-ons/busts, and whether the payouts are locked.
QString countsText(const Ledger &l)
{
    const Counts &c = l.counts();
    return QString::asprintf("%lld/%lld/%lld/%lld/%lld%s", c.entries, c.reentries, c.rebuys, c.addOns, c.busts,
                             l.locked() ? " locked" : "");
}

// What is wrong with a split of the pool, if anything.
QString splitProblem(qint64 pool, const std::vector<qint32> &shares, qint64 unit)
{
    const std::vector<qint64> amounts = splitPool(pool, shares, unit);
    if (amounts.size() != shares.size())
        return QStringLiteral("%1 places for %2 shares").arg(amounts.size()).arg(shares.size());
    __int128 sum = 0;
    for (size_t i = 0; i < amounts.size(); ++i) {
        sum += amounts[i];
        const QString place = ordinal(qint64(i) + 1) + QLatin1Char(' ') + QString::number(amounts[i]);
        if (amounts[i] < 0 || (i > 0 && amounts[i] % unit != 0) || amounts[i] > amounts[0])
            return place + QStringLiteral(" is negative, off the unit or above the first");
    }
    return sum == pool ? QString() : QStringLiteral("the amounts do not sum to the pool");
}

// Round 5 of 13 with 12:34 left, 10 entries and 3 busts.
SavedGame savedBase()
{
    SavedGame g;
    g.currentRound = 5, g.listIndex = 4, g.secondsLeft = 754, g.levelSeconds = 1200, g.counting = true;
    g.gameSeconds = 5246, g.played = 446, g.settings = {{"Config", "Title", "Friday night"}};
    g.setup = setupNamed();
    for (int i = 0; i < 13; ++i) {
        g.levels.push_back({QString::number(25 * i + 25), QString::number(50 * i + 50), QStringLiteral("1200")});
        g.records.push_back({i < 10 ? Action::Entry : Action::Bust, 1700000000000 + i, {}});
    }
    return g;
}

} // namespace

class TestTournament : public QObject {
    Q_OBJECT
private slots:
    // Each action and its undo: the verdict, the text and the counts after; the records replay to them.
    void actions()
    {
        const char *tooMuch = "Refused: The money or the chips would be more than can be counted. 1/0/0/0/0";
        const char *allCut = "Confirm: The house cut of £500 is more than the £300 in: the prize pool stays empty. "
                             "Record it anyway? 2/0/1/0/0";
        const char *cutOfAll = "Confirm: The house cut of £200 takes all of the £200 in: the prize pool stays empty. "
                               "Record it anyway? 2/0/0/0/0";
        const char *const verdicts[] = {"Done", "Refused", "Confirm"};
        // Name, setup, round, actions before, the action ("!": confirmed; "U-1": undo, seeing one record fewer),
        // what it does.
        const char *const rows[][6] = {
            {"entry", "", "1", "E", "E", "Done: Entry — 2 players left 2/0/0/0/0"},
            {"re-entry after a bust", "", "1", "2EB", "R", "Done: Re-entry — 2 players left 2/1/0/0/1"},
            {"re-entry with nobody busted", "", "1", "2E", "R", "Refused: No busted player to re-enter. 2/0/0/0/0"},
            {"second re-entry for a bust", "", "1", "2EBR", "R", "Refused: No busted player to re-enter. 2/1/0/0/1"},
            {"rebuy", "", "1", "E", "Y", "Done: Rebuy — 1 player left 1/0/1/0/0"},
            {"rebuy with nobody in", "", "1", "", "Y", "Refused: No player is in the game. 0/0/0/0/0"},
            {"add-on", "", "1", "E", "A", "Done: Add-on — 1 player left 1/0/0/1/0"},
            {"add-on with nobody in", "", "1", "", "A", "Refused: No player is in the game. 0/0/0/0/0"},
            {"add-on after the rebuys", "", "9", "E", "A", "Done: Add-on — 1 player left 1/0/0/1/0"},
            {"bust", "", "1", "3E", "B", "Done: Bust — 2 players left 3/0/0/0/1"},
            {"bust at 1 left", "", "1", "2EB", "B", "Refused: Only one player is left: no bust to record. 2/0/0/0/1"},
            {"bust with nobody in", "", "1", "", "B", "Refused: No player is in the game. 0/0/0/0/0"},
            {"bust to the 3 paid", "", "1", "8E4B", "B", "Done in the money: Bust — 3 players left 8/0/0/0/5"},
            {"bust already in the money", "", "1", "8E5B", "B", "Done: Bust — 2 players left 8/0/0/0/6"},
            {"bust to the 1 paid", "", "1", "3EB", "B", "Done in the money: Bust — 1 player left 3/0/0/0/2"},
            {"lock", "", "1", "2E", "L", "Done: Payouts locked: they stay as announced 2/0/0/0/0 locked"},
            {"unlock", "", "1", "2EL", "L", "Done: Payouts unlocked: they follow the entries again 2/0/0/0/0"},
            {"undo entry", "", "1", "2E", "U", "Done: Undone: Entry — 1 player left 1/0/0/0/0"},
            {"undo re-entry", "", "1", "2EBR", "U", "Done: Undone: Re-entry — 1 player left 2/0/0/0/1"},
            {"undo rebuy", "", "1", "EY", "U", "Done: Undone: Rebuy — 1 player left 1/0/0/0/0"},
            {"undo add-on", "", "1", "EA", "U", "Done: Undone: Add-on — 1 player left 1/0/0/0/0"},
            {"undo bust", "", "1", "9E2B", "U", "Done: Undone: Bust — 8 players left 9/0/0/0/1"},
            {"undo lock", "", "1", "2EL", "U", "Done: Undone: Lock payouts — 2 players left 2/0/0/0/0"},
            {"undo unlock", "", "1", "2E2L", "U", "Done: Undone: Unlock payouts — 2 players left 2/0/0/0/0 locked"},
            {"undo with nothing", "", "1", "EU", "U", "Refused: Nothing to undo. 0/0/0/0/0"},
            {"undo seeing one fewer", "", "1", "9E2B", "U-1",
             "Confirm: The last action is now Bust — undo that? 9/0/0/0/2"},
            {"undo seeing one more", "", "1", "2E2L", "U+1",
             "Confirm: The last action is now Unlock payouts — undo that? 2/0/0/0/0"},
            {"undo seeing them all", "", "1", "9E2B", "U+0", "Done: Undone: Bust — 8 players left 9/0/0/0/1"},
            {"undo seeing none, with nothing", "", "1", "", "U+0", "Refused: Nothing to undo. 0/0/0/0/0"},
            {"lock before any entry", "", "1", "", "L",
             "Refused: Nobody has bought in yet: there are no payouts to lock. 0/0/0/0/0"},
            {"lock with an empty pool", "freeroll of 3 chips", "1", "2E", "L",
             "Refused: The prize pool is empty: there are no payouts to lock. 2/0/0/0/0"},
            {"bust to 2 paid, the 3rd rounded to nothing", "in 250s", "1", "10E7B", "B",
             "Done in the money: Bust — 2 players left 10/0/0/0/8"},
            {"rebuy in the last round", "", "4", "E", "Y", "Done: Rebuy — 1 player left 1/0/1/0/0"},
            {"late rebuy", "", "5", "E", "Y", "Confirm: Rebuys ended after round 4: record this one anyway? 1/0/0/0/0"},
            {"late rebuy confirmed", "", "5", "E", "Y!", "Done: Rebuy — 1 player left 1/0/1/0/0"},
            {"late re-entry", "", "5", "2EB", "R",
             "Confirm: Re-entries ended after round 4: record this one anyway? 2/0/0/0/1"},
            {"late re-entry confirmed", "", "5", "2EB", "R!", "Done: Re-entry — 2 players left 2/1/0/0/1"},
            {"rebuy with no last round", "no rebuy limit", "99", "E", "Y", "Done: Rebuy — 1 player left 1/0/1/0/0"},
            {"re-entry in its own last round", "re-entries until round 6", "6", "2EB", "R",
             "Done: Re-entry — 2 players left 2/1/0/0/1"},
            {"late re-entry: its own last round named", "re-entries until round 6", "7", "2EB", "R",
             "Confirm: Re-entries ended after round 6: record this one anyway? 2/0/0/0/1"},
            {"late rebuy while re-entries go on", "re-entries until round 6", "5", "E", "Y",
             "Confirm: Rebuys ended after round 4: record this one anyway? 1/0/0/0/0"},
            {"re-entry with no limit after the rebuys", "re-entries with no limit", "99", "2EB", "R",
             "Done: Re-entry — 2 players left 2/1/0/0/1"},
            {"re-entries limited, rebuys not", "no rebuy limit, re-entries until round 2", "3", "2EB", "R",
             "Confirm: Re-entries ended after round 2: record this one anyway? 2/0/0/0/1"},
            {"a cut above the first buy-in: not asked at the entry", "fixed cut of 500", "1", "", "E",
             "Done: Entry — 1 player left 1/0/0/0/0"},
            {"nor at a bust that leaves more than one", "fixed cut of 500", "1", "3E", "B",
             "Done: Bust — 2 players left 3/0/0/0/1"},
            {"the last bust with the money all the house's", "fixed cut of 500", "1", "2EY", "B", allCut},
            {"the last bust, confirmed", "fixed cut of 500", "1", "2E", "B!", "Done: Bust — 1 player left 2/0/0/0/1"},
            {"the last bust, a cut of all the money", "fixed cut of 200", "1", "2E", "B", cutOfAll},
            {"the last bust, the pool past the cut", "fixed cut of 199", "1", "2E", "B",
             "Done in the money: Bust — 1 player left 2/0/0/0/1"},
            {"added money makes a pool", "fixed cut of 500, £50 added", "1", "2E", "B",
             "Done in the money: Bust — 1 player left 2/0/0/0/1"},
            {"free entries bring nothing to ask about", "free entries, fixed cut of 500", "1", "2E", "B",
             "Done: Bust — 1 player left 2/0/0/0/1"},
            {"entry in late registration", "late registration until round 3", "3", "E", "E",
             "Done: Entry — 2 players left 2/0/0/0/0"},
            {"entry after the close", "late registration until round 3", "4", "E", "E",
             "Confirm: Registration closed after round 3: record this entry anyway? 1/0/0/0/0"},
            {"entry after the close, confirmed", "late registration until round 3, less 1000", "9", "E", "E!",
             "Done: Entry — 2 players left · late stack 8,000 2/0/0/0/0"},
            {"money past 64 bits", "huge buy-in", "1", "E", "E", tooMuch},
            {"chips past 64 bits", "huge stack", "1", "E", "E", tooMuch},
            {"pool with added money past 64 bits", "huge added money", "1", "E", "E", tooMuch}};
        for (const auto &r : rows) {
            Ledger ledger(setupNamed(r[1]));
            ledger.setCurrency("£");
            play(ledger, r[3], 1, true);
            const QString action = r[4];
            const Ledger::Outcome o =
                action.size() > 1 && action[0] == 'U'
                    ? ledger.undo(qint64(ledger.records().size()) + action.mid(1).toLongLong())
                    : play(ledger, action.left(1), QByteArray(r[2]).toInt(), action.endsWith('!'));
            expect(r[0],
                   QStringLiteral("%1%2: %3 %4")
                       .arg(verdicts[int(o.verdict)], o.inTheMoney ? " in the money" : "", o.text, countsText(ledger)),
                   r[5]);
            const std::optional<Ledger> again = Ledger::replay(ledger.setup(), ledger.records());
            expect(r[0], again ? countsText(*again) : "not replayed", countsText(ledger));
        }
    }

    // Late registration: the stack shrinking by the round, the band counting down, the close locking
    // the payouts once and telling the room, an entry asked for after it, and undo across it.
    void lateRegistration()
    {
        const char *const rows[][5] = {
            // setup, the round each entry came in, the round that closes, what is told, the state after
            {"late registration until round 3, less 1000", "11111123", "4",
             "Registration closed — 8 entries, 3 places paid", "locked, 77,000 chips, band: Rebuys until round 4"},
            {"late registration until round 3, less 1000, open after", "11111123", "4",
             "Registration closed — 8 entries, 3 places paid", "open, 77,000 chips, band: Rebuys until round 4"},
            {"late registration until round 3", "", "4", "Registration closed", "open, 0 chips, band: "},
            {"late registration until round 3", "11", "3", "",
             "open, 20,000 chips, band: Late registration until round 3, rebuys until round 4"},
            {"late registration until round 2, no rebuy limit, less 4000", "11112222", "9",
             "Registration closed — 8 entries, 3 places paid", "locked, 64,000 chips, band: "},
        };
        for (const auto &r : rows) {
            Ledger ledger(setupNamed(r[0]));
            for (const QChar round : QString(r[1]))
                QCOMPARE(ledger.act(Action::Entry, round.digitValue(), 0).verdict, Ledger::Verdict::Done);
            const int closes = QByteArray(r[2]).toInt();
            expect(r[0], ledger.closeRegistration(closes, 5), r[3]);
            expect(r[0],
                   QStringLiteral("%1, %2 chips, band: %3")
                       .arg(ledger.locked() ? "locked" : "open", grouped(ledger.chipsInPlay()),
                            tournament::band(ledger, closes, 0, "£").rebuysUntil),
                   r[4]);
            // The kept game holds each late stack: read back, the chips are the same.
            SavedGame g = savedBase();
            g.setup = ledger.setup(), g.records = ledger.records();
            const std::optional<SavedGame> back = parseSavedGame(formatSavedGame(g));
            const std::optional<Ledger> again = back ? Ledger::replay(back->setup, back->records) : std::nullopt;
            QVERIFY2(again && again->chipsInPlay() == ledger.chipsInPlay() && back->setup == ledger.setup(), r[0]);
        }
        // Undo across the close: the lock goes first, then the late entry it asked for.
        Ledger ledger(setupNamed("late registration until round 1, less 500"));
        play(ledger, "8E");
        const QString told = ledger.closeRegistration(2, 5);
        QCOMPARE(told, "Registration closed — 8 entries, 3 places paid");
        QCOMPARE(ledger.act(Action::Entry, 2, 6).verdict, Ledger::Verdict::Confirm);
        QCOMPARE(ledger.act(Action::Entry, 2, 6, true).text, "Entry — 9 players left");
        QCOMPARE(ledger.payouts().size(), size_t(3));
        QCOMPARE(ledger.undo().text, "Undone: Entry — 8 players left");
        QCOMPARE(ledger.undo().text, "Undone: Lock payouts — 8 players left");
        QCOMPARE(countsText(ledger), "8/0/0/0/0");
    }

    // Bounties kept apart from the pool, paid by the seats named; a deal played on for the rest.
    void bountiesAndDeal()
    {
        Setup s = setupNamed();
        s.layout = {1, 9, {}}, s.seed = 7, s.bounty = 40, s.cut = 10, s.progressive = true;
        Ledger l(s);
        l.setCurrency("£");
        play(l, "6E");
        const std::vector<int> in = l.inPlay();
        const auto seat = [&](int p) { return *l.seating()->seatOf(p); };
        QCOMPARE(tournament::band(l, 1, 0, "£").lines().section("\r\n", 0, 0),
                 "Players 6 / 6 · Average stack 10,000 · Prize pool £324 · Bounties £240");
        QCOMPARE(l.act(Action::Bust, 1, 1, false, seat(in[0])).text,
                 "Who busted " + l.playerName(in[0]) + "? A bounty is paid to them.");
        QCOMPARE(l.act(Action::Rebuy, 1, 1).text, "Whose rebuy? Its bounty goes on their head.");
        QVERIFY(l.act(Action::Bust, 1, 2, false, seat(in[0]), 0, {}, {in[1]}).bounty.contains("£20 to"));
        QVERIFY(l.act(Action::Bust, 1, 3, false, seat(in[1]), 0, {}, {in[3], in[2]})
                    .bounty.startsWith(l.playerName(in[2]) + " and " + l.playerName(in[3]) + " bust"));
        QCOMPARE(l.makeDeal("ICM", {100, 100, 100}, false, 4).text, "A deal needs a share for every player in.");
        QCOMPARE(l.makeDeal("ICM", {100, 100, 100, 20}, true, 4).text,
                 "A deal that ends the night shares all the money left.");
        QCOMPARE(l.makeDeal("ICM", {100, 100, 100, 20}, false, 4).verdict, Ledger::Verdict::Done);
        QCOMPARE(l.act(Action::Entry, 1, 5).text, "The deal is made: nobody buys in now.");
        for (int p : {in[2], in[3], in[4]})
            l.act(Action::Bust, 1, 6, false, seat(p), 0, {}, {in[5]});
        // The winner takes their share and what was played for; every bounty is paid out.
        const std::vector<Place> places = standings(l);
        QCOMPARE(places.front().prize, 20 + 324 - 320);
        qint64 prizes = 0, bounties = 0;
        for (const Place &p : places)
            prizes += p.prize, bounties += p.bounty;
        QCOMPARE(prizes, l.pool());
        QCOMPARE(bounties, l.bountyMoney());
        // The season takes each player's knock-outs, and their bounties with their prize.
        tournament::Results night;
        night.places = places;
        for (Place &p : night.places)
            p.name = QString::number(p.entry);
        const std::vector<season::Line> lines = season::nightLines(night, s).value();
        QCOMPARE(lines.front().knockouts, places.front().knockouts);
        QCOMPARE(lines.front().prize, places.front().prize + places.front().bounty);
    }

    // The money in, the cut (percent halves to even; fixed, at most the money), the pool and the chips.
    void pool()
    {
        const struct {
            const char *name, *script, *expected;
            qint64 cut, added, guarantee;
            bool fixed;
        } rows[] = {{"each action's money and chips", "2EBRYA", "in 430 cut 0 pool 430 chips 43000", 0, 0, 0, false},
                    {"1 percent of 250: half down to even", "2EA", "in 250 cut 2 pool 248 chips 25000", 1, 0, 0, false},
                    {"1 percent of 350: half up to even", "3EA", "in 350 cut 4 pool 346 chips 35000", 1, 0, 0, false},
                    {"9 percent of 430 to the nearest", "2EBRYA", "in 430 cut 39 pool 391 chips 43000", 9, 0, 0, false},
                    {"fixed cut", "3E", "in 300 cut 40 pool 260 chips 30000", 40, 0, 0, true},
                    {"fixed cut above the money", "E", "in 100 cut 100 pool 0 chips 10000", 500, 0, 0, true},
                    {"added money", "2E", "in 200 cut 20 pool 680 chips 20000", 10, 500, 0, false},
                    {"guarantee above the pool", "2E", "in 200 cut 20 pool 1000 GTD chips 20000", 10, 0, 1000, false},
                    {"guarantee met exactly", "10E", "in 1000 cut 100 pool 900 chips 100000", 10, 0, 900, false},
                    {"nobody in: the guarantee", "", "in 0 cut 0 pool 1000 GTD chips 0", 10, 0, 1000, false}};
        for (const auto &r : rows) {
            Setup s = setupNamed();
            s.cut = r.cut, s.added = r.added, s.guarantee = r.guarantee, s.cutFixed = r.fixed;
            Ledger l(s);
            play(l, r.script, 1, true);
            expect(r.name,
                   QString::asprintf("in %lld cut %lld pool %lld%s chips %lld", l.collected(), l.cut(), l.pool(),
                                     l.guaranteed() ? " GTD" : "", l.chipsInPlay()),
                   r.expected);
        }
    }

    // For every table size, unit and pool: the split sums to the pool, none negative, each place but
    // the first a multiple of the unit, the first the largest; the shares fall, sum to 100 % and read back.
    void payoutsAddUp()
    {
        QRandomGenerator random(20240607);
        std::vector<qint64> sizes{67, 70, 100, 1000, 1000000};
        for (qint64 n = 0; n <= 66; ++n)
            sizes.push_back(n);
        for (const qint64 n : sizes) {
            const std::vector<qint32> shares = tableShares(n);
            const QString where = QStringLiteral("%1 buy-ins, shares %2: ").arg(n).arg(sharesText(shares));
            QVERIFY2(std::is_sorted(shares.rbegin(), shares.rend()) && shares.back() > 0
                         && std::accumulate(shares.begin(), shares.end(), 0) == 100000
                         && (n <= 66 || qint64(shares.size()) == std::clamp<qint64>(n / 5, 13, MaxPlaces))
                         && parseShares(sharesText(shares)) == shares,
                     qPrintable(where + "not falling, not 100 %, not one place in five or not read back"));
            for (const qint64 unit : {1, 5, 25, 100}) {
                std::vector<qint64> pools{0, 1, unit - 1, unit, Max64, Max64 - 1, Max64 - unit};
                for (int i = 0; i < 24; ++i)
                    pools.push_back(i < 4 ? random.bounded(3 * unit) : qint64(random.generate64() >> (1 + i % 63)));
                for (const qint64 pool : pools) {
                    const QString problem = splitProblem(pool, shares, unit);
                    if (!problem.isEmpty())
                        QFAIL(qPrintable(where + QStringLiteral("unit %1, pool %2: ").arg(unit).arg(pool) + problem));
                }
            }
        }
    }

    // The table by buy-ins at each band's ends; shares as typed, read and written back.
    void shares()
    {
        const QString table =
            QStringLiteral("2:100 5:100 6:60/40 7:60/40 8:50/30/20 12:50/30/20 13:40/30/20/10 "
                           "18:40/30/20/10 19:40/23/16/12/9 27:40/23/16/12/9 28:33/20/15/11/8/7/6 "
                           "36:33/20/15/11/8/7/6 37:29/18/13/10/8/7/6/5/4 50:29/18/13/10/8/7/6/5/4 "
                           "51:26/16.5/12/9.5/8/6.5/5/4/3.5/3/3/3 66:26/16.5/12/9.5/8/6.5/5/4/3.5/3/3/3");
        for (const QString &row : table.split(' ')) {
            const qint64 buyIns = row.section(':', 0, 0).toLongLong();
            expect(qPrintable(row.section(':', 0, 0) + " buy-ins"),
                   row.section(':', 0, 0) + ':' + sharesText(tableShares(buyIns)), row);
        }
        const char *const typed[][3] = {
            {"whole", "50/30/20", "50000 30000 20000 = 50/30/20"},
            {"halves", "26/16.5/12/9.5/8/6.5/5/4/3.5/3/3/3",
             "26000 16500 12000 9500 8000 6500 5000 4000 3500 3000 3000 3000 = 26/16.5/12/9.5/8/6.5/5/4/3.5/3/3/3"},
            {"three decimals, spaces", " 33.333 / 33.333/33.334 ", "33333 33333 33334 = 33.333/33.333/33.334"},
            {"a trailing zero", "50.50/49.5", "50500 49500 = 50.5/49.5"},
            {"one place", "100", "100000 = 100"},
            {"sum 90", "50/30/10", "refused"},
            {"sum 110", "50/30/30", "refused"},
            {"a zero", "100/0", "refused"},
            {"a negative", "110/-10", "refused"},
            {"text", "fifty/50", "refused"},
            {"four decimals", "33.3333/66.6667", "refused"},
            {"empty", "", "refused"},
            {"an empty place", "50//50", "refused"}};
        for (const auto &r : typed) {
            const std::optional<std::vector<qint32>> s = parseShares(r[1]);
            QStringList got;
            for (const qint32 share : s.value_or(std::vector<qint32>{}))
                got << QString::number(share);
            expect(r[0], s ? got.join(' ') + " = " + sharesText(*s) : "refused", r[2]);
        }
    }

    // The boxes as typed: the re-entries' last round (empty: as the rebuys'), what the host is asked
    // before the setup is taken, and every box that cannot be read, in order (the first in why).
    void setupTexts()
    {
        const char *const rows[][3] = {
            {"re-entries as the rebuys", "RebuyUntil=4", "rebuys 4, re-entries 4"},
            {"re-entries' own last round", "RebuyUntil=4 ReentryUntil=6", "rebuys 4, re-entries 6"},
            {"re-entries with no limit", "RebuyUntil=4 ReentryUntil=0", "rebuys 4, re-entries 0"},
            {"re-entries past 16 bits", "ReentryUntil=32768",
             "ReentryUntil: \"Re-entries until round\" must be a whole number from 0 to 32,767."},
            {"three boxes in error, each named", "Cut=101 Tables=0 ReentryUntil=x",
             "ReentryUntil: \"Re-entries until round\" must be a whole number from 0 to 32,767. | Cut: \"House cut\" "
             "must be a whole number from 0 to 100. | Tables: \"Tables\" must be a whole number from 1 to 4."},
            {"the break order checked with the tables in error", "Tables=0 BreakOrder=3",
             "Tables: \"Tables\" must be a whole number from 1 to 4. | BreakOrder: \"Tables break in the order\" must "
             "name tables from 1 to 1, each once, such as 3, 2; or be empty for the highest number first."},
            {"a cut of 100 %", "Cut=100",
             "rebuys 0, re-entries 0; asks: A house cut of 100 % leaves nothing for the prizes. Keep it?"},
            {"a cut of 99 %", "Cut=99", "rebuys 0, re-entries 0"},
            {"a fixed cut of 100", "Cut=100 CutFixed=1", "rebuys 0, re-entries 0"},
            {"a cut of 100 % and added money", "Cut=100 Added=50", "rebuys 0, re-entries 0"},
            {"a cut of 100 % and a guarantee", "Cut=100 Guarantee=500", "rebuys 0, re-entries 0"},
            {"entries closing lock the payouts", "EntryUntil=3 LateLess=500 BuyInChips=1001",
             "rebuys 0, re-entries 0, entries 3 locking"},
            {"... unless told not to", "EntryUntil=3 OpenAfterClose=1", "rebuys 0, re-entries 0, entries 3 open"},
            {"a late stack with no close", "LateLess=500",
             "LateLess: A late stack needs \"Entries until round\": it shrinks until then."},
            {"a late stack shrunk to nothing", "EntryUntil=3 LateLess=500 BuyInChips=1000",
             "LateLess: \"Late stack less per round\" leaves no chips by round 3: the buy-in is 1,000 chips."},
            {"a bounty beyond the buy-in", "BuyIn=20 Bounty=30", "Bounty: The bounty is more than the buy-in of 20."},
            {"a bounty beyond the rebuy", "BuyIn=20 Rebuy=5 Bounty=10",
             "Bounty: The bounty is more than the rebuy of 5."},
            {"a bounty not in bounty chips", "BuyIn=20 Bounty=10 BountyUnit=4",
             "BountyUnit: The bounty of 10 is not a whole number of 4s: bounties are paid in them."},
            {"progressive bounties in chips of 5", "BuyIn=20 Bounty=10 BountyUnit=5 Progressive=1",
             "rebuys 0, re-entries 0, bounty 10 in 5s, progressive"}};
        for (const auto &r : rows) {
            SetupTexts texts;
            for (const QString &pair : QString(r[1]).split(' '))
                texts.insert(pair.section('=', 0, 0), pair.section('=', 1));
            QString why;
            const std::optional<Setup> s = parseSetup(texts, &why);
            QStringList all;
            for (const SetupProblem &p : setupProblems(texts))
                all << p.key + ": " + p.why;
            expect(r[0], why, all.isEmpty() ? QString() : all.front().section(": ", 1));
            QString got = all.join(" | ");
            if (s) {
                got = QStringLiteral("rebuys %1, re-entries %2").arg(s->rebuyLastRound).arg(s->reentryUntil());
                if (s->entryLastRound > 0)
                    got += QStringLiteral(", entries %1 %2")
                               .arg(s->entryLastRound)
                               .arg(s->lockAtClose ? "locking" : "open");
                if (s->bounty > 0)
                    got += QStringLiteral(", bounty %1 in %2s%3")
                               .arg(s->bounty)
                               .arg(s->bountyUnit)
                               .arg(s->progressive ? ", progressive" : "");
                if (!setupQuestion(*s).isEmpty())
                    got += "; asks: " + setupQuestion(*s);
            }
            expect(r[0], got, r[2]);
        }
        // A name longer than a player's may be is cut, and said; spaces and control characters
        // (a NUL pasted in) run together first, and a character is never cut in two.
        const QString forty(40, 'x');
        const QString names[][3] = {
            {"Ann\n  Bob   Lee  \n" + forty, "", "Ann|Bob Lee|" + forty},
            {forty + "y\nAnn\n" + forty + "zz", "2 names are cut to 40 characters: " + forty + "…, " + forty + "…",
             forty + "|Ann|" + forty},
            {" " + forty + " y", "1 name is cut to 40 characters: " + forty + "…", forty},
            {QStringView::fromArray(u"Ann\0Lee\nBob\a\u0085\n\0").toString().chopped(1), "", "Ann Lee|Bob|"},
            {forty.left(39) + QString::fromUtf8("\U0001F0A1"),
             "1 name is cut to 40 characters: " + forty.left(39) + "…", forty.left(39)}};
        for (const auto &[typed, said, kept] : names) {
            expect("names cut", namesCut(typed.split('\n')), said);
            QStringList got;
            for (const QString &name : typed.split('\n'))
                got << keptName(name);
            expect("names kept", got.join('|'), kept);
        }
    }

    // The band's lines: each part once it has something to show. The payouts and the money not in them
    // make the pool.
    void band()
    {
        // Name, setup, actions, round, big blind, the first line and the second.
        const char *three = "Players 3 / 3 · Average stack 10,000 · Prize pool £300";
        const char *const rows[][7] = {
            {"empty ledger", "", "", "1", "400", "", ""},
            {"players, average, BB, pool, payouts; no rebuys after round 4", "", "10E3B", "5", "400",
             "Players 7 / 10 · Average stack 14,286 (36 BB) · Prize pool £1,000", "1st £500 · 2nd £300 · 3rd £200"},
            {"guarantee, rounding to the unit, rebuys through round 4", "guaranteed in fives", "8E", "4", "0",
             "Players 8 / 8 · Average stack 10,000 · Prize pool £1,234 GTD",
             "1st £619 · 2nd £370 · 3rd £245 (rounded to £5) · Rebuys until round 4"},
            {"five places shown, the rest counted", "", "40E", "5", "0",
             "Players 40 / 40 · Average stack 10,000 · Prize pool £4,000",
             "1st £1,160 · 2nd £720 · 3rd £520 · 4th £400 · 5th £320 · 4 more paid"},
            {"average 4.5 to 4, no pool", "freeroll of 3 chips", "3EB", "1", "0", "Players 2 / 3 · Average stack 4",
             ""},
            {"average 7.5 to 8", "freeroll of 3 chips", "5E3B", "1", "0", "Players 2 / 5 · Average stack 8", ""},
            {"2.5 BB to 2", "freeroll of 3 chips", "5E2B", "1", "2", "Players 3 / 5 · Average stack 5 (2 BB)", ""},
            {"3.5 BB to 4", "freeroll of 3 chips", "7E4B", "1", "2", "Players 3 / 7 · Average stack 7 (4 BB)", ""},
            {"a place rounded to nothing is not paid", "in 250s", "10E", "5", "0",
             "Players 10 / 10 · Average stack 10,000 · Prize pool £1,000", "1st £750 · 2nd £250 (rounded to £250)"},
            {"more places typed than players: folded into the places paid", "six places typed", "5E", "5", "0",
             "Players 5 / 5 · Average stack 10,000 · Prize pool £500",
             "1st £168 · 2nd £111 · 3rd £83 · 4th £83 · 5th £55 · 6 places typed, 5 can be paid"},
            {"locked", "", "12EL", "5", "0", "Players 12 / 12 · Average stack 10,000 · Prize pool £1,200",
             "1st £600 · 2nd £360 · 3rd £240 · Payouts locked"},
            {"locked, then 4 more in", "", "12EL4E", "5", "0",
             "Players 16 / 16 · Average stack 10,000 · Prize pool £1,600",
             "1st £600 · 2nd £360 · 3rd £240 · Payouts locked · £400 not in the payouts — unlock to share it"},
            {"unlocked again", "", "12EL4EL", "5", "0", "Players 16 / 16 · Average stack 10,000 · Prize pool £1,600",
             "1st £640 · 2nd £480 · 3rd £320 · 4th £160"},
            {"re-entries' own last round beside the rebuys'", "re-entries until round 6", "3E", "4", "0", three,
             "1st £300 · Rebuys until round 4, re-entries until round 6"},
            {"re-entries alone after the rebuys' last round", "re-entries until round 6", "3E", "5", "0", three,
             "1st £300 · Re-entries until round 6"},
            {"re-entries through their last round's break", "re-entries until round 6", "3E", "6", "0", three,
             "1st £300 · Re-entries until round 6"},
            {"both over", "re-entries until round 6", "3E", "7", "0", three, "1st £300"},
            {"the same last round said once", "re-entries until round 4", "3E", "4", "0", three,
             "1st £300 · Rebuys until round 4"},
            {"rebuys limited, re-entries not", "re-entries with no limit", "3E", "4", "0", three,
             "1st £300 · Rebuys until round 4, re-entries with no limit"},
            {"re-entries with no limit, after the rebuys'", "re-entries with no limit", "3E", "5", "0", three,
             "1st £300"},
            {"re-entries limited, rebuys not", "no rebuy limit, re-entries until round 2", "3E", "1", "0", three,
             "1st £300 · Re-entries until round 2"}};
        for (const auto &r : rows) {
            Ledger ledger(setupNamed(r[1]));
            play(ledger, r[2]);
            const Band band = tournament::band(ledger, QByteArray(r[3]).toInt(), QByteArray(r[4]).toInt(), "£");
            expect(r[0], band.lines(), r[6][0] ? QString(r[5]) + "\r\n" + r[6] : r[5]);
            const std::vector<qint64> paid = ledger.payouts();
            expect(r[0], QString::number(std::accumulate(paid.begin(), paid.end(), qint64(0)) + ledger.unshared()),
                   QString::number(ledger.pool()));
        }
    }

    // Back: the level before within a level's first 10 s (never the break), else a restart (-1), and what it asks. ±1
    // min: never below 1 s, never beyond 32 bits. The ante of a round.
    void levelMoves()
    {
        // Round (-1: the break), row, seconds played.
        const Case backs[] = {{"round 1 at its start", {1, 0, 5}, -1},   {"round 3 at 5 s", {3, 2, 5}, 1},
                              {"round 3 at 9 s", {3, 2, 9}, 1},          {"round 3 at 10 s", {3, 2, 10}, -1},
                              {"round 3 near its end", {3, 2, 597}, -1}, {"last level run out", {8, 7, 640}, -1},
                              {"break at 4 s", {-1, 4, 4}, 4},           {"break at 3 min", {-1, 4, 180}, -1},
                              {"break run out", {-1, 4, 305}, -1}};
        expect(backs, [](auto in) {
            const BackMove m = backMove(qint32(in[0]), int(in[1]), in[2]);
            return m.previous ? m.row : -1;
        });
        // What the phone asks before it, row by row of the table above.
        const char *const asked[] = {"Restart Round 1?", "Back to Round 2?",   "Back to Round 2?",
                                     "Restart Round 3?", "Restart Round 3?",   "Restart Round 8?",
                                     "Back to Round 5?", "Restart the break?", "Restart the break?"};
        for (size_t i = 0; i < std::size(backs); ++i)
            expect(backs[i].name, backQuestion(qint32(backs[i].in[0]), int(backs[i].in[1]), backs[i].in[2]), asked[i]);
        // Seconds left, shift.
        const Case shifts[] = {{"-1 min near 0", {30, -60}, 1},
                               {"-1 min at 1 s", {1, -60}, 1},
                               {"+1 min at 1 s", {1, 60}, 61},
                               {"+1 min once run out", {-5, 60}, 60},
                               {"+1 min near 32 bits", {Max32 - 30, 60}, Max32},
                               {"-1 min at 32 bits", {Max32, -60}, Max32 - 60}};
        expect(shifts, [](auto in) { return shiftedSeconds(qint32(in[0]), in[1]); });
        // From round (0: off), amount, factor (0: no raise), round.
        const Case antes[] = {{"off", {0, 25, 0, 3}, 0},
                              {"from round 1, in round 6", {1, 25, 0, 6}, 25},
                              {"from round 3, in round 2", {3, 25, 2, 2}, 0},
                              {"from round 3, in round 3", {3, 25, 2, 3}, 25},
                              {"from round 3 doubling, in round 5", {3, 25, 2, 5}, 100},
                              {"a raise past 32 bits", {1, 1000000000, 3, 2}, 1000000000},
                              {"a raise past 64 bits", {1, 4, qint64(1) << 62, 2}, 4}};
        expect(antes, [](auto in) {
            return anteForRound({in[0] != 0, in[0], in[1], in[2] != 0, in[2]}, qint32(in[3]));
        });
    }

    // The saved game reads back equal after each kind of change; bytes it could not have written are refused.
    void savedGame()
    {
        const auto record = [](Action a) { return [=](SavedGame &g) { g.records.push_back({a, 1700000000999, {}}); }; };
        const auto lock = [](qint64 guarantee, const std::vector<qint64> &amounts) {
            return [=](SavedGame &g) {
                g.setup.guarantee = guarantee, g.records.push_back({Action::LockPayouts, 1, amounts});
            };
        };
        const std::array<QString, 3> longest{"Tournament", "Shares", QString(SavedSettingChars, u'½')};
        // Two tables of nine: five entries, a bust and the names, as the game keeps them.
        const auto seated = [](SavedGame &g) {
            g.setup.layout = {2, 9, {2, 1}};
            g.setup.seed = Max64;
            Ledger l(g.setup);
            for (int i = 0; i < 5; ++i)
                l.act(Action::Entry, 1, 1700000000000 + i);
            l.act(Action::Bust, 1, 1700000000009, false, l.records()[2].seat);
            g.records = l.records();
            g.seatMap = seatMapOf(l);
            g.names = QStringList{"Ann", "Bob, \"the rock\""};
        };
        // Seated at one table: named at the buy-in, a re-entry by its player, and a rename.
        const auto named = [](bool rename) {
            return [rename](SavedGame &g) {
                g.setup.layout = {1, 9, {}};
                g.setup.seated = true;
                Ledger l(g.setup);
                for (const char *name : {"Ann", "", "Bob"})
                    l.act(Action::Entry, 1, 1700000000000, false, {}, 0, name);
                l.act(Action::Bust, 1, 1700000000001, false, *l.seating()->seatOf(1));
                l.act(Action::Reentry, 1, 1700000000002, false, {}, 1);
                if (rename)
                    l.act(Action::Rename, 1, 1700000000003, false, {}, 2, "Dee");
                g.records = l.records();
                g.seatMap = seatMapOf(l);
            };
        };
        const std::pair<const char *, std::function<void(SavedGame &)>> changes[] = {
            {"as it is", [](SavedGame &) {}},
            {"round", [](SavedGame &g) { g.currentRound = 6, g.listIndex = 5; }},
            {"break", [](SavedGame &g) { g.currentRound = -1, g.breakSeconds = 300; }},
            {"paused in a running break",
             [](SavedGame &g) { g.currentRound = -1, g.paused = g.breakWasRunning = true; }},
            {"paused", [](SavedGame &g) { g.paused = true; }},
            {"time played", [](SavedGame &g) { g.played = 42; }},
            {"game time at 53 bits", [](SavedGame &g) { g.gameSeconds = qint64(1) << 53; }},
            {"the last level run out",
             [](SavedGame &g) { g.currentRound = 13, g.listIndex = 12, g.secondsLeft = -5247; }},
            {"no settings", [](SavedGame &g) { g.settings.clear(); }},
            {"the most settings, the longest", [=](SavedGame &g) { g.settings.resize(SavedSettings, longest); }},
            {"a level's text", [](SavedGame &g) { g.levels[2][0] = QStringLiteral("1,000.5"); }},
            {"re-entry free", [](SavedGame &g) { g.setup.reentry = 0; }},
            {"re-entry chips as the buy-in's", [](SavedGame &g) { g.setup.reentryChips.reset(); }},
            {"re-entries' own last round", [](SavedGame &g) { g.setup.reentryLastRound = 32767; }},
            {"re-entries with no last round", [](SavedGame &g) { g.setup.reentryLastRound = 0; }},
            {"guarantee past 53 bits", [](SavedGame &g) { g.setup.guarantee = Max64 - 1; }},
            {"shares", [](SavedGame &g) { g.setup.shares.push_back(100000); }},
            {"an entry", record(Action::Entry)},
            {"a re-entry", record(Action::Reentry)},
            {"a rebuy", record(Action::Rebuy)},
            {"an add-on", record(Action::AddOn)},
            {"a bust", record(Action::Bust)},
            {"a lock with its amounts", lock(0, {700, 300})},
            {"a lock past 53 bits", lock(Max64, {Max64 - 300, 300})},
            {"an action's time past 53 bits", [](SavedGame &g) { g.records[0].at = Max64; }},
            {"two tables, their seats and names", seated},
            {"one table seated, named at the buy-in, a re-entry, a rename", named(true)}};
        const SavedGame base = savedBase();
        for (const auto &[name, change] : changes) {
            SavedGame game = base;
            change(game);
            QVERIFY2((game == base) == (name == changes[0].first), name);
            const std::optional<SavedGame> back = parseSavedGame(formatSavedGame(game));
            QVERIFY2(back && *back == game, name);
        }
        // Games this program could not have written.
        const std::pair<const char *, std::function<void(SavedGame &)>> unwritten[] = {
            {"a lock paying a place nothing", lock(0, {1000, 0})},
            {"a lock not summing to the pool", lock(0, {700, 299})},
            {"a lock before any entry", [=](SavedGame &g) { g.records.clear(), lock(500, {500})(g); }},
            {"a break's countdown below zero", [](SavedGame &g) { g.currentRound = -1, g.secondsLeft = -1; }},
            {"a break after a row past the levels", [](SavedGame &g) { g.currentRound = -1, g.listIndex = 13; }},
            {"too many settings", [](SavedGame &g) { g.settings.resize(SavedSettings + 1); }},
            {"a setting too long", [](SavedGame &g) { g.settings[0][0] = QString(SavedSettingChars + 1, 'x'); }},
            {"a seat map the records do not give",
             [=](SavedGame &g) { seated(g), std::swap(g.seatMap[0], g.seatMap[1]); }},
            {"an entry at a seat the draw did not give", [=](SavedGame &g) { seated(g), g.records[0].seat.seat ^= 1; }},
            {"a bust at an empty seat", [=](SavedGame &g) { seated(g), g.records.push_back(g.records[5]); }},
            {"a name too long", [=](SavedGame &g) { seated(g), g.names << QString(MaxNameChars + 1, 'x'); }},
            {"a re-entry by a player still in", [=](SavedGame &g) { named(false)(g), g.records[4].player = 2; }},
            {"a rename of nobody", [=](SavedGame &g) { named(true)(g), g.records[5].player = 4; }},
            {"a re-entry of nobody",
             [=](SavedGame &g) { named(false)(g), g.records[4].player = 9, g.seatMap.clear(); }},
            {"a bust with a player", [=](SavedGame &g) { named(false)(g), g.records[3].player = 2; }},
            {"an entry's name too long",
             [=](SavedGame &g) { named(false)(g), g.records[0].name = QString(MaxNameChars + 1, 'x'); }}};
        for (const auto &[name, change] : unwritten) {
            SavedGame game = base;
            change(game);
            QVERIFY2(!parseSavedGame(formatSavedGame(game)), name);
        }
        // Written before the settings and the re-entries' last round were kept, with the game time a plain number.
        QJsonObject old = QJsonDocument::fromJson(formatSavedGame(base)).object();
        old.remove("settings"), old.insert("gameSeconds", 5246);
        QJsonObject oldSetup = old.value("setup").toObject();
        QVERIFY(oldSetup.contains("reentryLastRound"));
        oldSetup.remove("reentryLastRound"), old.insert("setup", oldSetup);
        SavedGame withoutSettings = base;
        withoutSettings.settings.clear();
        QVERIFY(parseSavedGame(QJsonDocument(old).toJson()) == withoutSettings);
        // A file of the first version: the k-th name went with the k-th buy-in, a re-entry was
        // the last out's, and the seats were numbered by buy-in.
        SavedGame first = base;
        named(false)(first);
        for (Record &r : first.records)
            r.player = 0, r.name.clear();
        first.names = {"Ann", "Dee", "Bob"}, first.seatMap = {{4, 2, 3}};
        const std::optional<SavedGame> read =
            parseSavedGame(formatSavedGame(first).replace(R"("chiplarkGame": 2)", R"("chiplarkGame": 1)"));
        QVERIFY(read);
        const std::optional<Ledger> replayed = Ledger::replay(read->setup, read->records);
        QVERIFY(replayed && !replayed->players()[0].out);
        QCOMPARE(replayed->playerName(2), QString("Dee"));
        // The base game's bytes with one text replaced.
        const char *const hostile[][3] = {
            {"not JSON", "}", ""},
            {"version 3", R"("chiplarkGame": 2)", R"("chiplarkGame": 3)"},
            {"seconds left past 32 bits", R"("secondsLeft": 754)", R"("secondsLeft": 3000000000)"},
            {"a round with a fraction", R"("currentRound": 5)", R"("currentRound": 5.5)"},
            {"row past the levels", R"("listIndex": 4)", R"("listIndex": 13)"},
            {"a level not text", R"("levels": [)", R"("levels": [[25, "50", "1200"],)"},
            {"paused not a flag", R"("paused": false)", R"("paused": 0)"},
            {"a bust with nobody in", R"("records": [)", R"("records": [["bust", "0"],)"},
            {"an unlock with nothing locked", R"("records": [)", R"("records": [["lock", "0"],)"},
            {"amounts on an entry", R"("records": [)", R"("records": [["entry", "0", ["5"]],)"},
            {"an action not known", R"("records": [)", R"("records": [["fold", "0"],)"},
            {"a record of four parts", R"("records": [)", R"("records": [["entry", "0", [], 1],)"},
            {"a cut above 100 percent", R"("cut": "0")", R"("cut": "101")"},
            {"re-entries' last round past 16 bits", R"("reentryLastRound": null)", R"("reentryLastRound": "32768")"},
            {"re-entries' last round below 0", R"("reentryLastRound": null)", R"("reentryLastRound": -1)"},
            {"shares not summing to 100", R"("shares": [)", R"("shares": [50000, 40000)"},
            {"a buy-in past 64 bits", R"("buyIn": "100")", R"("buyIn": "9223372036854775808")"},
            {"seconds left at the 32-bit least", R"("secondsLeft": 754)", R"("secondsLeft": -2147483648)"},
            {"a round past the levels", R"("currentRound": 5)", R"("currentRound": 14)"},
            {"a row not the round's", R"("listIndex": 4)", R"("listIndex": 5)"},
            {"a negative ante", R"("currentAnte": 0)", R"("currentAnte": -25)"},
            {"more played than the game", R"("played": 446)", R"("played": 5247)"},
            {"game time past 53 bits", R"("gameSeconds": "5246")", R"("gameSeconds": "9007199254740993")"},
            {"a setting of two parts", R"("settings": [)", R"("settings": [["Config", "Title"],)"},
            {"settings not a list", R"("settings": [)", R"("settings": "", "unknown": [)"}};
        for (const auto &[name, text, replaced] : hostile) {
            const QByteArray bytes = formatSavedGame(base);
            QVERIFY2(bytes.contains(text) && !parseSavedGame(QByteArray(bytes).replace(text, replaced)), name);
        }
    }

    // What is spoken after a bust: the players left in words.
    void spoken()
    {
        const std::pair<qint64, const char *> rows[] = {
            {1, "One player left"},
            {7, "Seven players left"},
            {21, "Twenty-one players left"},
            {105, "One hundred and five players left"},
            {2005, "Two thousand and five players left"},
            {12345, "Twelve thousand three hundred and forty-five players left"},
            {1234567, "1,234,567 players left"}};
        for (const auto &[left, text] : rows)
            expect(text, bustAnnouncement(left), QString::fromUtf8(text));
    }

    void resume()
    {
        const auto question = [](qint32 round, qint32 left, bool counting) {
            SavedGame g = savedBase();
            g.currentRound = round, g.secondsLeft = left, g.counting = counting;
            return resumeQuestion(g);
        };
        QCOMPARE(question(5, 754, true), "A game was left running: Round 5, 7 of 10 players, 12:34 left. Resume it?");
        QCOMPARE(question(-1, 299, false), "A game was left running: the break, 4:59 left. Resume it?");
        QCOMPARE(question(12, 3723, false), "A game was left running: Round 12, 1:02:03 left. Resume it?");
        QCOMPARE(question(12, -30, false), "A game was left running: Round 12, 0:00 left. Resume it?");
    }
};

QTEST_GUILESS_MAIN(TestTournament)
#include "test_tournament.moc"
