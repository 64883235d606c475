// The count's desk: the ledger's actions, undo, the seats and the names, the results, and the
// host's commands from the phone, under the one rule that asks before a change is recorded.

#include "clock/Game.h"

#include "tournament/SetupTexts.h"
#include "tournament/Standings.h"

#include <QDateTime>
#include <QHash>

QString Game::nextName() const
{
    if (!ledger)
        return {};
    // Each typed name once for every player who has it: a name typed twice goes to two players.
    QHash<QString, int> held;
    for (const tournament::Player &p : ledger->players())
        if (!p.name.isEmpty())
            ++held[p.name];
    for (const QString &name : names)
        if (!name.isEmpty() && held[name]-- <= 0)
            return name;
    return {};
}

GameReply Game::ledgerAction(tournament::Action action, bool confirmed, std::optional<qint64> seen, tables::Seat seat,
                             int player, std::vector<int> by)
{
    using tournament::Ledger;
    if (!inPlay_)
        return {false, false, QStringLiteral("No game is running.")};
    if (!ledger)
        return {false, false, QStringLiteral("This game does not count players.")};
    const Batch batch(*this);
    // A confirmation holds only for the count it was asked at.
    const qint64 before = records();
    const bool confirms = confirmed && seen == before;
    // In the break, the level played before it.
    const int round = state.currentRound == -1 ? selectedRow_ + 1 : state.currentRound;
    ledger->setCurrency(state.currencySymbol); // the house cut's question names its amounts in it
    const Ledger::Outcome o = ledger->act(action, round, now(), confirms, seat, player,
                                          action == tournament::Action::Entry ? nextName() : QString(), std::move(by));
    ++countChanges_;
    GameReply reply{o.verdict == Ledger::Verdict::Done, o.verdict == Ledger::Verdict::Confirm, o.text, before};
    if (o.verdict == Ledger::Verdict::Refused)
        emit notice(o.text, NoticeMs);
    if (o.verdict != Ledger::Verdict::Done)
        return reply;

    const tournament::Counts &c = ledger->counts();
    if (action == tournament::Action::Bust && ledger->setup().speak) {
        emit say(tournament::bustAnnouncement(c.left(), ledger->playerName(o.player)));
        if (!o.bounty.isEmpty())
            emit say(o.bounty);
        if (o.inTheMoney)
            emit say(tournament::InTheMoney);
    }
    // The bounties a bust paid, under what it says.
    const QString paid = o.bounty.isEmpty() ? QString() : QStringLiteral("\r\n") + o.bounty;
    // The last player standing: the clock stops, and says so until the next notice.
    if (action == tournament::Action::Bust && c.left() == 1) {
        if (!paused)
            pause();
        const tournament::Results night = results();
        emit notice(o.text + QStringLiteral(": the game is paused. Backspace undoes the bust.") + paid
                        + seasonQuestion(night),
                    0);
        emit finished(night);
    } else {
        emit notice(o.text + QStringLiteral(". Backspace undoes it.") + paid, NoticeMs);
    }
    callSeats(action, o, seat);
    emit keep();
    return reply;
}

QString Game::seasonQuestion(const tournament::Results &night)
{
    seasonAskedAt_ = -1;
    if (seasonName.isEmpty())
        return {};
    const std::optional<std::vector<season::Line>> lines = season::nightLines(night, ledger->setup());
    if (!lines)
        return QStringLiteral("\r\nA player has no name: tonight cannot be added to the season.");
    seasonNight_ = *lines;
    seasonAskedAt_ = records();
    return QStringLiteral("\r\nAdd tonight to the season '%1'? Enter adds it.").arg(seasonName);
}

void Game::showSeason(const season::View &standings, bool inBreaks)
{
    if (view_.season == standings && view_.seasonInBreaks == inBreaks)
        return;
    const Batch batch(*this);
    view_.season = standings;
    view_.seasonInBreaks = inBreaks;
}

void Game::closeEntries()
{
    if (!ledger || !inPlay_ || entriesClosed_ || ledger->entriesOpen(state.currentRound))
        return;
    entriesClosed_ = true;
    const QString told = ledger->closeRegistration(state.currentRound, now());
    ++countChanges_;
    emit notice(told, NoticeMs);
    if (ledger->setup().speak || rules_.speechOn)
        emit say(told);
    emit keep();
}

void Game::callLines(const QString &head, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    emit seatCall((head.isEmpty() ? QString() : head + QStringLiteral("\r\n")) + lines.join(QStringLiteral("\r\n")),
                  SeatCallMs + 2000 * int(lines.size()));
    if (ledger->setup().speak)
        for (const QString &line : lines)
            emit say(tables::spoken(line));
}

void Game::callSeats(tournament::Action action, const tournament::Ledger::Outcome &o, tables::Seat from)
{
    using tournament::Action;
    if (!tablesInPlay())
        return;
    const bool speak = ledger->setup().speak;
    const tables::Seating &seating = *ledger->seating();
    const tables::NameAt nameAt = [this](tables::Seat s) { return this->nameAt(s); };
    if (action == Action::Entry || action == Action::Reentry) {
        const QString call = tables::seatCall(o.player, nameOf(o.player), o.seat);
        seatCalls_.prepend(call);
        while (seatCalls_.size() > 10)
            seatCalls_.removeLast();
        emit seatCall(call, SeatCallMs);
        if (speak)
            emit say(tables::spokenSeat(o.player, nameOf(o.player), o.seat));
    }
    if (action == Action::Move && speak)
        emit say(tables::spoken(tables::movedCall({from, o.seat}, nameAt)));
    if (o.broken.table != 0)
        callLines({}, tables::breakCalls(o.broken, nameAt));
    if (action == Action::Redraw)
        callLines(QStringLiteral("Final table"), tables::redrawCalls(o.moves, nameAt));
    // The move the tables need now, after a bust or a move made.
    if (action == Action::Bust || action == Action::Move) {
        if (const std::optional<tables::Move> m = seating.suggestion()) {
            emit notice(tables::moveCall(*m) + QStringLiteral(". M and the seat it left confirms, X refuses."), 0);
            if (speak)
                emit say(tables::moveCall(*m));
        } else if (o.broken.table != 0 && seating.finalTable() && ledger->counts().left() > 1) {
            emit notice(QStringLiteral("The final table: D draws every seat afresh."), NoticeMs);
        }
    }
}

GameReply Game::drawSeats()
{
    if (!inPlay_ || !ledger)
        return ledgerAction(tournament::Action::Entry, false, std::nullopt, {}); // says why not
    const Batch batch(*this);
    if (nextName().isEmpty())
        return {false, false, QStringLiteral("Every name typed has a seat.")};
    GameReply last;
    QStringList calls, said;
    for (QString name = nextName(); !name.isEmpty(); name = nextName()) {
        const tournament::Ledger::Outcome o = ledger->act(tournament::Action::Entry, 1, now(), true, {}, 0, name);
        ++countChanges_;
        if (o.verdict != tournament::Ledger::Verdict::Done) {
            emit notice(o.text, NoticeMs);
            last = {false, false, o.text, records()};
            break;
        }
        if (o.seat.valid()) {
            calls << tables::seatCall(o.player, name, o.seat);
            said << tables::spokenSeat(o.player, name, o.seat);
            seatCalls_.prepend(calls.back());
        }
    }
    while (seatCalls_.size() > 10)
        seatCalls_.removeLast();
    if (!calls.isEmpty()) {
        emit seatCall(calls.join(QStringLiteral("\r\n")), SeatCallMs + 1000 * int(calls.size()));
        if (ledger->setup().speak)
            for (const QString &line : said)
                emit say(line);
    }
    emit keep();
    return last.text.isEmpty() ? GameReply{true, false, QStringLiteral("Seats drawn"), records()} : last;
}

tournament::Results Game::results() const
{
    tournament::Results r;
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(now());
    r.title = rules_.title;
    r.date = at.toString(QStringLiteral("yyyy-MM-dd"));
    r.when = at.toString(QStringLiteral("dddd d MMMM yyyy, HH:mm"));
    for (int row = 0; row < rules_.levelCount(); ++row)
        r.structure << rules_.levelLine(row); // the list's line names its round
    if (rules_.breakOn)
        r.structure
            << QStringLiteral("Break after every %1 levels, %2 mins.").arg(rules_.breakEvery, rules_.breakMinutes);
    r.currency = state.currencySymbol;
    if (ledger) {
        r.counts = ledger->counts();
        r.collected = ledger->collected();
        r.cut = ledger->cut();
        r.added = ledger->setup().added;
        r.pool = ledger->pool();
        r.guaranteed = ledger->guaranteed();
        r.bounties = ledger->bountyMoney();
        r.deal = ledger->dealText(r.currency);
        r.places = tournament::standings(*ledger);
    }
    return r;
}

GameReply Game::undo(std::optional<qint64> seen)
{
    using tournament::Ledger;
    if (!inPlay_ || !ledger)
        return ledgerAction(tournament::Action::Entry, false, std::nullopt); // says why nothing can be undone
    const Batch batch(*this);
    const std::optional<tables::Seating> before = ledger->seating();
    const Ledger::Outcome o = ledger->undo(seen);
    ++countChanges_;
    if (o.verdict != Ledger::Verdict::Confirm)
        emit notice(o.text + QLatin1Char('.'), NoticeMs);
    // The players the undo moved are told where they go back to.
    if (o.verdict == Ledger::Verdict::Done && before && ledger->seating())
        callLines(QStringLiteral("Back to their seats"),
                  tables::seatsBack(*before, *ledger->seating(), [this](int p) { return ledger->playerName(p); }));
    if (o.verdict == Ledger::Verdict::Done)
        emit keep();
    return {o.verdict == Ledger::Verdict::Done, o.verdict == Ledger::Verdict::Confirm, o.text, records()};
}

GameReply Game::command(const GameCommand &c)
{
    using A = tournament::Action;
    if (!inPlay_)
        return {false, false,
                c.kind == GameCommand::PauseResume || c.kind == GameCommand::NextLevel
                    ? QString()
                    : QStringLiteral("No game is running.")};
    switch (c.kind) {
    case GameCommand::PauseResume: pauseResume(); return {};
    case GameCommand::NextLevel: advanceRound(); return {};
    case GameCommand::Back: back(); return {};
    case GameCommand::MinuteLess: shiftCountdown(-60); return {};
    case GameCommand::MinuteMore: shiftCountdown(60); return {};
    case GameCommand::Undo: return undo(c.seen);
    case GameCommand::Entry: return ledgerAction(A::Entry, c.confirmed, c.seen);
    case GameCommand::Reentry: return ledgerAction(A::Reentry, c.confirmed, c.seen, {}, c.player);
    case GameCommand::Rebuy: return ledgerAction(A::Rebuy, c.confirmed, c.seen, {}, c.player);
    case GameCommand::AddOn: return ledgerAction(A::AddOn, c.confirmed, c.seen, {}, c.player);
    case GameCommand::Bust: return ledgerAction(A::Bust, c.confirmed, c.seen, c.seat, 0, c.by);
    case GameCommand::LockPayouts: return ledgerAction(A::LockPayouts, c.confirmed, c.seen);
    case GameCommand::Move: return ledgerAction(A::Move, c.confirmed, c.seen, c.seat);
    case GameCommand::Redraw: return ledgerAction(A::Redraw, c.confirmed, c.seen);
    case GameCommand::DrawSeats: return drawSeats();
    case GameCommand::RefuseMove:
        if (!tablesInPlay() || !ledger->seating()->suggestion())
            return {false, false, QStringLiteral("The tables need no move now.")};
        {
            const Batch batch(*this);
            ledger->refuseMove();
            ++countChanges_;
            emit notice(QStringLiteral("Move refused: asked again at the next bust."), NoticeMs);
        }
        return {true, false, QStringLiteral("Move refused"), records()};
    case GameCommand::Rename: {
        if (!ledger)
            return ledgerAction(A::Rename, false, std::nullopt);
        const Batch batch(*this);
        const QString name = tournament::keptName(c.names.value(0));
        const tournament::Ledger::Outcome o = ledger->act(A::Rename, 0, now(), true, {}, c.player, name);
        ++countChanges_;
        const bool done = o.verdict == tournament::Ledger::Verdict::Done;
        emit notice(o.text + (done ? QStringLiteral(". Backspace undoes it.") : QString()), NoticeMs);
        if (done)
            emit keep();
        return {done, false, o.text, records()};
    }
    case GameCommand::ChipCounts: return chipCounts(c.by, c.chips);
    case GameCommand::DealOffer:
        if (!c.by.empty()) {
            GameReply counted = chipCounts(c.by, c.chips);
            if (!counted.done)
                return counted;
        }
        return offerDeal(c.amount);
    case GameCommand::DealTake: return takeDeal(c.player, c.ends);
    case GameCommand::DealCancel:
        if (!offer_)
            return {false, false, QStringLiteral("No deal is offered.")};
        {
            const Batch batch(*this);
            dropDeal(QStringLiteral("No deal: P starts the clock."));
        }
        return {true, false, QStringLiteral("No deal: P starts the clock."), records()};
    case GameCommand::Names: {
        const Batch batch(*this);
        names = c.names;
        for (QString &n : names)
            n = tournament::keptName(n);
        emit keep();
        const QString cut = tournament::namesCut(c.names);
        return {true, false, QStringLiteral("Names kept") + (cut.isEmpty() ? QString() : QStringLiteral("; ") + cut),
                records()};
    }
    }
    return {};
}
