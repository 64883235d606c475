// The results as a spreadsheet and a browser read them: cells quoted as RFC 4180 has them
// and never taken for a formula, every figure of the night present, and whatever the host
// typed shown as text on the page, never as markup.
#include "tournament/Results.h"

#include <QtTest>

using namespace tournament;

namespace {

// Two places of a £100 game: the winner seated and named, the runner-up neither.
Results night(const QString &name = QStringLiteral("Ann"))
{
    Results r;
    r.title = QStringLiteral("Friday night");
    r.date = QStringLiteral("2026-12-10");
    r.when = QStringLiteral("Thursday 10 December 2026, 23:41");
    r.structure =
        QStringList{QStringLiteral("Round 1: £25/£50 for 20 mins."), QStringLiteral("Break every 4 levels, 10 mins.")};
    r.currency = QStringLiteral("£");
    r.counts.entries = 25, r.counts.reentries = 3, r.counts.rebuys = 7, r.counts.addOns = 12;
    r.collected = 4100, r.cut = 410, r.added = 10, r.pool = 3700;
    r.places = {{1, 7, name, {2, 3}, 2600}, {2, 12, QString(), {}, 0}};
    return r;
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
private slots:
    void csvCells_data()
    {
        QTest::addColumn<QString>("text"); // as the name and the title
        QTest::addColumn<QString>("cell");
        QTest::newRow("plain") << "Ann"
                               << "Ann";
        QTest::newRow("not ASCII") << "Zoë Ødegård"
                                   << "Zoë Ødegård";
        QTest::newRow("a comma") << "Lee, Ann"
                                 << "\"Lee, Ann\"";
        QTest::newRow("quotes") << "Ann \"Ace\" Lee"
                                << "\"Ann \"\"Ace\"\" Lee\"";
        QTest::newRow("a line end") << "Ann\r\nLee"
                                    << "\"Ann\r\nLee\"";
        QTest::newRow("a line feed") << "Ann\nLee"
                                     << "\"Ann\nLee\"";
        QTest::newRow("a formula") << "=HYPERLINK(\"x\")"
                                   << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("plus") << "+1"
                              << "'+1";
        QTest::newRow("minus") << "-1+2"
                               << "'-1+2";
        QTest::newRow("at") << "@SUM(A1)"
                            << "'@SUM(A1)";
        QTest::newRow("a tab first") << "\t=1"
                                     << "'\t=1";
        QTest::newRow("a return first") << "\r=1"
                                        << "\"'\r=1\"";
        QTest::newRow("an apostrophe first") << "'Ann"
                                             << "'Ann";
        QTest::newRow("a formula sign inside") << "Ann=Lee"
                                               << "Ann=Lee";
        QTest::newRow("empty") << ""
                               << "";
    }

    void csvCells()
    {
        QFETCH(QString, text);
        QFETCH(QString, cell);
        Results r = night(text);
        r.title = text;
        const QString csv = QString::fromUtf8(resultsCsv(r));
        QVERIFY2(csv.contains("\r\n1," + cell + ",7,2,3,2600\r\n2,,12,,,0\r\n\r\n"), qPrintable(csv));
        QVERIFY2(csv.contains("\r\nTitle," + cell + "\r\nDate,\"Thursday 10 December 2026, 23:41\"\r\n"),
                 qPrintable(csv));
    }

    // The lines in their order, each ended by CR LF, the amounts as plain numbers.
    void csvWhole()
    {
        QCOMPARE(resultsCsv(night()), QByteArray("Place,Name,Entry,Table,Seat,Prize\r\n"
                                                 "1,Ann,7,2,3,2600\r\n"
                                                 "2,,12,,,0\r\n"
                                                 "\r\n"
                                                 "Title,Friday night\r\n"
                                                 "Date,\"Thursday 10 December 2026, 23:41\"\r\n"
                                                 "Entries,25\r\nRe-entries,3\r\nRebuys,7\r\nAdd-ons,12\r\n"
                                                 "Money in,4100\r\nHouse cut,410\r\nAdded,10\r\nPrize pool,3700\r\n"));
    }

    void page_data()
    {
        QTest::addColumn<QString>("night");      // how it differs from the plain one
        QTest::addColumn<QStringList>("shown");  // in the page, as written
        QTest::addColumn<QStringList>("absent"); // nowhere in the page
        const QStringList never{"<script", "src=", "href=", "url(", "@import"};
        QTest::newRow("plain")
            << ""
            << QStringList{"<title>Friday night — results</title>",
                           "<h1>Friday night</h1>",
                           "Thursday 10 December 2026, 23:41",
                           "Entries</span> <b>25</b>",
                           "Re-entries</span> <b>3</b>",
                           "Rebuys</span> <b>7</b>",
                           "Add-ons</span> <b>12</b>",
                           "Money in</span> <b>£4,100</b>",
                           "House cut</span> <b>£410</b>",
                           "Added</span> <b>£10</b>",
                           "Prize pool</span> <b>£3,700</b>",
                           "<li>Round 1: £25/£50 for 20 mins.</li>",
                           "<li>Break every 4 levels, 10 mins.</li>",
                           ">1st</td><td class=\"name\">Ann</td><td class=\"seat\">Table 2, Seat 3</td>"
                           "<td class=\"prize\">£2,600</td>",
                           ">2nd</td><td class=\"name\">Entry 12</td><td class=\"seat\"></td>"
                           "<td class=\"prize\"></td>",
                           "@page { size: A4; margin: 12mm; }"}
            << never + QStringList{"GTD"};
        QTest::newRow("guaranteed") << "guaranteed" << QStringList{"<b>£3,700 GTD</b>"} << never;
        QTest::newRow("no name, no entry") << "unknown" << QStringList{"<td class=\"name\">—</td>"} << never;
        QTest::newRow("no title") << "untitled" << QStringList{"<title>Results</title>", "<h1>Results</h1>"} << never;
        QTest::newRow("markup typed") << "markup"
                                      << QStringList{"<title>Tom &amp; Jerry's &lt;i&gt; — results</title>",
                                                     "<h1>Tom &amp; Jerry's &lt;i&gt;</h1>",
                                                     "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;",
                                                     "&lt;svg onload=alert(1)&gt;", "<b>&lt;€4,100</b>"}
                                      << never + QStringList{"<i>", "<svg"};
    }

    void page()
    {
        QFETCH(QString, night);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, absent);
        Results r =
            ::night(night == "markup" ? QStringLiteral("<script>alert(\"x\")</script>") : QStringLiteral("Ann"));
        r.guaranteed = night == "guaranteed";
        if (night == "unknown")
            r.places[1].entry = 0;
        if (night == "untitled")
            r.title.clear();
        if (night == "markup") {
            r.title = QStringLiteral("Tom & Jerry's <i>");
            r.currency = QStringLiteral("<€");
            r.structure << QStringLiteral("<svg onload=alert(1)>");
        }
        const QString html = QString::fromUtf8(resultsHtml(r));
        QVERIFY2(html.startsWith("<!DOCTYPE html>\n") && html.endsWith("</html>\n"), qPrintable(html));
        for (const QString &text : shown)
            QVERIFY2(html.contains(text), qPrintable(text));
        for (const QString &text : absent)
            QVERIFY2(!html.contains(text, Qt::CaseInsensitive), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "test_results.moc"
