// The game in play. During a game nothing pops up over the display: a value that cannot be
// read counts as the choice that changes nothing.

#include "clock/Game.h"

#include "announce/Announcements.h"

#include "text/ClockText.h"
#include "text/TextNumber.h"

#include <QDateTime>
#include <algorithm>
#include <limits>

namespace {

// The break may last at most 546 minutes: its seconds must fit 16 bits.
constexpr qint64 MaxBreakMinutes = 546;

} // namespace

const QString Game::KeysHelp = QStringLiteral("E Entry · N Re-entry · R Rebuy · A Add-on · B Bust\r\n"
                                              "L Lock payouts · Backspace Undo · H These keys\r\n"
                                              "P Pause · Space Next level · Escape Leave the game");

const QString Game::TableKeysHelp =
    Game::KeysHelp
    + QStringLiteral("\r\nB, the table's digit and the seat: Bust · M and the seat: Move made · X Refuse the move\r\n"
                     "D Redraw the final table · S Seat the names typed · T Every table's seats · C Table cards\r\n"
                     "K Chip counts · O Deal");

Game::Game(QObject *parent) : QObject(parent), now([] { return QDateTime::currentMSecsSinceEpoch(); }) {}

void Game::selectRow(int row)
{
    selectedRow_ = row;
    emit rowSelected(row);
}

Game::Batch::~Batch()
{
    if (--game_.batchDepth_ == 0)
        game_.publish();
}

void Game::run(Countdown countdown)
{
    if (running_ == countdown)
        return;
    running_ = countdown;
    emit countdownChanged();
}

void Game::stopCountdowns()
{
    run(Countdown::None);
}

bool Game::breakIsNext() const
{
    if (!rules_.breakOn)
        return false;
    const std::optional<qint64> every = wholeValue(rules_.breakEvery, Width::Int16);
    if (!every || !breakAfter(state.currentRound, *every, rules_.repeatBreak))
        return false;
    // A break that repeats comes only between levels: never after the last one.
    return !rules_.repeatBreak || state.currentRound < rules_.levelCount();
}

void Game::dropInput()
{
    pendingKey_ = 0;
    seatInput_.cancel();
    bustStage_ = 0;
    rebuyBySeat_ = false;
    chips_.clear();
    offer_.reset();
    countInput_.reset();
    playForDigits_.reset();
    whose_.clear();
    seatCalls_.clear();
}

void Game::start(const std::optional<tournament::Setup> &counting)
{
    const Batch batch(*this);
    // A start during a game begins it anew.
    stopCountdowns();
    paused = false;
    breakWasRunning = false;
    dropInput();
    ledger.reset();
    if (counting) {
        // Names typed before the start seat the players at one table too, so a bust names its player.
        tournament::Setup setup = *counting;
        // Bounties are paid by seat: they seat the players too.
        setup.seated = setup.layout.tables <= 1
                       && (setup.bounty > 0
                           || std::any_of(names.begin(), names.end(), [](const QString &n) { return !n.isEmpty(); }));
        ledger.emplace(setup);
    }
    entriesClosed_ = false;
    ++countChanges_;

    GameState &g = state;
    const AnteRule ante = rules_.ante;
    g.currentAnte = ante.on && ante.round == 1 ? qint32(ante.amount.value_or(0)) : 0;
    selectRow(0);
    g.gameSeconds = 0;
    g.secondsLeft = toInt32(rules_.levelTime(0)).value_or(0);
    g.levelSeconds = g.secondsLeft;
    g.played = 0;
    g.currentRound = 1;
    const std::optional<qint64> breakMinutes = wholeValue(rules_.breakMinutes, Width::Int32);
    g.breakSeconds =
        breakMinutes && *breakMinutes >= 0 && *breakMinutes <= MaxBreakMinutes ? qint16(*breakMinutes * 60) : 0;

    night_.forget();
    planNight();
    run(Countdown::Rounds);
    if (rules_.speechOn)
        emit say(startAnnouncement(rules_.phrases, rules_.smallBlind(0), rules_.bigBlind(0), g.currencySymbol));
    sayChips(false);

    DisplayState &v = view_;
    v.blinds.text = blindsText(g.currencySymbol, rules_.smallBlind(0), rules_.bigBlind(0));
    v.currentRound.text = roundText(g.currentRound);
    v.nextRound.text = QStringLiteral("Next round is ") + rules_.levelLine(g.currentRound) + QStringLiteral(" in ")
                       + rules_.longTime(g.secondsLeft);
    v.elapsed.text = QStringLiteral("Game Timer: ") + rules_.longTime(g.gameSeconds);
    v.ante.visible = false;
    comeUp();
    emit keep();
}

tournament::SavedGame Game::kept() const
{
    const GameState &g = state;
    tournament::SavedGame s;
    s.currentRound = g.currentRound;
    // The row of the level in play; in the break, the one before it, within the list (an edit
    // of the list during the game may have moved the selection).
    s.levels = rules_.levels();
    const int rows = int(s.levels.size());
    s.listIndex =
        g.currentRound >= 0 ? std::max(0, g.currentRound - 1) : std::clamp(selectedRow_, 0, std::max(0, rows - 1));
    s.secondsLeft = g.secondsLeft;
    s.levelSeconds = g.levelSeconds;
    s.gameSeconds = g.gameSeconds;
    s.played = g.played;
    s.currentAnte = g.currentAnte;
    s.breakSeconds = g.breakSeconds;
    s.paused = paused;
    // Running, the countdown that runs; paused, the one that was.
    s.breakWasRunning = paused ? breakWasRunning : running_ == Countdown::Break;
    if (ledger) {
        s.counting = true;
        s.setup = ledger->setup();
        s.records = ledger->records();
        s.names = names;
        s.seatMap = tournament::seatMapOf(*ledger);
    }
    return s;
}

// The display comes up paused where the game was kept: the level, the countdown and the game
// time, the ante and the count. The rules it was played with (its settings, the levels as they
// were played) were handed over before.
void Game::resume(const tournament::SavedGame &s)
{
    const Batch batch(*this);
    stopCountdowns();
    pendingKey_ = 0;
    selectRow(s.listIndex);
    GameState &g = state;
    g.currentRound = s.currentRound;
    g.secondsLeft = s.secondsLeft;
    g.levelSeconds = s.levelSeconds;
    g.gameSeconds = s.gameSeconds;
    g.played = s.played;
    g.currentAnte = s.currentAnte;
    g.breakSeconds = s.breakSeconds;
    dropInput();
    if (s.counting) {
        ledger = tournament::Ledger::replay(s.setup, s.records);
        names = s.names;
        entriesClosed_ = !ledger || !ledger->entriesOpen(s.currentRound == -1 ? s.listIndex + 1 : s.currentRound);
    } else {
        ledger.reset();
    }
    ++countChanges_;
    night_.forget();
    planNight();

    DisplayState &v = view_;
    const bool inBreak = g.currentRound == -1;
    v.blinds.text = inBreak
                        ? QStringLiteral("Break")
                        : blindsText(g.currencySymbol, rules_.smallBlind(s.listIndex), rules_.bigBlind(s.listIndex));
    v.currentRound.text = inBreak ? QStringLiteral("Current Round: Break") : roundText(g.currentRound);
    v.ante.text = anteText(g.currencySymbol, g.currentAnte);
    v.ante.visible = !inBreak && g.currentAnte > 0;
    comeUp();
    showCountdown();
    paused = true;
    breakWasRunning = s.breakWasRunning;
    emit keep();
}

// The game on the display, in the title and colours the settings give now.
void Game::comeUp()
{
    DisplayState &v = view_;
    v.title.text = rules_.title;
    const std::array<qint32, 4> colours = rules_.colours;
    v.backColour = colours[0];
    v.textColour = colours[1];
    v.anteColour = colours[2];
    v.titleColour = colours[3];
    inPlay_ = true;
    started_ = true;
}

void Game::showCountdown()
{
    const GameState &g = state;
    const int levels = rules_.levelCount();
    QString next;
    if (g.currentRound == -1)
        next = QStringLiteral("Next round is ") + rules_.levelLine(selectedRow_ + 1)
               + QStringLiteral("\r\nStarting in ") + countdownText(g.secondsLeft);
    else if (breakIsNext() && !(g.currentRound >= levels && g.secondsLeft < 0))
        next = QStringLiteral("Next round is a break\r\nStarting in ") + countdownText(g.secondsLeft);
    else if (g.currentRound >= levels)
        next = QStringLiteral("No more rounds.");
    else
        next = QStringLiteral("Next round is ") + rules_.levelLine(g.currentRound) + QStringLiteral("\r\nStarting in ")
               + countdownText(g.secondsLeft);
    view_.nextRound.text = next;
    view_.elapsed.text = QStringLiteral("Game Timer: ") + rules_.longTime(g.gameSeconds);
}

// One second of the game, and one off the countdown, which past the last level runs on below
// zero but never wraps.
void Game::oneSecond()
{
    ++state.gameSeconds;
    ++state.played;
    if (state.secondsLeft > std::numeric_limits<qint32>::min())
        --state.secondsLeft;
}

void Game::tickRounds()
{
    const Batch batch(*this);
    GameState &g = state;
    oneSecond();
    const int levels = rules_.levelCount();
    const bool ended = g.currentRound >= levels && g.secondsLeft < 0;
    const bool breakNext = breakIsNext() && !ended;
    showCountdown();
    if (g.secondsLeft == 60 && rules_.speechOn) {
        const Phrases p = rules_.phrases;
        emit say(breakNext ? p.BreakSoon : p.BlindsSoon);
    }
    // A level of no length at all ends on its first tick.
    // Kept every second, so a game that dies resumes at the second it was.
    if (g.secondsLeft <= 0 && !ended)
        advanceRound();
    else
        emit keep();
}

void Game::tickBreak()
{
    const Batch batch(*this);
    GameState &g = state;
    oneSecond();
    showCountdown();
    if (g.secondsLeft == 60 && rules_.speechOn)
        emit say(rules_.phrases.BlindsSoon);
    if (g.secondsLeft <= 0) {
        stopCountdowns();
        advanceRound();
        // The advance may have started a break of its own (the break box changed mid-game).
        if (running_ != Countdown::Break)
            run(Countdown::Rounds);
    } else {
        emit keep();
    }
}

bool Game::tick()
{
    if (running_ == Countdown::Break)
        tickBreak();
    else if (running_ == Countdown::Rounds)
        tickRounds();
    else
        return false;
    return true;
}

void Game::advanceRound()
{
    const Batch batch(*this);
    GameState &g = state;
    const int levels = rules_.levelCount();
    if (!started_ || g.currentRound >= levels)
        return;
    const bool takeBreak = g.currentRound != -1 && breakIsNext();
    // Out of a break, the game goes on after the level played before it, even if breaks
    // were switched off meanwhile.
    const int row = g.currentRound == -1 ? selectedRow_ + 1 : g.currentRound;
    if (!takeBreak && row >= levels) {
        // The list was shortened below the level in play: its last level is the one in play,
        // and out of a break it shows.
        const bool fromBreak = g.currentRound == -1;
        g.currentRound = levels;
        selectRow(levels - 1);
        if (fromBreak && levels > 0) {
            DisplayState &v = view_;
            v.blinds.text = blindsText(g.currencySymbol, rules_.smallBlind(levels - 1), rules_.bigBlind(levels - 1));
            v.currentRound.text = roundText(g.currentRound);
            v.ante.text = anteText(g.currencySymbol, g.currentAnte);
            v.ante.visible = g.currentAnte > 0;
        }
        return;
    }

    // The list or the break may have changed since: the colour-ups follow them.
    planNight();
    // The sound cue; with speech on it ends before the speech begins.
    const QString wav = rules_.sound;
    if (!wav.isEmpty())
        emit playSound(wav, rules_.speechOn);

    DisplayState &v = view_;
    if (takeBreak) {
        stopCountdowns();
        if (paused)
            breakWasRunning = true;
        else
            run(Countdown::Break);
        g.currentRound = -1;
        g.played = 0;
        v.blinds.text = QStringLiteral("Break");
        v.currentRound.text = QStringLiteral("Current Round: Break");
        v.ante.visible = false;
        g.secondsLeft = g.breakSeconds;
        if (rules_.speechOn)
            emit say(rules_.phrases.Break);
        sayChips(true);
        emit keep();
        return;
    }

    g.currentRound = row + 1;
    // The counts stand until the next level begins.
    chips_.clear();
    const std::optional<qint32> length = toInt32(rules_.levelTime(row));
    if (length && *length >= 0)
        g.levelSeconds = *length;
    g.secondsLeft = g.levelSeconds;
    g.played = 0;
    selectRow(row);
    const QString &c = g.currencySymbol;
    v.blinds.text = blindsText(c, rules_.smallBlind(row), rules_.bigBlind(row));
    v.currentRound.text = roundText(g.currentRound);

    const AnteRule ante = rules_.ante;
    if (ante.on) {
        if (ante.round && *ante.round == g.currentRound)
            g.currentAnte = qint32(ante.amount.value_or(g.currentAnte));
        if (ante.round && ante.raise && g.currentRound > *ante.round) {
            // The ante stays as it is when the next one would not fit.
            const qint64 product = ante.factor ? *ante.factor * g.currentAnte : g.currentAnte;
            if (product >= widthMin(Width::Int32) && product <= widthMax(Width::Int32))
                g.currentAnte = qint32(product);
        }
    }
    if (g.currentAnte > 0) {
        v.ante.text = anteText(c, g.currentAnte);
        v.ante.visible = true;
    }
    if (rules_.speechOn)
        emit say(levelAnnouncement(rules_.phrases, rules_.smallBlind(row), rules_.bigBlind(row), c, g.currentAnte));
    closeEntries();
    sayChips(false);
    emit keep();
}

void Game::pause()
{
    breakWasRunning = running_ == Countdown::Break;
    stopCountdowns();
    paused = true;
}

void Game::pauseResume()
{
    const Batch batch(*this);
    if (!paused) {
        pause();
    } else {
        run(breakWasRunning ? Countdown::Break : Countdown::Rounds);
        paused = false;
    }
    emit keep();
}

void Game::leave()
{
    const Batch batch(*this);
    pendingKey_ = 0;
    // A counted game is kept to be taken up again: it stands paused where it was left.
    if (ledger && !paused)
        pause();
    stopCountdowns();
    inPlay_ = false;
    emit left();
}

// Level `row` in play from its start, out of the break if the game was in it.
void Game::showLevel(int row)
{
    GameState &g = state;
    const bool wasBreak = g.currentRound == -1;
    g.currentRound = row + 1;
    selectRow(row);
    const std::optional<qint32> length = toInt32(rules_.levelTime(row));
    if (length && *length >= 0)
        g.levelSeconds = *length;
    g.secondsLeft = g.levelSeconds;
    g.played = 0;
    g.currentAnte = anteForRound(rules_.ante, g.currentRound);
    DisplayState &v = view_;
    v.blinds.text = blindsText(g.currencySymbol, rules_.smallBlind(row), rules_.bigBlind(row));
    v.currentRound.text = roundText(g.currentRound);
    v.ante.text = anteText(g.currencySymbol, g.currentAnte);
    v.ante.visible = g.currentAnte > 0;
    if (!wasBreak)
        return;
    if (paused)
        breakWasRunning = false;
    else
        run(Countdown::Rounds);
}

void Game::back()
{
    if (!inPlay_)
        return;
    const Batch batch(*this);
    GameState &g = state;
    const bool inBreak = g.currentRound == -1;
    const BackMove move = backMove(g.currentRound, selectedRow_, g.played);
    if (move.previous && move.row >= 0 && move.row < rules_.levelCount()) {
        showLevel(move.row);
    } else {
        g.secondsLeft = inBreak ? g.breakSeconds : g.levelSeconds;
        g.played = 0;
    }
    showCountdown();
    emit keep();
}

void Game::shiftCountdown(qint64 seconds)
{
    if (!inPlay_)
        return;
    const Batch batch(*this);
    state.secondsLeft = shiftedSeconds(state.secondsLeft, seconds);
    showCountdown();
    emit keep();
}

void Game::sayChips(bool atBreak)
{
    for (const QString &line : night_.toSay(nightAt(), atBreak, !atBreak && breakIsNext()))
        emit say(line);
}

void Game::refresh()
{
    const Batch batch(*this);
    planNight();
}
