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
    const char *const nights[] = {"Bea:1 Ann:2 Eve:3 Hal:10",
                                  "Bea:1 Ann:2 Fay:3 Hal:10",
                                  "Bea:1 Ann:2 Hal:10",
                                  "Cal:1/2 Ann:2 Bea:3",
                                  "Cal:1 Ann:2",
                                  "Cal:1 Ann:2 Gus:2"};
    for (int i = 0; i < 6; ++i)
        if (s.addNight(night(QStringLiteral("2027-01-0%1").arg(i + 1), QLatin1String(nights[i]))))
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

class TestSeason : public QObject {
    Q_OBJECT
private slots:
    void points_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("table"); // table then floor; scale for Field
        QTest::addColumn<QString>("extra"); // attend, knock-out
        QTest::addColumn<QString>("places");
        QTest::addColumn<QString>("knockouts");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("formula");
        QTest::addColumn<QString>("preview");
        const int table = int(Points::Kind::Table), linear = int(Points::Kind::Linear),
                  field = int(Points::Kind::Field);
        QTest::newRow("linear, tie for 2nd") << linear << ""
                                             << "0 0"
                                             << "1 2 2 4"
                                             << "0 0 0 0"
                                             << "400 250 250 100"
                                             << "Points = field − place + 1"
                                             << "400 300 200 100";
        QTest::newRow("linear, three tied for 1st") << linear << ""
                                                    << "0 0"
                                                    << "1 1 1"
                                                    << "0 0 0"
                                                    << "200 200 200"
                                                    << "Points = field − place + 1"
                                                    << "300 200 100";
        QTest::newRow("linear, playing and knock-outs")
            << linear << ""
            << "200 100"
            << "1 2 3"
            << "2 0 1"
            << "700 400 400"
            << "Points = field − place + 1 + 2 for playing + 1 per knock-out"
            << "300 200 100";
        QTest::newRow("table, tie across the floor, 62.5 to even")
            << table << "1000 700 500 300 200 100 25"
            << "0 0"
            << "5 6 6 8"
            << "0 0 0 0"
            << "200 62 62 25"
            << "Points by place: 10, 7, 5, 3, 2, 1; below 6th: 0.25"
            << "1000 700 500 300 200 100 25 25";
        QTest::newRow("table, 1.5 to even") << table << "3 0 0"
                                            << "0 50"
                                            << "1 1"
                                            << "1 0"
                                            << "52 2"
                                            << "Points by place: 0.03, 0; below 2nd: 0 + 0.5 per knock-out"
                                            << "3 0";
        QTest::newRow("field, tie for 3rd") << field << "1000"
                                            << "0 0"
                                            << "1 2 3 3"
                                            << "0 0 0 0"
                                            << "2000 1414 1078 1078"
                                            << "Points = 10 × √(field ÷ place)"
                                            << "2000 1414 1155 1000";
        QTest::newRow("field, 4.5 to even") << field << "3"
                                            << "0 0"
                                            << "1 4 9"
                                            << "0 0 0"
                                            << "9 4 3"
                                            << "Points = 0.03 × √(field ÷ place)"
                                            << "9 6 5 4 4 4 3 3 3";
    }
    void points()
    {
        QFETCH(int, kind);
        QFETCH(QString, table);
        QFETCH(QString, extra);
        QFETCH(QString, places);
        QFETCH(QString, knockouts);
        Points p;
        p.kind = Points::Kind(kind);
        if (p.kind == Points::Kind::Table) {
            p.table = numbers(table);
            p.floor = p.table.back();
            p.table.pop_back();
        } else if (p.kind == Points::Kind::Field) {
            p.scale = table.toLongLong();
        }
        p.attend = numbers(extra)[0], p.knockout = numbers(extra)[1];
        QFETCH(QString, preview);
        const std::vector<qint64> at = numbers(places), kos = numbers(knockouts);
        const qint64 field = qint64(numbers(preview).size());
        std::vector<Line> lines;
        for (size_t i = 0; i < at.size(); ++i)
            lines.push_back({"2027-01-07", "T", QString::number(i), at[i], field, 0, kos[i]});
        QFETCH(QString, points);
        QCOMPARE(p.night(lines), numbers(points));
        QTEST(p.formula(), "formula");
        QCOMPARE(p.preview(field), numbers(preview));
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
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("players");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("why");
        QTest::newRow("night again") << "2027-01-03"
                                     << "Zed:1"
                                     << "T"
                                     << "The season already holds the night of 2027-01-03 \"T\".";
        QTest::newRow("name twice") << "2027-01-09"
                                    << "Zed:1 zED:2"
                                    << "T"
                                    << "\"zED\" is on two lines of the night.";
        QTest::newRow("no one") << "2027-01-09"
                                << ""
                                << "T"
                                << "The night has no players.";
        QTest::newRow("place above the field") << "2027-01-09"
                                               << "Zed:11"
                                               << "T"
                                               << "Zed has no place in the field.";
        QTest::newRow("another title") << "2027-01-03"
                                       << "Zed:1"
                                       << "t"
                                       << "";
    }
    void refused()
    {
        QFETCH(QString, date);
        QFETCH(QString, players);
        QFETCH(QString, title);
        Season s = sixNights();
        const std::optional<QString> why = s.addNight(night(date, players, 10, title));
        QTEST(why.value_or(QString()), "why");
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
        QVERIFY(!s.merge(odd[0].name, "x") && !s.merge("Gus", "Ann"));
        const QByteArray file = s.file();
        QVERIFY(file.contains(",'=1+1,") && file.contains(",\"Smith, Jo\","));
        QString why;
        const std::optional<Season> back = Season::read(file, &why);
        QVERIFY2(back, qPrintable(why));
        QVERIFY(*back == s);
        QCOMPARE(back->file(), file);
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("why");
        const QByteArray head = "Chiplark season,S\r\nPoints,linear,,0,1000,0,0\r\nRule,total,4,3\r\n";
        const QByteArray lines = "\r\nDate,Title,Name,Place,Field,Prize,Knock-outs,Spend\r\n";
        const QByteArray ann = "2027-01-07,T,Ann,1,2,0,0,\r\n";
        QTest::newRow("a good file") << head + lines + ann << "";
        QTest::newRow("empty") << QByteArray() << "The file is not a Chiplark season.";
        QTest::newRow("a results file") << QByteArray("Place,Name\r\n") << "The file is not a Chiplark season.";
        QTest::newRow("no points") << QByteArray("Chiplark season,S\r\n") << "Line 2 of the season file does not read.";
        QTest::newRow("points short") << QByteArray(head).replace(",0,0\r", ",0\r") + lines
                                      << "Line 2 of the season file does not read.";
        QTest::newRow("negative") << head + lines + "2027-01-07,T,Ann,1,2,-5,0,\r\n"
                                  << "Line 6 of the season file does not read.";
        QTest::newRow("beyond 10^15") << head + lines + "2027-01-07,T,Ann,1,1000000000000001,0,0,\r\n"
                                      << "Line 6 of the season file does not read.";
        QTest::newRow("place above the field") << head + lines + "2027-01-07,T,Ann,3,2,0,0,\r\n"
                                               << "Line 6 of the season file does not read.";
        QTest::newRow("a word for a number") << head + lines + "2027-01-07,T,Ann,one,2,0,0,\r\n"
                                             << "Line 6 of the season file does not read.";
        QTest::newRow("a cell too many") << head + lines + "2027-01-07,T,Ann,1,2,0,0,,\r\n"
                                         << "Line 6 of the season file does not read.";
        QTest::newRow("a quote inside a cell") << head + lines + "2027-01-07,T,A\"nn,1,2,0,0,\r\n"
                                               << "Line 6 of the season file does not read.";
        QTest::newRow("a quote left open") << head + lines + "2027-01-07,\"T,Ann,1,2,0,0,\r\n"
                                           << "Line 6 of the season file does not read.";
        QTest::newRow("not UTF-8") << head + lines + "2027-01-07,T,\xff,1,2,0,0,\r\n"
                                   << "The season file is not UTF-8 text.";
        QTest::newRow("no header") << head + "\r\n" + ann << "Line 5 of the season file does not read.";
        QTest::newRow("a name twice in a night") << head + lines + ann + "2027-01-07,T,ANN,2,2,0,0,\r\n"
                                                 << "Line 7 of the season file names a player of that night again.";
        QTest::newRow("a merge of no player")
            << head + "Merge,Bob,Ann\r\n" + lines + ann << "Line 4 of the season file merges names it cannot.";
        QTest::newRow("too many lines") << head + lines + ann.repeated(100001)
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
