#pragma once
// The seasons beside the program, in "seasons": each one a file the host can copy to move the
// league ("Thursday League 2027.csv"), with its standings as a printable page and a CSV beside it.
// A season file that does not read is told and never written over. Every call blocks: never on
// the user-interface thread.

#include "platform/RegularFile.h"
#include "season/Season.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace platform {

// "seasons" in the program's folder.
QString seasonsFolder(const QString &programFolder);
// The file of a season: its name, with the characters a file name cannot hold made '-'.
QString seasonPath(const QString &folder, const QString &name);
// The seasons the folder holds, by name, sorted.
QStringList seasonNames(const QString &folder);

struct SeasonRead {
    FileState state = FileState::Missing;
    std::optional<season::Season> season; // read, or a new one when the file is missing
    QString why;                          // for the host, when it does not read
};
// The season of that name: read, or new (named, with the default points and rule) when there is
// no file yet.
SeasonRead readSeason(const QString &folder, const QString &name);

struct SeasonWritten {
    bool ok = false;
    QString told; // what the host is told: where the standings are, or why nothing was written
    std::optional<season::Season> season;
};
// The season written whole (a new file, or over one that reads), then its standings.
SeasonWritten writeSeason(const QString &folder, const season::Season &season, const QString &currency);
// A night added to the season of that name, and the season written with its standings; the night
// refused (added twice, a name twice) or the file unreadable leaves everything as it was.
SeasonWritten addNight(const QString &folder, const QString &name, const std::vector<season::Line> &night,
                       const QString &currency);

} // namespace platform
