#include "platform/QtScreenSaver.h"

#include <memory>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_MACOS)
#include <IOKit/pwr_mgt/IOPMLib.h>
#else
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#endif

namespace platform {

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
namespace {

// A desktop that does not answer within this time is not waited for further.
constexpr int AnswerMs = 1000;

std::unique_ptr<QDBusInterface> screenSaverBus()
{
    auto bus = std::make_unique<QDBusInterface>(
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
        QStringLiteral("org.freedesktop.ScreenSaver"), QDBusConnection::sessionBus());
    bus->setTimeout(AnswerMs);
    return bus;
}

} // namespace
#endif

QtScreenSaver::~QtScreenSaver()
{
    release();
}

void QtScreenSaver::inhibit()
{
    if (inhibited_)
        return;
    inhibited_ = true;
#if defined(Q_OS_WIN)
    SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
#elif defined(Q_OS_MACOS)
    IOPMAssertionID id = 0;
    if (IOPMAssertionCreateWithName(kIOPMAssertionTypeNoDisplaySleep, kIOPMAssertionLevelOn,
                                    CFSTR("A tournament clock is running"), &id)
        == kIOReturnSuccess)
        cookie_ = id;
#else
    if (!QDBusConnection::sessionBus().isConnected())
        return;
    const QDBusReply<quint32> reply = screenSaverBus()->call(QStringLiteral("Inhibit"), QStringLiteral("Chiplark"),
                                                             QStringLiteral("A tournament clock is running"));
    cookie_ = reply.isValid() ? reply.value() : 0;
#endif
}

void QtScreenSaver::release()
{
    if (!inhibited_)
        return;
    inhibited_ = false;
#if defined(Q_OS_WIN)
    SetThreadExecutionState(ES_CONTINUOUS);
#elif defined(Q_OS_MACOS)
    if (cookie_ != 0)
        IOPMAssertionRelease(cookie_);
    cookie_ = 0;
#else
    if (cookie_ != 0 && QDBusConnection::sessionBus().isConnected())
        screenSaverBus()->call(QStringLiteral("UnInhibit"), cookie_);
    cookie_ = 0;
#endif
}

} // namespace platform
