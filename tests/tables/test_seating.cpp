// The seat map under the count: the draw, busts and undo, the moves that even the tables, the
// tables that break, and the places with their prizes.

#include "tables/SeatCalls.h"
#include "tables/Seating.h"
#include "tournament/Ledger.h"
#include "tournament/Standings.h"

#include <QTest>
#include <algorithm>
#include <numeric>
#include <set>

using namespace tables;
using tournament::Action;
using tournament::Ledger;

Q_DECLARE_METATYPE(Layout)

namespace {

std::vector<int> counts(const Seating &s)
{
    std::vector<int> c;
    for (int t = 1; t <= s.layout().tables; ++t)
        if (s.open(t))
            c.push_back(s.players(t));
    return c;
}

int spread(const Seating &s)
{
    const std::vector<int> c = counts(s);
    return *std::max_element(c.begin(), c.end()) - *std::min_element(c.begin(), c.end());
}

// Every seated buy-in once, and as many as the count has players left.
void checkMap(const Ledger &l)
{
    const Seating &s = *l.seating();
    std::set<int> seated;
    for (int t = 1; t <= s.layout().tables; ++t)
        for (int seat = 1; seat <= s.layout().seats; ++seat)
            if (const int e = s.at({t, seat})) {
                QVERIFY(e >= 1 && e <= l.counts().buyIns());
                QVERIFY2(seated.insert(e).second, "a buy-in sits twice");
                QCOMPARE(s.seatOf(e), std::optional<Seat>(Seat{t, seat}));
            }
    QCOMPARE(qint64(seated.size()), l.counts().left());
}

tournament::Setup setupFor(const Layout &layout, quint64 seed)
{
    tournament::Setup setup;
    setup.buyIn = 20;
    setup.buyInChips = 5000;
    setup.layout = layout;
    setup.seed = seed;
    // Every other night ten places typed: more than a small field can finish.
    if (seed % 2 != 0)
        setup.shares = {20000, 15000, 12000, 10000, 9000, 8000, 7000, 7000, 6000, 6000};
    return setup;
}

// The first seat taken at a table.
Seat firstAt(const Seating &s, int table)
{
    Seat seat{table, 1};
    while (!s.at(seat))
        ++seat.seat;
    return seat;
}

Seat anyPlayer(const Seating &s, Draw &pick)
{
    std::vector<Seat> taken;
    for (int t = 1; t <= s.layout().tables; ++t)
        for (int seat = 1; seat <= s.layout().seats; ++seat)
            if (s.at({t, seat}))
                taken.push_back({t, seat});
    return taken[size_t(pick.below(int(taken.size())))];
}

} // namespace

class TestSeating : public QObject {
    Q_OBJECT
private slots:
    void draw_data();
    void draw();
    void randomNights_data();
    void randomNights();
    void movesAndBreaks();
};

void TestSeating::draw_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<int>("players");
    QTest::addColumn<std::vector<int>>("expected"); // players per table
    QTest::newRow("14 at 2 x 9") << Layout{2, 9, {}} << 14 << std::vector<int>{7, 7};
    QTest::newRow("15 at 2 x 9") << Layout{2, 9, {}} << 15 << std::vector<int>{};
    QTest::newRow("all of 3 x 10") << Layout{3, 10, {}} << 30 << std::vector<int>{10, 10, 10};
    QTest::newRow("21 at 4 x 8") << Layout{4, 8, {}} << 21 << std::vector<int>{};
    QTest::newRow("all of 4 x 12") << Layout{4, 12, {}} << 48 << std::vector<int>{12, 12, 12, 12};
    QTest::newRow("all of 2 x 2") << Layout{2, 2, {}} << 4 << std::vector<int>{2, 2};
}

// Dealt across the tables, never table by table, and a permutation of the seats once full.
void TestSeating::draw()
{
    QFETCH(Layout, layout);
    QFETCH(int, players);
    QFETCH(std::vector<int>, expected);
    std::set<std::vector<Seat>> orders;
    for (quint64 seed = 1; seed <= 50; ++seed) {
        Seating s(layout, seed);
        std::vector<Seat> order;
        for (int e = 1; e <= players; ++e) {
            const std::optional<Seat> seat = s.sit(e);
            QVERIFY(seat);
            order.push_back(*seat);
            QVERIFY2(spread(s) <= 1, "a table got a player before a shorter one");
        }
        if (!expected.empty())
            QCOMPARE(counts(s), expected);
        if (players == layout.tables * layout.seats) {
            std::set<std::pair<int, int>> all;
            for (const Seat &seat : order)
                all.insert({seat.table, seat.seat});
            QCOMPARE(int(all.size()), players);
            QVERIFY(!s.sit(players + 1));
        }
        orders.insert(order);
        // The same seed deals the same seats.
        Seating again(layout, seed);
        for (int e = 1; e <= players; ++e)
            QCOMPARE(again.sit(e), std::optional<Seat>(order[size_t(e - 1)]));
    }
    QVERIFY2(orders.size() > size_t(players > 4 ? 45 : 10), "the seed hardly changes the draw");
}

void TestSeating::randomNights_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::newRow("2 x 9") << Layout{2, 9, {}};
    QTest::newRow("3 x 10") << Layout{3, 10, {}};
    QTest::newRow("4 x 8, table 1 breaks first") << Layout{4, 8, {1, 3}};
}

// 10,000 entries, busts, re-entries and undos in a random order: the map stays whole, an undo
// gives back the seats exactly, the tables are even once the moves are made, a table breaks
// exactly when its players fit at the others, and a finished game's prizes sum to the pool.
void TestSeating::randomNights()
{
    QFETCH(Layout, layout);
    const int capacity = layout.tables * layout.seats;
    Draw pick(0xC41B);
    int games = 0;
    qint64 at = 0;
    quint64 seed = 20261210;
    Ledger l(setupFor(layout, seed));
    // Each night fills to a field of its own, then plays down to one player.
    int field = 0;
    bool filling = true;
    for (int step = 0; step < 10000; ++step) {
        if (field == 0) // small fields as often as any other, where re-entries are many
            field = 2 + pick.below(pick.below(2) == 0 ? 4 : capacity - 1);
        const int roll = pick.below(100);
        const qint64 left = l.counts().left();
        if (left >= field)
            filling = false;
        const bool reentry = l.counts().busts > l.counts().reentries;
        if (roll < 5 && !l.records().empty()) {
            const Ledger earlier = *Ledger::replay(l.setup(), {l.records().begin(), l.records().end() - 1});
            QCOMPARE(l.undo().verdict, Ledger::Verdict::Done);
            QCOMPARE(l.records(), earlier.records());
            for (int t = 1; t <= layout.tables; ++t)
                for (int seat = 1; seat <= layout.seats; ++seat)
                    QCOMPARE(l.seating()->at({t, seat}), earlier.seating()->at({t, seat}));
            QCOMPARE(l.finishes(), earlier.finishes());
        } else if (left < capacity && (filling ? roll < 80 : roll < 10)) {
            const Action a = reentry && roll % 2 == 0 ? Action::Reentry : Action::Entry;
            const std::vector<int> out = l.out();
            const int who = a == Action::Reentry ? out[size_t(pick.below(int(out.size())))] : 0;
            const Ledger::Outcome o = l.act(a, 1, ++at, false, {}, who);
            QCOMPARE(o.verdict, Ledger::Verdict::Done);
            QCOMPARE(o.player, a == Action::Entry ? int(l.players().size()) : who);
            QCOMPARE(l.seating()->at(o.seat), o.player);
        } else if (left >= 2) {
            const int open = l.seating()->openTables();
            const Ledger::Outcome o = l.act(Action::Bust, 1, ++at, false, anyPlayer(*l.seating(), pick));
            QCOMPARE(o.verdict, Ledger::Verdict::Done);
            QVERIFY(l.players()[size_t(l.finishes().back().player - 1)].out);
            const bool fits = open > 1 && left - 1 <= layout.seats * (open - 1);
            QCOMPARE(o.broken.table != 0, fits);
            QCOMPARE(l.seating()->openTables(), open - (fits ? 1 : 0));
            // Now and then the host refuses the move, and is asked again at the next bust.
            if (pick.below(10) == 0 && l.seating()->suggestion()) {
                l.refuseMove();
                QVERIFY(!l.seating()->suggestion());
                continue;
            }
            while (const std::optional<Move> m = l.seating()->suggestion()) {
                QVERIFY(l.seating()->players(m->from.table) - l.seating()->players(m->to.table) >= 2);
                QCOMPARE(l.seating()->at(m->to), 0);
                Seat from = anyPlayer(*l.seating(), pick);
                while (from.table != m->from.table)
                    from = anyPlayer(*l.seating(), pick);
                QCOMPARE(l.act(Action::Move, 1, ++at, false, from).verdict, Ledger::Verdict::Done);
            }
            QVERIFY2(spread(*l.seating()) <= 1, "the tables differ by two after the moves");
            // Now and then the final table is drawn afresh: the same players, each once.
            if (l.seating()->finalTable() && !l.seating()->redrawn() && pick.below(3) == 0) {
                const qint64 before = l.seating()->left();
                QCOMPARE(qint64(l.act(Action::Redraw, 1, ++at).moves.size()), before);
                QCOMPARE(qint64(l.seating()->left()), before);
            }
            if (l.counts().left() == 1) {
                ++games;
                // One line per player, the places 1 to the number of players, the pool paid whole.
                const std::vector<tournament::Place> places = tournament::standings(l);
                qint64 seated = 0;
                for (int p = 1; p <= int(l.players().size()); ++p)
                    if (l.seating()->seatOf(p))
                        seated = p;
                QCOMPARE(tournament::lastStanding(l), seated);
                QCOMPARE(places.front().entry, seated);
                std::set<qint64> numbers, players;
                for (const tournament::Place &p : places) {
                    numbers.insert(p.place);
                    players.insert(p.entry);
                }
                QCOMPARE(qint64(places.size()), qint64(l.players().size()));
                QCOMPARE(qint64(numbers.size()), qint64(places.size()));
                QCOMPARE(*numbers.rbegin(), qint64(places.size()));
                QCOMPARE(players.size(), numbers.size());
                QCOMPARE(std::accumulate(places.begin(), places.end(), qint64(0),
                                         [](qint64 sum, const tournament::Place &p) { return sum + p.prize; }),
                         l.pool());
                // The whole night again from its records, then the next night.
                const std::optional<Ledger> again = Ledger::replay(l.setup(), l.records());
                QVERIFY(again);
                QCOMPARE(again->finishes(), l.finishes());
                l = Ledger(setupFor(layout, ++seed));
                field = 0;
                filling = true;
                continue;
            }
        } else {
            continue;
        }
        checkMap(l);
        if (QTest::currentTestFailed()) {
            qWarning("step %d", step);
            return;
        }
    }
    QVERIFY2(games > 20, "few random nights came down to one player");
}

// The moves and breaks a host sees: 14 players at 2 x 9.
void TestSeating::movesAndBreaks()
{
    Ledger l(setupFor({2, 9, {}}, 7));
    for (int e = 0; e < 14; ++e)
        l.act(Action::Entry, 1, e);
    const Seating &s = *l.seating();
    QCOMPARE(counts(s), (std::vector<int>{7, 7}));
    // Two busts at table 2: table 1's big blind moves to the seat freed last.
    std::vector<Seat> table2;
    for (int seat = 1; seat <= 9; ++seat)
        if (s.at({2, seat}))
            table2.push_back({2, seat});
    QCOMPARE(l.act(Action::Bust, 1, 20, false, table2[0]).verdict, Ledger::Verdict::Done);
    QVERIFY(!s.suggestion());
    QCOMPARE(l.act(Action::Bust, 1, 21, false, table2[1]).verdict, Ledger::Verdict::Done);
    const std::optional<Move> m = s.suggestion();
    QVERIFY(m);
    QCOMPARE(m->from.table, 1);
    QCOMPARE(m->to, table2[1]);
    QCOMPARE(l.act(Action::Bust, 1, 22, false, table2[0]).text, seatText(table2[0]) + " is empty.");
    QCOMPARE(l.act(Action::Move, 1, 23, false, table2[2]).text, QString("The move is from Table 1."));
    const Seat mover = firstAt(s, 1);
    const int entry = s.at(mover);
    QCOMPARE(l.act(Action::Move, 1, 24, false, mover).text,
             QString("Moved: Entry %1, %2 → %3").arg(entry).arg(seatShort(mover), seatShort(table2[1])));
    QCOMPARE(s.at(table2[1]), entry);
    // Down to 9: table 2 breaks, its players dealt into table 1's free seats.
    while (l.counts().left() > 10)
        l.act(Action::Bust, 1, 30, false, firstAt(s, 1));
    QCOMPARE(s.openTables(), 2);
    const Seat last = firstAt(s, 1);
    const Ledger::Outcome o = l.act(Action::Bust, 1, 40, false, last);
    QCOMPARE(o.broken.table, 2);
    QVERIFY(s.finalTable());
    QCOMPARE(s.players(1), 9);
    for (const Move &mv : o.broken.moves) {
        QCOMPARE(mv.from.table, 2);
        QCOMPARE(mv.to.table, 1);
    }
    // The final table's redraw, then undo of both.
    QVERIFY(!s.redrawn());
    const Ledger::Outcome r = l.act(Action::Redraw, 1, 41);
    QCOMPARE(int(r.moves.size()), 9);
    QVERIFY(s.redrawn());
    QCOMPARE(l.undo().verdict, Ledger::Verdict::Done);
    // Undoing the bust that broke Table 2: each player dealt from it is told their seat there
    // again, and the player out theirs.
    const Seating broken = *l.seating();
    const int out = l.finishes().back().player;
    QCOMPARE(l.undo().verdict, Ledger::Verdict::Done);
    QCOMPARE(l.seating()->openTables(), 2);
    QCOMPARE(l.seating()->at(last), out);
    QStringList expected{QString("Entry %1 → %2").arg(out).arg(seatShort(last))};
    for (const Move &mv : o.broken.moves)
        expected << QString("Entry %1, %2 → %3").arg(broken.at(mv.to)).arg(seatShort(mv.to), seatShort(mv.from));
    QStringList back = seatsBack(broken, *l.seating(), [&](int p) { return l.playerName(p); });
    back.sort();
    expected.sort();
    QCOMPARE(back, expected);
}

QTEST_GUILESS_MAIN(TestSeating)
#include "test_seating.moc"
