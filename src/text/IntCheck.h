#pragma once
// The keystroke filter of the numeric boxes: digits and backspace pass, every other
// typed character is cancelled (set to 0).

#include <QtGlobal>

void IntCheck(qint16 &KeyAscii);

class QString;

// "Empty", "Number" (digits only), "Letter" (letters a-z, A-Z only) or "Mixed"; characters
// of the ignore set, compared without regard to case, are passed over.
QString TextTypeCheck(const QString &text, const QString &ignore);
