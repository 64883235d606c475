#include "announce/Announcements.h"
#include "announce/SpeechQueue.h"
#include "announce/VoiceCatalogue.h"
#include "announce/WavInfo.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QDataStream>
#include <QtTest>

// A speech server lists every language voice with dozens of variants, and maps languages
// it cannot name to no locale at all; the list offers each language voice once.
static QList<EngineVoice> speechServerVoices()
{
    QList<EngineVoice> all;
    for (const QString &language : QStringLiteral("af Afrikaans|bpy Bishnupriya Manipuri|en-029 English (Caribbean)|"
                                                  "en-GB English (Great Britain)|en-GB-SCOTLAND English (Scotland)|"
                                                  "en-GB-X-RP English (Received Pronunciation)|en-US English (America)|"
                                                  "en-US-NYC English (America, New York City)|de German|zu Zulu")
                                       .split('|')) {
        const QString name = language.section(' ', 1);
        const QLocale locale(language.section(' ', 0, 0));
        all << EngineVoice{name, locale};
        for (const char *variant : {"Adam", "grandma", "Mr serious", "klatt"})
            all << EngineVoice{name + "+" + variant, locale};
    }
    return all;
}

// The header of a WAVE file, with an odd-sized chunk (padded) before the data.
static QByteArray wavHeader(quint16 format, quint16 channels, quint32 rate, quint16 bits, quint32 dataBytes)
{
    QByteArray h;
    QDataStream out(&h, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF\0\0\0\0WAVEfmt ", 16);
    out << quint32(16) << format << channels << rate << quint32(rate * channels * bits / 8)
        << quint16(channels * bits / 8) << bits;
    out.writeRawData("LIST", 4);
    out << quint32(3);
    out.writeRawData("abc\0data", 8);
    out << dataBytes;
    return h;
}

class TestAnnounce : public WindowTest {
    Q_OBJECT
private slots:
    void texts()
    {
        // The default phrases with an ante and a currency: TestGame::aGameThroughTheWindows.
        Phrases p = defaultPhrases();
        QCOMPARE(levelAnnouncement(p, "100", "200", "", 0), QStringLiteral("Blinds are now 100 and 200"));
        p.BlindsAreNow = "Now";
        p.And = "plus";
        p.Ante = "";
        QCOMPARE(levelAnnouncement(p, "1", "2", "$", 3), QStringLiteral("Now 1$ plus 2$.\r\n 3$"));
    }

    // Ticking the speech box, the engine ready or still starting (it finishes after the ticks):
    // the voices listed once per tick, the selection on the engine's default; no engine, or one
    // without a voice, told once for any number of ticks and the box unticked. A tick while the
    // engine is starting leaves the window free, with the busy cursor shown.
    void ticks_data()
    {
        QTest::addColumn<bool>("starting");
        QTest::addColumn<bool>("available");
        QTest::addColumn<QStringList>("voices");
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<int>("listed"); // the last "Bob"
        QTest::addColumn<int>("messages");
        const QStringList two{"Alice", "Bob"};
        QTest::newRow("ready, listed on every tick") << false << true << two << "101" << 4 << 0;
        QTest::newRow("ready, unticked") << false << true << two << "10" << 2 << 0;
        QTest::newRow("starting, listed on every tick") << true << true << two << "101" << 4 << 0;
        QTest::newRow("starting, unticked before ready") << true << true << two << "10" << 0 << 0;
        QTest::newRow("no engine") << false << false << two << "1" << 0 << 1;
        QTest::newRow("no engine once started") << true << false << two << "101" << 0 << 1;
        QTest::newRow("an engine without a voice") << false << true << QStringList() << "1" << 0 << 1;
    }

    void ticks()
    {
        QFETCH(bool, starting);
        QFETCH(QString, ticks);
        QFETCH(int, listed);
        QFETCH(int, messages);
        fakes->speech.starting = starting;
        QFETCH(bool, available);
        fakes->speech.available = available;
        QFETCH(QStringList, voices);
        fakes->speech.voices = voices;
        for (int i = 0; i < ticks.size(); ++i) {
            frm->Check1->setValue(ticks[i] == '1' ? 1 : 0);
            if (starting && i == 0) {
                QVERIFY(frm->cmb_voices->isEnabled() && frm->cmd_Voice->isEnabled());
                QVERIFY(frm->cmb_voices->count() == 0 && fakes->speech.operations.isEmpty());
                QCOMPARE(fakes->cursor.busyCount, 1);
            }
        }
        if (starting)
            fakes->speech.finishStarting();
        QCOMPARE(fakes->cursor.busyCount, 0);
        QCOMPARE(frm->cmb_voices->count(), listed);
        QCOMPARE(frm->cmb_voices->currentIndex(), listed ? 1 : -1);
        QCOMPARE(frm->cmb_voices->itemText(listed - 1), QString(listed ? "Bob" : ""));
        // The engine's calls in their order: create, the default voice's name, then the list.
        if (listed)
            QCOMPARE(fakes->speech.operations.mid(0, 5),
                     QStringList({"create", "currentVoiceName", "voiceCount", "voiceName 0", "voiceName 1"}));
        QCOMPARE(fakes->messageBox.calls.size(), size_t(messages));
        for (const fake::MessageCall &m : fakes->messageBox.calls) {
            QVERIFY2(QRegularExpression("^There was a problem opening the speech API. You need to have SAPI5 installed "
                                        "for this function to work.\r\nVisit \\S*manual.html#speech and download "
                                        "the full redistributable - approx. 132mb$")
                         .match(m.text)
                         .hasMatch(),
                     qPrintable(m.text));
            QVERIFY(m.title == "Error:" && m.icon == platform::Icon::Information);
        }
        const bool on = ticks.endsWith('1') && !messages;
        QCOMPARE(frm->Check1->value(), on ? 1 : 0);
        QCOMPARE(frm->cmb_voices->isEnabled(), on);
        QCOMPARE(frm->cmd_Voice->isEnabled(), on);
    }

    // The open list shows whole names, with room for its scroll bar. The start takes the voice at
    // the selected position; one beyond the engine's list leaves the engine's own.
    void voiceAtTheStart()
    {
        fakes->speech.voices = {"Alice", "Bob"};
        frm->Check1->setValue(1);
        QVERIFY(frm->cmb_voices->view()->minimumWidth()
                > frm->cmb_voices->fontMetrics().horizontalAdvance("Alice")
                      + frm->cmb_voices->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        frm->Check1->setValue(0);
        frm->Check1->setValue(1);
        drive::setSchedule(*frm, {"1/2/60"});
        frm->cmb_voices->setCurrentIndex(0);
        frm->cmd_Start_Click();
        QCOMPARE(fakes->speech.current, 0);
        frm->cmb_voices->setCurrentIndex(3);
        frm->cmd_Start_Click();
        QCOMPARE(fakes->speech.current, 0);
        QVERIFY(!fakes->speech.operations.contains("selectVoice 3"));
        QCOMPARE(fakes->speech.spoken.size(), 2);
    }

    void voicesOfASpeechServer_data()
    {
        QTest::addColumn<QLocale>("system");
        QTest::addColumn<QString>("defaultVoice");
        QTest::addColumn<QString>("afterEnglish"); // the system's language first, then by name
        const QString uk = "English (Great Britain)", others = "Afrikaans,Bishnupriya Manipuri,German,Zulu";
        QTest::newRow("C.UTF-8") << QLocale("C") << uk << others;
        QTest::newRow("en_US") << QLocale("en_US") << QString("English (America)") << others;
        QTest::newRow("en_GB") << QLocale("en_GB") << uk << others;
        QTest::newRow("en_AU, no voice of its own") << QLocale("en_AU") << uk << others;
        QTest::newRow("de_DE") << QLocale("de_DE") << uk << QString("German,Afrikaans,Bishnupriya Manipuri,Zulu");
    }

    void voicesOfASpeechServer()
    {
        QFETCH(QLocale, system);
        QFETCH(QString, defaultVoice);
        QFETCH(QString, afterEnglish);
        const VoiceCatalogue c = catalogueVoices(speechServerVoices(), system);
        QStringList names;
        for (const EngineVoice &v : c.voices)
            names << v.name;
        QCOMPARE(names.mid(0, 6), // no variants
                 QStringList({"English (America)", "English (America, New York City)", "English (Caribbean)",
                              "English (Great Britain)", "English (Received Pronunciation)", "English (Scotland)"}));
        QCOMPARE(names.mid(6).join(','), afterEnglish);
        QCOMPARE(names.value(c.defaultVoice), defaultVoice);
        // The same voices in another order give the same list.
        QList<EngineVoice> reversed = speechServerVoices();
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(catalogueVoices(reversed, system).voices.value(c.defaultVoice).name, defaultVoice);

        // An engine without English voices: no default of ours, the engine's own stays.
        const VoiceCatalogue german = catalogueVoices({{"German", QLocale("de")}, {"Zulu", QLocale("zu")}}, system);
        QCOMPARE(german.defaultVoice, -1);
        QCOMPARE(german.voices.size(), 2);
    }

    void phraseEditor()
    {
        fakes->inputBox.answers = {"Go!", "Now", std::nullopt, "Soon", "Pause soon", "Pause", "Ante"};
        frm->cmd_Voice_Click();
        const std::vector<fake::InputCall> &calls = fakes->inputBox.calls;
        QCOMPARE(calls.size(), size_t(7));
        QCOMPARE(calls[0].title, QStringLiteral("Enter Speech:"));
        QCOMPARE(calls[0].prompt, QStringLiteral("Enter the start of game speech:"));
        QCOMPARE(calls[0].defaultText, defaultPhrases().Start);
        QCOMPARE(calls[6].prompt, QStringLiteral("Enter the speech for announcing the ante:"));
        QCOMPARE(calls[6].defaultText, QStringLiteral("The Ant\u00E9 is"));
        QCOMPARE(frm->phrases.Start, QStringLiteral("Go!"));
        QCOMPARE(frm->phrases.And, QString()); // Cancel empties it
        QCOMPARE(frm->phrases.BlindsSoon, QStringLiteral("Soon"));
        QCOMPARE(frm->phrases.Ante, QStringLiteral("Ante"));
        QVERIFY(fakes->speech.spoken.isEmpty());
    }

    // The Test button plays the cue in the background, whether or not the cue is ticked, and
    // a missing file quietly plays nothing.
    void soundTest()
    {
        QVERIFY(!frm->cmd_wavtest->isEnabled());
        frm->txt_wavpath->setText(fakes->folder.filePath("missing.wav"));
        frm->cmd_wavtest_Click();
        QVERIFY(fakes->sound.calls.empty());
        QVERIFY(fakes->messageBox.calls.empty());
        QVERIFY(QFile(fakes->folder.filePath("cue.wav")).open(QIODevice::WriteOnly));
        frm->txt_wavpath->setText(fakes->folder.filePath("cue.wav"));
        frm->cmd_wavtest_Click();
        QCOMPARE(fakes->sound.calls.size(), size_t(1));
        QCOMPARE(fakes->sound.calls[0].flags, 3);
    }

    void queueNeverCutsOff()
    {
        QStringList said;
        SpeechQueue q([&](const QString &t) { said << t; });
        q.add("First sentence.\r\nSecond sentence.");
        q.add("Blinds are now 25 and 50");
        q.add("\r\n");
        QCOMPARE(said, QStringList{"First sentence."}); // one at a time
        QCOMPARE(q.waiting(), 2);
        q.finished();
        q.finished(); // an engine error ends a sentence just the same
        QCOMPARE(said, (QStringList{"First sentence.", "Second sentence.", "Blinds are now 25 and 50"}));
        q.finished();
        QVERIFY(!q.speaking());
        q.add("Break in 1 minute.");
        QCOMPARE(said.last(), QStringLiteral("Break in 1 minute."));
    }

    void wavHeaders()
    {
        const auto info = parseWavHeader(wavHeader(1, 2, 44100, 16, 44100 * 4 * 3 / 2));
        QVERIFY(info);
        QCOMPARE(info->durationMs(), 1500);
        QVERIFY(!parseWavHeader(wavHeader(85, 2, 44100, 16, 1000))); // compressed: not played
        QVERIFY(!parseWavHeader("RIFF1234WAVE"));
        QVERIFY(!parseWavHeader("ID3 an mp3 file"));
        QVERIFY(!parseWavHeader(QByteArray()));
        QVERIFY(!readWavInfo(fakes->folder.filePath("none.wav")));
    }
};

QTEST_MAIN(TestAnnounce)
#include "test_announce.moc"
