#pragma once
// The speech engine's own thread: it makes sure a speech server runs, creates the engine,
// collects the voices of every language and speaks the queued texts one line at a time.

#include "announce/SpeechQueue.h"
#include "announce/VoiceCatalogue.h"

#include <QObject>
#include <QTimer>
#include <QVoice>
#include <memory>

class QTextToSpeech;

namespace platform {

class SpeechWorker : public QObject {
    Q_OBJECT
public:
    SpeechWorker();
    ~SpeechWorker() override;

public slots:
    void start();
    void select(int position);
    void say(const QString &text);
    // Ends the thread once the queue has been said.
    void leave();

signals:
    void started(bool ok, const QString &engine, const QStringList &names, const QString &current);
    void finishedOne();

private:
    void sayNow(const QString &text);
    void engineStateChanged();
    void oneFinished();
    bool useEngine(const QString &name);

    std::unique_ptr<QTextToSpeech> engine_;
    QList<QVoice> voices_;
    SpeechQueue queue_;
    QTimer *watchdog_ = nullptr;
    bool leaving_ = false;
};

// A speech server started by its client inherits the client's locale; one whose locale is
// not installed on the system refuses to start. When the program's own locale cannot be
// set, the server is started here under C.UTF-8 first. True when that was done.
bool startSpeechServerIfLocaleUnusable();

} // namespace platform
