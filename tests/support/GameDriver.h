#pragma once
// Drives a game by hand: one tick of whichever countdown is enabled, as the event loop
// would deliver it, and a schedule written straight into the three columns.

#include "settings/frm_Chiplark.h"

#include <QStringList>

namespace drive {

// Delivers one tick to the enabled countdown; false when none is enabled.
bool tick(frm_Chiplark &frm);
// Delivers up to n ticks.
void ticks(frm_Chiplark &frm, int n);
// Rows as "small/big/seconds".
void setSchedule(frm_Chiplark &frm, const QStringList &rows);

} // namespace drive
