#include "support/GameDriver.h"

namespace drive {

bool tick(frm_Chiplark &frm)
{
    if (frm.tmr_break->isActive())
        frm.tmr_break_Timer();
    else if (frm.tmr_rounds->isActive())
        frm.tmr_rounds_Timer();
    else
        return false;
    return true;
}

void ticks(frm_Chiplark &frm, int n)
{
    for (int i = 0; i < n; ++i)
        tick(frm);
}

void setSchedule(frm_Chiplark &frm, const QStringList &rows)
{
    frm.lst_Small.clear();
    frm.lst_Big.clear();
    frm.lst_Time.clear();
    for (const QString &row : rows) {
        const QStringList f = row.split(QLatin1Char('/'));
        frm.lst_Small.addItem(f.value(0));
        frm.lst_Big.addItem(f.value(1));
        frm.lst_Time.addItem(f.value(2));
    }
    frm.regenList();
}

} // namespace drive
