#pragma once
// Fakes of the platform services: each records every call and answers from a script,
// so a test can say "the next input box returns 25, then Cancel" and read back every
// message shown.

#include "platform/Platform.h"

#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <vector>

namespace fake {

// Every call made, and the answers still to give, in order; when the script runs out the
// fallback is given (for the dialogs: Cancel).
template <class Call, class Answer>
struct Script {
    std::deque<Answer> answers;
    std::vector<Call> calls;
    Answer next(Answer fallback = Answer())
    {
        if (!answers.empty()) {
            std::swap(fallback, answers.front());
            answers.pop_front();
        }
        return fallback;
    }
    Answer record(Call call)
    {
        calls.push_back(std::move(call));
        return next();
    }
};

struct MessageCall {
    QString text;
    QString title;
    platform::Icon icon;
    platform::Buttons buttons;
};

// An unscripted Yes/No question is answered No.
struct MessageBox : platform::MessageBox, Script<MessageCall, platform::Answer> {
    platform::Answer show(const QString &text, const QString &title, platform::Icon icon,
                          platform::Buttons buttons) override;
};

struct InputCall {
    QString prompt;
    QString title;
    QString defaultText;
};

// std::nullopt stands for Cancel.
struct InputBox : platform::InputBox, Script<InputCall, std::optional<QString>> {
    std::optional<QString> ask(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        return record({prompt, title, defaultText});
    }
};

// Records the colour each dialog started at.
struct ColourDialog : platform::ColourDialog, Script<qint32, std::optional<qint32>> {
    std::optional<qint32> choose(qint32 colour) override { return record(colour); }
};

struct FileDialogCall {
    QString title;
    QString filter;
};

struct FileDialog : platform::FileDialog, Script<FileDialogCall, std::optional<QString>> {
    std::optional<QString> openFile(const QString &title, const QString &filter) override
    {
        return record({title, filter});
    }
};

struct Cursor : platform::Cursor {
    int count = 0;
    int busyCount = 0;
    int showCursor(bool show) override { return count += show ? 1 : -1; }
    void busy(bool on) override { busyCount += on ? 1 : -1; }
    bool hidden() const { return count < 0; }
};

struct Shell : platform::Shell {
    QStringList addresses;
    bool openAddress(const QString &address) override;
};

struct SoundCall {
    QString path;
    int flags;
};

struct Sound : platform::Sound {
    std::vector<SoundCall> calls;
    int prepared = 0; // times asked to get ready
    bool play(const QString &path, int flags) override;
    void prepare() override { ++prepared; }
};

struct Speech : platform::Speech {
    bool available = true; // false: creating the voice fails
    QStringList voices = {QStringLiteral("Alice"), QStringLiteral("Bob"), QStringLiteral("Carol")};
    int current = 1;        // the engine's default voice
    QStringList operations; // every call, by name
    QStringList spoken;     // every text given to speak
    // An engine still starting: it is ready once finishStarting() is called.
    bool starting = false;
    int asked = 0; // times asked to get ready
    std::vector<std::function<void()>> whenStarted;
    void finishStarting();

    bool ready() override { return !starting; }
    void whenReady(std::function<void()> done) override;
    bool create() override { return logged(QStringLiteral("create"), available); }
    QString currentVoiceName() override { return logged(QStringLiteral("currentVoiceName"), voices.value(current)); }
    int voiceCount() override { return logged(QStringLiteral("voiceCount"), int(voices.size())); }
    QString voiceName(int position) override
    {
        return logged(QStringLiteral("voiceName %1").arg(position), voices.value(position));
    }
    bool selectVoice(int position) override;
    void speak(const QString &text) override { spoken << logged(QStringLiteral("speak"), text); }
    int released = 0; // times let go
    void release() override { ++released; }

    template <class T>
    T logged(const QString &operation, T result)
    {
        operations << operation;
        return result;
    }
};

// The program's folder is a temporary one: fileExists sees the real files.
struct Files : platform::Files {
    QString folder;
    bool fileExists(const QString &path) override { return QFileInfo(path).isFile(); }
    QString programFolder() override { return folder; }
};

// A 24-hour clock, two digits each: 00:20:00.
struct TimeFormat : platform::TimeFormat {
    QString longTime(int s) override { return QString::asprintf("%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60); }
};

struct ScreenSaver : platform::ScreenSaver {
    bool inhibited = false;
    void inhibit() override { inhibited = true; }
    void release() override { inhibited = false; }
};

// A whole set of fakes; the program's folder is a fresh temporary folder of its own.
struct Platform {
    Platform() { files.folder = folder.path(); }
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
