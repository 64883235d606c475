#pragma once
// Speech, sound, the screen keeping and the page each live in a module of their own, loaded
// when first needed: Qt TextToSpeech and its speech server, Qt Multimedia, the session bus,
// the X extensions and the network cost start-up time and memory, and an evening without
// speech or sound never needs the first two.

#include "platform/Platform.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QObject;

namespace platform {

// What a module hands over: the one service it holds, the others null. Deleting it ends
// the service.
struct MediaServices {
    virtual ~MediaServices() = default;
    Sound *sound = nullptr;
    Speech *speech = nullptr;
    ScreenSaver *screenSaver = nullptr;
    ClockPublisher *publisher = nullptr;
};

// The module's one entry point.
using CreateMediaServices = MediaServices *();
inline constexpr char CreateMediaServicesSymbol[] = "chiplark_create_media_services";

// Loads the module from the program's folder, once.
class MediaLoader {
public:
    // moduleFile: the module's file name in the program's folder.
    explicit MediaLoader(QString moduleFile);
    ~MediaLoader();
    MediaLoader(const MediaLoader &) = delete;
    MediaLoader &operator=(const MediaLoader &) = delete;

    // Loads the module once the first window has painted (or soon, if none paints).
    void loadAfterFirstPaint();
    // The services, loading the module now if it is not loaded yet; null when it cannot be.
    MediaServices *services();
    bool loaded() const { return tried_; }
    // Something waits for the module to be loaded.
    bool awaited() const { return !waiting_.empty(); }
    // Runs the function once the module has been loaded (or has failed to load).
    void whenLoaded(std::function<void()> done);

private:
    QString moduleFile_;
    bool tried_ = false;
    std::unique_ptr<MediaServices> services_;
    std::vector<std::function<void()>> waiting_;
    std::unique_ptr<QObject> watcher_;
};

// The services in front of their modules: each loads its own on first real use.
class LateSound : public Sound {
public:
    explicit LateSound(MediaLoader &loader) : loader_(loader) {}
    bool play(const QString &path, int flags) override;
    void prepare() override;

private:
    Sound *loaded();
    MediaLoader &loader_;
};

// Until the module is loaded the engine counts as still starting, so a voice list asked for
// meanwhile waits for it the way it waits for a slow speech server.
class LateSpeech : public Speech {
public:
    explicit LateSpeech(MediaLoader &loader) : loader_(loader) {}
    bool ready() override;
    void whenReady(std::function<void()> done) override;
    bool create() override;
    QString currentVoiceName() override;
    int voiceCount() override;
    QString voiceName(int position) override;
    bool selectVoice(int position) override;
    void speak(const QString &text) override;
    void release() override;

private:
    Speech *engine();
    MediaLoader &loader_;
};

// Nothing is loaded, and nothing listens, until the organiser turns the page on.
class LatePublisher : public ClockPublisher {
public:
    explicit LatePublisher(MediaLoader &loader) : loader_(loader) {}
    bool start(QString *why) override;
    void stop() override;
    bool running() const override;
    QString address() const override;
    QString pin() const override;
    QImage qrCode() const override;
    QString controlLink() const override;
    QImage controlCode() const override;
    int phonesWithControl() const override;
    void revokeControl() override;
    void setControlChanged(std::function<void()> changed) override;
    void publish(const DisplayState &state) override;
    void setActionHandler(std::function<GameReply(const GameCommand &)> handler) override;
    void setAddressFile(const QString &path) override;
    bool renewAddress(QString *why) override;
    QStringList alsoReachable() const override;
    bool noNetwork() const override;
    bool addressMoved() const override;
    QString addressNotKept() const override;
    void forgetKeptControl() override;

private:
    ClockPublisher *loaded() const;
    // The module's server, loaded now, with what it was told before; null when it cannot be.
    ClockPublisher *load(QString *why);
    MediaLoader &loader_;
    std::function<GameReply(const GameCommand &)> handler_;
    std::function<void()> controlChanged_;
    QString addressFile_;
    bool forgetKeptControl_ = false; // passed on when the module loads
};

class LateScreenSaver : public ScreenSaver {
public:
    explicit LateScreenSaver(MediaLoader &loader) : loader_(loader) {}
    void inhibit() override;
    void release() override;

private:
    ScreenSaver *loaded();
    MediaLoader &loader_;
};

} // namespace platform
