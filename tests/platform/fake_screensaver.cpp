// A stand-in for the desktop's screensaver on a private session bus: it answers Inhibit and
// UnInhibit as the freedesktop service does and prints every call.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <cstdio>

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        std::printf("Inhibit %u %s: %s\n", ++last_, qPrintable(application), qPrintable(reason));
        std::fflush(stdout);
        return last_;
    }
    void UnInhibit(uint cookie)
    {
        std::printf("UnInhibit %u\n", cookie);
        std::fflush(stdout);
    }

private:
    uint last_ = 0;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    FakeScreenSaver saver;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver, QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "fake_screensaver.moc"
