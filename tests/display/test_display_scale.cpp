// "Scale the players' display to the screen": off, the display keeps the design's sizes on
// any screen; on, positions and type sizes grow together by min(width/734, height/568),
// never below 1, with the blinds centred and the ante right below them. The option lives
// in the settings file's [Screens] only once it has been turned on.
#include "display/frm_Display.h"
#include "settings/frm_Chiplark.h"
#include "settings/frm_MoreOptions.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <vector>

class TestDisplayScale : public WindowTest {
    Q_OBJECT
    frm_Display *startGame(bool scaled)
    {
        frm->moreOptions.scaleDisplay = scaled;
        drive::setSchedule(*frm, {"25/50/600", "50/100/600"});
        frm->opt_Ante[1]->setChecked(true);
        frm->txt_ante->setText("10");
        frm->txt_AnteRound->setText("1");
        frm->cmd_Start_Click();
        frm->displayWindow()->Form_KeyDown(DisplayKey::Space, 0); // level 2, with the ante shown
        return frm->displayWindow();
    }

private slots:
    void factor()
    {
        QCOMPARE(frm_Display::scaleFor({734, 568}), 1.0);
        QCOMPARE(frm_Display::scaleFor({640, 480}), 1.0);            // never below 1
        QCOMPARE(frm_Display::scaleFor({1080, 1920}), 1080 / 734.0); // a screen stood upright
    }

    void layoutScalesTogether_data()
    {
        QTest::addColumn<bool>("scaled");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<double>("s");
        QTest::newRow("off: the design's sizes on 3840x2160") << false << QSize(3840, 2160) << 1.0;
        QTest::newRow("1366x768") << true << QSize(1366, 768) << 768 / 568.0;
        QTest::newRow("1920x1080") << true << QSize(1920, 1080) << 1080 / 568.0;
        QTest::newRow("3840x2160") << true << QSize(3840, 2160) << 2160 / 568.0;
    }

    void layoutScalesTogether()
    {
        QFETCH(bool, scaled);
        QFETCH(QSize, screen);
        QFETCH(double, s);
        startGame(!scaled)->Form_KeyDown(DisplayKey::Escape, 0); // the option read again at each start
        frm_Display *d = startGame(scaled);
        d->layOut(QRect(QPoint(0, 0), screen));
        QCOMPARE(d->scale(), s);
        struct Design {
            const QLabel *label;
            QRect twips;
            double points;
        };
        const Design design[] = {{d->lbl_title, {120, 0, 10695, 615}, 24},
                                 {d->lbl_currentRound, {120, 600, 10695, 615}, 24},
                                 {d->lbl_nextRound, {120, 1320, 10695, 1095}, 20.25},
                                 {d->lbl_elapsed, {120, 2520, 8775, 615}, 20.25},
                                 {d->lbl_Blinds, {120, 2880, 10815, 1935}, 86.25},
                                 {d->lbl_ante, {2760, 4680, 5415, 1455}, 72}};
        for (const Design &e : design) {
            // Type and height grow by the one factor.
            QCOMPARE(e.label->font().pointSizeF(), e.points * s);
            QCOMPARE(e.label->height(), qRound(e.twips.height() * s / 15.0));
        }
        // The three lines at the top keep their places, scaled.
        for (const Design &e : {design[1], design[2], design[3]}) {
            QCOMPARE(e.label->x(), qRound(e.twips.x() * s / 15.0));
            QCOMPARE(e.label->y(), qRound(e.twips.y() * s / 15.0));
            QCOMPARE(e.label->width(), qRound(e.twips.width() * s / 15.0));
        }
        // The placing rules: the title across the top, the blinds centred, the ante right below.
        QCOMPARE(d->lbl_title->geometry(), QRect(0, 0, screen.width(), d->lbl_title->height()));
        QCOMPARE(d->lbl_Blinds->x(), 0);
        QCOMPARE(d->lbl_Blinds->width(), screen.width());
        QVERIFY(qAbs(d->lbl_Blinds->y() - (screen.height() - d->lbl_Blinds->height()) / 2.0) <= 0.5);
        QCOMPARE(d->lbl_ante->y(), d->lbl_Blinds->y() + d->lbl_Blinds->height());
        QCOMPARE(d->lbl_ante->width(), screen.width());
        QVERIFY(d->lbl_ante->isVisibleTo(d));
        // Everything stays on the screen.
        QVERIFY(d->lbl_ante->geometry().bottom() < screen.height());
        QVERIFY(d->lbl_elapsed->geometry().bottom() < d->lbl_Blinds->y());
    }

    void keptInTheSettingsFile()
    {
        // Never turned on: the file holds the 32 keys and nothing of it.
        QByteArray ini = exitAndRestart();
        QVERIFY(!ini.contains("Screens"));

        frm->moreOptions.scaleDisplay = true;
        ini = exitAndRestart();
        QVERIFY(ini.contains("[Screens]\r\nScaleDisplay=1\r\n"));
        QVERIFY(frm->moreOptions.scaleDisplay);

        QVERIFY(!ini.contains("ShowPaused") && !ini.contains("RepeatBreak"));
        frm->moreOptions.showPaused = true;
        frm->moreOptions.repeatBreak = true;
        ini = exitAndRestart();
        QVERIFY(ini.contains("ScaleDisplay=1\r\nShowPaused=1\r\n"));
        QVERIFY(ini.contains("BreakOpt=0\r\nRepeatBreak=1\r\n")); // with the break's own keys
        QVERIFY(frm->moreOptions.showPaused && frm->moreOptions.repeatBreak);

        // Turned off again: written as off, so they stay off.
        frm->moreOptions.scaleDisplay = false;
        frm->moreOptions.showPaused = false;
        QVERIFY(exitAndRestart().contains("ScaleDisplay=0\r\nShowPaused=0\r\n"));
        QVERIFY(!frm->moreOptions.scaleDisplay && !frm->moreOptions.showPaused);
    }

    void dialogSetsTheOption()
    {
        frm_MoreOptions dialog(frm->moreOptions, nullptr, frm);
        QVERIFY(!dialog.chk_Serve->isEnabled()); // no server: the page cannot be turned on
        QVERIFY(!dialog.chk_Scale->isChecked());
        dialog.chk_Scale->setChecked(true);
        QVERIFY(dialog.options().scaleDisplay);
        QCOMPARE(QAccessible::queryAccessibleInterface(frm->cmd_Screens)->text(QAccessible::Name),
                 QStringLiteral("More options…"));
        // The pages, each named as it is shown, for a screen reader too; the address and the PIN named.
        QStringList pages, names;
        for (int i = 0; i < dialog.tabs->count(); ++i) {
            pages << dialog.tabs->tabText(i);
            names << dialog.tabs->widget(i)->accessibleName();
        }
        QCOMPARE(pages, (QStringList{"Phone && TV", "Players' display", "Breaks", "Players && prizes",
                                     "Tables && names", "Chips && plan", "Season"}));
        QCOMPARE(names, (QStringList{"Phone & TV", "Players' display", "Breaks", "Players & prizes", "Tables & names",
                                     "Chips & plan", "Season"}));
        QCOMPARE(dialog.txt_Address->accessibleName() + "/" + dialog.txt_PIN->accessibleName(), "Address/Control PIN");
    }

    // Ticked in the dialog while the display is up, the display grows at once, and shrinks back.
    void scaledAtOnceDuringAGame()
    {
        frm_Display *d = startGame(false);
        frm->show();
        d->layOut(d->geometry());
        QCOMPARE(d->scale(), 1.0);
        QVERIFY(frm_Display::scaleFor(d->size()) > 1.0);
        std::vector<double> seen;
        QTimer::singleShot(0, frm, [&] {
            auto *dialog = frm->findChild<frm_MoreOptions *>();
            dialog->chk_Scale->click();
            seen.push_back(d->scale());
            dialog->chk_Scale->click();
            seen.push_back(d->scale());
            dialog->chk_Scale->click();
            dialog->accept();
        });
        frm->cmd_Screens_Click();
        QCOMPARE(seen, (std::vector<double>{frm_Display::scaleFor(d->size()), 1.0}));
        QCOMPARE(d->scale(), frm_Display::scaleFor(d->size()));
        QVERIFY(frm->moreOptions.scaleDisplay);
        QCOMPARE(d->lbl_ante->y(), d->lbl_Blinds->y() + d->lbl_Blinds->height());
    }

    void pausedOnTheDisplay_data()
    {
        QTest::addColumn<bool>("scaled");
        QTest::addColumn<QRect>("screen");
        QTest::newRow("the design's sizes") << false << QRect(0, 0, 1024, 768);
        QTest::newRow("scaled to a TV") << true << QRect(0, 0, 3840, 2160);
        QTest::newRow("the smallest screen") << false << QRect(0, 0, 734, 568);
    }

    // "Show PAUSED on the players' display": P shows it and P hides it again, large, in the
    // title's colour, under the ante, moving none of the other labels; off, never; ticked
    // during a pause, at once.
    void pausedOnTheDisplay()
    {
        QFETCH(bool, scaled);
        QFETCH(QRect, screen);
        frm->cmd_Title->setColour(0x00ff00);
        frm_Display *d = startGame(scaled);
        d->layOut(screen);
        const auto shown = [d] { return d->lbl_Paused->isVisibleTo(d); };
        const auto places = [d] {
            QList<QRect> r;
            for (QLabel *l :
                 {d->lbl_title, d->lbl_currentRound, d->lbl_nextRound, d->lbl_elapsed, d->lbl_Blinds, d->lbl_ante})
                r << l->geometry();
            return r;
        };
        const QList<QRect> before = places();
        d->Form_KeyDown(DisplayKey::P, 0);
        QVERIFY(!shown()); // off
        MoreOptions on = frm->moreOptions;
        on.showPaused = true;
        frm->moreOptionsChanged(on);
        QVERIFY(shown());
        QCOMPARE(d->lbl_Paused->text(), QStringLiteral("PAUSED"));
        QCOMPARE(d->lbl_Paused->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        QCOMPARE(d->lbl_Paused->font().pointSizeF(), d->lbl_ante->font().pointSizeF());
        QVERIFY(d->lbl_Paused->y() >= d->lbl_ante->geometry().bottom());
        QVERIFY(d->lbl_Paused->geometry().bottom() < screen.height() + 1);
        QCOMPARE(places(), before);
        d->Form_KeyDown(DisplayKey::P, 0);
        QVERIFY(!shown());
        d->Form_KeyDown(DisplayKey::P, 0);
        QVERIFY(shown());
        d->Form_KeyDown(DisplayKey::Space, 0); // a skip while paused stays paused
        QVERIFY(shown());
    }
};

QTEST_MAIN(TestDisplayScale)
#include "test_display_scale.moc"
