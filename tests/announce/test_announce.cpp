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
    const QList<QPair<QString, QString>> languages = {{"Afrikaans", "af"},
                                                      {"Bishnupriya Manipuri", "bpy"},
                                                      {"English (Caribbean)", "en-029"},
                                                      {"English (Great Britain)", "en-GB"},
                                                      {"English (Scotland)", "en-GB-SCOTLAND"},
                                                      {"English (Received Pronunciation)", "en-GB-X-RP"},
                                                      {"English (America)", "en-US"},
                                                      {"English (America, New York City)", "en-US-NYC"},
                                                      {"German", "de"},
                                                      {"Zulu", "zu"}};
    QList<EngineVoice> all;
    for (const auto &[name, code] : languages) {
        all << EngineVoice{name, QLocale(code)};
        for (const char *variant : {"Adam", "grandma", "Mr serious", "klatt"})
            all << EngineVoice{name + "+" + variant, QLocale(code)};
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
        // The start's text with the default phrases: TestGame::tenLevelGame.
        Phrases p = defaultPhrases();
        QCOMPARE(levelAnnouncement(p, "100", "200", "", 0), QStringLiteral("Blinds are now 100 and 200"));
        QCOMPARE(levelAnnouncement(p, "100", "200", "\u00A3", 25),
                 QStringLiteral("Blinds are now 100\u00A3 and 200\u00A3.\r\nThe Ant\u00E9 is 25\u00A3"));
        p.BlindsAreNow = "Now";
        p.And = "plus";
        p.Ante = "";
        QCOMPARE(levelAnnouncement(p, "1", "2", "$", 3), QStringLiteral("Now 1$ plus 2$.\r\n 3$"));
    }

    void voicesListedOnEveryTick()
    {
        fakes->speech.voices = {"Alice", "Bob"};
        frm->Check1->setValue(1);
        QVERIFY(frm->cmb_voices->isEnabled() && frm->cmd_Voice->isEnabled());
        // The open list shows whole names, with room for its scroll bar.
        QVERIFY(frm->cmb_voices->view()->minimumWidth()
                > frm->cmb_voices->fontMetrics().horizontalAdvance("Alice")
                      + frm->cmb_voices->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        QCOMPARE(frm->cmb_voices->count(), 2);
        QCOMPARE(frm->cmb_voices->currentIndex(), 1);
        frm->Check1->setValue(0);
        QVERIFY(!frm->cmb_voices->isEnabled() && !frm->cmd_Voice->isEnabled());
        frm->Check1->setValue(1);
        QCOMPARE(frm->cmb_voices->count(), 4); // appended again, the selection among the first names
        QCOMPARE(frm->cmb_voices->currentIndex(), 1);
        QCOMPARE(frm->cmb_voices->itemText(3), QStringLiteral("Bob"));

        // The start takes the voice at the selected position; one beyond the engine's list
        // leaves the engine's own.
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
        QTest::addColumn<QString>("afterEnglish");
        QTest::newRow("C.UTF-8") << QLocale("C") << QString("English (Great Britain)") << QString("Afrikaans");
        QTest::newRow("en_US") << QLocale("en_US") << QString("English (America)") << QString("Afrikaans");
        QTest::newRow("en_GB") << QLocale("en_GB") << QString("English (Great Britain)") << QString("Afrikaans");
        QTest::newRow("de_DE") << QLocale("de_DE") << QString("English (Great Britain)") << QString("German");
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
        QCOMPARE(names.size(), 10); // no variants
        QCOMPARE(names.mid(0, 6),
                 QStringList({"English (America)", "English (America, New York City)", "English (Caribbean)",
                              "English (Great Britain)", "English (Received Pronunciation)", "English (Scotland)"}));
        QCOMPARE(names[6], afterEnglish);
        QCOMPARE(names.last(), QStringLiteral("Zulu"));
        QVERIFY(c.defaultVoice >= 0);
        QCOMPARE(names[c.defaultVoice], defaultVoice);
        // The same voices in another order give the same list.
        QList<EngineVoice> reversed = speechServerVoices();
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(catalogueVoices(reversed, system).voices.size(), c.voices.size());
        QCOMPARE(catalogueVoices(reversed, system).voices[c.defaultVoice].name, defaultVoice);

        // An engine without English voices: no default of ours, the engine's own stays.
        const VoiceCatalogue german = catalogueVoices({{"German", QLocale("de")}, {"Zulu", QLocale("zu")}}, system);
        QCOMPARE(german.defaultVoice, -1);
        QCOMPARE(german.voices.size(), 2);
    }

    // A tick while the engine is still starting leaves the window free: the busy cursor shows
    // and the list fills the moment the engine is ready, once per tick; with no engine the
    // message comes once.
    void engineStillStarting()
    {
        fakes->speech.starting = true;
        fakes->speech.voices = {"Alice", "Bob"};
        frm->Check1->setValue(1);
        QVERIFY(frm->cmb_voices->isEnabled() && frm->cmd_Voice->isEnabled());
        QCOMPARE(frm->cmb_voices->count(), 0);
        QCOMPARE(fakes->cursor.busyCount, 1);
        QVERIFY(fakes->speech.operations.isEmpty());
        frm->Check1->setValue(0);
        frm->Check1->setValue(1);
        fakes->speech.finishStarting();
        QCOMPARE(fakes->cursor.busyCount, 0);
        QCOMPARE(frm->cmb_voices->count(), 4); // two ticks, two listings
        QCOMPARE(frm->cmb_voices->currentIndex(), 1);
        // The engine's calls in their order: create, the default voice's name, then the list.
        QCOMPARE(fakes->speech.operations.mid(0, 5),
                 QStringList({"create", "currentVoiceName", "voiceCount", "voiceName 0", "voiceName 1"}));

        // Cleared before the engine is ready: nothing is listed into the disabled box.
        restart();
        fakes->speech.starting = true;
        frm->Check1->setValue(1);
        frm->Check1->setValue(0);
        fakes->speech.finishStarting();
        QCOMPARE(frm->cmb_voices->count(), 0);
        QCOMPARE(fakes->cursor.busyCount, 0);

        // No engine after all: one message for any number of ticks, and the box cleared.
        restart();
        fakes->speech.starting = true;
        fakes->speech.available = false;
        frm->Check1->setValue(1);
        frm->Check1->setValue(0);
        frm->Check1->setValue(1);
        fakes->speech.finishStarting();
        QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
        QCOMPARE(frm->Check1->value(), 0);
        QVERIFY(!frm->cmb_voices->isEnabled());
    }

    void engineFailure()
    {
        fakes->speech.available = false;
        frm->Check1->setValue(1);
        QCOMPARE(fakes->messageBox.calls.size(), size_t(1));
        const fake::MessageCall &m = fakes->messageBox.calls[0];
        QVERIFY(m.text.startsWith("There was a problem opening the speech API. You need to have SAPI5 installed for "
                                  "this function to work.\r\nVisit "));
        QVERIFY(m.text.endsWith(" and download the full redistributable - approx. 132mb"));
        QVERIFY(m.text.contains("manual.html#speech"));
        QCOMPARE(m.title, QStringLiteral("Error:"));
        QCOMPARE(m.icon, platform::Icon::Information);
        QCOMPARE(frm->Check1->value(), 0);
        QVERIFY(!frm->cmb_voices->isEnabled() && !frm->cmd_Voice->isEnabled());

        // An engine without a voice is no engine either.
        fakes->speech.available = true;
        fakes->speech.voices.clear();
        frm->Check1->setValue(1);
        QCOMPARE(fakes->messageBox.calls.size(), size_t(2));
        QCOMPARE(frm->Check1->value(), 0);
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
