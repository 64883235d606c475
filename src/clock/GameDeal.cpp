// The chip counts and the deal: counts typed for the players in (at a break, or for a deal),
// checked against the chips in play; a deal offered on them four ways side by side, and the
// way taken recorded as the players' prizes.

#include "clock/Game.h"

#include "clock/GameKeys.h"
#include "deal/ChipCount.h"
#include "text/TextNumber.h"

namespace {

QString money(const QString &currency, qint64 amount)
{
    return currency + tournament::grouped(amount);
}

} // namespace

GameReply Game::chipCounts(const std::vector<int> &players, const std::vector<qint64> &chips)
{
    if (!inPlay_ || !ledger || !ledger->seating())
        return {false, false, QStringLiteral("Chip counts are taken in a game with seats.")};
    const std::vector<int> in = ledger->inPlay();
    if (players.size() != chips.size() || players.empty())
        return {false, false, QStringLiteral("A count needs a player and their chips.")};
    const Batch batch(*this);
    for (size_t i = 0; i < players.size(); ++i) {
        if (std::find(in.begin(), in.end(), players[i]) == in.end())
            return {false, false, QStringLiteral("Player %1 is not in the game.").arg(players[i])};
        if (chips[i] <= 0)
            return {false, false, ledger->playerName(players[i]) + QStringLiteral(" needs a count of 1 chip or more.")};
    }
    for (size_t i = 0; i < players.size(); ++i) {
        const auto it =
            std::find_if(chips_.begin(), chips_.end(), [&](const auto &c) { return c.first == players[i]; });
        if (it != chips_.end())
            it->second = chips[i];
        else
            chips_.emplace_back(players[i], chips[i]);
    }
    publishCounts();
    return {true, false, view_.countCheck, records()};
}

void Game::publishCounts()
{
    DisplayState &v = view_;
    v.chipCounts.clear();
    v.countCheck.clear();
    if (!ledger || !ledger->seating() || chips_.empty())
        return;
    // Only the players still in, in seat order.
    const std::vector<int> in = ledger->inPlay();
    QStringList names;
    std::vector<qint64> stacks;
    qint64 counted = 0;
    bool whole = true;
    for (const int p : in) {
        const auto it = std::find_if(chips_.begin(), chips_.end(), [&](const auto &c) { return c.first == p; });
        if (it == chips_.end()) {
            whole = false;
            continue;
        }
        names << ledger->playerName(p);
        stacks.push_back(it->second);
        if (__builtin_add_overflow(counted, it->second, &counted))
            whole = false;
    }
    const int row = state.currentRound == -1 ? selectedRow_ + 1 : selectedRow_;
    const qint64 big = row >= 0 ? toWhole(rules_.bigBlind(row), Width::Int32).value : 0;
    for (const deal::Row &r : deal::countRows(names, stacks, big))
        v.chipCounts.push_back({r.name, tournament::grouped(r.chips), r.bb});
    if (whole)
        v.countCheck = deal::countCheck(counted, ledger->chipsInPlay());
    else
        v.countCheck = QStringLiteral("%1 of %2 players counted.").arg(stacks.size()).arg(in.size());
}

GameReply Game::offerDeal(qint64 playFor)
{
    if (!inPlay_ || !ledger || !ledger->seating())
        return {false, false, QStringLiteral("A deal is made in a game with seats.")};
    if (ledger->deal())
        return {false, false, QStringLiteral("A deal is made already: Backspace takes it back.")};
    const std::vector<int> in = ledger->inPlay();
    if (in.size() < 2 || in.size() > 9)
        return {false, false, QStringLiteral("A deal is made by 2 to 9 players left.")};
    deal::Ask ask;
    for (const int p : in) {
        const auto it = std::find_if(chips_.begin(), chips_.end(), [&](const auto &c) { return c.first == p; });
        if (it == chips_.end())
            return {false, false,
                    QStringLiteral("Count every player's chips first: ") + ledger->playerName(p)
                        + QStringLiteral(" has no count.")};
        ask.stacks.push_back(it->second);
    }
    ask.prizes = ledger->prizesLeft();
    ask.playFor = playFor;
    ask.unit = ledger->setup().unit;
    QString why;
    const std::optional<deal::Deal> ways = deal::make(ask, &why);
    if (!ways)
        return {false, false, why};
    const Batch batch(*this);
    if (!paused)
        pause();
    offer_ = DealOffer{in, playFor, *ways};
    dealPick_ = -1;
    emit seatCall(dealLines().join(QStringLiteral("\r\n")), 0);
    emit notice(
        QStringLiteral("1–4 picks a way · F and an amount: kept to play for · K counts again · Escape: no deal"), 0);
    return {true, false, QStringLiteral("The deal is offered: the clock is paused."), records()};
}

QStringList Game::dealLines() const
{
    if (!offer_)
        return {};
    const QString &cur = state.currencySymbol;
    QStringList lines{QStringLiteral("Deal — %1 left").arg(money(cur, offer_->ways.money + offer_->playFor))};
    if (offer_->playFor > 0)
        lines.back() += QStringLiteral(" · %1 played for").arg(money(cur, offer_->playFor));
    for (size_t w = 0; w < offer_->ways.columns.size(); ++w) {
        const deal::Column &c = offer_->ways.columns[w];
        QStringList shares;
        for (size_t i = 0; i < c.shares.size(); ++i)
            shares << ledger->playerName(offer_->players[i]) + QLatin1Char(' ') + money(cur, c.shares[i]);
        lines << QStringLiteral("%1 %2: ").arg(w + 1).arg(deal::methodName(c.method))
                     + (c.refused.isEmpty() ? shares.join(QStringLiteral(" · ")) : c.refused);
    }
    return lines;
}

GameReply Game::takeDeal(int way, bool ends)
{
    if (!offer_ || !ledger)
        return {false, false, QStringLiteral("No deal is offered.")};
    if (way < 0 || way >= int(offer_->ways.columns.size()))
        return {false, false, QStringLiteral("No such way to deal.")};
    const deal::Column &c = offer_->ways.columns[size_t(way)];
    if (!c.refused.isEmpty())
        return {false, false, c.refused};
    if (ledger->inPlay() != offer_->players)
        return {false, false, QStringLiteral("The players in changed: offer the deal again.")};
    const Batch batch(*this);
    ledger->setCurrency(state.currencySymbol);
    const tournament::Ledger::Outcome o = ledger->makeDeal(deal::methodName(c.method), c.shares, ends, now());
    ++countChanges_;
    if (o.verdict != tournament::Ledger::Verdict::Done) {
        emit notice(o.text, NoticeMs);
        return {false, false, o.text, records()};
    }
    offer_.reset();
    dealPick_ = -1;
    emit seatCall(QString(), 0);
    if (ledger->setup().speak || rules_.speechOn)
        emit say(o.text);
    if (ends) {
        const tournament::Results night = results();
        emit notice(o.text + QStringLiteral("\r\nThe night ends with the deal. Backspace undoes it.")
                        + seasonQuestion(night),
                    0);
        emit finished(night);
    } else {
        emit notice(o.text + QStringLiteral("\r\nPlay on: P starts the clock. Backspace undoes the deal."), 0);
    }
    emit keep();
    return {true, false, o.text, records()};
}

void Game::dropDeal(const QString &why)
{
    if (!offer_)
        return;
    offer_.reset();
    dealPick_ = -1;
    playForDigits_.reset();
    emit seatCall(QString(), 0);
    if (!why.isEmpty())
        emit notice(why, NoticeMs);
}

void Game::startCount(bool forDeal)
{
    if (!ledger || !ledger->seating())
        return;
    const std::vector<int> in = ledger->inPlay();
    if (in.empty())
        return;
    if (forDeal && (in.size() < 2 || in.size() > 9)) {
        emit notice(QStringLiteral("A deal is made by 2 to 9 players left."), NoticeMs);
        return;
    }
    if (forDeal && !paused)
        pause();
    countInput_ = CountInput{in, 0, {}, forDeal};
    askCount();
}

void Game::askCount()
{
    const CountInput &c = *countInput_;
    const int p = c.players[c.at];
    const std::optional<tables::Seat> seat = ledger->seating()->seatOf(p);
    const auto it = std::find_if(chips_.begin(), chips_.end(), [&](const auto &k) { return k.first == p; });
    const QString kept = it != chips_.end() && c.digits.isEmpty()
                             ? QStringLiteral(" (Enter keeps %1)").arg(tournament::grouped(it->second))
                             : QString();
    emit notice(QStringLiteral("Chip count %1 of %2 — %3, %4: %5▌%6\r\nDigits, then Enter · Backspace erases · "
                               "Escape stops")
                    .arg(c.at + 1)
                    .arg(c.players.size())
                    .arg(seat ? tables::seatText(*seat) : QString(), ledger->playerName(p),
                         c.digits.isEmpty() ? QString() : tournament::grouped(c.digits.toLongLong()), kept),
                0);
}

bool Game::countKey(int KeyCode)
{
    CountInput &c = *countInput_;
    const int p = c.players[c.at];
    if (KeyCode == DisplayKey::Escape) {
        countInput_.reset();
        emit notice(QStringLiteral("Chip count stopped."), NoticeMs);
        return true;
    }
    if (KeyCode >= DisplayKey::Digit0 && KeyCode <= DisplayKey::Digit9) {
        if (c.digits.size() < 15 && !(c.digits.isEmpty() && KeyCode == DisplayKey::Digit0))
            c.digits += QChar(KeyCode);
    } else if (KeyCode == DisplayKey::Backspace) {
        c.digits.chop(1);
    } else if (KeyCode == DisplayKey::Enter) {
        const auto it = std::find_if(chips_.begin(), chips_.end(), [&](const auto &k) { return k.first == p; });
        if (c.digits.isEmpty() && it == chips_.end()) {
            askCount();
            return true;
        }
        if (!c.digits.isEmpty())
            chipCounts({p}, {c.digits.toLongLong()});
        c.digits.clear();
        if (++c.at == c.players.size()) {
            const bool forDeal = c.forDeal;
            countInput_.reset();
            emit notice(view_.countCheck, forDeal ? NoticeMs : 15000);
            if (forDeal) {
                const GameReply r = offerDeal(0);
                if (!r.done)
                    emit notice(r.text, NoticeMs);
            }
            return true;
        }
    } else if (KeyCode != DisplayKey::P && KeyCode != DisplayKey::Pause) {
        return true; // the count goes on: other keys wait
    } else {
        return false;
    }
    askCount();
    return true;
}

bool Game::dealKey(int KeyCode)
{
    const QString &cur = state.currencySymbol;
    if (playForDigits_) {
        if (KeyCode >= DisplayKey::Digit0 && KeyCode <= DisplayKey::Digit9 && playForDigits_->size() < 15) {
            *playForDigits_ += QChar(KeyCode);
        } else if (KeyCode == DisplayKey::Backspace) {
            playForDigits_->chop(1);
        } else if (KeyCode == DisplayKey::Enter || KeyCode == DisplayKey::Escape) {
            const qint64 amount = KeyCode == DisplayKey::Enter ? playForDigits_->toLongLong() : offer_->playFor;
            playForDigits_.reset();
            const GameReply r = offerDeal(amount);
            if (!r.done)
                emit notice(r.text + QStringLiteral(" F and an amount to try another."), 0);
            return true;
        }
        emit notice(QStringLiteral("Kept to play for: %1▌ — Enter offers the deal again")
                        .arg(money(cur, playForDigits_->toLongLong())),
                    0);
        return true;
    }
    if (KeyCode >= DisplayKey::Digit0 + 1 && KeyCode < DisplayKey::Digit0 + 1 + int(offer_->ways.columns.size())) {
        dealPick_ = KeyCode - DisplayKey::Digit0 - 1;
        const deal::Column &c = offer_->ways.columns[size_t(dealPick_)];
        if (!c.refused.isEmpty()) {
            emit notice(c.refused, NoticeMs);
            dealPick_ = -1;
            return true;
        }
        const QString on = offer_->playFor > 0 ? QStringLiteral("play on for %1").arg(money(cur, offer_->playFor))
                                               : QStringLiteral("play on");
        emit notice(dealLines().value(dealPick_ + 1)
                        + QStringLiteral("\r\nEnter: record it and %1 · E: record it and end the night · "
                                         "Escape: no deal")
                              .arg(on),
                    0);
        return true;
    }
    switch (KeyCode) {
    case DisplayKey::Enter:
    case DisplayKey::E:
        if (dealPick_ >= 0)
            takeDeal(dealPick_, KeyCode == DisplayKey::E);
        return true;
    case DisplayKey::F:
        playForDigits_ = QString();
        emit notice(QStringLiteral("Kept to play for: type the amount, then Enter"), 0);
        return true;
    case DisplayKey::K:
        dropDeal({});
        startCount(true);
        return true;
    case DisplayKey::Escape: dropDeal(QStringLiteral("No deal: P starts the clock.")); return true;
    default: return KeyCode >= DisplayKey::Digit0 && KeyCode <= DisplayKey::Digit9;
    }
}
