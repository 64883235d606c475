#include "support/WindowTest.h"

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

void WindowTest::load(const QString &name)
{
    frm->cmb_BlindLoad->setCurrentIndex(frm->cmb_BlindLoad->findText(name));
    frm->cmb_BlindLoad_LostFocus();
}
