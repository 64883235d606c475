#include "tables/Seating.h"

#include <algorithm>

namespace tables {

QString seatText(Seat seat)
{
    return QStringLiteral("Table %1, Seat %2").arg(seat.table).arg(seat.seat);
}

// splitmix64: one multiply-and-shift chain per number, the same everywhere.
quint64 Draw::next()
{
    quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int Draw::below(int n)
{
    if (n <= 1)
        return 0;
    // Numbers past the last whole multiple of n are drawn again, so that none is favoured.
    const quint64 range = quint64(n);
    const quint64 limit = ~quint64(0) - (~quint64(0) % range);
    quint64 v = next();
    while (v >= limit)
        v = next();
    return int(v % range);
}

Seating::Seating(Layout layout, quint64 seed) : layout_(std::move(layout)), draw_(seed)
{
    layout_.tables = std::clamp(layout_.tables, 1, MaxTables);
    layout_.seats = std::clamp(layout_.seats, MinSeats, MaxSeats);
    seats_.assign(size_t(layout_.tables) * size_t(layout_.seats), 0);
    open_.assign(size_t(layout_.tables), true);
    freed_.assign(size_t(layout_.tables), 0);
    // The seat pool: every seat once, shuffled.
    pool_.reserve(seats_.size());
    for (int t = 1; t <= layout_.tables; ++t)
        for (int s = 1; s <= layout_.seats; ++s)
            pool_.push_back({t, s});
    for (int i = int(pool_.size()) - 1; i > 0; --i)
        std::swap(pool_[size_t(i)], pool_[size_t(draw_.below(i + 1))]);
}

int &Seating::cell(Seat seat)
{
    return seats_[size_t((seat.table - 1) * layout_.seats + seat.seat - 1)];
}

int Seating::cell(Seat seat) const
{
    return seats_[size_t((seat.table - 1) * layout_.seats + seat.seat - 1)];
}

int Seating::at(Seat seat) const
{
    if (seat.table < 1 || seat.table > layout_.tables || seat.seat < 1 || seat.seat > layout_.seats
        || !open(seat.table))
        return 0;
    return cell(seat);
}

std::optional<Seat> Seating::seatOf(int entry) const
{
    if (entry <= 0)
        return std::nullopt;
    const auto it = std::find(seats_.begin(), seats_.end(), entry);
    if (it == seats_.end())
        return std::nullopt;
    const int i = int(it - seats_.begin());
    return Seat{i / layout_.seats + 1, i % layout_.seats + 1};
}

int Seating::players(int table) const
{
    if (table < 1 || table > layout_.tables)
        return 0;
    const auto first = seats_.begin() + (table - 1) * layout_.seats;
    return int(std::count_if(first, first + layout_.seats, [](int e) { return e != 0; }));
}

int Seating::left() const
{
    return int(std::count_if(seats_.begin(), seats_.end(), [](int e) { return e != 0; }));
}

bool Seating::open(int table) const
{
    return table >= 1 && table <= layout_.tables && open_[size_t(table - 1)];
}

int Seating::openTables() const
{
    return int(std::count(open_.begin(), open_.end(), true));
}

std::vector<Seat> Seating::freeSeats(int table) const
{
    std::vector<Seat> free;
    for (const Seat &s : pool_)
        if (s.table == table && cell(s) == 0)
            free.push_back(s);
    return free;
}

std::optional<Seat> Seating::sit(int entry)
{
    broken_ = {};
    if (entry <= 0 || seatOf(entry))
        return std::nullopt;
    // Every open seat taken: the table broken last opens again.
    if (left() >= openTables() * layout_.seats) {
        if (brokenOrder_.empty())
            return std::nullopt;
        open_[size_t(brokenOrder_.back() - 1)] = true;
        brokenOrder_.pop_back();
        redrawn_ = false;
    }
    int fewest = layout_.seats;
    for (int t = 1; t <= layout_.tables; ++t)
        if (open(t))
            fewest = std::min(fewest, players(t));
    for (const Seat &s : pool_) {
        if (open(s.table) && players(s.table) == fewest && cell(s) == 0) {
            cell(s) = entry;
            return s;
        }
    }
    return std::nullopt;
}

int Seating::nextToBreak() const
{
    for (const int t : layout_.breakOrder)
        if (open(t))
            return t;
    for (int t = layout_.tables; t >= 1; --t)
        if (open(t))
            return t;
    return 0;
}

int Seating::bust(Seat seat)
{
    broken_ = {};
    const int entry = at(seat);
    if (entry == 0)
        return 0;
    cell(seat) = 0;
    freed_[size_t(seat.table - 1)] = seat.seat;
    ++busts_;
    // The players left fit at one table fewer: the next table in the host's order breaks.
    if (openTables() > 1 && left() <= layout_.seats * (openTables() - 1))
        breakTable(nextToBreak());
    return entry;
}

void Seating::breakTable(int table)
{
    broken_.table = table;
    open_[size_t(table - 1)] = false;
    brokenOrder_.push_back(table);
    freed_[size_t(table - 1)] = 0;
    // Its players, seat by seat, each to a seat drawn among the tables with the fewest players.
    for (int s = 1; s <= layout_.seats; ++s) {
        const Seat from{table, s};
        const int entry = cell(from);
        if (entry == 0)
            continue;
        int fewest = layout_.seats;
        for (int t = 1; t <= layout_.tables; ++t)
            if (open(t) && players(t) < layout_.seats)
                fewest = std::min(fewest, players(t));
        std::vector<Seat> free;
        for (int t = 1; t <= layout_.tables; ++t)
            if (open(t) && players(t) == fewest)
                for (const Seat &f : freeSeats(t))
                    free.push_back(f);
        std::sort(free.begin(), free.end());
        const Seat to = free[size_t(draw_.below(int(free.size())))];
        cell(from) = 0;
        cell(to) = entry;
        broken_.moves.push_back({from, to});
    }
}

std::optional<Move> Seating::suggestion() const
{
    if (refusedAt_ == busts_ || openTables() < 2)
        return std::nullopt;
    int longest = 0;
    int shortest = 0;
    for (int t = 1; t <= layout_.tables; ++t) {
        if (!open(t))
            continue;
        if (longest == 0 || players(t) > players(longest))
            longest = t;
        if (shortest == 0 || players(t) < players(shortest))
            shortest = t;
    }
    if (players(longest) - players(shortest) < 2)
        return std::nullopt;
    // The seat a bust freed at the short table, or its first free seat in the pool's order.
    const int freed = freed_[size_t(shortest - 1)];
    Seat to{shortest, freed};
    if (freed == 0 || cell(to) != 0)
        to = freeSeats(shortest).front();
    return Move{{longest, 0}, to};
}

void Seating::refuse()
{
    broken_ = {};
    refusedAt_ = busts_;
}

bool Seating::move(Seat from)
{
    broken_ = {};
    const std::optional<Move> m = suggestion();
    if (!m || from.table != m->from.table || at(from) == 0)
        return false;
    cell(m->to) = cell(from);
    cell(from) = 0;
    if (freed_[size_t(m->to.table - 1)] == m->to.seat)
        freed_[size_t(m->to.table - 1)] = 0;
    return true;
}

std::vector<Move> Seating::redraw()
{
    broken_ = {};
    std::vector<Move> moves;
    if (!finalTable())
        return moves;
    int table = 1;
    while (!open(table))
        ++table;
    // The seats drawn for the players, in seat order.
    std::vector<int> order(size_t(layout_.seats));
    for (int s = 0; s < layout_.seats; ++s)
        order[size_t(s)] = s + 1;
    for (int i = layout_.seats - 1; i > 0; --i)
        std::swap(order[size_t(i)], order[size_t(draw_.below(i + 1))]);
    std::vector<std::pair<Seat, int>> players;
    for (int s = 1; s <= layout_.seats; ++s)
        if (const int e = cell({table, s}))
            players.emplace_back(Seat{table, s}, e);
    for (const auto &[from, entry] : players)
        cell(from) = 0;
    for (size_t i = 0; i < players.size(); ++i) {
        const Seat to{table, order[i]};
        cell(to) = players[i].second;
        moves.push_back({players[i].first, to});
    }
    std::fill(freed_.begin(), freed_.end(), 0);
    redrawn_ = true;
    return moves;
}

} // namespace tables
