// A long night's sheet written as the program writes it, for the print test: 40 levels with a
// break after every fourth, four colour-ups, 20 places paid and a title full of markup. Prints
// the page's path.
//   sheet_probe FOLDER
#include "plan/Sheet.h"
#include "platform/NightFiles.h"

#include <cstdio>
#include <numeric>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sheet_probe FOLDER\n");
        return 2;
    }
    plan::Night n;
    n.title = QStringLiteral("Friday <Deepstack> & \"Friends\" — Winter League Final Table Special Edition");
    n.currency = QStringLiteral("£");
    // The 25s go after round 4, the 100s after 8, the 500s after 12 and the 1000s after 16.
    const qint64 first[] = {25, 50, 75, 100, 200, 300, 400, 600, 1000, 1500, 2000, 3000, 4000, 5000, 6000, 8000};
    for (int level = 1; level <= 40; ++level) {
        const qint64 small = level <= 16 ? first[level - 1] : 5000 * (level - 15);
        n.levels.push_back({QString::number(small), QString::number(2 * small), 0});
        n.levelSeconds.push_back(20 * 60);
    }
    n.breakEvery = 4;
    n.repeat = true;
    n.breakSeconds = 10 * 60;
    n.setup.chips = {{25, QStringLiteral("white"), 400},    {100, QStringLiteral("red"), 400},
                     {500, QStringLiteral("green"), 300},   {1000, QStringLiteral("black"), 400},
                     {5000, QStringLiteral("purple"), 200}, {25000, QStringLiteral("yellow"), 100}};
    n.setup.players = 180;
    n.setup.rebuys = 40;
    n.setup.addOns = 100;
    n.setup.startsAt = 19 * 3600 + 30 * 60;
    tournament::Setup count;
    count.buyIn = 25;
    count.buyInChips = 10000;
    count.rebuy = 25;
    count.rebuyChips = 10000;
    count.rebuyLastRound = 4;
    count.addOn = 10;
    count.addOnChips = 5000;
    count.cut = 10;
    count.added = 200;
    count.shares = {20000, 14000, 10000, 8000, 7000, 6000, 5000, 4500, 4000, 3500,
                    3000,  2800,  2600,  2400, 2000, 1600, 1200, 1000, 800,  600};
    n.count = count;

    // The night the test means to print, or nothing.
    const chips::ChipPlan chipPlan = chips::planChips(n.setup.chips, plan::structureOf(n));
    const std::vector<qint64> paid = plan::expectedPayouts(n);
    if (chipPlan.colourUps.size() != 4 || paid.size() != 20) {
        std::fprintf(stderr,
                     "the night has %zu colour-ups and %zu places paid, not 4 and 20:", chipPlan.colourUps.size(),
                     paid.size());
        for (const chips::ColourUp &up : chipPlan.colourUps)
            std::fprintf(stderr, " %s after round %d;", qPrintable(chips::chipsNamed(up.chips)), up.afterLevel);
        std::fprintf(stderr, "\n");
        return 1;
    }
    const platform::NewFilesWritten w = platform::writeSheet(
        QString::fromLocal8Bit(argv[1]), QStringLiteral("2026-12-10"),
        plan::sheetHtml(n, QDateTime(QDate(2026, 12, 10), QTime(0, 0).addSecs(int(*n.setup.startsAt)))));
    if (!w.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(w.error));
        return 1;
    }
    std::printf("%s\n", qPrintable(w.paths.constFirst()));
    return 0;
}
