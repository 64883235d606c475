// The game alone, without a window: a settings table answers it, and 100,000 seeded random
// steps of ticks, keys, the phone's commands, the count and kill-and-resume must keep it sound.

#include "announce/Announcements.h"
#include "clock/ClockText.h"
#include "clock/GameClock.h"
#include "clock/GameKeys.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

// The settings window's answers, from a table a test can change.
struct TableSettings : GameSettings {
    std::vector<std::array<QString, 3>> rows{{"25", "50", "90"}, {"50", "100", "70"}, {"100", "200", "65"}};
    int selected = -1;
    bool breaks = true, repeat = false, speech = true;
    QString every = QStringLiteral("2"), minutes = QStringLiteral("1"), gameTitle = QStringLiteral("Friday");
    AnteRule ante{true, 2, 10, true, 2};
    QString sound;

    int levelCount() const override { return int(rows.size()); }
    QString column(int row, int c) const { return row >= 0 && row < levelCount() ? rows[size_t(row)][c] : QString(); }
    QString levelLine(int row) const override
    {
        return row >= 0 && row < levelCount() ? column(row, 0) + "/" + column(row, 1) + " for 1 mins." : QString();
    }
    QString smallBlind(int row) const override { return column(row, 0); }
    QString bigBlind(int row) const override { return column(row, 1); }
    QString levelTime(int row) const override { return column(row, 2); }
    std::vector<std::array<QString, 3>> levels() const override { return rows; }
    int selectedRow() const override { return selected; }
    void selectRow(int row) override { selected = row; }
    bool breakOn() const override { return breaks; }
    QString breakEvery() const override { return every; }
    QString breakMinutes() const override { return minutes; }
    bool repeatBreak() const override { return repeat; }
    AnteRule anteRule() const override { return ante; }
    bool speechOn() const override { return speech; }
    Phrases phrases() const override { return defaultPhrases(); }
    QString soundToPlay() const override { return sound; }
    QString longTime(qint64 s) const override { return QString::number(s); }
    QString title() const override { return gameTitle; }
    std::array<qint32, 4> colours() const override { return {1, 2, 3, 4}; }
    std::vector<std::array<QString, 3>> snapshot() const override
    {
        const auto n = [](qint64 v) { return QString::number(v); };
        return {{"Breaks", "BreakOpt", n(!breaks)}, {"Breaks", "Break", every},
                {"Breaks", "BreakTime", minutes},    {"Breaks", "RepeatBreak", n(repeat)},
                {"Ante", "AnteRound", n(*ante.round)}, {"Ante", "AnteAmount", n(*ante.amount)},
                {"Config", "Title", gameTitle},           {"Speech", "On", n(speech)}};
    }
    void restore(const tournament::SavedGame &game) override
    {
        rows = game.levels;
        for (const auto &[section, key, value] : game.settings) {
            const QString k = section + "/" + key;
            if (k == "Breaks/BreakOpt")
                breaks = value == "0";
            else if (k == "Breaks/Break")
                every = value;
            else if (k == "Breaks/BreakTime")
                minutes = value;
            else if (k == "Breaks/RepeatBreak")
                repeat = value == "1";
            else if (k == "Ante/AnteRound")
                ante.round = value.toLongLong();
            else if (k == "Ante/AnteAmount")
                ante.amount = value.toLongLong();
            else if (k == "Config/Title")
                gameTitle = value;
            else if (k == "Speech/On")
                speech = value == "1";
        }
    }
};

struct Game {
    TableSettings settings;
    GameClock clock{settings};
    QStringList said, notices;
    qint64 at = 1700000000000;
    Game()
    {
        clock.now = [this] { return at; };
        QObject::connect(&clock, &GameClock::say, [this](const QString &t) { said << t; });
        QObject::connect(&clock, &GameClock::notice, [this](const QString &t, int) { notices << t; });
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

} // namespace

class TestGameModel : public QObject {
    Q_OBJECT
private slots:
    // The defects of a game that lived in its windows, each as the host met it.
    void defects_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        // t tick, n next level, p pause, k kill and resume with other settings in the window,
        // E/B/L keys, u a phone's undo that saw the records before the last action.
        QTest::newRow("resumed: the break rule it was played with") << "n k n" << "Break";
        QTest::newRow("resumed paused, and it shows") << "k" << "paused";
        QTest::newRow("a phone's undo names what is now last") << "E E u"
                                                               << "The last action is now Entry — undo that?";
        QTest::newRow("lock refused before anyone bought in") << "L" << "refused";
        QTest::newRow("a late rebuy confirmed after the count moved is asked again") << "n n n E c E C" << "asked";
        QTest::newRow("repeated breaks: no break warned in the last round") << "r n n n n t" << "No more rounds.";
    }
    void defects()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        auto game = std::make_unique<Game>();
        game->clock.start(counting());
        QString got;
        qint64 askedAt = 0;
        for (const QString &step : script.split(' ')) {
            GameClock &c = game->clock;
            if (step == "t")
                c.tick();
            else if (step == "n")
                c.advanceRound();
            else if (step == "r")
                game->settings.repeat = true, game->settings.every = "1";
            else if (step == "k") {
                const QByteArray file = tournament::formatSavedGame(c.kept());
                game = std::make_unique<Game>();
                game->settings.every = "9";
                game->settings.breaks = false;
                game->clock.resume(*tournament::parseSavedGame(file));
                got = game->clock.view().paused ? "paused" : "running";
            } else if (step == "u") {
                got = c.command({GameCommand::Undo, false, qint64(c.ledger->records().size()) - 1}).text;
            } else if (step == "c" || step == "C") {
                const GameReply r = c.command({GameCommand::Rebuy, step == "C", askedAt});
                askedAt = r.seen;
                got = r.done ? "recorded" : r.confirm ? "asked" : r.text;
            } else if (step == "L") {
                got = c.command({GameCommand::LockPayouts, false, {}}).done ? "locked" : "refused";
            } else {
                c.key(step.at(0).unicode(), 0);
            }
            if (step == "n" || step == "t")
                got = step == "n" ? c.view().blinds.text : c.view().nextRound.text;
        }
        QCOMPARE(got, expected);
    }

    void randomWalk()
    {
        QRandomGenerator rng(20261209);
        const auto pick = [&](int n) { return int(rng.bounded(n)); };
        auto game = std::make_unique<Game>();
        int resumes = 0, asked = 0, breaks = 0;
        for (int step = 0; step < 100000; ++step) {
            GameClock &c = game->clock;
            TableSettings &s = game->settings;
            game->at += 1000;
            const int action = pick(100);
            bool ticked = false; // a tick that stayed in its level
            if (action < 2 || !c.inPlay()) {
                s.repeat = pick(2);
                s.every = QString::number(pick(4));
                s.breaks = pick(4) > 0;
                c.start(pick(3) ? std::optional<tournament::Setup>(counting()) : std::nullopt);
            } else if (action < 60) {
                const int round = c.state.currentRound;
                c.tick();
                ticked = round == c.state.currentRound;
            } else if (action < 63) {
                c.key(DisplayKey::Space, 0);
            } else if (action < 66) {
                c.key(pick(2) ? DisplayKey::P : DisplayKey::Pause, 0);
            } else if (action < 68) {
                c.command({pick(2) ? GameCommand::Back : pick(2) ? GameCommand::MinuteLess : GameCommand::MinuteMore, false, {}});
            } else if (action < 84) {
                static const int keys[] = {DisplayKey::E, DisplayKey::N, DisplayKey::R, DisplayKey::A,
                                           DisplayKey::B, DisplayKey::L, DisplayKey::Backspace};
                c.key(keys[pick(7)], 0);
            } else if (action < 92) {
                static const GameCommand::Kind kinds[] = {GameCommand::Entry, GameCommand::Reentry, GameCommand::Rebuy,
                                                          GameCommand::Bust, GameCommand::Undo, GameCommand::LockPayouts};
                const qint64 records = c.ledger ? qint64(c.ledger->records().size()) : 0;
                const GameReply r = c.command({kinds[pick(6)], pick(2) > 0, records - pick(2)});
                asked += r.confirm;
            } else if (action < 93) {
                c.key(DisplayKey::Escape, 0);
            } else {
                // Killed: the kept file read back into a new program whose window says otherwise.
                const tournament::SavedGame before = c.kept();
                const DisplayState shown = c.view();
                const GameClock::Countdown running = c.running();
                const std::optional<tournament::SavedGame> file =
                    tournament::parseSavedGame(tournament::formatSavedGame(before));
                QVERIFY2(file, qPrintable(QStringLiteral("the kept game unreadable at step %1").arg(step)));
                auto next = std::make_unique<Game>();
                next->at = game->at;
                next->settings.every = QString::number(pick(5));
                next->settings.repeat = pick(2);
                next->settings.breaks = pick(2);
                next->settings.rows.pop_back();
                next->clock.resume(*file);
                game = std::move(next);
                GameClock &r = game->clock;
                tournament::SavedGame expected = before;
                expected.paused = true;
                QVERIFY2(r.kept() == expected, qPrintable(QStringLiteral("resumed otherwise at step %1").arg(step)));
                if (!before.paused)
                    r.pauseResume();
                QCOMPARE(r.running(), running);
                QCOMPARE(r.view().blinds, shown.blinds);
                QCOMPARE(r.view().round, shown.round);
                QCOMPARE(r.view().band, shown.band);
                ++resumes;
                continue;
            }
            // The game is sound after every step.
            const DisplayState &v = c.view();
            const auto at = [step](const char *what) { return QStringLiteral("%1 at step %2").arg(what).arg(step); };
            QVERIFY2(!(c.paused && c.running() != GameClock::Countdown::None), qPrintable(at("runs while paused")));
            breaks += v.inBreak;
            if (!v.inBreak) {
                QVERIFY2(v.blinds.text == blindsText(v.currency, v.smallBlind, v.bigBlind), qPrintable(at("blinds")));
                QVERIFY2(!v.anteAmount || v.ante.text == anteText(v.currency, v.anteAmount), qPrintable(at("ante")));
            }
            if (ticked && !v.inBreak && c.running() == GameClock::Countdown::Rounds) {
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
        QVERIFY(resumes > 500 && breaks > 1000 && asked > 100);
    }
};

QTEST_GUILESS_MAIN(TestGameModel)
#include "test_game_model.moc"
