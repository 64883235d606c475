#pragma once
// The speech engine on Qt TextToSpeech. Texts queue behind the one being spoken; an engine
// that fails or falls silent on a text never holds up the ones after it.

#include "announce/SpeechQueue.h"
#include "platform/Platform.h"

#include <QObject>
#include <QTimer>
#include <memory>

class QTextToSpeech;

namespace platform {

class QtSpeech : public QObject, public Speech {
    Q_OBJECT
public:
    QtSpeech();
    ~QtSpeech() override;
    bool create() override;
    QString currentVoiceName() override;
    int voiceCount() override;
    QString voiceName(int position) override;
    bool selectVoice(int position) override;
    void speak(const QString &text) override;

private:
    void say(const QString &text);
    void engineStateChanged();

    std::unique_ptr<QTextToSpeech> engine_;
    SpeechQueue queue_;
    QTimer watchdog_;
};

} // namespace platform
