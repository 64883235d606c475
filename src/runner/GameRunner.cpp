#include "runner/GameRunner.h"

#include "platform/SeasonStore.h"

#include <QDir>
#include <algorithm>

GameRunner::GameRunner(QObject *parent) : QObject(parent) {}

void GameRunner::connectServices(const platform::Services &services, QTimer *rounds, QTimer *breaks)
{
    services_ = services;
    rounds_ = rounds;
    breaks_ = breaks;
    connect(&game, &Game::say, this, [this](const QString &text) { services_.speech->speak(text); });
    // A file that is not there when its turn comes is not played.
    connect(&game, &Game::playSound, this, [this](const QString &path, bool wait) {
        if (services_.files->fileExists(path))
            services_.sound->play(path, wait ? platform::Sound::Sync : platform::Sound::Async);
    });
    connect(&game, &Game::keep, this, &GameRunner::keep);
    // A game file that stops being kept (a full disk) is said, and again once it is caught up.
    keptWriter_.setReport([this](bool kept, const QString &line) {
        QMetaObject::invokeMethod(
            this, [this, kept, line] { emit report(line, !kept, kept ? Game::NoticeMs : 0); }, Qt::QueuedConnection);
    });
    connect(&game, &Game::finished, this,
            [this](const tournament::Results &results) { resultsWriter().write(results); });
    // The night into the season, on the writers' thread; the standings shown once they are kept.
    connect(&game, &Game::addToSeason, this, [this](const QString &name, const std::vector<season::Line> &night) {
        const QString folder = platform::seasonsFolder(services_.files->programFolder());
        const QString currency = game.state.currencySymbol;
        resultsWriter().post([this, folder, name, night, currency] {
            const platform::SeasonWritten w = platform::addNight(folder, name, night, currency);
            return std::function<void()>([this, w] {
                emit report(w.told, !w.ok, 0);
                if (w.season)
                    game.showSeason(season::view(*w.season, SeasonRows), seasonOnPage);
            });
        });
    });
    connect(&game, &Game::tableCards, this,
            [this](const QString &date, const QByteArray &page) { resultsWriter().writeCards(date, page); });
    connect(&game, &Game::countdownChanged, this, [this] {
        // Never two countdowns at once; an enabled one keeps its rhythm.
        const auto follow = [](QTimer *timer, Rhythm &rhythm, bool on) {
            if (!on) {
                timer->stop();
            } else if (!timer->isActive()) {
                timer->start();
                rhythm.since.start();
                rhythm.brought = 0;
            }
        };
        follow(rounds_, roundsRhythm_, game.running() == Game::Countdown::Rounds);
        follow(breaks_, breaksRhythm_, game.running() == Game::Countdown::Break);
    });
    connect(&game, &Game::published, this, [this](const DisplayState &state) {
        if (screen)
            screen->render(state);
        if (services_.publisher)
            services_.publisher->publish(state);
        emit shown(state);
    });
    if (services_.publisher)
        services_.publisher->setActionHandler([this](const GameCommand &command) { return game.command(command); });
}

int GameRunner::dueTicks(const QTimer *timer)
{
    Rhythm &rhythm = timer == breaks_ ? breaksRhythm_ : roundsRhythm_;
    if (!rhythm.since.isValid() || (timer != rounds_ && timer != breaks_))
        return 1;
    // A minute at most at once: a clock that jumped is not followed further.
    constexpr qint64 MostAtOnce = 60;
    const qint64 due = std::clamp<qint64>(rhythm.since.elapsed() / 1000 - rhythm.brought, 1, MostAtOnce);
    rhythm.brought += due;
    return int(due);
}

// The game in progress, kept in a file beside the settings while it runs: after every action,
// every level change and every second the clock runs. Every normal end of a game removes it,
// so a file found at start was left by a program that died mid-game.
QString GameRunner::gameFilePath() const
{
    return QDir(services_.files->programFolder()).filePath(tournament::SavedGameFile);
}

tournament::SavedGame GameRunner::kept() const
{
    tournament::SavedGame s = game.kept();
    if (settings)
        s.settings = tournament::keptSettings(settings());
    return s;
}

// Only the bytes are made here: the disk is the writer's, on its own thread, so a slow disk
// never holds up the clock, the display or the page.
void GameRunner::keep()
{
    if (game.inPlay())
        write(kept());
}

void GameRunner::write(const tournament::SavedGame &game)
{
    if (!unreadableGameFile)
        keptWriter_.write(gameFilePath(), tournament::formatSavedGame(game));
}

// Done after a write under way and in place of one still waiting, so no older state of the
// game comes back after it.
void GameRunner::forget()
{
    if (!unreadableGameFile)
        keptWriter_.remove(gameFilePath());
}

platform::NightFilesWriter &GameRunner::resultsWriter()
{
    if (!resultsWriter_) {
        resultsWriter_ = std::make_unique<platform::NightFilesWriter>(
            QDir(services_.files->programFolder()).filePath(QStringLiteral("results")));
        // Where they are, or why they are not, once the files are whole on the disk.
        connect(resultsWriter_.get(), &platform::NightFilesWriter::written, this,
                [this](const platform::NewFilesWritten &w) {
                    if (!w.ok)
                        emit report(w.error, true, 0);
                    else if (w.paths.size() == 1) // the table cards
                        emit report(QStringLiteral("The table cards are kept in ")
                                        + QDir::toNativeSeparators(w.paths.value(0)) + QLatin1Char('.'),
                                    false, Game::NoticeMs * 2);
                    else
                        emit report(QStringLiteral("The results are kept in ")
                                        + QDir::toNativeSeparators(w.paths.value(1)) + QStringLiteral(" and .csv."),
                                    false, 0);
                });
    }
    return *resultsWriter_;
}
