// The count of players and prizes in a running game, from the display's keys and the page's
// controls, and the game kept on disk and taken up again after the program died.

#include "display/frm_Display.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

class TestCounting : public WindowTest {
    Q_OBJECT
    frm_Display *d() const { return frm->displayWindow(); }
    QString gameFile() const { return frm->gameFilePath(); }
    // Three levels of 20 minutes, a 5-minute break after round 2; counting as given.
    void start(const tournament::SetupTexts &setup,
               const QStringList &levels = {"100/200/1200", "200/400/1200", "300/600/1200"})
    {
        drive::setSchedule(*frm, levels);
        frm->opt_Break[0]->setChecked(true);
        frm->txt_Break->setText("2");
        frm->txt_breakTime->setText("5");
        frm->tournamentTexts = setup;
        frm->cmd_Start_Click();
        QVERIFY(d() && d()->isVisible());
    }
    void keys(const QString &typed)
    {
        for (const QChar k : typed)
            d()->Form_KeyDown(k == '<' ? DisplayKey::Backspace : k.unicode(), 0);
    }
    const tournament::Counts &counts() const { return frm->ledger->counts(); }
    static tournament::SetupTexts counting(tournament::SetupTexts more = {})
    {
        more.insert("Count", "1");
        more.insert("BuyIn", "20");
        more.insert("BuyInChips", "10000");
        return more;
    }

private slots:
    // With the count off the letter keys do nothing and no band shows; on, each key acts,
    // Backspace and Ctrl+Z undo, and the band says what the ledger holds.
    void displayKeys()
    {
        start({});
        const DisplayState before = frm->displayState;
        keys("ENRABL<");
        d()->Form_KeyDown(DisplayKey::Z, DisplayKey::CtrlMask);
        QVERIFY(!frm->ledger);
        QCOMPARE(frm->displayState, before);
        QCOMPARE(frm->remoteAction({GameCommand::Entry, false, {}}).text, "This game does not count players.");
        QVERIFY(!d()->lbl_Band->isVisible() && !d()->lbl_Notice->isVisible());

        start(counting({{"Rebuy", "20"}, {"RebuyChips", "5000"}, {"Rounding", "5"}}));
        keys("EEEEBR");
        QCOMPARE(counts().entries, 4);
        QCOMPARE(counts().rebuys, 1);
        QCOMPARE(d()->lbl_Notice->caption(), "Rebuy — 3 players left. Backspace undoes it.");
        keys("<");
        QCOMPARE(d()->lbl_Notice->caption(), "Undone: Rebuy — 3 players left.");
        d()->Form_KeyDown(DisplayKey::Z, DisplayKey::CtrlMask);
        QCOMPARE(counts().busts, 0);
        keys("B");
        QVERIFY(d()->lbl_Band->isVisible());
        QCOMPARE(d()->lbl_Band->caption(), "Players 3 / 4 · Average stack 13,333 (67 BB) · Prize pool £80\r\n"
                                           "1st £80 (rounded to £5)");
        keys("H");
        QCOMPARE(d()->lbl_Notice->caption(), GameClock::KeysHelp);
        QCOMPARE(frm->displayState.recent.size(), 5);
        QVERIFY(frm->displayState.recent.front().endsWith(" Bust"));
        // On the smallest screen: a notice unbroken on the band, PAUSED shrunk to the room above it.
        d()->layOut({0, 0, 734, 568});
        keys("P<");
        const QRect notice = d()->lbl_Notice->geometry(), band = d()->lbl_Band->geometry();
        QCOMPARE(d()->lbl_Notice->heightForWidth(notice.width()), d()->lbl_Notice->heightForWidth(1000));
        QVERIFY(notice.bottom() < band.top() && d()->lbl_Paused->geometry().bottom() < band.top());
    }

    // A rebuy after the last round that allows it is recorded on the second press only, and so is
    // the last bust when a fixed house cut takes all the money; the last player standing pauses the clock.
    void confirmationsAndTheLastPlayer()
    {
        start(counting({{"RebuyUntil", "1"}}));
        keys("EE");
        d()->Form_KeyDown(DisplayKey::Space, 0); // round 2
        keys("R");
        QCOMPARE(counts().rebuys, 0);
        QVERIFY(d()->lbl_Notice->caption().endsWith("Press R again to record it."));
        keys("R");
        QCOMPARE(counts().rebuys, 1);
        const GameReply asked = frm->remoteAction({GameCommand::Rebuy, false, {}});
        QCOMPARE(asked.confirm, true);
        QCOMPARE(frm->remoteAction({GameCommand::Rebuy, true, asked.seen}).done, true);
        QCOMPARE(counts().rebuys, 2);
        keys("B");
        QVERIFY(d()->paused && !frm->tmr_rounds->isActive());
        QVERIFY(d()->lbl_Notice->caption().startsWith("Bust — 1 player left: the game is paused."));
        keys("B");
        QCOMPARE(counts().busts, 1);
        QCOMPARE(d()->lbl_Notice->caption(), "Only one player is left: no bust to record.");

        // A fixed cut above the money in: asked at the bust that would end the game, in its currency.
        fakes->messageBox.answers = {platform::Answer::Yes}; // the game above is dropped
        start(counting({{"Cut", "500"}, {"CutFixed", "1"}}));
        keys("EEB");
        QCOMPARE(counts().entries, 2);
        QCOMPARE(counts().busts, 0);
        QCOMPARE(d()->lbl_Notice->caption(), "The house cut of £500 is more than the £40 in: the prize pool stays "
                                             "empty. Record it anyway? Press B again to record it.");
        keys("B");
        QCOMPARE(counts().busts, 1);
    }

    // The page's Back and a minute more or less, as the display's own code moves the clock.
    void backAndMinutes()
    {
        start({});
        drive::ticks(*frm, 5);
        frm->remoteAction({GameCommand::Back, false, {}}); // round 1 within its first seconds: restarted
        QCOMPARE(frm->gameState.currentRound, 1);
        QCOMPARE(frm->gameState.secondsLeft, 1200);
        frm->remoteAction({GameCommand::MinuteLess, false, {}});
        QCOMPARE(frm->gameState.secondsLeft, 1140);
        QCOMPARE(d()->lbl_nextRound->caption(),
                 "Next round is Round 2: £200/£400 for 20 mins.\r\nStarting in 19 minutes and 0 seconds");
        d()->Form_KeyDown(DisplayKey::Space, 0);
        d()->Form_KeyDown(DisplayKey::P, 0);
        drive::ticks(*frm, 3);
        frm->remoteAction({GameCommand::Back, false, {}}); // round 2, paused, 0 s played: round 1 from its start
        QCOMPARE(frm->gameState.currentRound, 1);
        QCOMPARE(d()->lbl_Blinds->caption(), "£100 / £200");
        QVERIFY(d()->paused && !frm->tmr_rounds->isActive());
        d()->Form_KeyDown(DisplayKey::P, 0);
        d()->Form_KeyDown(DisplayKey::Space, 0);
        d()->Form_KeyDown(DisplayKey::Space, 0); // the break
        QCOMPARE(frm->gameState.currentRound, -1);
        drive::ticks(*frm, 30);
        frm->remoteAction({GameCommand::MinuteMore, false, {}});
        QCOMPARE(frm->gameState.secondsLeft, 330);
        frm->remoteAction({GameCommand::Back, false, {}}); // late in the break: the break again
        QCOMPARE(frm->gameState.secondsLeft, 300);
        frm->remoteAction({GameCommand::Back, false, {}}); // early in it: round 2, never the break
        QCOMPARE(frm->gameState.currentRound, 2);
        QVERIFY(frm->tmr_rounds->isActive() && !frm->tmr_break->isActive());
    }

    // A game asks of speech and sound only what the evening uses: with neither, nothing at
    // all through a level change; speech ticked, or busts spoken, gets the engine started
    // before the game needs it; the sound ticked gets the sound ready. The box unticked lets
    // the engine go unless busts are still spoken; ticked again, it is asked for again; a game
    // left lets it go when nothing is left to say.
    void onlyWhatTheEveningUses_data()
    {
        QTest::addColumn<bool>("speech");
        QTest::addColumn<bool>("busts");
        QTest::addColumn<bool>("sound");
        QTest::newRow("neither") << false << false << false;
        QTest::newRow("speech") << true << false << false;
        QTest::newRow("busts spoken") << false << true << false;
        QTest::newRow("speech and busts") << true << true << false;
        QTest::newRow("sound") << false << false << true;
    }

    void onlyWhatTheEveningUses()
    {
        QFETCH(bool, speech);
        QFETCH(bool, busts);
        QFETCH(bool, sound);
        frm->Check1->setValue(speech ? 1 : 0);
        frm->chk_playWav->setValue(sound ? 1 : 0);
        start(busts ? counting({{"Speak", "1"}}) : tournament::SetupTexts());
        QCOMPARE(fakes->speech.asked > 0 || !fakes->speech.operations.isEmpty(), speech || busts);
        QCOMPARE(fakes->sound.prepared > 0, sound);
        drive::ticks(*frm, 1201); // on into level 2
        QCOMPARE(frm->gameState.currentRound, 2);
        QCOMPARE(fakes->speech.spoken.isEmpty(), !speech);
        QCOMPARE(fakes->speech.asked > 0 || !fakes->speech.operations.isEmpty(), speech || busts);
        QCOMPARE(fakes->speech.released, 0);

        frm->Check1->setValue(0);
        QCOMPARE(fakes->speech.released, speech && !busts ? 1 : 0);
        fakes->speech.operations.clear();
        frm->Check1->setValue(1);
        QVERIFY(fakes->speech.operations.contains("create"));
        frm->Check1->setValue(0);
        const int released = fakes->speech.released;
        d()->Form_KeyDown(DisplayKey::Escape, 0);
        QVERIFY(!frm->game.inPlay());
        QCOMPARE(fakes->speech.released, released + 1);
    }

    // The count's texts are built when the count changes, or the round and big blind they are
    // measured against: a tick without an action hands on the very texts of the tick before.
    void countTextsBuiltOnChange()
    {
        start(counting({{"Rebuy", "20"}, {"RebuyChips", "10000"}, {"RebuyUntil", "1"}}),
              {"100/200/1200", "100/200/1200", "300/600/1200"});
        keys("EEE");
        struct Step {
            const char *what;
            QString keys; // '.' a tick
            bool kept;    // the same texts as before, not built again
            QString average;
            int recent;
            bool rebuys; // the band still says until when
        };
        const Step steps[] = {
            {"a tick", ".", true, "Average stack 10,000 (50 BB)", 3, true},
            {"the next level, rebuys over, the same blinds", " ", false, "Average stack 10,000 (50 BB)", 3, false},
            {"ticks", "...", true, "Average stack 10,000 (50 BB)", 3, false},
            {"a bust", "B", false, "Average stack 15,000 (75 BB)", 4, false},
            {"undone", "<", false, "Average stack 10,000 (50 BB)", 3, false},
            {"the break, against the next big blind", " ", false, "Average stack 10,000 (17 BB)", 3, false},
            {"a tick in the break", ".", true, "Average stack 10,000 (17 BB)", 3, false},
            {"an entry in the break", "E", false, "Average stack 10,000 (17 BB)", 4, false},
            {"the ten latest of twelve", "EEEEEEEE", false, "Average stack 10,000 (17 BB)", 10, false},
        };
        for (const Step &step : steps) {
            const DisplayState before = frm->displayState;
            for (const QChar k : step.keys) {
                if (k == '.')
                    QVERIFY(drive::tick(*frm));
                else
                    keys(k);
            }
            const DisplayState &now = frm->displayState;
            QVERIFY2(now.bandParts.average == step.average, step.what);
            QVERIFY2(now.recent.size() == step.recent, step.what);
            QVERIFY2(now.bandParts.rebuysUntil.isEmpty() != step.rebuys, step.what);
            const bool kept = now.recent.isSharedWith(before.recent)
                              && now.bandParts.average.isSharedWith(before.bandParts.average)
                              && now.band.text.isSharedWith(before.band.text);
            QVERIFY2(kept == step.kept, step.what);
        }
    }

    // Kept after every action and every second; a program that dies leaves it, the next
    // start offers it and comes up paused where it was; Escape takes it away.
    void keptAndResumed()
    {
        start(counting({{"Speak", "1"}}));
        // What the game is played with, never written to the settings file before the kill.
        frm->txt_Title->setText("Friday");
        frm->screenOptions.showPaused = frm->screenOptions.repeatBreak = true;
        keys("EEEB");
        QCOMPARE(fakes->speech.spoken.back(), "Two players left");
        // Names from the phone, the second buy-in without one.
        const QStringList names{"Ann", "", "Cy"};
        QVERIFY(frm->remoteAction({GameCommand::Names, false, std::nullopt, {}, names}).done);
        drive::ticks(*frm, 70);
        const auto kept = [&] {
            frm->keptWriter().finish();
            QFile f(gameFile());
            return f.open(QIODevice::ReadOnly) ? tournament::parseSavedGame(f.readAll()) : std::nullopt;
        };
        QVERIFY(kept());
        QCOMPARE(kept()->secondsLeft, 1130); // the second it was killed at
        QCOMPARE(kept()->records.size(), size_t(4));

        fakes->messageBox.answers = {platform::Answer::Yes};
        restart(); // the old window is never closed, as when the program is killed
        QTRY_VERIFY(d() && d()->isVisible());
        QCOMPARE(fakes->messageBox.calls.back().text,
                 "A game was left running: Round 1, 2 of 3 players, 18:50 left. Resume it?");
        QVERIFY(d()->paused && kept()->paused);
        QCOMPARE(frm->gameState.secondsLeft, 1130);
        QCOMPARE(frm->gameState.gameSeconds, qint64(70));
        QCOMPARE(frm->gameState.played, 70);
        QCOMPARE(counts().busts, 1);
        QCOMPARE(d()->lbl_Band->caption(), "Players 2 / 3 · Average stack 15,000 (75 BB) · Prize pool £60\r\n1st £60");
        // Under its own rules: the break, the options, the setup and the title as they were played.
        QCOMPARE(frm->txt_Break->text() + " " + frm->txt_breakTime->text() + " " + frm->txt_Title->text(),
                 "2 5 Friday");
        QVERIFY(frm->opt_Break[0]->isChecked() && frm->screenOptions.repeatBreak && frm->screenOptions.showPaused);
        QCOMPARE(frm->tournamentTexts, counting({{"Speak", "1"}}));
        QVERIFY(d()->lbl_Paused->isVisible());
        // "More options…" opened and closed leaves every name with its buy-in.
        QTimer::singleShot(0, frm, [&] { frm->findChild<frm_MoreOptions *>()->accept(); });
        frm->cmd_Screens_Click();
        QCOMPARE(frm->game.names, names);
        QCOMPARE(kept()->names, names);
        // Left with Escape, the counted game stays kept and offered; a new game asks before it drops it.
        d()->Form_KeyDown(DisplayKey::Escape, 0);
        frm->cmd_Start_Click(); // No
        QCOMPARE(fakes->messageBox.calls.back().text, "A game with 3 players is kept. Start a new game and drop it?");
        QVERIFY(!d()->isVisible() && kept() && !frm->cmd_Resume->isHidden());
        frm->cmd_Resume_Click();
        QVERIFY(d()->paused && counts().busts == 1 && frm->cmd_Resume->isHidden());
        d()->Form_KeyDown(DisplayKey::Escape, 0);
        fakes->messageBox.answers = {platform::Answer::Yes};
        start({}); // no count: Escape ends it for good
        d()->Form_KeyDown(DisplayKey::Escape, 0);
        frm->keptWriter().finish();
        QVERIFY(!QFile::exists(gameFile()));

        // Declined: the file goes. Unreadable: it is reported and never written over.
        start({});
        restart(); // asked once the event loop runs; the writer's work waited for at each look
        const auto gone = [&] {
            frm->keptWriter().finish();
            return !QFile::exists(gameFile());
        };
        QTRY_VERIFY(gone());
        QVERIFY(!d());
        QFile garbage(gameFile());
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("{not a game") > 0);
        garbage.close();
        const size_t shown = fakes->messageBox.calls.size();
        restart();
        QTRY_COMPARE(fakes->messageBox.calls.size(), shown + 1);
        QVERIFY(fakes->messageBox.calls.back().text.startsWith("A game was left running, but its file cannot be read"));
        start({});
        d()->Form_KeyDown(DisplayKey::Escape, 0);
        frm->close();
        QFile same(gameFile());
        QVERIFY(same.open(QIODevice::ReadOnly));
        QCOMPARE(same.readAll(), QByteArray("{not a game"));
    }

    // Closed with a house cut of 100 % and nothing else in the pool, the page asks first; No goes back to the
    // cut. Nothing else asks.
    void aFullCutAsked()
    {
        const QString question = "A house cut of 100 % leaves nothing for the prizes. Keep it?";
        const struct {
            const char *name;
            tournament::SetupTexts texts;
            QMessageBox::StandardButton answer;
            bool asked;
        } rows[] = {{"100 %, kept", counting({{"Cut", "100"}}), QMessageBox::Yes, true},
                    {"100 %, not kept", counting({{"Cut", "100"}}), QMessageBox::No, true},
                    {"100 % with the count off", {{"Cut", "100"}}, QMessageBox::No, false},
                    {"100 % and added money", counting({{"Cut", "100"}, {"Added", "50"}}), QMessageBox::No, false},
                    {"a fixed 100", counting({{"Cut", "100"}, {"CutFixed", "1"}}), QMessageBox::No, false},
                    {"99 %", counting({{"Cut", "99"}}), QMessageBox::No, false}};
        for (const auto &r : rows) {
            frm_MoreOptions dialog(frm->screenOptions, nullptr, frm, r.texts);
            dialog.show();
            QString asked;
            QTimer::singleShot(0, &dialog, [&] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    asked = box->text();
                    box->button(r.answer)->click();
                }
            });
            dialog.cmd_Close->button(QDialogButtonBox::Close)->click();
            QVERIFY2(asked == (r.asked ? question : QString()), r.name);
            const bool kept = !r.asked || r.answer == QMessageBox::Yes;
            QVERIFY2(dialog.isVisible() == !kept, r.name);
            QVERIFY2(kept
                         || (dialog.tabs->currentWidget() == dialog.chk_Count->parentWidget()
                             && dialog.focusWidget() == dialog.txt_Cut && dialog.txt_Cut->selectedText() == "100"),
                     r.name);
        }
    }

    // The setup is kept in its own section, each key once it is not empty; a fresh file has none.
    void setupInTheSettingsFile()
    {
        QCOMPARE(exitAndRestart().count('='), 32);
        frm->tournamentTexts = counting({{"Payouts", "70/30"}});
        QVERIFY(
            exitAndRestart().contains("[Tournament]\r\nCount=1\r\nBuyIn=20\r\nBuyInChips=10000\r\nPayouts=70/30\r\n"));
        QCOMPARE(frm->tournamentTexts, counting({{"Payouts", "70/30"}}));
        {
            // The dialog's page gives back what it was given; each caption takes its box's key.
            const tournament::SetupTexts full = counting({{"Reentry", "15"},
                                                          {"RebuyUntil", "4"},
                                                          {"ReentryUntil", "6"},
                                                          {"Cut", "5"},
                                                          {"CutFixed", "1"},
                                                          {"Rounding", "25"},
                                                          {"Payouts", "60/40"},
                                                          {"Speak", "1"}});
            frm_MoreOptions dialog(frm->screenOptions, nullptr, frm, full);
            QCOMPARE(dialog.tournamentTexts(), full);
            // Each letter underlined once on the page.
            QStringList letters;
            for (const QWidget *w : dialog.chk_Count->parentWidget()->findChildren<QWidget *>()) {
                const auto *caption = qobject_cast<const QLabel *>(w);
                const auto *button = qobject_cast<const QAbstractButton *>(w);
                const QString text = caption ? caption->text() : button ? button->text() : QString();
                QVERIFY2(!text.contains('&') || !caption || caption->buddy(), qPrintable(text));
                if (const qsizetype at = text.indexOf('&'); at >= 0)
                    letters << text.mid(at + 1, 1).toLower();
            }
            letters.sort();
            QVERIFY2(letters.size() == QSet<QString>(letters.begin(), letters.end()).size(),
                     qPrintable(letters.join(' ')));
        }
        frm->tournamentTexts.clear();
        QVERIFY(exitAndRestart().contains("[Tournament]\r\nCount=0\r\nBuyIn=\r\nBuyInChips=\r\nPayouts=\r\n"));
        // A setup that cannot be read stops the start with the box named.
        drive::setSchedule(*frm, {"100/200/1200"});
        frm->tournamentTexts = counting({{"Cut", "101"}});
        frm->cmd_Start_Click();
        QVERIFY(!d());
        QCOMPARE(fakes->messageBox.calls.back().text,
                 "Players & prizes: \"House cut\" must be a whole number from 0 to 100.");
    }
};

QTEST_MAIN(TestCounting)
#include "test_counting.moc"
