#pragma once
// Colours are whole numbers laid out as blue*65536 + green*256 + red.

#include <QColor>
#include <QtGlobal>

namespace platform {

inline QColor toQColor(qint32 colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

inline qint32 fromQColor(const QColor &c)
{
    return c.blue() * 65536 + c.green() * 256 + c.red();
}

} // namespace platform
