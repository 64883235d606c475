#include "media/QtScreenSaver.h"

#include <QObject>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_MACOS)
#include <IOKit/pwr_mgt/IOPMLib.h>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#if defined(CHIPLARK_X11)
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <X11/extensions/scrnsaver.h>
#endif
#endif

namespace platform {

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
namespace {

// A desktop that does not answer within this time is not waited for further.
constexpr int AnswerMs = 1000;
const QString Reason = QStringLiteral("A tournament clock is running");

QDBusMessage screenSaverCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

void unInhibit(quint32 cookie)
{
    QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
    call << cookie;
    QDBusConnection::sessionBus().call(call, QDBus::Block, AnswerMs);
}

void closePortalRequest(const QString &handle)
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"), handle,
                                       QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close"));
    QDBusConnection::sessionBus().call(call, QDBus::Block, AnswerMs);
}

} // namespace
#endif

QtScreenSaver::QtScreenSaver() : context_(std::make_unique<QObject>()) {}

QtScreenSaver::~QtScreenSaver()
{
    release();
}

void QtScreenSaver::inhibit()
{
    if (inhibited_)
        return;
    inhibited_ = true;
    ++generation_;
#if defined(Q_OS_WIN)
    SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
#elif defined(Q_OS_MACOS)
    IOPMAssertionID id = 0;
    if (IOPMAssertionCreateWithName(kIOPMAssertionTypeNoDisplaySleep, kIOPMAssertionLevelOn,
                                    CFSTR("A tournament clock is running"), &id)
        == kIOReturnSuccess)
        cookie_ = id;
#else
    suspendX11(true);
    inhibitOnBus();
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
    suspendX11(false);
    releaseOnBus();
#endif
}

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
void QtScreenSaver::inhibitOnBus() {}
void QtScreenSaver::releaseOnBus() {}
void QtScreenSaver::suspendX11(bool) {}
#else

void QtScreenSaver::inhibitOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const quint64 game = generation_;

    QDBusMessage saver = screenSaverCall(QStringLiteral("Inhibit"));
    saver << QStringLiteral("Chiplark") << Reason;
    auto *saverAnswer = new QDBusPendingCallWatcher(bus.asyncCall(saver, AnswerMs), context_.get());
    QObject::connect(saverAnswer, &QDBusPendingCallWatcher::finished, context_.get(),
                     [this, game](QDBusPendingCallWatcher *w) {
                         w->deleteLater();
                         const QDBusPendingReply<quint32> reply = *w;
                         if (reply.isError())
                             return;
                         if (inhibited_ && game == generation_)
                             cookie_ = reply.value();
                         else
                             unInhibit(reply.value()); // the game ended before the answer came
                     });

    // The desktop portal, where one runs (sandboxed and Wayland desktops); 8 = idle.
    QDBusMessage portal = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    portal << QString() << quint32(8) << QVariantMap{{QStringLiteral("reason"), Reason}};
    auto *portalAnswer = new QDBusPendingCallWatcher(bus.asyncCall(portal, AnswerMs), context_.get());
    QObject::connect(portalAnswer, &QDBusPendingCallWatcher::finished, context_.get(),
                     [this, game](QDBusPendingCallWatcher *w) {
                         w->deleteLater();
                         const QDBusPendingReply<QDBusObjectPath> reply = *w;
                         if (reply.isError())
                             return;
                         if (inhibited_ && game == generation_)
                             portalRequest_ = reply.value().path();
                         else
                             closePortalRequest(reply.value().path());
                     });
}

void QtScreenSaver::releaseOnBus()
{
    if (cookie_ != 0 && QDBusConnection::sessionBus().isConnected())
        unInhibit(cookie_);
    cookie_ = 0;
    if (!portalRequest_.isEmpty() && QDBusConnection::sessionBus().isConnected())
        closePortalRequest(portalRequest_);
    portalRequest_.clear();
}

void QtScreenSaver::suspendX11(bool suspend)
{
#if defined(CHIPLARK_X11)
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return;
    int eventBase = 0;
    int errorBase = 0;
    if (suspend) {
        if (XScreenSaverQueryExtension(display, &eventBase, &errorBase)) {
            XScreenSaverSuspend(display, True);
            x11Suspended_ = true;
        }
        CARD16 level = 0;
        BOOL on = False;
        dpmsWasOn_ = DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display)
                     && DPMSInfo(display, &level, &on) && on;
        if (dpmsWasOn_)
            DPMSDisable(display);
    } else {
        if (x11Suspended_)
            XScreenSaverSuspend(display, False);
        x11Suspended_ = false;
        if (dpmsWasOn_)
            DPMSEnable(display);
        dpmsWasOn_ = false;
    }
    XFlush(display);
#else
    Q_UNUSED(suspend);
#endif
}

#endif

} // namespace platform
