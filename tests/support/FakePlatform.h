#pragma once
// Fakes of the platform services: each records every call and answers from a script,
// so a test can say "the next input box returns 25, then Cancel" and read back every
// message shown.

#include "platform/Platform.h"

#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <vector>

namespace fake {

struct MessageCall {
    QString text;
    QString title;
    platform::Icon icon;
    platform::Buttons buttons;
};

class MessageBox : public platform::MessageBox {
public:
    // Answers for Yes/No questions, in order; an unscripted question is answered No.
    std::deque<platform::Answer> answers;
    std::vector<MessageCall> calls;
    platform::Answer show(const QString &text, const QString &title, platform::Icon icon,
                          platform::Buttons buttons) override;
};

struct InputCall {
    QString prompt;
    QString title;
    QString defaultText;
};

class InputBox : public platform::InputBox {
public:
    // std::nullopt stands for Cancel; when the script runs out every box is cancelled.
    std::deque<std::optional<QString>> answers;
    std::vector<InputCall> calls;
    std::optional<QString> ask(const QString &prompt, const QString &title, const QString &defaultText) override;
};

class ColourDialog : public platform::ColourDialog {
public:
    std::deque<std::optional<qint32>> answers; // nullopt: cancelled
    std::vector<qint32> calls;                 // the colour each dialog started at
    std::optional<qint32> choose(qint32 colour) override;
};

struct FileDialogCall {
    QString title;
    QString filter;
};

class FileDialog : public platform::FileDialog {
public:
    std::deque<std::optional<QString>> answers; // nullopt: cancelled
    std::vector<FileDialogCall> calls;
    std::optional<QString> openFile(const QString &title, const QString &filter) override;
};

class Cursor : public platform::Cursor {
public:
    int count = 0;
    std::vector<bool> calls;
    int showCursor(bool show) override;
    bool hidden() const { return count < 0; }
};

class Shell : public platform::Shell {
public:
    QStringList addresses;
    bool openAddress(const QString &address) override;
};

struct SoundCall {
    QString path;
    int flags;
};

class Sound : public platform::Sound {
public:
    std::vector<SoundCall> calls;
    bool play(const QString &path, int flags) override;
};

class Speech : public platform::Speech {
public:
    bool available = true; // false: creating the voice fails
    QStringList voices = {QStringLiteral("Alice"), QStringLiteral("Bob"), QStringLiteral("Carol")};
    int current = 1;        // the engine's default voice
    QStringList operations; // every call, by name
    QStringList spoken;     // every text given to speak
    bool created = false;
    // An engine still starting: it is ready once finishStarting() is called.
    bool starting = false;
    std::vector<std::function<void()>> whenStarted;
    void finishStarting();

    bool ready() override { return !starting; }
    void whenReady(std::function<void()> done) override;

    bool create() override;
    QString currentVoiceName() override;
    int voiceCount() override;
    QString voiceName(int position) override;
    bool selectVoice(int position) override;
    void speak(const QString &text) override;
};

class Files : public platform::Files {
public:
    QString folder;      // the program's folder; tests point it at a temporary one
    QSet<QString> extra; // paths that exist besides the real files
    bool fileExists(const QString &path) override;
    QString programFolder() override { return folder; }
};

// A 24-hour clock, two digits each: 00:20:00.
class TimeFormat : public platform::TimeFormat {
public:
    QString longTime(int secondsAfterMidnight) override;
};

// A whole set of fakes; the program's folder is a fresh temporary folder of its own.
class ScreenSaver : public platform::ScreenSaver {
public:
    bool inhibited = false;
    QStringList calls;
    void inhibit() override
    {
        calls << QStringLiteral("inhibit");
        inhibited = true;
    }
    void release() override
    {
        calls << QStringLiteral("release");
        inhibited = false;
    }
};

class Platform {
public:
    Platform();
    QTemporaryDir folder;
    MessageBox messageBox;
    InputBox inputBox;
    ColourDialog colourDialog;
    FileDialog fileDialog;
    Cursor cursor;
    Shell shell;
    Sound sound;
    Speech speech;
    Files files;
    TimeFormat timeFormat;
    ScreenSaver screenSaver;

    platform::Services services();
};

} // namespace fake
