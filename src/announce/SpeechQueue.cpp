#include "announce/SpeechQueue.h"

#include <QRegularExpression>

void SpeechQueue::add(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\\r\\n]+"));
    for (const QString &line : text.split(lineBreak)) {
        if (!line.trimmed().isEmpty())
            queue_.push_back(line.trimmed());
    }
    if (!speaking_)
        next();
}

void SpeechQueue::finished()
{
    speaking_ = false;
    next();
}

void SpeechQueue::clear()
{
    queue_.clear();
}

void SpeechQueue::next()
{
    if (queue_.empty())
        return;
    const QString text = queue_.front();
    queue_.pop_front();
    speaking_ = true;
    say_(text);
}
