// The game in progress, kept in a file beside the settings while it runs: after every action,
// every level change and once a minute. Every normal end of a game removes it, so a file
// found at start was left by a program that died mid-game.

#include "clock/ClockText.h"
#include "display/frm_Display.h"
#include "platform/RegularFile.h"
#include "platform/TextFile.h"
#include "settings/frm_Chiplark.h"

#include <QDir>
#include <QFile>
#include <cstdio>

QString frm_Chiplark::gameFilePath() const
{
    return QDir(services_.files->programFolder()).filePath(tournament::SavedGameFile);
}

void frm_Chiplark::keepGame()
{
    if (gameFileKept_ || !display_ || !display_->isVisible())
        return;
    const QString path = gameFilePath();
    // Only a regular file is ever replaced.
    if (platform::somethingAt(path) && !platform::isRegularFile(path))
        return;
    const GameState &g = gameState;
    tournament::SavedGame s;
    s.currentRound = g.currentRound;
    s.listIndex = std::max(0, lst_Blinds->listIndex());
    s.secondsLeft = g.secondsLeft;
    s.levelSeconds = g.levelSeconds;
    s.gameSeconds = g.gameSeconds;
    s.played = g.played;
    s.currentAnte = g.currentAnte;
    s.breakSeconds = g.breakSeconds;
    s.paused = display_->paused;
    s.breakWasRunning = display_->breakWasRunning;
    const int levels = std::min({lst_Small.listCount(), lst_Big.listCount(), lst_Time.listCount()});
    for (int i = 0; i < levels; ++i)
        s.levels.push_back({lst_Small.list(i), lst_Big.list(i), lst_Time.list(i)});
    if (ledger) {
        s.counting = true;
        s.setup = ledger->setup();
        s.records = ledger->records();
    }
    QString why;
    if (!platform::writeFileAtomically(path, tournament::formatSavedGame(s), {}, &why) && !gameNotKeptSaid_) {
        gameNotKeptSaid_ = true;
        std::fprintf(stderr, "Chiplark: the game in progress is not kept in %s: %s\n",
                     qPrintable(QDir::toNativeSeparators(path)), qPrintable(why));
    }
}

void frm_Chiplark::forgetGame()
{
    const QString path = gameFilePath();
    if (!gameFileKept_ && platform::isRegularFile(path))
        QFile::remove(path);
}

void frm_Chiplark::offerResume()
{
    const QString path = gameFilePath();
    const platform::FileContents file = platform::readRegularFile(path, tournament::SavedGameBytes, false);
    if (file.state == platform::FileState::Missing)
        return;
    const std::optional<tournament::SavedGame> game =
        file.state == platform::FileState::Regular ? tournament::parseSavedGame(file.bytes) : std::nullopt;
    if (!game) {
        gameFileKept_ = true;
        services_.messageBox->show(
            QStringLiteral("A game was left running, but its file cannot be read:\n%1\n\nThe file is left as it is, "
                           "and no game is kept until it is gone.")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Chiplark"), platform::Icon::Warning, platform::Buttons::Ok);
        return;
    }
    if (services_.messageBox->show(tournament::resumeQuestion(*game), QStringLiteral("Chiplark"),
                                   platform::Icon::Question, platform::Buttons::YesNo)
        == platform::Answer::Yes)
        resumeGame(*game);
    else
        forgetGame();
}

// The display comes up paused where the game was kept: the levels as they were played, the
// level, the countdown and the game time, the ante and the count.
void frm_Chiplark::resumeGame(const tournament::SavedGame &s)
{
    const DisplayBatch batch(*this);
    stopCountdowns();
    lst_Small.clear();
    lst_Big.clear();
    lst_Time.clear();
    for (const auto &level : s.levels) {
        lst_Small.addItem(level[0]);
        lst_Big.addItem(level[1]);
        lst_Time.addItem(level[2]);
    }
    selectOption(opt_Blinds, 0);
    regenList();
    lst_Blinds->setListIndex(s.listIndex);
    GameState &g = gameState;
    g.currentRound = s.currentRound;
    g.secondsLeft = s.secondsLeft;
    g.levelSeconds = s.levelSeconds;
    g.gameSeconds = s.gameSeconds;
    g.played = s.played;
    g.currentAnte = s.currentAnte;
    g.breakSeconds = s.breakSeconds;
    if (s.counting)
        ledger = tournament::Ledger::replay(s.setup, s.records);
    else
        ledger.reset();

    DisplayState &v = displayState;
    const bool inBreak = g.currentRound == -1;
    v.blinds.text = inBreak ? QStringLiteral("Break")
                            : blindsText(g.currencySymbol, lst_Small.list(s.listIndex), lst_Big.list(s.listIndex));
    v.currentRound.text = inBreak ? QStringLiteral("Current Round: Break") : roundText(g.currentRound);
    v.ante.text = anteText(g.currencySymbol, g.currentAnte);
    v.ante.visible = !inBreak && g.currentAnte > 0;
    showDisplayForGame();
    showCountdown();
    display_->paused = true;
    display_->breakWasRunning = inBreak;
    keepGame();
}
