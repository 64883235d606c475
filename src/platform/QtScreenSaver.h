#pragma once
// Keeps the screen on during a game: the freedesktop ScreenSaver Inhibit and UnInhibit
// calls over the session bus on Linux, the thread's execution state on Windows, a power
// assertion on macOS. The desktop
// drops an inhibition by itself when the program that asked for it goes away, so a crash
// leaves nothing behind.

#include "platform/Platform.h"

namespace platform {

class QtScreenSaver : public ScreenSaver {
public:
    ~QtScreenSaver() override;
    void inhibit() override;
    void release() override;

private:
    bool inhibited_ = false;
    quint32 cookie_ = 0;
};

} // namespace platform
