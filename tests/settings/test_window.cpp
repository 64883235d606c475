#include "display/frm_Display.h"
#include "support/GameDriver.h"
#include "support/WindowTest.h"

#include <QtTest>

class TestWindow : public WindowTest {
    Q_OBJECT
private slots:
    // A fresh window: its title, defaults, the custom section usable and the automatic one not.
    void initialState()
    {
        QCOMPARE(frm->windowTitle(), QStringLiteral("Chiplark! - version 1.0"));
        // The defaults that are saved are checked in the file a fresh start writes
        // (TestSettings::freshStartWritesEveryKey); these are not saved.
        QVERIFY(frm->opt_Blinds[0]->isChecked());
        QCOMPARE(frm->Check1->value(), 0);
        QCOMPARE(frm->cmb_BlindLoad->currentIndex(), -1);
        QCOMPARE(frm->lst_Blinds->listCount(), 0);

        for (QWidget *w : std::initializer_list<QWidget *>{
                 frm->cmb_BlindLoad, frm->lst_Blinds,    frm->cmd_BlindAdd,  frm->cmd_BlindRem, frm->cmd_BlindUp,
                 frm->cmd_BlindDown, frm->cmd_BlindSave, frm->cmd_Clear,     frm->Command1,     frm->txt_Title,
                 frm->fme_AnteAmt,   frm->txt_Break,     frm->txt_breakTime, frm->txt_currency, frm->cmd_back,
                 frm->cmd_fore,      frm->cmd_ante,      frm->cmd_Title,     frm->Check1,       frm->chk_playWav,
                 frm->cmd_Start,     frm->cmd_Exit})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        for (QWidget *w : std::initializer_list<QWidget *>{
                 frm->txt_Small, frm->txt_Big, frm->txt_AutoRounds, frm->txt_AutoTime, frm->opt_AutoIncrease[0],
                 frm->opt_AutoIncrease[1], frm->opt_AutoIncrease[2], frm->txt_blindFactor, frm->txt_BlindValue,
                 frm->txt_BlindPercentage, frm->txt_ante, frm->txt_AnteRound, frm->txt_AnteFactor, frm->cmb_voices,
                 frm->cmd_Voice, frm->txt_wavpath, frm->cmd_browse, frm->cmd_wavtest})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));

        for (QTimer *t : {frm->tmr_rounds, frm->tmr_break}) {
            QVERIFY(!t->isActive());
            QCOMPARE(t->interval(), 1000);
            QCOMPARE(t->timerType(), Qt::PreciseTimer);
        }
    }

    // Tab walks the controls section by section; the window opens with the focus in the title box.
    void tabOrder()
    {
        const QList<QWidget *> expected = {
            // The title, then the custom structure.
            frm->txt_Title, frm->opt_Blinds[0], frm->cmb_BlindLoad, frm->lst_Blinds, frm->cmd_Clear, frm->cmd_BlindAdd,
            frm->cmd_BlindRem, frm->cmd_BlindUp, frm->cmd_BlindDown, frm->cmd_BlindSave,
            // The automatic structure.
            frm->opt_Blinds[1], frm->txt_Small, frm->txt_Big, frm->txt_AutoRounds, frm->txt_AutoTime,
            frm->opt_AutoIncrease[0], frm->txt_blindFactor, frm->opt_AutoIncrease[1], frm->txt_BlindValue,
            frm->opt_AutoIncrease[2], frm->txt_BlindPercentage, frm->Command1,
            // Antes, breaks, the currency, colours and sound.
            frm->opt_Ante[0], frm->opt_Ante[1], frm->txt_ante, frm->txt_AnteRound, frm->opt_AnteRaise[0],
            frm->opt_AnteRaise[1], frm->txt_AnteFactor, frm->opt_Break[0], frm->txt_Break, frm->txt_breakTime,
            frm->opt_Break[1], frm->opt_currency[0], frm->txt_currency, frm->opt_currency[1], frm->cmd_back,
            frm->cmd_fore, frm->cmd_ante, frm->cmd_Title, frm->Check1, frm->cmb_voices, frm->cmd_Voice,
            frm->chk_playWav, frm->txt_wavpath, frm->cmd_browse, frm->cmd_wavtest,
            // The buttons, the manual link, and "More options…" last.
            frm->cmd_Start, frm->cmd_Exit, frm->Label15, frm->cmd_Screens};

        // Walk the focus chain from the title box and keep the controls that take Tab focus.
        QList<QWidget *> chain;
        QWidget *w = frm->txt_Title;
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w;
            w = w->nextInFocusChain();
        } while (w != frm->txt_Title && chain.size() <= expected.size());
        QCOMPARE(chain, expected);

        frm->show();
        QVERIFY(QTest::qWaitForWindowActive(frm));
        QCOMPARE(QApplication::focusWidget(), frm->txt_Title);
    }

    // Controls where the layout puts them; every caption fits its control.
    void layoutInTwips()
    {
        QCOMPARE(frm->size(), QSize(601, 550));
        QCOMPARE(frm->fme_Blinds->geometry(), QRect(8, 48, 401, 345));
        QCOMPARE(frm->lst_Blinds->geometry(), QRect(16, 72, 305, 134));
        QCOMPARE(frm->txt_AnteFactor->geometry(), QRect(136, 40, 17, 19));
        QCOMPARE(frm->cmd_Start->geometry(), QRect(496, 432, 97, 33));
        QCOMPARE(frm->cmd_Title->parentWidget(), frm->fme_Colour);
        QCOMPARE(frm->txt_AnteFactor->parentWidget(), frm->fme_AnteAmt);
        QCOMPARE(frm->txt_blindFactor->parentWidget(), frm->Frame1);
        for (QAbstractButton *b : frm->findChildren<QAbstractButton *>()) {
            if (b->text().isEmpty())
                continue;
            const QStyle::PixelMetric indicator =
                qobject_cast<QRadioButton *>(b) ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth;
            int need = b->style()->pixelMetric(indicator) + b->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing)
                       + b->fontMetrics().horizontalAdvance(b->text());
            if (qobject_cast<WrapButton *>(b)) { // a wrapping button needs room for its longest word only
                need = 0;
                for (const QString &word : b->text().split(' '))
                    need = std::max(need, b->fontMetrics().horizontalAdvance(word) + 6);
            } else if (qobject_cast<QPushButton *>(b)) {
                need = b->fontMetrics().horizontalAdvance(b->text()) + 6;
            }
            QVERIFY2(need <= b->width(), qPrintable(b->text()));
        }
        for (QLabel *l : frm->findChildren<QLabel *>())
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
        // Every control lies inside the frame or window that holds it, and no two frames or
        // buttons side by side cover each other.
        const QList<QWidget *> all = frm->findChildren<QWidget *>();
        const auto name = [](const QWidget *w) {
            return QStringLiteral("%1 at %2,%3").arg(w->metaObject()->className()).arg(w->x()).arg(w->y());
        };
        for (QWidget *w : all) {
            if (!w->isWindow() && w->isVisibleTo(frm) && w->parentWidget()->inherits("Frame")) {
                QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(name(w)));
            } else if (w->parentWidget() == frm && !w->isWindow()
                       && (w->inherits("Frame") || w->inherits("QPushButton"))) {
                QVERIFY2(frm->rect().contains(w->geometry()), qPrintable(name(w)));
                for (QWidget *o : all)
                    QVERIFY2(o == w || o->parentWidget() != frm || !(o->inherits("Frame") || o->inherits("QPushButton"))
                                 || !o->geometry().intersects(w->geometry()),
                             qPrintable(name(w) + " and " + name(o)));
            }
        }
    }

    // The list is rendered again from its three columns, with nothing selected, at every keystroke
    // in the symbol box; "no symbol" drops it and disables the box.
    void listAndCurrency()
    {
        frm->regenList();
        QCOMPARE(frm->lst_Blinds->listCount(), 0);
        drive::setSchedule(*frm, {"25/50/1200", "50/100/1200", "100/200/1200"});
        frm->lst_Blinds->setListIndex(2);
        frm->regenList();
        QCOMPARE(frm->lst_Blinds->listIndex(), -1);
        QCOMPARE(frm->lst_Small.items(), QStringList({"25", "50", "100"}));
        QCOMPARE(frm->lst_Blinds->list(2), QStringLiteral("Round 3: \u00A3100/\u00A3200 for 20 mins."));

        frm->txt_currency->setText(QStringLiteral("EUR "));
        QCOMPARE(frm->gameState.currencySymbol, QStringLiteral("EUR "));
        QCOMPARE(frm->lst_Blinds->list(1), QStringLiteral("Round 2: EUR 50/EUR 100 for 20 mins."));
        frm->txt_currency->setText(QStringLiteral("$"));
        frm->opt_currency[1]->setChecked(true);
        QCOMPARE(frm->gameState.currencySymbol, QString());
        QCOMPARE(frm->lst_Blinds->list(0), QStringLiteral("Round 1: 25/50 for 20 mins."));
        QVERIFY(!frm->txt_currency->isEnabled());
        frm->opt_currency[0]->setChecked(true);
        QVERIFY(frm->txt_currency->isEnabled());
        QCOMPARE(frm->lst_Blinds->list(0), QStringLiteral("Round 1: $25/$50 for 20 mins."));
    }

    // Enter in a text box is Start; Escape is Exit, unless just after leaving the game (meant for the display).
    void keyboard()
    {
        QVERIFY(frm->cmd_Start->isDefault());
        frm->show();
        QVERIFY(QTest::qWaitForWindowActive(frm));
        drive::setSchedule(*frm, {"25/50/600"});
        frm->txt_Title->setFocus();
        QTest::keyClick(frm->txt_Title, Qt::Key_Return);
        QVERIFY(frm->tmr_rounds->isActive());
        QVERIFY(frm->displayWindow() && frm->displayWindow()->isVisible());

        frm->displayWindow()->Form_KeyDown(DisplayKey::Escape, 0);
        QTest::keyClick(frm->txt_Title, Qt::Key_Escape);
        QVERIFY(frm->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!frm->displayWindow()->leftWithin(frm_Chiplark::EscapeGraceMs), 5000);
        QTest::keyClick(frm->txt_Title, Qt::Key_Escape);
        QVERIFY(!frm->isVisible());
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
