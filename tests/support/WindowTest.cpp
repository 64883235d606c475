#include "support/WindowTest.h"

#include <QFile>

void WindowTest::init()
{
    fakes = new fake::Platform;
    frm = new frm_Chiplark(fakes->services());
}

void WindowTest::cleanup()
{
    delete frm;
    frm = nullptr;
    delete fakes;
    fakes = nullptr;
}

void WindowTest::restart()
{
    delete frm;
    frm = new frm_Chiplark(fakes->services());
}

QByteArray WindowTest::settingsFile() const
{
    QFile f(fakes->folder.filePath(QStringLiteral("chiplark.ini")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray WindowTest::exitAndRestart()
{
    frm->close();
    restart();
    return settingsFile();
}

void WindowTest::load(const QString &name)
{
    frm->cmb_BlindLoad->setCurrentIndex(frm->cmb_BlindLoad->findText(name));
    frm->cmb_BlindLoad_LostFocus();
}
