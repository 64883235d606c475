// The night's results as a spreadsheet and a browser read them, and as files on a real disk:
// cells quoted as RFC 4180 has them and never taken for a formula, every figure on the page
// and whatever the host typed shown as text, never as markup; the files under a name of
// their own each time, whatever stands in the way left as it was, a sentence when they
// cannot be written, and the writer's answer on the asker's thread.
#include "platform/NightFiles.h"
#include "platform/SeasonStore.h"

#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace tournament;

namespace {

const QString Stem = QStringLiteral("chiplark-results-2026-12-10");

// Two places of a £100 game: the winner seated and named, the runner-up neither.
Results night(const QString &name = QStringLiteral("Zoë"))
{
    Results r;
    r.title = QStringLiteral("Friday night");
    r.date = QStringLiteral("2026-12-10");
    r.when = QStringLiteral("Thursday 10 December 2026, 23:41");
    r.structure = QStringList{QStringLiteral("Round 1: £25/£50 for 20 mins."), QStringLiteral("Break every 4 levels.")};
    r.currency = QStringLiteral("£");
    r.counts.entries = 25, r.counts.reentries = 3, r.counts.rebuys = 7, r.counts.addOns = 12;
    r.collected = 4100, r.cut = 410, r.added = 10, r.pool = 3700;
    r.places = {{1, 7, name, {2, 3}, 2600, 2, 1, 0}, {2, 12, QString(), {}, 0}};
    return r;
}

// Everything under a folder, each entry with its kind: "results/name=file", "=link", "=folder", "=other".
QStringList listing(const QString &folder)
{
    QStringList out;
    const QDir root(folder);
    QDirIterator i(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                   QDirIterator::Subdirectories);
    while (i.hasNext()) {
        const QFileInfo f(i.next());
        out << root.relativeFilePath(f.filePath())
                   + (f.isSymLink() ? "=link"
                      : f.isDir()   ? "=folder"
                      : f.isFile()  ? "=file"
                                    : "=other");
    }
    out.sort();
    return out;
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
private slots:
    void csvCells_data()
    {
        QTest::addColumn<QString>("text"); // as the name and the title
        QTest::addColumn<QString>("cell");
        const char *const rows[][3] = {{"plain", "Ann", "Ann"},
                                       {"not ASCII", "Zoë Ødegård", "Zoë Ødegård"},
                                       {"a comma", "Lee, Ann", "\"Lee, Ann\""},
                                       {"quotes", "Ann \"Ace\" Lee", "\"Ann \"\"Ace\"\" Lee\""},
                                       {"a line end", "Ann\r\nLee", "\"Ann\r\nLee\""},
                                       {"a line feed", "Ann\nLee", "\"Ann\nLee\""},
                                       {"a formula", "=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
                                       {"plus", "+1", "'+1"},
                                       {"minus", "-1+2", "'-1+2"},
                                       {"at", "@SUM(A1)", "'@SUM(A1)"},
                                       {"a tab first", "\t=1", "'\t=1"},
                                       {"a return first", "\r=1", "\"'\r=1\""},
                                       {"a formula sign inside", "Ann=1", "Ann=1"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
    }

    // The whole file: the lines in their order, each ended by CR LF, in UTF-8, the amounts as plain numbers.
    void csvCells()
    {
        QFETCH(QString, text);
        QFETCH(QString, cell);
        Results r = night(text);
        r.title = text;
        QCOMPARE(QString::fromUtf8(resultsCsv(r)),
                 "Place,Name,Entry,Table,Seat,Prize,Buy-ins,Rebuys,Add-ons\r\n1," + cell
                     + ",7,2,3,2600,2,1,0\r\n2,,12,,,0,,,\r\n\r\nTitle," + cell
                     + "\r\nDate,\"Thursday 10 December 2026, 23:41\"\r\nEntries,25\r\nRe-entries,3\r\nRebuys,7\r\n"
                       "Add-ons,12\r\nMoney in,4100\r\nHouse cut,410\r\nAdded,10\r\nPrize pool,3700\r\n");
    }

    void page_data()
    {
        QTest::addColumn<QString>("night"); // how it differs from the plain one
        QTest::addColumn<QString>("text");  // the page's text in order (its tags as spaces), or a run of it
        const char *const rows[][3] = {
            {"plain", "",
             "Friday night — results Friday night Thursday 10 December 2026, 23:41 Entries 25 Re-entries "
             "3 Rebuys 7 Add-ons 12 Money in £4,100 House cut £410 Added £10 Prize pool £3,700 Places Place "
             "Name Seat Buy-ins Prize 1st Zoë Table 2, Seat 3 2 (1 re-entry) · 1 rebuy £2,600 2nd Entry 12 Structure "
             "Round 1: £25/£50 "
             "for 20 mins. Break every 4 levels."},
            {"guaranteed", "guaranteed", "Prize pool £3,700 GTD Places"},
            {"bounties and a deal", "bounties",
             "Prize pool £3,700 Bounties £200 Deal ICM: Zoë £2,600 Places Place Name Seat Buy-ins Prize KOs Bounties "
             "1st Zoë Table 2, Seat 3 2 (1 re-entry) · 1 rebuy £2,600 3 £150 2nd Entry 12 0 Structure"},
            {"no name, no entry", "unknown", "2nd — Structure"},
            {"no title", "untitled", "Results Results Thursday"},
            {"markup typed", "markup",
             "Prize pool &lt;€3,700 Places Place Name Seat Buy-ins Prize 1st "
             "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; "
             "Table 2, Seat 3 2 (1 re-entry) · 1 rebuy &lt;€2,600 2nd"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
    }

    void page()
    {
        QFETCH(QString, night);
        QFETCH(QString, text);
        Results r =
            ::night(night == "markup" ? QStringLiteral("<script>alert(\"x\")</script>") : QStringLiteral("Zoë"));
        r.guaranteed = night == "guaranteed";
        r.places[1].entry = night == "unknown" ? 0 : 12;
        r.title = night == "untitled" ? QString() : night == "markup" ? QStringLiteral("Tom & Jerry's <i>") : r.title;
        if (night == "markup")
            r.currency = QStringLiteral("<€"), r.structure << QStringLiteral("<svg onload=alert(1)>");
        if (night == "bounties")
            r.bounties = 200, r.places[0].knockouts = 3, r.places[0].bounty = 150, r.deal = "ICM: Zoë £2,600";
        const QString html = QString::fromUtf8(resultsHtml(r));
        QVERIFY(html.startsWith("<!DOCTYPE html>\n") && html.endsWith("</html>\n"));
        QString shown = html;
        shown.remove(QRegularExpression("<style>.*</style>", QRegularExpression::DotMatchesEverythingOption));
        QVERIFY2(shown.replace(QRegularExpression("<[^>]*>"), " ").simplified().contains(text), qPrintable(shown));
        for (const char *markup : {"<script", "<svg", "<i>", "src=", "href=", "url(", "@import"})
            QVERIFY2(!html.contains(markup, Qt::CaseInsensitive), markup);
    }

    void files_data()
    {
        QTest::addColumn<QStringList>("before"); // what stands in the temporary folder: path=kind
        QTest::addColumn<QString>("folder");     // given to the writer
        QTest::addColumn<QString>("outcome");    // the stem written (S: the day's first), or why nothing was
        const char *const rows[][4] = {
            {"a fresh folder", "", "results", "S"},
            {"the page's name taken", "results/S.html=file", "results", "S-2"},
            {"a dangling link", "results/S.csv=link", "results", "S-2"},
            {"a link to a file", "results/other=file results/S.html=link", "results", "S-2"},
            {"a FIFO", "results/S.html=fifo", "results", "S-2"},
            {"a folder", "results/S.csv=folder", "results", "S-2"},
            {"three taken", "results/S.csv=file results/S-2.html=fifo results/S-3.csv=link", "results", "S-4"},
            {"a file for the folder", "results=file", "results", "it is not a folder"},
            {"a FIFO for the folder", "results=fifo", "results", "it is not a folder"},
            {"a file above it", "results=file", "results/day", "Not a directory"},
            {"a folder not to write", "results=locked", "results", "Permission denied"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString(row[1]).replace('S', Stem).split(' ', Qt::SkipEmptyParts)
                                  << QString(row[2]) << QString(row[3]).replace(QRegularExpression("^S"), Stem);
    }

    void files()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, folder);
        QFETCH(QString, outcome);
        if (before.contains("results=locked") && ::geteuid() == 0)
            QSKIP("root writes to any folder");
        QTemporaryDir dir;
        for (const QString &entry : before) {
            const QString kind = entry.section('=', 1);
            const QByteArray path = QFile::encodeName(dir.filePath(entry.section('=', 0, 0)));
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile file(path);
            QVERIFY(kind != "file" || (file.open(QIODevice::WriteOnly) && file.write("kept") == 4));
            QVERIFY(kind != "link" || ::symlink("other", path) == 0);
            QVERIFY(kind != "fifo" || ::mkfifo(path, 0600) == 0);
            QVERIFY(kind != "folder" || QDir().mkdir(path));
            QVERIFY(kind != "locked" || ::mkdir(path, 0555) == 0);
        }
        QStringList after = listing(dir.path());
        const platform::NewFilesWritten w = platform::writeResults(dir.filePath(folder), night());
        const bool written = outcome.startsWith(Stem);
        QCOMPARE(w.error, written
                              ? QString()
                              : "The results could not be written to " + dir.filePath(folder) + ": " + outcome + ".");
        QCOMPARE(w.ok, written);
        const QStringList paths{dir.filePath("results/" + outcome + ".csv"),
                                dir.filePath("results/" + outcome + ".html")};
        QCOMPARE(w.paths, written ? paths : QStringList());
        if (written)
            after << "results/" + outcome + ".csv=file"
                  << "results/" + outcome + ".html=file"
                  << "results=folder";
        after.removeDuplicates();
        after.sort();
        QCOMPARE(listing(dir.path()), after);
        for (const QString &entry : before)
            QVERIFY(!entry.endsWith("=file") || QFileInfo(dir.filePath(entry.section('=', 0, 0))).size() == 4);
        QFile csv(w.paths.value(0)), html(w.paths.value(1));
        if (written) {
            QVERIFY(csv.open(QIODevice::ReadOnly) && html.open(QIODevice::ReadOnly));
            QCOMPARE(csv.readAll(), resultsCsv(night()));
            QCOMPARE(html.readAll(), resultsHtml(night()));
        }
    }

    // A night added to a season file: a new one made with its standings; one that cannot be read
    // or does not read, or already holds the night, told and left as it was.
    void seasonFiles()
    {
        const std::vector<season::Line> night{{"2026-12-10", "Friday", "Ann", 1, 2, 40, 0, 20},
                                              {"2026-12-10", "Friday", "Bob", 2, 2, 0, 0, 20}};
        season::Season held;
        held.name = "Thursday";
        QVERIFY(!held.addNight(night));
        const char *const rows[][2] = {
            {"none", "Tonight is in the season 'Thursday'. The standings are in "},
            {"fifo", "cannot be read: it is left as it is."},
            {"folder", "cannot be read: it is left as it is."},
            {"zero", "cannot be read: it is left as it is."},
            {"garbage", "does not read: The file is not a Chiplark season. It is left as it is."},
            {"held", "The season already holds the night of 2026-12-10"}};
        for (const auto &[kind, told] : rows) {
            QTemporaryDir dir;
            const QString seasons = dir.filePath("seasons"), path = seasons + "/Thursday.csv";
            QVERIFY(QDir().mkpath(seasons));
            const QByteArray bytes = QByteArray(kind) == "held" ? held.file() : QByteArray("Place,Name\r\n");
            QFile file(path);
            QVERIFY(QByteArray("garbage held").contains(kind) ? file.open(QIODevice::WriteOnly) && file.write(bytes) > 0
                    : QByteArray(kind) == "fifo"              ? ::mkfifo(QFile::encodeName(path), 0600) == 0
                    : QByteArray(kind) == "folder"            ? QDir().mkdir(path)
                    : QByteArray(kind) == "zero"              ? QFile::link("/dev/zero", path)
                                                              : true);
            file.close();
            const QStringList before = listing(dir.path());
            const platform::SeasonWritten w = platform::addNight(seasons, "Thursday", night, "£");
            QVERIFY2(w.told.contains(told), qPrintable(QString(kind) + ": " + w.told));
            QCOMPARE(w.ok, QByteArray(kind) == "none");
            if (!w.ok) {
                QCOMPARE(listing(dir.path()), before);
                QVERIFY(!QByteArray("garbage held").contains(kind)
                        || (file.open(QIODevice::ReadOnly) && file.readAll() == bytes));
                continue;
            }
            QCOMPARE(listing(dir.path()),
                     (QStringList{"seasons/Thursday standings.csv=file", "seasons/Thursday standings.html=file",
                                  "seasons/Thursday.csv=file", "seasons=folder"}));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(season::Season::read(file.readAll()), held);
        }
    }

    // Told on the asker's thread, in the order asked; the writes asked before it goes are still done.
    void writer_data()
    {
        QTest::addColumn<bool>("atExit");
        QTest::newRow("told") << false;
        QTest::newRow("gone at once") << true;
    }

    void writer()
    {
        QFETCH(bool, atExit);
        QTemporaryDir dir;
        auto writer = std::make_unique<platform::NightFilesWriter>(dir.path());
        QSignalSpy spy(writer.get(), &platform::NightFilesWriter::written);
        QList<QThread *> threads;
        connect(writer.get(), &platform::NightFilesWriter::written, this, [&] { threads << QThread::currentThread(); });
        writer->write(night());
        writer->write("2026-12-10", "<p>sheet</p>");
        writer->write(night());
        if (atExit)
            writer.reset();
        else
            QTRY_COMPARE_WITH_TIMEOUT(spy.size(), 3, 60000); // a minute at most for a slow disk
        QCOMPARE(listing(dir.path()), (QStringList{Stem + "-2.csv=file", Stem + "-2.html=file", Stem + ".csv=file",
                                                   Stem + ".html=file", "chiplark-sheet-2026-12-10.html=file"}));
        QCOMPARE(threads, QList<QThread *>(atExit ? 0 : 3, QThread::currentThread()));
        const QStringList firsts{Stem + ".csv", "chiplark-sheet-2026-12-10.html", Stem + "-2.csv"};
        for (int i = 0; i < spy.size(); ++i)
            QCOMPARE(spy.at(i).at(0).value<platform::NewFilesWritten>().paths.value(0), dir.filePath(firsts.at(i)));
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "test_results.moc"
