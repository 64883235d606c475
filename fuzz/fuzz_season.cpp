// Random bytes as a season file and as a night's results: reading must never crash, a season
// read writes back to a file that reads the same, and its standings rank everyone once.

#include "season/Season.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    season::linesFromResults(bytes);
    const std::optional<season::Season> s = season::Season::read(bytes);
    if (!s)
        return 0;
    const std::optional<season::Season> again = season::Season::read(s->file());
    if (!again || !(*again == *s))
        std::abort();
    for (const season::Standing &st : s->standings())
        if (st.rank < 1 || st.nights < 1 || st.total < 0)
            std::abort();
    return 0;
}
