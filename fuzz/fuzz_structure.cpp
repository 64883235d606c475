// Random bytes as a saved blind structure: reading must never crash, the three columns
// always come out equal, and what is read, written again, reads back the same.

#include "blinds/SavedStructures.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const StructureRows rows = parseStructure(bytes);
    if (rows.small.size() != rows.big.size() || rows.big.size() != rows.time.size())
        std::abort();
    // Fields never hold a line end or, but for the third, a field separator.
    for (qsizetype i = 0; i < rows.big.size(); ++i)
        if (rows.small[i].contains(QLatin1Char(',')) || rows.big[i].contains(QLatin1Char(','))
            || rows.time[i].contains(QLatin1Char(',')) || rows.time[i].contains(QLatin1Char('\n'))
            || rows.time[i].contains(QLatin1Char('\r')))
            std::abort();
    const StructureRows again = parseStructure(structureBytes(rows.small, rows.big, rows.time));
    if (again.small != rows.small || again.big != rows.big || again.time != rows.time)
        std::abort();
    return 0;
}
