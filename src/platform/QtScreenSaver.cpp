#include "platform/QtScreenSaver.h"

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#endif

namespace platform {

#ifndef Q_OS_WIN
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
#ifdef Q_OS_WIN
    SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
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
#ifdef Q_OS_WIN
    SetThreadExecutionState(ES_CONTINUOUS);
#else
    if (cookie_ != 0 && QDBusConnection::sessionBus().isConnected())
        screenSaverBus()->call(QStringLiteral("UnInhibit"), cookie_);
    cookie_ = 0;
#endif
}

} // namespace platform
