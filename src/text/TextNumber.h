#pragma once
// Text to whole number, as every box of the settings window is read: halves go to
// the even neighbour, and a value that does not fit its width is refused, never wrapped.

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

enum class Width { Int16, Int32 };

enum class NumberError { None, Empty, NotANumber, OutOfRange };

struct WholeNumber {
    qint64 value = 0;
    NumberError error = NumberError::None;
    bool ok() const { return error == NumberError::None; }
};

qint64 widthMin(Width w);
qint64 widthMax(Width w);
// "0 to 32767" style text for messages that name an allowed range.
QString rangeText(qint64 low, qint64 high);

// 'The box "Small Blind" must hold a whole number from 0 to 2147483647.'
QString boxRangeMessage(const QString &box, qint64 low, qint64 high);

// Reads optional blanks, an optional sign, digits with an optional decimal fraction and
// an optional exponent ("12", " 025", "2.5", "-7", "1e3"), rounded half to even.
WholeNumber toWhole(QStringView text, Width width);

// The value read, when it is one of the width.
std::optional<qint64> wholeValue(QStringView text, Width width);
std::optional<qint32> toInt32(QStringView text);
std::optional<qint16> toInt16(QStringView text);

// Rounds to the nearest whole number, a value exactly halfway going to the even neighbour;
// no value when the result does not fit the width (or is not a number).
std::optional<qint64> roundToWidth(double value, Width width);
