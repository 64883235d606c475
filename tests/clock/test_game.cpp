#include "display/frm_Display.h"
#include "settings/frm_Chiplark.h"
#include "settings/frm_MoreOptions.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>

using drive::tick;
using drive::ticks;

class TestGame : public WindowTest {
    Q_OBJECT
    frm_Display *d() const { return frm->displayWindow(); }
    QString next() const { return d()->lbl_nextRound->caption(); }
    static QString pound(const QString &s) { return QString(s).replace('#', QChar(0x00A3)); }
    void levels(int n, int seconds)
    {
        QStringList rows;
        for (int i = 1; i <= n; ++i)
            rows << QStringLiteral("%1/%2/%3").arg(25 * i).arg(50 * i).arg(seconds);
        drive::setSchedule(*frm, rows);
    }
    bool neitherRunning() const { return !frm->tmr_rounds->isActive() && !frm->tmr_break->isActive(); }

private slots:
    void startRefusals()
    {
        frm->cmd_Start_Click();
        QCOMPARE(fakes->messageBox.calls.back().text,
                 QStringLiteral("Please add some blind structures to the list, or select Auto-Blinds."));
        QCOMPARE(fakes->messageBox.calls.back().title, QStringLiteral("Error"));

        levels(3, 600);
        const auto refused = [&](const QString &expected) {
            const size_t before = fakes->messageBox.calls.size();
            frm->cmd_Start_Click();
            QCOMPARE(fakes->messageBox.calls.size(), before + 1);
            QVERIFY2(fakes->messageBox.calls.back().text.contains(expected),
                     qPrintable(fakes->messageBox.calls.back().text));
            QCOMPARE(fakes->messageBox.calls.back().icon, platform::Icon::Warning);
            QVERIFY(neitherRunning());
            QVERIFY(!d());
        };
        frm->txt_breakTime->setText("547");
        refused("\"Break for (mins.)\" must hold a whole number from 0 to 546");
        frm->txt_breakTime->setText("5");
        frm->txt_Break->clear();
        refused("\"Break every\"");
        frm->opt_Break[1]->setChecked(true); // breaks off: the box is not read
        frm->opt_Ante[1]->setChecked(true);
        frm->txt_AnteRound->setText("40000");
        refused("\"Ante: Start on round\" must hold a whole number from 0 to 32767");
        frm->txt_AnteRound->setText("1");
        frm->txt_AnteFactor->clear();
        refused("\"Ante: Increase by a factor of\"");
        frm->txt_AnteFactor->setText("2");
        frm->lst_Time.setItems({"600", "ten", "600"});
        refused("Round 2 lasts \"ten\" seconds");
        frm->lst_Time.setItems({"600", "600", "600"});
        // The automatic structure is refused before the custom list is touched.
        frm->opt_Blinds[1]->setChecked(true);
        frm->txt_AutoTime->clear();
        refused("\"mins per round\"");
        QCOMPARE(frm->lst_Small.listCount(), 3);

        frm->txt_AutoTime->setText("20");
        frm->txt_breakTime->setText("546");
        frm->cmd_Start_Click();
        QCOMPARE(frm->gameState.breakSeconds, qint16(32760));
        QCOMPARE(frm->gameState.currentAnte, 100);                    // the ante starts on round 1
        QVERIFY(!d()->lbl_ante->isVisible());                         // ... but is first shown at a change of level
        QCOMPARE(d()->lbl_ante->caption(), QStringLiteral("Label1")); // the design text until then
        QCOMPARE(d()->lbl_ante->text(), QStringLiteral("Label1"));
        QCOMPARE(frm->lst_Small.listCount(), 15); // rebuilt from the automatic boxes

        // A display no game has written yet shows the design text on every label.
        frm_Display fresh(frm->game, fakes->cursor);
        for (DisplayLabel *l : {fresh.lbl_title, fresh.lbl_currentRound, fresh.lbl_nextRound, fresh.lbl_elapsed,
                                fresh.lbl_Blinds, fresh.lbl_ante}) {
            QCOMPARE(l->caption(), QStringLiteral("Label1"));
            QCOMPARE(l->text(), QStringLiteral("Label1"));
        }
    }

    void firstLevelAndCountdown()
    {
        levels(3, 1200);
        frm->Check1->setValue(1);
        frm->txt_Title->setText("Friday");
        frm->cmd_back->setColour(255);
        frm->cmd_Start_Click();
        QVERIFY(frm->tmr_rounds->isActive() && !frm->tmr_break->isActive());
        QVERIFY(d()->isVisible());
        QCOMPARE(d()->geometry(), frm->screen()->geometry());
        QCOMPARE(d()->palette().color(QPalette::Window), QColor(255, 0, 0));
        QVERIFY(fakes->cursor.hidden());
        QCOMPARE(d()->lbl_title->caption(), QStringLiteral("Friday"));
        QCOMPARE(d()->lbl_Blinds->caption(), pound("#25 / #50"));
        QCOMPARE(d()->lbl_currentRound->caption(), QStringLiteral("Current Round: Round 1."));
        QCOMPARE(next(), pound("Next round is Round 2: #50/#100 for 20 mins. in 00:20:00"));
        QCOMPARE(d()->lbl_elapsed->caption(), QStringLiteral("Game Timer: 00:00:00"));

        tick(*frm);
        QCOMPARE(next(),
                 pound("Next round is Round 2: #50/#100 for 20 mins.\r\nStarting in 19 minutes and 59 seconds"));
        QCOMPARE(d()->lbl_elapsed->caption(), QStringLiteral("Game Timer: 00:00:01"));
        ticks(*frm, 1200 - 61 - 1);
        QVERIFY(next().endsWith("Starting in 1 minute and 1 seconds"));
        QCOMPARE(fakes->speech.spoken.size(), 1);
        tick(*frm);
        QVERIFY(next().endsWith("Starting in 1 minute and 0 seconds"));
        QCOMPARE(fakes->speech.spoken.last(), QStringLiteral("Next round in 1 minute."));
        tick(*frm);
        QVERIFY(next().endsWith("Starting in 59 seconds"));
        ticks(*frm, 59);
        QVERIFY(next().endsWith("Starting in 0 seconds")); // stays for one second with the new blinds
        QCOMPARE(d()->lbl_Blinds->caption(), pound("#50 / #100"));
        QCOMPARE(frm->lst_Blinds->listIndex(), 1);
        tick(*frm);
        QCOMPARE(next(),
                 pound("Next round is Round 3: #75/#150 for 20 mins.\r\nStarting in 19 minutes and 59 seconds"));
        QVERIFY(fakes->sound.calls.empty()); // no sound chosen
    }

    void breaksThatRepeat_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<QString>("every");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QList<int>>("breaksAfter");
        QTest::newRow("one break, after round 3") << 10 << "3" << false << QList<int>{3};
        QTest::newRow("repeated: 3, 6, 9") << 10 << "3" << true << QList<int>{3, 6, 9};
        QTest::newRow("repeated, the last round a multiple") << 10 << "5" << true << QList<int>{5};
        QTest::newRow("repeated after every round") << 4 << "1" << true << QList<int>{1, 2, 3};
        QTest::newRow("repeated every 0: none") << 4 << "0" << true << QList<int>{};
    }

    // "Repeat the break every N rounds": each break exactly the single break's (its length, its
    // warning, its announcement), the rounds counted on through the breaks.
    void breaksThatRepeat()
    {
        QFETCH(int, levels);
        QFETCH(QString, every);
        QFETCH(bool, repeat);
        QFETCH(QList<int>, breaksAfter);
        this->levels(levels, 120);
        frm->Check1->setValue(1);
        frm->txt_Break->setText(every);
        frm->txt_breakTime->setText("2");
        frm->screenOptions.repeatBreak = repeat;
        frm->cmd_Start_Click();
        QList<int> breaks, rounds;
        int warned = 0;
        while (frm->gameState.currentRound != levels) {
            const int before = frm->gameState.currentRound;
            if (before != -1 && frm->gameState.secondsLeft == 60 && next().startsWith("Next round is a break"))
                ++warned;
            tick(*frm);
            if (frm->gameState.currentRound == -1 && before != -1) {
                breaks << before;
                QCOMPARE(frm->gameState.secondsLeft, 120);
                QCOMPARE(fakes->speech.spoken.last(), frm->phrases.Break);
                QCOMPARE(d()->lbl_Blinds->caption(), QStringLiteral("Break"));
            }
            if (frm->gameState.currentRound > 0 && frm->gameState.currentRound != before)
                rounds << frm->gameState.currentRound;
        }
        QCOMPARE(breaks, breaksAfter);
        QCOMPARE(warned, int(breaksAfter.size()));
        QCOMPARE(fakes->speech.spoken.count(QStringLiteral("Break in 1 minute.")), breaksAfter.size());
        QCOMPARE(rounds.size(), levels - 1); // 2, 3, … in turn, none skipped or repeated
        for (int i = 0; i < rounds.size(); ++i)
            QCOMPARE(rounds[i], i + 2);
    }

    void tenLevelGame()
    {
        levels(10, 120);
        QVERIFY(QFile(fakes->folder.filePath("cue.wav")).open(QIODevice::WriteOnly));
        frm->chk_playWav->setValue(1);
        frm->txt_wavpath->setText(fakes->folder.filePath("cue.wav"));
        frm->Check1->setValue(1);
        frm->txt_Break->setText("3");
        frm->txt_breakTime->setText("5");
        frm->opt_Ante[1]->setChecked(true);
        frm->txt_ante->setText("100");
        frm->txt_AnteRound->setText("3");
        frm->opt_AnteRaise[1]->setChecked(true);
        frm->txt_AnteFactor->setText("2");
        frm->cmd_Start_Click();

        QStringList expected{pound("The game is now started. The player who is the dealer can deal the cards.\r\n"
                                   "Blinds are now 25# and 50#")};
        QStringList antes;
        for (int level = 1; level <= 10; ++level) {
            ticks(*frm, 60);
            QCOMPARE(d()->lbl_currentRound->caption(), QStringLiteral("Current Round: Round %1.").arg(level));
            if (level == 3)
                QCOMPARE(next(), QStringLiteral("Next round is a break\r\nStarting in 1 minute and 0 seconds"));
            if (level == 10)
                QCOMPARE(next(), QStringLiteral("No more rounds."));
            expected << (level == 3 ? "Break in 1 minute." : "Next round in 1 minute.");
            antes << (d()->lbl_ante->isVisible() ? d()->lbl_ante->caption() : QString());
            ticks(*frm, 60);
            if (level == 3) {
                expected << frm->phrases.Break; // the "Break" caption: breaksThatRepeat
                QCOMPARE(d()->lbl_currentRound->caption(), QStringLiteral("Current Round: Break"));
                QVERIFY(!d()->lbl_ante->isVisible());
                QVERIFY(frm->tmr_break->isActive() && !frm->tmr_rounds->isActive());
                QCOMPARE(frm->gameState.secondsLeft, 300);
                QCOMPARE(frm->lst_Blinds->listIndex(), 2);
                tick(*frm);
                QCOMPARE(next(),
                         pound("Next round is Round 4: #100/#200 for 2 mins.\r\nStarting in 4 minutes and 59 seconds"));
                ticks(*frm, 238); // the warning comes with a minute left, not before
                QVERIFY(fakes->speech.spoken.last() != QStringLiteral("Next round in 1 minute."));
                tick(*frm);
                QCOMPARE(fakes->speech.spoken.last(), QStringLiteral("Next round in 1 minute."));
                expected << "Next round in 1 minute.";
                ticks(*frm, 60);
                QVERIFY(frm->tmr_rounds->isActive() && !frm->tmr_break->isActive());
            }
            if (level < 10) {
                const int n = level + 1;
                const qint64 ante = n >= 3 ? 100LL << (n - 3) : 0;
                QString text = pound(QStringLiteral("Blinds are now %1# and %2#").arg(25 * n).arg(50 * n));
                if (ante > 0)
                    text += pound(QStringLiteral(".\r\nThe Ant\u00E9 is %1#").arg(ante));
                expected << text;
            }
        }
        QCOMPARE(fakes->speech.spoken, expected);
        QCOMPARE(antes, (QStringList{"", "", pound("Ante: #100"), pound("Ante: #200"), pound("Ante: #400"),
                                     pound("Ante: #800"), pound("Ante: #1600"), pound("Ante: #3200"),
                                     pound("Ante: #6400"), pound("Ante: #12800")}));
        QCOMPARE(fakes->sound.calls.size(), size_t(10)); // nine changes of level and the break
        for (const auto &call : fakes->sound.calls)
            QCOMPARE(call.flags, 2); // speech on: played to its end first

        // After the last level the game timer runs on and nothing else happens.
        ticks(*frm, 30);
        QCOMPARE(next(), QStringLiteral("No more rounds."));
        QCOMPARE(d()->lbl_elapsed->caption(), QStringLiteral("Game Timer: 00:25:30"));
        QCOMPARE(fakes->speech.spoken, expected);
        QCOMPARE(fakes->sound.calls.size(), size_t(10));
        QVERIFY(frm->tmr_rounds->isActive());

        // With speech off the cue plays in the background.
        frm->Check1->setValue(0);
        frm->cmd_Start_Click();
        ticks(*frm, 120);
        QCOMPARE(fakes->sound.calls.back().flags, 3);
    }

    void oneLevelAndLastLevel()
    {
        levels(1, 120);
        frm->txt_Break->setText("1"); // the break level is the last level: no break follows
        frm->cmd_Start_Click();
        QCOMPARE(next(), QStringLiteral("Next round is  in 00:02:00"));
        tick(*frm);
        QCOMPARE(next(), QStringLiteral("Next round is a break\r\nStarting in 1 minute and 59 seconds"));
        ticks(*frm, 119);
        QVERIFY(next().endsWith("Starting in 0 seconds"));
        QCOMPARE(frm->gameState.currentRound, 1);
        tick(*frm);
        QCOMPARE(next(), QStringLiteral("No more rounds."));
        frm->advanceRound(); // nothing, however often
        QCOMPARE(d()->lbl_currentRound->caption(), QStringLiteral("Current Round: Round 1."));
        QVERIFY(frm->tmr_rounds->isActive() && !frm->tmr_break->isActive());
    }

    void skipPauseAndResume()
    {
        levels(5, 600);
        frm->txt_Break->setText("1");
        frm->cmd_Start_Click();
        frm_Display &disp = *d();

        // Pause and resume in a level: time stands still.
        ticks(*frm, 10);
        disp.Form_KeyDown(80, 0);
        QVERIFY(neitherRunning());
        QVERIFY(!tick(*frm));
        QCOMPARE(frm->gameState.gameSeconds, qint64(10));
        QTest::keyClick(&disp, Qt::Key_P, Qt::ShiftModifier);
        QVERIFY(frm->tmr_rounds->isActive() && !frm->tmr_break->isActive());

        // Space during level 1 starts the break; pause and resume there resume the break.
        QTest::keyClick(&disp, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(frm->tmr_break->isActive() && !frm->tmr_rounds->isActive());
        QTest::keyClick(&disp, Qt::Key_Pause);
        QVERIFY(neitherRunning());
        disp.Form_KeyDown(19, 0);
        QVERIFY(frm->tmr_break->isActive() && !frm->tmr_rounds->isActive());

        // "Do not stop for breaks" chosen during the break still comes back to level 2.
        frm->opt_Break[1]->setChecked(true);
        disp.Form_KeyDown(32, 0);
        QCOMPARE(frm->gameState.currentRound, 2);
        QVERIFY(frm->tmr_break->isActive()); // the skipped-to level is counted by the break countdown
        ticks(*frm, 600);
        QVERIFY(frm->tmr_rounds->isActive() && !frm->tmr_break->isActive());
        QCOMPARE(frm->gameState.currentRound, 3);
        QCOMPARE(frm->gameState.secondsLeft, 600);

        // Space while paused moves on and stays paused (into a break: TestDisplayState::remembersPauseAcrossTheBreak).
        disp.Form_KeyDown(80, 0);
        disp.Form_KeyDown(32, 0);
        QCOMPARE(frm->gameState.currentRound, 4);
        QVERIFY(neitherRunning());
    }

    void escapeAndRestart()
    {
        levels(3, 600);
        frm->cmd_Start_Click();
        QVERIFY(fakes->screenSaver.inhibited); // the screen stays on, also while paused
        frm_Display &disp = *d();
        disp.Form_KeyDown(80, 0); // left while paused
        QVERIFY(fakes->screenSaver.inhibited);
        disp.Form_LostFocus();
        disp.Form_KeyDown(27, 0);
        QVERIFY(neitherRunning());
        QVERIFY(!disp.isVisible());
        QVERIFY(!fakes->cursor.hidden());
        QVERIFY(!fakes->screenSaver.inhibited);

        ticks(*frm, 5);
        frm->cmd_Start_Click(); // from level 1 again, hidden cursor, not paused
        QVERIFY(fakes->cursor.hidden());
        QVERIFY(disp.isVisible());
        QVERIFY(!disp.paused);
        QCOMPARE(frm->gameState.gameSeconds, 0);
        QCOMPARE(frm->gameState.currentRound, 1);
        disp.Form_KeyDown(80, 0);
        QVERIFY(neitherRunning()); // the first P pauses

        // The platform's close key acts as Escape; the window stays for the next game.
        disp.Form_KeyDown(80, 0);
        QCloseEvent closeKey;
        QSpontaneKeyEvent::setSpontaneous(&closeKey);
        static_cast<QObject &>(disp).event(&closeKey); // delivered as the platform would, flag kept
        QVERIFY(neitherRunning());
        QVERIFY(!disp.isVisible());
        QCOMPARE(d(), &disp);
        QVERIFY(!fakes->cursor.hidden());
        // A close asked by the program itself (when it ends) is let through.
        frm->cmd_Start_Click();
        QVERIFY(disp.close());
        // Closing the settings window ends the game and lets the screen sleep again.
        QVERIFY(fakes->screenSaver.inhibited);
        frm->close();
        QVERIFY(!fakes->screenSaver.inhibited);
        QCOMPARE(d(), nullptr);
    }

    // Whatever holds the focus behind the display, in the settings window or a dialog, and
    // even when a window manager gives the focus back to it: no timer of the settings
    // window or its dialogs runs but the game's own countdown, so nothing repaints there.
    void nothingBlinksBehindTheDisplay_data()
    {
        QTest::addColumn<int>("holder");
        QTest::addColumn<bool>("blinks"); // before the game; read-only text shows a still caret
        QTest::newRow("the title box") << 0 << true;
        QTest::newRow("the buy-in box of the options") << 1 << true;
        QTest::newRow("the page's address box") << 2 << false;
        QTest::newRow("the other addresses, a selectable label") << 3 << false;
    }

    void nothingBlinksBehindTheDisplay()
    {
        QFETCH(int, holder);
        QFETCH(bool, blinks);
        levels(3, 600);
        frm->show();
        frm_MoreOptions dialog(frm->screenOptions, nullptr, frm, frm->tournamentTexts);
        dialog.txt_Address->setText(QStringLiteral("http://192.0.2.2:8642/"));
        dialog.lbl_Others->setText(QStringLiteral("http://10.0.0.2:8642/"));
        dialog.chk_Count->setChecked(true);
        QWidget *const holders[] = {frm->txt_Title, dialog.txt_BuyIn, dialog.txt_Address, dialog.lbl_Others};
        QWidget *focus = holders[holder];
        if (focus->window() == &dialog) {
            dialog.show();
            focus->show();
            QTabWidget *pages = dialog.findChild<QTabWidget *>();
            QVERIFY(pages);
            for (int i = 0; i < pages->count(); ++i)
                if (pages->widget(i)->isAncestorOf(focus))
                    pages->setCurrentIndex(i);
        }
        // The classes of the objects with a timer running, outside the display, the game's
        // countdown left aside.
        const auto timersIn = [this](QObject *object) {
            QObjectList objects = object->findChildren<QObject *>();
            objects << object;
            QStringList running;
            for (QObject *o : objects) {
                const bool onDisplay = o->isWidgetType() && static_cast<QWidget *>(o)->window() == d();
                if (o != frm->tmr_rounds && !onDisplay
                    && !QAbstractEventDispatcher::instance()->registeredTimers(o).isEmpty())
                    running << QString::fromLatin1(o->metaObject()->className());
            }
            return running.join(QLatin1Char(' '));
        };
        const auto focusIt = [&] {
            QApplication::setActiveWindow(focus->window());
            focus->setFocus(Qt::OtherFocusReason);
            QVERIFY(focus->hasFocus());
        };
        focusIt();
        QCoreApplication::processEvents(); // what the windows put off until the loop runs
        QCOMPARE(!timersIn(focus).isEmpty(), blinks);

        frm->cmd_Start_Click();
        QVERIFY(d()->isVisible());
        QCoreApplication::processEvents(); // the display becomes the active window
        QCOMPARE(QApplication::activeWindow(), d());
        focusIt();                          // and a window manager hands the focus back under it
        QCOMPARE(timersIn(frm), QString()); // the dialog's too: it is the window's child

        // Once the display has gone, the caret blinks again.
        d()->Form_KeyDown(27, 0);
        focusIt();
        QCOMPARE(!timersIn(focus).isEmpty(), blinks);
    }

    void editsDuringAGame()
    {
        levels(4, 120);
        frm->opt_Ante[1]->setChecked(true);
        frm->txt_ante->setText("1073741824");
        frm->txt_AnteRound->setText("2");
        frm->opt_AnteRaise[1]->setChecked(true);
        frm->txt_Break->setText("2");
        frm->cmd_Start_Click();

        frm->txt_Break->clear(); // unreadable: no break
        frm->lst_Time.setItems({"120", "x", "300", "300"});
        ticks(*frm, 120);
        QCOMPARE(frm->gameState.currentAnte, 1073741824);
        QCOMPARE(frm->gameState.secondsLeft, 120); // as long as the level before it
        ticks(*frm, 120);
        QCOMPARE(frm->gameState.currentRound, 3);                                              // no break after level 2
        QCOMPARE(frm->gameState.currentAnte, 1073741824 * 2LL > 2147483647 ? 1073741824 : -1); // would not fit: kept
        frm->txt_AnteFactor->clear();
        ticks(*frm, 300);
        QCOMPARE(frm->gameState.currentAnte, 1073741824);
        QVERIFY(fakes->messageBox.calls.empty()); // nothing pops up over the display

        // A list shortened below the level in play: as after the last level.
        frm->lst_Blinds->setListIndex(0);
        frm->cmd_BlindRem_Click();
        frm->lst_Blinds->setListIndex(0);
        frm->cmd_BlindRem_Click();
        QCOMPARE(frm->gameState.currentRound, 2);
        tick(*frm);
        QCOMPARE(next(), QStringLiteral("No more rounds."));
        frm->advanceRound();
        QCOMPARE(frm->gameState.currentRound, 2);
    }
};

QTEST_MAIN(TestGame)
#include "test_game.moc"
