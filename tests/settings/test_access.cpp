// The settings window for people who use a screen reader or the keyboard: every control
// has a name, the frames are groups, the manual link is a link that Tab reaches and Enter
// opens; Enter on a button presses that button, elsewhere it starts the game; Add shows
// the round it added; in a dark theme the indicators and the link stay readable.

#include "display/frm_Display.h"
#include "settings/Contrast.h"
#include "settings/ReadableStyle.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/WindowTest.h"

#include <QAccessible>
#include <QCheckBox>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QtTest>
#include <memory>

class TestAccess : public WindowTest {
    Q_OBJECT
private slots:
    void everyControlHasAName();
    void enterPressesTheFocusedButton();
    void linkByKeyboard();
    void addShowsTheNewRound();
    void colourWithContrast_data();
    void colourWithContrast();
    void readableInADarkTheme();

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

void TestAccess::colourWithContrast_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<bool>("unchanged");
    QTest::newRow("a dark theme's link") << QColor("#3584e4") << QColor("#353535") << 4.5 << false;
    QTest::newRow("a dark theme's outline") << QColor("#2a2a2a") << QColor("#353535") << 3.0 << false;
    QTest::newRow("a light theme's link") << QColor("#0000ff") << QColor("#efefef") << 4.5 << true;
    QTest::newRow("a faint grey on white") << QColor("#dddddd") << QColor("#ffffff") << 3.0 << false;
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0 << true;
}

// The least change that reaches the ratio: none when it is reached, lighter on a dark
// background, darker on a light one.
void TestAccess::colourWithContrast()
{
    QFETCH(QColor, colour);
    QFETCH(QColor, background);
    QFETCH(double, ratio);
    QFETCH(bool, unchanged);
    const QColor readable = withContrast(colour, background, ratio);
    QVERIFY(contrastRatio(readable, background) >= ratio - 1e-9);
    QCOMPARE(readable == colour, unchanged);
    if (!unchanged) {
        QVERIFY(contrastRatio(readable, background) < ratio + 0.1); // no further than needed
        QCOMPARE(readable.lightnessF() > colour.lightnessF(), isDark(background));
    }
}

// Drawn, not only computed: under a dark palette the outline of an unticked check box and
// radio button reaches 3:1 against the window and the manual's link 4.5:1; under the light
// palette they are drawn exactly as the plain style draws them.
void TestAccess::readableInADarkTheme()
{
    frm->show();
    const auto indicatorContrast = [](QWidget *box, QStyle::SubElement indicator) {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect area = box->style()->subElementRect(indicator, &option, box);
        const QImage image = box->grab().toImage();
        const QColor window = box->palette().color(QPalette::Window);
        double best = 1;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                best = std::max(best, contrastRatio(image.pixelColor(x, y), window));
        return best;
    };
    QRadioButton *radio = frm->opt_Blinds[1];
    QCheckBox *box = frm->chk_playWav;
    QVERIFY(!radio->isChecked() && box->checkState() == Qt::Unchecked && radio->isEnabled() && box->isEnabled());

    // Light: the same pixels as the plain style's.
    const QImage lightRadio = radio->grab().toImage(), lightBox = box->grab().toImage();
    auto *readable = qobject_cast<QProxyStyle *>(QApplication::style());
    QVERIFY(readable && readable->baseStyle());
    std::unique_ptr<QStyle> plain(QStyleFactory::create(readable->baseStyle()->name()));
    QVERIFY(plain);
    radio->setStyle(plain.get());
    box->setStyle(plain.get());
    QCOMPARE(radio->grab().toImage(), lightRadio);
    QCOMPARE(box->grab().toImage(), lightBox);
    radio->setStyle(nullptr);
    box->setStyle(nullptr);
    QCOMPARE(frm->Label15->palette().color(QPalette::Link), frm->palette().color(QPalette::Link));

    // Dark, as GNOME's Adwaita-dark gives it.
    QPalette dark;
    for (const auto &[role, colour] :
         std::initializer_list<std::pair<QPalette::ColorRole, const char *>>{{QPalette::Window, "#353535"},
                                                                             {QPalette::WindowText, "#eeeeec"},
                                                                             {QPalette::Base, "#2d2d2d"},
                                                                             {QPalette::Text, "#eeeeec"},
                                                                             {QPalette::Button, "#353535"},
                                                                             {QPalette::ButtonText, "#eeeeec"},
                                                                             {QPalette::AlternateBase, "#353535"},
                                                                             {QPalette::BrightText, "#ffffff"},
                                                                             {QPalette::Light, "#4a4a4a"},
                                                                             {QPalette::Midlight, "#404040"},
                                                                             {QPalette::Mid, "#2a2a2a"},
                                                                             {QPalette::Dark, "#1e1e1e"},
                                                                             {QPalette::Shadow, "#000000"},
                                                                             {QPalette::Highlight, "#15539e"},
                                                                             {QPalette::HighlightedText, "#ffffff"},
                                                                             {QPalette::Link, "#3584e4"}})
        dark.setColor(role, QColor(colour));
    frm->setPalette(dark);
    QVERIFY(indicatorContrast(radio, QStyle::SE_RadioButtonIndicator) >= ReadableStyle::IndicatorRatio);
    QVERIFY(indicatorContrast(box, QStyle::SE_CheckBoxIndicator) >= ReadableStyle::IndicatorRatio);
    radio->setStyle(plain.get()); // what the plain style leaves
    QVERIFY(indicatorContrast(radio, QStyle::SE_RadioButtonIndicator) < ReadableStyle::IndicatorRatio);
    radio->setStyle(nullptr);
    QVERIFY(contrastRatio(frm->Label15->palette().color(QPalette::Link), dark.color(QPalette::Window))
            >= ReadableStyle::LinkRatio);
}

void TestAccess::everyControlHasAName()
{
    frm->show();
    // A drop-down box keeps its name with a value in it; the value is its value.
    frm->cmb_voices->addItem(QStringLiteral("English (Great Britain)"));
    frm->cmb_voices->setCurrentIndex(0);
    QAccessibleInterface *voices = QAccessible::queryAccessibleInterface(frm->cmb_voices);
    QCOMPARE(voices->text(QAccessible::Name), frm->Label5->text());
    QCOMPARE(voices->text(QAccessible::Value), QStringLiteral("English (Great Britain)"));
    QCOMPARE(voices->role(), QAccessible::ComboBox);
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
