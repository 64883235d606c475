#pragma once
// The common ground of the window tests: a fresh set of fakes and a settings window on
// them for every test function.

#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"

#include <QObject>

class WindowTest : public QObject {
    Q_OBJECT
protected slots:
    virtual void init();
    void cleanup();

protected:
    // Opens a new window on the same program folder, as a new run of the program would
    // (the old one is not closed, so nothing is saved).
    void restart();
    // The settings file as it is now.
    QByteArray settingsFile() const;
    // Exits (saving) and runs the program again; returns the settings file the first run left.
    QByteArray exitAndRestart();
    // Chooses a saved structure in the load box and leaves the box, as the user does.
    void load(const QString &name);

    fake::Platform *fakes = nullptr;
    frm_Chiplark *frm = nullptr;
};
