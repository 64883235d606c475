#include "season/SeasonCsv.h"

#include <QStringDecoder>

namespace season::csv {

namespace {

const QString &formulaStarts()
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return starts;
}

// The apostrophes a cell begins with, when a formula's first character follows them; -1 if none.
qsizetype guardedApostrophes(const QString &cell)
{
    qsizetype n = 0;
    while (n < cell.size() && cell.at(n) == QLatin1Char('\''))
        ++n;
    return n < cell.size() && formulaStarts().contains(cell.at(n)) ? n : -1;
}

} // namespace

QString text(const QString &text)
{
    QString cell = text;
    if (guardedApostrophes(cell) >= 0)
        cell.prepend(QLatin1Char('\''));
    if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) || cell.contains(QLatin1Char('\r'))
        || cell.contains(QLatin1Char('\n'))) {
        cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        cell = QLatin1Char('"') + cell + QLatin1Char('"');
    }
    return cell;
}

QString untext(const QString &cell)
{
    const qsizetype n = guardedApostrophes(cell);
    return n >= 1 ? cell.mid(1) : cell;
}

QString line(const QStringList &cells)
{
    return cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

std::optional<std::vector<Record>> records(const QByteArray &bytes, qint64 most, qint64 *faultLine)
{
    qint64 lineNo = 1;
    const auto fault = [&]() -> std::optional<std::vector<Record>> {
        if (faultLine)
            *faultLine = lineNo;
        return std::nullopt;
    };
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (decode.hasError()) {
        lineNo = 0;
        return fault();
    }

    std::vector<Record> out;
    Record record{lineNo, {}};
    QString cell;
    qint64 quoteLine = 0;
    bool quoted = false;    // inside a quoted cell
    bool wasQuoted = false; // the cell was quoted and has closed
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('\n'))
                ++lineNo;
            if (c != QLatin1Char('"')) {
                cell += c;
            } else if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else {
                quoted = false;
                wasQuoted = true;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (wasQuoted || !cell.isEmpty())
                return fault();
            quoted = true;
            quoteLine = lineNo;
        } else if (c == QLatin1Char(',')) {
            record.cells.append(cell);
            cell.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && (i + 1 >= n || text.at(i + 1) != QLatin1Char('\n')))
                return fault();
            if (c == QLatin1Char('\r'))
                ++i;
            record.cells.append(cell);
            out.push_back(std::move(record));
            if (qint64(out.size()) > most)
                return fault();
            cell.clear();
            wasQuoted = false;
            record = Record{++lineNo, {}};
        } else {
            if (wasQuoted)
                return fault();
            cell += c;
        }
    }
    if (quoted) {
        lineNo = quoteLine;
        return fault();
    }
    // A last line without its line end.
    if (!cell.isEmpty() || wasQuoted || !record.cells.isEmpty()) {
        record.cells.append(cell);
        out.push_back(std::move(record));
        if (qint64(out.size()) > most)
            return fault();
    }
    return out;
}

std::optional<qint64> number(const QString &cell)
{
    if (cell.isEmpty() || cell.size() > 16)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : cell) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    if (value > 1000000000000000LL)
        return std::nullopt;
    return value;
}

} // namespace season::csv
