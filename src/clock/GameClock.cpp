// The game in play. During a game nothing pops up over the display: a value that cannot be
// read counts as the choice that changes nothing.

#include "clock/GameClock.h"

#include "announce/Announcements.h"
#include "text/ClockText.h"
#include "clock/GameKeys.h"
#include "plan/Sheet.h"
#include "text/TextNumber.h"
#include "tournament/SetupTexts.h"
#include "tournament/Standings.h"

#include <QDateTime>
#include <algorithm>
#include <limits>

namespace {

// The break may last at most 546 minutes: its seconds must fit 16 bits.
constexpr qint64 MaxBreakMinutes = 546;

std::optional<qint64> whole(const QString &text, Width width)
{
    const WholeNumber n = toWhole(text, width);
    return n.ok() ? std::optional<qint64>(n.value) : std::nullopt;
}

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
    const std::optional<qint64> every = whole(settings_.breakEvery(), Width::Int16);
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
    const std::optional<qint64> breakMinutes = whole(settings_.breakMinutes(), Width::Int32);
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

void GameClock::planNight()
{
    const plan::PlanSetup setup = settings_.planSetup();
    chipsOn_ = setup.on();
    chipCase_ = setup.chips;
    // Mid-game the colour-ups of the levels played stay as they were (a new game or a resumed
    // one has none yet).
    const chips::ChipPlan before = std::exchange(chipPlan_, {});
    plan_ = {};
    addOnAfter_.reset();
    nextBreakMinutes_ = planMinute_ = -1;
    planRow_ = -1;
    if (!chipsOn_)
        return;
    // The night as the settings stand, read as the setup's plan reads it.
    plan::Night night;
    night.setup = setup;
    const AnteRule ante = settings_.anteRule();
    // A level whose length cannot be read lasts as long as the one before it, as in play.
    qint64 length = state.levelSeconds;
    for (int row = 0; row < settings_.levelCount(); ++row) {
        night.levels.push_back({settings_.smallBlind(row), settings_.bigBlind(row), anteForRound(ante, row + 1)});
        const std::optional<qint32> own = toInt32(settings_.levelTime(row));
        if (own && *own >= 0)
            length = *own;
        night.levelSeconds.push_back(length);
    }
    const std::optional<qint64> every =
        settings_.breakOn() ? whole(settings_.breakEvery(), Width::Int16) : std::nullopt;
    night.breakEvery = every && *every > 0 ? *every : 0;
    night.repeat = settings_.repeatBreak();
    night.breakSeconds = state.breakSeconds;
    if (ledger)
        night.count = ledger->setup();
    const chips::Structure structure = plan::structureOf(night);
    chipPlan_ = chips::planChips(chipCase_, structure, before,
                                 state.currentRound == -1 ? settings_.selectedRow() + 1 : state.currentRound - 1);
    if (ledger && ledger->setup().addOn > 0)
        addOnAfter_ = chips::addOnBreak(structure, ledger->setup().rebuyLastRound);
    plan_ = plan::makePlan(plan::planInput(night, {}));
}

void GameClock::sayChips(bool atBreak)
{
    if (!chipsOn_)
        return;
    const auto once = [this](int key) {
        if (std::find(spoken_.begin(), spoken_.end(), key) != spoken_.end())
            return false;
        spoken_.push_back(key);
        return true;
    };
    if (!atBreak) {
        // The level the break follows has begun: its colour-up is said now, a level ahead.
        const int level = state.currentRound;
        const chips::ColourUp *up = chipPlan_.at(level);
        if (up && settings_.speechOn() && breakIsNext() && level < settings_.levelCount() && once(level))
            emit say(chips::colourUpWarning(up->chips));
        return;
    }
    const int played = settings_.selectedRow() + 1;
    if (!ledger || ledger->setup().addOn <= 0 || addOnAfter_ != played)
        return;
    const tournament::Setup &t = ledger->setup();
    if ((settings_.speechOn() || t.speak) && once(-played))
        emit say(plan::addOnNow(state.currencySymbol, t.addOn, t.addOnChips));
}

void GameClock::publishChips()
{
    DisplayState &v = view_;
    v.chipCase = chipsOn_;
    if (!chipsOn_) {
        v.chipWarning.clear();
        v.colourUp.clear();
        v.addOnNow.clear();
        v.nextBreak.clear();
        v.planSummary.clear();
        v.plan.clear();
        v.chipValues.clear();
        v.raceLeaving.clear();
        v.raceTo = 0;
        return;
    }
    const GameState &g = state;
    v.chipValues = chipCase_;
    // The level in play, or in the break the one it follows.
    const int played = v.inBreak ? settings_.selectedRow() + 1 : g.currentRound;
    const chips::ColourUp *up = v.inBreak || v.breakNext ? chipPlan_.at(played) : nullptr;
    v.chipWarning = up && !v.inBreak ? chips::colourUpWarning(up->chips) : QString();
    v.colourUp = up && v.inBreak ? chips::colourUpLine(up->chips) : QString();
    // In the break, the leaving chips are raced for the smallest chip that stays.
    v.raceLeaving.clear();
    v.raceTo = 0;
    if (up && v.inBreak && !up->chips.empty()) {
        for (const chips::Chip &chip : chipCase_)
            if (chip.value > up->chips.back()
                && std::find(up->chips.begin(), up->chips.end(), chip.value) == up->chips.end()) {
                v.raceTo = chip.value;
                v.raceLeaving = up->chips;
                break;
            }
    }
    const tournament::Setup *counted = ledger ? &ledger->setup() : nullptr;
    v.addOnNow = v.inBreak && counted && counted->addOn > 0 && addOnAfter_ == played
                     ? plan::addOnNow(g.currencySymbol, counted->addOn, counted->addOnChips)
                     : QString();

    // The minutes to the next break, rebuilt only when the minute shown changes.
    std::optional<qint64> toBreak;
    if (!v.inBreak && settings_.breakOn() && settings_.repeatBreak())
        toBreak = plan::secondsToBreak(plan_, g.currentRound, std::max<qint64>(0, g.secondsLeft));
    const qint64 minutes = toBreak ? (*toBreak + 59) / 60 : -2;
    if (minutes != nextBreakMinutes_) {
        nextBreakMinutes_ = minutes;
        v.nextBreak = toBreak ? plan::nextBreakText(*toBreak) : QString();
    }

    // The plan's times count from the minute the night would have begun, had it run as planned
    // up to the second in play: a pause moves every time still to come.
    const std::vector<plan::Row> &rows = plan_.rows;
    int now = -1;
    for (int i = 0; i < int(rows.size()) && now < 0; ++i)
        if (v.inBreak ? rows[size_t(i)].level == 0 && i > 0 && rows[size_t(i - 1)].level == played
                      : rows[size_t(i)].level == g.currentRound)
            now = i;
    const qint64 elapsed =
        now >= 0 ? rows[size_t(now)].from + rows[size_t(now)].seconds - g.secondsLeft : g.gameSeconds;
    // The minute it began, counted on the calendar: a night the clocks change reads as they do.
    const qint64 began = this->now() - elapsed * 1000;
    const qint64 minute = began / 60000 - (began % 60000 < 0 ? 1 : 0);
    if (minute == planMinute_ && now == planRow_)
        return;
    planMinute_ = minute;
    planRow_ = now;
    plan_.startsAt = QDateTime::fromMSecsSinceEpoch(minute * 60000);
    v.plan.clear();
    for (int i = 0; i < int(rows.size()); ++i) {
        const plan::Row &r = rows[size_t(i)];
        v.plan.push_back({r.level, plan::timeOfDay(plan_.startsAt.addSecs(r.from)),
                          r.level > 0 ? blindsText(g.currencySymbol, settings_.smallBlind(r.level - 1),
                                                   settings_.bigBlind(r.level - 1))
                                      : QString(),
                          i == now});
    }
    v.planSummary = plan::planSummary(plan_);
}

GameReply GameClock::ledgerAction(tournament::Action action, bool confirmed, std::optional<qint64> seen,
                                  tables::Seat seat)
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
    const int round = state.currentRound == -1 ? settings_.selectedRow() + 1 : state.currentRound;
    ledger->setCurrency(state.currencySymbol); // the house cut's question names its amounts in it
    const Ledger::Outcome o = ledger->act(action, round, now(), confirms, seat);
    ++countChanges_;
    GameReply reply{o.verdict == Ledger::Verdict::Done, o.verdict == Ledger::Verdict::Confirm, o.text, before};
    if (o.verdict == Ledger::Verdict::Refused)
        emit notice(o.text, NoticeMs);
    if (o.verdict != Ledger::Verdict::Done)
        return reply;

    const tournament::Counts &c = ledger->counts();
    if (action == tournament::Action::Bust && ledger->setup().speak) {
        emit say(tournament::bustAnnouncement(c.left()));
        if (o.inTheMoney)
            emit say(tournament::InTheMoney);
    }
    // The last player standing: the clock stops, and says so until the next notice.
    if (action == tournament::Action::Bust && c.left() == 1) {
        if (!paused)
            pause();
        emit notice(o.text + QStringLiteral(": the game is paused. Backspace undoes the bust."), 0);
        emit finished(results());
    } else {
        emit notice(o.text + QStringLiteral(". Backspace undoes it."), NoticeMs);
    }
    callSeats(action, o);
    emit keep();
    return reply;
}

void GameClock::callSeats(tournament::Action action, const tournament::Ledger::Outcome &o)
{
    using tournament::Action;
    if (!tablesInPlay())
        return;
    const bool speak = ledger->setup().speak;
    const tables::Seating &seating = *ledger->seating();
    if (action == Action::Entry || action == Action::Reentry) {
        const qint64 entry = ledger->counts().buyIns();
        const QString call = tables::seatCall(entry, nameOf(entry), o.seat);
        seatCalls_.prepend(call);
        while (seatCalls_.size() > 10)
            seatCalls_.removeLast();
        emit seatCall(call, SeatCallMs);
        if (speak)
            emit say(tables::spokenSeat(entry, nameOf(entry), o.seat));
    }
    if (o.broken.table != 0) {
        const QStringList lines = tables::breakCalls(o.broken);
        emit seatCall(lines.join(QStringLiteral("\r\n")), SeatCallMs + 2000 * int(o.broken.moves.size()));
        if (speak)
            for (const QString &line : lines)
                emit say(line);
    }
    if (action == Action::Redraw) {
        const QStringList lines = tables::redrawCalls(o.moves);
        emit seatCall(QStringLiteral("Final table\r\n") + lines.join(QStringLiteral("\r\n")),
                      SeatCallMs + 2000 * int(o.moves.size()));
        if (speak)
            for (const QString &line : lines)
                emit say(line);
    }
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

GameReply GameClock::drawSeats()
{
    if (!inPlay_ || !ledger)
        return ledgerAction(tournament::Action::Entry, false, std::nullopt, {}); // says why not
    const Batch batch(*this);
    const qint64 first = ledger->counts().buyIns();
    if (first >= names.size())
        return {false, false, QStringLiteral("Every name typed has a seat.")};
    GameReply last;
    QStringList calls;
    for (qint64 entry = first + 1; entry <= names.size(); ++entry) {
        const tournament::Ledger::Outcome o = ledger->act(tournament::Action::Entry, 1, now(), true);
        ++countChanges_;
        if (o.verdict != tournament::Ledger::Verdict::Done) {
            emit notice(o.text, NoticeMs);
            last = {false, false, o.text, records()};
            break;
        }
        if (o.seat.valid()) {
            calls << tables::seatCall(entry, nameOf(entry), o.seat);
            seatCalls_.prepend(calls.back());
        }
    }
    while (seatCalls_.size() > 10)
        seatCalls_.removeLast();
    if (!calls.isEmpty())
        emit seatCall(calls.join(QStringLiteral("\r\n")), SeatCallMs + 1000 * int(calls.size()));
    emit keep();
    return last.text.isEmpty() ? GameReply{true, false, QStringLiteral("Seats drawn"), records()} : last;
}

tournament::Results GameClock::results() const
{
    tournament::Results r;
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(now());
    r.title = settings_.title();
    r.date = at.toString(QStringLiteral("yyyy-MM-dd"));
    r.when = at.toString(QStringLiteral("dddd d MMMM yyyy, HH:mm"));
    for (int row = 0; row < settings_.levelCount(); ++row)
        r.structure << settings_.levelLine(row); // the list's line names its round
    if (settings_.breakOn())
        r.structure << QStringLiteral("Break after every %1 levels, %2 mins.")
                           .arg(settings_.breakEvery(), settings_.breakMinutes());
    r.currency = state.currencySymbol;
    if (ledger) {
        r.counts = ledger->counts();
        r.collected = ledger->collected();
        r.cut = ledger->cut();
        r.added = ledger->setup().added;
        r.pool = ledger->pool();
        r.guaranteed = ledger->guaranteed();
        r.places = tournament::standings(*ledger, names);
    }
    return r;
}

GameReply GameClock::undo(std::optional<qint64> seen)
{
    using tournament::Ledger;
    if (!inPlay_ || !ledger)
        return ledgerAction(tournament::Action::Entry, false, std::nullopt); // says why nothing can be undone
    const Batch batch(*this);
    const Ledger::Outcome o = ledger->undo(seen);
    ++countChanges_;
    if (o.verdict != Ledger::Verdict::Confirm)
        emit notice(o.text + QLatin1Char('.'), NoticeMs);
    if (o.verdict == Ledger::Verdict::Done)
        emit keep();
    return {o.verdict == Ledger::Verdict::Done, o.verdict == Ledger::Verdict::Confirm, o.text, records()};
}

GameReply GameClock::command(const GameCommand &c)
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
    case GameCommand::Reentry: return ledgerAction(A::Reentry, c.confirmed, c.seen);
    case GameCommand::Rebuy: return ledgerAction(A::Rebuy, c.confirmed, c.seen);
    case GameCommand::AddOn: return ledgerAction(A::AddOn, c.confirmed, c.seen);
    case GameCommand::Bust: return ledgerAction(A::Bust, c.confirmed, c.seen, c.seat);
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

bool GameClock::seatKey(int KeyCode)
{
    const tables::SeatInput::Step step = seatInput_.key(KeyCode);
    const bool consumed = KeyCode == DisplayKey::Escape || KeyCode == DisplayKey::Enter
                          || (KeyCode >= DisplayKey::Digit0 && KeyCode <= DisplayKey::Digit9);
    if (step.done) {
        const bool bust = seatFor_.table == 0;
        const GameReply r = command({bust ? GameCommand::Bust : GameCommand::Move, false, std::nullopt, step.seat, {}});
        // Asked first: Enter again records it for the same seat.
        if (r.confirm) {
            pendingKey_ = DisplayKey::Enter;
            pendingAt_ = now();
            pendingSeen_ = r.seen;
            pendingSeat_ = step.seat;
            emit notice(r.text + QStringLiteral(" Press Enter again to record it."), int(ConfirmMs));
        }
    } else if (!step.prompt.isEmpty()) {
        emit notice(step.prompt, step.cancelled ? NoticeMs : int(ConfirmMs));
    }
    return consumed;
}

void GameClock::key(int KeyCode, int Shift)
{
    const Batch batch(*this);
    // While a seat is being named, the digits, Enter and Escape are its own; any other key ends it.
    if (seatInput_.active() && seatKey(KeyCode))
        return;
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
        case DisplayKey::B:
            seatFor_ = {};
            emit notice(seatInput_.begin(QStringLiteral("Bust"), open, seating.layout().seats).prompt, int(ConfirmMs));
            return;
        case DisplayKey::M:
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
            command(
                {seatFor_.table == 0 ? GameCommand::Bust : GameCommand::Move, true, pendingSeen_, pendingSeat_, {}});
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
        if (r.confirm) {
            pendingKey_ = KeyCode;
            pendingAt_ = at;
            pendingSeen_ = r.seen;
            emit notice(r.text + QStringLiteral(" Press %1 again to record it.").arg(QChar(KeyCode)), int(ConfirmMs));
        }
        return;
    }
}

void GameClock::publishSeats()
{
    DisplayState &v = view_;
    v.seatMap.clear();
    v.move.clear();
    v.moveFrom = 0;
    v.redrawOffered = false;
    v.results.clear();
    v.names = ledger ? names : QStringList();
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
    if (ledger && ledger->counts().left() == 1 && ledger->counts().busts > 0 && (tablesInPlay() || !names.isEmpty()))
        v.results = tournament::standings(*ledger, names);
}

void GameClock::publish()
{
    if (!started_)
        return;
    const GameState &g = state;
    DisplayState &v = view_;
    v.shown = inPlay_;
    v.paused = paused;
    v.inBreak = g.currentRound == -1;
    const int row = settings_.selectedRow(); // the level in play, or the one before the break
    const int levels = settings_.levelCount();
    v.round = v.inBreak ? row + 1 : g.currentRound;
    v.secondsLeft = g.secondsLeft;
    v.levelSeconds = v.inBreak ? g.breakSeconds : g.levelSeconds;
    v.gameSeconds = g.gameSeconds;
    v.smallBlind = settings_.smallBlind(row);
    v.bigBlind = settings_.bigBlind(row);
    v.anteAmount = v.ante.visible && !v.inBreak ? g.currentAnte : 0;
    v.currency = g.currencySymbol;
    v.breakNext = !v.inBreak && breakIsNext() && g.currentRound < levels;
    v.lastLevel = !v.inBreak && g.currentRound >= levels;
    const int next = v.inBreak ? row + 1 : g.currentRound;
    if (!v.inBreak && (v.breakNext || v.lastLevel))
        v.nextLevel.clear();
    else
        v.nextLevel = next >= 0 && next < levels ? settings_.levelLine(next) : QString();
    v.backQuestion = backQuestion(g.currentRound, row, g.played);
    v.gameTitle = v.title.text;
    v.counting = ledger.has_value();
    if (ledger) {
        // In a break the average stack is measured against the next level's big blind.
        const int bigRow = v.inBreak ? row + 1 : row;
        const qint64 big = bigRow >= 0 ? toWhole(settings_.bigBlind(bigRow), Width::Int32).value : 0;
        // Built again only when the count, the round, the big blind or the currency changed:
        // a tick alone leaves them as they are.
        CountShown shown{countChanges_, v.round, big, g.currencySymbol};
        if (shown != countShown_) {
            countShown_ = std::move(shown);
            countTexts_.band = tournament::band(*ledger, v.round, big, g.currencySymbol);
            countTexts_.lines = countTexts_.band.lines();
            countTexts_.recent.clear();
            const std::vector<tournament::Record> &records = ledger->records();
            for (auto r = records.rbegin(); r != records.rend() && countTexts_.recent.size() < 10; ++r)
                countTexts_.recent << QDateTime::fromMSecsSinceEpoch(r->at).toString(QStringLiteral("HH:mm"))
                                          + QLatin1Char(' ')
                                          + (r->action == tournament::Action::LockPayouts && r->locked.empty()
                                                 ? QStringLiteral("Unlock payouts")
                                                 : tournament::actionName(r->action));
        }
        v.bandParts = countTexts_.band;
        v.band = {countTexts_.lines, true};
        v.payoutsLocked = ledger->locked();
        v.records = records();
        v.recent = countTexts_.recent;
    } else {
        countShown_.reset();
        v.bandParts = {};
        v.band = {QString(), false};
        v.payoutsLocked = false;
        v.records = 0;
        v.recent.clear();
    }
    publishChips();
    // With a chip case the band carries its line first, counted or not.
    QStringList chipLines;
    if (chipsOn_)
        for (const QString *line : {v.inBreak ? &v.colourUp : &v.chipWarning, &v.addOnNow, &v.nextBreak})
            if (!line->isEmpty())
                chipLines << *line;
    v.chipLine = chipLines.join(QStringLiteral(" · "));
    if (!v.chipLine.isEmpty())
        v.band = {v.chipLine + (v.band.text.isEmpty() ? QString() : QStringLiteral("\r\n") + v.band.text), true};
    publishSeats();
    emit published(v);
}
