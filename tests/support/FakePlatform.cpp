#include "support/FakePlatform.h"

#include <QFileInfo>

namespace fake {

template <class T>
static T next(std::deque<T> &script, T fallback)
{
    if (script.empty())
        return fallback;
    T v = script.front();
    script.pop_front();
    return v;
}

// An empty script answers as Cancel would.
template <class T>
static std::optional<T> nextAnswer(std::deque<std::optional<T>> &script)
{
    std::optional<T> v;
    if (!script.empty()) {
        v.swap(script.front());
        script.pop_front();
    }
    return v;
}

platform::Answer MessageBox::show(const QString &text, const QString &title, platform::Icon icon,
                                  platform::Buttons buttons)
{
    calls.push_back({text, title, icon, buttons});
    if (buttons == platform::Buttons::Ok)
        return platform::Answer::Ok;
    return next(answers, platform::Answer::No);
}

std::optional<QString> InputBox::ask(const QString &prompt, const QString &title, const QString &defaultText)
{
    calls.push_back({prompt, title, defaultText});
    return nextAnswer(answers);
}

std::optional<qint32> ColourDialog::choose(qint32 colour)
{
    calls.push_back(colour);
    return nextAnswer(answers);
}

std::optional<QString> FileDialog::openFile(const QString &title, const QString &filter)
{
    calls.push_back({title, filter});
    return nextAnswer(answers);
}

int Cursor::showCursor(bool show)
{
    calls.push_back(show);
    count += show ? 1 : -1;
    return count;
}

bool Shell::openAddress(const QString &address)
{
    addresses << address;
    return true;
}

bool Sound::play(const QString &path, int flags)
{
    calls.push_back({path, flags});
    return QFileInfo(path).isFile();
}

void Speech::whenReady(std::function<void()> done)
{
    if (!starting) {
        done();
        return;
    }
    whenStarted.push_back(std::move(done));
}

void Speech::finishStarting()
{
    starting = false;
    auto waiting = std::move(whenStarted);
    whenStarted.clear();
    for (auto &done : waiting)
        done();
}

bool Speech::create()
{
    operations << QStringLiteral("create");
    created = available;
    return available;
}

QString Speech::currentVoiceName()
{
    operations << QStringLiteral("currentVoiceName");
    return current >= 0 && current < voices.size() ? voices[current] : QString();
}

int Speech::voiceCount()
{
    operations << QStringLiteral("voiceCount");
    return int(voices.size());
}

QString Speech::voiceName(int position)
{
    operations << QStringLiteral("voiceName %1").arg(position);
    return position >= 0 && position < voices.size() ? voices[position] : QString();
}

bool Speech::selectVoice(int position)
{
    operations << QStringLiteral("selectVoice %1").arg(position);
    if (position < 0 || position >= voices.size())
        return false;
    current = position;
    return true;
}

void Speech::speak(const QString &text)
{
    operations << QStringLiteral("speak");
    spoken << text;
}

bool Files::fileExists(const QString &path)
{
    return extra.contains(path) || QFileInfo(path).isFile();
}

QString TimeFormat::longTime(int secondsAfterMidnight)
{
    const int h = secondsAfterMidnight / 3600;
    const int m = secondsAfterMidnight / 60 % 60;
    const int s = secondsAfterMidnight % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(h, 2, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
}

Platform::Platform()
{
    files.folder = folder.path();
}

platform::Services Platform::services()
{
    platform::Services s;
    s.messageBox = &messageBox;
    s.inputBox = &inputBox;
    s.colourDialog = &colourDialog;
    s.fileDialog = &fileDialog;
    s.cursor = &cursor;
    s.shell = &shell;
    s.sound = &sound;
    s.speech = &speech;
    s.files = &files;
    s.timeFormat = &timeFormat;
    s.screenSaver = &screenSaver;
    return s;
}

} // namespace fake
