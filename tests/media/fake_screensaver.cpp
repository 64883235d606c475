// A stand-in for the desktop's screensaver on a private session bus: it answers Inhibit and
// UnInhibit as the freedesktop service does and prints every call. With --silent it owns
// the name but never answers, as a hung desktop service does.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <cstdio>

class FakeScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    bool silent = false;

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        if (silent) {
            setDelayedReply(true); // and never sent
            std::printf("Inhibit unanswered\n");
            return 0;
        }
        std::printf("Inhibit %u %s: %s\n", ++last_, qPrintable(application), qPrintable(reason));
        return last_;
    }
    void UnInhibit(uint cookie) { std::printf("UnInhibit %u\n", cookie); }

private:
    uint last_ = 0;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // every line seen by the script as soon as it is printed
    FakeScreenSaver saver;
    saver.silent = app.arguments().contains(QStringLiteral("--silent"));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver, QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")))
        return 1;
    std::printf("ready\n");
    return app.exec();
}

#include "fake_screensaver.moc"
