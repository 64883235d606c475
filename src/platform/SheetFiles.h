#pragma once
// The night's sheet kept in the "sheets" folder beside the program, as
// chiplark-sheet-2026-12-10.html (-2, -3, ... after the first of a day: no sheet is replaced),
// written on a thread of its own.

#include "platform/NewFiles.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QThread>

namespace platform {

// "sheets" in the folder that holds the program.
QString sheetsFolder();

// The page under the day's first free name; `date` as "2026-12-10". Blocks.
NewFilesWritten writeSheet(const QString &folder, const QString &date, const QByteArray &page);

// writeSheet on a thread of its own: write() returns at once and written() follows on the
// asker's thread, once per write, in the order asked.
class SheetWriter : public QObject {
    Q_OBJECT
public:
    explicit SheetWriter(QString folder = sheetsFolder(), QObject *parent = nullptr);
    // Waits for the writes asked.
    ~SheetWriter() override;
    SheetWriter(const SheetWriter &) = delete;
    SheetWriter &operator=(const SheetWriter &) = delete;

    void write(const QString &date, const QByteArray &page);

signals:
    void written(const platform::NewFilesWritten &result);

private:
    const QString folder_;
    QThread thread_;
    QObject *worker_ = nullptr; // lives on thread_, where the writes are done
};

} // namespace platform

Q_DECLARE_METATYPE(platform::NewFilesWritten)
