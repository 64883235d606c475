// Files as a hostile folder holds them, real ones on disk: FIFOs, links to devices,
// folders, huge files, long names, values with NUL bytes, pasted negative numbers, and a
// save killed at random moments. Nothing hangs, nothing crashes, nothing unreadable is
// ever overwritten, a save leaves the old file or the new one.

#include "blinds/SavedStructures.h"
#include "platform/RegularFile.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/WindowTest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

class TestHostileFiles : public WindowTest {
    Q_OBJECT
private slots:
    void init() override;
    void specialSettingsFiles_data();
    void specialSettingsFiles();
    void specialStructureFiles();
    void bigStructureIsBounded();
    void nulEndsAValue();
    void longNamesSave();
    void negativeNumbersRefused();
    void killedSaves();
    void staleTemporariesGo();

private:
    QString ini() const { return fakes->folder.filePath(QStringLiteral("chiplark.ini")); }
    QString blinds() const { return fakes->folder.filePath(QStringLiteral("Saved Blinds")); }
    // What stands at a path, without following a link: kind, size and content hash.
    static QString fingerprint(const QString &path)
    {
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            return QStringLiteral("nothing");
        QString kind = S_ISREG(st.st_mode)    ? QStringLiteral("file")
                       : S_ISDIR(st.st_mode)  ? QStringLiteral("folder")
                       : S_ISFIFO(st.st_mode) ? QStringLiteral("fifo")
                       : S_ISLNK(st.st_mode)  ? QStringLiteral("link to ") + QFile::symLinkTarget(path)
                                              : QStringLiteral("other");
        if (S_ISREG(st.st_mode)) {
            QFile f(path);
            QCryptographicHash h(QCryptographicHash::Sha1);
            if (f.open(QIODevice::ReadOnly))
                h.addData(&f);
            kind += QStringLiteral(" %1 %2").arg(st.st_size).arg(QString::fromLatin1(h.result().toHex()));
        }
        return kind;
    }
    // Makes one kind of hostile thing at a path.
    static void make(const QString &kind, const QString &path)
    {
        const QByteArray p = QFile::encodeName(path);
        if (kind == "fifo")
            QVERIFY(::mkfifo(p.constData(), 0644) == 0);
        else if (kind == "zero")
            QVERIFY(::symlink("/dev/zero", p.constData()) == 0);
        else if (kind == "dangling")
            QVERIFY(::symlink("/nonexistent/chiplark", p.constData()) == 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "huge") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QByteArray line("[Config]\r\nTitle=From a huge file\r\n");
            f.write(line);
            QVERIFY(f.resize(50LL * 1024 * 1024)); // 50 MB
        }
    }
};

void TestHostileFiles::init()
{
    fakes = new fake::Platform;
    QDir(fakes->folder.path()).mkdir(QStringLiteral("Saved Blinds"));
    frm = nullptr;
}

void TestHostileFiles::specialSettingsFiles_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *k : {"fifo", "zero", "dangling", "folder", "huge"})
        QTest::newRow(k) << QString::fromLatin1(k);
}

// The window starts with its defaults at once and leaves the thing exactly as it was.
void TestHostileFiles::specialSettingsFiles()
{
    QFETCH(QString, kind);
    make(kind, ini());
    const QString before = fingerprint(ini());
    QElapsedTimer t;
    t.start();
    frm = new frm_Chiplark(fakes->services());
    QVERIFY2(t.elapsed() < 2000, qPrintable(QStringLiteral("start took %1 ms").arg(t.elapsed())));
    QCOMPARE(frm->txt_Title->text(), QStringLiteral("My Chiplark! Hold'em tournament - 1500 chips - $25 buy in"));
    frm->txt_Title->setText(QStringLiteral("Changed"));
    frm->Form_Unload();
    QCOMPARE(fingerprint(ini()), before);
}

void TestHostileFiles::specialStructureFiles()
{
    for (const char *k : {"fifo", "zero", "dangling", "folder", "huge"})
        make(QString::fromLatin1(k), blinds() + "/" + k + ".bld");
    QFile good(blinds() + "/good.bld");
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write("10,20,600\r\n");
    good.close();
    QVERIFY(QFile::link(blinds() + "/good.bld", blinds() + "/linked.bld")); // a link to a file is fine

    frm = new frm_Chiplark(fakes->services());
    QStringList listed;
    for (int i = 0; i < frm->cmb_BlindLoad->count(); ++i)
        listed << frm->cmb_BlindLoad->itemText(i);
    QCOMPARE(listed, (QStringList{"good", "huge", "linked"}));

    // Asked for by name anyway (a file changed behind the program's back): nothing, at once.
    for (const char *k : {"fifo", "zero", "dangling", "folder"}) {
        QElapsedTimer t;
        t.start();
        QVERIFY(readStructureFile(blinds() + "/" + k + ".bld").isEmpty());
        QVERIFY(t.elapsed() < 1000);
    }
    frm->cmb_BlindLoad->setCurrentIndex(frm->cmb_BlindLoad->findText("linked"));
    frm->cmb_BlindLoad_LostFocus();
    QCOMPARE(frm->lst_Small.items(), QStringList{"10"});
}

// A structure of one 10 MB line, and one of 20 MB of rows: at most 8 MB are read, and a
// line cut at the bound is no row.
void TestHostileFiles::bigStructureIsBounded()
{
    {
        QFile f(blinds() + "/line.bld");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1,2,");
        f.write(QByteArray(10 * 1024 * 1024, '7'));
        f.write("\r\n");
    }
    QByteArray row("100,200,600\r\n");
    {
        QFile f(blinds() + "/rows.bld");
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray chunk;
        for (int i = 0; i < 4096; ++i)
            chunk += row;
        while (f.size() < 20 * 1024 * 1024)
            f.write(chunk);
    }
    QVERIFY(readStructureFile(blinds() + "/line.bld").isEmpty());
    const QByteArray rows = readStructureFile(blinds() + "/rows.bld");
    QVERIFY(rows.size() <= MaxStructureBytes);
    QVERIFY(rows.endsWith("\r\n"));
    frm = new frm_Chiplark(fakes->services());
    frm->cmb_BlindLoad->setCurrentIndex(frm->cmb_BlindLoad->findText("rows"));
    frm->cmb_BlindLoad_LostFocus();
    QCOMPARE(frm->lst_Small.listCount(), 32767);
    frm->cmb_BlindLoad->setCurrentIndex(frm->cmb_BlindLoad->findText("line"));
    frm->cmb_BlindLoad_LostFocus();
    QCOMPARE(frm->lst_Small.listCount(), 0);
}

void TestHostileFiles::nulEndsAValue()
{
    QFile f(ini());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("[Config]\r\nTitle=Friday", 22) + QByteArray(1, '\0') + "night\r\nCurrency=\xA3\r\n");
    f.close();
    frm = new frm_Chiplark(fakes->services());
    QCOMPARE(frm->txt_Title->text(), QStringLiteral("Friday"));
    QCOMPARE(frm->txt_currency->text(), QStringLiteral("\u00A3"));
}

// Any name whose NAME.bld fits the file system's 255 bytes saves.
void TestHostileFiles::longNamesSave()
{
    frm = new frm_Chiplark(fakes->services());
    frm->lst_Small.setItems({"5"});
    frm->lst_Big.setItems({"10"});
    frm->lst_Time.setItems({"600"});
    QStringList names;
    for (int n = 243; n <= 251; ++n)
        names << QString(n, QLatin1Char('a' + (n - 243)));
    names << QString(83, QChar(0x20AC)); // 249 bytes in UTF-8
    for (const QString &name : names) {
        fakes->inputBox.answers = {name};
        const size_t shown = fakes->messageBox.calls.size();
        frm->cmd_BlindSave_Click();
        QVERIFY2(fakes->messageBox.calls.size() == shown,
                 qPrintable(QStringLiteral("%1 bytes: a message").arg(name.toUtf8().size())));
        QVERIFY2(platform::isRegularFile(structurePath(fakes->folder.path(), name)),
                 qPrintable(QStringLiteral("%1 bytes: not saved").arg(name.toUtf8().size())));
    }
    QCOMPARE(frm->cmb_BlindLoad->count(), int(names.size()));
}

void TestHostileFiles::negativeNumbersRefused()
{
    frm = new frm_Chiplark(fakes->services());
    frm->opt_Blinds[1]->setChecked(true);
    frm->Command1_Click();
    const QStringList small = frm->lst_Small.items();
    QVERIFY(!small.isEmpty());
    struct Case {
        QLineEdit *box;
        const char *message;
    };
    const Case cases[] = {
        {frm->txt_Small, "The box \"Small Blind\" must hold a whole number from 0 to 2147483647."},
        {frm->txt_Big, "The box \"Big Blind\" must hold a whole number from 0 to 2147483647."},
        {frm->txt_AutoTime, "The box \"mins per round\" must hold a whole number from 0 to 35791394."},
        {frm->txt_AutoRounds, "The box \"rounds\" must hold a whole number from 0 to 32767."},
        {frm->txt_blindFactor, "The box \"Increase by a factor of\" must hold a whole number from 0 to 2147483647."},
    };
    for (const Case &c : cases) {
        const QString was = c.box->text();
        c.box->setText(QStringLiteral("-5")); // pasted: the keystroke filter never saw it
        for (int attempt = 0; attempt < 2; ++attempt) {
            fakes->messageBox.calls.clear();
            if (attempt == 0)
                frm->Command1_Click();
            else
                frm->cmd_Start_Click();
            QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
            QCOMPARE(fakes->messageBox.calls[0].text, QString::fromLatin1(c.message));
            QCOMPARE(frm->lst_Small.items(), small); // the schedule as it was
            QVERIFY(!frm->tmr_rounds->isActive());
        }
        c.box->setText(was);
    }
}

// A save killed at any moment leaves the old file or the new one, whole; a first save
// killed leaves none. The saving process is a real one, killed with SIGKILL.
void TestHostileFiles::killedSaves()
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
        p.setProgram(probe);
        p.setArguments({dir.path()});
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        if (!first) {
            // A complete earlier file: the probe's own first save, left to finish.
            QProcess once;
            once.setProcessEnvironment(env);
            once.start(probe, {dir.path()});
            QVERIFY(once.waitForReadyRead(10000));
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > 0, 10000);
            once.kill();
            once.waitForFinished();
        }
        p.start();
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
        const bool b = text.contains("Title=Set B");
        QVERIFY2(a != b, qPrintable(text));
        const QString set = a ? "A" : "B";
        // Every key of the save is there, from the same save.
        QCOMPARE(text.count(QRegularExpression("=1[AB]\\r\\n")), 14);
        QCOMPARE(text.count(QRegularExpression("=1" + set + "\\r\\n")), 14);
        QCOMPARE(text.count(QRegularExpression("=phrase " + set + "\\r\\n")), 3);
        QCOMPARE(text.count(QRegularExpression("^[A-Za-z]+=", QRegularExpression::MultilineOption)), 32);
        ++whole;
    }
    qInfo("120 kills: %d files whole (%d of them first saves), %d first saves left no file", whole, firstSaves, none);
}

void TestHostileFiles::staleTemporariesGo()
{
    for (const QString &folder : {fakes->folder.path(), blinds()}) {
        QFile t(folder + "/.chiplark-Ab12Cd.tmp");
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("[Config]\r\nTitle=half");
    }
    QFile other(fakes->folder.filePath(".chiplark-notours"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    frm = new frm_Chiplark(fakes->services());
    QVERIFY(!QFile::exists(fakes->folder.filePath(".chiplark-Ab12Cd.tmp")));
    QVERIFY(!QFile::exists(blinds() + "/.chiplark-Ab12Cd.tmp"));
    QVERIFY(QFile::exists(fakes->folder.filePath(".chiplark-notours")));
}

QTEST_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
