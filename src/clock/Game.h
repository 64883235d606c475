#pragma once
// The game in play, as plain code: the two countdowns driven by the one-second ticks it is
// given, pause and resume, the level advance, the break, the ante, Back and a minute more or
// less, the count of players and prizes, and the game as it is kept on disk. It plays by the
// rules it was handed (GameRules); it says what the players see (the published DisplayState),
// what is to be spoken or played, which level the list is to show, and when the game is to be
// kept.
// The display's keys and the page's controls both come here, under one set of rules.

#include "chips/ColourUp.h"
#include "clock/DisplayState.h"
#include "clock/GameCommand.h"
#include "clock/GameRules.h"
#include "clock/GameState.h"
#include "clock/NightPlan.h"
#include "deal/Deal.h"
#include "plan/Plan.h"
#include "season/SeasonNight.h"
#include "tables/SeatCalls.h"
#include "tournament/Ledger.h"
#include "tournament/Results.h"
#include "tournament/SavedGame.h"

#include <QObject>
#include <functional>
#include <optional>
#include <tuple>

class Game : public QObject {
    Q_OBJECT
public:
    enum class Countdown { None, Rounds, Break };
    // A second press of a key that asked to be confirmed counts within this time.
    static constexpr qint64 ConfirmMs = 10000;
    // How long a notice stays up.
    static constexpr int NoticeMs = 5000;
    static const QString KeysHelp;
    // The keys' help with more than one table.
    static const QString TableKeysHelp;
    // How long a seat drawn stays up large.
    static constexpr int SeatCallMs = 6000;

    explicit Game(QObject *parent = nullptr);

    // The rules from now on; what they change shows from the next tick, key or command.
    void setRules(GameRules rules) { rules_ = std::move(rules); }
    const GameRules &rules() const { return rules_; }
    // The row of the level in play; in a break, the one played before it. It is what the
    // schedule's list shows selected, and a selection made there by hand (none: -1) counts.
    int selectedRow() const { return selectedRow_; }
    void listSelected(int row) { selectedRow_ = row; }

    // The figures of the game in play.
    GameState state;
    // The count; none while the game does not count players.
    std::optional<tournament::Ledger> ledger;
    // The countdown stands still; the break's countdown was the one running when it stopped.
    bool paused = false;
    bool breakWasRunning = false;
    // The time now, in milliseconds since the epoch (the count's records, a key's second press).
    std::function<qint64()> now;
    // The names typed, in the window or on a phone: each buy-in that comes takes the next one
    // no player has yet, and keeps it (the count holds each player's name).
    QStringList names;
    // The next typed name no player has; empty when none is left.
    QString nextName() const;

    Countdown running() const { return running_; }
    // A game is up (running or paused); a game has been started in this run.
    bool inPlay() const { return inPlay_; }
    // Something is to be said: the blinds are announced, or a game in play speaks its busts.
    bool speechWanted() const { return rules_.speechOn || (inPlay_ && ledger && ledger->setup().speak); }
    bool started() const { return started_; }
    const DisplayState &view() const { return view_; }

    // Level 1 of a new game, counting players with the setup given.
    void start(const std::optional<tournament::Setup> &counting);
    // The kept game, paused where it was, under the rules handed over before (its own).
    void resume(const tournament::SavedGame &game);
    // The game as it is kept on disk, but for the settings it is played with: those are the
    // settings window's to add.
    tournament::SavedGame kept() const;

    // One tick of each countdown; tick() delivers one to the one that runs (false: none).
    void tickRounds();
    void tickBreak();
    bool tick();
    void advanceRound();
    void stopCountdowns();
    void pauseResume();
    // Escape: the game ends for good; one that counts players stands paused, to be kept.
    void leave();
    // Back restarts the level or break in play (within its first seconds, the level before).
    void back();
    void shiftCountdown(qint64 seconds);
    GameReply command(const GameCommand &command);
    // A key on the display (codes of DisplayKey, Shift its modifier bits).
    void key(int KeyCode, int Shift);
    // Publishes the state again (the settings changed what it shows).
    void refresh();
    // The night's results as they stand: every place, the figures and the structure.
    tournament::Results results() const;
    // The season the night goes to (empty: none): asked at its end, and its standings shown
    // then, and in the breaks when asked for.
    QString seasonName;
    void showSeason(const season::View &standings, bool inBreaks);

signals:
    // Once for every tick, level change, key, command and start, after a game was started.
    void published(const DisplayState &state);
    // A notice on the display for ms milliseconds; 0: until the next one.
    void notice(const QString &text, int ms);
    // A seat drawn or a table's players dealt, large across the display for ms milliseconds.
    void seatCall(const QString &text, int ms);
    // One player is left in a game that counts players: the results to keep.
    void finished(const tournament::Results &results);
    // The table cards asked for (C on the display): the page to keep, for the day given.
    void tableCards(const QString &date, const QByteArray &page);
    // The host said yes to adding the night to the season.
    void addToSeason(const QString &name, const std::vector<season::Line> &night);
    void say(const QString &text);
    // The sound cue; with wait it ends before anything is spoken.
    void playSound(const QString &path, bool wait);
    // The game is to be kept on disk now.
    void keep();
    // running() changed.
    void countdownChanged();
    // The game was left for good.
    void left();
    // The schedule's list is to show this row selected (-1: none).
    void rowSelected(int row);

private:
    // Holds the publications of one call together: published once the outermost ends.
    class Batch {
    public:
        explicit Batch(Game &game) : game_(game) { ++game_.batchDepth_; }
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        Game &game_;
    };

    void run(Countdown countdown);
    void selectRow(int row);
    void oneSecond();
    void comeUp();
    void pause();
    bool breakIsNext() const;
    void showCountdown();
    void showLevel(int row);
    void publish();
    void publishSeats();
    // The chip case's colour-ups and the night's plan, from the rules as they stand.
    NightPlan::At nightAt() const { return {rules_, state, ledger ? &ledger->setup() : nullptr, selectedRow_}; }
    void planNight() { night_.make(nightAt()); }
    // The lines said once per game: the colour-up a level ahead, the add-on at its break.
    void sayChips(bool atBreak);
    GameReply ledgerAction(tournament::Action action, bool confirmed, std::optional<qint64> seen,
                           tables::Seat seat = {}, int player = 0, std::vector<int> by = {});
    // Who a re-entry is for, asked on the display: the digits and Enter pick one of these.
    std::vector<int> whose_;
    int pendingPlayer_ = 0;
    bool whoseKey(int KeyCode);
    // The seat map, up on the display until the next key (empty: not up).
    QString seatMapShown_;
    void showSeatMap();
    // What a done action tells the room about the seats.
    void callSeats(tournament::Action action, const tournament::Ledger::Outcome &o, tables::Seat from);
    // Lines about the seats, large on the display under a head and, when the count speaks, said.
    void callLines(const QString &head, const QStringList &lines);
    GameReply drawSeats();
    // The seats' keys: a bust's or a move's seat, named with digits.
    bool seatKey(int KeyCode);
    bool tablesInPlay() const { return ledger && ledger->seating(); }
    QString nameAt(tables::Seat seat) const { return ledger->playerName(ledger->seating()->at(seat)); }
    QString nameOf(int player) const
    {
        return player > 0 && player <= int(ledger->players().size()) ? ledger->players()[size_t(player - 1)].name
                                                                     : QString();
    }
    GameReply undo(std::optional<qint64> seen);
    // The season's question, open while the records stand as they were when it was asked.
    qint64 seasonAskedAt_ = -1;
    std::vector<season::Line> seasonNight_;
    QString seasonQuestion(const tournament::Results &results);
    // Chip counts typed for the players in, until the next level (player, chips).
    std::vector<std::pair<int, qint64>> chips_;
    GameReply chipCounts(const std::vector<int> &players, const std::vector<qint64> &chips);
    // The deal offered: the players in and what is kept to play for, with the four ways.
    struct DealOffer {
        std::vector<int> players;
        qint64 playFor = 0;
        deal::Deal ways;
    };
    std::optional<DealOffer> offer_;
    GameReply offerDeal(qint64 playFor);
    GameReply takeDeal(int way, bool ends);
    void dropDeal(const QString &why);
    QStringList dealLines() const;
    void publishCounts();
    // The display's chip count, seat by seat (then the deal, when asked for one), and the keys of
    // a deal offered: a way picked (-1: none), an amount to play for being typed.
    struct CountInput {
        std::vector<int> players;
        size_t at = 0;
        QString digits;
        bool forDeal = false;
    };
    std::optional<CountInput> countInput_;
    int dealPick_ = -1;
    std::optional<QString> playForDigits_;
    void askCount();
    bool countKey(int KeyCode);
    bool dealKey(int KeyCode);
    void startCount(bool forDeal);
    // Registration closing as a round past its last begins: once a game, told to the room.
    void closeEntries();
    bool entriesClosed_ = false;
    qint64 records() const { return ledger ? qint64(ledger->records().size()) : 0; }

    GameRules rules_;
    int selectedRow_ = -1;
    DisplayState view_;
    Countdown running_ = Countdown::None;
    bool inPlay_ = false;
    bool started_ = false;
    int batchDepth_ = 0;
    // A key whose action asked to be confirmed: pressed again soon, it records it.
    int pendingKey_ = 0;
    qint64 pendingAt_ = 0;
    qint64 pendingSeen_ = 0;
    tables::Seat pendingSeat_; // a seat's action asked about: Enter again records it
    tables::SeatInput seatInput_;
    tables::Seat seatFor_; // Move's seat input: the table it is from
    // With bounties, a bust asks who busted the player (1: the first, 2: a second or Enter), and
    // a rebuy whose it is (its bounty goes on their head), by their seats.
    int bustStage_ = 0;
    tables::Seat bustSeat_;
    std::vector<int> busters_;
    std::vector<int> pendingBy_;
    bool rebuyBySeat_ = false;
    void askBuster();
    // What a start or a resume leaves behind: the keys' questions, the counts and a deal offered.
    void dropInput();
    // A command the display's key asked to be confirmed: the same key again soon records it.
    void holdConfirm(int KeyCode, const GameReply &reply, const QString &press);
    void recordBust();
    bool busterSeat(tables::Seat seat);
    QStringList seatCalls_;

    // With a chip case: its colour-ups, what is said of them, and the plan.
    NightPlan night_;
    // The count's texts for the band and the page, with what they were built from: the
    // count's changes so far, the round, the big blind they are measured against, the currency.
    using CountShown = std::tuple<qint64, int, qint64, QString>;
    qint64 countChanges_ = 0;
    std::optional<CountShown> countShown_;
    struct CountTexts {
        tournament::Band band;
        QStringList recent;
    } countTexts_;
};
