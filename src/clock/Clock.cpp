// The tournament clock: starting a game, the two one-second countdowns and the move from
// level to level. During a game nothing pops up over the display: a value that cannot be
// read counts as the choice that changes nothing.

#include "announce/Announcements.h"
#include "clock/ClockText.h"
#include "clock/LevelMoves.h"
#include "display/frm_Display.h"
#include "settings/TextNumber.h"
#include "settings/frm_Chiplark.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>

namespace {

// The break may last at most 546 minutes: its seconds must fit 16 bits.
constexpr qint64 MaxBreakMinutes = 546;

std::optional<qint64> whole(const QLineEdit *box, Width width)
{
    const WholeNumber n = toWhole(box->text(), width);
    return n.ok() ? std::optional<qint64>(n.value) : std::nullopt;
}

} // namespace

frm_Display *frm_Chiplark::displayWindow() const
{
    return display_.get();
}

frm_Chiplark::DisplayBatch::DisplayBatch(frm_Chiplark &window) : window_(window)
{
    ++window_.displayBatchDepth_;
}

frm_Chiplark::DisplayBatch::~DisplayBatch()
{
    if (--window_.displayBatchDepth_ == 0)
        window_.publishDisplay();
}

void frm_Chiplark::publishDisplay()
{
    if (!display_)
        return;
    const GameState &g = gameState;
    DisplayState &v = displayState;
    v.shown = display_->isVisible();
    v.paused = display_->paused;
    v.inBreak = g.currentRound == -1;
    const int row = lst_Blinds->listIndex(); // the level in play, or the one before the break
    const int levels = lst_Blinds->listCount();
    v.round = v.inBreak ? row + 1 : g.currentRound;
    v.secondsLeft = g.secondsLeft;
    v.levelSeconds = v.inBreak ? g.breakSeconds : g.levelSeconds;
    v.gameSeconds = g.gameSeconds;
    // The columns may have been edited to fewer rows during the game.
    const auto at = [row](const BlindColumn &column) {
        return row >= 0 && row < column.listCount() ? column.list(row) : QString();
    };
    v.smallBlind = at(lst_Small);
    v.bigBlind = at(lst_Big);
    v.anteAmount = v.ante.visible && !v.inBreak ? g.currentAnte : 0;
    v.currency = g.currencySymbol;
    v.breakNext = !v.inBreak && breakIsNext() && g.currentRound < levels;
    v.lastLevel = !v.inBreak && g.currentRound >= levels;
    const int next = v.inBreak ? row + 1 : g.currentRound;
    if (!v.inBreak && (v.breakNext || v.lastLevel))
        v.nextLevel.clear();
    else
        v.nextLevel = next >= 0 && next < levels ? lst_Blinds->list(next) : QString();
    v.gameTitle = v.title.text;
    v.counting = ledger.has_value();
    if (ledger) {
        // In a break the average stack is measured against the next level's big blind.
        const int bigRow = v.inBreak ? row + 1 : row;
        const qint64 big =
            bigRow >= 0 && bigRow < lst_Big.listCount() ? toWhole(lst_Big.list(bigRow), Width::Int32).value : 0;
        v.bandParts = tournament::band(*ledger, v.round, big, g.currencySymbol);
        v.band = {v.bandParts.lines(), true};
        v.payoutsLocked = ledger->locked();
        v.recent.clear();
        const std::vector<tournament::Record> &records = ledger->records();
        for (auto r = records.rbegin(); r != records.rend() && v.recent.size() < 10; ++r)
            v.recent << QDateTime::fromMSecsSinceEpoch(r->at).toString(QStringLiteral("HH:mm")) + QLatin1Char(' ')
                            + (r->action == tournament::Action::LockPayouts && r->locked.empty()
                                   ? QStringLiteral("Unlock payouts")
                                   : tournament::actionName(r->action));
    } else {
        v.bandParts = {};
        v.band = {QString(), false};
        v.payoutsLocked = false;
        v.recent.clear();
    }
    display_->render(v);
    emit displayStateChanged(v);
}

bool frm_Chiplark::speechOn() const
{
    return Check1->value() == 1;
}

void frm_Chiplark::speak(const QString &text)
{
    services_.speech->speak(text);
}

void frm_Chiplark::keepScreenOn(bool on)
{
    stillBehindDisplay(on);
    if (!services_.screenSaver)
        return;
    if (on)
        services_.screenSaver->inhibit();
    else
        services_.screenSaver->release();
}

void frm_Chiplark::stopCountdowns()
{
    tmr_rounds->stop();
    tmr_break->stop();
}

// Never two countdowns at once; an enabled one keeps its rhythm.
void frm_Chiplark::runCountdown(QTimer *timer)
{
    QTimer *other = timer == tmr_rounds ? tmr_break : tmr_rounds;
    other->stop();
    if (!timer->isActive())
        timer->start();
}

// Hidden at every start, whatever the shows and hides before it left the count at.
void frm_Chiplark::hideCursorForGame()
{
    int count = services_.cursor->showCursor(false);
    while (count >= 0)
        count = services_.cursor->showCursor(false);
    while (count < -1)
        count = services_.cursor->showCursor(true);
}

bool frm_Chiplark::breakIsNext() const
{
    if (!opt_Break[0]->isChecked())
        return false;
    const std::optional<qint64> every = whole(txt_Break, Width::Int16);
    return every && breakAfter(gameState.currentRound, *every, screenOptions.repeatBreak);
}

// The values a game reads, checked before it starts: one message for the first that fails.
bool frm_Chiplark::checkStartValues()
{
    struct Check {
        bool wanted;
        const QLineEdit *box;
        const char *name;
        Width width;
        qint64 high;
    };
    const bool ante = opt_Ante[1]->isChecked();
    const bool breaks = opt_Break[0]->isChecked();
    const Check checks[] = {
        {ante, txt_AnteRound, "Ante: Start on round", Width::Int16, 32767},
        {ante, txt_ante, "Ante: Amount", Width::Int32, 2147483647},
        {ante, txt_AnteFactor, "Ante: Increase by a factor of", Width::Int32, 2147483647},
        {breaks, txt_Break, "Break every", Width::Int16, 32767},
        {breaks, txt_breakTime, "Break for (mins.)", Width::Int32, MaxBreakMinutes},
    };
    for (const Check &c : checks) {
        if (!c.wanted)
            continue;
        const std::optional<qint64> v = whole(c.box, c.width);
        if (!v || *v < 0 || *v > c.high) {
            services_.messageBox->show(boxRangeMessage(QString::fromLatin1(c.name), 0, c.high), QStringLiteral("Error"),
                                       platform::Icon::Warning, platform::Buttons::Ok);
            return false;
        }
    }
    return true;
}

bool frm_Chiplark::checkRoundLengths()
{
    for (int i = 0; i < lst_Time.listCount(); ++i) {
        const std::optional<qint32> s = toInt32(lst_Time.list(i));
        if (!s || *s < 0) {
            services_.messageBox->show(
                QStringLiteral("Round %1 lasts \"%2\" seconds; a round must last a whole number of seconds "
                               "from 0 to 2147483647. Please correct the blind list.")
                    .arg(i + 1)
                    .arg(lst_Time.list(i)),
                QStringLiteral("Error"), platform::Icon::Warning, platform::Buttons::Ok);
            return false;
        }
    }
    return true;
}

void frm_Chiplark::cmd_Start_Click()
{
    // 1. The schedule, and every value the game will read.
    if (opt_Blinds[0]->isChecked() && lst_Blinds->listCount() == 0) {
        services_.messageBox->show(
            QStringLiteral("Please add some blind structures to the list, or select Auto-Blinds."),
            QStringLiteral("Error"), platform::Icon::Warning, platform::Buttons::Ok);
        return;
    }
    if (!checkStartValues())
        return;
    if (opt_Blinds[1]->isChecked()) {
        if (!buildAutoBlinds())
            return;
        regenList();
    }
    if (!checkRoundLengths() || !startCounting())
        return;

    const DisplayBatch batch(*this);
    // A start during a game begins it anew.
    stopCountdowns();
    if (display_) {
        display_->paused = false;
        display_->breakWasRunning = false;
    }

    // 2. The voice chosen in the list; with none, or one the engine no longer has, its default.
    if (speechOn()) {
        const int position = cmb_voices->currentIndex();
        if (position >= 0 && position < services_.speech->voiceCount())
            services_.speech->selectVoice(position);
    }

    // 3. to 8. Level 1.
    gameState.currentAnte = 0;
    const std::optional<qint64> anteRound = whole(txt_AnteRound, Width::Int16);
    if (opt_Ante[1]->isChecked() && anteRound == 1)
        gameState.currentAnte = qint32(whole(txt_ante, Width::Int32).value_or(0));
    lst_Blinds->setListIndex(0);
    gameState.gameSeconds = 0;
    gameState.secondsLeft = toInt32(lst_Time.list(0)).value_or(0);
    gameState.levelSeconds = gameState.secondsLeft;
    gameState.played = 0;
    gameState.currentRound = 1;
    const std::optional<qint64> breakMinutes = whole(txt_breakTime, Width::Int32);
    gameState.breakSeconds =
        breakMinutes && *breakMinutes >= 0 && *breakMinutes <= MaxBreakMinutes ? qint16(*breakMinutes * 60) : 0;

    // 9., 10. The round countdown and the start announcement.
    runCountdown(tmr_rounds);
    if (speechOn())
        speak(startAnnouncement(phrases, lst_Small.list(0), lst_Big.list(0), gameState.currencySymbol));

    // 11. The display's texts for level 1.
    DisplayState &v = displayState;
    v.blinds.text = blindsText(gameState.currencySymbol, lst_Small.list(0), lst_Big.list(0));
    v.currentRound.text = roundText(gameState.currentRound);
    v.nextRound.text = QStringLiteral("Next round is ") + lst_Blinds->list(gameState.currentRound)
                       + QStringLiteral(" in ") + services_.timeFormat->longTime(gameState.secondsLeft);
    v.elapsed.text = QStringLiteral("Game Timer: ") + services_.timeFormat->longTime(gameState.gameSeconds);
    v.ante.visible = false;

    // 12., 13.
    showDisplayForGame();
    keepGame();
}

// While the display is up nothing behind it blinks: no caret runs in a text box or a
// selectable label, whichever window holds the focus (a window manager may give it back to
// a window under the display). The caret stands still instead, and blinks again at the
// desktop's own rate once the display has gone.
void frm_Chiplark::stillBehindDisplay(bool still)
{
    QStyleHints *hints = QGuiApplication::styleHints();
    if (still && !flashTimeBehindDisplay_) {
        flashTimeBehindDisplay_ = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (!still && flashTimeBehindDisplay_) {
        hints->setCursorFlashTime(*flashTimeBehindDisplay_);
        flashTimeBehindDisplay_.reset();
    }
}

// The display, laid out over the screen that holds this window, in the game's colours.
void frm_Chiplark::showDisplayForGame()
{
    if (!display_)
        display_ = std::make_unique<frm_Display>(*this, *services_.cursor);
    frm_Display &d = *display_;
    d.scaleToScreen = screenOptions.scaleDisplay;
    d.showPaused = screenOptions.showPaused;
    d.layOut(screen()->geometry());
    DisplayState &v = displayState;
    v.title.text = txt_Title->text();
    v.backColour = cmd_back->colour();
    v.textColour = cmd_fore->colour();
    v.anteColour = cmd_ante->colour();
    v.titleColour = cmd_Title->colour();
    keepScreenOn(true);
    // Busts and the money spoken, even without the blinds: the engine starts now, well before
    // the first bust.
    if (ledger && ledger->setup().speak)
        services_.speech->whenReady([] {});
    d.showFullScreen();
    d.raise();
    d.activateWindow();
    hideCursorForGame();
}

// With players counted, the setup as typed, checked before the game starts.
bool frm_Chiplark::startCounting()
{
    if (!tournament::switchedOn(tournamentTexts, tournament::CountKey)) {
        ledger.reset();
        return true;
    }
    QString why;
    const std::optional<tournament::Setup> setup = tournament::parseSetup(tournamentTexts, &why);
    if (!setup) {
        services_.messageBox->show(QStringLiteral("Players & prizes: ") + why, QStringLiteral("Error"),
                                   platform::Icon::Warning, platform::Buttons::Ok);
        return false;
    }
    ledger.emplace(*setup);
    return true;
}

void frm_Chiplark::showCountdown()
{
    if (!display_)
        return;
    const GameState &g = gameState;
    const int levels = lst_Blinds->listCount();
    QString next;
    if (g.currentRound == -1)
        next = QStringLiteral("Next round is ") + lst_Blinds->list(lst_Blinds->listIndex() + 1)
               + QStringLiteral("\r\nStarting in ") + countdownText(g.secondsLeft);
    else if (breakIsNext() && !(g.currentRound >= levels && g.secondsLeft < 0))
        next = QStringLiteral("Next round is a break\r\nStarting in ") + countdownText(g.secondsLeft);
    else if (g.currentRound >= levels)
        next = QStringLiteral("No more rounds.");
    else
        next = QStringLiteral("Next round is ") + lst_Blinds->list(g.currentRound) + QStringLiteral("\r\nStarting in ")
               + countdownText(g.secondsLeft);
    displayState.nextRound.text = next;
    displayState.elapsed.text = QStringLiteral("Game Timer: ") + services_.timeFormat->longTime(g.gameSeconds);
}

void frm_Chiplark::tmr_rounds_Timer()
{
    const DisplayBatch batch(*this);
    GameState &g = gameState;
    ++g.gameSeconds;
    ++g.played;
    --g.secondsLeft;
    const int levels = lst_Blinds->listCount();
    const bool ended = g.currentRound >= levels && g.secondsLeft < 0;
    const bool breakNext = breakIsNext() && !ended;
    showCountdown();
    if (g.secondsLeft == 60 && speechOn())
        speak(breakNext ? phrases.BreakSoon : phrases.BlindsSoon);
    // A level of no length at all ends on its first tick.
    if (g.secondsLeft <= 0 && !ended)
        advanceRound();
    else if (g.gameSeconds % 60 == 0)
        keepGame();
}

void frm_Chiplark::tmr_break_Timer()
{
    const DisplayBatch batch(*this);
    GameState &g = gameState;
    ++g.gameSeconds;
    ++g.played;
    --g.secondsLeft;
    showCountdown();
    if (g.secondsLeft == 60 && speechOn())
        speak(phrases.BlindsSoon);
    if (g.secondsLeft <= 0) {
        tmr_break->stop();
        advanceRound();
        // The advance may have started a break of its own (the break box changed mid-game).
        if (!tmr_break->isActive())
            runCountdown(tmr_rounds);
    } else if (g.gameSeconds % 60 == 0) {
        keepGame();
    }
}

void frm_Chiplark::advanceRound()
{
    const DisplayBatch batch(*this);
    GameState &g = gameState;
    const int levels = lst_Blinds->listCount();
    if (!display_ || g.currentRound >= levels)
        return;
    const bool takeBreak = g.currentRound != -1 && breakIsNext();
    // Out of a break, the game goes on after the level played before it, even if breaks
    // were switched off meanwhile.
    const int row = g.currentRound == -1 ? lst_Blinds->listIndex() + 1 : g.currentRound;
    if (!takeBreak && row >= levels) {
        g.currentRound = levels; // the list was shortened below the level in play
        return;
    }

    // The sound cue; with speech on it ends before the speech begins.
    const QString wav = txt_wavpath->text();
    if (chk_playWav->value() == 1 && FileExistsonDisk(wav))
        services_.sound->play(wav, speechOn() ? platform::Sound::Sync : platform::Sound::Async);

    frm_Display &d = *display_;
    DisplayState &v = displayState;
    if (takeBreak) {
        tmr_rounds->stop();
        if (d.paused)
            d.breakWasRunning = true;
        else
            runCountdown(tmr_break);
        g.currentRound = -1;
        g.played = 0;
        v.blinds.text = QStringLiteral("Break");
        v.currentRound.text = QStringLiteral("Current Round: Break");
        v.ante.visible = false;
        g.secondsLeft = g.breakSeconds;
        if (speechOn())
            speak(phrases.Break);
        keepGame();
        return;
    }

    g.currentRound = row + 1;
    const std::optional<qint32> length = toInt32(lst_Time.list(row));
    if (length && *length >= 0)
        g.levelSeconds = *length;
    g.secondsLeft = g.levelSeconds;
    g.played = 0;
    lst_Blinds->setListIndex(row);
    const QString &c = g.currencySymbol;
    v.blinds.text = blindsText(c, lst_Small.list(row), lst_Big.list(row));
    v.currentRound.text = roundText(g.currentRound);

    if (opt_Ante[1]->isChecked()) {
        const std::optional<qint64> anteRound = whole(txt_AnteRound, Width::Int16);
        if (anteRound && *anteRound == g.currentRound)
            g.currentAnte = qint32(whole(txt_ante, Width::Int32).value_or(g.currentAnte));
        if (anteRound && opt_AnteRaise[1]->isChecked() && g.currentRound > *anteRound) {
            // The ante stays as it is when the next one would not fit.
            const std::optional<qint64> factor = whole(txt_AnteFactor, Width::Int32);
            const qint64 product = factor ? *factor * g.currentAnte : g.currentAnte;
            if (product >= widthMin(Width::Int32) && product <= widthMax(Width::Int32))
                g.currentAnte = qint32(product);
        }
    }
    if (g.currentAnte > 0) {
        v.ante.text = anteText(c, g.currentAnte);
        v.ante.visible = true;
    }
    if (speechOn())
        speak(levelAnnouncement(phrases, lst_Small.list(row), lst_Big.list(row), c, g.currentAnte));
    keepGame();
}

// Level `row` in play from its start, out of the break if the game was in it.
void frm_Chiplark::showLevel(int row)
{
    GameState &g = gameState;
    const bool wasBreak = g.currentRound == -1;
    g.currentRound = row + 1;
    lst_Blinds->setListIndex(row);
    const std::optional<qint32> length = toInt32(lst_Time.list(row));
    if (length && *length >= 0)
        g.levelSeconds = *length;
    g.secondsLeft = g.levelSeconds;
    g.played = 0;
    const AnteRule rule{opt_Ante[1]->isChecked(), whole(txt_AnteRound, Width::Int16), whole(txt_ante, Width::Int32),
                        opt_AnteRaise[1]->isChecked(), whole(txt_AnteFactor, Width::Int32)};
    g.currentAnte = anteForRound(rule, g.currentRound);
    DisplayState &v = displayState;
    v.blinds.text = blindsText(g.currencySymbol, lst_Small.list(row), lst_Big.list(row));
    v.currentRound.text = roundText(g.currentRound);
    v.ante.text = anteText(g.currencySymbol, g.currentAnte);
    v.ante.visible = g.currentAnte > 0;
    if (!wasBreak)
        return;
    if (display_->paused)
        display_->breakWasRunning = false;
    else
        runCountdown(tmr_rounds);
}

void frm_Chiplark::backLevel()
{
    if (!display_ || !display_->isVisible())
        return;
    const DisplayBatch batch(*this);
    GameState &g = gameState;
    const bool inBreak = g.currentRound == -1;
    const BackMove move = backMove(g.currentRound, lst_Blinds->listIndex(), g.played);
    if (move.previous && move.row >= 0 && move.row < lst_Blinds->listCount()) {
        showLevel(move.row);
    } else {
        g.secondsLeft = inBreak ? g.breakSeconds : g.levelSeconds;
        g.played = 0;
    }
    showCountdown();
    keepGame();
}

void frm_Chiplark::shiftCountdown(qint64 seconds)
{
    if (!display_ || !display_->isVisible())
        return;
    const DisplayBatch batch(*this);
    gameState.secondsLeft = shiftedSeconds(gameState.secondsLeft, seconds);
    showCountdown();
    keepGame();
}
