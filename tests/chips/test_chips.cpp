// The chip case under the structures a host plays: which chips leave at which break (each
// once), the levels the chips cannot make, the starting stack, the race, and the night's times.

#include "chips/ColourUp.h"
#include "plan/Plan.h"
#include "plan/PlanSetup.h"

#include <QTest>
#include <set>

using namespace chips;

Q_DECLARE_METATYPE(ChipCase)
Q_DECLARE_METATYPE(Structure)
Q_DECLARE_METATYPE(std::vector<ColourUp>)
Q_DECLARE_METATYPE(std::vector<Gap>)
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

ChipCase chipCase(std::initializer_list<std::pair<qint64, qint64>> chips)
{
    ChipCase c;
    for (const auto &[value, count] : chips)
        c.push_back({value, QString(), count});
    return c;
}

// "25/50 50/100 75/150" with the antes given by level (1-based).
Structure levels(const QString &text, qint64 every, bool repeat, std::map<int, qint64> antes = {})
{
    Structure s;
    for (const QString &l : text.split(QLatin1Char(' '))) {
        const QStringList sb = l.split(QLatin1Char('/'));
        s.levels.push_back({sb[0], sb[1], antes[int(s.levels.size()) + 1]});
    }
    s.breakEvery = every;
    s.repeat = repeat;
    return s;
}

const ChipCase Case4 = chipCase({{25, 0}, {100, 0}, {500, 0}, {1000, 0}});
const QString Common = QStringLiteral("25/50 50/100 75/150 100/200 150/300 200/400 300/600 400/800 600/1200 "
                                      "800/1600 1000/2000");
const QString Doubling = QStringLiteral("25/50 50/100 100/200 200/400 400/800 800/1600");

} // namespace

class TestChips : public QObject {
    Q_OBJECT
private slots:

    void colourUps_data()
    {
        using C = std::vector<ColourUp>;
        using G = std::vector<Gap>;
        using U = std::vector<int>;
        QTest::addColumn<ChipCase>("chips");
        QTest::addColumn<Structure>("structure");
        QTest::addColumn<C>("expected");
        QTest::addColumn<G>("gaps");
        QTest::addColumn<U>("unmakeable");
        const ChipCase case3 = chipCase({{25, 0}, {100, 0}, {500, 0}}), case2 = chipCase({{25, 0}, {100, 0}});
        // Round 5 at 150/300 still needs the 25s: they leave at the second break, not the first.
        QTest::newRow("150/300 keeps the 25s")
            << Case4 << levels(Common, 4, true) << C{{8, {25}}} << G{{25, 5, 8}, {100, 10, 0}} << U{};
        QTest::newRow("doubling, break every 2") << case3 << levels(Doubling, 2, true) << C{{2, {25}}} << G{} << U{};
        Structure rebuys = levels(Doubling, 2, true), whole = rebuys;
        rebuys.sales = {{1550, 3}};
        whole.sales = {{1550, 0}};
        QTest::newRow("a rebuy stack on sale keeps them") << case3 << rebuys << C{{4, {25}}} << G{} << U{};
        QTest::newRow("re-entries all game") << case3 << whole << C{} << G{} << U{};
        Structure addOn = levels("25/50 50/100 100/200 200/400", 2, true);
        addOn.sales = {{2050, *addOnBreak(addOn, 0)}};
        QTest::newRow("the add-on's break") << case2 << addOn << C{} << G{{25, 3, 0}} << U{};
        QTest::newRow("antes") << case2
                               << levels("100/200 200/400 300/600 400/800", 1, true, {{2, 25}, {3, 50}, {4, 100}})
                               << C{{3, {25}}} << G{} << U{};
        QTest::newRow("two chips at one break")
            << chipCase({{5, 0}, {25, 0}, {100, 0}}) << levels("5/10 10/20 25/50 50/100 100/200 200/400", 4, false)
            << C{{4, {5, 25}}} << G{{5, 2, 4}} << U{};
        QTest::newRow("amounts the chips cannot make")
            << Case4 << levels("25/50 28.75/57.5 40/65 050/0100 50.5/100 70/95 x/100", 2, true) << C{} << G{}
            << U{2, 3, 5, 6, 7};
        QTest::newRow("250 keeps the 25s past the only break")
            << Case4 << levels("25/50 100/200 200/400 250/500 500/1000", 2, false) << C{} << G{{25, 4, 0}} << U{};
        QTest::newRow("free after round 1")
            << case2 << levels("25/50 100/200 200/400", 2, false) << C{{2, {25}}} << G{{25, 1, 2}} << U{};
        QTest::newRow("no break") << Case4 << levels(Doubling, 0, false) << C{} << G{{25, 2, 0}} << U{};
    }

    void colourUps()
    {
        QFETCH(ChipCase, chips);
        QFETCH(Structure, structure);
        QFETCH(std::vector<ColourUp>, expected);
        QFETCH(std::vector<Gap>, gaps);
        QFETCH(std::vector<int>, unmakeable);
        const ChipPlan plan = planChips(chips, structure);
        QVERIFY(plan.colourUps == expected);
        QVERIFY(plan.gaps == gaps);
        QCOMPARE(plan.unmakeable, unmakeable);
        // Each chip named once, only at a break, never the largest.
        std::set<qint64> named;
        for (const ColourUp &c : plan.colourUps) {
            QVERIFY(structure.breakAfter(c.afterLevel));
            QCOMPARE(plan.at(c.afterLevel), &c);
            for (qint64 v : c.chips)
                QVERIFY(named.insert(v).second && v != chips.back().value);
        }
        // The setup says one line per gap, and one per chip the unmakeable levels fall under.
        const QStringList notes = planNotes(plan, chips);
        QCOMPARE(notes.size(), qsizetype(gaps.size()) + (unmakeable.empty() ? 0 : 1));
    }

    void stacks_data()
    {
        QTest::addColumn<ChipCase>("chips");
        QTest::addColumn<qint64>("amount");
        QTest::addColumn<qint64>("sets");
        QTest::addColumn<QString>("expected");

        QTest::newRow("5,000") << Case4 << qint64(5000) << qint64(1) << "8 × 25, 8 × 100, 2 × 500, 3 × 1,000";
        QTest::newRow("counted, ten players") << chipCase({{25, 300}, {100, 200}, {500, 100}, {1000, 100}})
                                              << qint64(5000) << qint64(10) << "8 × 25, 8 × 100, 2 × 500, 3 × 1,000";
        QTest::newRow("few 1,000s") << chipCase({{25, 300}, {100, 200}, {500, 100}, {1000, 20}}) << qint64(5000)
                                    << qint64(10) << "8 × 25, 8 × 100, 4 × 500, 2 × 1,000";
        QTest::newRow("few 25s") << chipCase({{25, 60}, {100, 200}, {500, 100}, {1000, 100}}) << qint64(5000)
                                 << qint64(10) << "4 × 25, 14 × 100, 3 × 500, 2 × 1,000";
        QTest::newRow("1,500") << Case4 << qint64(1500) << qint64(1) << "12 × 25, 7 × 100, 1 × 500";
        QTest::newRow("500 in small chips") << Case4 << qint64(500) << qint64(1) << "20 × 25";
        QTest::newRow("too few chips") << chipCase({{100, 10}, {500, 10}}) << qint64(5000) << qint64(10) << QString();
        QTest::newRow("not a multiple") << Case4 << qint64(5010) << qint64(1) << QString();
    }

    void stacks()
    {
        QFETCH(ChipCase, chips);
        QFETCH(qint64, amount);
        QFETCH(qint64, sets);
        QFETCH(QString, expected);
        const std::optional<Stack> s = suggestStack(chips, amount, sets);
        QCOMPARE(s ? stackText(chips, *s) : QString(), expected);
        if (!s)
            return;
        QCOMPARE(s->worth(chips), amount);
        QVERIFY(s->chips() >= MinStackChips);
        for (size_t i = 0; i < chips.size(); ++i)
            QVERIFY(chips[i].count == 0 || s->counts[i] * sets <= chips[i].count);
    }

    void smallRules()
    {
        // The case as typed and as kept.
        QString why;
        const std::optional<ChipCase> typed = parseRows({{"1000", " black ", "50"},
                                                         {},
                                                         {"25", "white", ""},
                                                         {"100", "light  blue", "1000000"},
                                                         {"1000000000", "", ""}},
                                                        &why);
        QVERIFY(typed);
        QCOMPARE(caseText(*typed), QStringLiteral("25/white/0;100/light blue/1000000;1000/black/50;1000000000//0"));
        QVERIFY(parseCaseText(caseText(*typed)) == typed);
        const ChipCase odd{{25, "%1 %2", 3}};
        QVERIFY(parseCaseText(caseText(odd)) == odd);
        const std::pair<std::vector<ChipRow>, QString> refused[] = {
            {{{"25", "", ""}, {"0", "", ""}}, "Chip 2: the value must be a whole number from 1 to 1,000,000,000."},
            {{{"25", "", "x"}}, "Chip 1: how many must be a whole number up to 1,000,000."},
            {{{"25", "red/white", ""}}, "Chip 1: a colour cannot hold “/” or “;”."},
            {{{"25", "", ""}, {"025", "", ""}}, "Chip 2: 25 is already in the case."},
        };
        for (const auto &[rows, says] : refused) {
            QVERIFY(!parseRows(rows, &why));
            QCOMPARE(why, says);
        }
        QVERIFY(!parseCaseText("25/white"));

        // Rounded to the chips: halves to the even multiple, at least one chip, big never below small.
        std::vector<QString> small{"25", "28.75", "40", "62.5", "12", "x"}, big{"50", "57.5", "65", "87.5", "10", "y"};
        roundToChips(chipCase({{25, 0}, {100, 0}}), {}, small, big);
        QCOMPARE(small, (std::vector<QString>{"25", "25", "50", "50", "25", "x"}));
        QCOMPARE(big, (std::vector<QString>{"50", "50", "75", "100", "25", "y"}));

        // The race: a chip more from half a chip up.
        const std::array<std::array<qint64, 3>, 5> races{
            {{60, 100, 1}, {40, 100, 0}, {150, 100, 2}, {149, 100, 1}, {0, 100, 0}}};
        for (const auto &[worth, large, out] : races)
            QCOMPARE(raceChips(worth, large), out);

        // How many the counted chips seat, five rebuys' stacks set aside.
        const ChipCase counted = chipCase({{25, 300}, {100, 200}, {500, 100}, {1000, 100}});
        const Stack stack{{8, 8, 2, 3}};
        QCOMPARE(playersSeated(counted, stack, {40, 40, 10, 15}), std::optional<qint64>(20));
        QCOMPARE(playersSeated(Case4, stack, {}), std::nullopt);

        // What the setup says: the levels by the chip they fall under, and the breaks that would fit.
        ChipPlan gaps;
        gaps.unmakeable = {3};
        gaps.gaps = {{25, 5, 8}, {100, 10, 0}};
        QCOMPARE(
            planNotes(gaps, counted),
            QStringList({"Round 3 cannot be made with the 25s.",
                         "The 25s are not needed after round 5, but no break comes until after round 8: a break after "
                         "round 5 would let them leave.",
                         "The 100s are not needed after round 10, but no break follows: a break after round 10 would "
                         "let them leave."}));

        QCOMPARE(colourUpWarning({25}), QStringLiteral("At the next break the 25s leave."));
        QCOMPARE(colourUpLine({25, 100}), QStringLiteral("Colour up: the 25s and the 100s"));

        // An amount the chips can pay.
        QVERIFY(Payer({10, 25}).pays("25.00"));
        QVERIFY(!Payer({10, 25}).pays("15"));
        QVERIFY(!Payer({100, 500}).pays("150"));
    }

    void plan()
    {
        // Six levels of 20 minutes from 22:30, a 10-minute break after every second one.
        plan::Input in;
        in.levelSeconds = std::vector<qint64>(6, 1200);
        in.bigBlinds = {"50", "100", "200", "400", "800", "1600"};
        in.breakEvery = 2;
        in.repeat = true;
        in.breakSeconds = 600;
        in.startsAt = QDateTime(QDate(2026, 12, 10), QTime(22, 30));
        in.averageStack = 800;
        const plan::Plan p = plan::makePlan(in);
        const std::vector<plan::Row> rows{{1, 0, 1200},    {2, 1200, 1200}, {0, 2400, 600},  {3, 3000, 1200},
                                          {4, 4200, 1200}, {0, 5400, 600},  {5, 6000, 1200}, {6, 7200, 1200}};
        QVERIFY(p.rows == rows);
        QCOMPARE(plan::planSummary(p),
                 QStringLiteral("6 levels and 2 breaks: 2 h 20 min, 22:30 to 00:50; ends around 00:10 (round 5)"));
        QCOMPARE(plan::nextBreakText(*plan::secondsToBreak(p, 3, 300)), QStringLiteral("Next break in 25 min"));
        QCOMPARE(plan::secondsToBreak(p, 2, 61), std::optional<qint64>(61));
        QCOMPARE(plan::secondsToBreak(p, 5, 100), std::nullopt);

        in.averageStack = 5000;
        QVERIFY(
            plan::planSummary(plan::makePlan(in)).endsWith("the big blind never reaches the average stack of 5,000"));
        QCOMPARE(plan::lengthText(45 * 60 + 30), QStringLiteral("46 min"));
        QCOMPARE(plan::lengthText(3600), QStringLiteral("1 h"));
        for (const char *bad : {"24:00", "7", "20:5", "20:60"})
            QVERIFY(!plan::parseTimeOfDay(bad));
        QCOMPARE(plan::addOnNow("£", 10, 15000), QStringLiteral("Add-on now: £10 for 15,000 chips"));
        // Beside countdowns in minutes:seconds, never "1:05".
        const std::pair<qint64, const char *> breaks[] = {
            {59, "1 min"}, {42 * 60, "42 min"}, {3600, "1 h 00 min"}, {3841, "1 h 05 min"}};
        for (const auto &[seconds, text] : breaks)
            QCOMPARE(plan::nextBreakText(seconds), "Next break in " + QString(text));
    }

    void roundedPerLevel_data()
    {
        QTest::addColumn<QString>("blinds");
        QTest::addColumn<QString>("rounded");
        // Breaks after every second level: the 25s leave once every small blind to come is 400 or
        // more, the 100s once it is 2,000.
        QTest::newRow("the 25s leave, then the 100s") << "30/60 80/160 180/360 420/840 1480/2880 2100/4200 3030/6060"
                                                      << "25/50 75/150 175/350 425/850 1500/2900 2100/4200 3000/6000";
        QTest::newRow("a level that needs them keeps them") << "420/840 1480/2880 1480/2880 130/260 2100/4200"
                                                            << "425/850 1475/2875 1475/2875 125/250 2000/4000";
    }

    void roundedPerLevel()
    {
        QFETCH(QString, blinds);
        QFETCH(QString, rounded);
        const Structure s = levels(blinds, 2, true);
        std::vector<QString> small, big;
        for (const Level &l : s.levels) {
            small.push_back(l.small);
            big.push_back(l.big);
        }
        roundToChips(Case4, s, small, big);
        for (size_t i = 0; i < small.size(); ++i)
            QCOMPARE(small[i] + '/' + big[i], rounded.section(' ', int(i), int(i)));
    }

    void afterAnEdit_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<int>("played");
        QTest::addColumn<std::vector<ColourUp>>("expected");
        const QString sooner = "25/50 50/100 100/200 500/1000 1000/2000 2000/4000 3000/6000 4000/8000";
        QTest::newRow("a 25 wanted again stays gone")
            << "25/50 50/100 100/200 200/400 400/800 825/1650 1000/2000 2000/4000" << 3
            << std::vector<ColourUp>{{2, {25}}, {6, {100}}};
        QTest::newRow("free sooner: at a break to come") << sooner << 4 << std::vector<ColourUp>{{2, {25}}, {6, {100}}};
        QTest::newRow("from the start") << sooner << 0 << std::vector<ColourUp>{{2, {25}}, {4, {100}}};
    }

    // Planned: the 25s leave after round 2, the 100s after round 6; then the list is edited with
    // `played` levels played. No chip comes back, none leaves at a break passed.
    void afterAnEdit()
    {
        QFETCH(QString, edited);
        QFETCH(int, played);
        QFETCH(std::vector<ColourUp>, expected);
        const ChipCase box = chipCase({{25, 0}, {100, 0}, {500, 0}});
        const ChipPlan before =
            planChips(box, levels("25/50 50/100 100/200 200/400 400/800 800/1600 1000/2000 2000/4000", 2, true));
        const ChipPlan after = planChips(box, levels(edited, 2, true), before, played);
        QVERIFY(after.colourUps == expected);
        QCOMPARE(after.unmakeable, edited.contains("825") ? std::vector<int>{6} : std::vector<int>{});
    }
};

QTEST_GUILESS_MAIN(TestChips)
#include "test_chips.moc"
