// A running game on the real one-second timers: how far the game timer drifts from a
// monotonic clock, the processor time the game uses, and the peak memory.
// Usage: bench_clock [seconds, default 600]

#include "display/frm_Display.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

static double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    fake::Platform fakes;
    frm_Chiplark frm(fakes.services());
    // Levels longer than the run, and a level change every 60 s to include the advance.
    QStringList rows;
    for (int i = 1; i <= seconds / 60 + 2; ++i)
        rows << QStringLiteral("%1/%2/60").arg(25 * i).arg(50 * i);
    drive::setSchedule(frm, rows);
    frm.show();

    QElapsedTimer clock;
    double cpuAtStart = 0;
    // The first ticks set the phase; the drift is how far the ticks then stray from it.
    const int settle = 10;
    double realAtSettle = 0;
    const auto check = [&] {
        if (frm.gameState.gameSeconds == settle)
            realAtSettle = clock.nsecsElapsed() / 1e9;
        if (frm.gameState.gameSeconds < seconds)
            return;
        const double real = clock.nsecsElapsed() / 1e9;
        const double drift = (real - realAtSettle) - (frm.gameState.gameSeconds - settle);
        const double cpu = cpuSeconds() - cpuAtStart;
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        std::printf("ticks: %lld over %.3f s of monotonic time\n", static_cast<long long>(frm.gameState.gameSeconds),
                    real);
        std::printf("drift: %+.1f ms over %lld ticks, %+.1f ms per hour (first tick %+.1f ms late)\n", drift * 1000,
                    static_cast<long long>(frm.gameState.gameSeconds - settle),
                    drift * 1000 * 3600 / (real - realAtSettle), (realAtSettle - settle) * 1000);
        std::printf("processor: %.3f s over %.0f s = %.3f %% of a core\n", cpu, real, 100 * cpu / real);
        std::printf("peak memory: %.1f MB\n", u.ru_maxrss / 1024.0);
        app.quit();
    };
    // Both countdowns count: the run goes through the break as well.
    QObject::connect(frm.tmr_rounds, &QTimer::timeout, &app, check);
    QObject::connect(frm.tmr_break, &QTimer::timeout, &app, check);
    QTimer::singleShot(0, &app, [&] {
        frm.cmd_Start_Click();
        clock.start();
        cpuAtStart = cpuSeconds();
    });
    return app.exec();
}
