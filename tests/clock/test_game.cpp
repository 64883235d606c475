#include "display/frm_Display.h"
#include "platform/Colour.h"
#include "settings/frm_Chiplark.h"
#include "settings/frm_MoreOptions.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
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
    // The display's labels and colours are what the game published, and it is up while the game is.
    void rendersTheGame(const char *when)
    {
        const frm_Display *d = this->d();
        const DisplayState &s = frm->displayState;
        const std::pair<const DisplayLabel *, const DisplayText *> labels[] = {
            {d->lbl_title, &s.title},         {d->lbl_currentRound, &s.currentRound},
            {d->lbl_nextRound, &s.nextRound}, {d->lbl_elapsed, &s.elapsed},
            {d->lbl_Blinds, &s.blinds},       {d->lbl_ante, &s.ante}};
        for (const auto &[label, text] : labels) {
            QVERIFY2(
                label->caption() == text->text && label->isVisibleTo(d) == text->visible,
                qPrintable(QStringLiteral("%1: display \"%2\", state \"%3\"").arg(when, label->caption(), text->text)));
        }
        QCOMPARE(d->palette().color(QPalette::Window), platform::toQColor(s.backColour));
        QCOMPARE(d->lbl_Blinds->palette().color(QPalette::WindowText), platform::toQColor(s.textColour));
        QCOMPARE(d->lbl_ante->palette().color(QPalette::WindowText), platform::toQColor(s.anteColour));
        QCOMPARE(d->lbl_title->palette().color(QPalette::WindowText), platform::toQColor(s.titleColour));
        QVERIFY2(s.shown == d->isVisible(), when);
    }

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
        QVERIFY(!d()->lbl_ante->isVisible()); // the ante from round 1 first shows at a change of level
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

    // A short game through the windows: the timers tick the game, the keys reach it, and the
    // display, the speech, the cue, the selection and the file follow what it publishes.
    void aGameThroughTheWindows()
    {
        levels(3, 120);
        QVERIFY(QFile(fakes->folder.filePath("cue.wav")).open(QIODevice::WriteOnly));
        frm->chk_playWav->setValue(1);
        frm->txt_wavpath->setText(fakes->folder.filePath("cue.wav"));
        frm->Check1->setValue(1);
        frm->txt_Title->setText("Friday");
        frm->cmd_back->setColour(255);
        frm->txt_Break->setText("1");
        frm->txt_breakTime->setText("1");
        frm->opt_Ante[1]->setChecked(true);
        frm->txt_ante->setText("10");
        frm->txt_AnteRound->setText("2");
        QSignalSpy published(frm, &frm_Chiplark::displayStateChanged);
        frm->cmd_Start_Click();
        QVERIFY(d()->isVisible());
        QCOMPARE(d()->geometry(), frm->screen()->geometry());
        QVERIFY(fakes->cursor.hidden());
        rendersTheGame("at the start");
        QCOMPARE(d()->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(d()->lbl_title->caption(), QStringLiteral("Friday"));

        ticks(*frm, 60);
        QCOMPARE(fakes->speech.spoken.last(), QStringLiteral("Break in 1 minute."));
        QCOMPARE(d()->lbl_elapsed->caption(), QStringLiteral("Game Timer: 00:01:00"));
        ticks(*frm, 60);
        rendersTheGame("in the break");
        QCOMPARE(published.count(), 121); // once at the start and at each tick
        QCOMPARE(frm->lst_Blinds->listIndex(), 0);
        QCOMPARE(fakes->sound.calls.size(), size_t(1));
        QCOMPARE(fakes->sound.calls.back().flags, 2); // speech on: played to its end first
        QTest::keyClick(d(), Qt::Key_P, Qt::ShiftModifier);
        QVERIFY(neitherRunning());
        rendersTheGame("paused");
        QTest::keyClick(d(), Qt::Key_Pause);
        QVERIFY(frm->tmr_break->isActive());

        ticks(*frm, 60);
        rendersTheGame("at level 2");
        QCOMPARE(frm->lst_Blinds->listIndex(), 1);
        QCOMPARE(fakes->speech.spoken.last(), pound("Blinds are now 50# and 100#.\r\nThe Ant\u00E9 is 10#"));
        frm->keptWriter().finish(); // the file is written on a thread of its own
        QVERIFY(QFile::exists(frm->gameFilePath()));
        frm->Check1->setValue(0);
        QTest::keyClick(d(), Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(frm->lst_Blinds->listIndex(), 2);
        QCOMPARE(fakes->sound.calls.back().flags, 3); // speech off: in the background
        rendersTheGame("at the last level");
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
        rendersTheGame("after Escape");

        frm->cmd_Start_Click(); // the same display again, the cursor hidden again
        QVERIFY(fakes->cursor.hidden());
        QVERIFY(disp.isVisible());

        // The platform's close key acts as Escape; the window stays for the next game.
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
        frm_MoreOptions dialog(frm->moreOptions, nullptr, frm, frm->tournamentTexts);
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

    // The boxes, the options and the list edited during a game reach it, and nothing pops up.
    void editsDuringAGame()
    {
        levels(5, 60);
        frm->opt_Ante[1]->setChecked(true);
        frm->txt_ante->setText("5");
        frm->txt_AnteRound->setText("2");
        frm->txt_Break->setText("2");
        frm->txt_breakTime->setText("1");
        frm->cmd_Start_Click();

        frm->moreOptionsChanged({false, false, false, true}); // the break repeats
        frm->lst_Time.setItems({"60", "x", "60", "60", "60"});
        frm->regenList(); // as every edit of the list ends
        frm->txt_ante->setText("1073741824");
        ticks(*frm, 60);
        QCOMPARE(frm->gameState.currentAnte, 1073741824);
        QCOMPARE(frm->gameState.secondsLeft, 60); // as long as the level before it
        ticks(*frm, 120);                         // the break after level 2, then level 3
        QCOMPARE(frm->gameState.currentRound, 3);
        ticks(*frm, 120);
        QCOMPARE(frm->gameState.currentRound, -1); // again after level 4
        // The list rendered again in the break: gone with its selection is the level before it.
        frm->regenList();
        ticks(*frm, 60);
        QCOMPARE(frm->gameState.currentRound, 1);
        frm->opt_Break[1]->setChecked(true); // breaks off
        ticks(*frm, 120);
        QCOMPARE(frm->gameState.currentRound, 3);
        QVERIFY(fakes->messageBox.calls.empty()); // nothing pops up over the display

        // A list shortened below the level in play: as after the last level.
        for (int removed = 0; removed < 3; ++removed) {
            frm->lst_Blinds->setListIndex(0);
            frm->cmd_BlindRem_Click();
        }
        QCOMPARE(frm->gameState.currentRound, 2);
        tick(*frm);
        QCOMPARE(next(), QStringLiteral("No more rounds."));
        frm->advanceRound();
        QCOMPARE(frm->gameState.currentRound, 2);
    }
};

QTEST_MAIN(TestGame)
#include "test_game.moc"
