// The settings file, read and written as it always was: keys found whatever their case and
// spacing, every other line kept, Windows-1252 unless a symbol needs UTF-8, never half-written.
#include "platform/ProfileFile.h"
#include "platform/TextFile.h"
#include "platform/modRegistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

class TestProfile : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir; // each test's own
    QString path;

    void writeBytes(const QByteArray &b)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    QByteArray readBytes()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        dir.emplace();
        path = dir->filePath(QStringLiteral("chiplark.ini"));
    }

    void reading()
    {
        writeBytes("orphan=before any section\r\n"
                   "[Config]\r\n"
                   "; a comment=not a key\r\n"
                   "  TITLE  =   \"Friday game\"  \r\n"
                   "Currency='$'\r\n"
                   "junk line without equals\r\n"
                   "Empty=\r\n"
                   "Quote=\"unbalanced\r\n"
                   "title=second one loses\r\n"
                   "[config]\r\n"
                   "Extra=in the duplicate section\r\n"
                   "[Blinds]\n"
                   "AutoSmall = 25\n"
                   "Long="
                   + QByteArray(300, 'x')
                   + "\n"
                     "[Last]\r\n"
                     "NoLineEnd=yes");
        QCOMPARE(GetIniVal(path, "config", "Title"), QStringLiteral("Friday game"));
        QCOMPARE(GetIniVal(path, "Config", "currency"), QStringLiteral("$"));
        QCOMPARE(GetIniVal(path, "Config", "Quote"), QStringLiteral("\"unbalanced"));
        for (const char *key : {"Empty", "Extra", "junk line without equals", "; a comment"}) // the first section wins
            QVERIFY2(GetIniVal(path, "Config", key).isEmpty(), key);
        QCOMPARE(GetIniVal(path, "Blinds", "AutoSmall"), QStringLiteral("25"));
        QCOMPARE(GetIniVal(path, "Blinds", "Long"), QString(254, 'x')); // read back cut to 254
        QCOMPARE(GetIniVal(path, "Last", "NoLineEnd"), QStringLiteral("yes"));
        QCOMPARE(GetIniVal(path, "Missing", "Title"), QString());
        QCOMPARE(GetIniVal(dir->filePath("none.ini"), "Config", "Title"), QString());
    }

    void writingKeepsOtherLines()
    {
        // A missing file is created, sections and keys in the order of their first writing.
        modRegistry::WriteIniVal(path, "1", "Speech", "A");
        modRegistry::WriteIniVal(path, "2", "Blinds", "B");
        modRegistry::WriteIniVal(path, "3", "Speech", "C");
        QCOMPARE(readBytes(), QByteArray("[Speech]\r\nA=1\r\nC=3\r\n[Blinds]\r\nB=2\r\n"));

        const QByteArray hand = "; kept\n"
                                "[Speech]\n"
                                "a = old   \n"
                                "odd line\n"
                                "\n"
                                "[Other]\r\n"
                                "Mine=  \"quoted\" \r\n"
                                "[Blinds]\r\n"
                                "B=2";
        writeBytes(hand);
        modRegistry::WriteIniVal(path, "new", "SPEECH", "A"); // replaced in place
        modRegistry::WriteIniVal(path, "4", "Speech", "D");   // after the last filled line
        modRegistry::WriteIniVal(path, "5", "Blinds", "E");   // the last line gets its end
        modRegistry::WriteIniVal(path, "", "Ante", "F");      // a new section at the end
        QCOMPARE(readBytes(), QByteArray("; kept\n"
                                         "[Speech]\n"
                                         "A=new\n"
                                         "odd line\n"
                                         "D=4\r\n"
                                         "\n"
                                         "[Other]\r\n"
                                         "Mine=  \"quoted\" \r\n"
                                         "[Blinds]\r\n"
                                         "B=2\r\n"
                                         "E=5\r\n"
                                         "[Ante]\r\n"
                                         "F=\r\n"));
        QCOMPARE(GetIniVal(path, "Other", "Mine"), QStringLiteral("quoted"));
        QCOMPARE(GetIniVal(path, "Ante", "F"), QString());
    }

    void characterSets()
    {
        const QString ante = QStringLiteral("The Ant\u00E9 is");
        const QString pound(QChar(0x00A3)), euro(QChar(0x20AC)), rupee(QChar(0x20B9));

        modRegistry::WriteIniVal(path, ante, "Speech", "Ante");
        modRegistry::WriteIniVal(path, pound + euro, "Config", "Currency");
        // Windows-1252 on the disk, so the older files and this one read alike.
        QCOMPARE(readBytes(), QByteArray("[Speech]\r\nAnte=The Ant\xE9 is\r\n[Config]\r\nCurrency=\xA3\x80\r\n"));
        QCOMPARE(GetIniVal(path, "Speech", "Ante"), ante);
        QCOMPARE(GetIniVal(path, "Config", "Currency"), pound + euro);

        // A symbol Windows-1252 cannot hold turns the whole file into UTF-8; nothing is lost.
        modRegistry::WriteIniVal(path, rupee, "Config", "Currency");
        QCOMPARE(readBytes(),
                 QStringLiteral("[Speech]\r\nAnte=%1\r\n[Config]\r\nCurrency=%2\r\n").arg(ante, rupee).toUtf8());
        QCOMPARE(GetIniVal(path, "Config", "Currency"), rupee);
        QCOMPARE(GetIniVal(path, "Speech", "Ante"), ante);
        // ... and stays UTF-8 when written again.
        modRegistry::WriteIniVal(path, pound, "Config", "Currency");
        QCOMPARE(readBytes(),
                 QStringLiteral("[Speech]\r\nAnte=%1\r\n[Config]\r\nCurrency=%2\r\n").arg(ante, pound).toUtf8());

        // Bytes that are not valid UTF-8 are Windows-1252, every one of them.
        QByteArray all;
        for (int b = 0x20; b < 0x100; ++b)
            all.append(char(b));
        QCOMPARE(platform::toWindows1252(platform::fromWindows1252(all)), all);
        QVERIFY(!platform::decodeText(all).utf8);
    }

    void interruptedWriteKeepsOldFile()
    {
        writeBytes("[Config]\r\nTitle=old\r\n");
        struct Killed {};
        QVERIFY_THROWS_EXCEPTION(
            Killed, platform::writeFileAtomically(path, "[Config]\r\nTitle=new\r\n", [] { throw Killed(); }));
        QCOMPARE(readBytes(), QByteArray("[Config]\r\nTitle=old\r\n"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"chiplark.ini"});

        // A folder that cannot be written: the old file stays, nothing is half-written.
        QVERIFY(!platform::writeFileAtomically(dir->filePath("missing/chiplark.ini"), "x"));
        QVERIFY(platform::writeFileAtomically(path, "[Config]\r\nTitle=new\r\n"));
        QCOMPARE(GetIniVal(path, "Config", "Title"), QStringLiteral("new"));
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "test_profile.moc"
