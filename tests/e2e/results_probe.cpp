// A full night's results written as the program writes them, for the print test: 48 places
// from four tables of twelve, some without a name, and 40 levels. Prints the page's path.
//   results_probe FOLDER
#include "blinds/BlindSchedule.h"
#include "platform/NightFiles.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: results_probe FOLDER\n");
        return 2;
    }
    tournament::Results r;
    r.title = QStringLiteral("Friday Night Deepstack — Winter League");
    r.date = QStringLiteral("2026-12-10");
    r.when = QStringLiteral("Thursday 10 December 2026, 23:41");
    r.currency = QStringLiteral("£");
    r.counts = {42, 6, 15, 30, 47};
    r.collected = 7800, r.cut = 780, r.added = 200, r.pool = 7220, r.guaranteed = false;
    const char *const names[] = {"Margaret Featherstonehaugh-Whittington",
                                 "Ann Lee",
                                 "",
                                 "Zoë Ødegård",
                                 "Tom \"The Rock\" O'Brien",
                                 "Priya Raman",
                                 "",
                                 "Dave"};
    const qint64 prizes[] = {2520, 1550, 1050, 750, 550, 400, 250, 150};
    r.places.reserve(48);
    for (int i = 0; i < 48; ++i)
        r.places.push_back(
            {i + 1, (i * 29) % 48 + 1, QString::fromUtf8(names[i % 8]), {i % 4 + 1, i / 4 + 1}, i < 8 ? prizes[i] : 0});
    r.structure.reserve(41);
    qint64 small = 25;
    for (int round = 1; round <= 40; ++round, small = small * 5 / 4 / 25 * 25 + 25)
        r.structure << blindLine(round, r.currency, QString::number(small), QString::number(2 * small),
                                 QStringLiteral("20"));
    r.structure << QStringLiteral("Break every 4 levels, 10 mins.");
    const platform::NewFilesWritten w = platform::writeResults(QString::fromLocal8Bit(argv[1]), r);
    if (!w.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(w.error));
        return 1;
    }
    std::printf("%s\n", qPrintable(w.paths.value(1)));
    return 0;
}
