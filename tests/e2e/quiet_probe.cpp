// A game with speech on the real X server and speech server: the settings window with the
// desktop's own cursor and speech engine (the other services scripted). Speech ticked and the
// game started while the voices are still being listed, the cursor the X server shows (read
// through XFIXES) must be the blank one, not a busy cursor animated all evening; the game
// left, what it was before. Speech unticked, the speech server must leave; ticked again, come
// back with the voices listed again. Prints what it found; exits 1 on the first fault.
#include "display/frm_Display.h"
#include "media/QtSpeech.h"
#include "platform/QtPlatform.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QWindow>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <signal.h>

namespace {

Display *x = nullptr;

[[noreturn]] void fail(const QString &why)
{
    std::printf("FAIL: %s\n", qPrintable(why));
    std::fflush(stdout);
    std::exit(1);
}

// Lets the program's events run until the test holds, for up to the seconds given.
void until(int seconds, const QString &what, const std::function<bool()> &test)
{
    const QDeadlineTimer deadline(seconds * 1000);
    while (!test()) {
        if (deadline.hasExpired())
            fail("timed out: " + what);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

// "blank" when every pixel is transparent; else "shown", the theme's name for it and its size.
QString cursor()
{
    XFixesCursorImage *c = XFixesGetCursorImage(x);
    if (!c)
        fail("no cursor image");
    // ARGB, one pixel to a long
    const bool blank = std::all_of(c->pixels, c->pixels + long(c->width) * c->height,
                                   [](unsigned long pixel) { return (pixel >> 24 & 0xff) == 0; });
    QString shape =
        blank ? QString("blank")
              : QString("shown %1 %2x%3").arg(c->name && *c->name ? c->name : "-").arg(c->width).arg(c->height);
    XFree(c);
    return shape;
}

// The speech server of this run's own runtime folder, while it runs.
qint64 speechServer()
{
    QFile file(QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath("speech-dispatcher/pid/speech-dispatcher.pid"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 pid = file.readAll().trimmed().toLongLong();
    return pid > 0 && ::kill(pid_t(pid), 0) == 0 ? pid : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    x = XOpenDisplay(nullptr);
    int event = 0, error = 0;
    if (!x || !XFixesQueryExtension(x, &event, &error))
        fail("no X server with XFIXES");
    fake::Platform fakes;
    platform::QtCursor realCursor;
    platform::QtSpeech realSpeech;
    platform::Services services = fakes.services();
    services.cursor = &realCursor;
    services.speech = &realSpeech;
    frm_Chiplark frm(services);
    frm.show();
    drive::setSchedule(frm, {"25/50/1200", "50/100/1200"});
    if (speechServer())
        fail("a speech server runs before speech is ticked");
    // The pointer on the settings window's bare edge, where its own cursor is the arrow.
    until(10, "the settings window on the screen",
          [&] { return frm.windowHandle() && frm.windowHandle()->isExposed(); });
    const QPoint edge = frm.mapToGlobal(QPoint(3, frm.height() - 3));
    XWarpPointer(x, None, DefaultRootWindow(x), 0, 0, 0, 0, edge.x(), edge.y());
    XSync(x, False);
    QString arrow;
    until(10, "the settings window's cursor", [&] { return (arrow = cursor()) != "blank"; });

    frm.Check1->setValue(1);
    frm.cmd_Start_Click();
    if (!frm.displayWindow() || !frm.displayWindow()->isVisible())
        fail("no display");
    until(60, "the voices listed", [&] { return frm.cmb_voices->count() > 0; });
    const int listed = frm.cmb_voices->count();
    // Whatever the X server shows once the program's requests have reached it.
    until(10, "the blank cursor over the display, not: " + cursor(), [] { return cursor() == "blank"; });
    std::printf("%d voices listed while the game ran; over the display the cursor is blank\n", listed);

    frm.displayWindow()->Form_KeyDown(DisplayKey::Escape, 0);
    if (frm.game.inPlay())
        fail("Escape did not leave the game");
    until(10, "the cursor of before the game again (" + arrow + "), not: " + cursor(),
          [&] { return cursor() == arrow; });
    std::printf("the game left: %s, as before it\n", qPrintable(arrow));

    const qint64 server = speechServer();
    if (!server)
        fail("no speech server while speech is ticked");
    frm.Check1->setValue(0);
    until(30, "the speech server gone once unticked", [] { return speechServer() == 0; });
    frm.Check1->setValue(1);
    until(60, "the voices listed again", [&] { return frm.cmb_voices->count() > listed; });
    const qint64 again = speechServer();
    if (!again)
        fail("no speech server once ticked again");
    std::printf("speech server %lld left once unticked; %lld came when ticked again\n", server, again);
    XCloseDisplay(x);
    return 0;
}
