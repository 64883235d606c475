#pragma once
// The real services, on Qt.

#include "modules/MediaServices.h"
#include "platform/Platform.h"

#include <optional>

namespace platform {

// The soft limit of open files raised to the hard one.
void raiseOpenFileLimit();

class QtMessageBox : public MessageBox {
public:
    Answer show(const QString &text, const QString &title, Icon icon, Buttons buttons) override;
};

class QtInputBox : public InputBox {
public:
    std::optional<QString> ask(const QString &prompt, const QString &title, const QString &defaultText) override;
};

class QtColourDialog : public ColourDialog {
public:
    std::optional<qint32> choose(qint32 colour) override;
};

class QtFileDialog : public FileDialog {
public:
    std::optional<QString> openFile(const QString &title, const QString &filter) override;
};

// Keeps a display count like the desktop's own: hidden below 0. The one owner of the
// application's override cursor: blank while hidden, else busy while something is awaited,
// else none. Qt keeps override cursors as a stack; with one owner, what shows never depends
// on the order in which the reasons end (a busy cursor left over the display would be
// animated by the X server all evening).
class QtCursor : public Cursor {
public:
    int showCursor(bool show) override;
    void busy(bool on) override;

private:
    void apply();

    int count_ = 0;
    int busy_ = 0;
    std::optional<Qt::CursorShape> shown_; // the override cursor set, if any
};

class QtShell : public Shell {
public:
    bool openAddress(const QString &address) override;
};

class QtFiles : public Files {
public:
    bool fileExists(const QString &path) override;
    QString programFolder() override;
};

class QtTimeFormat : public TimeFormat {
public:
    QString longTime(int secondsAfterMidnight) override;
};

// Owns one of each and hands them out as a bundle. Speech, sound, the screen keeping and the
// page come from modules of their own, each loaded when first needed.
class QtPlatform {
public:
    QtPlatform();
    Services services();

private:
    QtMessageBox messageBox_;
    QtInputBox inputBox_;
    QtColourDialog colourDialog_;
    QtFileDialog fileDialog_;
    QtCursor cursor_;
    QtShell shell_;
    QtFiles files_;
    QtTimeFormat timeFormat_;
    MediaLoader speechModule_;
    MediaLoader soundModule_;
    MediaLoader screenModule_;
    MediaLoader pageModule_;
    LateSound sound_{soundModule_};
    LateSpeech speech_{speechModule_};
    LateScreenSaver screenSaver_{screenModule_};
    LatePublisher publisher_{pageModule_};
};

// The format with its hour fields standing for the given number of hours, for times past
// one day.
QString hoursBeyondOneDay(const QString &format, int hours);

// The user's long time format with any time-zone part taken out.
QString longTimeFormatWithoutZone(const QString &format);

} // namespace platform
