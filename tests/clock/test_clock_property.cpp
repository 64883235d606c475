// 100,000 seeded random steps of ticks, keys, starts and settings changes; after each step
// the clock must still be sound.

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
            const QString texts[] = {"", "0", "1", "2", "3", "5", "x", "40000", "2147483647"};
            return texts[pick(9)];
        };
        drive::setSchedule(frm, {"25/50/3", "50/100/2", "100/200/4", "200/400/0"});

        for (int step = 0; step < 100000; ++step) {
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
            } else if (action < 84) {
                frm.txt_Break->setText(number());
            } else if (action < 87) {
                frm.opt_Ante[size_t(pick(2))]->setChecked(true);
                frm.opt_AnteRaise[size_t(pick(2))]->setChecked(true);
            } else if (action < 90) {
                (pick(2) ? frm.txt_ante : pick(2) ? frm.txt_AnteRound : frm.txt_AnteFactor)->setText(number());
            } else if (action < 93) {
                frm.Check1->setValue(pick(2));
            } else if (action < 96) {
                // The organiser edits the list mid-game: a row goes, or one is added.
                if (pick(2) && frm.lst_Big.listCount() > 0) {
                    frm.lst_Blinds->setListIndex(pick(frm.lst_Big.listCount()));
                    frm.cmd_BlindRem_Click();
                } else if (frm.lst_Big.listCount() < 12) {
                    frm.lst_Small.addItem("5");
                    frm.lst_Big.addItem("10");
                    frm.lst_Time.addItem(pick(4) ? QString::number(pick(5)) : QStringLiteral("?"));
                    frm.regenList();
                }
            } else if (action < 98) {
                frm.txt_breakTime->setText(number());
            } else {
                frm.lst_Blinds->setListIndex(pick(frm.lst_Blinds->listCount() + 1) - 1);
            }

            const bool rounds = frm.tmr_rounds->isActive(), breaks = frm.tmr_break->isActive();
            const int round = frm.gameState.currentRound, rows = frm.lst_Big.listCount();
            d = frm.displayWindow();
            const auto at = [step](const QString &what) { return QStringLiteral("%1 at step %2").arg(what).arg(step); };
            QVERIFY2(!(rounds && breaks), qPrintable(at("two countdowns")));
            QVERIFY2(!(d && d->paused && (rounds || breaks)), qPrintable(at("a countdown runs while paused")));
            QVERIFY2(round == -1 || (round >= 0 && round <= rows),
                     qPrintable(at(QStringLiteral("round %1 of %2").arg(round).arg(rows))));
            QVERIFY2(frm.lst_Blinds->listCount() == rows && frm.lst_Small.listCount() == rows
                         && frm.lst_Time.listCount() == rows,
                     qPrintable(at("columns out of step")));
        }
        // The walk did reach the states that matter.
        QVERIFY(fakes.speech.spoken.size() > 100);
        QVERIFY(fakes.sound.calls.empty());
    }
};

QTEST_MAIN(TestClockProperty)
#include "test_clock_property.moc"
