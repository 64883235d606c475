// A phone's burst of actions during a counted game while the game's file goes to the disk
// (bench/burst_bench.sh runs it on a normal disk and on one whose flushes take seconds): the
// settings window on the fake desktop with the real page server, one phone that pairs and
// sends the burst, one page that only watches. It prints the game timer against the wall
// clock, the longest wait between two pushes the watching page saw, the actions taken and
// refused, and the writes of the game's file.
// Usage: bench_burst [seconds, default 15] [actions, default 10000]

#include "page/ClockServer.h"
#include "settings/frm_Chiplark.h"
#include "support/FakePlatform.h"
#include "support/GameDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <QWebSocket>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QJsonObject parse(const QString &message)
{
    return QJsonDocument::fromJson(message.toUtf8()).object();
}

QString text(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

// A socket of the page, from the page's own origin; open once the server has told it the game.
std::unique_ptr<QWebSocket> openPage(const page::ClockServer &server)
{
    auto socket = std::make_unique<QWebSocket>(QStringLiteral("http://127.0.0.1:%1").arg(server.port()));
    bool told = false;
    QObject::connect(
        socket.get(), &QWebSocket::textMessageReceived, socket.get(), [&told] { told = true; },
        Qt::SingleShotConnection);
    socket->open(
        QUrl(QStringLiteral("ws://127.0.0.1:%1/%2/ws").arg(server.port()).arg(QString::fromLatin1(server.token()))));
    if (!QTest::qWaitFor([&] { return told; }, 10000))
        return nullptr;
    return socket;
}

// The phone asks for control with the PIN; the server may first tell it to wait. True once
// it is paired: from then on its actions carry no PIN.
bool pair(QWebSocket &phone, const QString &pin)
{
    std::optional<bool> paired;
    const QMetaObject::Connection heard =
        QObject::connect(&phone, &QWebSocket::textMessageReceived, &phone, [&paired](const QString &message) {
            const QJsonObject o = parse(message);
            if (o.value(QStringLiteral("type")).toString() == QLatin1String("paired"))
                paired = o.value(QStringLiteral("ok")).toBool();
        });
    phone.sendTextMessage(text({{QStringLiteral("action"), QStringLiteral("pair")}, {QStringLiteral("pin"), pin}}));
    (void)QTest::qWaitFor([&] { return paired.has_value(); }, 120000);
    QObject::disconnect(heard);
    return paired.value_or(false);
}

// The n-th action of the burst: an entry, then its undo, confirmed at the one record it made.
QString burstAction(int n)
{
    if (n % 2 == 0)
        return text({{QStringLiteral("action"), QStringLiteral("entry")}});
    return text({{QStringLiteral("action"), QStringLiteral("undo")},
                 {QStringLiteral("confirm"), true},
                 {QStringLiteral("seen"), 1}});
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 15;
    const int actions = argc > 2 ? std::atoi(argv[2]) : 10000;
    fake::Platform fakes;
    page::ClockServer server;
    platform::Services services = fakes.services();
    services.publisher = &server;
    frm_Chiplark frm(services);
    drive::setSchedule(frm, {"100/200/1200", "200/400/1200", "300/600/1200"});
    frm.tournamentTexts = {{"Count", "1"}, {"BuyIn", "20"}, {"BuyInChips", "10000"}};
    frm.show();
    frm.startServing();
    const std::unique_ptr<QWebSocket> watcher = openPage(server);
    const std::unique_ptr<QWebSocket> phone = openPage(server);
    if (!watcher || !phone || !pair(*phone, server.pin())) {
        std::fprintf(stderr, "bench_burst: the phone could not pair with the page's server\n");
        return 1;
    }

    QElapsedTimer wall;
    qint64 lastPushNs = 0, longestGapNs = 0, lastTickNs = 0;
    int pushes = 0, taken = 0, refused = 0, shownAtTick = 0;
    QObject::connect(watcher.get(), &QWebSocket::textMessageReceived, &app, [&](const QString &message) {
        if (!wall.isValid() || parse(message).value(QStringLiteral("type")).toString() != QLatin1String("state"))
            return;
        const qint64 now = wall.nsecsElapsed();
        longestGapNs = std::max(longestGapNs, now - lastPushNs);
        lastPushNs = now;
        ++pushes;
    });
    QObject::connect(phone.get(), &QWebSocket::textMessageReceived, &app, [&](const QString &message) {
        const QJsonObject o = parse(message);
        if (o.value(QStringLiteral("type")).toString() == QLatin1String("done"))
            ++(o.value(QStringLiteral("done")).toBool() ? taken : refused);
    });
    // Connected after the window's own handler: the game's second is counted when this runs.
    QObject::connect(frm.tmr_rounds, &QTimer::timeout, &app, [&] {
        lastTickNs = wall.nsecsElapsed();
        shownAtTick = int(frm.gameState.gameSeconds);
    });
    const auto report = [&] {
        const double elapsed = wall.nsecsElapsed() / 1e9;
        const qint64 shown = frm.gameState.gameSeconds;
        const int writes = frm.keptWriter().written();
        std::printf("drift %lld s (%lld s shown after %.2f s; the last tick %+.1f ms after its second) | longest "
                    "wait between pushes %.3f s over %d pushes | actions %d: %d taken, %d refused, %d unanswered | "
                    "file writes %d\n",
                    static_cast<long long>(qint64(elapsed) - shown), static_cast<long long>(shown), elapsed,
                    (lastTickNs / 1e9 - shownAtTick) * 1000, longestGapNs / 1e9, pushes, actions, taken, refused,
                    actions - taken - refused, writes);
        std::fflush(stdout);
        frm.close();
        app.quit();
    };
    QTimer::singleShot(0, &app, [&] {
        frm.cmd_Start_Click();
        wall.start();
        // Half a second past the last whole second, so the game's tick for it has come.
        QTimer::singleShot(seconds * 1000 + 500, Qt::PreciseTimer, &app, report);
        for (int n = 0; n < actions; ++n)
            phone->sendTextMessage(burstAction(n));
    });
    return app.exec();
}
