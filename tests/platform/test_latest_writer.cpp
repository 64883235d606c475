// The game's file written on a thread of its own, on real files: the latest state wins, a
// remove is never overtaken, only a regular file is replaced, a failure is told once, and
// asking never waits for a slow disk.
#include "platform/LatestFileWriter.h"

#include <QSemaphore>
#include <QtTest>
#include <atomic>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder as it stands: each entry with its kind, a file with its contents.
QString listing(const QString &folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QFileInfo i(dir.filePath(name));
        QFile f(i.filePath());
        const QString kind = i.isSymLink()                               ? "link"
                             : i.isDir()                                 ? "folder"
                             : i.isFile() && f.open(QIODevice::ReadOnly) ? "file:" + QString::fromUtf8(f.readAll())
                                                                         : "other";
        out << name + "=" + kind;
    }
    return out.join(' ');
}

} // namespace

class TestLatestWriter : public QObject {
    Q_OBJECT
private slots:
    void requests_data()
    {
        QTest::addColumn<QString>("before");    // what stands at the path first
        QTest::addColumn<QStringList>("steps"); // w:bytes, r (remove), f (finish), held (the disk held)
        QTest::addColumn<QString>("after");     // the folder once finished
        QTest::addColumn<int>("writes");        // at most, with one write an hour allowed
        QTest::addColumn<int>("reports");
        QStringList many{"w:0", "f"};
        for (int i = 1; i < 100; ++i)
            many << "w:" + QString::number(i);
        QTest::newRow("the latest of many") << "" << many << "game=file:99" << 2 << 0;
        QTest::newRow("remove after writes") << "old" << QStringList{"w:a", "w:b", "r"} << "" << 1 << 0;
        QTest::newRow("write after remove") << "old" << QStringList{"r", "w:b"} << "game=file:b" << 1 << 0;
        QTest::newRow("written, finished, removed") << "" << QStringList{"w:a", "f", "r"} << "" << 1 << 0;
        QTest::newRow("a dangling link") << "link" << QStringList{"w:a", "f", "w:b", "r"} << "game=link" << 0 << 0;
        QTest::newRow("a FIFO") << "fifo" << QStringList{"w:a", "f", "w:b", "r"} << "game=other" << 0 << 0;
        QTest::newRow("a folder") << "folder" << QStringList{"w:a", "f", "w:b", "r"} << "game=folder" << 0 << 0;
        QTest::newRow("its folder gone, told once") << "gone" << QStringList{"w:a", "f", "w:b"} << "" << 0 << 1;
        QTest::newRow("its folder back, tried again and told")
            << "gone" << QStringList{"w:a", "f", "mk"} << "gone=folder" << 1 << 2;
        QTest::newRow("a slow disk") << "" << QStringList{"w:a", "held", "w:b", "r", "w:c", "w:d"} << "game=file:d" << 2
                                     << 0;
    }

    void requests()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, steps);
        QFETCH(QString, after);
        QFETCH(int, writes);
        QFETCH(int, reports);
        QTemporaryDir dir;
        const QString path = dir.filePath(before == "gone" ? "gone/game" : "game");
        if (before == "old") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
        }
        QVERIFY(before != "link" || ::symlink("nowhere", QFile::encodeName(path).constData()) == 0);
        QVERIFY(before != "fifo" || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QVERIFY(before != "folder" || QDir(dir.path()).mkdir("game"));

        QSemaphore entered, released;
        std::atomic<bool> first{true};
        QStringList told;
        platform::LatestFileWriter writer(QStringLiteral("the game in progress"), std::chrono::hours(1),
                                          std::chrono::milliseconds(20));
        std::mutex toldLock;
        writer.setReport([&](bool, const QString &line) {
            const std::lock_guard<std::mutex> lock(toldLock);
            told << line;
        });
        const auto toldCount = [&] {
            const std::lock_guard<std::mutex> lock(toldLock);
            return told.size();
        };
        // The disk held at the first write: only the test lets it go on (a minute at most,
        // so that a writer that made its caller wait fails below instead of hanging).
        if (steps.contains("held"))
            writer.setBeforeWrite([&](const QString &) {
                if (first.exchange(false)) {
                    entered.release();
                    (void)released.tryAcquire(1, 60000);
                }
            });
        for (const QString &step : steps) {
            if (step.startsWith("w:"))
                writer.write(path, step.mid(2).toUtf8());
            else if (step == "r")
                writer.remove(path);
            else if (step == "f")
                writer.finish();
            else if (step == "mk") { // the folder back: the failed write is tried again by itself
                QVERIFY(QDir(dir.path()).mkdir("gone"));
                QTRY_COMPARE_WITH_TIMEOUT(toldCount(), 2, 60000);
            } else
                QVERIFY(entered.tryAcquire(1, 60000));
        }
        if (steps.contains("held")) {
            // Every request above returned while the first write is still held.
            QCOMPARE(writer.written(), 0);
            QCOMPARE(listing(dir.path()), QString());
            released.release();
        }
        writer.finish();
        QCOMPARE(listing(dir.path()), after);
        QVERIFY2(writer.written() <= writes, qPrintable(QString::number(writer.written())));
        QCOMPARE(toldCount(), reports);
        QVERIFY(reports < 2 || QFile(path).size() == 1);
        for (int i = 0; i < told.size(); ++i)
            QVERIFY2(i % 2 ? told[i] == "The game in progress is kept again in " + path + "."
                           : told[i].startsWith("The game in progress is not kept in " + path + ": "),
                     qPrintable(told[i]));
    }
};

QTEST_GUILESS_MAIN(TestLatestWriter)
#include "test_latest_writer.moc"
