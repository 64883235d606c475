#pragma once
// Texts waiting to be spoken. An engine that cuts off what it is saying when it is given a
// new text is fed one sentence at a time, so nothing is ever cut off: a text given while
// another is spoken waits its turn.

#include <QString>
#include <deque>
#include <functional>

class SpeechQueue {
public:
    explicit SpeechQueue(std::function<void(const QString &)> say) : say_(std::move(say)) {}

    // Queues a text; its lines are spoken one after another, with the engine's pause
    // between sentences. Blank lines are passed over.
    void add(const QString &text);
    // The engine has finished the sentence in flight, or failed it: on to the next.
    void finished();
    // Forgets everything not yet spoken.
    void clear();

    bool speaking() const { return speaking_; }
    int waiting() const { return int(queue_.size()); }

private:
    void next();

    std::function<void(const QString &)> say_;
    std::deque<QString> queue_;
    bool speaking_ = false;
};
