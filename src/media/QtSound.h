#pragma once
// The sound cue on Qt Multimedia. The sound plays on a thread of its own; flags 2 keep the
// user-interface thread waiting (no tick, key or paint meanwhile) until it has ended, but
// never longer than the file's length and a short margin.

#include "platform/Platform.h"

#include <QThread>

namespace platform {

class SoundWorker;

class QtSound : public Sound {
public:
    QtSound();
    ~QtSound() override;
    bool play(const QString &path, int flags) override;

    // How long past the file's own length a played-to-the-end sound may take.
    static constexpr int MarginMs = 750;

private:
    QThread thread_;
    SoundWorker *worker_ = nullptr;
};

} // namespace platform
