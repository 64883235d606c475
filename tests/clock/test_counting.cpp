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
    // With the count off the letter keys do nothing and no band shows; on, the keys reach the
    // ledger, and the notice and the band show what it says.
    void displayKeys()
    {
        start({});
        const DisplayState before = frm->displayState;
        keys("ENRABL<");
        d()->Form_KeyDown(DisplayKey::Z, DisplayKey::CtrlMask);
        QVERIFY(!frm->ledger);
        QCOMPARE(frm->displayState, before);
        QCOMPARE(frm->game.command({GameCommand::Entry, false, {}}).text, "This game does not count players.");
        QVERIFY(!d()->lbl_Band->isVisible() && !d()->lbl_Notice->isVisible());

        start(counting({{"Rebuy", "20"}, {"RebuyChips", "5000"}, {"Rounding", "5"}}));
        keys("EEEEBR<");
        d()->Form_KeyDown(DisplayKey::Z, DisplayKey::CtrlMask);
        QCOMPARE(counts().entries, 4);
        QCOMPARE(counts().busts + counts().rebuys, 0);
        QCOMPARE(d()->lbl_Notice->caption(), "Undone: Bust — 4 players left.");
        keys("B");
        QVERIFY(d()->lbl_Band->isVisible());
        QCOMPARE(d()->lbl_Band->caption(), "Players 3 / 4 · Average stack 13,333 (67 BB) · Prize pool £80\r\n"
                                           "1st £80 (rounded to £5)");
        // On the smallest screen: a notice unbroken on the band, PAUSED shrunk to the room above it.
        d()->layOut({0, 0, 734, 568});
        keys("P<");
        const QRect notice = d()->lbl_Notice->geometry(), band = d()->lbl_Band->geometry();
        QCOMPARE(d()->lbl_Notice->heightForWidth(notice.width()), d()->lbl_Notice->heightForWidth(1000));
        QVERIFY(notice.bottom() < band.top() && d()->lbl_Paused->geometry().bottom() < band.top());
    }

    // From the display's keys: a re-entry after its last round is recorded at the second N, and
    // no other key confirms it; the display lists the ten latest actions; the last player
    // standing pauses the clock.
    void keysUnderTheGamesRules()
    {
        start(counting({{"Rebuy", "20"}, {"RebuyUntil", "1"}, {"Reentry", "20"}, {"ReentryUntil", "1"}}));
        keys("EEEEEEEEEEB");
        d()->Form_KeyDown(DisplayKey::Space, 0); // round 2
        keys("RN");
        QCOMPARE(counts().rebuys + counts().reentries, 0);
        keys("N");
        QCOMPARE(counts().reentries, 1);
        QCOMPARE(frm->displayState.recent.size(), 10);
        keys("BBBBBBBBB");
        QVERIFY(counts().left() == 1 && d()->paused && !frm->tmr_rounds->isActive());
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

    // Kept after every action and every second; a program that dies leaves it, the next
    // start offers it and comes up paused where it was; Escape takes it away.
    void keptAndResumed()
    {
        start(counting({{"Speak", "1"}}));
        // What the game is played with, never written to the settings file before the kill.
        frm->txt_Title->setText("Friday");
        frm->moreOptions.showPaused = frm->moreOptions.repeatBreak = true;
        keys("EEEB");
        // Names from the phone, the second buy-in without one.
        const QStringList names{"Ann", "", "Cy"};
        QVERIFY(frm->game.command({GameCommand::Names, false, std::nullopt, {}, names}).done);
        drive::ticks(*frm, 70);
        const auto kept = [&] {
            frm->keptWriter().finish();
            QFile f(gameFile());
            return f.open(QIODevice::ReadOnly) ? tournament::parseSavedGame(f.readAll()) : std::nullopt;
        };
        QVERIFY(kept());
        QCOMPARE(kept()->secondsLeft, 1130); // the second it was killed at

        fakes->messageBox.answers = {platform::Answer::Yes};
        restart(); // the old window is never closed, as when the program is killed
        QTRY_VERIFY(d() && d()->isVisible());
        QCOMPARE(fakes->messageBox.calls.back().text,
                 "A game was left running: Round 1, 2 of 3 players, 18:50 left. Resume it?");
        QVERIFY(d()->paused && kept()->paused);
        QVERIFY(frm->gameState.secondsLeft == 1130 && counts().busts == 1);
        // Under its own rules: the break, the options, the setup and the title as they were played.
        QCOMPARE(frm->txt_Break->text() + " " + frm->txt_breakTime->text() + " " + frm->txt_Title->text(),
                 "2 5 Friday");
        QVERIFY(frm->opt_Break[0]->isChecked() && frm->moreOptions.repeatBreak && frm->moreOptions.showPaused);
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

    // Closed with a setup the game would question, the page asks first; No goes back to the cut.
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
                    {"99 %", counting({{"Cut", "99"}}), QMessageBox::No, false}};
        for (const auto &r : rows) {
            frm_MoreOptions dialog(frm->moreOptions, nullptr, frm, r.texts);
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
            frm_MoreOptions dialog(frm->moreOptions, nullptr, frm, full);
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
