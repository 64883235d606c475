// The game in play. During a game nothing pops up over the display: a value that cannot be
// read counts as the choice that changes nothing.

#include "clock/GameClock.h"

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

const QString GameClock::KeysHelp = QStringLiteral("E Entry · N Re-entry · R Rebuy · A Add-on · B Bust\r\n"
                                                   "L Lock payouts · Backspace Undo · H These keys\r\n"
                                                   "P Pause · Space Next level · Escape Leave the game");

const QString GameClock::TableKeysHelp =
    GameClock::KeysHelp
    + QStringLiteral("\r\nB, the table's digit and the seat: Bust · M and the seat: Move made · X Refuse the move\r\n"
                     "D Redraw the final table · S Seat the names typed");

GameClock::GameClock(GameSettings &settings, QObject *parent)
    : QObject(parent), now([] { return QDateTime::currentMSecsSinceEpoch(); }), settings_(settings)
{}

GameClock::Batch::~Batch()
{
    if (--game_.batchDepth_ == 0)
        game_.publish();
}

void GameClock::run(Countdown countdown)
{
    if (running_ == countdown)
        return;
    running_ = countdown;
    emit countdownChanged();
}

void GameClock::stopCountdowns()
{
    run(Countdown::None);
}

bool GameClock::breakIsNext() const
{
    if (!settings_.breakOn())
        return false;
    const std::optional<qint64> every = wholeValue(settings_.breakEvery(), Width::Int16);
    if (!every || !breakAfter(state.currentRound, *every, settings_.repeatBreak()))
        return false;
    // A break that repeats comes only between levels: never after the last one.
    return !settings_.repeatBreak() || state.currentRound < settings_.levelCount();
}

void GameClock::start(const std::optional<tournament::Setup> &counting)
{
    const Batch batch(*this);
    // A start during a game begins it anew.
    stopCountdowns();
    paused = false;
    breakWasRunning = false;
    pendingKey_ = 0;
    seatInput_.cancel();
    seatCalls_.clear();
    ledger.reset();
    if (counting)
        ledger.emplace(*counting);
    ++countChanges_;

    GameState &g = state;
    const AnteRule ante = settings_.anteRule();
    g.currentAnte = ante.on && ante.round == 1 ? qint32(ante.amount.value_or(0)) : 0;
    settings_.selectRow(0);
    g.gameSeconds = 0;
    g.secondsLeft = toInt32(settings_.levelTime(0)).value_or(0);
    g.levelSeconds = g.secondsLeft;
    g.played = 0;
    g.currentRound = 1;
    const std::optional<qint64> breakMinutes = wholeValue(settings_.breakMinutes(), Width::Int32);
    g.breakSeconds =
        breakMinutes && *breakMinutes >= 0 && *breakMinutes <= MaxBreakMinutes ? qint16(*breakMinutes * 60) : 0;

    spoken_.clear();
    chipPlan_ = {};
    planNight();
    run(Countdown::Rounds);
    if (settings_.speechOn())
        emit say(
            startAnnouncement(settings_.phrases(), settings_.smallBlind(0), settings_.bigBlind(0), g.currencySymbol));
    sayChips(false);

    DisplayState &v = view_;
    v.blinds.text = blindsText(g.currencySymbol, settings_.smallBlind(0), settings_.bigBlind(0));
    v.currentRound.text = roundText(g.currentRound);
    v.nextRound.text = QStringLiteral("Next round is ") + settings_.levelLine(g.currentRound) + QStringLiteral(" in ")
                       + settings_.longTime(g.secondsLeft);
    v.elapsed.text = QStringLiteral("Game Timer: ") + settings_.longTime(g.gameSeconds);
    v.ante.visible = false;
    comeUp();
    emit keep();
}

tournament::SavedGame GameClock::kept() const
{
    const GameState &g = state;
    tournament::SavedGame s;
    s.currentRound = g.currentRound;
    // The row of the level in play; in the break, the one before it, within the list (an edit
    // of the list during the game may have moved the selection).
    s.levels = settings_.levels();
    const int rows = int(s.levels.size());
    s.listIndex = g.currentRound >= 0 ? std::max(0, g.currentRound - 1)
                                      : std::clamp(settings_.selectedRow(), 0, std::max(0, rows - 1));
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
    s.settings = settings_.snapshot();
    // Within what the file is read back with: a longer text (a phrase pasted in) is kept cut short
    // rather than the game not kept at all.
    if (s.settings.size() > size_t(tournament::SavedSettings))
        s.settings.resize(size_t(tournament::SavedSettings));
    for (std::array<QString, 3> &setting : s.settings)
        for (QString &text : setting)
            text.truncate(tournament::SavedSettingChars);
    return s;
}

// The display comes up paused where the game was kept: under the settings it was played
// with, the levels as they were played, the level, the countdown and the game time, the ante
// and the count.
void GameClock::resume(const tournament::SavedGame &s)
{
    const Batch batch(*this);
    stopCountdowns();
    pendingKey_ = 0;
    settings_.restore(s);
    settings_.selectRow(s.listIndex);
    GameState &g = state;
    g.currentRound = s.currentRound;
    g.secondsLeft = s.secondsLeft;
    g.levelSeconds = s.levelSeconds;
    g.gameSeconds = s.gameSeconds;
    g.played = s.played;
    g.currentAnte = s.currentAnte;
    g.breakSeconds = s.breakSeconds;
    seatInput_.cancel();
    seatCalls_.clear();
    if (s.counting) {
        ledger = tournament::Ledger::replay(s.setup, s.records);
        names = s.names;
    } else {
        ledger.reset();
    }
    ++countChanges_;
    spoken_.clear();
    chipPlan_ = {};
    planNight();

    DisplayState &v = view_;
    const bool inBreak = g.currentRound == -1;
    v.blinds.text =
        inBreak ? QStringLiteral("Break")
                : blindsText(g.currencySymbol, settings_.smallBlind(s.listIndex), settings_.bigBlind(s.listIndex));
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
void GameClock::comeUp()
{
    DisplayState &v = view_;
    v.title.text = settings_.title();
    const std::array<qint32, 4> colours = settings_.colours();
    v.backColour = colours[0];
    v.textColour = colours[1];
    v.anteColour = colours[2];
    v.titleColour = colours[3];
    inPlay_ = true;
    started_ = true;
}

void GameClock::showCountdown()
{
    const GameState &g = state;
    const int levels = settings_.levelCount();
    QString next;
    if (g.currentRound == -1)
        next = QStringLiteral("Next round is ") + settings_.levelLine(settings_.selectedRow() + 1)
               + QStringLiteral("\r\nStarting in ") + countdownText(g.secondsLeft);
    else if (breakIsNext() && !(g.currentRound >= levels && g.secondsLeft < 0))
        next = QStringLiteral("Next round is a break\r\nStarting in ") + countdownText(g.secondsLeft);
    else if (g.currentRound >= levels)
        next = QStringLiteral("No more rounds.");
    else
        next = QStringLiteral("Next round is ") + settings_.levelLine(g.currentRound)
               + QStringLiteral("\r\nStarting in ") + countdownText(g.secondsLeft);
    view_.nextRound.text = next;
    view_.elapsed.text = QStringLiteral("Game Timer: ") + settings_.longTime(g.gameSeconds);
}

// One second of the game, and one off the countdown, which past the last level runs on below
// zero but never wraps.
void GameClock::oneSecond()
{
    ++state.gameSeconds;
    ++state.played;
    if (state.secondsLeft > std::numeric_limits<qint32>::min())
        --state.secondsLeft;
}

void GameClock::tickRounds()
{
    const Batch batch(*this);
    GameState &g = state;
    oneSecond();
    const int levels = settings_.levelCount();
    const bool ended = g.currentRound >= levels && g.secondsLeft < 0;
    const bool breakNext = breakIsNext() && !ended;
    showCountdown();
    if (g.secondsLeft == 60 && settings_.speechOn()) {
        const Phrases p = settings_.phrases();
        emit say(breakNext ? p.BreakSoon : p.BlindsSoon);
    }
    // A level of no length at all ends on its first tick.
    // Kept every second, so a game that dies resumes at the second it was.
    if (g.secondsLeft <= 0 && !ended)
        advanceRound();
    else
        emit keep();
}

void GameClock::tickBreak()
{
    const Batch batch(*this);
    GameState &g = state;
    oneSecond();
    showCountdown();
    if (g.secondsLeft == 60 && settings_.speechOn())
        emit say(settings_.phrases().BlindsSoon);
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

bool GameClock::tick()
{
    if (running_ == Countdown::Break)
        tickBreak();
    else if (running_ == Countdown::Rounds)
        tickRounds();
    else
        return false;
    return true;
}

void GameClock::advanceRound()
{
    const Batch batch(*this);
    GameState &g = state;
    const int levels = settings_.levelCount();
    if (!started_ || g.currentRound >= levels)
        return;
    const bool takeBreak = g.currentRound != -1 && breakIsNext();
    // Out of a break, the game goes on after the level played before it, even if breaks
    // were switched off meanwhile.
    const int row = g.currentRound == -1 ? settings_.selectedRow() + 1 : g.currentRound;
    if (!takeBreak && row >= levels) {
        // The list was shortened below the level in play: its last level is the one in play,
        // and out of a break it shows.
        const bool fromBreak = g.currentRound == -1;
        g.currentRound = levels;
        settings_.selectRow(levels - 1);
        if (fromBreak && levels > 0) {
            DisplayState &v = view_;
            v.blinds.text =
                blindsText(g.currencySymbol, settings_.smallBlind(levels - 1), settings_.bigBlind(levels - 1));
            v.currentRound.text = roundText(g.currentRound);
            v.ante.text = anteText(g.currencySymbol, g.currentAnte);
            v.ante.visible = g.currentAnte > 0;
        }
        return;
    }

    // The list or the break may have changed since: the colour-ups follow them.
    planNight();
    // The sound cue; with speech on it ends before the speech begins.
    const QString wav = settings_.soundToPlay();
    if (!wav.isEmpty())
        emit playSound(wav, settings_.speechOn());

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
        if (settings_.speechOn())
            emit say(settings_.phrases().Break);
        sayChips(true);
        emit keep();
        return;
    }

    g.currentRound = row + 1;
    const std::optional<qint32> length = toInt32(settings_.levelTime(row));
    if (length && *length >= 0)
        g.levelSeconds = *length;
    g.secondsLeft = g.levelSeconds;
    g.played = 0;
    settings_.selectRow(row);
    const QString &c = g.currencySymbol;
    v.blinds.text = blindsText(c, settings_.smallBlind(row), settings_.bigBlind(row));
    v.currentRound.text = roundText(g.currentRound);

    const AnteRule ante = settings_.anteRule();
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
    if (settings_.speechOn())
        emit say(levelAnnouncement(settings_.phrases(), settings_.smallBlind(row), settings_.bigBlind(row), c,
                                   g.currentAnte));
    sayChips(false);
    emit keep();
}

void GameClock::pause()
{
    breakWasRunning = running_ == Countdown::Break;
    stopCountdowns();
    paused = true;
}

void GameClock::pauseResume()
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

void GameClock::leave()
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
void GameClock::showLevel(int row)
{
    GameState &g = state;
    const bool wasBreak = g.currentRound == -1;
    g.currentRound = row + 1;
    settings_.selectRow(row);
    const std::optional<qint32> length = toInt32(settings_.levelTime(row));
    if (length && *length >= 0)
        g.levelSeconds = *length;
    g.secondsLeft = g.levelSeconds;
    g.played = 0;
    g.currentAnte = anteForRound(settings_.anteRule(), g.currentRound);
    DisplayState &v = view_;
    v.blinds.text = blindsText(g.currencySymbol, settings_.smallBlind(row), settings_.bigBlind(row));
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

void GameClock::back()
{
    if (!inPlay_)
        return;
    const Batch batch(*this);
    GameState &g = state;
    const bool inBreak = g.currentRound == -1;
    const BackMove move = backMove(g.currentRound, settings_.selectedRow(), g.played);
    if (move.previous && move.row >= 0 && move.row < settings_.levelCount()) {
        showLevel(move.row);
    } else {
        g.secondsLeft = inBreak ? g.breakSeconds : g.levelSeconds;
        g.played = 0;
    }
    showCountdown();
    emit keep();
}

void GameClock::shiftCountdown(qint64 seconds)
{
    if (!inPlay_)
        return;
    const Batch batch(*this);
    state.secondsLeft = shiftedSeconds(state.secondsLeft, seconds);
    showCountdown();
    emit keep();
}

void GameClock::refresh()
{
    const Batch batch(*this);
    planNight();
}
