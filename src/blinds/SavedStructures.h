#pragma once
// Saved blind structures: one ".bld" file per structure in the "Saved Blinds" folder beside
// the program, a line per round: small blind, big blind and seconds, separated by ",".

#include <QByteArray>
#include <QString>
#include <QStringList>

// The nine characters a structure's name must not hold, in the order the message lists them.
extern const QString ForbiddenNameCharacters;

// True when the name holds at least one of the characters.
bool FileNameCheck(const QString &name, const QString &characters);

QString savedStructuresFolder(const QString &programFolder);
QString structurePath(const QString &programFolder, const QString &name);

struct StructureRows {
    QStringList small;
    QStringList big;
    QStringList time;
};

// Every line ends with CR LF; an empty schedule is an empty file.
QByteArray structureBytes(const QStringList &small, const QStringList &big, const QStringList &time);

// A structure is read up to its first 8 MB (or its 32,767th row, whichever comes first).
constexpr qint64 MaxStructureBytes = 8 * 1024 * 1024;

// The bytes of a saved structure, if it is a regular file, up to the bound and the last
// whole line before it; nothing for anything else.
QByteArray readStructureFile(const QString &path);

// Lines end at CR, CR LF or LF; a line with fewer than three fields is skipped, fields after
// the third are ignored; at most the rows a schedule can hold are read.
StructureRows parseStructure(const QByteArray &bytes);

// The names of the saved structures, without ".bld", sorted without regard to case.
// A missing folder gives none.
QStringList listStructures(const QString &programFolder);

// Where a name goes in a list kept sorted without regard to case.
int sortedPosition(const QStringList &names, const QString &name);
