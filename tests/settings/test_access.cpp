// The settings window for people who use a screen reader or the keyboard: every control
// has a name, the frames are groups, the manual link is a link that Tab reaches and Enter
// opens; Enter on a button presses that button, elsewhere it starts the game; Add shows
// the round it added.

#include "display/frm_Display.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/WindowTest.h"

#include <QAccessible>
#include <QtTest>

class TestAccess : public WindowTest {
    Q_OBJECT
private slots:
    void everyControlHasAName();
    void enterPressesTheFocusedButton();
    void linkByKeyboard();
    void addShowsTheNewRound();

private:
    static QString name(QObject *o)
    {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(o);
        return a ? a->text(QAccessible::Name) : QString();
    }
    static QStringList unnamed(QWidget *window)
    {
        QStringList missing;
        for (QWidget *w : window->findChildren<QWidget *>())
            if ((w->focusPolicy() & Qt::TabFocus) && name(w).trimmed().isEmpty())
                missing << QString::fromLatin1(w->metaObject()->className()) + " " + w->objectName();
        return missing;
    }
};

void TestAccess::everyControlHasAName()
{
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QCOMPARE(unnamed(frm).join(", "), QString());
    QCOMPARE(name(frm->txt_Small), QStringLiteral("Small Blind:"));
    QCOMPARE(name(frm->cmd_back), QStringLiteral("Background Colour"));
    QCOMPARE(name(frm->lst_Blinds), QStringLiteral("Blind structure"));
    QCOMPARE(name(frm->cmb_voices), QStringLiteral("Voice:"));

    int frames = 0;
    for (Frame *f : frm->findChildren<Frame *>()) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(f);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::Grouping);
        QVERIFY(!a->text(QAccessible::Name).isEmpty());
        if (!f->title().isEmpty())
            QCOMPARE(a->text(QAccessible::Name), f->title());
        ++frames;
    }
    QCOMPARE(frames, 9);

    QAccessibleInterface *link = QAccessible::queryAccessibleInterface(frm->Label15);
    QCOMPARE(link->role(), QAccessible::Link);
    QCOMPARE(link->text(QAccessible::Name), frm_Chiplark::LinkText);
    // The theme's link colour, not a fixed blue.
    QCOMPARE(frm->Label15->foregroundRole(), QPalette::Link);

    // The display, once a game has made it.
    frm->opt_Blinds[1]->setChecked(true);
    frm->cmd_Start_Click();
    QVERIFY(frm->displayWindow());
    QCOMPARE(unnamed(frm->displayWindow()), QStringList());
    QVERIFY(!name(frm->displayWindow()).isEmpty());
}

void TestAccess::enterPressesTheFocusedButton()
{
    frm->show();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    int expected = 0;
    for (ColourButton *swatch : {frm->cmd_back, frm->cmd_fore, frm->cmd_ante, frm->cmd_Title}) {
        swatch->setFocus();
        QTest::keyClick(swatch, Qt::Key_Return);
        QCOMPARE(fakes->colourDialog.calls.size(), size_t(++expected));
        QCOMPARE(fakes->colourDialog.calls.back(), swatch->colour());
        QVERIFY(!frm->tmr_rounds->isActive());
    }
    // Enter in a text box starts the game.
    frm->opt_Blinds[1]->setChecked(true);
    frm->txt_Title->setFocus();
    QTest::keyClick(frm->txt_Title, Qt::Key_Return);
    QVERIFY(frm->tmr_rounds->isActive());
    QVERIFY(frm->displayWindow() && frm->displayWindow()->isVisible());
}

void TestAccess::linkByKeyboard()
{
    frm->show();
    QVERIFY(QTest::qWaitForWindowActive(frm));
    frm->cmd_Exit->setFocus();
    QTest::keyClick(frm->cmd_Exit, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frm->Label15));
    QTest::keyClick(frm->Label15, Qt::Key_Return);
    QCOMPARE(fakes->shell.addresses.size(), 1);
    QTest::keyClick(frm->Label15, Qt::Key_Space);
    QCOMPARE(fakes->shell.addresses.size(), 2);
    QVERIFY(!frm->tmr_rounds->isActive()); // Enter on the link is not Start
    // ... and the design's order before it is unchanged: Start, then Exit, then the link.
    frm->cmd_Start->setFocus();
    QTest::keyClick(frm->cmd_Start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frm->cmd_Exit));
}

void TestAccess::addShowsTheNewRound()
{
    frm->show();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QStringList small, big, time;
    for (int i = 1; i <= 40; ++i) {
        small << QString::number(i * 10);
        big << QString::number(i * 20);
        time << QStringLiteral("600");
    }
    frm->lst_Small.setItems(small);
    frm->lst_Big.setItems(big);
    frm->lst_Time.setItems(time);
    frm->regenList();
    frm->lst_Blinds->setListIndex(2);
    frm->lst_Blinds->scrollToTop();
    fakes->inputBox.answers = {"500", "1000", "10"};
    frm->cmd_BlindAdd_Click();
    QCOMPARE(frm->lst_Blinds->listCount(), 41);
    QCoreApplication::processEvents();
    const QRect shown = frm->lst_Blinds->visualRect(frm->lst_Blinds->model()->index(40, 0));
    QVERIFY2(frm->lst_Blinds->viewport()->rect().contains(shown),
             qPrintable(QStringLiteral("the new round is at y %1").arg(shown.y())));
    QCOMPARE(frm->lst_Blinds->listIndex(), 2); // the selection unchanged
}

QTEST_MAIN(TestAccess)
#include "test_access.moc"
