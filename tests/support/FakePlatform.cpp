#include "support/FakePlatform.h"

namespace fake {

platform::Answer MessageBox::show(const QString &text, const QString &title, platform::Icon icon,
                                  platform::Buttons buttons)
{
    calls.push_back({text, title, icon, buttons});
    return buttons == platform::Buttons::Ok ? platform::Answer::Ok : next(platform::Answer::No);
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
    ++asked;
    whenStarted.push_back(std::move(done));
    if (!starting)
        finishStarting();
}

void Speech::finishStarting()
{
    starting = false;
    const auto waiting = std::move(whenStarted);
    whenStarted.clear();
    for (const auto &done : waiting)
        done();
}

bool Speech::selectVoice(int position)
{
    operations << QStringLiteral("selectVoice %1").arg(position);
    if (position < 0 || position >= voices.size())
        return false;
    current = position;
    return true;
}

platform::Services Platform::services()
{
    return {&messageBox, &inputBox, &colourDialog, &fileDialog, &cursor,      &shell,
            &sound,      &speech,   &files,        &timeFormat, &screenSaver, nullptr};
}

} // namespace fake
