#pragma once
// The night's results kept as files in the "results" folder beside the program: a CSV and a
// page, chiplark-results-2026-12-10.csv and .html, under a name of their own each time
// (-2, -3, ... after the first of a day), so no earlier results are ever replaced.

#include "tournament/Results.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QThread>

namespace platform {

struct ResultsWritten {
    bool ok = false;
    QString csvPath;
    QString htmlPath;
    // For the host when it failed: "The results could not be written to /x/results:
    // Permission denied."
    QString error;
};

// "results" in the folder that holds the program.
QString resultsFolder();

// Creates the folder when it is missing, picks the first stem of the day that neither file
// has yet (nothing of any kind, not even a dangling link, stands at either name), claims both
// names and writes the files whole, flushed to the disk with the folder. On failure nothing
// of the two files is left behind. Blocks: never on the user-interface thread.
ResultsWritten writeResults(const QString &folder, const tournament::Results &results);

// writeResults on a thread of its own: write() returns at once and written() follows on the
// asker's thread, once per write, in the order asked.
class ResultsWriter : public QObject {
    Q_OBJECT
public:
    explicit ResultsWriter(QString folder = resultsFolder(), QObject *parent = nullptr);
    // Waits for the writes asked: results asked for at exit are still written.
    ~ResultsWriter() override;
    ResultsWriter(const ResultsWriter &) = delete;
    ResultsWriter &operator=(const ResultsWriter &) = delete;

    void write(const tournament::Results &results);

signals:
    void written(const platform::ResultsWritten &result);

private:
    const QString folder_;
    QThread thread_;
    QObject *worker_ = nullptr; // lives on thread_, where the writes are done
};

} // namespace platform

Q_DECLARE_METATYPE(platform::ResultsWritten)
