#pragma once
// Files kept under a name of their own in a folder beside the program ("results", "sheets"):
// chiplark-results-2026-12-10.csv and .html, then -2, -3, ... after the first of a day, so no
// earlier file is ever replaced.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace platform {

struct NewFile {
    QString suffix; // ".html"
    QByteArray bytes;
};

struct NewFilesWritten {
    bool ok = false;
    QStringList paths; // in the order of the files asked
    // For the host when it failed: "The results could not be written to /x/results:
    // Permission denied."
    QString error;
};

// The day in a file's name, in digits and dashes only ("2026-12-10"); today when none is left.
QString nameDate(const QString &date);

// Creates the folder when it is missing, picks the first of stem, stem-2, ... that none of the
// files has yet (nothing of any kind, not even a dangling link, stands at any of the names),
// claims every name and writes the files whole, flushed to the disk with the folder. On failure
// nothing of the files is left behind. `what` names them in the error ("results", "sheet").
// Blocks: never on the user-interface thread.
NewFilesWritten writeNewFiles(const QString &folder, const QString &stem, const std::vector<NewFile> &files,
                              const QString &what);

} // namespace platform
