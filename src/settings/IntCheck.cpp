#include "settings/IntCheck.h"

void IntCheck(qint16 &KeyAscii)
{
    if (KeyAscii == 8)
        return;
    if (KeyAscii > '9' || KeyAscii < '0')
        KeyAscii = 0;
}
