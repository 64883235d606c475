#include "tournament/Standings.h"

#include <algorithm>

namespace tournament {

QString placeLine(const Place &place, const QString &currency)
{
    QStringList parts{place.name.isEmpty()
                          ? (place.entry > 0 ? QStringLiteral("Entry %1").arg(place.entry) : QStringLiteral("—"))
                          : place.name};
    if (place.seat.valid())
        parts << tables::seatText(place.seat);
    if (place.prize > 0)
        parts << currency + grouped(place.prize);
    return ordinal(place.place) + QStringLiteral("  ") + parts.join(QStringLiteral(" · "));
}

qint64 lastStanding(const Ledger &ledger)
{
    const std::optional<tables::Seating> &s = ledger.seating();
    if (!s || ledger.counts().left() != 1)
        return 0;
    const tables::Layout &l = s->layout();
    for (int t = 1; t <= l.tables; ++t)
        for (int seat = 1; seat <= l.seats; ++seat)
            if (const int entry = s->at({t, seat}))
                return entry;
    return 0;
}

std::vector<Place> standings(const Ledger &ledger, const QStringList &names)
{
    const auto nameOf = [&](qint64 entry) { return entry > 0 ? names.value(int(entry - 1)) : QString(); };
    const std::vector<Finish> &finishes = ledger.finishes();
    const std::vector<qint64> payouts = ledger.payouts();
    std::vector<Place> places;
    places.reserve(finishes.size() + 1);
    if (ledger.counts().left() == 1) {
        const qint64 winner = lastStanding(ledger);
        tables::Seat seat;
        if (const std::optional<tables::Seating> &s = ledger.seating(); s && winner > 0)
            seat = s->seatOf(int(winner)).value_or(tables::Seat{});
        places.push_back({1, winner, nameOf(winner), seat, payouts.empty() ? 0 : payouts.front()});
    }
    // The latest busts first: they hold the better places, and a place that came twice is paid
    // to the later one.
    std::vector<bool> paid(payouts.size() + 1, false);
    for (auto f = finishes.rbegin(); f != finishes.rend(); ++f) {
        Place p{f->place, f->entry, nameOf(f->entry), f->seat, 0};
        if (f->place >= 2 && f->place <= qint64(payouts.size()) && !paid[size_t(f->place)]) {
            p.prize = payouts[size_t(f->place - 1)];
            paid[size_t(f->place)] = true;
        }
        places.push_back(p);
    }
    std::stable_sort(places.begin(), places.end(), [](const Place &a, const Place &b) { return a.place < b.place; });
    return places;
}

} // namespace tournament
