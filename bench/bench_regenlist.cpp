// Times the re-rendering of the largest schedule: regenList alone, and one keystroke in
// the currency box (which re-renders through its change event) with the list repainted.

#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    fake::Platform fakes;
    frm_Chiplark frm(fakes.services());
    frm.show();
    if (!QTest::qWaitForWindowExposed(&frm))
        return 1;

    QElapsedTimer t;
    t.start();
    for (int i = 0; i < MaxRounds; ++i) {
        frm.lst_Small.addItem(QString::number(25 + i));
        frm.lst_Big.addItem(QString::number(50 + 2 * i));
        frm.lst_Time.addItem(QStringLiteral("1200"));
    }
    const double fillMs = t.nsecsElapsed() / 1e6;

    const int runs = 200;
    std::vector<double> regen, keystroke;
    for (int r = 0; r < runs; ++r) {
        t.restart();
        frm.regenList();
        frm.lst_Blinds->doItemsLayout();
        regen.push_back(t.nsecsElapsed() / 1e6);
    }
    frm.txt_currency->setFocus();
    for (int r = 0; r < runs; ++r) {
        t.restart();
        QTest::keyClick(frm.txt_currency, r % 2 ? Qt::Key_Backspace : Qt::Key_E);
        // Let the list lay itself out again, then paint it.
        frm.lst_Blinds->doItemsLayout();
        frm.lst_Blinds->viewport()->repaint();
        keystroke.push_back(t.nsecsElapsed() / 1e6);
    }
    // For scale: making every one of the 32,767 lines, as an eager list would on each keystroke.
    t.restart();
    qsizetype chars = 0;
    for (int i = 0; i < frm.lst_Blinds->listCount(); ++i)
        chars += frm.lst_Blinds->list(i).size();
    const double allLinesMs = t.nsecsElapsed() / 1e6;
    std::printf("all %d lines formatted once: %.1f ms (%lld characters)\n", frm.lst_Blinds->listCount(), allLinesMs,
                static_cast<long long>(chars));
    std::printf("rows: %d (columns filled in %.1f ms)\n", frm.lst_Blinds->listCount(), fillMs);
    std::printf("regenList: median %.3f ms, worst %.3f ms over %d runs\n", median(regen),
                *std::max_element(regen.begin(), regen.end()), runs);
    std::printf("currency keystroke + list repaint: median %.3f ms, worst %.3f ms over %d runs\n", median(keystroke),
                *std::max_element(keystroke.begin(), keystroke.end()), runs);
    std::printf("last line: %s\n", qPrintable(frm.lst_Blinds->list(MaxRounds - 1)));
    return 0;
}
