// The settings window's side of a game: the checks before a start, the players' display laid
// over the screen, the screen kept on, the game kept on disk and offered again after a crash.
// The game itself, its countdowns and its count, is the model `game`; the two timers deliver
// its ticks, and what it says is spoken, played, shown and kept here.

#include "display/frm_Display.h"
#include "platform/OffThread.h"
#include "platform/RegularFile.h"
#include "platform/SeasonStore.h"
#include "settings/frm_Chiplark.h"
#include "text/ClockText.h"
#include "text/TextNumber.h"

#include <QDir>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QStyleHints>

namespace {

// The break may last at most 546 minutes: its seconds must fit 16 bits.
constexpr qint64 MaxBreakMinutes = 546;

} // namespace

// The runner carries the game to the services; the window hears what the host must know, and
// takes the game back when it is left.
void frm_Chiplark::connectGame()
{
    runner.settings = [this] { return settingValues(); };
    runner.connectServices(services_, tmr_rounds, tmr_break);
    connect(&runner, &GameRunner::report, this, &frm_Chiplark::tellHost);
    connect(&runner, &GameRunner::shown, this, &frm_Chiplark::displayStateChanged);
    connect(&game, &Game::left, this, [this] {
        keepScreenOn(false);
        if (!game.speechWanted())
            services_.speech->release();
        if (display_)
            display_->gameLeft();
        if (game.ledger)
            keepLeftGame(runner.kept());
        else
            runner.forget();
        // Back to the settings window, ready for its keys.
        raise();
        activateWindow();
    });
}

frm_Display *frm_Chiplark::displayWindow() const
{
    return display_.get();
}

void frm_Chiplark::tmr_rounds_Timer()
{
    game.tickRounds();
}

void frm_Chiplark::tmr_break_Timer()
{
    game.tickBreak();
}

void frm_Chiplark::advanceRound()
{
    game.advanceRound();
}

void frm_Chiplark::stopCountdowns()
{
    game.stopCountdowns();
}

void frm_Chiplark::backLevel()
{
    game.back();
}

void frm_Chiplark::shiftCountdown(qint64 seconds)
{
    game.shiftCountdown(seconds);
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

// Hidden at every start, whatever the shows and hides before it left the count at.
void frm_Chiplark::hideCursorForGame()
{
    int count = services_.cursor->showCursor(false);
    while (count >= 0)
        count = services_.cursor->showCursor(false);
    while (count < -1)
        count = services_.cursor->showCursor(true);
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
        const std::optional<qint64> v = wholeValue(c.box->text(), c.width);
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
    std::optional<tournament::Setup> counting;
    if (!checkRoundLengths() || !countingSetup(counting) || !newGameDropsLeftGame())
        return;

    // 2. The voice chosen in the list; with none, or one the engine no longer has, its default.
    if (Check1->value() == 1) {
        const int position = cmb_voices->currentIndex();
        if (position >= 0 && position < services_.speech->voiceCount())
            services_.speech->selectVoice(position);
    }
    // 3. to 13. Level 1 on the display.
    createDisplay();
    // The seats are drawn from a seed of this game's own; the names typed go with the buy-ins.
    if (counting)
        counting->seed = QRandomGenerator::system()->generate64();
    handRules();
    game.start(counting);
    handSeason();
    showDisplayForGame();
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

void frm_Chiplark::createDisplay()
{
    if (!display_)
        display_ = std::make_unique<frm_Display>(game, *services_.cursor);
    runner.screen = display_.get();
}

// The display, laid out over the screen that holds this window.
void frm_Chiplark::showDisplayForGame()
{
    createDisplay();
    frm_Display &d = *display_;
    d.scaleToScreen = moreOptions.scaleDisplay;
    d.showPaused = moreOptions.showPaused;
    d.layOut(screen()->geometry());
    d.render(game.view());
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

void frm_Chiplark::handSeason()
{
    const QString name = seasonTexts.value(QStringLiteral("Name"));
    game.seasonName = game.ledger ? name : QString();
    runner.seasonOnPage = seasonTexts.value(QStringLiteral("OnPage")) == QLatin1String("1");
    season::View standings;
    if (!game.seasonName.isEmpty()) {
        platform::SeasonRead read;
        const QString folder = platform::seasonsFolder(services_.files->programFolder());
        platform::runOffThread([&] { read = platform::readSeason(folder, name); });
        if (read.season)
            standings = season::view(*read.season, GameRunner::SeasonRows);
        else
            tellHost(read.why, true);
    }
    game.showSeason(standings, runner.seasonOnPage);
}

// With players counted, the setup as typed, checked before the game starts.
bool frm_Chiplark::countingSetup(std::optional<tournament::Setup> &setup)
{
    setup.reset();
    if (!tournament::switchedOn(tournamentTexts, tournament::CountKey))
        return true;
    QString why;
    setup = tournament::parseSetup(tournamentTexts, &why);
    if (setup)
        return true;
    services_.messageBox->show(QStringLiteral("Players & prizes: ") + why, QStringLiteral("Error"),
                               platform::Icon::Warning, platform::Buttons::Ok);
    return false;
}

// Read here, on this thread: at start no game ticks yet and nothing was asked of the writer,
// so there is nothing to hold up and nothing to wait for.
void frm_Chiplark::offerResume()
{
    const QString path = gameFilePath();
    const platform::FileContents file = platform::readRegularFile(path, tournament::SavedGameBytes, false);
    if (file.state == platform::FileState::Missing)
        return;
    const std::optional<tournament::SavedGame> kept =
        file.state == platform::FileState::Regular ? tournament::parseSavedGame(file.bytes) : std::nullopt;
    if (!kept) {
        runner.unreadableGameFile = true;
        services_.messageBox->show(
            QStringLiteral("A game was left running, but its file cannot be read:\n%1\n\nThe file is left as it is, "
                           "and no game is kept until it is gone.")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Chiplark"), platform::Icon::Warning, platform::Buttons::Ok);
        return;
    }
    if (services_.messageBox->show(tournament::resumeQuestion(*kept), QStringLiteral("Chiplark"),
                                   platform::Icon::Question, platform::Buttons::YesNo)
        == platform::Answer::Yes)
        resumeGame(*kept);
    else {
        runner.forget();
        if (services_.publisher)
            services_.publisher->forgetKeptControl();
    }
}

// The game's own settings back in the controls, then the display up, paused where the game
// was kept; the page served again if the game had it.
void frm_Chiplark::resumeGame(const tournament::SavedGame &kept)
{
    leftGame_.reset();
    showResume(false);
    createDisplay();
    restoreGame(kept);
    game.resume(kept);
    handSeason();
    moreOptionsChanged(moreOptions);
    showDisplayForGame();
    if (moreOptions.serveOnNetwork)
        startServing();
}

// A night with its players counted is never ended by one key: as it was left, it stays on
// disk and on this window until a new game is started.
void frm_Chiplark::keepLeftGame(const tournament::SavedGame &kept)
{
    leftGame_ = kept;
    runner.write(kept);
    showResume(true);
}

void frm_Chiplark::dropLeftGame()
{
    leftGame_.reset();
    showResume(false);
    runner.forget();
}

bool frm_Chiplark::newGameDropsLeftGame()
{
    const std::optional<tournament::SavedGame> kept = leftGame_                      ? leftGame_
                                                      : game.inPlay() && game.ledger ? std::optional(runner.kept())
                                                                                     : std::nullopt;
    if (!kept)
        return true;
    if (services_.messageBox->show(tournament::dropKeptQuestion(*kept), QStringLiteral("Please confirm:"),
                                   platform::Icon::Question, platform::Buttons::YesNo)
        != platform::Answer::Yes)
        return false;
    dropLeftGame();
    return true;
}

void frm_Chiplark::cmd_Resume_Click()
{
    if (leftGame_)
        resumeGame(tournament::SavedGame(*leftGame_));
}

// Above the start and exit buttons, which make room for it while it shows.
void frm_Chiplark::showResume(bool on)
{
    if (!cmd_Resume) {
        if (!on)
            return;
        cmd_Resume = new QPushButton(QStringLiteral("Resume the game"), this);
        cmd_Resume->setAutoDefault(true);
        connect(cmd_Resume, &QPushButton::clicked, this, [this] { cmd_Resume_Click(); });
        QWidget::setTabOrder(cmd_wavtest, cmd_Resume);
        QWidget::setTabOrder(cmd_Resume, cmd_Start);
        placedWithoutResume_ = {{cmd_Start, cmd_Start->geometry()}, {cmd_Exit, cmd_Exit->geometry()}};
    }
    if (on) {
        const QRect start = placedWithoutResume_[0].second;
        const QRect exit = placedWithoutResume_[1].second;
        const int height = (exit.bottom() - start.top() - 8) / 3;
        cmd_Resume->setGeometry(start.left(), start.top(), start.width(), height);
        cmd_Start->setGeometry(start.left(), start.top() + height + 4, start.width(), height);
        cmd_Exit->setGeometry(exit.left(), start.top() + 2 * (height + 4), exit.width(), height);
    } else {
        for (const auto &[w, place] : placedWithoutResume_)
            w->setGeometry(place);
    }
    cmd_Resume->setVisible(on);
}

// What the host must know of the files: on the display while it is up (where the host
// looks during a game; for ms, or until the next notice), else in a message on this window; a
// success shows only on the display.
void frm_Chiplark::tellHost(const QString &line, bool failed, int ms)
{
    if (display_ && display_->isVisible())
        display_->showNotice(line, ms);
    else if (failed)
        services_.messageBox->show(line, QStringLiteral("Chiplark"), platform::Icon::Warning, platform::Buttons::Ok);
}
