#include "support/WindowTest.h"

#include <QtTest>

#include <functional>

class TestSettings : public WindowTest {
    Q_OBJECT
    QString iniPath() const { return fakes->folder.filePath(QStringLiteral("chiplark.ini")); }
    // The file left by an exit that saved without a word.
    QByteArray savedQuietly()
    {
        const QByteArray saved = exitAndRestart();
        return fakes->messageBox.calls.empty() ? saved : QByteArray("a message was shown");
    }
    // Starts the program afresh on the given settings file.
    void startWith(const QByteArray &ini)
    {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini);
        f.close();
        restart();
    }

private slots:
    void freshStartWritesEveryKey()
    {
        QVERIFY(!QFile::exists(iniPath()));
        frm->show();
        QTest::keyClick(frm, Qt::Key_Escape); // Escape exits, and exiting saves
        QVERIFY(!frm->isVisible());
        const QByteArray expected =
            "[Speech]\r\nBlindsAreNow=Blinds are now\r\nAnd=and\r\nBlindsSoon=Next round in 1 minute.\r\n"
            "Start=The game is now started. The player who is the dealer can deal the cards.\r\n"
            "BreakSoon=Break in 1 minute.\r\n"
            "Break=The break has now started. Players should stop playing once they have finished this hand. "
            "The game will resume in 5 minutes.\r\n"
            "Ante=The Ant\xE9 is\r\n"
            "[Blinds]\r\nAutoSmall=25\r\nAutoBig=50\r\nAutoRounds=15\r\nAutoTime=20\r\nAutoIncrease=0\r\n"
            "BlindFactor=2\r\nBlindValue=15\r\nBlindPercentage=15\r\n"
            "[Config]\r\nTitle=My Chiplark! Hold'em tournament - 1500 chips - $25 buy in\r\n"
            "Currency=\xA3\r\nCurrencyOpt=0\r\nAnteRaiseOpt=0\r\n"
            "BackColour=0\r\nTextColour=65280\r\nTitleColour=33023\r\nAnteColour=16777215\r\nPlayWav=0\r\nWavFile=\r\n"
            "[Breaks]\r\nBreak=10\r\nBreakTime=5\r\nBreakOpt=0\r\n"
            "[Ante]\r\nAnteAmount=100\r\nAnteRound=10\r\nAnteFactor=2\r\nAnteOpt=0\r\n";
        QCOMPARE(settingsFile(), expected);
    }

    void roundTripKeepsForeignLines()
    {
        startWith("; my notes\r\n[Config]\r\ntitle = 'Big game'\r\n"
                  "Currency=\xE2\x82\xB9\r\n" // UTF-8 rupee sign
                  "BackColour=banana\r\nTextColour=16777216\r\nTitleColour=255\r\nMine=keep me\r\n"
                  "[Friends]\r\nAlice=1\r\n");
        // No Speech section: every phrase empty; text boxes of missing keys empty.
        QCOMPARE(frm->phrases.Start, QString());
        QCOMPARE(frm->phrases.Ante, QString());
        QCOMPARE(frm->txt_Small->text(), QString());
        QCOMPARE(frm->txt_Title->text(), QStringLiteral("Big game"));
        QCOMPARE(frm->txt_currency->text(), QString(QChar(0x20B9)));
        QCOMPARE(frm->cmd_back->colour(), 0);     // not a number: kept
        QCOMPARE(frm->cmd_fore->colour(), 65280); // out of range: kept
        QCOMPARE(frm->cmd_Title->colour(), 255);

        // The custom/automatic choice and speech are never kept.
        frm->opt_Blinds[1]->setChecked(true);
        frm->Check1->setValue(1);
        frm->txt_Small->setText(QStringLiteral("30"));
        const QByteArray after = savedQuietly();
        QVERIFY(frm->opt_Blinds[0]->isChecked());
        QCOMPARE(frm->Check1->value(), 0);
        QCOMPARE(frm->txt_Small->text(), QStringLiteral("30"));
        QCOMPARE(frm->txt_currency->text(), QString(QChar(0x20B9)));
        QVERIFY(after.startsWith("; my notes\r\n[Config]\r\nTitle=Big game\r\nCurrency=\xE2\x82\xB9\r\n"));
        QVERIFY(after.contains("\r\nMine=keep me\r\n"));
        QVERIFY(after.contains("\r\n[Friends]\r\nAlice=1\r\n"));
        QVERIFY(after.contains("BackColour=0\r\n"));
    }

    void optionKeys_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("selected");
        QTest::newRow("2") << QByteArray("2") << 2;
        QTest::newRow("1") << QByteArray("1") << 1;
        QTest::newRow("3") << QByteArray("3") << 0;
        QTest::newRow("letter") << QByteArray("x") << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("padded") << QByteArray(" 2 ") << 2; // blanks around a value are not part of it
    }

    // An option key selects its option, anything unknown the first, and is saved as selected.
    void optionKeys()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, selected);
        startWith("[Blinds]\r\nAutoIncrease=" + value + "\r\n");
        QVERIFY(frm->opt_AutoIncrease[size_t(selected)]->isChecked());
        // Custom structure: every increase box disabled; automatic: only the chosen one.
        for (QLineEdit *box : {frm->txt_blindFactor, frm->txt_BlindValue, frm->txt_BlindPercentage})
            QVERIFY(!box->isEnabled());
        frm->opt_Blinds[1]->setChecked(true);
        QCOMPARE(frm->txt_blindFactor->isEnabled(), selected == 0);
        QCOMPARE(frm->txt_BlindValue->isEnabled(), selected == 1);
        QCOMPARE(frm->txt_BlindPercentage->isEnabled(), selected == 2);
        QVERIFY(savedQuietly().contains("AutoIncrease=" + QByteArray::number(selected) + "\r\n"));
    }

    // Each option makes usable the boxes that belong to it, and only those.
    void enableMatrix()
    {
        // "Increase by the value of", custom, then automatic again: only its box is usable.
        frm->opt_Blinds[1]->setChecked(true);
        for (QWidget *w : {frm->txt_Small, frm->txt_Big, frm->txt_AutoRounds, frm->txt_AutoTime})
            QVERIFY(w->isEnabled());
        QVERIFY(!frm->lst_Blinds->isEnabled() && !frm->cmd_BlindSave->isEnabled() && !frm->cmb_BlindLoad->isEnabled());
        QVERIFY(frm->cmd_Clear->isEnabled() && frm->Command1->isEnabled());
        frm->opt_AutoIncrease[1]->setChecked(true);
        frm->opt_Blinds[0]->setChecked(true);
        QVERIFY(!frm->txt_BlindValue->isEnabled() && !frm->opt_AutoIncrease[1]->isEnabled());
        QVERIFY(frm->lst_Blinds->isEnabled() && frm->cmd_BlindAdd->isEnabled());
        frm->opt_Blinds[1]->setChecked(true);
        QVERIFY(frm->txt_BlindValue->isEnabled());
        QVERIFY(!frm->txt_blindFactor->isEnabled() && !frm->txt_BlindPercentage->isEnabled());

        // Ante off takes the inner frame's contents with it, and gives them back as they were.
        frm->opt_Ante[1]->setChecked(true);
        frm->opt_AnteRaise[1]->setChecked(true);
        QVERIFY(frm->txt_ante->isEnabled() && frm->txt_AnteRound->isEnabled() && frm->txt_AnteFactor->isEnabled());
        frm->opt_Ante[0]->setChecked(true);
        QVERIFY(!frm->txt_ante->isEnabled() && !frm->txt_AnteRound->isEnabled());
        QVERIFY(!frm->txt_AnteFactor->isEnabled() && !frm->opt_AnteRaise[0]->isEnabled());
        QVERIFY(frm->txt_AnteFactor->isEnabledTo(frm->fme_AnteAmt)); // its own state unchanged
        frm->opt_Ante[1]->setChecked(true);
        QVERIFY(frm->txt_AnteFactor->isEnabled());
        frm->opt_AnteRaise[0]->setChecked(true);
        QVERIFY(!frm->txt_AnteFactor->isEnabled());

        frm->opt_Break[1]->setChecked(true);
        QVERIFY(!frm->txt_Break->isEnabled() && !frm->txt_breakTime->isEnabled());
        frm->opt_Break[0]->setChecked(true);
        QVERIFY(frm->txt_Break->isEnabled() && frm->txt_breakTime->isEnabled());

        frm->chk_playWav->setValue(1);
        QVERIFY(frm->txt_wavpath->isEnabled() && frm->cmd_browse->isEnabled() && frm->cmd_wavtest->isEnabled());
        frm->chk_playWav->setValue(0);
        QVERIFY(!frm->txt_wavpath->isEnabled() && !frm->cmd_browse->isEnabled() && !frm->cmd_wavtest->isEnabled());

        // Loading runs the handlers as clicks would, even for an option already selected.
        startWith("[Ante]\r\nAnteOpt=0\r\n[Config]\r\nAnteRaiseOpt=1\r\nPlayWav=1\r\nCurrencyOpt=1\r\n");
        QVERIFY(!frm->fme_AnteAmt->isEnabled());
        QVERIFY(frm->txt_AnteFactor->isEnabledTo(frm->fme_AnteAmt));
        QVERIFY(frm->txt_wavpath->isEnabled());
        QVERIFY(!frm->txt_currency->isEnabled());
    }

    void numericBoxesTakeDigitsOnly()
    {
        frm->opt_Blinds[1]->setChecked(true);
        frm->show();
        QVERIFY(QTest::qWaitForWindowActive(frm));
        frm->txt_Small->clear();
        QTest::keyClicks(frm->txt_Small, QStringLiteral("12a.5"));
        QCOMPARE(frm->txt_Small->text(), QStringLiteral("125"));
        QTest::keyClick(frm->txt_Small, Qt::Key_Left);
        QTest::keyClick(frm->txt_Small, Qt::Key_Backspace);
        QTest::keyClicks(frm->txt_Small, QStringLiteral("-+ 9"));
        QCOMPARE(frm->txt_Small->text(), QStringLiteral("195"));
        QTest::keyClick(frm->txt_Small, Qt::Key_V, Qt::ControlModifier); // paste shortcut does nothing
        QCOMPARE(frm->txt_Small->text(), QStringLiteral("195"));
        // Boxes without the filter take anything.
        frm->txt_currency->clear();
        QTest::keyClicks(frm->txt_currency, QStringLiteral("a.1"));
        QCOMPARE(frm->txt_currency->text(), QStringLiteral("a.1"));

        // Every number box's key handler keeps digits and Backspace and refuses the rest.
        using KeyPress = void (frm_Chiplark::*)(qint16 &);
        const KeyPress presses[] = {
            &frm_Chiplark::txt_ante_KeyPress,        &frm_Chiplark::txt_AnteFactor_KeyPress,
            &frm_Chiplark::txt_AnteRound_KeyPress,   &frm_Chiplark::txt_AutoRounds_KeyPress,
            &frm_Chiplark::txt_AutoTime_KeyPress,    &frm_Chiplark::txt_Big_KeyPress,
            &frm_Chiplark::txt_blindFactor_KeyPress, &frm_Chiplark::txt_BlindPercentage_KeyPress,
            &frm_Chiplark::txt_BlindValue_KeyPress,  &frm_Chiplark::txt_Break_KeyPress,
            &frm_Chiplark::txt_breakTime_KeyPress,   &frm_Chiplark::txt_Small_KeyPress};
        for (const KeyPress press : presses) {
            qint16 digit = '7', back = 8, letter = 'x', control = 3;
            for (qint16 *key : {&digit, &back, &letter, &control})
                std::invoke(press, *frm, *key);
            QVERIFY(digit == '7' && back == 8 && letter == 0 && control == 0);
        }
    }

    // Colour and file dialogs change what was chosen, Cancel nothing; the link opens the manual.
    void dialogs()
    {
        fakes->colourDialog.answers = {255, std::nullopt};
        frm->cmd_back->click();
        frm->cmd_Title->click();
        QCOMPARE(fakes->colourDialog.calls, (std::vector<qint32>{0, 33023}));
        QCOMPARE(frm->cmd_back->colour(), 255);
        QCOMPARE(frm->cmd_Title->colour(), 33023);

        frm->txt_wavpath->setText(QStringLiteral("/old.wav"));
        fakes->fileDialog.answers = {std::nullopt, QStringLiteral("/new.wav")};
        frm->cmd_browse_Click();
        QCOMPARE(frm->txt_wavpath->text(), QStringLiteral("/old.wav"));
        frm->cmd_browse_Click();
        QCOMPARE(frm->txt_wavpath->text(), QStringLiteral("/new.wav"));
        QCOMPARE(fakes->fileDialog.calls.at(0).title, QStringLiteral("Browse for wav file"));
        QCOMPARE(fakes->fileDialog.calls.at(0).filter, QStringLiteral("Wav Files|*.wav"));

        frm->Label15_Click();
        QCOMPARE(fakes->shell.addresses.size(), 1);
        QVERIFY(fakes->shell.addresses.first().endsWith(QStringLiteral("manual.html")));

        QVERIFY(savedQuietly().contains("BackColour=255\r\n"));
        QCOMPARE(frm->cmd_back->colour(), 255);
        QCOMPARE(frm->txt_wavpath->text(), QStringLiteral("/new.wav"));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
