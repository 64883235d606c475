// The game alone, without a window: a table of settings gives its rules. Games played by script show
// and say what they should, the breaks come where they should, and 100,000 seeded random steps
// of ticks, keys, the phone's commands, the count, settings changed mid-game and
// kill-and-resume must keep it sound.

#include "announce/Announcements.h"
#include "clock/Game.h"
#include "clock/GameKeys.h"
#include "text/ClockText.h"
#include "tournament/Standings.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QtTest>
#include <ctime>
#include <functional>
#include <memory>
#include <tuple>

namespace {

// The settings window's controls, as a table a test can change, handed to the game as its rules.
struct Table {
    std::vector<std::array<QString, 3>> rows{{"25", "50", "90"}, {"50", "100", "70"}, {"100", "200", "65"}};
    bool breaks = true, repeat = false, speech = false;
    QString every = QStringLiteral("2"), minutes = QStringLiteral("1"), gameTitle = QStringLiteral("Friday");
    AnteRule ante{true, 2, 10, true, 2};
    QString sound;
    plan::PlanSetup plan;

    GameRules rules() const
    {
        GameRules r;
        r.lines.count = int(rows.size());
        for (const auto &[small, big, time] : rows) {
            r.lines.written.insert(int(r.small.size()), small + "/" + big + " for 1 mins.");
            r.small << small, r.big << big, r.time << time;
        }
        std::tie(r.breakOn, r.breakEvery, r.breakMinutes, r.repeatBreak) = std::tie(breaks, every, minutes, repeat);
        std::tie(r.ante, r.plan, r.speechOn, r.sound, r.title) = std::tie(ante, plan, speech, sound, gameTitle);
        r.colours = {1, 2, 3, 4};
        return r;
    }
};

struct Played {
    Table settings;
    Game clock;
    void hand() { clock.setRules(settings.rules()); }
    // What was said and played, each at the second of the game it came.
    QStringList log;
    int published = 0;
    qint64 at = 1700000000000;
    Played()
    {
        clock.now = [this] { return at; };
        clock.state.currencySymbol = QStringLiteral("£");
        const auto heard = [this](const QString &what) {
            log << QStringLiteral("%1: %2").arg(clock.state.gameSeconds).arg(what);
        };
        QObject::connect(&clock, &Game::say, heard);
        QObject::connect(&clock, &Game::playSound,
                         [heard](const QString &path, bool wait) { heard(wait ? path : path + " in the background"); });
        QObject::connect(&clock, &Game::published, [this] { ++published; });
        hand();
    }
    // n levels of the given length: 25/50, 50/100, 75/150, …
    void levels(int n, int seconds)
    {
        settings.rows.clear();
        for (int i = 1; i <= n; ++i)
            settings.rows.push_back({QString::number(25 * i), QString::number(50 * i), QString::number(seconds)});
        hand();
    }
};

tournament::Setup counting()
{
    tournament::Setup s;
    s.buyIn = 20;
    s.buyInChips = 5000;
    s.rebuy = 20;
    s.rebuyChips = 5000;
    s.rebuyLastRound = 2;
    s.unit = 5;
    return s;
}

// The figures the game publishes, and the countdown that runs, in one line.
QString figures(const Game &c)
{
    const DisplayState &v = c.view();
    QString s = (v.inBreak ? QStringLiteral("break after %1: ") : QStringLiteral("round %1: ")).arg(v.round)
                + QStringLiteral("%1/%2 s, game %3 s, ").arg(v.secondsLeft).arg(v.levelSeconds).arg(v.gameSeconds)
                + v.smallBlind + "/" + v.bigBlind;
    if (v.anteAmount)
        s += QStringLiteral(", ante %1").arg(v.anteAmount);
    s += v.breakNext   ? QStringLiteral(", break next")
         : v.lastLevel ? QStringLiteral(", last level")
                       : ", then " + v.nextLevel;
    const char *const countdowns[] = {", stopped", ", level countdown", ", break countdown"};
    return s + countdowns[int(c.running())] + (v.paused ? ", paused" : "") + (v.shown ? "" : ", left");
}

} // namespace

class TestGameModel : public QObject {
    Q_OBJECT
private slots:
    // A game played by a script: what it said and played, and what it showed at each mark.
    // Settings: "3x1200" three levels of 1200 s, "every=N", "minutes=N", "repeat", "off" (no
    // breaks), "speech", "quiet", "cue" (a sound to play), "ante=round,amount,factor". The game:
    // "start", "t" a tick ("t60" sixty), "n" the next level, the display's "space", "P",
    // "pause", "esc" and "E", "k" killed and resumed, "late=N" entries until round N, "entry?" "entry!" a
    // phone's entry and its confirmation,
    // a phone's "u" (undo, having seen the records before the last), "c" rebuy and "C" its
    // confirmation, "lock". Marks: "?" the next-round line, "b" the blinds, "=" the figures.
    // With a chip case: "blinds=25/50,50/100" levels of 60 s, "chips=25,100", "nocount",
    // "addon=amount,chips", "w90" the wall clock 90 s on, "london" its time zone and "at=s" its
    // time; marks "%" the band's first line ("-" hidden), "plan" each row's time, level ("B" a
    // break) and "*" at the one in play.
    void plays_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("expected");
        const QString started = "0: The game is now started. The player who is the dealer can deal the cards.\r\n"
                                "Blinds are now 25£ and 50£";
        const QString level2 = "Next round is 50/100 for 1 mins.\r\nStarting in ";
        QTest::newRow("the countdown and its one-minute warning")
            << "3x1200 every=0 speech start ? t ? t1138 ? t ? t ? t59 ? b t ?"
            << QStringList{started,
                           "Next round is 50/100 for 1 mins. in 1200",
                           level2 + "19 minutes and 59 seconds",
                           level2 + "1 minute and 1 seconds",
                           "1140: Next round in 1 minute.",
                           level2 + "1 minute and 0 seconds",
                           level2 + "59 seconds",
                           "1200: Blinds are now 50£ and 100£.\r\nThe Anté is 10£",
                           level2 + "0 seconds", // for a second with the new blinds
                           "£50 / £100",
                           "Next round is 75/150 for 1 mins.\r\nStarting in 19 minutes and 59 seconds"};
        QTest::newRow("one level: the break after it never comes, the game timer runs on")
            << "1x120 every=1 start ? t ? t119 ? t ? t29 ? n ="
            << QStringList{"Next round is  in 120",
                           "Next round is a break\r\nStarting in 1 minute and 59 seconds",
                           "Next round is a break\r\nStarting in 0 seconds",
                           "No more rounds.",
                           "No more rounds.",
                           "round 1: -30/120 s, game 150 s, 25/50, last level, level countdown"};
        QStringList tenLevels{started,
                              "60: Next round in 1 minute.",
                              "120: cue.wav",
                              "120: Blinds are now 50£ and 100£",
                              "180: Next round in 1 minute.",
                              "240: cue.wav",
                              "240: Blinds are now 75£ and 150£.\r\nThe Anté is 100£",
                              "300: Break in 1 minute.",
                              "360: cue.wav",
                              "360: " + defaultPhrases().Break,
                              "break after 3: 300/300 s, game 360 s, 75/150, then 100/200 for 1 mins., break countdown",
                              "Break",
                              "Next round is 100/200 for 1 mins.\r\nStarting in 4 minutes and 59 seconds",
                              "600: Next round in 1 minute."};
        for (int level = 4, at = 660; level <= 10; ++level, at += 120) // the ante doubled at every level
            tenLevels << QStringLiteral("%1: cue.wav").arg(at)
                      << QStringLiteral("%1: Blinds are now %2£ and %3£.\r\nThe Anté is %4£")
                             .arg(at)
                             .arg(25 * level)
                             .arg(50 * level)
                             .arg(100 << (level - 3))
                      << QStringLiteral("%1: Next round in 1 minute.").arg(at + 60);
        const QString end = "round 10: -30/120 s, game 1530 s, 250/500, ante 12800, last level, level countdown";
        QTest::newRow("ten levels, a break, a doubling ante, a cue; then speech off")
            << "10x120 every=3 minutes=5 ante=3,100,2 speech cue start t360 = b t ? t1169 ? = n = quiet start t120"
            << tenLevels + QStringList{"No more rounds.", end, end, "120: cue.wav in the background"};
        QTest::newRow("the figures through a game")
            << "3x120 every=2 start = t = space = t120 = P = P space = esc = start ="
            << QStringList{"round 1: 120/120 s, game 0 s, 25/50, then 50/100 for 1 mins., level countdown",
                           "round 1: 119/120 s, game 1 s, 25/50, then 50/100 for 1 mins., level countdown",
                           "round 2: 120/120 s, game 1 s, 50/100, ante 10, break next, level countdown",
                           "break after 2: 60/60 s, game 121 s, 50/100, then 75/150 for 1 mins., break countdown",
                           "break after 2: 60/60 s, game 121 s, 50/100, then 75/150 for 1 mins., stopped, paused",
                           "round 3: 120/120 s, game 121 s, 75/150, ante 20, last level, break countdown",
                           "round 3: 120/120 s, game 121 s, 75/150, ante 20, last level, stopped, paused, left",
                           "round 1: 120/120 s, game 0 s, 25/50, then 50/100 for 1 mins., level countdown"};
        const QString first = "round 1: %1/600 s, game %2 s, 25/50, then 50/100 for 1 mins., ";
        QTest::newRow("P and the Pause key stop the clock and start it again")
            << "5x600 every=0 start t10 P t = pause t = pause t = P t ="
            << QStringList{first.arg(590).arg(10) + "stopped, paused", first.arg(589).arg(11) + "level countdown",
                           first.arg(589).arg(11) + "stopped, paused", first.arg(588).arg(12) + "level countdown"};
        QTest::newRow("Space while paused moves on, paused")
            << "5x600 every=0 start t10 P space t ="
            << QStringList{"round 2: 600/600 s, game 10 s, 50/100, ante 10, then 75/150 for 1 mins., stopped, paused"};
        const QString inBreak = "break after 1: %1/60 s, game %2 s, 25/50, then 50/100 for 1 mins., ";
        QTest::newRow("Space into the break; paused and resumed there, the break runs on")
            << "5x600 every=1 start space = pause t = P t ="
            << QStringList{inBreak.arg(60).arg(0) + "break countdown", inBreak.arg(60).arg(0) + "stopped, paused",
                           inBreak.arg(59).arg(1) + "break countdown"};
        QTest::newRow("paused into the break: it waits, and P resumes the break")
            << "5x600 every=1 start P space t = P t ="
            << QStringList{inBreak.arg(60).arg(0) + "stopped, paused", inBreak.arg(59).arg(1) + "break countdown"};
        QTest::newRow("breaks off during the break: level 2 on its countdown, then the level countdown")
            << "5x600 every=1 start space off space = t600 ="
            << QStringList{
                   "round 2: 600/600 s, game 0 s, 50/100, ante 10, then 75/150 for 1 mins., break countdown",
                   "round 3: 600/600 s, game 600 s, 75/150, ante 20, then 100/200 for 1 mins., level countdown"};
        QTest::newRow("Escape ends the game; a new start is level 1, running; its first P pauses")
            << "5x600 every=0 start t5 P esc t = start = P ="
            << QStringList{first.arg(595).arg(5) + "stopped, paused, left", first.arg(600).arg(0) + "level countdown",
                           first.arg(600).arg(0) + "stopped, paused"};
        QTest::newRow("Back out of a paused break: round 1 from its start, and P runs its countdown")
            << "5x600 every=1 start space P back P ="
            << QStringList{"round 1: 600/600 s, game 0 s, 25/50, break next, level countdown"};
        QTest::newRow("the list cut during the break: out of it, its last level shows")
            << "3x600 every=2 start n n cut=2 space b ="
            << QStringList{"£50 / £100", "round 2: 60/600 s, game 0 s, 50/100, ante 10, last level, break countdown"};
        QTest::newRow("Space after the last level does nothing")
            << "3x600 every=0 start space space space t ="
            << QStringList{"round 3: 599/600 s, game 1 s, 75/150, ante 20, last level, level countdown"};
        QTest::newRow("resumed: paused, under the break rule it was played with")
            << "start n k n b" << QStringList{"paused", "Break"};
        QTest::newRow("a phone's undo names what is now last")
            << "start E E u" << QStringList{"The last action is now Entry — undo that?"};
        QTest::newRow("lock refused before anyone bought in") << "start lock" << QStringList{"refused"};
        QTest::newRow("a late rebuy confirmed after the count moved is asked again")
            << "start n n n E c E C" << QStringList{"asked", "asked"};
        QTest::newRow("registration closes once, as round 2 begins: told, an entry asked after it, kept")
            << "late=1 start E E E n entry? entry! k n entry?"
            << QStringList{"0: Registration closed — 3 entries, 1 place paid", "asked", "recorded", "paused", "asked"};
        QTest::newRow("repeated breaks: no break warned in the last round")
            << "repeat every=1 start n n n n t ?" << QStringList{"No more rounds."};

        const QString chips = "blinds=25/50,50/100,100/200,200/400 every=2 ante=2,100,2 chips=25,100,500 ";
        const QString count; // the count's band, empty before the first entry
        const QString chipLevel2 = "60: Blinds are now 50£ and 100£.\r\nThe Anté is 100£";
        const QString chipLevel3 = "180: Blinds are now 100£ and 200£.\r\nThe Anté is 200£";
        QTest::newRow("the 25s leave: warned at the level the break follows, said once, lined in the break")
            << chips + "speech start % t60 % back n t60 % t60 %"
            << QStringList{started,
                           count,
                           chipLevel2,
                           "60: At the next break the 25s leave.",
                           "At the next break the 25s leave.",
                           chipLevel2,
                           "120: " + defaultPhrases().Break,
                           "Colour up: the 25s",
                           chipLevel3,
                           count};
        QTest::newRow("the 25s stay while a 150/300 needs them")
            << "blinds=25/50,50/100,100/200,150/300 every=2 ante=2,100,2 chips=25,100,500 speech start t60 % t60 %"
            << QStringList{started, chipLevel2, count, "120: " + defaultPhrases().Break, count};
        QTest::newRow("repeated breaks: the next one in minutes on the band, not counting players")
            << chips + "repeat nocount start % t1 % t60 % t60 %"
            << QStringList{"Next break in 2 min", "Next break in 2 min",
                           "At the next break the 25s leave. · Next break in 1 min", "Colour up: the 25s"};
        QTest::newRow("the add-on at its break, said once")
            << chips + "addon=10,15000 speech start t120 % t60 %"
            << QStringList{started,
                           chipLevel2,
                           "60: At the next break the 25s leave.",
                           "120: " + defaultPhrases().Break,
                           "120: Add-on now: £10 for 15,000 chips",
                           "Colour up: the 25s · Add-on now: £10 for 15,000 chips",
                           chipLevel3,
                           count};
        const QString plan = "22:%1 1*, 22:%2 2, 22:%3 B, 22:%4 3, 22:%5 4";
        QTest::newRow("the plan's times from the wall clock, moved on by a pause")
            << chips + "start plan w30 t30 plan P w90 P t plan"
            << QStringList{plan.arg(13).arg(14).arg(15).arg(16).arg(17), plan.arg(13).arg(14).arg(15).arg(16).arg(17),
                           plan.arg(14).arg(15).arg(16).arg(17).arg(18)};
        QTest::newRow("the plan's times the night the clocks go back, at 02:00 in London")
            << chips + "london at=1792889940 start plan" << QStringList{"01:59 1*, 01:00 2, 01:01 B, 01:02 3, 01:03 4"};
    }
    void plays()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        auto game = std::make_unique<Played>();
        qint64 askedAt = 0;
        qputenv("TZ", "UTC"); // the plan's times of day
        tzset();
        std::optional<tournament::Setup> setup = counting();
        for (const QString &step : script.split(' ')) {
            game->hand(); // what the step before changed
            Game &c = game->clock;
            Table &s = game->settings;
            const QString value = step.section('=', 1);
            const int before = game->published;
            int events = 1; // every event publishes the game once
            if (step.contains('x')) {
                game->levels(step.section('x', 0, 0).toInt(), step.section('x', 1).toInt());
                events = 0;
            } else if (step.startsWith("every=") || step.startsWith("minutes=")) {
                (step.startsWith('e') ? s.every : s.minutes) = value;
                events = 0;
            } else if (step.startsWith("ante=")) {
                const QStringList a = value.split(',');
                s.ante = {true, a[0].toLongLong(), a[1].toLongLong(), true, a[2].toLongLong()};
                events = 0;
            } else if (step == "repeat" || step == "off" || step == "speech" || step == "quiet" || step == "cue") {
                s.repeat |= step == "repeat";
                s.breaks &= step != "off";
                s.speech = step == "speech" || (s.speech && step != "quiet");
                s.sound = step == "cue" ? QStringLiteral("cue.wav") : s.sound;
                events = 0;
            } else if (step.startsWith("blinds=")) {
                s.rows.clear();
                for (const QString &level : value.split(','))
                    s.rows.push_back({level.section('/', 0, 0), level.section('/', 1), "60"});
                events = 0;
            } else if (step.startsWith("chips=")) {
                for (const QString &chip : value.split(','))
                    s.plan.chips.push_back({chip.toLongLong(), {}, 0});
                events = 0;
            } else if (step.startsWith("addon=")) {
                setup->addOn = value.section(',', 0, 0).toLongLong();
                setup->addOnChips = value.section(',', 1).toLongLong();
                events = 0;
            } else if (step == "nocount") {
                setup.reset();
                events = 0;
            } else if (step == "london") {
                qputenv("TZ", "Europe/London");
                tzset();
                events = 0;
            } else if (step.startsWith("at=")) {
                game->at = value.toLongLong() * 1000;
                events = 0;
            } else if (step.startsWith('w')) {
                game->at += step.mid(1).toLongLong() * 1000;
                events = 0;
            } else if (step == "%" || step == "plan") {
                const DisplayState &v = c.view();
                QStringList rows;
                for (const PlanRow &r : v.plan)
                    rows << r.at + ' ' + (r.level ? QString::number(r.level) : "B") + (r.now ? "*" : "");
                game->log << (step == "plan"          ? rows.join(", ")
                              : !v.chipLine.isEmpty() ? v.chipLine
                              : v.counting            ? v.band.lines().section("\r\n", 0, 0)
                                                      : "-");
                events = 0;
            } else if (step == "start") {
                c.start(setup);
            } else if (step.startsWith('t')) {
                events = 0;
                for (int i = std::max(1, step.mid(1).toInt()); i > 0; --i)
                    events += c.tick();
            } else if (step.startsWith("cut=")) {
                s.rows.resize(size_t(value.toInt()));
                events = 0;
            } else if (step == "back") {
                c.command({GameCommand::Back, false, {}});
            } else if (step == "n") {
                c.advanceRound();
            } else if (step == "space" || step == "pause" || step == "esc") {
                c.key(step == "space"   ? DisplayKey::Space
                      : step == "pause" ? DisplayKey::Pause
                                        : DisplayKey::Escape,
                      0);
            } else if (step == "k") {
                const std::optional<tournament::SavedGame> file =
                    tournament::parseSavedGame(tournament::formatSavedGame(c.kept()));
                QVERIFY2(file, "the kept game cannot be read");
                auto next = std::make_unique<Played>();
                next->settings = game->settings; // the window puts back what the game was played with
                next->hand();
                next->log = game->log;
                next->clock.resume(*file);
                next->log << (next->clock.view().paused ? "paused" : "running");
                game = std::move(next);
                continue;
            } else if (step == "u") {
                game->log << c.command({GameCommand::Undo, false, qint64(c.ledger->records().size()) - 1}).text;
            } else if (step.startsWith("late=")) {
                setup->entryLastRound = value.toInt(), setup->lockAtClose = setup->speak = true;
                events = 0;
            } else if (step == "c" || step == "C" || step.startsWith("entry")) {
                const auto kind = step.startsWith("entry") ? GameCommand::Entry : GameCommand::Rebuy;
                const GameReply r = c.command({kind, step == "C" || step == "entry!", askedAt});
                askedAt = r.seen;
                game->log << (r.done ? "recorded" : r.confirm ? "asked" : r.text);
            } else if (step == "lock") {
                game->log << (c.command({GameCommand::LockPayouts, false, {}}).done ? "locked" : "refused");
            } else if (step == "?" || step == "b" || step == "=") {
                game->log << (step == "?" ? c.view().nextRound.text : step == "b" ? c.view().blinds.text : figures(c));
                events = 0;
            } else {
                c.key(step.at(0).unicode(), 0);
            }
            QVERIFY2(game->published - before == events, qPrintable("published otherwise at " + step));
        }
        QCOMPARE(game->log, expected);
    }

    // Two tables played from the display's keys: a script of "layout=2x9", "names=Ann,Bob",
    // "start", "E14" (fourteen entries), "b1" (B, the table's digit when asked, and the first
    // taken seat of table 1), "B" and raw key codes "#51" (the digit 3), "m" (M and the first taken
    // seat of the table the move is from), "X", "D", "S", "esc", "k" (kept and resumed), and marks:
    // "=" the players per table, "r" the results. The log holds the notices, the seat calls and
    // what is said, seat numbers as "#" (the draw's seats change with its seed).
    void tables_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one table: no seat asked, the new keys do nothing")
            << "start E2 #51 m X D S B ="
            << QStringList{"notice: Entry — 1 player left. Backspace undoes it.",
                           "notice: Entry — 2 players left. Backspace undoes it.",
                           "notice: Bust — 1 player left: the game is paused. Backspace undoes the bust.",
                           "finished: 2 places, pool 40, 25/50 for 1 mins.", "one table"};
        QTest::newRow("the draw, spoken, and the seat input: a wrong table, Escape keeps the game")
            << "layout=2x9 speak start E2 = B #57 esc shown #72"
            << QStringList{"notice: Entry — 1 player left. Backspace undoes it.",
                           "seat: Entry 1 → Table #, Seat #",
                           "say: Entry 1, Table #, Seat #",
                           "notice: Entry — 2 players left. Backspace undoes it.",
                           "seat: Entry 2 → Table #, Seat #",
                           "say: Entry 2, Table #, Seat #",
                           "1+1",
                           "notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust: cancelled",
                           "shown",
                           "notice: " + Game::TableKeysHelp};
        const QString move = QStringLiteral(
            "notice: Table 1, the big blind moves to Table 2, Seat #. M and the seat it left confirms, X refuses.");
        QTest::newRow("two busts at one table: the move, refused, asked again, made")
            << "layout=2x9 speak start E14 = b2 b2 X b2 m ="
            << QStringList{"7+7",
                           "notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust at Table 2: which seat? 1–9 (Escape cancels)",
                           "say: # is out. Thirteen players left",
                           "notice: # is out — 13 left. Backspace undoes it.",
                           "notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust at Table 2: which seat? 1–9 (Escape cancels)",
                           "say: # is out. Twelve players left",
                           "notice: # is out — 12 left. Backspace undoes it.",
                           move,
                           "say: Table 1, the big blind moves to Table 2, Seat #",
                           "notice: Move refused: asked again at the next bust.",
                           "notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust at Table 2: which seat? 1–9 (Escape cancels)",
                           "say: # is out. Eleven players left",
                           "notice: # is out — 11 left. Backspace undoes it.",
                           move,
                           "say: Table 1, the big blind moves to Table 2, Seat #",
                           "notice: Move at Table 1: which seat? 1–9 (Escape cancels)",
                           "notice: Moved: #, Table # Seat # → Table # Seat #. Backspace undoes it.",
                           "say: #, Table 1 Seat #, to Table 2 Seat #",
                           "6+5"};
        QTest::newRow("ten seats: 1 waits for a second digit or Enter")
            << "layout=2x12 start E24 B #49 #49 #50 B #50 #49 #13 ="
            << QStringList{"notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust at Table 1: which seat? 1–12 (Escape cancels)",
                           "notice: Bust at Table 1: seat 1… Enter for Seat 1, or its second digit (Escape cancels)",
                           "notice: # is out — 23 left. Backspace undoes it.",
                           "notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust at Table 2: which seat? 1–12 (Escape cancels)",
                           "notice: Bust at Table 2: seat 1… Enter for Seat 1, or its second digit (Escape cancels)",
                           "notice: # is out — 22 left. Backspace undoes it.",
                           "11+11"};
        QTest::newRow("ten seats: 1 and 0 is Seat 10")
            << "layout=2x10 start E20 B #49 #49 #48 ="
            << QStringList{"notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust at Table 1: which seat? 1–10 (Escape cancels)",
                           "notice: Bust at Table 1: seat 1… Enter for Seat 1, or its second digit (Escape cancels)",
                           "notice: # is out — 19 left. Backspace undoes it.", "9+10"};
        const QString cutAsked = "notice: The house cut of £500 is more than the £40 in: the prize pool stays empty. "
                                 "Record it anyway? Press Enter again to record it.";
        QTest::newRow("the last bust with a fixed cut taking all: asked, Enter again records it")
            << "layout=2x5 fixedcut=500 start E1 E1 b1 #13 ="
            << QStringList{"notice: Bust: which table? 1, 2 (Escape cancels)",
                           "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                           cutAsked,
                           "notice: # is out — 1 left: the game is paused. Backspace undoes the bust.",
                           "finished: 2 places, pool 0, 25/50 for 1 mins.",
                           "seat: Table # breaks\r\n#, Table # Seat # → Table # Seat #",
                           "1"};
        QTest::newRow("a table breaks, the final table redrawn, the names' results, kept and resumed")
            << "layout=2x5 names=Ann,Bob,Cy,Di,Ed,Flo,Gus speak start S S = b1 b1 k = o D D o b1 b1 b1 b1 b1 r"
            << QStringList{
                   "seat: " + QStringList{"Ann", "Bob", "Cy", "Di", "Ed", "Flo", "Gus"}.join(" → Table #, Seat #\r\n")
                       + " → Table #, Seat #",
                   "say: Ann, Table 1, Seat #",
                   "say: Bob, Table 2, Seat #",
                   "say: Cy, Table 2, Seat #",
                   "say: Di, Table 1, Seat #",
                   "say: Ed, Table 2, Seat #",
                   "say: Flo, Table 1, Seat #",
                   "say: Gus, Table 2, Seat #",
                   "notice: Every name typed has a seat.",
                   "3+4",
                   "notice: Bust: which table? 1, 2 (Escape cancels)",
                   "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                   "say: # is out. Six players left",
                   "notice: # is out — 6 left. Backspace undoes it.",
                   QString(move).replace("Table 1, the", "Table 2, the").replace("to Table 2", "to Table 1"),
                   "say: Table 2, the big blind moves to Table 1, Seat #",
                   "notice: Bust: which table? 1, 2 (Escape cancels)",
                   "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                   "say: # is out. Five players left",
                   "notice: # is out — 5 left. Backspace undoes it.",
                   "seat: Table # breaks\r\n" + QStringList(4, "#, Table # Seat # → Table # Seat #").join("\r\n"),
                   "say: Table 2 breaks",
                   "say: #, Table 2 Seat #, to Table 1 Seat #",
                   "say: #, Table 2 Seat #, to Table 1 Seat #",
                   "say: #, Table 2 Seat #, to Table 1 Seat #",
                   "say: #, Table 2 Seat #, to Table 1 Seat #",
                   "notice: The final table: D draws every seat afresh.",
                   "resumed 5",
                   "5",
                   "redraw offered",
                   "notice: Draw every seat at the final table afresh? Press D again to do it.",
                   "notice: Final table: the seats are drawn afresh. Backspace undoes it.",
                   "seat: Final table\r\n" + QStringList(5, "#, Table # Seat # → Seat #").join("\r\n"),
                   "say: #, Table 1 Seat #, to Seat #",
                   "say: #, Table 1 Seat #, to Seat #",
                   "say: #, Table 1 Seat #, to Seat #",
                   "say: #, Table 1 Seat #, to Seat #",
                   "say: #, Table 1 Seat #, to Seat #",
                   "no redraw",
                   "notice: Bust: which table? 1 (Escape cancels)",
                   "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                   "say: # is out. Four players left",
                   "notice: # is out — 4 left. Backspace undoes it.",
                   "notice: Bust: which table? 1 (Escape cancels)",
                   "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                   "say: # is out. Three players left",
                   "notice: # is out — 3 left. Backspace undoes it.",
                   "notice: Bust: which table? 1 (Escape cancels)",
                   "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                   "say: # is out. Two players left",
                   "say: We are in the money",
                   "notice: # is out — 2 left. Backspace undoes it.",
                   "notice: Bust: which table? 1 (Escape cancels)",
                   "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                   "say: # is out. One player left",
                   "notice: # is out — 1 left: the game is paused. Backspace undoes the bust.",
                   "finished: 7 places, pool 140, 25/50 for 1 mins.",
                   "notice: Bust: which table? 1 (Escape cancels)",
                   "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)",
                   "notice: Only one player is left: no bust to record.",
                   "7 places: 1st  # · Table 1, Seat # · £85 | 2nd  # · Table 1, Seat # · £55"};
        const QString bust = "notice: Bust at Table 1: which seat? 1–5 (Escape cancels)";
        const QString atSeat = " at Table 1: which seat? 1–5 (Escape cancels)";
        const QString second = "A second player sharing the bounty: Who busted ";
        const auto count = [](int n, const QString &who, const QString &typed) {
            return QStringLiteral("notice: Chip count %1 of 2 — Table 1, Seat #, %2: %3\r\nDigits, then Enter · "
                                  "Backspace erases · Escape stops")
                .arg(QString::number(n), who, typed);
        };
        const QString counted = "notice: Counted 5: 24,995 short of the 25,000 chips in play.";
        QTest::newRow(
            "progressive bounties: a knock-out, a split pot, a rebuy by seat; a deal on the counts ends the night")
            << "layout=1x5 bounty=10p names=Ann,Bob,Cy,Di start S B @Di @Ann #13 B @Cy @Ann @Bob R @Ann O 3 #13 2 #13 "
               "$ 4 "
               "E k r #8 r"
            << QStringList{
                   "seat: " + QStringList{"Ann", "Bob", "Cy", "Di"}.join(" → Table #, Seat #\r\n")
                       + " → Table #, Seat #",
                   bust,
                   "notice: Who busted Di" + atSeat,
                   "notice: Enter records it: Ann busts Di. " + second + "Di" + atSeat,
                   "notice: # is out — 3 left. Backspace undoes it.\r\nAnn busts Di — £5 to Ann, their bounty now £15",
                   bust,
                   "notice: Who busted Cy" + atSeat,
                   "notice: Enter records it: Ann busts Cy. " + second + "Cy" + atSeat,
                   QStringLiteral("notice: # is out — 2 left. Backspace undoes it.\r\nBob and Ann bust Cy — £2 to Bob, "
                                  "their bounty now £13; £2 to Ann, their bounty now £18"),
                   "notice: Rebuy" + atSeat,
                   "notice: Rebuy — 2 players left. Backspace undoes it.",
                   count(1, "Bob", "▌"),
                   count(1, "Bob", "3▌"),
                   count(2, "Ann", "▌"),
                   count(2, "Ann", "2▌"),
                   counted,
                   QStringLiteral("seat: Deal — £50 left\r\n1 Even: Bob £25 · Ann £25\r\n2 Chip chop: Bob £30 · Ann "
                                  "£20\r\n3 Chip chop + next prize: Bob £30 · Ann £20\r\n4 ICM: Bob £30 · Ann £20"),
                   "notice: 1–4 picks a way · F and an amount: kept to play for · K counts again · Escape: no deal",
                   "counts: Bob 3 0 BB | Ann 2 0 BB",
                   QStringLiteral("notice: 4 ICM: Bob £30 · Ann £20\r\nEnter: record it and play on · E: record it "
                                  "and end the night · Escape: no deal"),
                   "seat: ",
                   "notice: Deal — ICM: Bob £30 · Ann £20\r\nThe night ends with the deal. Backspace undoes it.",
                   "finished: 4 places, pool 50, 25/50 for 1 mins.",
                   "resumed 2",
                   QStringLiteral("4 places: 1st  # · Table 1, Seat # · £30 · 1 knock-out, £15 in bounties | 2nd  # · "
                                  "Table 1, Seat # · £20 · 2 knock-outs, £35 in bounties"),
                   "notice: Undone: Deal — 2 players left.",
                   "0 places: "};
        QTest::newRow("one table with names: each bound at its buy-in, the list edited, the seat map, a re-entry by "
                      "name, undone, kept")
            << "layout=1x9 names=Ann,Bob,Cy start E E list=Cy,Ann,Bob E E P T T b1 P N esc shown N #13 P #8 P k P"
            << QStringList{"notice: Entry: Ann — 1 player left. Backspace undoes it.",
                           "seat: Ann → Table #, Seat #",
                           "notice: Entry: Bob — 2 players left. Backspace undoes it.",
                           "seat: Bob → Table #, Seat #",
                           "notice: Entry: Cy — 3 players left. Backspace undoes it.",
                           "seat: Cy → Table #, Seat #",
                           "notice: Entry — 4 players left. Backspace undoes it.",
                           "seat: Entry 4 → Table #, Seat #",
                           "players: Ann, Bob, Cy, Entry 4",
                           "seat: Seats\r\nTable #: 4 Entry 4 · 5 Cy · 6 Bob · 7 Ann",
                           "seat: ",
                           "notice: Bust at Table 1: which seat? 1–9 (Escape cancels)",
                           "notice: # is out — 3 left. Backspace undoes it.",
                           "players: Ann, Bob, Cy, Entry 4 out",
                           "notice: Re-entry — whose? Enter: Entry 4 (Escape cancels)",
                           "notice: Re-entry: cancelled",
                           "shown",
                           "notice: Re-entry — whose? Enter: Entry 4 (Escape cancels)",
                           "notice: # re-enters — 4 players left. Backspace undoes it.",
                           "seat: Entry 4 → Table #, Seat #",
                           "players: Ann, Bob, Cy, Entry 4",
                           "notice: Undone: Re-entry of Entry 4 — 3 players left.",
                           "players: Ann, Bob, Cy, Entry 4 out",
                           "resumed 3",
                           "players: Ann, Bob, Cy, Entry 4 out"};
    }
    void tables()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        auto game = std::make_unique<Played>();
        tournament::Setup setup = counting();
        setup.seed = 20261210;
        QStringList names;
        QStringList log;
        const auto listen = [&log](Game &c) {
            QObject::connect(&c, &Game::notice, [&log](const QString &t) { log << "notice: " + t; });
            QObject::connect(&c, &Game::seatCall, [&log](const QString &t) { log << "seat: " + t; });
            QObject::connect(&c, &Game::say, [&log](const QString &t) { log << "say: " + t; });
            QObject::connect(&c, &Game::finished, [&log](const tournament::Results &r) {
                log << QStringLiteral("finished: %1 places, pool %2, %3")
                           .arg(r.places.size())
                           .arg(r.pool)
                           .arg(r.structure.value(0));
            });
        };
        listen(game->clock);
        // The seat digits of the first taken seat at a table.
        const auto seatKeys = [](Game &c, int table) {
            const QList<int> seats = c.view().seatMap.value(table - 1);
            const int seat =
                int(std::find_if(seats.begin(), seats.end(), [](int e) { return e != 0; }) - seats.begin()) + 1;
            for (const QChar digit : QString::number(seat))
                c.key(digit.unicode(), 0);
            if (seat == 1 && c.view().seats >= 10)
                c.key(DisplayKey::Enter, 0);
        };
        for (const QString &step : script.split(' ')) {
            Game &c = game->clock;
            const QString value = step.section('=', 1);
            if (step.startsWith("layout=")) {
                setup.layout = {value.section('x', 0, 0).toInt(), value.section('x', 1).toInt(), {}};
            } else if (step.startsWith("names=")) {
                names = value.split(',');
            } else if (step.startsWith("list=")) {
                c.command({GameCommand::Names, false, std::nullopt, {}, value.split(',')});
            } else if (step == "P") {
                QStringList players;
                for (int p = 1; p <= int(c.ledger->players().size()); ++p)
                    players << c.ledger->playerName(p) + (c.ledger->players()[size_t(p - 1)].out ? " out" : "");
                log << "players: " + players.join(", ");
            } else if (step.startsWith("fixedcut=")) {
                setup.cutFixed = true;
                setup.cut = value.toLongLong();
            } else if (step == "speak") {
                setup.speak = true;
            } else if (step.startsWith("bounty=")) {
                setup.bounty = QString(value).remove('p').toLongLong();
                setup.progressive = step.endsWith('p');
            } else if (step.startsWith('@')) {
                const std::optional<tables::Seat> at =
                    c.ledger->seating()->seatOf(int(c.view().players.indexOf(step.mid(1))) + 1);
                for (const QChar digit : QString::number(at->seat))
                    c.key(digit.unicode(), 0);
            } else if (step == "start") {
                c.names = names;
                c.start(setup);
                log.clear(); // the game's own start is another test's
            } else if (step.startsWith('E') && step.size() > 1) {
                for (int i = step.mid(1).toInt(); i > 0; --i)
                    c.key(DisplayKey::E, 0);
                if (step != "E2")
                    log.clear();
            } else if (step.startsWith('#')) {
                c.key(step.mid(1).toInt(), 0);
            } else if (step.startsWith('b')) {
                c.key(DisplayKey::B, 0);
                if (c.ledger->seating()->layout().tables > 1)
                    c.key('0' + step.mid(1).toInt(), 0);
                seatKeys(c, step.mid(1).toInt());
            } else if (step == "m") {
                c.key(DisplayKey::M, 0);
                if (const std::optional<tables::Seating> &t = c.ledger->seating())
                    if (const std::optional<tables::Move> m = t->suggestion())
                        seatKeys(c, m->from.table);
            } else if (step == "esc") {
                c.key(DisplayKey::Escape, 0);
            } else if (step == "k") {
                const std::optional<tournament::SavedGame> file =
                    tournament::parseSavedGame(tournament::formatSavedGame(c.kept()));
                QVERIFY2(file, "the kept game cannot be read");
                auto next = std::make_unique<Played>();
                next->clock.resume(*file);
                listen(next->clock);
                QCOMPARE(next->clock.view().seatMap, c.view().seatMap);
                QCOMPARE(next->clock.names, c.names);
                log << QStringLiteral("resumed %1").arg(next->clock.ledger->counts().left());
                game = std::move(next);
            } else if (step == "=") {
                const DisplayState &v = c.view();
                QStringList counts;
                for (const QList<int> &t : v.seatMap)
                    if (!t.isEmpty())
                        counts << QString::number(t.size() - t.count(0));
                log << (v.tables ? counts.join('+') : "one table");
            } else if (step == "o") {
                log << (c.view().redrawOffered ? "redraw offered" : "no redraw");
            } else if (step == "shown") {
                log << (c.view().shown ? "shown" : "left");
            } else if (step == "$") {
                QStringList rows;
                for (const auto &row : c.view().chipCounts)
                    rows << row[0] + ' ' + row[1] + ' ' + row[2];
                log << "counts: " + rows.join(" | ");
            } else if (step == "r") {
                QStringList lines;
                for (const tournament::Place &p : c.view().results)
                    lines << tournament::placeLine(p, c.state.currencySymbol);
                log << QStringLiteral("%1 places: ").arg(lines.size()) + lines.mid(0, 2).join(" | ");
            } else {
                c.key(step.at(0).unicode(), 0);
            }
        }
        // Seats and names as the draw gave them: only their shape is checked.
        static const QRegularExpression name(QStringLiteral("(st|nd)  (Ann|Bob|Cy|Di|Ed|Flo|Gus)"));
        static const QRegularExpression who(
            QStringLiteral("(Entry \\d+|Ann|Bob|Cy|Di|Ed|Flo|Gus)(?=, Table \\d Seat| is out| re-enters)"));
        for (QString &line : log) {
            line.replace(QChar::Nbsp, QLatin1Char(' '));
            line.replace(who, QStringLiteral("#"));
            line.replace(QRegularExpression(QStringLiteral("(?<!for )Seat \\d+")), QStringLiteral("Seat #"));
            if (line.contains(QLatin1String("Entry ")) || line.contains(QStringLiteral(" → ")))
                line.replace(QRegularExpression(QStringLiteral("Table \\d")), QStringLiteral("Table #"));
            line.replace(name, QStringLiteral("\\1  #"));
        }
        if (log != expected)
            qWarning().noquote() << log.join("\n");
        QCOMPARE(log, expected);
    }

    void breaks_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<QString>("every");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QList<int>>("breaksAfter");
        QTest::newRow("one break, after round 3") << 10 << "3" << false << QList<int>{3};
        QTest::newRow("repeated: 3, 6, 9") << 10 << "3" << true << QList<int>{3, 6, 9};
        QTest::newRow("repeated, the last round a multiple") << 10 << "5" << true << QList<int>{5};
        QTest::newRow("repeated after every round") << 4 << "1" << true << QList<int>{1, 2, 3};
        QTest::newRow("repeated every 0: none") << 4 << "0" << true << QList<int>{};
    }
    void breaks()
    {
        QFETCH(int, levels);
        QFETCH(QString, every);
        QFETCH(bool, repeat);
        QFETCH(QList<int>, breaksAfter);
        Played g;
        g.levels(levels, 120);
        g.settings.every = every;
        g.settings.repeat = repeat;
        g.settings.minutes = "2";
        g.settings.speech = true;
        g.settings.ante.on = false;
        g.hand();
        g.clock.start({});
        int warned = 0; // the next-round line says a break a minute before it
        for (int second = 0; second < 240 * levels; ++second) {
            warned +=
                g.clock.state.secondsLeft == 60 && g.clock.view().nextRound.text.startsWith("Next round is a break");
            g.clock.tick();
        }
        // Each break exactly the single break's: its warning, its announcement, its two minutes;
        // the levels counted on through the breaks, none skipped or repeated.
        const Phrases p = defaultPhrases();
        QStringList expected;
        for (int level = 1, end = 120; level <= levels; ++level, end += 120) {
            const bool breakNext = breaksAfter.contains(level);
            expected << QStringLiteral("%1: %2").arg(end - 60).arg(breakNext ? p.BreakSoon : p.BlindsSoon);
            if (breakNext)
                expected << QStringLiteral("%1: %2").arg(end).arg(p.Break)
                         << QStringLiteral("%1: %2").arg(end + 60).arg(p.BlindsSoon);
            end += breakNext ? 120 : 0;
            if (level < levels)
                expected << QStringLiteral("%1: Blinds are now %2£ and %3£")
                                .arg(end)
                                .arg(25 * level + 25)
                                .arg(50 * level + 50);
        }
        QCOMPARE(g.log.mid(1), expected); // after the start's announcement
        QCOMPARE(warned, breaksAfter.size());
    }

    // Every step is logged, and the log replayed on a fresh game reaches the same state at each.
    void randomWalk()
    {
        QRandomGenerator rng(20261209);
        const auto pick = [&](int n) { return int(rng.bounded(n)); };
        using Played_ = std::unique_ptr<Played>;
        // A step returns a tick's "ticked" or a command's "asked first".
        using Step = std::function<bool(Played_ &)>;
        std::vector<Step> steps;
        std::vector<QByteArray> states;
        // The game's figures, what was said and shown at every step; the whole kept game every
        // 1,000th step (written out, it would be most of the walk's time).
        const auto state = [](const Played &g, bool whole) {
            const Game &c = g.clock;
            const GameState &n = c.state;
            const DisplayState &v = c.view();
            QCryptographicHash h(QCryptographicHash::Sha1);
            if (whole)
                h.addData(tournament::formatSavedGame(c.kept()));
            const qint64 records = c.ledger ? qint64(c.ledger->records().size()) : -1;
            for (const qint64 x : {n.gameSeconds, qint64(n.currentRound), qint64(n.secondsLeft), qint64(n.currentAnte),
                                   qint64(n.breakSeconds), qint64(n.levelSeconds), qint64(n.played),
                                   qint64(c.running()), qint64(c.paused), records, qint64(g.log.size())})
                h.addData(QByteArray::number(x) + ' ');
            for (const QString &t : QStringList{c.names.join('|'), g.log.value(g.log.size() - 1), v.currentRound.text,
                                                v.nextRound.text, v.blinds.text, v.ante.text, v.band.lines(),
                                                v.recent.join('|'), v.chipLine, v.nextBreak, v.backQuestion})
                h.addData(t.toUtf8() + '\0');
            return h.result();
        };
        DisplayState shown; // what a game showed just before it was killed
        const auto play = [&](Played_ &g, Step step) {
            g->at += 1000;
            const bool out = step(g);
            steps.push_back(std::move(step));
            states.push_back(state(*g, steps.size() % 1000 == 0));
            return out;
        };
        auto game = std::make_unique<Played>();
        int resumes = 0, asked = 0, breaks = 0, changes = 0, chipLines = 0;
        for (int step = 0; step < 100000; ++step) {
            Game &c = game->clock;
            Table &s = game->settings;
            const int action = pick(100);
            const qsizetype heard = game->log.size();
            const int round = c.state.currentRound;
            bool ticked = false, tickStep = false;
            if (action < 2 || !c.inPlay()) {
                const bool repeat = pick(2), breaksOn = pick(4) > 0, count = pick(3);
                const QString every = QString::number(pick(4));
                play(game, [=](Played_ &g) {
                    std::tie(g->settings.repeat, g->settings.every, g->settings.breaks) =
                        std::tie(repeat, every, breaksOn);
                    g->hand();
                    g->clock.start(count ? std::optional<tournament::Setup>(counting()) : std::nullopt);
                    return false;
                });
            } else if (action < 60) {
                tickStep = true;
                ticked = play(game, [](Played_ &g) { return g->clock.tick(); });
            } else if (action < 68) {
                static const int keys[] = {DisplayKey::Space, DisplayKey::P, DisplayKey::Pause};
                static const GameCommand::Kind kinds[] = {GameCommand::Back, GameCommand::MinuteLess,
                                                          GameCommand::MinuteMore};
                const int key = action < 66 ? keys[action < 63 ? 0 : 1 + pick(2)] : 0;
                const GameCommand::Kind kind = kinds[pick(3)];
                play(game, [=](Played_ &g) {
                    if (key)
                        g->clock.key(key, 0);
                    else
                        g->clock.command({kind, false, {}});
                    return false;
                });
            } else if (action < 82) {
                static const int keys[] = {DisplayKey::E, DisplayKey::N, DisplayKey::R,        DisplayKey::A,
                                           DisplayKey::B, DisplayKey::L, DisplayKey::Backspace};
                const int key = keys[pick(7)];
                play(game, [=](Played_ &g) {
                    g->clock.key(key, 0);
                    return false;
                });
            } else if (action < 89) {
                static const GameCommand::Kind kinds[] = {
                    GameCommand::Entry, GameCommand::Reentry,     GameCommand::Rebuy, GameCommand::Bust,
                    GameCommand::Undo,  GameCommand::LockPayouts, GameCommand::Names};
                const GameCommand::Kind kind = kinds[pick(7)];
                const bool confirmed = pick(2) > 0;
                const int behind = pick(2);
                const QStringList names = QStringList{"Ann", "", "Cy", "Dee"}.mid(0, pick(5));
                asked += play(game, [=](Played_ &g) {
                    const qint64 records = g->clock.ledger ? qint64(g->clock.ledger->records().size()) : 0;
                    return g->clock.command({kind, confirmed, records - behind, {}, names}).confirm;
                });
            } else if (action < 90) {
                play(game, [](Played_ &g) {
                    g->clock.key(DisplayKey::Escape, 0);
                    return false;
                });
            } else if (action < 96) {
                // The settings changed mid-game: the break, the ante, the speech, the list's length,
                // the chip case.
                static const char *const numbers[] = {"0", "1", "2", "3", "x", "40000"};
                const int change = pick(8);
                const QString number = QLatin1String(numbers[pick(6)]);
                const AnteRule ante{pick(4) > 0, pick(4), pick(2) ? 25 : 2147483647, pick(2) > 0,
                                    pick(4) ? std::optional<qint64>(pick(4)) : std::nullopt};
                const QString minutes = pick(4) ? QString::number(pick(100)) : QStringLiteral("?");
                play(game, [=](Played_ &g) {
                    Table &t = g->settings;
                    switch (change) {
                    case 0: t.breaks = !t.breaks; break;
                    case 1: t.every = number; break;
                    case 2: t.repeat = !t.repeat; break;
                    case 3: t.ante = ante; break;
                    case 4: t.speech = !t.speech; break;
                    case 7:
                        t.plan.chips =
                            t.plan.on() ? chips::ChipCase{} : chips::ChipCase{{5, {}, 0}, {25, {}, 0}, {100, {}, 0}};
                        break;
                    case 5:
                        // Never below the level in play (the window holds the round within the list).
                        if (int(t.rows.size()) > std::max({1, g->clock.selectedRow() + 1, g->clock.state.currentRound}))
                            t.rows.pop_back();
                        break;
                    default:
                        if (t.rows.size() < 8)
                            t.rows.push_back({"5", "10", minutes});
                    }
                    g->hand();
                    return false;
                });
                ++changes;
                continue;
            } else {
                // Killed: the kept file read back into a new program, its window set as the game was.
                const tournament::SavedGame before = c.kept();
                const Game::Countdown running = c.running();
                play(game, [=, &shown](Played_ &g) {
                    g->clock.refresh(); // as the settings stand now
                    shown = g->clock.view();
                    const std::optional<tournament::SavedGame> file =
                        tournament::parseSavedGame(tournament::formatSavedGame(g->clock.kept()));
                    auto next = std::make_unique<Played>();
                    next->at = g->at;
                    next->settings = g->settings;
                    next->hand();
                    if (file)
                        next->clock.resume(*file);
                    g = std::move(next);
                    return false;
                });
                Game &r = game->clock;
                tournament::SavedGame expected = before;
                expected.paused = true;
                QVERIFY2(r.kept() == expected, qPrintable(QStringLiteral("resumed otherwise at step %1").arg(step)));
                if (!before.paused)
                    play(game, [](Played_ &g) {
                        g->clock.pauseResume();
                        return false;
                    });
                QCOMPARE(r.running(), running);
                QCOMPARE(r.view().blinds, shown.blinds);
                QCOMPARE(r.view().round, shown.round);
                QCOMPARE(r.view().band, shown.band);
                QCOMPARE(r.view().chipLine, shown.chipLine);
                ++resumes;
                continue;
            }
            const bool stayed = tickStep && round == c.state.currentRound; // a tick that stayed in its level
            // The game is sound after every step.
            const DisplayState &v = c.view();
            const auto at = [step](const char *what) { return QStringLiteral("%1 at step %2").arg(what).arg(step); };
            QVERIFY2(!(c.paused && c.running() != Game::Countdown::None), qPrintable(at("runs while paused")));
            QVERIFY2(c.state.currentRound == -1 || c.state.currentRound >= 1, qPrintable(at("no level in play")));
            QVERIFY2(v.elapsed.text == "Game Timer: " + QString::number(v.gameSeconds), qPrintable(at("game timer")));
            QVERIFY2(v.title.text == s.gameTitle && v.gameTitle == s.gameTitle && v.backColour == 1
                         && v.titleColour == 4,
                     qPrintable(at("title and colours")));
            QVERIFY2(!ticked || s.speech || game->log.size() == heard, qPrintable(at("spoken with speech off")));
            breaks += v.inBreak;
            // Without a chip case none of it shows; with one, each line only where it belongs.
            if (!v.chipCase)
                QVERIFY2(v.chipWarning.isEmpty() && v.colourUp.isEmpty() && v.addOnNow.isEmpty()
                             && v.nextBreak.isEmpty() && v.plan.empty() && v.chipLine.isEmpty(),
                         qPrintable(at("a chip line without a chip case")));
            QVERIFY2(v.chipWarning.isEmpty() || (!v.inBreak && v.breakNext),
                     qPrintable(at("a colour-up warned, no break next")));
            QVERIFY2((v.colourUp.isEmpty() && !v.raceTo) || v.inBreak, qPrintable(at("a colour-up out of the break")));
            chipLines += !v.chipWarning.isEmpty() + !v.colourUp.isEmpty() + !v.nextBreak.isEmpty();
            if (!v.inBreak) {
                QVERIFY2(v.blinds.text == blindsText(v.currency, v.smallBlind, v.bigBlind), qPrintable(at("blinds")));
                QVERIFY2(!v.anteAmount || (v.ante.visible && v.ante.text == anteText(v.currency, v.anteAmount)),
                         qPrintable(at("ante")));
            }
            if (stayed && !v.inBreak && c.running() == Game::Countdown::Rounds) {
                // Just ticked: the display's next-round line and the page's figures agree.
                const bool saysBreak = v.nextRound.text.startsWith(QLatin1String("Next round is a break"));
                QVERIFY2(!v.breakNext || saysBreak, qPrintable(at("break next not shown")));
                QVERIFY2(!saysBreak || v.breakNext || !s.repeat, qPrintable(at("a break shown that never comes")));
            }
            if (c.ledger) {
                const tournament::Counts &n = c.ledger->counts();
                QVERIFY2(n.entries >= 0 && n.reentries >= 0 && n.rebuys >= 0 && n.busts >= 0 && n.left() >= 0,
                         qPrintable(at("a count below zero")));
                qint64 paid = 0;
                for (const qint64 p : c.ledger->payouts())
                    paid += p;
                QVERIFY2(paid + c.ledger->unshared() == c.ledger->pool(), qPrintable(at("payouts and pool")));
                QVERIFY2(v.records == qint64(c.ledger->records().size()), qPrintable(at("records")));
            }
        }
        // The walk reached the states that matter.
        QVERIFY(resumes > 500 && breaks > 1000 && asked > 100 && changes > 1000 && chipLines > 1000);
        // The log replayed on a fresh game.
        auto replayed = std::make_unique<Played>();
        for (size_t i = 0; i < steps.size(); ++i) {
            replayed->at += 1000;
            steps[i](replayed);
            QVERIFY2(state(*replayed, (i + 1) % 1000 == 0) == states[i],
                     qPrintable(QStringLiteral("replayed otherwise at step %1").arg(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TestGameModel)
#include "test_game_model.moc"
