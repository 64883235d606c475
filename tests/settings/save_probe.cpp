// Saves the settings over and over, for the test that kills a save at random moments:
//   save_probe FOLDER
// Every save writes all the keys from one of two complete sets of values, "A" and "B" in
// turn; each set's title names it, and every other text value ends with it.

#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    fake::Platform fakes;
    fakes.files.folder = QString::fromLocal8Bit(argv[1]);
    frm_Chiplark frm(fakes.services());
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0;; ++i) {
        const QString set = i % 2 == 0 ? QStringLiteral("A") : QStringLiteral("B");
        frm.txt_Title->setText(QStringLiteral("Set ") + set);
        for (QLineEdit *box : {frm.txt_Small, frm.txt_Big, frm.txt_AutoRounds, frm.txt_AutoTime, frm.txt_blindFactor,
                               frm.txt_BlindValue, frm.txt_BlindPercentage, frm.txt_Break, frm.txt_breakTime,
                               frm.txt_currency, frm.txt_ante, frm.txt_AnteRound, frm.txt_AnteFactor, frm.txt_wavpath})
            box->setText(QStringLiteral("1") + set);
        frm.phrases.Start = frm.phrases.And = frm.phrases.Break = QStringLiteral("phrase ") + set;
        frm.saveSettings();
    }
}
