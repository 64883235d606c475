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
    // With bounties: "2 knock-outs, £35 in bounties".
    if (place.knockouts > 0 || place.bounty > 0)
        parts << (place.knockouts == 1 ? QStringLiteral("1 knock-out")
                                       : QStringLiteral("%1 knock-outs").arg(place.knockouts))
                     + QStringLiteral(", %1%2 in bounties").arg(currency, grouped(place.bounty));
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

std::vector<Place> standings(const Ledger &ledger)
{
    const std::vector<Finish> &finishes = ledger.finishes();
    const std::vector<qint64> places = ledger.places();
    const auto line = [&](qint64 place, int player, tables::Seat seat) {
        Place p{place, player, {}, seat, 0};
        if (player > 0) {
            const Player &who = ledger.players()[size_t(player - 1)];
            p.name = who.name;
            p.buyIns = who.buyIns;
            p.rebuys = who.rebuys;
            p.addOns = who.addOns;
            if (const std::optional<bounty::Book> &book = ledger.bounties()) {
                p.knockouts = book->knockouts.at(size_t(player - 1));
                p.bounty = book->won.at(size_t(player - 1));
            }
        }
        p.prize = ledger.prizeOf(player, place);
        return p;
    };
    std::vector<Place> lines;
    lines.reserve(finishes.size() + ledger.inPlay().size());
    // A deal that ended the night places the players in by their shares, the largest first.
    if (const std::optional<Deal> &deal = ledger.deal(); deal && deal->ends) {
        std::vector<size_t> order(deal->players.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return deal->shares[a] > deal->shares[b]; });
        const tables::Seating &s = *ledger.seating();
        for (size_t i = 0; i < order.size(); ++i) {
            const int player = deal->players[order[i]];
            lines.push_back(line(qint64(i) + 1, player, s.seatOf(player).value_or(tables::Seat{})));
        }
    } else if (ledger.counts().left() == 1) {
        const qint64 winner = lastStanding(ledger);
        tables::Seat seat;
        if (const std::optional<tables::Seating> &s = ledger.seating(); s && winner > 0)
            seat = s->seatOf(int(winner)).value_or(tables::Seat{});
        lines.push_back(line(1, int(winner), seat));
    }
    for (size_t i = finishes.size(); i-- > 0;)
        if (places[i] > 0)
            lines.push_back(line(places[i], finishes[i].player, finishes[i].seat));
    return lines;
}

} // namespace tournament
