// Prints the X server's screen-saver state as the X screen-saver extension reports it:
// "On", "Off" or "Disabled", and the idle time in milliseconds.

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <cstdio>

int main()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase))
        return 2;
    XScreenSaverInfo *info = XScreenSaverAllocInfo();
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), info);
    const char *state = info->state == ScreenSaverOn ? "On" : info->state == ScreenSaverOff ? "Off" : "Disabled";
    std::printf("%s %lu\n", state, info->idle);
    XFree(info);
    XCloseDisplay(display);
    return 0;
}
