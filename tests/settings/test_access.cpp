// The settings window for people who use a screen reader, the keyboard or a dark theme.

#include "display/frm_Display.h"
#include "settings/Contrast.h"
#include "settings/ReadableStyle.h"
#include "support/GameDriver.h"
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

private slots:
    // The least change that reaches the ratio: none when it is reached, lighter on a dark
    // background, darker on a light one.
    void colourWithContrast()
    {
        const std::tuple<const char *, QColor, QColor, double, bool> cases[] = {
            {"a dark theme's link", QColor("#3584e4"), QColor("#353535"), 4.5, false},
            {"a dark theme's outline", QColor("#2a2a2a"), QColor("#353535"), 3.0, false},
            {"a light theme's link", QColor("#0000ff"), QColor("#efefef"), 4.5, true},
            {"a faint grey on white", QColor("#dddddd"), QColor("#ffffff"), 3.0, false},
            {"black on white", QColor(Qt::black), QColor(Qt::white), 21.0, true}};
        for (const auto &[row, colour, background, ratio, unchanged] : cases) {
            const QColor readable = withContrast(colour, background, ratio);
            QVERIFY2(contrastRatio(readable, background) >= ratio - 1e-9, row);
            QVERIFY2((readable == colour) == unchanged, row);
            QVERIFY2(unchanged || contrastRatio(readable, background) < ratio + 0.1, row); // no further than needed
            QVERIFY2(unchanged || (readable.lightnessF() > colour.lightnessF()) == isDark(background), row);
        }
    }

    // Drawn, not only computed: under a dark palette the outline of an unticked check box and
    // radio button reaches 3:1 against the window and the manual's link 4.5:1; under the light
    // palette they are drawn exactly as the plain style draws them.
    void readableInADarkTheme()
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

        auto *readable = qobject_cast<QProxyStyle *>(QApplication::style());
        QVERIFY(readable && readable->baseStyle());
        std::unique_ptr<QStyle> plain(QStyleFactory::create(readable->baseStyle()->name()));
        QVERIFY(plain);
        for (QWidget *w : std::initializer_list<QWidget *>{radio, box}) {
            const QImage light = w->grab().toImage();
            w->setStyle(plain.get());
            QCOMPARE(w->grab().toImage(), light);
            w->setStyle(nullptr);
        }
        QCOMPARE(frm->Label15->palette().color(QPalette::Link), frm->palette().color(QPalette::Link));

        // Dark, as GNOME's Adwaita-dark gives it.
        const std::pair<QPalette::ColorRole, const char *> adwaitaDark[] = {{QPalette::Window, "#353535"},
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
                                                                            {QPalette::Link, "#3584e4"}};
        QPalette dark;
        for (const auto &[role, colour] : adwaitaDark)
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

    // A frame is a named group, the manual link a link in the theme's link colour; the display too has names.
    void everyControlHasAName()
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

        const QList<Frame *> frames = frm->findChildren<Frame *>();
        QCOMPARE(frames.size(), 9);
        for (Frame *f : frames) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(f);
            QVERIFY(a);
            QCOMPARE(a->role(), QAccessible::Grouping);
            QVERIFY(!a->text(QAccessible::Name).isEmpty());
            if (!f->title().isEmpty())
                QCOMPARE(a->text(QAccessible::Name), f->title());
        }

        QAccessibleInterface *link = QAccessible::queryAccessibleInterface(frm->Label15);
        QCOMPARE(link->role(), QAccessible::Link);
        QCOMPARE(link->text(QAccessible::Name), frm_Chiplark::LinkText);
        QCOMPARE(frm->Label15->foregroundRole(), QPalette::Link);

        frm->opt_Blinds[1]->setChecked(true);
        frm->cmd_Start_Click();
        QVERIFY(frm->displayWindow());
        QCOMPARE(unnamed(frm->displayWindow()), QStringList());
        QVERIFY(!name(frm->displayWindow()).isEmpty());
    }

    // Enter on a colour swatch opens its dialog and Enter or Space on the manual link (which Tab
    // reaches after Exit) opens the manual: neither starts the game (a text box: TestWindow::keyboard).
    void enterPressesTheFocusedControl()
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
        frm->cmd_Exit->setFocus();
        QTest::keyClick(frm->cmd_Exit, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frm->Label15));
        QTest::keyClick(frm->Label15, Qt::Key_Return);
        QCOMPARE(fakes->shell.addresses.size(), 1);
        QTest::keyClick(frm->Label15, Qt::Key_Space);
        QCOMPARE(fakes->shell.addresses.size(), 2);
        QVERIFY(!frm->tmr_rounds->isActive());
    }

    void addShowsTheNewRound()
    {
        frm->show();
        QVERIFY(QTest::qWaitForWindowExposed(frm));
        QStringList rows;
        for (int i = 1; i <= 40; ++i)
            rows << QStringLiteral("%1/%2/600").arg(i * 10).arg(i * 20);
        drive::setSchedule(*frm, rows);
        frm->lst_Blinds->setListIndex(2);
        frm->lst_Blinds->scrollToTop();
        fakes->inputBox.answers = {"500", "1000", "10"};
        frm->cmd_BlindAdd_Click();
        QCOMPARE(frm->lst_Blinds->listCount(), 41);
        QCoreApplication::processEvents();
        const QRect shown = frm->lst_Blinds->visualRect(frm->lst_Blinds->model()->index(40, 0));
        QVERIFY2(frm->lst_Blinds->viewport()->rect().contains(shown),
                 qPrintable(QStringLiteral("the new round is at y %1").arg(shown.y())));
        QCOMPARE(frm->lst_Blinds->listIndex(), 2);
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
