// Random bytes as a game left running, alone and spliced into a game this program wrote:
// reading must never crash, and a game read must be written and read back the same.

#include "tournament/SavedGame.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

void readAndWriteBack(const QByteArray &bytes)
{
    const std::optional<tournament::SavedGame> game = tournament::parseSavedGame(bytes);
    if (!game)
        return;
    (void)tournament::resumeQuestion(*game);
    const std::optional<tournament::SavedGame> again = tournament::parseSavedGame(tournament::formatSavedGame(*game));
    if (!again || *again != *game)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    readAndWriteBack(bytes);

    static const QByteArray kept = [] {
        tournament::SavedGame g;
        g.currentRound = 2, g.listIndex = 1, g.secondsLeft = 500, g.levelSeconds = 600, g.counting = true;
        g.levels = {{"25", "50", "600"}, {"50", "100", "600"}};
        g.setup.buyIn = 20, g.setup.buyInChips = 10000, g.setup.rebuyLastRound = 4;
        for (const tournament::Action a : {tournament::Action::Entry, tournament::Action::Entry,
                                           tournament::Action::Bust, tournament::Action::LockPayouts})
            g.records.push_back(
                {a, 1700000000000,
                 a == tournament::Action::LockPayouts ? std::vector<qint64>{40} : std::vector<qint64>{}});
        return tournament::formatSavedGame(g);
    }();
    if (size > 0) {
        const qsizetype at = qsizetype(data[0]) * kept.size() / 256;
        readAndWriteBack(kept.left(at) + bytes.mid(1) + kept.mid(at + qsizetype(size % 8)));
    }
    return 0;
}
