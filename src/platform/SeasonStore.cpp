#include "platform/SeasonStore.h"

#include "platform/TextFile.h"

#include <QDir>

namespace platform {

namespace {

// A season file holds at most 100,000 lines of a few hundred bytes each.
constexpr qint64 SeasonBytes = 64 * 1024 * 1024;

QString standingsPath(const QString &folder, const QString &name, const char *suffix)
{
    const QString path = seasonPath(folder, name);
    return path.left(path.size() - 4) + QLatin1String(suffix);
}

} // namespace

QString seasonsFolder(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("seasons"));
}

QString seasonPath(const QString &folder, const QString &name)
{
    QString file = name.trimmed();
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : file)
        if (forbidden.contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('-');
    if (file.startsWith(QLatin1Char('.')))
        file.replace(0, 1, QLatin1Char('-'));
    return QDir(folder).filePath(file + QStringLiteral(".csv"));
}

QStringList seasonNames(const QString &folder)
{
    QStringList names;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    for (const QString &f : files)
        if (!f.endsWith(QLatin1String(" standings.csv")))
            names << f.chopped(4);
    return names;
}

SeasonRead readSeason(const QString &folder, const QString &name)
{
    SeasonRead read;
    const QString path = seasonPath(folder, name);
    const FileContents file = readRegularFile(path, SeasonBytes, false);
    read.state = file.state;
    const QString where = QDir::toNativeSeparators(path);
    if (file.state == FileState::Missing) {
        read.season.emplace();
        read.season->name = name.trimmed();
        return read;
    }
    if (file.state == FileState::Unreadable) {
        read.why = QStringLiteral("The season file %1 cannot be read: it is left as it is.").arg(where);
        return read;
    }
    QString why;
    read.season = season::Season::read(file.bytes, &why);
    if (!read.season) {
        read.state = FileState::Unreadable;
        read.why = QStringLiteral("The season file %1 does not read: %2 It is left as it is.").arg(where, why);
    }
    return read;
}

SeasonWritten writeSeason(const QString &folder, const season::Season &s, const QString &currency)
{
    SeasonWritten w;
    const SeasonRead there = readSeason(folder, s.name);
    if (there.state == FileState::Unreadable) {
        w.told = there.why;
        return w;
    }
    QString why;
    if (!QDir().mkpath(folder)) {
        w.told = QStringLiteral("The season could not be written: the folder %1 cannot be made.")
                     .arg(QDir::toNativeSeparators(folder));
        return w;
    }
    const QString path = seasonPath(folder, s.name);
    if (!writeFileAtomically(path, s.file(), {}, &why)) {
        w.told = QStringLiteral("The season could not be written to %1: %2. It is as it was.")
                     .arg(QDir::toNativeSeparators(path), why);
        return w;
    }
    w.ok = true;
    w.season = s;
    const QString page = standingsPath(folder, s.name, " standings.html");
    if (!writeFileAtomically(page, season::standingsHtml(s, currency), {}, &why)
        || !writeFileAtomically(standingsPath(folder, s.name, " standings.csv"), season::standingsCsv(s), {}, &why)) {
        w.told = QStringLiteral("The season is kept, but its standings could not be written: %1.").arg(why);
        return w;
    }
    w.told = QStringLiteral("The standings are in %1 and .csv.").arg(QDir::toNativeSeparators(page));
    return w;
}

SeasonWritten addNight(const QString &folder, const QString &name, const std::vector<season::Line> &night,
                       const QString &currency)
{
    SeasonWritten w;
    SeasonRead read = readSeason(folder, name);
    if (!read.season) {
        w.told = read.why;
        return w;
    }
    if (const std::optional<QString> refused = read.season->addNight(night)) {
        w.told = *refused;
        return w;
    }
    w = writeSeason(folder, *read.season, currency);
    if (w.ok)
        w.told = QStringLiteral("Tonight is in the season '%1'. ").arg(read.season->name) + w.told;
    return w;
}

} // namespace platform
