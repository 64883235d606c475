// The host's controls beyond the display's design keys: the count of players and prizes,
// and the clock moved by hand. The display's keys and the page's buttons both come here, so
// the display, the announcements and the page agree.

#include "clock/LevelMoves.h"
#include "display/frm_Display.h"
#include "settings/frm_Chiplark.h"

#include <QDateTime>

namespace {

using tournament::Ledger;

constexpr int NoticeMs = 5000;

} // namespace

Ledger::Outcome frm_Chiplark::ledgerAction(tournament::Action action, bool confirmed)
{
    if (!display_ || !display_->isVisible())
        return {Ledger::Verdict::Refused, QStringLiteral("No game is running."), false};
    if (!ledger)
        return {Ledger::Verdict::Refused, QStringLiteral("This game does not count players."), false};
    const DisplayBatch batch(*this);
    // In the break, the level played before it.
    const int round = gameState.currentRound == -1 ? lst_Blinds->listIndex() + 1 : gameState.currentRound;
    Ledger::Outcome o = ledger->act(action, round, QDateTime::currentMSecsSinceEpoch(), confirmed);
    if (o.verdict == Ledger::Verdict::Refused)
        display_->showNotice(o.text, NoticeMs);
    if (o.verdict != Ledger::Verdict::Done)
        return o;

    const tournament::Counts &c = ledger->counts();
    if (action == tournament::Action::Bust && ledger->setup().speak) {
        speak(tournament::bustAnnouncement(c.left()));
        if (o.inTheMoney)
            speak(tournament::InTheMoney);
    }
    // The last player standing: the clock stops, and says so until the next key.
    if (action == tournament::Action::Bust && c.left() == 1) {
        if (!display_->paused)
            display_->Form_KeyDown(DisplayKey::P, 0);
        display_->showNotice(o.text + QStringLiteral(": the game is paused. Backspace undoes the bust."), 0);
    } else {
        display_->showNotice(o.text + QStringLiteral(". Backspace undoes it."), NoticeMs);
    }
    keepGame();
    return o;
}

Ledger::Outcome frm_Chiplark::undoLedger()
{
    if (!display_ || !display_->isVisible() || !ledger)
        return ledgerAction(tournament::Action::Entry, false); // says why nothing can be undone
    const DisplayBatch batch(*this);
    Ledger::Outcome o = ledger->undo();
    display_->showNotice(o.text + QLatin1Char('.'), NoticeMs);
    if (o.verdict == Ledger::Verdict::Done)
        keepGame();
    return o;
}

// A phone's control acts as the display's key, with every rule of the keys.
platform::RemoteReply frm_Chiplark::remoteAction(platform::RemoteAction action, bool confirmed)
{
    using A = platform::RemoteAction;
    if (!display_ || !display_->isVisible())
        return {false, false,
                action == A::PauseResume || action == A::NextLevel ? QString() : QStringLiteral("No game is running.")};
    Ledger::Outcome o;
    switch (action) {
    case A::PauseResume: display_->Form_KeyDown(DisplayKey::P, 0); return {};
    case A::NextLevel: display_->Form_KeyDown(DisplayKey::Space, 0); return {};
    case A::Back: backLevel(); return {};
    case A::MinuteLess: shiftCountdown(-60); return {};
    case A::MinuteMore: shiftCountdown(60); return {};
    case A::Undo: o = undoLedger(); break;
    case A::Entry: o = ledgerAction(tournament::Action::Entry, confirmed); break;
    case A::Reentry: o = ledgerAction(tournament::Action::Reentry, confirmed); break;
    case A::Rebuy: o = ledgerAction(tournament::Action::Rebuy, confirmed); break;
    case A::AddOn: o = ledgerAction(tournament::Action::AddOn, confirmed); break;
    case A::Bust: o = ledgerAction(tournament::Action::Bust, confirmed); break;
    case A::LockPayouts: o = ledgerAction(tournament::Action::LockPayouts, confirmed); break;
    }
    return {o.verdict == Ledger::Verdict::Done, o.verdict == Ledger::Verdict::Confirm, o.text};
}
