#pragma once
// Keeps the screen on during a game. On Linux every way a desktop offers is used at once:
// the freedesktop ScreenSaver inhibition and the desktop portal's over the session bus, and
// on X11 the X server's own screen saver suspended and its display power management kept
// on. Windows: the thread's execution state; macOS: a power assertion. Desktop and X server
// drop all of these by themselves when the program that asked goes away, so a crash leaves
// nothing behind.
//
// No bus call waits on a desktop that does not answer: the requests are sent without
// waiting, and an answer that comes after the game has ended is given back at once.

#include "platform/Platform.h"

#include <QString>
#include <memory>

class QObject;

namespace platform {

class QtScreenSaver : public ScreenSaver {
public:
    QtScreenSaver();
    ~QtScreenSaver() override;
    void inhibit() override;
    void release() override;

private:
    void inhibitOnBus();
    void releaseOnBus();
    void suspendX11(bool suspend);

    bool inhibited_ = false;
    quint32 cookie_ = 0;
    // Each game's requests carry its number, so a late answer is recognised.
    quint64 generation_ = 0;
    QString portalRequest_;
    bool dpmsWasOn_ = false;
    bool x11Suspended_ = false;
    std::unique_ptr<QObject> context_;
};

} // namespace platform
