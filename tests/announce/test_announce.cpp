#include "announce/Announcements.h"
#include "announce/SpeechQueue.h"
#include "announce/VoiceCatalogue.h"
#include "announce/WavInfo.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/WindowTest.h"

#include <QtEndian>
#include <QtTest>

class TestAnnounce : public WindowTest {
    Q_OBJECT
private slots:
    void texts();
    void voicesListedOnEveryTick();
    void voicesOfASpeechServer_data();
    void voicesOfASpeechServer();
    void engineStillStarting();
    void engineFailure();
    void phraseEditor();
    void soundTest();
    void queueNeverCutsOff();
    void wavHeaders();

private:
};

void TestAnnounce::texts()
{
    Phrases p = defaultPhrases();
    QCOMPARE(startAnnouncement(p, "25", "50", "\u00A3"),
             QStringLiteral("The game is now started. The player who is the dealer can deal the cards.\r\n"
                            "Blinds are now 25\u00A3 and 50\u00A3"));
    QCOMPARE(levelAnnouncement(p, "100", "200", "", 0), QStringLiteral("Blinds are now 100 and 200"));
    QCOMPARE(levelAnnouncement(p, "100", "200", "\u00A3", 25),
             QStringLiteral("Blinds are now 100\u00A3 and 200\u00A3.\r\nThe Ant\u00E9 is 25\u00A3"));
    p.BlindsAreNow = "Now";
    p.And = "plus";
    p.Ante = "";
    QCOMPARE(levelAnnouncement(p, "1", "2", "$", 3), QStringLiteral("Now 1$ plus 2$.\r\n 3$"));
}

void TestAnnounce::voicesListedOnEveryTick()
{
    fakes->speech.voices = {"Alice", "Bob"};
    fakes->speech.current = 1;
    frm->Check1->setValue(1);
    QVERIFY(frm->cmb_voices->isEnabled() && frm->cmd_Voice->isEnabled());
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
    frm->lst_Small.addItem("1");
    frm->lst_Big.addItem("2");
    frm->lst_Time.addItem("60");
    frm->regenList();
    frm->cmb_voices->setCurrentIndex(0);
    frm->cmd_Start_Click();
    QCOMPARE(fakes->speech.current, 0);
    frm->cmb_voices->setCurrentIndex(3);
    frm->cmd_Start_Click();
    QCOMPARE(fakes->speech.current, 0);
    QVERIFY(!fakes->speech.operations.contains("selectVoice 3"));
    QCOMPARE(fakes->speech.spoken.size(), 2);
}

// A speech server lists every language voice with dozens of variants, and maps languages
// it cannot name to no locale at all; the list offers each language voice once.
static QList<EngineVoice> speechServerVoices()
{
    const QList<QPair<QString, QString>> languages = {
        {"Afrikaans", "af"},
        {"Bishnupriya Manipuri", "bpy"},
        {"English (Caribbean)", "en-029"},
        {"English (Great Britain)", "en-GB"},
        {"English (Scotland)", "en-GB-SCOTLAND"},
        {"English (Received Pronunciation)", "en-GB-X-RP"},
        {"English (America)", "en-US"},
        {"English (America, New York City)", "en-US-NYC"},
        {"German", "de"},
        {"Zulu", "zu"},
    };
    const QStringList variants = {"Adam", "grandma", "Mr serious", "klatt"};
    QList<EngineVoice> all;
    for (const auto &[name, code] : languages) {
        all << EngineVoice{name, QLocale(code)};
        for (const QString &variant : variants)
            all << EngineVoice{name + "+" + variant, QLocale(code)};
    }
    return all;
}

void TestAnnounce::voicesOfASpeechServer_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("defaultVoice");
    QTest::addColumn<QString>("afterEnglish");
    QTest::newRow("C.UTF-8") << "C"
                             << "English (Great Britain)"
                             << "Afrikaans";
    QTest::newRow("en_US") << "en_US"
                           << "English (America)"
                           << "Afrikaans";
    QTest::newRow("en_GB") << "en_GB"
                           << "English (Great Britain)"
                           << "Afrikaans";
    QTest::newRow("de_DE") << "de_DE"
                           << "English (Great Britain)"
                           << "German";
}

void TestAnnounce::voicesOfASpeechServer()
{
    QFETCH(QString, system);
    QFETCH(QString, defaultVoice);
    QFETCH(QString, afterEnglish);
    const VoiceCatalogue c = catalogueVoices(speechServerVoices(), QLocale(system));
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
    QCOMPARE(catalogueVoices(reversed, QLocale(system)).voices.size(), c.voices.size());
    QCOMPARE(catalogueVoices(reversed, QLocale(system)).voices[c.defaultVoice].name, defaultVoice);

    // An engine without English voices: no default of ours, the engine's own stays.
    const VoiceCatalogue german =
        catalogueVoices({{"German", QLocale("de")}, {"Zulu", QLocale("zu")}}, QLocale(system));
    QCOMPARE(german.defaultVoice, -1);
    QCOMPARE(german.voices.size(), 2);
}

// A tick while the engine is still starting leaves the window free: the busy cursor shows
// and the list fills the moment the engine is ready, once per tick; with no engine the
// message comes once.
void TestAnnounce::engineStillStarting()
{
    fakes->speech.starting = true;
    fakes->speech.voices = {"Alice", "Bob"};
    frm->Check1->setValue(1);
    QVERIFY(frm->cmb_voices->isEnabled() && frm->cmd_Voice->isEnabled());
    QCOMPARE(frm->cmb_voices->count(), 0);
    QVERIFY(QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::BusyCursor);
    QVERIFY(fakes->speech.operations.isEmpty());
    frm->Check1->setValue(0);
    frm->Check1->setValue(1);
    fakes->speech.finishStarting();
    QVERIFY(!QGuiApplication::overrideCursor());
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
    QVERIFY(!QGuiApplication::overrideCursor());

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

void TestAnnounce::engineFailure()
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

void TestAnnounce::phraseEditor()
{
    fakes->inputBox.answers = {"Go!", "Now", std::nullopt, "Soon", "Pause soon", "Pause", "Ante"};
    frm->cmd_Voice_Click();
    QCOMPARE(fakes->inputBox.calls.size(), size_t(7));
    QCOMPARE(fakes->inputBox.calls[0].title, QStringLiteral("Enter Speech:"));
    QCOMPARE(fakes->inputBox.calls[0].prompt, QStringLiteral("Enter the start of game speech:"));
    QCOMPARE(fakes->inputBox.calls[0].defaultText, defaultPhrases().Start);
    QCOMPARE(fakes->inputBox.calls[6].prompt, QStringLiteral("Enter the speech for announcing the ante:"));
    QCOMPARE(fakes->inputBox.calls[6].defaultText, QStringLiteral("The Ant\u00E9 is"));
    QCOMPARE(frm->phrases.Start, QStringLiteral("Go!"));
    QCOMPARE(frm->phrases.And, QString()); // Cancel empties it
    QCOMPARE(frm->phrases.BlindsSoon, QStringLiteral("Soon"));
    QCOMPARE(frm->phrases.Ante, QStringLiteral("Ante"));
    QVERIFY(fakes->speech.spoken.isEmpty());
}

void TestAnnounce::soundTest()
{
    QVERIFY(!frm->cmd_wavtest->isEnabled());
    frm->txt_wavpath->setText(fakes->folder.filePath("missing.wav"));
    frm->cmd_wavtest_Click();
    QVERIFY(fakes->sound.calls.empty());
    QVERIFY(fakes->messageBox.calls.empty());
    QFile wav(fakes->folder.filePath("cue.wav"));
    QVERIFY(wav.open(QIODevice::WriteOnly));
    wav.close();
    frm->txt_wavpath->setText(wav.fileName());
    frm->cmd_wavtest_Click(); // the check box is not asked
    QCOMPARE(fakes->sound.calls.size(), size_t(1));
    QCOMPARE(fakes->sound.calls[0].flags, 3);
}

void TestAnnounce::queueNeverCutsOff()
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

static QByteArray wavHeader(quint16 format, quint16 channels, quint32 rate, quint16 bits, quint32 dataBytes)
{
    QByteArray h = "RIFF\0\0\0\0WAVEfmt "_qba;
    const auto put16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        h.append(b, 2);
    };
    const auto put32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        h.append(b, 4);
    };
    put32(16);
    put16(format);
    put16(channels);
    put32(rate);
    put32(rate * channels * bits / 8);
    put16(quint16(channels * bits / 8));
    put16(bits);
    h += "LIST";
    put32(3);
    h += "abc";
    h += '\0'; // odd chunks are padded
    h += "data";
    put32(dataBytes);
    return h;
}

void TestAnnounce::wavHeaders()
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

QTEST_MAIN(TestAnnounce)
#include "test_announce.moc"
