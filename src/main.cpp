#include "platform/QtPlatform.h"
#include "settings/frm_Chiplark.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chiplark"));
    QApplication::setDesktopFileName(QStringLiteral("org.chiplark.Chiplark"));
    platform::QtPlatform platform;
    frm_Chiplark window(platform.services());
    window.show();
    return app.exec();
}
