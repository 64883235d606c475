#pragma once
// The CSV the season's files are written in and read from: text cells kept safe from a
// spreadsheet's formulas, and the records of a file read strictly.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace season::csv {

// A text cell: a spreadsheet takes a cell that begins with = + - @ (or a tab or a carriage
// return before one) as a formula, so such a text is kept as text by a leading apostrophe, as
// is a text that is apostrophes before one (so that reading takes exactly one off again). A
// cell holding a comma, a quote or a line end is quoted, its quotes doubled.
QString text(const QString &text);
// The text a cell written by text() held (of a results file too, but for a name that was
// apostrophes before a formula's first character: one apostrophe fewer).
QString untext(const QString &cell);
QString line(const QStringList &cells);

struct Record {
    qint64 line = 0; // the file's line it starts on, from 1
    QStringList cells;
};
// The records of a UTF-8 CSV, lines ended by CRLF or LF; a blank line is one empty cell.
// none when the bytes are not UTF-8, a quote is misplaced or there are more than `most`
// records (the line of the fault in `faultLine`, 0 when the bytes are not UTF-8).
std::optional<std::vector<Record>> records(const QByteArray &bytes, qint64 most, qint64 *faultLine);
// A whole number from 0 to 10^15 written in digits alone.
std::optional<qint64> number(const QString &cell);

} // namespace season::csv
