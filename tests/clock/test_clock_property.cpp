// 20,000 seeded random steps of ticks, keys, the phone's moves of the clock, starts, the break
// boxes and the list edited mid-game; after each step the window's three columns stay in step
// with the list, the level in play lies within it, and the two timers follow the game's countdown.

#include "display/frm_Display.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include <QRandomGenerator>
#include <QtTest>

class TestClockProperty : public QObject {
    Q_OBJECT
private slots:
    void randomSteps()
    {
        fake::Platform fakes;
        frm_Chiplark frm(fakes.services());
        QRandomGenerator rng(20261206);
        const auto pick = [&](int n) { return int(rng.bounded(n)); };
        const auto number = [&]() {
            const QString texts[] = {"0", "1", "2", "3", "1", "2", "", "x", "40000"};
            return texts[pick(9)];
        };
        drive::setSchedule(frm, {"25/50/3", "50/100/2", "100/200/4", "200/400/0"});
        int breaks = 0, paused = 0, edits = 0;
        for (int step = 0; step < 20000; ++step) {
            frm_Display *d = frm.displayWindow();
            const int action = pick(100);
            if (action < 55) {
                drive::tick(frm);
            } else if (action < 62 && d) {
                d->Form_KeyDown(DisplayKey::Space, 0);
            } else if (action < 70 && d) {
                d->Form_KeyDown(pick(2) ? DisplayKey::P : DisplayKey::Pause, pick(8));
            } else if (action < 73 && d) {
                d->Form_KeyDown(DisplayKey::Escape, 0);
            } else if (action < 76) {
                frm.cmd_Start_Click();
            } else if (action < 80) {
                frm.opt_Break[size_t(pick(2))]->setChecked(true);
            } else if (action < 86) {
                (pick(2) ? frm.txt_Break : frm.txt_breakTime)->setText(number());
            } else if (action < 97) {
                // The organiser edits the list mid-game: a row goes, or one is added.
                edits += frm.game.inPlay();
                if (pick(2) && frm.lst_Big.listCount() > 0) {
                    frm.lst_Blinds->setListIndex(pick(frm.lst_Big.listCount()));
                    frm.cmd_BlindRem_Click();
                } else if (frm.lst_Big.listCount() < 12) {
                    frm.lst_Small.addItem("5");
                    frm.lst_Big.addItem("10");
                    frm.lst_Time.addItem(pick(10) ? QString::number(pick(5)) : QStringLiteral("?"));
                    frm.regenList();
                }
            } else if (action < 99) {
                // The phone's Back and a minute more or less.
                const GameCommand::Kind kinds[] = {GameCommand::Back, GameCommand::MinuteLess, GameCommand::MinuteMore};
                frm.game.command({kinds[pick(3)], false, {}});
            } else {
                frm.lst_Blinds->setListIndex(pick(frm.lst_Blinds->listCount() + 1) - 1);
            }

            const bool rounds = frm.tmr_rounds->isActive(), breakTimer = frm.tmr_break->isActive();
            const int round = frm.gameState.currentRound, rows = frm.lst_Big.listCount();
            const auto at = [step](const QString &what) { return QStringLiteral("%1 at step %2").arg(what).arg(step); };
            QVERIFY2(rounds == (frm.game.running() == Game::Countdown::Rounds)
                         && breakTimer == (frm.game.running() == Game::Countdown::Break),
                     qPrintable(at("the timers apart from the game")));
            QVERIFY2(!(frm.game.paused && (rounds || breakTimer)), qPrintable(at("a timer runs while paused")));
            QVERIFY2(round == -1 || (round >= 0 && round <= rows),
                     qPrintable(at(QStringLiteral("round %1 of %2").arg(round).arg(rows))));
            QVERIFY2(frm.lst_Blinds->listCount() == rows && frm.lst_Small.listCount() == rows
                         && frm.lst_Time.listCount() == rows,
                     qPrintable(at("columns out of step")));
            // Whatever the edits did, the game kept now could be taken up again after a crash.
            QVERIFY2(!frm.game.inPlay() || rows == 0
                         || tournament::parseSavedGame(tournament::formatSavedGame(frm.game.kept())),
                     qPrintable(at("a kept game that cannot be read")));
            breaks += breakTimer;
            paused += frm.game.inPlay() && frm.game.paused;
        }
        // The walk did reach the states that matter.
        QVERIFY2(breaks > 200 && paused > 500 && edits > 200,
                 qPrintable(QStringLiteral("%1 breaks, %2 paused, %3 edits").arg(breaks).arg(paused).arg(edits)));
    }
};

QTEST_MAIN(TestClockProperty)
#include "test_clock_property.moc"
