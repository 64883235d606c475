#pragma once
// The night's sheet: one printable page the host pins up beside the table.

#include "plan/Night.h"

#include <QByteArray>
#include <QDateTime>

namespace plan {

// The sheet: a standalone page (nothing loaded, nothing run) that prints on one A4 sheet.
QByteArray sheetHtml(const Night &night, const QDateTime &startsAt);

} // namespace plan
