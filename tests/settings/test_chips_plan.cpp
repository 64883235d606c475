#include "platform/SeasonStore.h"
#include "settings/frm_MoreOptions.h"
#include "support/WindowTest.h"
#include "tournament/SavedGame.h"

#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTreeWidget>

namespace {

const QString FourChips = QStringLiteral("25/white/300;100/red/200;500/green/50;1000/black/50");

} // namespace

class TestChipsPlan : public WindowTest {
    Q_OBJECT
    // The automatic structure 25/50 raised by 15 for six rounds of 20 minutes, a break of 5
    // minutes after round 4.
    void sixRounds()
    {
        frm->opt_Blinds[1]->setChecked(true);
        frm->opt_AutoIncrease[1]->setChecked(true);
        frm->txt_Small->setText(QStringLiteral("25"));
        frm->txt_Big->setText(QStringLiteral("50"));
        frm->txt_BlindValue->setText(QStringLiteral("15"));
        frm->txt_AutoRounds->setText(QStringLiteral("6"));
        frm->txt_AutoTime->setText(QStringLiteral("20"));
        frm->txt_Break->setText(QStringLiteral("4"));
        frm->txt_breakTime->setText(QStringLiteral("5"));
    }
    QStringList planColumn() const { return static_cast<QStringListModel *>(frm->lst_Plan->model())->stringList(); }

private slots:
    // [Plan] holds only the keys typed; a key the file had is written empty once emptied; a
    // kept game keeps them too, and a title too long is kept cut short rather than not at all.
    void planKeys()
    {
        const plan::PlanTexts typed = {{QStringLiteral("Chips"), FourChips},
                                       {QStringLiteral("Players"), QStringLiteral("12")},
                                       {QStringLiteral("StartsAt"), QStringLiteral("20:00")}};
        frm->planTexts = typed;
        frm->txt_Title->setText(QString(5000, u'x'));
        tournament::SavedGame game = frm->runner.kept();
        QVERIFY(std::find(game.settings.begin(), game.settings.end(),
                          std::array<QString, 3>{"Config", "Title", QString(tournament::SavedSettingChars, u'x')})
                != game.settings.end());
        QVERIFY(exitAndRestart().endsWith("[Plan]\r\nChips=" + FourChips.toUtf8()
                                          + "\r\nPlayers=12\r\nStartsAt=20:00\r\n"));
        QCOMPARE(frm->planTexts, typed);

        frm->planTexts.remove(QStringLiteral("Players"));
        QVERIFY(
            exitAndRestart().endsWith("[Plan]\r\nChips=" + FourChips.toUtf8() + "\r\nPlayers=\r\nStartsAt=20:00\r\n"));
        QVERIFY(!frm->planTexts.contains(QStringLiteral("Players")));

        frm->restoreGame(game);
        QCOMPARE(frm->planTexts, typed);
    }

    // "Season": the season read from beside the program, merged and unmerged, its rule and a box
    // edited (a box that does not read said); the window writes what changed and keeps the name.
    void seasonPage()
    {
        season::Season league;
        league.name = "League";
        QVERIFY(!league.addNight({{"2027-01-01", "A", "Ann", 1, 3, 30, 0, 10},
                                  {"2027-01-01", "A", "Bob", 2, 3, 0, 0, 10},
                                  {"2027-01-01", "A", "Cy", 3, 3, 0, 0, 10}}));
        QVERIFY(!league.addNight(
            {{"2027-01-08", "B", "Robert", 1, 2, 20, 0, 10}, {"2027-01-08", "B", "Ann", 2, 2, 0, 0, 10}}));
        const QString seasons = platform::seasonsFolder(fakes->folder.path());
        QVERIFY(platform::writeSeason(seasons, league, "£").ok);
        QFile file(platform::seasonPath(seasons, "League"));
        auto *dialog = new frm_MoreOptions(frm->moreOptions, nullptr, frm); // goes with the window
        dialog->openSeasons(seasons, "League", true, 4);
        const auto rows = [&] {
            QStringList all;
            for (int i = 0; i < dialog->tbl_Standings->topLevelItemCount(); ++i) {
                const QTreeWidgetItem *r = dialog->tbl_Standings->topLevelItem(i);
                all << r->text(0) + " " + r->text(1) + " " + r->text(3) + "/" + r->text(4);
            }
            return all.join(", ");
        };
        QTRY_COMPARE(rows(), "1 Ann 4/4, 2 Bob 2/2, 2 Robert 2/2, 4 Cy 1/1");
        QCOMPARE(dialog->lbl_Preview->text(), "For 4 players: 4, 3, 2, 1");
        QVERIFY(!dialog->changedSeason());
        dialog->cmb_MergeFrom->setCurrentText("Robert"), dialog->cmb_MergeInto->setCurrentText("Bob");
        dialog->cmd_Merge->click();
        QCOMPARE(rows(), "1 Ann 4/4, 1 Bob 4/4, 3 Cy 1/1");
        QCOMPARE(dialog->lbl_SeasonSays->text(), "Robert now counts as Bob.");
        dialog->cmd_UndoMerge->click();
        QCOMPARE(rows(), "1 Ann 4/4, 2 Bob 2/2, 2 Robert 2/2, 4 Cy 1/1");
        dialog->cmb_Rule->setCurrentIndex(1), emit dialog->cmb_Rule->activated(1); // as the host picks it
        dialog->txt_Best->selectAll();
        QTest::keyClicks(dialog->txt_Best, "1");
        QVERIFY2(dialog->lbl_Formula->text().endsWith("Best 1 night"), qPrintable(dialog->lbl_Formula->text()));
        QCOMPARE(rows(), "1 Ann 4/3, 2 Bob 2/2, 2 Robert 2/2, 4 Cy 1/1");
        QTest::keyClicks(dialog->txt_Attend, "x");
        QCOMPARE(dialog->lbl_SeasonSays->text(),
                 "\"Points for playing a night\" must be a number of points such as 10 or 2.5.");
        QVERIFY(dialog->changedSeason() && dialog->changedSeason()->rule.best == 1);

        frm->keepSeason(*dialog);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(season::Season::read(file.readAll()), dialog->changedSeason());
        QVERIFY(exitAndRestart().endsWith("[Season]\r\nName=League\r\nOnPage=1\r\n"));
        QCOMPARE(frm->seasonTexts.value("Name"), "League");
        frm->seasonTexts.clear(); // no season any more: the keys the file had are emptied
        QVERIFY(exitAndRestart().endsWith("[Season]\r\nName=\r\nOnPage=\r\n"));
    }

    void dialogTexts_data()
    {
        QTest::addColumn<QStringList>("rows"); // value, colour, count of each row in turn
        QTest::addColumn<QString>("chips");
        QTest::addColumn<bool>("printable");
        QTest::newRow("sorted, a count left blank")
            << QStringList{"100", "red", "200", "", "", "", "25", "white", ""} << "25/white/0;100/red/200" << true;
        QTest::newRow("unreadable: kept as typed")
            << QStringList{"x", "blue", "", "25", "", "3"} << "x/blue/;25//3" << false;
        QTest::newRow("none") << QStringList{} << "" << false;
    }

    // The grid and the boxes make the texts, and the texts fill them again.
    void dialogTexts()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, chips);
        QFETCH(bool, printable);
        frm_MoreOptions dialog(frm->moreOptions, nullptr, frm);
        for (int i = 0; i < rows.size(); ++i) {
            const std::array<QLineEdit *, 8> *column[] = {&dialog.txt_ChipValue, &dialog.txt_ChipColour,
                                                          &dialog.txt_ChipCount};
            (*column[i % 3])[size_t(i / 3)]->setText(rows[i]);
        }
        dialog.txt_Stack->setText(QStringLiteral(" 5000 "));
        dialog.txt_StartsAt->setText(QStringLiteral("20:00"));
        dialog.chk_RoundToChips->setChecked(true);
        plan::PlanTexts expected = {{QStringLiteral("Stack"), QStringLiteral("5000")},
                                    {QStringLiteral("StartsAt"), QStringLiteral("20:00")},
                                    {QStringLiteral("RoundToChips"), QStringLiteral("1")}};
        if (!chips.isEmpty())
            expected.insert(QStringLiteral("Chips"), chips);
        QCOMPARE(dialog.planTexts(), expected);
        QCOMPARE(dialog.cmd_PrintSheet->isEnabled(), printable);
        QVERIFY(!dialog.lbl_ChipsSay->text().isEmpty());

        frm_MoreOptions again(frm->moreOptions, nullptr, frm, {}, expected);
        QCOMPARE(again.planTexts(), expected);
        // Every box is named for a screen reader, each name once.
        QSet<QString> names;
        QWidget *chipsPage = nullptr;
        for (int i = 0; i < again.tabs->count(); ++i)
            if (again.tabs->tabText(i) == "Chips && plan")
                chipsPage = again.tabs->widget(i);
        for (QLineEdit *box : again.findChildren<QLineEdit *>())
            if (chipsPage->isAncestorOf(box))
                names.insert(box->accessibleName());
        QCOMPARE(names.size(), 3 * 8 + 6);
        QVERIFY(!names.contains(QString()));
    }

    // Every box in error says so itself, and the page lists them all.
    void everyError()
    {
        frm_MoreOptions dialog(frm->moreOptions, nullptr, frm);
        dialog.txt_ChipValue[0]->setText(QStringLiteral("0"));
        dialog.txt_ChipCount[0]->setText(QStringLiteral("many"));
        dialog.txt_ExpectedReentries->setText(QStringLiteral("two"));
        const QLineEdit *wrong[] = {dialog.txt_ChipValue[0], dialog.txt_ChipCount[0], dialog.txt_ExpectedReentries};
        for (const QLineEdit *box : wrong)
            QVERIFY(!box->accessibleDescription().isEmpty()
                    && dialog.lbl_ChipsSay->text().contains(box->accessibleDescription()));
        QCOMPARE(dialog.lbl_ChipsSay->text().count('\n'), 2);
        QCOMPARE(dialog.txt_ChipColour[0]->accessibleDescription(), QString());
    }

    // Beside the list, each round's time of day and a mark on the rounds the 25s cannot make;
    // under it, the night's length. Without the chips the window is as it was.
    void planBesideTheList()
    {
        std::vector<std::pair<QWidget *, QRect>> before;
        for (QWidget *w : frm->findChildren<QWidget *>())
            if (w->parentWidget() == frm || w->parentWidget() == frm->fme_Blinds)
                before.emplace_back(w, w->geometry());
        sixRounds();
        frm->Command1_Click();
        QVERIFY(!frm->lst_Plan); // no chip case: nothing made
        frm->planTexts = {{QStringLiteral("Chips"), FourChips}, {QStringLiteral("StartsAt"), QStringLiteral("20:00")}};
        frm->planChanged();
        QTRY_VERIFY(frm->lst_Plan && !frm->lst_Plan->isHidden());
        QCOMPARE(planColumn(),
                 (QStringList{"20:00", "20:20 \u2717", "20:40 \u2717", "21:00 \u2717", "21:25 \u2717", "21:45"}));
        QVERIFY(frm->lbl_Plan->text().contains(QStringLiteral("2 h 5 min")));
        QVERIFY(frm->lbl_Plan->text().contains(QStringLiteral("25s")));
        QCOMPARE(frm->width(), 661);
        QVERIFY(frm->lbl_Plan->geometry().bottom() < frm->height());
        QVERIFY(frm->lbl_Plan->height() >= frm->lbl_Plan->heightForWidth(frm->lbl_Plan->width()));
        QCOMPARE(frm->lst_Blinds->list(1), QStringLiteral("Round 2: \u00A340/\u00A365 for 20 mins."));

        // The list and the breaks change the column at once.
        frm->txt_AutoTime->setText(QStringLiteral("30"));
        frm->Command1_Click();
        frm->opt_Break[1]->setChecked(true);
        QTRY_COMPARE(planColumn().at(5), QStringLiteral("22:30"));

        frm->planTexts.clear();
        frm->planChanged();
        QTRY_VERIFY(frm->lst_Plan->isHidden());
        QCOMPARE(frm->size(), QSize(601, 550));
        for (const auto &[w, at] : before)
            QVERIFY2(w->geometry() == at, qPrintable(w->metaObject()->className()));
    }

    void roundToChips_data()
    {
        QTest::addColumn<QString>("chips");
        QTest::addColumn<bool>("round");
        QTest::addColumn<QStringList>("small");
        QTest::addColumn<QStringList>("big");
        const QStringList asBuilt[] = {{"25", "40", "55", "70", "85", "100"}, {"50", "65", "80", "95", "110", "125"}};
        QTest::newRow("on") << FourChips << true << QStringList{"25", "50", "50", "75", "75", "100"}
                            << QStringList{"50", "75", "75", "100", "100", "125"};
        QTest::newRow("off") << FourChips << false << asBuilt[0] << asBuilt[1];
        QTest::newRow("on, no chips") << QString() << true << asBuilt[0] << asBuilt[1];
    }

    // "Show Me" rounds the automatic structure to the smallest chip only when asked to.
    void roundToChips()
    {
        QFETCH(QString, chips);
        QFETCH(bool, round);
        QFETCH(QStringList, small);
        QFETCH(QStringList, big);
        if (!chips.isEmpty())
            frm->planTexts.insert(QStringLiteral("Chips"), chips);
        if (round)
            frm->planTexts.insert(QStringLiteral("RoundToChips"), QStringLiteral("1"));
        sixRounds();
        frm->Command1_Click();
        QCOMPARE(frm->lst_Small.items(), small);
        QCOMPARE(frm->lst_Big.items(), big);
    }

    // The sheet is kept in "sheets" under a name of its own each time and opened.
    void printSheet()
    {
        frm->txt_Title->setText(QStringLiteral("<b>Fish & Chips</b>"));
        frm->planTexts = {{QStringLiteral("Chips"), FourChips}};
        QTimer::singleShot(0, frm, [this] {
            auto *dialog = frm->findChild<frm_MoreOptions *>();
            dialog->cmd_PrintSheet->click();
            QTRY_COMPARE(fakes->shell.addresses.size(), 1);
            dialog->cmd_PrintSheet->click();
            QTRY_COMPARE(fakes->shell.addresses.size(), 2);
            dialog->accept();
        });
        frm->cmd_Screens_Click();
        QCOMPARE(fakes->shell.addresses.size(), 2);
        const QString day = QDate::currentDate().toString(Qt::ISODate);
        const QString folder = fakes->folder.filePath(QStringLiteral("sheets/chiplark-sheet-"));
        QCOMPARE(fakes->shell.addresses, (QStringList{folder + day + ".html", folder + day + "-2.html"}));
        QFile page(fakes->shell.addresses.at(1));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray html = page.readAll();
        QVERIFY(html.contains("<h1>&lt;b&gt;Fish &amp; Chips&lt;/b&gt;</h1>"));
        QVERIFY(!html.contains("<b>Fish"));
    }
};

QTEST_MAIN(TestChipsPlan)
#include "test_chips_plan.moc"
