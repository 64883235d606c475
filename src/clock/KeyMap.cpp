// The display's keys and the seat input, turned into the game's commands.

#include "clock/Game.h"

#include "clock/GameKeys.h"
#include "tables/TableCards.h"

#include <QDateTime>

bool Game::seatKey(int KeyCode)
{
    const tables::SeatInput::Step step = seatInput_.key(KeyCode);
    const bool consumed = KeyCode == DisplayKey::Escape || KeyCode == DisplayKey::Enter
                          || (KeyCode >= DisplayKey::Digit0 && KeyCode <= DisplayKey::Digit9);
    if (step.done && rebuyBySeat_) {
        rebuyBySeat_ = false;
        const int player = ledger->seating()->at(step.seat);
        if (player == 0) {
            emit notice(tables::seatText(step.seat) + QStringLiteral(" is empty."), NoticeMs);
            return consumed;
        }
        const GameReply r = command({GameCommand::Rebuy, false, std::nullopt, {}, {}, player});
        if (r.confirm) {
            pendingPlayer_ = player;
            holdConfirm(DisplayKey::R, r, QStringLiteral(" Press R again to record it."));
        }
        return consumed;
    }
    if (step.done && bustStage_ > 0) {
        busterSeat(step.seat);
        return consumed;
    }
    // With bounties, the seat of the player out is followed by who busted them.
    if (step.done && seatFor_.table == 0 && ledger->bounties() && ledger->seating()->at(step.seat) != 0) {
        bustSeat_ = step.seat;
        busters_.clear();
        bustStage_ = 1;
        askBuster();
        return consumed;
    }
    if (step.cancelled) {
        bustStage_ = 0;
        rebuyBySeat_ = false;
    }
    if (step.done) {
        const bool bust = seatFor_.table == 0;
        const GameReply r = command({bust ? GameCommand::Bust : GameCommand::Move, false, std::nullopt, step.seat, {}});
        // Asked first: Enter again records it for the same seat.
        if (r.confirm) {
            pendingSeat_ = step.seat;
            pendingBy_.clear();
            holdConfirm(DisplayKey::Enter, r, QStringLiteral(" Press Enter again to record it."));
        }
    } else if (!step.prompt.isEmpty()) {
        emit notice(step.prompt, step.cancelled ? NoticeMs : int(ConfirmMs));
    }
    return consumed;
}

void Game::holdConfirm(int KeyCode, const GameReply &reply, const QString &press)
{
    pendingKey_ = KeyCode;
    pendingAt_ = now();
    pendingSeen_ = reply.seen;
    emit notice(reply.text + press, int(ConfirmMs));
}

void Game::askBuster()
{
    const tables::Seating &seating = *ledger->seating();
    std::vector<int> open;
    for (int t = 1; t <= seating.layout().tables; ++t)
        if (seating.open(t))
            open.push_back(t);
    const QString out = nameAt(bustSeat_);
    const QString prompt =
        seatInput_
            .begin(QStringLiteral("Who busted %1").arg(out), open, seating.layout().seats, 0, seating.layout().tables)
            .prompt;
    if (bustStage_ == 1)
        emit notice(prompt, int(ConfirmMs));
    else
        emit notice(QStringLiteral("Enter records it: %1 busts %2. A second player sharing the bounty: ")
                            .arg(ledger->playerName(busters_.front()), out)
                        + prompt,
                    int(ConfirmMs));
}

bool Game::busterSeat(tables::Seat seat)
{
    const int player = ledger->seating()->at(seat);
    QString why;
    if (player == 0)
        why = tables::seatText(seat) + QStringLiteral(" is empty. ");
    else if (seat == bustSeat_)
        why = QStringLiteral("That is the player out. ");
    else if (std::find(busters_.begin(), busters_.end(), player) != busters_.end())
        why = ledger->playerName(player) + QStringLiteral(" is named already. ");
    if (!why.isEmpty()) {
        askBuster();
        emit notice(why + QStringLiteral("Name another seat, or Escape."), int(ConfirmMs));
        return false;
    }
    busters_.push_back(player);
    if (bustStage_ == 1) {
        bustStage_ = 2;
        askBuster();
    } else {
        recordBust();
    }
    return true;
}

void Game::recordBust()
{
    bustStage_ = 0;
    seatInput_.cancel();
    const GameReply r = command({GameCommand::Bust, false, std::nullopt, bustSeat_, {}, 0, busters_});
    if (r.confirm) {
        pendingSeat_ = bustSeat_;
        pendingBy_ = busters_;
        holdConfirm(DisplayKey::Enter, r, QStringLiteral(" Press Enter again to record it."));
    }
}

// The re-entry's question: Enter for the last out, a digit for another of those listed.
bool Game::whoseKey(int KeyCode)
{
    const std::vector<int> whose = std::exchange(whose_, {});
    int pick = -1;
    if (KeyCode == DisplayKey::Enter)
        pick = 0;
    else if (KeyCode >= DisplayKey::Digit0 + 1 && KeyCode <= DisplayKey::Digit9)
        pick = KeyCode - DisplayKey::Digit0 - 1;
    if (KeyCode == DisplayKey::Escape)
        emit notice(QStringLiteral("Re-entry: cancelled"), NoticeMs);
    if (pick < 0 || pick >= int(whose.size()))
        return KeyCode == DisplayKey::Escape || KeyCode == DisplayKey::Enter
               || (KeyCode >= DisplayKey::Digit0 && KeyCode <= DisplayKey::Digit9);
    const int player = whose[size_t(pick)];
    const GameReply r = command({GameCommand::Reentry, false, std::nullopt, {}, {}, player});
    if (r.confirm) {
        pendingPlayer_ = player;
        holdConfirm(DisplayKey::N, r, QStringLiteral(" Press N again to record it."));
    }
    return true;
}

void Game::showSeatMap()
{
    if (seatMapShown_.isEmpty() || !tablesInPlay())
        return;
    const QString text = QStringLiteral("Seats\r\n") + tables::seatMapLines(*ledger->seating(), [this](tables::Seat s) {
                                                           return nameAt(s);
                                                       }).join(QStringLiteral("\r\n"));
    if (text != seatMapShown_)
        emit seatCall(seatMapShown_ = text, 0);
}

void Game::key(int KeyCode, int Shift)
{
    const Batch batch(*this);
    // The seat map stays up until a key: that key takes it down (T only that).
    if (!seatMapShown_.isEmpty()) {
        seatMapShown_.clear();
        emit seatCall(QString(), 0);
        if (KeyCode == DisplayKey::T)
            return;
    }
    // The chip count typed seat by seat, and a deal offered, take their keys first.
    if (countInput_ && countKey(KeyCode))
        return;
    if (offer_ && dealKey(KeyCode))
        return;
    // Who busted the player out: with one named, Enter records the bust.
    if (bustStage_ == 2 && KeyCode == DisplayKey::Enter && !seatInput_.waiting()) {
        recordBust();
        return;
    }
    // While a seat is being named, the digits, Enter and Escape are its own; any other key ends it.
    if (seatInput_.active() && seatKey(KeyCode))
        return;
    if (!seatInput_.active() && (bustStage_ != 0 || rebuyBySeat_)) {
        bustStage_ = 0; // a key that named nothing ended the question
        rebuyBySeat_ = false;
    }
    if (!whose_.empty() && whoseKey(KeyCode))
        return;
    // The season's question at the end of the night: Enter says yes while nothing changed since.
    if (KeyCode == DisplayKey::Enter && std::exchange(seasonAskedAt_, -1) == records() && ledger) {
        emit addToSeason(seasonName, seasonNight_);
        emit notice(QStringLiteral("Adding tonight to the season '%1'…").arg(seasonName), NoticeMs);
        return;
    }
    switch (KeyCode) {
    case DisplayKey::Escape: leave(); return;
    case DisplayKey::Space:
        pendingKey_ = 0;
        advanceRound();
        return;
    case DisplayKey::Pause:
    case DisplayKey::P:
        pendingKey_ = 0;
        pauseResume();
        return;
    default: break;
    }
    // The count's keys; with Alt or Ctrl only Ctrl+Z, and only while the game counts players.
    if (!ledger || (Shift & (DisplayKey::AltMask | DisplayKey::CtrlMask) && KeyCode != DisplayKey::Z))
        return;
    const int pending = std::exchange(pendingKey_, 0);
    if (KeyCode == DisplayKey::Backspace || (KeyCode == DisplayKey::Z && Shift & DisplayKey::CtrlMask)) {
        undo(records());
        return;
    }
    if (KeyCode == DisplayKey::H || KeyCode == DisplayKey::F1) {
        emit notice(tablesInPlay() ? TableKeysHelp : KeysHelp, 15000);
        return;
    }
    if (tablesInPlay() && !(Shift & (DisplayKey::AltMask | DisplayKey::CtrlMask))) {
        const tables::Seating &seating = *ledger->seating();
        std::vector<int> open;
        for (int t = 1; t <= seating.layout().tables; ++t)
            if (seating.open(t))
                open.push_back(t);
        switch (KeyCode) {
        case DisplayKey::R: {
            // With bounties a rebuy is a player's: its bounty goes on their head.
            if (!ledger->bounties())
                break;
            const qint64 at = now();
            if (pending == KeyCode && at >= pendingAt_ && at - pendingAt_ < ConfirmMs) {
                command({GameCommand::Rebuy, true, pendingSeen_, {}, {}, pendingPlayer_});
                return;
            }
            rebuyBySeat_ = true;
            emit notice(
                seatInput_.begin(QStringLiteral("Rebuy"), open, seating.layout().seats, 0, seating.layout().tables)
                    .prompt,
                int(ConfirmMs));
            return;
        }
        case DisplayKey::B:
            seatFor_ = {};
            bustStage_ = 0;
            rebuyBySeat_ = false;
            emit notice(
                seatInput_.begin(QStringLiteral("Bust"), open, seating.layout().seats, 0, seating.layout().tables)
                    .prompt,
                int(ConfirmMs));
            return;
        case DisplayKey::M:
            bustStage_ = 0;
            rebuyBySeat_ = false;
            if (const std::optional<tables::Move> m = seating.suggestion()) {
                seatFor_ = m->from;
                emit notice(
                    seatInput_.begin(QStringLiteral("Move"), {m->from.table}, seating.layout().seats, m->from.table)
                        .prompt,
                    int(ConfirmMs));
            } else {
                emit notice(QStringLiteral("The tables need no move now."), NoticeMs);
            }
            return;
        case DisplayKey::X: command({GameCommand::RefuseMove}); return;
        case DisplayKey::K: startCount(false); return;
        case DisplayKey::O:
            if (ledger->deal())
                emit notice(QStringLiteral("A deal is made already: Backspace takes it back."), NoticeMs);
            else
                startCount(true);
            return;
        case DisplayKey::T:
            seatMapShown_ = QStringLiteral("up");
            showSeatMap();
            return;
        case DisplayKey::C: {
            const QDateTime at = QDateTime::fromMSecsSinceEpoch(now());
            emit tableCards(at.toString(QStringLiteral("yyyy-MM-dd")),
                            tables::tableCardsHtml(
                                seating, [this](tables::Seat s) { return nameAt(s); }, rules_.title,
                                at.toString(QStringLiteral("dddd d MMMM yyyy, HH:mm"))));
            emit notice(QStringLiteral("The table cards are being printed to a page beside the program."), NoticeMs);
            return;
        }
        case DisplayKey::N: {
            // Whose re-entry: those out, the last out first (a second press of a re-entry asked
            // about records it for the same player).
            const qint64 at = now();
            if (pending == KeyCode && at >= pendingAt_ && at - pendingAt_ < ConfirmMs) {
                command({GameCommand::Reentry, true, pendingSeen_, {}, {}, pendingPlayer_});
                return;
            }
            std::vector<int> out = ledger->out();
            if (out.empty())
                break; // says why not
            out.resize(std::min<size_t>(out.size(), 9));
            QStringList choices{QStringLiteral("Enter: ") + ledger->playerName(out.front())};
            for (size_t i = 1; i < out.size(); ++i)
                choices << QStringLiteral("%1: ").arg(i + 1) + ledger->playerName(out[i]);
            whose_ = out;
            emit notice(QStringLiteral("Re-entry — whose? ") + choices.join(QStringLiteral(" · "))
                            + QStringLiteral(" (Escape cancels)"),
                        int(ConfirmMs));
            return;
        }
        case DisplayKey::S: {
            const GameReply r = command({GameCommand::DrawSeats});
            if (!r.done)
                emit notice(r.text, NoticeMs);
            return;
        }
        case DisplayKey::D: {
            const qint64 at = now();
            if (!seating.finalTable() || seating.redrawn()) {
                emit notice(seating.finalTable()
                                ? QStringLiteral("The final table's seats are drawn already.")
                                : QStringLiteral("The seats are drawn afresh only at the final table."),
                            NoticeMs);
            } else if (pending == KeyCode && at >= pendingAt_ && at - pendingAt_ < ConfirmMs) {
                command({GameCommand::Redraw});
            } else {
                pendingKey_ = KeyCode;
                pendingAt_ = at;
                emit notice(QStringLiteral("Draw every seat at the final table afresh? Press D again to do it."),
                            int(ConfirmMs));
            }
            return;
        }
        default: break;
        }
    }
    if (KeyCode == DisplayKey::Enter && pending == KeyCode) {
        const qint64 at = now();
        if (at >= pendingAt_ && at - pendingAt_ < ConfirmMs)
            command({seatFor_.table == 0 ? GameCommand::Bust : GameCommand::Move,
                     true,
                     pendingSeen_,
                     pendingSeat_,
                     {},
                     0,
                     seatFor_.table == 0 ? pendingBy_ : std::vector<int>()});
        return;
    }
    static const std::pair<int, GameCommand::Kind> keys[] = {
        {DisplayKey::E, GameCommand::Entry}, {DisplayKey::N, GameCommand::Reentry},
        {DisplayKey::R, GameCommand::Rebuy}, {DisplayKey::A, GameCommand::AddOn},
        {DisplayKey::B, GameCommand::Bust},  {DisplayKey::L, GameCommand::LockPayouts}};
    for (const auto &[k, kind] : keys) {
        if (k != KeyCode)
            continue;
        const qint64 at = now();
        const bool again = pending == KeyCode && at >= pendingAt_ && at - pendingAt_ < ConfirmMs;
        const GameReply r = command({kind, again, again ? std::optional<qint64>(pendingSeen_) : std::nullopt});
        if (r.confirm)
            holdConfirm(KeyCode, r, QStringLiteral(" Press %1 again to record it.").arg(QChar(KeyCode)));
        return;
    }
}
