// The game's picture (DisplayState) is what the display shows, after every kind of event,
// and each event publishes it once.
#include "display/frm_Display.h"
#include "platform/Colour.h"
#include "settings/frm_Chiplark.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QSignalSpy>
#include <QtTest>

using drive::tick;
using drive::ticks;

class TestDisplayState : public WindowTest {
    Q_OBJECT
    // The state against the display's own labels and colours.
    void matchesDisplay(const char *when)
    {
        const frm_Display *d = frm->displayWindow();
        QVERIFY2(d, when);
        const DisplayState &s = frm->displayState;
        const std::pair<const DisplayLabel *, const DisplayText *> labels[] = {
            {d->lbl_title, &s.title},         {d->lbl_currentRound, &s.currentRound},
            {d->lbl_nextRound, &s.nextRound}, {d->lbl_elapsed, &s.elapsed},
            {d->lbl_Blinds, &s.blinds},       {d->lbl_ante, &s.ante}};
        for (const auto &[label, text] : labels) {
            QVERIFY2(
                label->caption() == text->text,
                qPrintable(QStringLiteral("%1: display \"%2\", state \"%3\"").arg(when, label->caption(), text->text)));
            QVERIFY2(label->isVisibleTo(d) == text->visible, when);
        }
        QCOMPARE(d->palette().color(QPalette::Window), platform::toQColor(s.backColour));
        QCOMPARE(d->lbl_Blinds->palette().color(QPalette::WindowText), platform::toQColor(s.textColour));
        QCOMPARE(d->lbl_ante->palette().color(QPalette::WindowText), platform::toQColor(s.anteColour));
        QCOMPARE(d->lbl_title->palette().color(QPalette::WindowText), platform::toQColor(s.titleColour));
        QVERIFY2(s.shown == d->isVisible(), when);
        QVERIFY2(s.paused == d->paused, when);
        QCOMPARE(s.gameSeconds, qint64(frm->gameState.gameSeconds));
        QCOMPARE(s.secondsLeft, frm->gameState.secondsLeft);
    }

private slots:
    void followsTheGame()
    {
        drive::setSchedule(*frm, {"25/50/120", "50/100/120", "100/200/120"});
        frm->txt_Title->setText("Club night");
        frm->opt_Ante[1]->setChecked(true);
        frm->txt_ante->setText("10");
        frm->txt_AnteRound->setText("2");
        frm->txt_Break->setText("2");
        frm->txt_breakTime->setText("1");
        frm->opt_Break[0]->setChecked(true);
        QSignalSpy changes(frm, &frm_Chiplark::displayStateChanged);

        frm->cmd_Start_Click();
        QCOMPARE(changes.count(), 1);
        matchesDisplay("after the start");
        const DisplayState &s = frm->displayState;
        QVERIFY(s.shown && !s.paused && !s.inBreak);
        QCOMPARE(s.round, 1);
        QCOMPARE(s.secondsLeft, 120);
        QCOMPARE(s.levelSeconds, 120);
        QCOMPARE(s.smallBlind, QStringLiteral("25"));
        QCOMPARE(s.bigBlind, QStringLiteral("50"));
        QCOMPARE(s.anteAmount, 0);
        QCOMPARE(s.gameTitle, QStringLiteral("Club night"));
        QVERIFY(!s.ante.visible);
        QCOMPARE(s.nextLevel, frm->lst_Blinds->list(1));
        QCOMPARE(changes.last().at(0).value<DisplayState>(), s);

        QVERIFY(tick(*frm));
        QCOMPARE(changes.count(), 2);
        matchesDisplay("after a tick");
        QCOMPARE(s.secondsLeft, 119);

        // Space: the next level, with its ante, in one change.
        frm->displayWindow()->Form_KeyDown(DisplayKey::Space, 0);
        QCOMPARE(changes.count(), 3);
        matchesDisplay("after Space");
        QCOMPARE(s.round, 2);
        QCOMPARE(s.smallBlind, QStringLiteral("50"));
        QCOMPARE(s.anteAmount, 10);
        QVERIFY(s.ante.visible);
        QVERIFY(s.breakNext);
        QVERIFY(s.nextLevel.isEmpty());

        // The level runs out: the tick that ends it brings the break, one change.
        ticks(*frm, 119);
        QCOMPARE(changes.count(), 3 + 119);
        QVERIFY(!s.inBreak);
        QVERIFY(tick(*frm));
        QCOMPARE(changes.count(), 3 + 120);
        matchesDisplay("at the break");
        QVERIFY(s.inBreak);
        QCOMPARE(s.blinds.text, QStringLiteral("Break"));
        QCOMPARE(s.round, 2); // the level played before it
        QCOMPARE(s.levelSeconds, 60);
        QCOMPARE(s.anteAmount, 0);
        QCOMPARE(s.nextLevel, frm->lst_Blinds->list(2));

        // P: paused, and again: running.
        frm->displayWindow()->Form_KeyDown(DisplayKey::P, 0);
        matchesDisplay("paused in the break");
        QVERIFY(s.paused);
        frm->displayWindow()->Form_KeyDown(DisplayKey::P, 0);
        matchesDisplay("resumed");
        QVERIFY(!s.paused);

        // Space out of the break: the last level.
        frm->displayWindow()->Form_KeyDown(DisplayKey::Space, 0);
        matchesDisplay("out of the break");
        QCOMPARE(s.round, 3);
        QVERIFY(s.lastLevel);
        QVERIFY(s.nextLevel.isEmpty());

        // Escape: the display goes, and the state says so.
        const int before = changes.count();
        frm->displayWindow()->Form_KeyDown(DisplayKey::Escape, 0);
        QCOMPARE(changes.count(), before + 1);
        matchesDisplay("after Escape");
        QVERIFY(!s.shown);

        // A new start shows the design's first level again.
        frm->cmd_Start_Click();
        matchesDisplay("after a new start");
        QVERIFY(s.shown);
        QCOMPARE(s.round, 1);
        QCOMPARE(s.gameSeconds, 0);
    }

    void remembersPauseAcrossTheBreak()
    {
        drive::setSchedule(*frm, {"25/50/2", "50/100/2"});
        frm->txt_Break->setText("1");
        frm->txt_breakTime->setText("1");
        frm->opt_Break[0]->setChecked(true);
        frm->cmd_Start_Click();
        frm->displayWindow()->Form_KeyDown(DisplayKey::P, 0);
        QVERIFY(frm->displayState.paused);
        QVERIFY(!tick(*frm)); // paused: no countdown runs
        // Space while paused moves into the break, which waits, paused.
        frm->displayWindow()->Form_KeyDown(DisplayKey::Space, 0);
        matchesDisplay("break while paused");
        QVERIFY(frm->displayState.inBreak);
        QVERIFY(frm->displayState.paused);
        QVERIFY(!frm->tmr_break->isActive() && !frm->tmr_rounds->isActive());
        frm->displayWindow()->Form_KeyDown(DisplayKey::P, 0);
        QVERIFY(frm->tmr_break->isActive());
        matchesDisplay("the break resumed");
    }
};

QTEST_MAIN(TestDisplayState)
#include "test_display_state.moc"
