// The results' files on a real disk: a name of their own each time, whatever stands in the
// way left as it was, a sentence when they cannot be written, and the writer's answer on the
// asker's thread.
#include "platform/ResultsFiles.h"

#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

const QString Stem = QStringLiteral("chiplark-results-2026-12-10");

tournament::Results night()
{
    tournament::Results r;
    r.title = QStringLiteral("Friday night");
    r.date = QStringLiteral("2026-12-10");
    r.places = {{1, 1, QStringLiteral("Ann"), {}, 100}};
    return r;
}

// The folder as it stands, each entry with its kind: "name=file", "=link", "=folder", "=other".
QString listing(const QString &folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QFileInfo &i :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        out << i.fileName() + (i.isSymLink() ? "=link" : i.isDir() ? "=folder" : i.isFile() ? "=file" : "=other");
    return out.join(' ');
}

} // namespace

class TestResultsFiles : public QObject {
    Q_OBJECT
private slots:
    void names_data()
    {
        QTest::addColumn<QStringList>("before"); // what stands in the folder: name=kind
        QTest::addColumn<QString>("stem");       // of the files written
        QTest::newRow("a fresh folder") << QStringList{} << Stem;
        QTest::newRow("written before") << QStringList{Stem + ".csv=file", Stem + ".html=file"} << Stem + "-2";
        QTest::newRow("the page's name alone taken") << QStringList{Stem + ".html=file"} << Stem + "-2";
        QTest::newRow("a dangling link") << QStringList{Stem + ".csv=link"} << Stem + "-2";
        QTest::newRow("a link to a file") << QStringList{"other=file", Stem + ".html=link"} << Stem + "-2";
        QTest::newRow("a FIFO") << QStringList{Stem + ".html=fifo"} << Stem + "-2";
        QTest::newRow("a folder") << QStringList{Stem + ".csv=folder"} << Stem + "-2";
        QTest::newRow("the second taken too")
            << QStringList{Stem + ".csv=file", Stem + "-2.html=fifo", Stem + "-3.csv=link"} << Stem + "-4";
    }

    void names()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, stem);
        QTemporaryDir dir;
        const QString folder = dir.filePath("results");
        QVERIFY(before.isEmpty() || QDir().mkdir(folder));
        QStringList after{stem + ".csv=file", stem + ".html=file"};
        for (const QString &entry : before) {
            const QString name = entry.section('=', 0, 0), kind = entry.section('=', 1);
            const QByteArray path = QFile::encodeName(folder + "/" + name);
            QFile file(path);
            QVERIFY(kind != "file" || (file.open(QIODevice::WriteOnly) && file.write("kept") == 4));
            QVERIFY(kind != "link" || ::symlink("other", path) == 0);
            QVERIFY(kind != "fifo" || ::mkfifo(path, 0600) == 0);
            QVERIFY(kind != "folder" || QDir().mkdir(path));
            after << name + (kind == "fifo" ? "=other" : "=" + kind);
        }
        after.sort();
        const ResultsWritten w = writeResults(folder, night());
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(w.csvPath, folder + "/" + stem + ".csv");
        QCOMPARE(w.htmlPath, folder + "/" + stem + ".html");
        QCOMPARE(listing(folder), after.join(' '));
        for (const QString &entry : before)
            QVERIFY(!entry.endsWith("=file") || QFile(folder + "/" + entry.section('=', 0, 0)).size() == 4);
        QFile csv(w.csvPath), html(w.htmlPath);
        QVERIFY(csv.open(QIODevice::ReadOnly) && html.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), tournament::resultsCsv(night()));
        QCOMPARE(html.readAll(), tournament::resultsHtml(night()));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("stands"); // at the results folder's path
        QTest::addColumn<QString>("folder"); // given to the writer
        QTest::addColumn<QString>("why");
        QTest::newRow("a file") << "file"
                                << "results"
                                << "it is not a folder";
        QTest::newRow("a FIFO") << "fifo"
                                << "results"
                                << "it is not a folder";
        QTest::newRow("a dangling link") << "link"
                                         << "results"
                                         << "it is not a folder";
        QTest::newRow("a file above it") << "file"
                                         << "results/day"
                                         << "Not a directory";
        QTest::newRow("a folder the user cannot write") << "locked"
                                                        << "results"
                                                        << "Permission denied";
    }

    void failures()
    {
        QFETCH(QString, stands);
        QFETCH(QString, folder);
        QFETCH(QString, why);
        if (stands == "locked" && ::geteuid() == 0)
            QSKIP("root writes to any folder");
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("results"));
        QFile file(path);
        QVERIFY(stands != "file" || file.open(QIODevice::WriteOnly));
        QVERIFY(stands != "fifo" || ::mkfifo(path, 0600) == 0);
        QVERIFY(stands != "link" || ::symlink("nowhere", path) == 0);
        QVERIFY(stands != "locked" || (::mkdir(path, 0555) == 0));
        const QString before = listing(dir.path());
        const ResultsWritten w = writeResults(dir.filePath(folder), night());
        QVERIFY(!w.ok && w.csvPath.isEmpty() && w.htmlPath.isEmpty());
        QCOMPARE(w.error, "The results could not be written to " + dir.filePath(folder) + ": " + why + ".");
        QCOMPARE(listing(dir.path()), before);
        QVERIFY(stands != "locked" || QDir(dir.filePath("results")).isEmpty());
    }

    // Told on the asker's thread, in the order asked; at exit the writes asked are still done.
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
        auto writer = std::make_unique<ResultsWriter>(dir.path());
        QSignalSpy spy(writer.get(), &ResultsWriter::written);
        QList<QThread *> threads;
        connect(writer.get(), &ResultsWriter::written, this, [&] { threads << QThread::currentThread(); });
        writer->write(night());
        writer->write(night());
        if (atExit)
            writer.reset();
        else
            QVERIFY(spy.wait() && (spy.size() == 2 || spy.wait()));
        const QString both = Stem + ".csv=file " + Stem + ".html=file";
        QCOMPARE(listing(dir.path()), QString(both).replace(Stem, Stem + "-2") + " " + both);
        QCOMPARE(spy.size(), atExit ? 0 : 2);
        QCOMPARE(threads, QList<QThread *>(spy.size(), QThread::currentThread()));
        for (int i = 0; i < spy.size(); ++i)
            QCOMPARE(spy.at(i).at(0).value<ResultsWritten>().csvPath,
                     dir.filePath(Stem + (i == 0 ? ".csv" : "-2.csv")));
    }
};

QTEST_GUILESS_MAIN(TestResultsFiles)
#include "test_results_files.moc"
