// Reads a season from a folder as the program does and prints its standings' CSV, so that a
// season file copied elsewhere can be shown to read back the same.
//   season_probe FOLDER NAME
#include "platform/SeasonStore.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const platform::SeasonRead read =
        platform::readSeason(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    if (read.state != platform::FileState::Regular || !read.season) {
        std::fprintf(stderr, "%s\n", qPrintable(read.why));
        return 1;
    }
    const QByteArray csv = season::standingsCsv(*read.season);
    std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
    return 0;
}
