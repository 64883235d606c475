// A game with the clock's page on the network, for the browser test: the settings window
// on scripted desktop services, the real server, the real one-second countdown. Prints the
// page's address and the PIN as one JSON line, then answers lines on its standard input:
//   display   the display as the players see it, with the players' band, every place paid and the
//             count (JSON line)
//   restart   the server stops, and starts again (same address) 1.5 s later
//   renew     a new address and PIN on the same port, the open pages told; prints them (JSON line)
//   newtoken  the same with the server stopped first, as when the program starts again with a
//             new address: the pages find the old one refused (403)
//   times     when each change was published: [wall-clock ms, seconds left] (JSON line)
//   usage     processor time used, wall-clock time and game time since the start (JSON line)
//   key K     the key K pressed on the display, as the host at the laptop would (JSON line)
//   quit
// Started as "page_probe count", the game counts players: £20 buy-ins and rebuys until round 2,
// places rounded to £5.
#include "display/frm_Display.h"
#include "page/ClockServer.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    fake::Platform fakes;
    platform::ClockServer server;
    platform::Services services = fakes.services();
    services.publisher = &server;
    frm_Chiplark frm(services);
    drive::setSchedule(frm, {"25/50/600", "50/100/600", "100/200/600"});
    frm.txt_Title->setText(QStringLiteral("Browser test night"));
    frm.opt_Ante[1]->setChecked(true);
    frm.txt_ante->setText("10");
    frm.txt_AnteRound->setText("2");
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
                 {"places", QJsonArray::fromStringList(frm.displayState.bandParts.payouts)},
                 {"counts", frm.ledger ? QJsonObject{{"entries", frm.ledger->counts().entries},
                                                     {"busts", frm.ledger->counts().busts}}
                                       : QJsonObject()}});
        } else if (command == "restart") {
            server.stop();
            QTimer::singleShot(1500, &app, [&] {
                server.start(nullptr);
                say({{"restarted", server.address()}});
            });
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
        } else if (command == "quit") {
            app.quit();
        }
    });
    return app.exec();
}
