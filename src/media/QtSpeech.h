#pragma once
// The speech engine on Qt TextToSpeech. The engine lives on a thread of its own: it starts
// in the background when first asked for (a speech server can take seconds to come up and
// list its voices), and nothing the engine does, or fails to do, ever holds up the
// windows. Texts queue behind the one being spoken; an engine that fails or falls silent on
// a text never holds up the ones after it.

#include "announce/VoiceCatalogue.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <vector>

class QThread;

namespace platform {

class SpeechWorker;

class QtSpeech : public QObject, public Speech {
    Q_OBJECT
public:
    QtSpeech();
    ~QtSpeech() override;

    // Starts the engine in the background; later calls do nothing.
    void start();

    bool ready() override { return ready_; }
    void whenReady(std::function<void()> done) override;
    bool create() override;
    QString currentVoiceName() override;
    int voiceCount() override;
    QString voiceName(int position) override;
    bool selectVoice(int position) override;
    void speak(const QString &text) override;
    void release() override;

    // Blocks until the engine has started, for tools without windows; false on time-out.
    bool waitUntilReady(int milliseconds);
    // The texts spoken to their end so far (the engine said it finished them).
    int finishedCount() const { return finished_; }
    // The name of the engine in use, after the start.
    QString engineName() const { return engineName_; }

private:
    void started(bool ok, const QString &engine, const QStringList &names, const QString &current);

    QThread *thread_ = nullptr;
    SpeechWorker *worker_ = nullptr;
    std::vector<QPointer<QThread>> leaving_; // engines let go, still saying their last texts
    bool releaseWhenReady_ = false;
    bool ready_ = false;
    bool ok_ = false;
    QString engineName_;
    QStringList names_;
    QString current_;
    int finished_ = 0;
    std::vector<std::function<void()>> waiting_;
};

} // namespace platform
