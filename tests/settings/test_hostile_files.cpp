// Files as a hostile folder holds them, real ones on disk: FIFOs, links to devices,
// folders, huge files, long names, values with NUL bytes, pasted negative numbers, and a
// save killed at random moments. Nothing hangs, nothing crashes, nothing unreadable is
// ever overwritten, a save leaves the old file or the new one.

#include "blinds/SavedStructures.h"
#include "platform/RegularFile.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

static const char *const kinds[] = {"fifo", "zero", "dangling", "folder", "huge"};

static void writeFile(const QString &path, const QByteArray &bytes, qint64 size = -1)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    if (size >= 0)
        QVERIFY(f.resize(size));
}

// Makes one kind of hostile thing at a path.
static void make(const QString &kind, const QString &path)
{
    const QByteArray p = QFile::encodeName(path);
    if (kind == "fifo")
        QVERIFY(::mkfifo(p.constData(), 0644) == 0);
    else if (kind == "zero" || kind == "dangling")
        QVERIFY(::symlink(kind == "zero" ? "/dev/zero" : "/nonexistent/chiplark", p.constData()) == 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(path));
    else // huge: 50 MB
        writeFile(path, "[Config]\r\nTitle=From a huge file\r\n", 50LL * 1024 * 1024);
}

// What stands at a path, without following a link: its kind and permissions, and a link's
// target or a file's size and content hash.
static QString fingerprint(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("nothing");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("mode %1 to %2").arg(st.st_mode).arg(QFile::symLinkTarget(path));
    QFile f(path);
    QCryptographicHash h(QCryptographicHash::Sha1);
    if (f.open(QIODevice::ReadOnly))
        h.addData(&f);
    return QStringLiteral("file %1 %2").arg(st.st_size).arg(QString::fromLatin1(h.result().toHex()));
}

class TestHostileFiles : public WindowTest {
    Q_OBJECT
    QString ini() const { return fakes->folder.filePath(QStringLiteral("chiplark.ini")); }
    QString blinds() const { return fakes->folder.filePath(QStringLiteral("Saved Blinds")); }
    void start() { frm = new frm_Chiplark(fakes->services()); }

private slots:
    // Each test makes its files first, then starts the window on them.
    void init() override
    {
        fakes = new fake::Platform;
        QDir(fakes->folder.path()).mkdir(QStringLiteral("Saved Blinds"));
    }

    void unusualFiles_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *k : kinds)
            QTest::newRow(k) << QString::fromLatin1(k);
    }

    // As the settings file: defaults at once, the thing left as it was. As a structure: listed only
    // when a regular file (or a link to one); read by name anyway, nothing at once.
    void unusualFiles()
    {
        QFETCH(QString, kind);
        make(kind, ini());
        make(kind, blinds() + "/" + kind + ".bld");
        writeFile(blinds() + "/good.bld", "10,20,600\r\n");
        QVERIFY(QFile::link(blinds() + "/good.bld", blinds() + "/linked.bld"));
        const QString before = fingerprint(ini());
        QElapsedTimer t;
        t.start();
        start();
        QVERIFY2(t.elapsed() < 2000, qPrintable(QStringLiteral("start took %1 ms").arg(t.elapsed())));
        QCOMPARE(frm->txt_Title->text(), QStringLiteral("My Chiplark! Hold'em tournament - 1500 chips - $25 buy in"));
        QStringList listed;
        for (int i = 0; i < frm->cmb_BlindLoad->count(); ++i)
            listed << frm->cmb_BlindLoad->itemText(i);
        QCOMPARE(listed, kind == "huge" ? (QStringList{"good", "huge", "linked"}) : (QStringList{"good", "linked"}));
        t.restart();
        QCOMPARE(readStructureFile(blinds() + "/" + kind + ".bld").isEmpty(), kind != "huge");
        QVERIFY(t.elapsed() < 1000);
        load("linked");
        QCOMPARE(frm->lst_Small.items(), QStringList{"10"});

        frm->txt_Title->setText(QStringLiteral("Changed"));
        frm->Form_Unload();
        QCOMPARE(fingerprint(ini()), before);
    }

    // Of a 10 MB line and of 20 MB of rows at most 8 MB are read; a line cut at the bound is no row.
    void bigStructureIsBounded()
    {
        writeFile(blinds() + "/line.bld", "1,2," + QByteArray(10 * 1024 * 1024, '7') + "\r\n");
        writeFile(blinds() + "/rows.bld", QByteArray("100,200,600\r\n").repeated(20 * 1024 * 1024 / 13 + 1));
        QVERIFY(readStructureFile(blinds() + "/line.bld").isEmpty());
        const QByteArray rows = readStructureFile(blinds() + "/rows.bld");
        QVERIFY(rows.size() <= MaxStructureBytes);
        QVERIFY(rows.endsWith("\r\n"));
        start();
        load("rows");
        QCOMPARE(frm->lst_Small.listCount(), 32767);
        load("line");
        QCOMPARE(frm->lst_Small.listCount(), 0);
    }

    void nulEndsAValue()
    {
        writeFile(ini(), QByteArray("[Config]\r\nTitle=Friday", 22) + '\0' + "night\r\nCurrency=\xA3\r\n");
        start();
        QCOMPARE(frm->txt_Title->text(), QStringLiteral("Friday"));
        QCOMPARE(frm->txt_currency->text(), QStringLiteral("\u00A3"));
    }

    // Any name whose NAME.bld fits the file system's 255 bytes saves.
    void longNamesSave()
    {
        start();
        drive::setSchedule(*frm, {"5/10/600"});
        QStringList names;
        for (int n = 243; n <= 251; ++n)
            names << QString(n, QLatin1Char('a' + (n - 243)));
        names << QString(83, QChar(0x20AC)); // 249 bytes in UTF-8
        for (const QString &name : names) {
            const QString bytes = QString::number(name.toUtf8().size()) + " bytes: ";
            fakes->inputBox.answers = {name};
            frm->cmd_BlindSave_Click();
            QVERIFY2(fakes->messageBox.calls.empty(), qPrintable(bytes + "a message"));
            QVERIFY2(platform::isRegularFile(structurePath(fakes->folder.path(), name)),
                     qPrintable(bytes + "not saved"));
        }
        QCOMPARE(frm->cmb_BlindLoad->count(), int(names.size()));
    }

    // Pasted, so the keystroke filter never saw it: refused by "Show me" and Start, the schedule kept.
    void negativeNumbersRefused()
    {
        start();
        frm->opt_Blinds[1]->setChecked(true);
        frm->Command1_Click();
        const QStringList small = frm->lst_Small.items();
        QVERIFY(!small.isEmpty());
        const std::pair<QLineEdit *, const char *> cases[] = {
            {frm->txt_Small, "\"Small Blind\" must hold a whole number from 0 to 2147483647."},
            {frm->txt_Big, "\"Big Blind\" must hold a whole number from 0 to 2147483647."},
            {frm->txt_AutoTime, "\"mins per round\" must hold a whole number from 0 to 35791394."},
            {frm->txt_AutoRounds, "\"rounds\" must hold a whole number from 0 to 32767."},
            {frm->txt_blindFactor, "\"Increase by a factor of\" must hold a whole number from 0 to 2147483647."},
        };
        for (const auto &[box, message] : cases) {
            const QString was = box->text();
            box->setText(QStringLiteral("-5"));
            using Press = void (frm_Chiplark::*)();
            const Press presses[] = {&frm_Chiplark::Command1_Click, &frm_Chiplark::cmd_Start_Click};
            for (const Press press : presses) {
                fakes->messageBox.calls.clear();
                std::invoke(press, *frm);
                QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
                QCOMPARE(fakes->messageBox.calls[0].text, "The box " + QString::fromLatin1(message));
                QCOMPARE(frm->lst_Small.items(), small);
                QVERIFY(!frm->tmr_rounds->isActive());
            }
            box->setText(was);
        }
    }

    // A real saving process killed with SIGKILL leaves the old file or the new one whole (a first save: none).
    void killedSaves()
    {
        const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/save_probe");
        QVERIFY(QFileInfo(probe).isExecutable());
        QRandomGenerator random(20261206);
        int firstSaves = 0, whole = 0, none = 0;
        for (int round = 0; round < 120; ++round) {
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("chiplark.ini"));
            // Every fourth round starts with no file: the kill may hit the very first save.
            const bool first = round % 4 == 0;
            QProcess p;
            if (!first) {
                // A complete earlier file: the probe's own first save, left to finish.
                p.start(probe, {dir.path()});
                QVERIFY(p.waitForReadyRead(10000));
                QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > 0, 10000);
                p.kill();
                p.waitForFinished();
            }
            p.start(probe, {dir.path()});
            QVERIFY(p.waitForReadyRead(10000));
            QThread::usleep(random.bounded(first ? 3000 : 30000));
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();

            if (!QFileInfo::exists(file)) {
                QVERIFY2(first, "a later save lost the file");
                ++none;
                continue;
            }
            firstSaves += first;
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromLatin1(f.readAll());
            const bool a = text.contains("Title=Set A");
            QVERIFY2(a != text.contains("Title=Set B"), qPrintable(text));
            const QString set = a ? "A" : "B";
            // Every key of the save is there, from the same save.
            QCOMPARE(text.count(QRegularExpression("=1[AB]\\r\\n")), 14);
            QCOMPARE(text.count(QRegularExpression("=1" + set + "\\r\\n")), 14);
            QCOMPARE(text.count(QRegularExpression("=phrase " + set + "\\r\\n")), 3);
            QCOMPARE(text.count(QRegularExpression("^[A-Za-z]+=", QRegularExpression::MultilineOption)), 32);
            ++whole;
        }
        qInfo("120 kills: %d files whole (%d of them first saves), %d first saves left no file", whole, firstSaves,
              none);
    }

    void staleTemporariesGo()
    {
        for (const QString &folder : {fakes->folder.path(), blinds()})
            writeFile(folder + "/.chiplark-Ab12Cd.tmp", "[Config]\r\nTitle=half");
        writeFile(fakes->folder.filePath(".chiplark-notours"), {});
        start();
        QVERIFY(!QFile::exists(fakes->folder.filePath(".chiplark-Ab12Cd.tmp")));
        QVERIFY(!QFile::exists(blinds() + "/.chiplark-Ab12Cd.tmp"));
        QVERIFY(QFile::exists(fakes->folder.filePath(".chiplark-notours")));
    }
};

QTEST_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
