#pragma once
// The game at the centre of the desk: the runner owns it and carries each of its changes
// once to where it goes: the players' display and the page (what is shown), the speech and
// the sound (what is said and played), the countdowns' timers, and the writers (the game kept
// on disk while it runs, the night's results at its end). Phones' commands reach the game
// through it. The settings window only starts, resumes and edits.

#include "clock/Game.h"
#include "platform/LatestFileWriter.h"
#include "platform/NightFiles.h"
#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// Where the game is shown to the players.
class GameScreen {
public:
    virtual ~GameScreen() = default;
    virtual void render(const DisplayState &state) = 0;
};

class GameRunner : public QObject {
    Q_OBJECT
public:
    explicit GameRunner(QObject *parent = nullptr);

    Game game;

    // The services it carries the game to, and the two timers that follow its countdowns.
    void connectServices(const platform::Services &services, QTimer *rounds, QTimer *breaks);
    // The players' display, once there is one.
    GameScreen *screen = nullptr;
    // The settings the game is played with, as the host holds them now: kept with the game.
    std::function<std::vector<std::array<QString, 3>>()> settings;

    // The game file, beside the settings file; one that could not be read at start is left as
    // it is and never written.
    QString gameFilePath() const;
    bool unreadableGameFile = false;
    // The game as it is kept on disk.
    tournament::SavedGame kept() const;
    // Kept now (while a game is in play), or the file removed: the thread that writes asks
    // nothing of the caller.
    void keep();
    void write(const tournament::SavedGame &game);
    void forget();
    platform::LatestFileWriter &keptWriter() { return keptWriter_; }
    // The season's standings on the page in the breaks too.
    bool seasonOnPage = false;
    static constexpr int SeasonRows = 20;
    // Writes the night's results once one player is left; made at the first.
    platform::NightFilesWriter &resultsWriter();

    // The seconds a countdown's timer brings the game when it fires: one, and any the event loop
    // missed while it was held (a burst of a phone's taps, a slow machine), so the game keeps to
    // the wall clock; a timer not started by the game brings one.
    int dueTicks(const QTimer *timer);

signals:
    // Once for every published state, after the display and the page have it.
    void shown(const DisplayState &state);
    // A file kept, or not kept and why, for the host (on this thread).
    void report(const QString &line, bool failed, int ms);

private:
    platform::Services services_;
    QTimer *rounds_ = nullptr;
    QTimer *breaks_ = nullptr;
    // Since each countdown's timer last started, and the seconds it has brought since.
    struct Rhythm {
        QElapsedTimer since;
        qint64 brought = 0;
    };
    Rhythm roundsRhythm_, breaksRhythm_;
    // Goes first when the runner does, having written what was asked.
    platform::LatestFileWriter keptWriter_{QStringLiteral("the game in progress")};
    std::unique_ptr<platform::NightFilesWriter> resultsWriter_;
};
