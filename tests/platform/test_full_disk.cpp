// Every file the program keeps, written on a disk that is full (a small tmpfs of the test's
// own, named by CHIPLARK_FULL_DISK): the old file stays as it was, nothing half-written is
// left, and the host is told why where they look.
#include "display/frm_Display.h"
#include "page/ClockServer.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QtTest>
#include <memory>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

// Takes every free byte of the disk; gone again with the returned file.
void fill(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (f.write(block) == block.size()) {
    }
    QVERIFY(f.write("x", 1) <= 0);
}

} // namespace

class TestFullDisk : public QObject {
    Q_OBJECT
private slots:
    void writers_data()
    {
        QTest::addColumn<QString>("file"); // the file kept, beside the program; empty for new files
        QTest::newRow("the settings") << "chiplark.ini";
        QTest::newRow("a saved structure") << "Saved Blinds/Old.bld";
        QTest::newRow("the game in progress") << tournament::SavedGameFile;
        QTest::newRow("the results") << "";
        QTest::newRow("the sheet") << "";
        QTest::newRow("the page's address") << "page-address";
        QTest::newRow("the season") << "seasons/Thursday.csv";
    }

    void writers()
    {
        QFETCH(QString, file);
        QVERIFY2(!qEnvironmentVariableIsEmpty("CHIPLARK_FULL_DISK"), "no full disk to write on: run by full_disk.sh");
        const QString row = QString::fromLatin1(QTest::currentDataTag());
        const QDir folder(qEnvironmentVariable("CHIPLARK_FULL_DISK") + "/" + QString::number(qHash(row)));
        QVERIFY(folder.mkpath("."));
        fake::Platform fakes;
        fakes.files.folder = folder.path();
        const QString path = folder.filePath(file);
        const std::vector<season::Line> night{{"2026-12-10", "Friday", "Ann", 1, 1, 40, 0, 20}};
        season::Season held;
        held.name = "Thursday";
        held.addNight(night);
        const QByteArray old = row == "the season" ? held.file() : QByteArray("[Config]\r\nTitle=Kept\r\n");
        QFile first(path);
        if (!file.isEmpty() && file != tournament::SavedGameFile)
            QVERIFY(QDir().mkpath(QFileInfo(path).path()) && first.open(QIODevice::WriteOnly)
                    && first.write(file == "page-address" ? "" : old) >= 0);
        first.close();
        frm_Chiplark frm(fakes.services());
        QCoreApplication::sendPostedEvents(); // its offer of a game left running: there is none
        if (file != "chiplark.ini") {         // a structure of the automatic kind, in the list
            frm.opt_Blinds[1]->setChecked(true);
            QVERIFY(frm.buildAutoBlinds());
            frm.regenList();
        }
        page::ClockServer server;
        if (row == "the page's address") { // an address of its own first, then a new one asked
            server.setAddressFile(path);
            QString why;
            QVERIFY2(server.start(&why), qPrintable(why));
            QTRY_VERIFY(contents(path).size() > 0);
        } else if (row == "the game in progress") {
            frm.cmd_Start_Click();
            frm.keptWriter().finish();
        }
        const QByteArray before = contents(path);
        const QString full = folder.filePath("filler");
        const std::unique_ptr<const QString, void (*)(const QString *)> room(
            &full, [](const QString *p) { QFile::remove(*p); });
        fill(full);
        QString told;
        const auto messages = [&] {
            QStringList all;
            for (const fake::MessageCall &m : fakes.messageBox.calls)
                all << m.title + ": " + m.text;
            return all.join('\n');
        };
        if (row == "the settings") {
            frm.txt_Title->setText("New title, lost to the full disk");
            frm.saveSettings();
            told = messages();
        } else if (row == "a saved structure") {
            fakes.inputBox.answers = {QStringLiteral("Old")};
            fakes.messageBox.answers = {platform::Answer::Yes};
            frm.cmd_BlindSave_Click();
            told = messages();
        } else if (row == "the game in progress") {
            frm.advanceRound();
            QTRY_VERIFY((told = frm.displayWindow()->lbl_Notice->caption()).contains("is not kept"));
        } else if (row == "the results") {
            tournament::Results results;
            results.date = "2026-12-10";
            frm.runner.resultsWriter().write(results);
            QTRY_VERIFY(!(told = messages()).isEmpty());
        } else if (row == "the season") {
            std::vector<season::Line> next = night;
            next.front().title = "Saturday";
            emit frm.game.addToSeason("Thursday", next);
            QTRY_VERIFY(!(told = messages()).isEmpty());
        } else if (row == "the sheet") {
            frm.sheetWriter().write("2026-12-10", QByteArray(8192, 'x'));
            QTRY_VERIFY(!(told = messages()).isEmpty());
        } else {
            QString why;
            QVERIFY(server.renewAddress(&why));
            QTRY_VERIFY(!(told = server.addressNotKept()).isEmpty());
        }
        // The design's own words for a structure; the reason everywhere else.
        QVERIFY2(
            told.contains(row == "a saved structure" ? "Save Error:: There was an error saving" : "the disk is full"),
            qPrintable(told));
        QCOMPARE(contents(path), before);
        // Nothing half-written beside it: no temporary file, no empty results or sheet.
        const QStringList left = QDir(file.isEmpty() ? folder.path() : QFileInfo(path).absolutePath())
                                     .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &name : left)
            QVERIFY2(name == "filler" || name == QFileInfo(path).fileName() || name == "chiplark.ini",
                     qPrintable(name));
        QVERIFY(QDir(folder.filePath("results")).entryList(QDir::Files).isEmpty());
        QVERIFY(QDir(folder.filePath("sheets")).entryList(QDir::Files).isEmpty());
        // Room again: the game's file catches up by itself, and says so.
        QVERIFY(QFile::remove(full));
        if (row == "the game in progress")
            QTRY_VERIFY_WITH_TIMEOUT(frm.displayWindow()->lbl_Notice->caption().contains("is kept again"), 30000);
        if (row == "the page's address")
            QTRY_VERIFY_WITH_TIMEOUT(server.addressNotKept().isEmpty() && contents(path) != before, 30000);
        server.stop();
        frm.stopCountdowns();
    }
};

QTEST_MAIN(TestFullDisk)
#include "test_full_disk.moc"
