// Times loading the largest saved structure (32,767 rounds) from the load box, the list
// re-rendered; and saving it again.

#include "blinds/SavedStructures.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    fake::Platform fakes;
    QDir(fakes.folder.path()).mkdir(QStringLiteral("Saved Blinds"));
    {
        QFile f(structurePath(fakes.folder.path(), QStringLiteral("big")));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < MaxRounds; ++i)
            f.write(QByteArray::number(25 + i) + "," + QByteArray::number(50 + 2 * i) + ",1200\r\n");
    }
    frm_Chiplark frm(fakes.services());
    frm.cmb_BlindLoad->setCurrentIndex(0);

    const int runs = 30;
    std::vector<double> load, save;
    QElapsedTimer t;
    for (int r = 0; r < runs; ++r) {
        t.start();
        frm.cmb_BlindLoad_LostFocus();
        frm.lst_Blinds->doItemsLayout();
        load.push_back(t.nsecsElapsed() / 1e6);
    }
    for (int r = 0; r < runs; ++r) {
        fakes.inputBox.answers = {QStringLiteral("copy")};
        fakes.messageBox.answers = {platform::Answer::Yes};
        t.start();
        frm.cmd_BlindSave_Click();
        save.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(load.begin(), load.end());
    std::sort(save.begin(), save.end());
    std::printf("rows loaded: %d, last line: %s\n", frm.lst_Blinds->listCount(),
                qPrintable(frm.lst_Blinds->list(frm.lst_Blinds->listCount() - 1)));
    std::printf("load 32767-line .bld: median %.2f ms, worst %.2f ms over %d runs\n", load[runs / 2], load.back(),
                runs);
    std::printf("save 32767-line .bld: median %.2f ms, worst %.2f ms over %d runs\n", save[runs / 2], save.back(),
                runs);
    return 0;
}
