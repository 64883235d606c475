// Start (the window loading its settings) and exit (the settings written) with the
// 32-key settings file, and with a settings file of 1 MB (the 32 keys among comment lines).
//   bench_settings [runs]

#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void measure(const char *what, const QByteArray &content, int runs)
{
    std::vector<double> start, exit;
    for (int r = 0; r < runs; ++r) {
        fake::Platform fakes;
        QFile f(fakes.folder.filePath(QStringLiteral("chiplark.ini")));
        if (!f.open(QIODevice::WriteOnly))
            return;
        f.write(content);
        f.close();
        QElapsedTimer t;
        t.start();
        auto frm = std::make_unique<frm_Chiplark>(fakes.services());
        start.push_back(t.nsecsElapsed() / 1e6);
        frm->txt_Title->setText(QStringLiteral("Run %1").arg(r));
        t.restart();
        frm->Form_Unload();
        exit.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("%-28s start median %.2f ms (worst %.2f), exit median %.2f ms (worst %.2f)\n", what, median(start),
                *std::max_element(start.begin(), start.end()), median(exit),
                *std::max_element(exit.begin(), exit.end()));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 30;
    QByteArray keys;
    {
        // The file a first run writes.
        fake::Platform fakes;
        frm_Chiplark(fakes.services()).Form_Unload();
        QFile f(fakes.folder.filePath(QStringLiteral("chiplark.ini")));
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        keys = f.readAll();
    }
    QByteArray big = keys;
    const QByteArray comment("; a comment line to make the file large, as a careless tool might leave it\r\n");
    while (big.size() + comment.size() < 1000 * 1000)
        big += comment;
    measure("32-key file", keys, runs);
    measure("1 MB file", big, runs);
    return 0;
}
