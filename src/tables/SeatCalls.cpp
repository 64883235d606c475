#include "tables/SeatCalls.h"

#include <algorithm>

namespace tables {

namespace {

QString who(qint64 entry, const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Entry %1").arg(entry) : name;
}

constexpr int Enter = 13;
constexpr int Escape = 27;

} // namespace

QString seatCall(qint64 entry, const QString &name, Seat seat)
{
    return who(entry, name) + QStringLiteral(" → ") + seatText(seat);
}

QString spokenSeat(qint64 entry, const QString &name, Seat seat)
{
    return who(entry, name) + QStringLiteral(", ") + seatText(seat);
}

QString moveCall(const Move &move)
{
    return QStringLiteral("Table %1, the big blind moves to ").arg(move.from.table) + seatText(move.to);
}

QString seatShort(Seat seat)
{
    return QStringLiteral("Table %1 Seat %2").arg(seat.table).arg(seat.seat);
}

QString movedCall(const Move &move, const NameAt &nameAt)
{
    return nameAt(move.to) + QStringLiteral(", ") + seatShort(move.from) + QStringLiteral(" → ") + seatShort(move.to);
}

QStringList breakCalls(const Broken &broken, const NameAt &nameAt)
{
    QStringList lines{QStringLiteral("Table %1 breaks").arg(broken.table)};
    for (const Move &m : broken.moves)
        lines << movedCall(m, nameAt);
    return lines;
}

QStringList redrawCalls(const std::vector<Move> &moves, const NameAt &nameAt)
{
    QStringList lines;
    for (const Move &m : moves)
        lines << nameAt(m.to) + QStringLiteral(", ") + seatShort(m.from) + QStringLiteral(" → Seat %1").arg(m.to.seat);
    return lines;
}

QStringList seatMapLines(const Seating &seating, const NameAt &nameAt)
{
    QStringList lines;
    const Layout &l = seating.layout();
    for (int t = 1; t <= l.tables; ++t) {
        if (!seating.open(t))
            continue;
        QStringList seats;
        for (int seat = 1; seat <= l.seats; ++seat)
            if (seating.at({t, seat}) != 0) { // a seat and its player never broken over two lines
                QString entry = QString::number(seat) + QLatin1Char(' ') + nameAt({t, seat});
                seats << entry.replace(QLatin1Char(' '), QChar::Nbsp);
            }
        lines << QStringLiteral("Table %1: ").arg(t)
                     + (seats.isEmpty() ? QStringLiteral("empty") : seats.join(QStringLiteral(" · ")));
    }
    return lines;
}

QString spoken(const QString &line)
{
    return QString(line).replace(QStringLiteral(" → "), QStringLiteral(", to "));
}

QStringList seatsBack(const Seating &before, const Seating &after, const std::function<QString(int)> &name)
{
    QStringList lines;
    const Layout &l = after.layout();
    for (int t = 1; t <= l.tables; ++t)
        for (int seat = 1; seat <= l.seats; ++seat) {
            const int player = after.at({t, seat});
            if (player == 0)
                continue;
            const std::optional<Seat> was = before.seatOf(player);
            if (!was)
                lines << name(player) + QStringLiteral(" → ") + seatShort({t, seat});
            else if (*was != Seat{t, seat})
                lines << name(player) + QStringLiteral(", ") + seatShort(*was) + QStringLiteral(" → ")
                             + seatShort({t, seat});
        }
    return lines;
}

SeatInput::Step SeatInput::begin(const QString &what, const std::vector<int> &tables, int seats, int table, int all)
{
    what_ = what;
    tables_ = tables;
    all_ = all;
    refused_.clear();
    seats_ = seats;
    table_ = table != 0 ? table : (all <= 1 && tables.size() == 1 ? tables.front() : 0);
    first_ = 0;
    active_ = true;
    return prompt();
}

SeatInput::Step SeatInput::prompt() const
{
    Step s;
    const QString cancel = QStringLiteral(" (Escape cancels)");
    if (table_ == 0) {
        QStringList numbers;
        for (const int t : tables_)
            numbers << QString::number(t);
        s.prompt = refused_ + what_ + QStringLiteral(": which table? ") + numbers.join(QStringLiteral(", ")) + cancel;
    } else if (first_ != 0) {
        s.prompt =
            what_ + QStringLiteral(" at Table %1: seat 1… Enter for Seat 1, or its second digit").arg(table_) + cancel;
    } else {
        s.prompt = what_ + QStringLiteral(" at Table %1: which seat? 1–%2").arg(table_).arg(seats_) + cancel;
    }
    return s;
}

SeatInput::Step SeatInput::key(int code)
{
    if (!active_)
        return {false, true, {}, {}};
    const auto stop = [this](const QString &why) {
        active_ = false;
        return Step{false, true, {}, why};
    };
    const auto seat = [this](int number) {
        active_ = false;
        return Step{true, false, {table_, number}, {}};
    };
    if (code == Escape)
        return stop(what_ + QStringLiteral(": cancelled"));
    if (code == Enter && first_ != 0)
        return seat(first_);
    if (code < '0' || code > '9')
        return stop(QString());
    const int digit = code - '0';
    if (table_ == 0) {
        if (std::find(tables_.begin(), tables_.end(), digit) == tables_.end()) {
            if (digit >= 1 && digit <= all_)
                refused_ = QStringLiteral("Table %1 is broken. ").arg(digit);
            return prompt();
        }
        refused_.clear();
        table_ = digit;
        return prompt();
    }
    if (first_ != 0) {
        const int number = first_ * 10 + digit;
        return number <= seats_ ? seat(number) : prompt();
    }
    // With ten seats or more, 1 may begin 10, 11 or 12; 0 stands for Seat 10.
    if (digit == 1 && seats_ >= 10) {
        first_ = 1;
        return prompt();
    }
    const int number = digit == 0 ? 10 : digit;
    return number <= seats_ ? seat(number) : prompt();
}

} // namespace tables
