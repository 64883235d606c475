// A game with the clock's page on the network, for the browser test: the settings window
// on scripted desktop services, the real server, the real one-second countdown. Prints the
// page's address and the PIN as one JSON line, then answers lines on its standard input:
//   display   the display as the players see it, with the players' band, every place paid and the
//             count (JSON line)
//   renew     a new address and PIN on the same port, the open pages told; prints them (JSON line)
//   newtoken  the same with the server stopped first, as when the program starts again with a
//             new address: the pages find the old one refused (403)
//   times     when each change was published: [wall-clock ms, seconds left] (JSON line)
//   usage     processor time used, wall-clock time and game time since the start (JSON line)
//   key K     the key K pressed on the display, as the host at the laptop would (JSON line)
//   enter N   N entries, as the laptop's E key records them (JSON line: the seats, as below)
//   bust N    N busts, each at the first seat taken, from the last table (JSON line: the seats)
//   seats     the tables as the game publishes them: the seat map, the seats drawn last, the
//             move, the redraw offered, the names typed and the players', the count and the
//             results' lines (JSON line)
//   quit
// Started as "page_probe count", the game counts players: £20 buy-ins and rebuys until round 2,
// places rounded to £5. Started as "page_probe seats", it counts £20 buy-ins at two tables of
// nine, seats drawn from a fixed seed, sixteen names typed (the seventh left blank). Started as
// "page_probe chips", a chip case of 25s, 100s and 500s and 25/50, 100/200, 200/400 with a break
// after every round: the 25s leave at the first break, where the add-on (£10 for 15,000 chips)
// is sold; £20 buy-ins at two tables of nine, rebuys until round 1. There
//   next      the next level (or break), as Space on the display (JSON line)
//   chips     the chip case's part of the page's push, and the display's chip line (JSON line)
#include "display/frm_Display.h"
#include "page/ClockServer.h"
#include "page/PageMessages.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include "tournament/Standings.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

void say(const QJsonObject &o)
{
    std::printf("%s\n", QJsonDocument(o).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}

// The tables, the names and the results as the game publishes them.
QJsonObject seats(const frm_Chiplark &frm)
{
    const DisplayState &s = frm.displayState;
    QJsonArray map;
    for (const QList<int> &row : s.seatMap) {
        QJsonArray seats;
        for (const int entry : row)
            seats.append(entry);
        map.append(seats);
    }
    QStringList results;
    for (const tournament::Place &p : s.results)
        results << tournament::placeLine(p, s.currency);
    const tournament::Counts c = frm.ledger ? frm.ledger->counts() : tournament::Counts{};
    QJsonArray out;
    for (const int p : s.out)
        out.append(p);
    return {{"tables", s.tables},
            {"seats", s.seats},
            {"seatMap", map},
            {"seatCalls", QJsonArray::fromStringList(s.seatCalls)},
            {"move", s.move},
            {"moveFrom", s.moveFrom},
            {"redrawOffered", s.redrawOffered},
            {"names", QJsonArray::fromStringList(s.names)},
            {"players", QJsonArray::fromStringList(s.players)},
            {"out", out},
            {"entries", c.buyIns()},
            {"busts", c.busts},
            {"results", QJsonArray::fromStringList(results)}};
}

// The first seat taken, from the last table.
tables::Seat firstTaken(const DisplayState &s)
{
    for (int t = int(s.seatMap.size()); t >= 1; --t)
        for (int seat = 1; seat <= int(s.seatMap[t - 1].size()); ++seat)
            if (s.seatMap[t - 1][seat - 1] > 0)
                return {t, seat};
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    fake::Platform fakes;
    page::ClockServer server;
    platform::Services services = fakes.services();
    services.publisher = &server;
    frm_Chiplark frm(services);
    drive::setSchedule(frm, {"25/50/600", "50/100/600", "100/200/600"});
    frm.txt_Title->setText(QStringLiteral("Browser test night"));
    frm.opt_Ante[1]->setChecked(true);
    frm.txt_ante->setText("10");
    frm.txt_AnteRound->setText("2");
    const bool seated = argc > 1 && QByteArray(argv[1]) == "seats";
    const bool chipCase = argc > 1 && QByteArray(argv[1]) == "chips";
    if (chipCase) {
        frm.tournamentTexts = {
            {"Count", "1"},      {"BuyIn", "20"}, {"BuyInChips", "10000"}, {"Rebuy", "20"}, {"RebuyChips", "10000"},
            {"RebuyUntil", "1"}, {"AddOn", "10"}, {"AddOnChips", "15000"}, {"Tables", "2"}, {"Seats", "9"}};
        drive::setSchedule(frm, {"25/50/600", "100/200/600", "200/400/600"});
        frm.txt_ante->setText("100");
        frm.opt_Break[0]->setChecked(true);
        frm.txt_Break->setText("1");
        frm.txt_breakTime->setText("10");
        frm.moreOptions.repeatBreak = true;
        frm.moreOptions.scaleDisplay = true;
        frm.planTexts = {{"Chips", "25/white/0;100/black/0;500/purple/0"}, {"Players", "18"}, {"Stack", "10000"}};
    }
    if (argc > 1 && QByteArray(argv[1]) == "count")
        frm.tournamentTexts = {{"Count", "1"},          {"BuyIn", "20"},     {"BuyInChips", "10000"}, {"Rebuy", "20"},
                               {"RebuyChips", "10000"}, {"RebuyUntil", "2"}, {"Rounding", "5"}};
    QString why;
    if (!server.start(&why)) {
        std::fprintf(stderr, "page_probe: %s\n", qPrintable(why));
        return 1;
    }
    std::vector<std::pair<qint64, int>> published;
    QObject::connect(&frm, &frm_Chiplark::displayStateChanged, &app, [&](const DisplayState &state) {
        if (published.size() < 100000)
            published.emplace_back(QDateTime::currentMSecsSinceEpoch(), state.secondsLeft);
    });
    QElapsedTimer sinceStart;
    sinceStart.start();
    frm.cmd_Start_Click();
    if (seated) {
        // The same seats on every run: the game begun again with a seed of its own.
        tournament::Setup setup;
        setup.buyIn = 20;
        setup.buyInChips = 10000;
        setup.layout = {2, 9, {}};
        setup.seed = 20261210;
        frm.game.names = QStringList{"Anna Berg", "Ben Cole",  "Cara Diaz",  "Dev Patel", "Eve Fox",  "Finn Gray",
                                     "",          "Hana Ito",  "Ivan Jones", "Jo King",   "Kim Lund", "Leo Moss",
                                     "Max Nash",  "Nia Ortiz", "Olly Park",  "Pia Reyes"};
        frm.game.start(setup);
    }
    say({{"address", server.address()}, {"pin", server.pin()}});

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin)) {
            app.quit();
            return;
        }
        const QByteArray command = QByteArray(line).trimmed();
        const frm_Display *d = frm.displayWindow();
        if (command == "display") {
            say({{"blinds", d->lbl_Blinds->caption()},
                 {"round", d->lbl_currentRound->caption()},
                 {"next", d->lbl_nextRound->caption()},
                 {"secondsLeft", frm.gameState.secondsLeft},
                 {"paused", d->paused},
                 {"ante", d->lbl_ante->isVisibleTo(d) ? d->lbl_ante->caption() : QString()},
                 {"band", d->lbl_Band->isVisibleTo(d) ? d->lbl_Band->caption() : QString()},
                 {"places", QJsonArray::fromStringList(frm.displayState.band.payouts)},
                 {"counts", frm.ledger ? QJsonObject{{"entries", frm.ledger->counts().entries},
                                                     {"busts", frm.ledger->counts().busts}}
                                       : QJsonObject()}});
        } else if (command == "renew" || command == "newtoken") {
            if (command == "newtoken")
                server.stop();
            QString why;
            if (!server.renewAddress(&why)) {
                std::fprintf(stderr, "page_probe: %s\n", qPrintable(why));
                app.exit(1);
                return;
            }
            say({{"address", server.address()}, {"pin", server.pin()}});
        } else if (command == "times") {
            QJsonArray list;
            for (const auto &[ms, left] : published)
                list.append(QJsonArray{double(ms), left});
            say({{"times", list}});
        } else if (command.startsWith("key ") && command.size() == 5) {
            frm.displayWindow()->Form_KeyDown(command.at(4), 0);
            say({{"key", QString::fromLatin1(command.mid(4))}});
        } else if (command == "usage") {
            rusage u{};
            getrusage(RUSAGE_SELF, &u);
            const double cpuMs =
                (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
            say({{"cpuMs", cpuMs},
                 {"wallMs", double(sinceStart.elapsed())},
                 {"gameSeconds", double(frm.gameState.gameSeconds)}});
        } else if (command.startsWith("enter ") || command.startsWith("bust ")) {
            const bool bust = command.startsWith("bust ");
            for (int i = command.mid(command.indexOf(' ') + 1).toInt(); i > 0; --i) {
                const GameReply r =
                    bust ? frm.game.command({GameCommand::Bust, false, std::nullopt, firstTaken(frm.displayState)})
                         : frm.game.command({GameCommand::Entry});
                if (!r.done)
                    std::fprintf(stderr, "page_probe: %s\n", qPrintable(r.text));
            }
            say(seats(frm));
        } else if (command == "seats") {
            say(seats(frm));
        } else if (command == "next") {
            frm.game.command({GameCommand::NextLevel});
            say({{"round", frm.displayState.round}, {"inBreak", frm.displayState.inBreak}});
        } else if (command == "chips") {
            QJsonObject chips =
                QJsonDocument::fromJson(page::stateMessage(frm.displayState)).object().value("chips").toObject();
            chips.insert("display", d->lbl_Chips->isVisibleTo(d) ? d->lbl_Chips->caption() : QString());
            say(chips);
        } else if (command == "quit") {
            app.quit();
        }
    });
    return app.exec();
}
