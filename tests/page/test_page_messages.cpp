// The page's messages without a server: the state as the page reads it (the count, the seats,
// the names and the results within their sizes, the chip case), and the page's own messages
// read (the controls and their counts, seats and names, the pairings; anything malformed,
// too long or unknown is nothing).
#include "chips/ColourUp.h"
#include "page/PageMessages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using page::PageMessage;
Q_DECLARE_METATYPE(PageMessage)

namespace {

QByteArray json(const QJsonObject &o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A message read, every part of it in words.
QString described(const PageMessage &m)
{
    const GameCommand c = m.command.value_or(GameCommand());
    return QStringList{QString::number(int(m.kind)),
                       QString::fromLatin1(m.keyProof + ' ' + m.linkProof),
                       m.pin,
                       m.action,
                       m.command ? QStringLiteral("command") : QStringLiteral("none"),
                       QString::number(c.kind),
                       QString::number(c.confirmed),
                       c.seen ? QString::number(*c.seen) : QStringLiteral("-"),
                       QStringLiteral("%1.%2").arg(c.seat.table).arg(c.seat.seat),
                       c.names.join(QLatin1Char('|')),
                       QString::number(c.player),
                       QString::fromStdString(std::string(c.by.begin(), c.by.end())),
                       QStringLiteral("%1 %2 %3").arg(c.chips.empty() ? 0 : c.chips.back()).arg(c.amount).arg(c.ends)}
        .join(QStringLiteral(", "));
}

} // namespace

class TestPageMessages : public QObject {
    Q_OBJECT

private slots:
    // Each row: a state and the members the page gets of it (null: none), compared whole.
    void stateMessage_data()
    {
        QTest::addColumn<DisplayState>("state");
        QTest::addColumn<QByteArray>("expected");
        DisplayState game;
        game.shown = true;
        game.round = 3;
        game.secondsLeft = 754;
        game.levelSeconds = 1200;
        game.gameSeconds = 5246;
        game.smallBlind = "100";
        game.bigBlind = "200";
        game.anteAmount = 25;
        game.ante = {"Ante: £25", true};
        game.blinds.text = "£100 / £200";
        game.currency = QStringLiteral("£");
        game.nextLevel = "150/300";
        game.backQuestion = "Restart?";
        game.gameTitle = "Friday";
        game.backColour = 0xff0000; // blue
        game.textColour = 0x3366cc;
        game.counting = true;
        game.band = {"Players", "Average", "Pool", {"1st", "2nd"}, "Rounding", "Locked", "Unshared", "Rebuys", "", ""};
        game.payoutsLocked = true;
        game.records = 14;
        game.recent = {"21:04 Bust"};
        QTest::newRow("a counted game, no seats, no chip case")
            << game
            << QByteArray(
                   R"j({"ante":25,"anteText":"Ante: £25","backQuestion":"Restart?","big":"200","blindsText":)j"
                   R"j("£100 / £200","breakNext":false,"chips":null,"colours":{"ante":"#000000","back":"#0000ff",)j"
                   R"j("text":"#cc6633","title":"#000000"},"count":{"average":"Average","lockNote":"Locked",)j"
                   R"j("locked":true,"payouts":["1st","2nd"],"players":"Players","pool":"Pool","rebuysUntil":)j"
                   R"j("Rebuys","recent":["21:04 Bust"],"records":14,"rounding":"Rounding","unshared":"Unshared"},)j"
                   R"j("currency":"£","gameSeconds":5246,"inBreak":false,"lastLevel":false,"levelSeconds":1200,)j"
                   R"j("next":"150/300","paused":false,"round":3,"secondsLeft":754,"shown":true,"small":"100",)j"
                   R"j("tables":null,"title":"Friday","type":"state"})j");

        DisplayState seats;
        seats.currency = QStringLiteral("£");
        seats.tables = 2;
        seats.seats = 3;
        seats.seatMap = {{4, 0, 2}, {}};
        seats.seatCalls = {QStringLiteral("Cara → Table 1, Seat 1")};
        seats.move = QStringLiteral("Table 2, the big blind moves to Table 1, Seat 2");
        seats.moveFrom = 2;
        seats.names = {"Anna", "Ben", "", "Cara"};
        seats.players = {"Anna", "Ben", "", "Cara"};
        seats.out = {3, 1};
        seats.results = {{1, 4, "Cara", {1, 1}, 200}, {2, 3, "", {}, 0}};
        QTest::newRow("the seats, the names and the results")
            << seats
            << QByteArray(
                   R"j({"count":null,"move":"Table 2, the big blind moves to Table 1, Seat 2","moveFrom":2,"nameCount":4)j"
                   R"j(,"names":["Anna","Ben","","Cara"],"namesPartial":false,"out":[3,1],"players":["Anna","Ben","","Cara"])j"
                   R"j(,"redrawOffered":false)j"
                   R"j(,"results":[{"entry":4,"line":"1st  Cara · Table 1, Seat 1 · £200","name":"Cara","place":1)j"
                   R"j(,"prize":200,"seat":1,"table":1},{"entry":3,"line":"2nd  Entry 3","name":"","place":2,"prize":0)j"
                   R"j(,"seat":0,"table":0}],"resultsCount":2,"seatCalls":["Cara → Table 1, Seat 1"])j"
                   R"j(,"seatMap":[[4,0,2],[]],"seats":3,"tables":2})j");

        DisplayState names;
        names.names = {"Anna"};
        QTest::newRow("names alone (one table)")
            << names << QByteArray(R"j({"nameCount":1,"names":["Anna"],"seatMap":[],"seats":0,"tables":0})j");

        // 1,000 names of 40 three-byte letters, 48 seats (entries 501 on) and 300 places, each
        // named so: the names of the best places that fit are sent, no other.
        DisplayState crowd;
        crowd.tables = 4;
        crowd.seats = 12;
        for (int t = 0; t < 4; ++t) {
            QList<int> row;
            for (int seat = 1; seat <= 12; ++seat)
                row << 500 + t * 12 + seat;
            crowd.seatMap << row;
        }
        for (int i = 1; i <= 1000; ++i)
            crowd.names << QString::number(i) + QString(36, QChar(0x20ac));
        for (int place = 1; place <= 300; ++place)
            crowd.results.push_back({place, 301 - place, crowd.names[300 - place], {1, 1}, 1000000});
        for (int i = 0; i < 20; ++i)
            crowd.seatCalls << QStringLiteral("Entry %1 → Table 4, Seat 12").arg(i);
        constexpr int placesSent = 36; // of 300: as many as 12 kB hold
        QJsonArray sent;
        for (int entry = 1; entry <= page::MaxNames; ++entry)
            sent.append(entry > 300 - placesSent && entry <= 300 ? crowd.names[entry - 1] : QString());
        QTest::newRow("a thousand names and 300 places")
            << crowd
            << json({{"nameCount", 1000},
                     {"names", sent},
                     {"namesPartial", true},
                     {"resultsCount", 300},
                     {"seatCalls", QJsonArray::fromStringList(crowd.seatCalls.mid(0, 10))}});

        // The plan from the row before the one in play, as many rows as a push holds.
        DisplayState chips;
        chips.chipCase = true;
        chips.chipWarning = "25s leave";
        chips.nextBreak = "Next break in 0:42";
        chips.planSummary = "60 levels: 30 h";
        QJsonArray plan;
        for (int i = 0; i < 60; ++i) {
            chips.plan.push_back({i, QString::number(i), "£25 / £50", i == 4});
            if (i >= 3 && i < 3 + 40)
                plan.append(
                    QJsonObject{{"at", QString::number(i)}, {"blinds", "£25 / £50"}, {"level", i}, {"now", i == 4}});
        }
        chips.chipValues = {{25, "white", 300}, {100, "red", 0}};
        chips.raceLeaving = {25};
        chips.raceTo = 100;
        QTest::newRow("a chip case")
            << chips
            << QByteArray(R"j({"chips":{"addOnNow":"","colourUp":"","nextBreak":"Next break in 0:42","plan":PLAN,)j"
                          R"j("race":{"leaving":[25],"rules":RULES,"to":100},"summary":"60 levels: 30 h","values":)j"
                          R"j([{"colour":"white","value":25},{"colour":"red","value":100}],"warning":"25s leave"},)j"
                          R"j("tables":null})j")
                   .replace("PLAN", QJsonDocument(plan).toJson(QJsonDocument::Compact))
                   .replace("RULES", '"' + chips::RaceRules.toUtf8() + '"');
    }
    void stateMessage()
    {
        QFETCH(DisplayState, state);
        QFETCH(QByteArray, expected);
        const QByteArray message = page::stateMessage(state);
        QVERIFY2(message.size() <= 32 * 1024, qPrintable(QString::number(message.size()))); // a push stays small
        const QJsonObject got = QJsonDocument::fromJson(message).object();
        QJsonObject shown;
        for (const QString &member : QJsonDocument::fromJson(expected).object().keys())
            shown.insert(member, got.contains(member) ? got.value(member) : QJsonValue());
        QCOMPARE(json(shown), json(QJsonDocument::fromJson(expected).object()));
    }

    // Each row: whether the page holds control, its message (' for ") and what is read of it.
    void pageMessage_data()
    {
        QTest::addColumn<bool>("control");
        QTest::addColumn<QString>("message");
        QTest::addColumn<PageMessage>("expected");
        const auto act = [](const char *action, const std::optional<GameCommand> &command) {
            return PageMessage{PageMessage::Kind::Control, {}, {}, {}, QString::fromLatin1(action), command};
        };
        const auto pair = [](const char *proof, const char *link, const char *pin) {
            return PageMessage{PageMessage::Kind::Pair, proof, link, QString::fromLatin1(pin),
                               QStringLiteral("pair"),  {}};
        };
        const auto list = [](int n, const QString &name) {
            return QString::fromUtf8(json({{"names", QJsonArray::fromStringList(QStringList(n, name))}}))
                .replace('"', '\'')
                .replace("{", "{'action':'names',");
        };
        const QString longName = QString(39, 'x') + QString::fromUtf8("\U0001F600") + "y";
        const QString forty(40, QChar(0x20ac)); // 120 bytes
        using C = GameCommand;
        const std::optional<GameCommand> malformed;
        const PageMessage nothing;
        const auto row = [](const char *name, const QString &message, const PageMessage &expected) {
            QTest::newRow(name) << true << message << expected;
        };
        const auto unpaired = [](const char *name, const QString &message, const PageMessage &expected) {
            QTest::newRow(name) << false << message << expected;
        };
        row("an undo that saw 3", "{'action':'undo','seen':3}", act("undo", C(C::Undo, false, 3)));
        row("a rebuy confirmed at 7", "{'action':'rebuy','confirm':true,'seen':7}", act("rebuy", C(C::Rebuy, true, 7)));
        row("a bust, no count", "{'action':'bust'}", act("bust", C(C::Bust)));
        row("nothing recorded yet", "{'action':'undo','seen':0}", act("undo", C(C::Undo, false, 0)));
        row("a count below zero", "{'action':'undo','seen':-1}", act("undo", C(C::Undo)));
        row("a count not whole", "{'action':'undo','seen':2.5}", act("undo", C(C::Undo)));
        row("a count as text", "{'action':'undo','seen':'3'}", act("undo", C(C::Undo)));
        unpaired("a pause without control", "{'action':'pause'}", act("pause", C(C::PauseResume)));
        row("a bust with its seat", "{'action':'bust','table':2,'seat':3}", act("bust", C(C::Bust, false, {}, {2, 3})));
        row("a bust with none (one table)", "{'action':'bust','confirm':true}", act("bust", C(C::Bust, true)));
        row("a move from Table 4, Seat 12", "{'action':'move','table':4,'seat':12}",
            act("move", C(C::Move, false, {}, {4, 12})));
        row("the move refused", "{'action':'refusemove','table':1,'seat':1}", act("refusemove", C(C::RefuseMove)));
        row("the final table redrawn", "{'action':'redraw'}", act("redraw", C(C::Redraw)));
        row("the names seated", "{'action':'drawseats'}", act("drawseats", C(C::DrawSeats)));
        row("a re-entry of player 3", "{'action':'reentry','player':3}",
            act("reentry", C(C::Reentry, false, {}, {}, {}, 3)));
        row("a re-entry of the last out", "{'action':'reentry'}", act("reentry", C(C::Reentry)));
        row("a rebuy of player 0", "{'action':'rebuy','player':0}", act("rebuy", malformed));
        row("player 2 renamed", "{'action':'rename','player':2,'name':' Dee '}",
            act("rename", C(C::Rename, false, {}, {}, {"Dee"}, 2)));
        row("a rename of nobody", "{'action':'rename','name':'Dee'}", act("rename", malformed));
        row("a rename to no text", "{'action':'rename','player':2}", act("rename", malformed));
        row("names trimmed and cut", "{'action':'names','names':['  Anna Berg ','','  ',' " + longName + "']}",
            act("names", C(C::Names, false, {}, {}, {"Anna Berg", "", "", QString(39, 'x')})));
        row("no names", "{'action':'names','names':[]}", act("names", C(C::Names)));
        row("400 names of 40 euros (48 kB)", list(400, forty),
            act("names", C(C::Names, false, {}, {}, QStringList(400, forty))));
        row("a bust with a table only", "{'action':'bust','table':2}", act("bust", malformed));
        row("a bust at seat 0", "{'action':'bust','table':1,'seat':0}", act("bust", malformed));
        row("a seat past the most", "{'action':'bust','table':1,'seat':13}", act("bust", malformed));
        row("a table past the most", "{'action':'bust','table':5,'seat':1}", act("bust", malformed));
        row("a seat not whole", "{'action':'bust','table':1,'seat':2.5}", act("bust", malformed));
        row("a seat as text", "{'action':'bust','table':1,'seat':'3'}", act("bust", malformed));
        row("a move with no seat", "{'action':'move'}", act("move", malformed));
        C bustBy(C::Bust, false, {}, {1, 2}, {}, 0, {3, 5}), counts(C::ChipCounts), offer(C::DealOffer),
            take(C::DealTake);
        counts.by = offer.by = {1, 2}, counts.chips = offer.chips = {500, 700}, offer.amount = 100;
        take.player = 3, take.ends = true;
        row("a bust by two", "{'action':'bust','table':1,'seat':2,'by':[3,5]}", act("bust", bustBy));
        row("chip counts", "{'action':'counts','by':[1,2],'chips':[500,700]}", act("counts", counts));
        row("counts not paired", "{'action':'counts','by':[1],'chips':[500,700]}", act("counts", malformed));
        row("a deal on the counts kept", "{'action':'deal'}", act("deal", C(C::DealOffer)));
        row("a deal offered", "{'action':'deal','by':[1,2],'chips':[500,700],'playFor':100}", act("deal", offer));
        row("a deal taken, the night ends", "{'action':'dealtake','way':3,'ends':true}", act("dealtake", take));
        row("names as text", "{'action':'names','names':'Anna'}", act("names", malformed));
        row("no list of names", "{'action':'names'}", act("names", malformed));
        row("a name not text", "{'action':'names','names':['Anna',3]}", act("names", malformed));
        row("401 names", list(401, "Anna"), act("names", malformed));
        unpaired("names over 4 kB without control", list(400, forty), nothing);
        row("names over 64 kB", list(400, QString(60, QChar(0x20ac))), nothing);
        row("a pause of 6,000 bytes", "{'action':'pause','pad':'" + QString(3000, QChar(0xe9)) + "'}", nothing);
        row("not JSON", "{'action':", nothing);
        row("a list", "[1,2]", nothing);
        row("null", "null", nothing);
        row("not the page's action", "{'action':'settings'}", nothing);
        unpaired("a key proved", "{'action':'pair','proof':'ab12'}", pair("ab12", "", ""));
        unpaired("the link proved", "{'action':'pair','link':'cd34'}", pair("", "cd34", ""));
        row("the PIN", "{'action':'pair','pin':'123456'}", pair("", "", "123456"));
    }
    void pageMessage()
    {
        QFETCH(bool, control);
        QFETCH(QString, message);
        QFETCH(PageMessage, expected);
        QCOMPARE(described(page::readPageMessage(message.replace('\'', '"').toUtf8(), control)), described(expected));
    }
};

QTEST_GUILESS_MAIN(TestPageMessages)
#include "test_page_messages.moc"
