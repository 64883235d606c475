#include "blinds/SavedStructures.h"

#include "blinds/BlindSchedule.h"
#include "platform/RegularFile.h"
#include "platform/TextFile.h"

#include <QDir>

const QString ForbiddenNameCharacters = QStringLiteral("\\/:*?\"<>|");

bool FileNameCheck(const QString &name, const QString &characters)
{
    for (QChar c : characters)
        if (name.contains(c))
            return true;
    return false;
}

QString savedStructuresFolder(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Saved Blinds"));
}

QString structurePath(const QString &programFolder, const QString &name)
{
    return QDir(savedStructuresFolder(programFolder)).filePath(name + QStringLiteral(".bld"));
}

QByteArray structureBytes(const QStringList &small, const QStringList &big, const QStringList &time)
{
    QString text;
    for (qsizetype i = 0; i < big.size(); ++i)
        text += small.value(i) + QLatin1Char(',') + big.value(i) + QLatin1Char(',') + time.value(i)
                + QStringLiteral("\r\n");
    return platform::encodeText(text, false, false);
}

QByteArray readStructureFile(const QString &path)
{
    const platform::FileContents c = platform::readRegularFile(path, MaxStructureBytes, true);
    if (c.state != platform::FileState::Regular)
        return QByteArray();
    if (!c.cut)
        return c.bytes;
    // A line cut at the bound is not a row.
    const qsizetype end = std::max(c.bytes.lastIndexOf('\n'), c.bytes.lastIndexOf('\r'));
    return c.bytes.left(end + 1);
}

StructureRows parseStructure(const QByteArray &bytes)
{
    StructureRows rows;
    const QString text = platform::decodeText(bytes).text;
    qsizetype start = 0;
    const auto takeLine = [&](qsizetype end) {
        if (rows.big.size() >= MaxRounds)
            return;
        const QStringView line = QStringView(text).mid(start, end - start);
        const qsizetype first = line.indexOf(QLatin1Char(','));
        const qsizetype second = first < 0 ? -1 : line.indexOf(QLatin1Char(','), first + 1);
        if (second < 0)
            return;
        const qsizetype third = line.indexOf(QLatin1Char(','), second + 1);
        rows.small << line.left(first).toString();
        rows.big << line.mid(first + 1, second - first - 1).toString();
        rows.time << line.mid(second + 1, third < 0 ? -1 : third - second - 1).toString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        takeLine(i);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        takeLine(text.size());
    return rows;
}

int sortedPosition(const QStringList &names, const QString &name)
{
    const auto less = [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    return int(std::upper_bound(names.begin(), names.end(), name, less) - names.begin());
}

QStringList listStructures(const QString &programFolder)
{
    const QDir dir(savedStructuresFolder(programFolder));
    QStringList names;
    for (const QString &file : dir.entryList({QStringLiteral("*.bld")}, QDir::Files | QDir::Hidden | QDir::System)) {
        // Only what can be read: no FIFO, device or socket, also not behind a link.
        if (!platform::isRegularFile(dir.filePath(file)))
            continue;
        const QString name = file.left(file.size() - 4);
        names.insert(sortedPosition(names, name), name);
    }
    return names;
}
