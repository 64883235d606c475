#pragma once
// The night's files kept beside the program: its results in "results", as
// chiplark-results-2026-12-10.csv and .html, with the table cards as chiplark-tables-2026-12-10.html,
// and its sheet in "sheets", as chiplark-sheet-2026-12-10.html; under a name of their own each time (-2, -3, ... after
// the first of a day), so no earlier file is ever replaced.

#include "platform/NewFiles.h"
#include "tournament/Results.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>

namespace platform {

// "results" and "sheets" in the folder that holds the program.
QString resultsFolder();
QString sheetsFolder();

// The results as a CSV and a page (paths: the .csv, then the .html), and the sheet's page
// under the day's first free name (`date` as "2026-12-10"). Block: never on the user-interface
// thread.
NewFilesWritten writeResults(const QString &folder, const tournament::Results &results);
NewFilesWritten writeSheet(const QString &folder, const QString &date, const QByteArray &page);
// A page of its own kind ("tables", said as "table cards"), the same way.
NewFilesWritten writePage(const QString &folder, const QString &kind, const QString &what, const QString &date,
                          const QByteArray &page);

// Writes on a thread of its own: write() returns at once and written() follows on the asker's
// thread, once per write, in the order asked.
class NightFilesWriter : public QObject {
    Q_OBJECT
public:
    explicit NightFilesWriter(QString folder, QObject *parent = nullptr);
    // Waits for the writes asked: files asked for at exit are still written.
    ~NightFilesWriter() override;
    NightFilesWriter(const NightFilesWriter &) = delete;
    NightFilesWriter &operator=(const NightFilesWriter &) = delete;

    void write(const tournament::Results &results);
    void write(const QString &date, const QByteArray &page);
    void writeCards(const QString &date, const QByteArray &page);
    // Other work on the disk, in turn with the writes: `work` runs on the thread, and what it
    // gives back runs on the asker's.
    void post(std::function<std::function<void()>()> work);

signals:
    void written(const platform::NewFilesWritten &result);

private:
    // Runs on the thread: the files made and written in the folder.
    void write(std::function<NewFilesWritten(const QString &folder)> files);

    const QString folder_;
    QThread thread_;
    QObject *worker_ = nullptr; // lives on thread_, where the writes are done
};

} // namespace platform

Q_DECLARE_METATYPE(platform::NewFilesWritten)
