#pragma once
// The keystroke filter of the numeric boxes: digits and backspace pass, every other
// typed character is cancelled (set to 0).

#include <QtGlobal>

void IntCheck(qint16 &KeyAscii);
