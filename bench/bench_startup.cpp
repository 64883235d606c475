// Start-up time to the settings window shown on the screen, beside a bare Qt window made
// the same way, each in a fresh process; and the settings window's peak memory.
// Usage: bench_startup [runs, default 20]   (bench_startup --child bare|chiplark runs one)

#include "platform/QtPlatform.h"
#include "settings/frm_Chiplark.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

static int child(int argc, char *argv[], bool bare)
{
    QElapsedTimer t;
    t.start();
    QApplication app(argc, argv);
    const qint64 appMs = t.elapsed();
    platform::QtPlatform platform;
    std::unique_ptr<QWidget> window;
    if (bare)
        window = std::make_unique<QWidget>();
    else
        window = std::make_unique<frm_Chiplark>(platform.services());
    const qint64 builtMs = t.elapsed();
    window->show();
    if (qEnvironmentVariableIsSet("CHIPLARK_STARTUP_STEPS"))
        std::fprintf(stderr, "application %lld ms, window built %lld ms, shown %lld ms\n", appMs, builtMs, t.elapsed());
    // Shown and painted: leave at the first turn of the event loop after that.
    QTimer::singleShot(0, &app, [&] {
        window->repaint();
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        std::printf("%ld\n", u.ru_maxrss);
        std::fflush(stdout);
        std::_Exit(0); // the time to close down is not start-up time
    });
    return app.exec();
}

int main(int argc, char *argv[])
{
    if (argc > 2 && QByteArray(argv[1]) == "--child")
        return child(argc, argv, QByteArray(argv[2]) == "bare");

    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const auto measure = [&](const char *mode, long *peakKb) {
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            QProcess p;
            QElapsedTimer t;
            t.start();
            p.start(QString::fromLocal8Bit(argv[0]), {"--child", mode});
            p.waitForFinished(30000);
            ms.push_back(t.nsecsElapsed() / 1e6);
            *peakKb = std::max(*peakKb, p.readAllStandardOutput().trimmed().toLong());
        }
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    };
    long bareKb = 0, chiplarkKb = 0;
    const double bare = measure("bare", &bareKb);
    const double chiplark = measure("chiplark", &chiplarkKb);
    std::printf("bare Qt window: median %.1f ms, peak %.1f MB\n", bare, bareKb / 1024.0);
    std::printf("settings window: median %.1f ms, peak %.1f MB\n", chiplark, chiplarkKb / 1024.0);
    std::printf("ratio: %.2f\n", chiplark / bare);
    return 0;
}
