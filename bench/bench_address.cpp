// How long the window's thread is held when the page is turned on (its address read and kept)
// and when a new address and PIN are asked, with the address file in TMPDIR; run it with
// slow_fsync preloaded for a slow disk:
//   LD_PRELOAD=build-bench/bench/libslow_fsync.so bench_address [runs]
#include "page/ClockServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> start, renew;
    for (int r = 0; r < runs; ++r) {
        QTemporaryDir dir;
        page::ClockServer server;
        server.setAddressFile(dir.filePath(QStringLiteral("page-address")));
        QString why;
        QElapsedTimer t;
        t.start();
        if (!server.start(&why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return 1;
        }
        start.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        server.renewAddress(&why);
        renew.push_back(t.nsecsElapsed() / 1e6);
        server.stop();
    }
    std::sort(start.begin(), start.end());
    std::sort(renew.begin(), renew.end());
    std::printf("page turned on: median %.1f ms, longest %.1f ms\n", start[start.size() / 2], start.back());
    std::printf("new address:    median %.1f ms, longest %.1f ms\n", renew[renew.size() / 2], renew.back());
    return 0;
}
