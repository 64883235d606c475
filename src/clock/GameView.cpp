// What the players see: the published state, built from the game and its settings.

#include "clock/Game.h"

#include "text/TextNumber.h"

#include "tournament/Standings.h"

#include <QDateTime>

void Game::publishSeats()
{
    showSeatMap(); // kept up to date through busts, moves and breaks while it is up
    DisplayState &v = view_;
    v.seatMap.clear();
    v.move.clear();
    v.moveFrom = 0;
    v.redrawOffered = false;
    v.results.clear();
    v.names = ledger ? names : QStringList();
    v.players.clear();
    v.out.clear();
    if (ledger) {
        for (const tournament::Player &p : ledger->players())
            v.players << p.name;
        for (const int p : ledger->out())
            v.out << p;
    }
    v.seatCalls = tablesInPlay() ? seatCalls_ : QStringList();
    if (tablesInPlay()) {
        const tables::Seating &seating = *ledger->seating();
        v.tables = seating.layout().tables;
        v.seats = seating.layout().seats;
        for (int t = 1; t <= v.tables; ++t) {
            QList<int> row;
            if (seating.open(t))
                for (int seat = 1; seat <= v.seats; ++seat)
                    row << seating.at({t, seat});
            v.seatMap << row;
        }
        if (const std::optional<tables::Move> m = seating.suggestion()) {
            v.move = tables::moveCall(*m);
            v.moveFrom = m->from.table;
        }
        v.redrawOffered = seating.finalTable() && !seating.redrawn() && ledger->counts().left() > 1;
    } else {
        v.tables = 0;
        v.seats = 0;
    }
    const bool named = ledger
                       && std::any_of(ledger->players().begin(), ledger->players().end(),
                                      [](const tournament::Player &p) { return !p.name.isEmpty(); });
    const bool over =
        ledger
        && ((ledger->counts().left() == 1 && ledger->counts().busts > 0) || (ledger->deal() && ledger->deal()->ends));
    if (over && (tablesInPlay() || named))
        v.results = tournament::standings(*ledger);
    // The counts and the deal offered; an offer stands only while the same players are in.
    if (offer_ && (!ledger || ledger->inPlay() != offer_->players))
        dropDeal(QStringLiteral("The players in changed: the deal is off."));
    publishCounts();
    v.dealHead.clear();
    v.dealNames.clear();
    v.dealChips.clear();
    v.dealWays.clear();
    v.dealShares.clear();
    if (offer_) {
        const QString &cur = state.currencySymbol;
        v.dealHead = QStringLiteral("%1%2 left").arg(cur, tournament::grouped(offer_->ways.money + offer_->playFor));
        if (offer_->playFor > 0)
            v.dealHead += QStringLiteral(" · %1%2 played for").arg(cur, tournament::grouped(offer_->playFor));
        for (const int p : offer_->players) {
            v.dealNames << ledger->playerName(p);
            const auto it = std::find_if(chips_.begin(), chips_.end(), [&](const auto &c) { return c.first == p; });
            v.dealChips << (it != chips_.end() ? tournament::grouped(it->second) : QString());
        }
        for (const deal::Column &c : offer_->ways.columns) {
            v.dealWays << deal::methodName(c.method);
            QStringList shares;
            if (c.refused.isEmpty())
                for (const qint64 a : c.shares)
                    shares << cur + tournament::grouped(a);
            else
                shares << c.refused;
            v.dealShares.push_back(shares);
        }
    }
}

void Game::publish()
{
    if (!started_)
        return;
    const GameState &g = state;
    DisplayState &v = view_;
    v.shown = inPlay_;
    v.paused = paused;
    v.inBreak = g.currentRound == -1;
    const int row = selectedRow_; // the level in play, or the one before the break
    const int levels = rules_.levelCount();
    v.round = v.inBreak ? row + 1 : g.currentRound;
    v.secondsLeft = g.secondsLeft;
    v.levelSeconds = v.inBreak ? g.breakSeconds : g.levelSeconds;
    v.gameSeconds = g.gameSeconds;
    v.smallBlind = rules_.smallBlind(row);
    v.bigBlind = rules_.bigBlind(row);
    v.anteAmount = v.ante.visible && !v.inBreak ? g.currentAnte : 0;
    v.currency = g.currencySymbol;
    v.breakNext = !v.inBreak && breakIsNext() && g.currentRound < levels;
    v.lastLevel = !v.inBreak && g.currentRound >= levels;
    const int next = v.inBreak ? row + 1 : g.currentRound;
    if (!v.inBreak && (v.breakNext || v.lastLevel))
        v.nextLevel.clear();
    else
        v.nextLevel = next >= 0 && next < levels ? rules_.levelLine(next) : QString();
    v.backQuestion = backQuestion(g.currentRound, row, g.played);
    v.gameTitle = v.title.text;
    v.counting = ledger.has_value();
    if (ledger) {
        // In a break the average stack is measured against the next level's big blind.
        const int bigRow = v.inBreak ? row + 1 : row;
        const qint64 big = bigRow >= 0 ? toWhole(rules_.bigBlind(bigRow), Width::Int32).value : 0;
        // Built again only when the count, the round, the big blind or the currency changed:
        // a tick alone leaves them as they are.
        CountShown shown{countChanges_, v.round, big, g.currencySymbol};
        if (shown != countShown_) {
            countShown_ = std::move(shown);
            countTexts_.band = tournament::band(*ledger, v.round, big, g.currencySymbol);
            countTexts_.recent.clear();
            const std::vector<tournament::Record> &records = ledger->records();
            for (size_t i = records.size(); i-- > 0 && countTexts_.recent.size() < 10;)
                countTexts_.recent << QDateTime::fromMSecsSinceEpoch(records[i].at).toString(QStringLiteral("HH:mm"))
                                          + QLatin1Char(' ') + ledger->actionText(i);
        }
        v.band = countTexts_.band;
        v.payoutsLocked = ledger->locked();
        v.records = records();
        v.recent = countTexts_.recent;
    } else {
        countShown_.reset();
        v.band = {};
        v.payoutsLocked = false;
        v.records = 0;
        v.recent.clear();
    }
    night_.show(v, nightAt(), now());
    // With a chip case its line stands over the band, counted or not.
    QStringList chipLines;
    if (night_.on())
        for (const QString *line : {v.inBreak ? &v.colourUp : &v.chipWarning, &v.addOnNow, &v.nextBreak})
            if (!line->isEmpty())
                chipLines << *line;
    v.chipLine = chipLines.join(QStringLiteral(" · "));
    publishSeats();
    emit published(v);
}
