#include "season/Season.h"
#include "tournament/Results.h"

#include <QtTest>

using namespace season;

namespace {

std::vector<qint64> numbers(const QString &text)
{
    std::vector<qint64> out;
    for (const QString &n : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out.push_back(n.toLongLong());
    return out;
}

// "Ann:1 Bea:2/3" — each player's place, with their knock-outs after a slash, in a field of `field`.
std::vector<Line> night(const QString &date, const QString &players, qint64 field = 10, const QString &title = "T")
{
    std::vector<Line> out;
    for (const QString &p : players.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = p.split(QRegularExpression("[:/]"));
        Line l{date, title, parts[0], parts[1].toLongLong(), field};
        l.knockouts = parts.value(2).toLongLong();
        l.prize = l.place == 1 ? 100 : 0;
        out.push_back(l);
    }
    return out;
}

// Six nights in fields of ten: Ann second every night, Bea the first three nights' winner, Cal the
// last three's; Gus ties Ann for second on the sixth, Eve, Fay and Hal play a night or three.
Season sixNights()
{
    Season s;
    const QStringList nights = QString("Bea:1 Ann:2 Eve:3 Hal:10, Bea:1 Ann:2 Fay:3 Hal:10, Bea:1 Ann:2 Hal:10, "
                                       "Cal:1/2 Ann:2 BEA:3, Cal:1 Ann:2, Cal:1 Ann:2 Gus:2")
                                   .split(", ");
    for (int i = 0; i < 6; ++i)
        if (s.addNight(night(QStringLiteral("2027-01-0%1").arg(i + 1), nights[i])))
            qFatal("a night of the worked season is refused");
    return s;
}

QString ranks(const Season &s)
{
    QStringList out;
    for (const Standing &st : s.standings())
        out << st.name + QString::number(st.rank) + (st.ranked ? "" : "*");
    return out.join(' ');
}

} // namespace

// Each points' kind over small fields: a night ("a:1/2": a, 1st, two knock-outs), the points of its
// lines | those of every place of the field it is played in (the preview, its length the field), the formula.
const struct {
    const char *name;
    Points::Kind kind;
    const char *table;
    qint64 floor, scale, attend, knockout;
    const char *night, *points, *formula;
} PointsCases[] = {
    {"linear, a tie for 2nd", Points::Kind::Linear, "", 0, 0, 0, 0, "a:1 b:2 c:2 d:4",
     "400 250 250 100 | 400 300 200 100", "Points = field − place + 1"},
    {"linear, three tied for 1st", Points::Kind::Linear, "", 0, 0, 0, 0, "a:1 b:1 c:1", "200 200 200 | 300 200 100",
     "Points = field − place + 1"},
    {"linear, playing, knock-outs", Points::Kind::Linear, "", 0, 0, 200, 100, "a:1/2 b:2 c:3/1",
     "700 400 400 | 300 200 100", "Points = field − place + 1 + 2 for playing + 1 per knock-out"},
    {"table, a tie over the floor, 62.5 to even", Points::Kind::Table, "1000 700 500 300 200 100", 25, 0, 0, 0,
     "a:5 b:6 c:6 d:8", "200 62 62 25 | 1000 700 500 300 200 100 25 25",
     "Points by place: 10, 7, 5, 3, 2, 1; below 6th: 0.25"},
    {"table, 1.5 to even", Points::Kind::Table, "3 0", 0, 0, 0, 50, "a:1/1 b:1", "52 2 | 3 0",
     "Points by place: 0.03, 0; below 2nd: 0 + 0.5 per knock-out"},
    {"field, a tie for 3rd", Points::Kind::Field, "", 0, 1000, 0, 0, "a:1 b:2 c:3 d:3",
     "2000 1414 1078 1078 | 2000 1414 1155 1000", "Points = 10 × √(field ÷ place)"},
    {"field, 4.5 to even", Points::Kind::Field, "", 0, 3, 0, 0, "a:1 b:4 c:9", "9 4 3 | 9 6 5 4 4 4 3 3 3",
     "Points = 0.03 × √(field ÷ place)"},
};

// A night added to the six: the reason it is refused, if it is.
const struct {
    const char *name, *date, *players, *title, *why;
} NightCases[] = {
    {"the night again", "2027-01-03", "Zed:1", "T", "The season already holds the night of 2027-01-03 \"T\"."},
    {"a name twice", "2027-01-09", "Zed:1 zED:2", "T", "\"zED\" is on two lines of the night."},
    {"no one", "2027-01-09", "", "T", "The night has no players."},
    {"a place above the field", "2027-01-09", "Zed:11", "T", "Zed has no place in the field."},
    {"another title that day", "2027-01-03", "Zed:1", "t", ""},
};

class TestSeason : public QObject {
    Q_OBJECT
private slots:
    void points_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(PointsCases)); ++i)
            QTest::newRow(PointsCases[i].name) << i;
    }
    void points()
    {
        QFETCH(int, row);
        const auto &c = PointsCases[row];
        const Points p{c.kind, numbers(c.table), c.floor, c.scale, c.attend, c.knockout};
        const QStringList expected = QString(c.points).split(" | ");
        const qint64 field = qint64(numbers(expected[1]).size());
        QCOMPARE(p.night(night("2027-01-07", c.night, field)), numbers(expected[0]));
        QCOMPARE(p.preview(field), numbers(expected[1]));
        QCOMPARE(p.formula(), QString(c.formula));
    }

    // Each rule crowns a different player; ties share a rank; under the average those short of
    // three nights rank after the rest, however high their average.
    void rules_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("ranks");
        QTest::addColumn<QString>("csv");
        QTest::newRow("total") << int(Rule::Kind::Total) << "Ann1 Bea2 Cal3 Gus4 Eve5 Fay5 Hal7"
                               << "";
        QTest::newRow("best 4") << int(Rule::Kind::Best) << "Bea1 Ann2 Cal3 Gus4 Eve5 Fay5 Hal7"
                                << "Rank,Name,Nights,Points,Wins,Cashes,KOs,Winnings\r\n1,Bea,4,38,3,3,0,300\r\n"
                                   "2,Ann,6,36,0,0,0,0\r\n3,Cal,3,30,3,3,2,300\r\n4,Gus,1,8.5,0,0,0,0\r\n"
                                   "5,Eve,1,8,0,0,0,0\r\n5,Fay,1,8,0,0,0,0\r\n7,Hal,3,3,0,0,0,0\r\n";
        QTest::newRow("average of 3") << int(Rule::Kind::Average) << "Cal1 Bea2 Ann3 Hal4 Gus5* Eve6* Fay6*"
                                      << "";
    }
    void rules()
    {
        QFETCH(int, rule);
        Season s = sixNights();
        s.rule.kind = Rule::Kind(rule);
        QTEST(ranks(s), "ranks");
        const std::vector<Standing> all = s.standings();
        const Standing ann = *std::find_if(all.begin(), all.end(), [](const Standing &st) { return st.name == "Ann"; });
        QCOMPARE(ann, (Standing{ann.rank, "Ann", 6, 5350, 3600, 892, true, 0, 0, 0, 0}));
        QFETCH(QString, csv);
        if (!csv.isEmpty())
            QCOMPARE(QString::fromUtf8(standingsCsv(s)), csv);
    }

    void refused_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(NightCases)); ++i)
            QTest::newRow(NightCases[i].name) << i;
    }
    void refused()
    {
        QFETCH(int, row);
        const auto &c = NightCases[row];
        Season s = sixNights();
        const std::optional<QString> why = s.addNight(night(c.date, c.players, 10, c.title));
        QCOMPARE(why.value_or(QString()), QString(c.why));
        QCOMPARE(s.lines().size(), why ? 19u : 20u);
    }

    void merges()
    {
        Season s = sixNights();
        const std::vector<Standing> before = s.standings();
        QCOMPARE(s.merge("Nobody", "Ann"), QString("The season has no player named \"Nobody\"."));
        QCOMPARE(s.merge("ANN", "ann"), QString("\"ANN\" and \"ann\" are one player already."));
        QCOMPARE(s.merge(" e ve", "Fay"), std::nullopt);
        QCOMPARE(s.merge("fay", "Hal"), std::nullopt);
        QCOMPARE(s.merge("Hal", "EVE"), QString("\"Hal\" and \"EVE\" are one player already."));
        QCOMPARE(s.player("Eve"), QString("Hal"));
        QCOMPARE(ranks(s), QString("Ann1 Bea2 Cal3 Hal4 Gus5"));
        // Eve played a night Hal did: it counts once, by the line worth more.
        QCOMPARE(s.standings()[3].total, 800 + 800 + 100);
        // Ann and Gus tied on the sixth: merged, the night counts once.
        QCOMPARE(s.merge("Gus", "Ann"), std::nullopt);
        QCOMPARE(s.standings()[0].total, 5350);
        QVERIFY(s.undoMerge() && s.undoMerge() && s.undoMerge() && !s.undoMerge());
        QCOMPARE(s.standings(), before);
    }

    void roundTrip()
    {
        Season s = sixNights();
        s.name = "Thursday, \"League\" 2027";
        s.points = {Points::Kind::Table, {1500, 0, 250}, 25, 1000, 200, 150};
        s.rule = {Rule::Kind::Average, 5, 2};
        const QStringList awkward = {"Smith, Jo", "Say \"hi\"", "=1+1", "'=x", "''", " lead", "Zoë 李", "-5", "a\r\nb"};
        for (int i = 0; i < awkward.size(); ++i)
            QVERIFY(!s.addNight(night("2027-02-01", QString("x:%1").arg(i + 1), 10, awkward[i])));
        std::vector<Line> odd = night("=2027", "y:1", 10, "'@");
        odd[0].name = awkward.join(' ');
        odd[0].spend = 0;
        QVERIFY(!s.addNight(odd));
        QVERIFY(!s.merge("x", odd[0].name) && !s.merge("Gus", "Ann"));
        std::vector<Line> mixed = night("2027-03-01", "p:1 q:2");
        mixed[1].title = "U";
        QVERIFY(s.addNight(mixed));
        const QByteArray file = s.file();
        QVERIFY(file.contains(",'=1+1,") && file.contains(",\"Smith, Jo\","));
        QString why;
        const std::optional<Season> back = Season::read(file, &why);
        QVERIFY2(back, qPrintable(why));
        QVERIFY(*back == s);
        QCOMPARE(back->file(), file);
        const QByteArray page = standingsHtml(s, "£");
        QVERIFY(page.contains("<h1>Thursday, &quot;League&quot; 2027</h1>") && page.contains("Say &quot;hi&quot;"));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("why");
#define NAME "Chiplark season,S\r\n"
#define HEAD NAME "Points,linear,,0,1000,0,0\r\nRule,total,4,3\r\n"
#define HEADER "\r\nDate,Title,Name,Place,Field,Prize,Knock-outs,Spend\r\n"
#define LINES HEAD HEADER
#define ANN "2027-01-07,T,Ann,1,2,0,0,\r\n"
        // The reason, or the number of the line that does not read.
        const std::pair<const char *, const char *> files[] = {
            {LINES ANN, ""},
            {"", "The file is not a Chiplark season."},
            {NAME, "2"},
            {NAME "Points,linear,,0,1000,0\r\nRule,total,4,3\r\n" HEADER, "2"},
            {NAME "Points,linear,,1000000000000001,1000,0,0\r\nRule,total,4,3\r\n" HEADER, "2"},
            {HEAD "\r\n" ANN, "5"},
            {LINES "2027-01-07,T,Ann,1,2,-5,0,\r\n", "6"},
            {LINES "2027-01-07,T,Ann,1,1000000000000001,0,0,\r\n", "6"},
            {LINES "2027-01-07,T,Ann,3,2,0,0,\r\n", "6"},
            {LINES "2027-01-07,T,Ann,1,2,0,0,,\r\n", "6"},
            {LINES "2027-01-07,T,A\"nn\",1,2,0,0,\r\n", "6"},
            {LINES "2027-01-07,\"T,Ann,1,2,0,0,\r\n", "6"},
            {LINES "2027-01-07,T,Ann,1,2,0,0,\r", "6"},
            {LINES "2027-01-07,T,\xff,1,2,0,0,\r\n", "The season file is not UTF-8 text."},
            {LINES ANN "2027-01-07,T,ANN,2,2,0,0,\r\n",
             "Line 7 of the season file names a player of that night again."},
            {HEAD "Merge,Bob,Ann\r\n" HEADER ANN, "Line 4 of the season file merges names it cannot."},
        };
        for (const auto &[file, why] : files)
            QTest::newRow(qPrintable(QString("file %1").arg(&file - &files[0].first)))
                << QByteArray(file)
                << (QString(why).toInt() ? QString("Line %1 of the season file does not read.").arg(why)
                                         : QString(why));
        QTest::newRow("too many lines") << QByteArray(LINES) + QByteArray(ANN).repeated(100001)
                                        << "The season file holds more lines than a season can.";
    }
    void hostileFiles()
    {
        QFETCH(QByteArray, file);
        QString why;
        const std::optional<Season> s = Season::read(file, &why);
        QTEST(why, "why");
        QCOMPARE(bool(s), why.isEmpty());
    }

    void fromResults_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("why");
        QTest::newRow("three named") << QStringList{"=Ann", "Bob, Jr", "Cy"} << "";
        QTest::newRow("nobody third") << QStringList{"=Ann", "Bob, Jr", ""} << "The results name no player at place 3.";
        QTest::newRow("Bob twice") << QStringList{"=Ann", "Bob, Jr", "BOB,JR"} << "The results name BOB,JR twice.";
    }
    void fromResults()
    {
        QFETCH(QStringList, names);
        tournament::Results r;
        r.title = "Thursday, game";
        r.when = "Thursday 10 December 2026, 23:41";
        for (qint64 i = 0; i < names.size(); ++i)
            r.places.push_back({i + 1, i + 1, names[i], {}, i == 0 ? 60 : 0});
        QString why;
        const std::optional<std::vector<Line>> lines = linesFromResults(tournament::resultsCsv(r), &why);
        QTEST(why, "why");
        if (lines)
            QCOMPARE(*lines, (std::vector<Line>{{"2026-12-10", "Thursday, game", "=Ann", 1, 3, 60, 0, -1},
                                                {"2026-12-10", "Thursday, game", "Bob, Jr", 2, 3, 0, 0, -1},
                                                {"2026-12-10", "Thursday, game", "Cy", 3, 3, 0, 0, -1}}));
        QCOMPARE(bool(lines), why.isEmpty());
        QVERIFY(!linesFromResults(Season().file(), &why) && !why.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSeason)
#include "test_season.moc"
